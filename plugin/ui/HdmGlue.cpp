#include "ui/HdmGlue.h"

#include <cstring>
#include <memory>
#include <vector>

#include "support/CallbackGuard.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"

namespace {

struct SuiteName {
    const char* name;
    int32_t version;
};

constexpr SuiteName kSuites[] = {
    {"HDM Basic Suite", 7},       {"HDM Dialog Suite", 7},        {"HDM Item Suite", 6},
    {"HDM List Suite", 3},        {"HDM Entry Suite", 5},         {"HDM Image Suite", 2},
    {"HDM Icon Suite", 2},        {"HDM Dialog Group Suite", 3},  {"HDM Drawer Suite", 4},
    {"HDM Notifier Suite", 2},    {"HDM Tracker Suite", 1},       {"HDM Hierarchy List Suite", 3},
    {"HDM List Entry Suite", 4},  {"HDM Win Host Suite", 4},
};
constexpr size_t kSuiteCount = sizeof kSuites / sizeof kSuites[0];

struct HdmState {
    const void* suites[kSuiteCount] = {};
    int32_t firstValue = 0;
    std::unique_ptr<CHdmHostContext> context;
};

HdmState& State() {
    static HdmState state;
    return state;
}

const AppViewSuitesTable* Table() {
    const auto* table = static_cast<const AppViewSuitesTable*>(gAppViewSuitesHFT);
    // A table shorter than this one lacks operations it must have.
    if (!table || table->size < sizeof(AppViewSuitesTable)) return nullptr;
    return table;
}

const HdmBasicSuite* Basic() { return static_cast<const HdmBasicSuite*>(GetHdmSuite("HDM Basic Suite")); }
const HdmWinHostSuite* WinHost() {
    return static_cast<const HdmWinHostSuite*>(GetHdmSuite("HDM Win Host Suite"));
}
const HdmItemSuite* Items() { return static_cast<const HdmItemSuite*>(GetHdmSuite("HDM Item Suite")); }

}  // namespace

void AcquireHdmSuites() noexcept {
    HdmState& state = State();
    const AppViewSuitesTable* table = Table();
    if (!table) return;
    // A host that fails here simply has no dialog manager for the plug-in.
    TrapRun([&] {
        state.firstValue = table->first();
        const HdmSuiteAccess* access = table->suiteAccess();
        for (size_t i = 0; access && i < kSuiteCount; ++i) {
            if (state.suites[i]) continue;  // acquired before: once is enough
            const void* suite = nullptr;
            if (access->acquireSuite(kSuites[i].name, kSuites[i].version, &suite) == 0) state.suites[i] = suite;
        }
        state.context.reset();
        state.context = std::make_unique<CHdmHostContext>();
    });
}

void ReleaseHdmSuites() noexcept {
    HdmState& state = State();
    state.context.reset();
    const AppViewSuitesTable* table = Table();
    const HdmSuiteAccess* access = table ? table->suiteAccess() : nullptr;
    for (size_t i = 0; i < kSuiteCount; ++i) {
        // Only what was acquired is given back, each once.
        if (state.suites[i] && access) access->releaseSuite(kSuites[i].name, kSuites[i].version);
        state.suites[i] = nullptr;
    }
}

bool HdmAvailable() noexcept {
    const AppViewSuitesTable* table = Table();
    return table && table->available() != 0;
}

int32_t HdmFirstValue() noexcept { return State().firstValue; }

const void* GetHdmSuite(const char* inName) noexcept {
    for (size_t i = 0; i < kSuiteCount; ++i)
        if (std::strcmp(kSuites[i].name, inName) == 0) return State().suites[i];
    return nullptr;
}

CHdmHostContext* GetHdmHostContext() noexcept { return State().context.get(); }

CHdmHostContext::CHdmHostContext(void* inWindow, void* inModule)
    : mModule(inModule ? inModule : GetResourceInstance()) {
    if (const HdmBasicSuite* basic = Basic()) {
        mSavedContext = basic->getResourceContext();
        basic->setResourceContext(mModule);
    }
    if (const HdmWinHostSuite* host = WinHost()) {
        mSavedParent = host->getParentWindow();
        host->setParentWindow(inWindow);
    }
}

CHdmHostContext::~CHdmHostContext() {
    if (const HdmBasicSuite* basic = Basic()) basic->setResourceContext(mSavedContext);
    if (const HdmWinHostSuite* host = WinHost()) host->setParentWindow(mSavedParent);
}

std::string GetHdmItemText(HdmItem inItem) {
    const HdmItemSuite* items = Items();
    if (!items || !inItem) return std::string();
    const uint32_t length = items->getText(inItem, nullptr, 0);
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    items->getText(inItem, buffer.data(), static_cast<uint32_t>(buffer.size()));
    return std::string(buffer.data());
}

void SetHdmItemText(HdmItem inItem, const std::string& inText) {
    const HdmItemSuite* items = Items();
    if (items && inItem) items->setText(inItem, inText.c_str());
}

bool IsHdmListItem(HdmItem inItem) {
    static const char* const kListTypes[] = {"HDM Popup List Type", "HDM Scrolling Popup List Type",
                                             "HDM List Box Type", "HDM Text Edit Popup Type",
                                             "HDM Text Edit Scrolling Popup Type"};
    const HdmItemSuite* items = Items();
    const char* type = items && inItem ? items->getType(inItem) : nullptr;
    if (!type) return false;
    for (const char* listType : kListTypes)
        if (std::strcmp(type, listType) == 0) return true;
    return false;
}
