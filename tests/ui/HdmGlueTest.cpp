// The dialog-manager glue: harmless without the table, and with a host that
// has one, every suite it has acquired once and given back once.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/HostTables.h"
#include "ui/HdmGlue.h"

namespace {

TEST(HdmGlue, WithoutTheTableNothingIsAcquiredAndEveryHelperAnswersItsDefault) {
    const void* saved = gAppViewSuitesHFT;
    gAppViewSuitesHFT = nullptr;
    AcquireHdmSuites();
    EXPECT_FALSE(HdmAvailable());
    EXPECT_EQ(GetHdmSuite("HDM Basic Suite"), nullptr);
    EXPECT_EQ(GetHdmHostContext(), nullptr);
    EXPECT_EQ(GetHdmItemText(reinterpret_cast<HdmItem>(1)), "");
    EXPECT_FALSE(IsHdmListItem(reinterpret_cast<HdmItem>(1)));
    { CHdmHostContext context; }
    ReleaseHdmSuites();
    ReleaseHdmSuites();
    gAppViewSuitesHFT = saved;
}

// A host with a dialog manager that has the basic and item suites only.
struct FakeManager {
    static inline std::map<std::string, int> held;
    static inline void* resourceContext = reinterpret_cast<void*>(0x10);
    static inline const HdmBasicSuite basic{[] { return resourceContext; },
                                            [](void* inContext) { resourceContext = inContext; }};
    static inline const HdmItemSuite items{
        [](HdmItem, char* outBuffer, uint32_t inCapacity) -> uint32_t {
            const std::string text = "列表";
            if (outBuffer) snprintf(outBuffer, inCapacity, "%s", text.c_str());
            return static_cast<uint32_t>(text.size());
        },
        [](HdmItem, const char*) {}, [](HdmItem) { return "HDM List Box Type"; }};
    static inline const HdmSuiteAccess access{
        [](const char* inName, int32_t, const void** outSuite) -> int32_t {
            const std::string name = inName;
            if (name == "HDM Basic Suite") *outSuite = &basic;
            else if (name == "HDM Item Suite") *outSuite = &items;
            else return 1;
            ++held[name];
            return 0;
        },
        [](const char* inName, int32_t) -> int32_t {
            --held[inName];
            return 0;
        }};
    static inline const AppViewSuitesTable table{sizeof(AppViewSuitesTable), [] { return 42; },
                                                 [] { return &access; }, []() -> int16_t { return 1; }};
};

TEST(HdmGlue, WithATableEverySuiteItHasIsHeldOnceAndGivenBack) {
    const void* saved = gAppViewSuitesHFT;
    gAppViewSuitesHFT = &FakeManager::table;
    AcquireHdmSuites();
    EXPECT_TRUE(HdmAvailable());
    EXPECT_EQ(HdmFirstValue(), 42);
    EXPECT_EQ(FakeManager::held["HDM Basic Suite"], 1);
    EXPECT_EQ(FakeManager::held["HDM Item Suite"], 1);
    EXPECT_EQ(GetHdmSuite("HDM Drawer Suite"), nullptr);
    ASSERT_NE(GetHdmHostContext(), nullptr);
    EXPECT_EQ(FakeManager::resourceContext, GetHdmHostContext()->GetModule());
    EXPECT_EQ(GetHdmItemText(reinterpret_cast<HdmItem>(1)), "列表");
    EXPECT_TRUE(IsHdmListItem(reinterpret_cast<HdmItem>(1)));
    ReleaseHdmSuites();
    EXPECT_EQ(FakeManager::resourceContext, reinterpret_cast<void*>(0x10));  // context given back
    EXPECT_EQ(FakeManager::held["HDM Basic Suite"], 0);
    EXPECT_EQ(FakeManager::held["HDM Item Suite"], 0);
    gAppViewSuitesHFT = saved;
}

}  // namespace
