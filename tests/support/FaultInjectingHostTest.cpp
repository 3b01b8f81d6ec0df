// The fault-injecting host of the tests: the calls it is told to fail fail and
// no other, the plug-in and a later setup both see its tables, and everything
// is as before once it is gone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostTables.h"
#include "common/FaultInjectingHost.h"
#include "common/PluginFixture.h"
#include "core/TableRegistry.h"
#include "support/TableMembers.h"

namespace {

constexpr ASFixed kTwo = 2 * kASFixedOne;
constexpr ASFixed kThree = 3 * kASFixedOne;
constexpr uint32_t kVersions[] = {kTableVersion5_1, kTableVersion5_0, kTableVersion4_5, kTableVersion4_0};

// What four calls of fixedMul through the plug-in's table gave: the product,
// or the code of the host error raised.
std::vector<int64_t> FourProducts() {
    std::vector<int64_t> seen;
    for (int i = 0; i < 4; ++i) {
        try {
            seen.push_back(gAppSupportHFT->fixedMul(kTwo, kThree));
        } catch (const HostError& error) {
            seen.push_back(error.code());
        }
    }
    return seen;
}

// What the host offers a plug-in's setup under name, at each version.
std::vector<const void*> Offered(const char* name) {
    std::vector<const void*> offered;
    for (uint32_t version : kVersions) offered.push_back(qmhost::tables().find(name, version));
    return offered;
}

class FaultInjectingHostTest : public ::testing::Test {
protected:
    void SetUp() override { qmtest::StartLinkedPlugin(); }
    const ASFixed mProduct = 6 * kASFixedOne;
};

TEST_F(FaultInjectingHostTest, OnlyTheChosenCallsFailAndTheOthersReachTheRealMember) {
    struct Row {
        const char* name;
        int64_t first, last;
        int32_t code;
    };
    for (const Row& row : {Row{"first call", 1, 1, kHostErrNoMemory}, Row{"third call", 3, 3, kHostErrGeneric},
                           Row{"second to last", 2, 4, kHostErrFileWrite}}) {
        std::vector<int64_t> expected;
        for (int64_t n = 1; n <= 4; ++n) expected.push_back(n >= row.first && n <= row.last ? row.code : mProduct);
        qmtest::FaultInjectingHost host;
        host.FailCalls<&AppSupportTable::fixedMul>(row.first, row.last, row.code);
        EXPECT_EQ(FourProducts(), expected) << row.name;
        EXPECT_EQ(host.Calls<&AppSupportTable::fixedMul>(), 4) << row.name;
    }
    EXPECT_EQ(FourProducts(), std::vector<int64_t>(4, mProduct)) << "nothing fails once the host is gone";
}

TEST_F(FaultInjectingHostTest, ACallCanAnswerAFailureValueInstead) {
    qmtest::FaultInjectingHost host;
    host.FailCallAnswering<&AppSupportTable::fixedMul>(2, -1);
    EXPECT_EQ(FourProducts(), (std::vector<int64_t>{mProduct, -1, mProduct, mProduct}));
}

TEST_F(FaultInjectingHostTest, CountsAndReplacementsAreTheCopysAndTheRealTableStaysAsItWas) {
    const AppSupportTable* real = gAppSupportHFT;
    const auto realMul = real->fixedMul;
    {
        qmtest::FaultInjectingHost host;
        host.Count<&AppSupportTable::fixedMul>();
        host.Replace<&AppSupportTable::getHostMajorVersion>([] { return int32_t{42}; });
        EXPECT_NE(gAppSupportHFT, real);
        EXPECT_EQ(&host.Real<AppSupportTable>(), real);
        EXPECT_EQ(gAppSupportHFT->getHostMajorVersion(), 42);
        gAppSupportHFT->fixedMul(kTwo, kTwo);
        gAppSupportHFT->fixedMul(kTwo, kTwo);
        EXPECT_EQ(host.Calls<&AppSupportTable::fixedMul>(), 2);
        EXPECT_EQ(real->fixedMul, realMul);
    }
    EXPECT_EQ(gAppSupportHFT, real);
    EXPECT_NE(gAppSupportHFT->getHostMajorVersion(), 42);
    qmtest::FaultInjectingHost again;
    again.Count<&AppSupportTable::fixedMul>();
    EXPECT_EQ(again.Calls<&AppSupportTable::fixedMul>(), 0) << "a new host counts from nothing";
}

TEST_F(FaultInjectingHostTest, APluginSetUpLaterIsOfferedTheCopyAtEveryVersion) {
    const std::vector<const void*> before = Offered("PagePDEContent");
    ASSERT_NE(before[0], nullptr);
    {
        qmtest::FaultInjectingHost host;
        const void* copy = &host.Copy<PagePDEContentTable>();
        EXPECT_EQ(Offered("PagePDEContent"), std::vector<const void*>(4, copy));
        qmhost::registerHostTables();
        EXPECT_EQ(Offered("PagePDEContent"), std::vector<const void*>(4, copy)) << "registering again keeps it";
    }
    EXPECT_EQ(Offered("PagePDEContent"), before);
}

TEST_F(FaultInjectingHostTest, WithheldTablesAndVersionsComeBack) {
    const std::vector<const void*> before = Offered("ASExtra");
    const ASExtraTable* imported = gASExtraHFT;
    ASSERT_NE(imported, nullptr);
    {
        qmtest::FaultInjectingHost host;
        host.Withhold<ASExtraTable>().WithholdVersion("AppView", kTableVersion5_1);
        EXPECT_EQ(gASExtraHFT, nullptr);
        EXPECT_EQ(Offered("ASExtra"), std::vector<const void*>(4, nullptr));
        EXPECT_EQ(qmhost::tables().find("AppView", kTableVersion5_1), nullptr);
        EXPECT_NE(qmhost::tables().find("AppView", kTableVersion5_0), nullptr);
    }
    EXPECT_EQ(gASExtraHFT, imported);
    EXPECT_EQ(Offered("ASExtra"), before);
    EXPECT_NE(qmhost::tables().find("AppView", kTableVersion5_1), nullptr);
}

TEST_F(FaultInjectingHostTest, AShortenedTableEndsBeforeTheMemberAndHoldsNothingBeyond) {
    const uint32_t fullSize = gAppSupportHFT->size;
    {
        qmtest::FaultInjectingHost host;
        host.ShortenBefore<&AppSupportTable::getHostMajorVersion>();
        EXPECT_LT(gAppSupportHFT->size, fullSize);
        EXPECT_TRUE(TableHasMember(gAppSupportHFT, &AppSupportTable::getEntry)) << "the member before it";
        EXPECT_FALSE(TableReaches(gAppSupportHFT, &AppSupportTable::getHostMajorVersion));
        EXPECT_EQ(gAppSupportHFT->getHostMajorVersion, nullptr);
        EXPECT_EQ(gAppSupportHFT->fileSysGetItemProps, nullptr) << "members behind it are gone too";
        EXPECT_EQ(static_cast<const AppSupportTable*>(qmhost::tables().find("AppSupport", kTableVersion5_0))->size,
                  gAppSupportHFT->size);
    }
    EXPECT_EQ(gAppSupportHFT->size, fullSize);
    EXPECT_TRUE(TableHasMember(gAppSupportHFT, &AppSupportTable::getHostMajorVersion));
}

TEST_F(FaultInjectingHostTest, OneHostAtATime) {
    qmtest::FaultInjectingHost host;
    EXPECT_THROW(qmtest::FaultInjectingHost(), std::logic_error);
}

}  // namespace
