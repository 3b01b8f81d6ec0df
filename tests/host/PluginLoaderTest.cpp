// The loader's protocol, driven with small plug-ins written here: the order of
// the life-cycle calls, refusals at each step, and what a plug-in leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/PluginLoader.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CoreTable.h"

namespace {

std::vector<std::string> gCalls;
const CoreTable* gCore = nullptr;
ExtensionID gExt = nullptr;
bool gInitAnswer = true;
bool gForgetNotification = false;
ASCallback gNotifyCallback = nullptr;

void OnViewRemoved(AVDoc, void*) {}

bool ExportTables() { gCalls.push_back("export"); return true; }
bool ImportReplace() { gCalls.push_back("import"); return true; }
bool Init() {
    gCalls.push_back("init");
    auto* view = static_cast<const AppViewTable*>(gCore->getTable(gCore->atomFromString("AppView"), kTableVersion5_1));
    gNotifyCallback = gCore->makeCallback(gExt, reinterpret_cast<ASProc>(&OnViewRemoved));
    view->registerNotification(kNotifyViewRemoved, gExt, gNotifyCallback, nullptr);
    return gInitAnswer;
}
bool Unload() {
    gCalls.push_back("unload");
    if (!gForgetNotification) {
        auto* view = static_cast<const AppViewTable*>(gCore->getTable(gCore->atomFromString("AppView"), kTableVersion5_1));
        view->unregisterNotification(kNotifyViewRemoved, gNotifyCallback, nullptr);
    }
    return true;
}

template <class F>
ASCallback Make(F proc) { return gCore->makeCallback(gExt, reinterpret_cast<ASProc>(proc)); }

bool Handshake(uint32_t, void* data) {
    gCalls.push_back("handshake");
    auto* hs = static_cast<PIHandshakeData*>(data);
    hs->extensionName = gCore->atomFromString("TEST:Fake");
    hs->exportTablesCallback = Make(ExportTables);
    hs->importReplaceRegisterCallback = Make(ImportReplace);
    hs->initCallback = Make(Init);
    hs->unloadCallback = Make(Unload);
    return true;
}

bool Setup(uint32_t, void* data) {
    gCalls.push_back("setup");
    auto* setup = static_cast<PISetupData*>(data);
    gCore = setup->coreTable;
    gExt = setup->extensionID;
    setup->handshakeCallback = Make(Handshake);
    return true;
}

bool FakeMain(uint32_t, uint32_t* outVersion, PISetupProc* outSetup, void*) {
    gCalls.push_back("main");
    *outVersion = kHandshakeVersion;
    *outSetup = Setup;
    return true;
}

bool ThrowingMain(uint32_t, uint32_t*, PISetupProc*, void*) { throw 42; }

class PluginLoaderProtocol : public ::testing::Test {
protected:
    void SetUp() override {
        gCalls.clear();
        gInitAnswer = true;
        gForgetNotification = false;
    }
};

TEST_F(PluginLoaderProtocol, LifeCycleRunsInItsOrder) {
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.start(&FakeMain).ok);
    EXPECT_EQ(loader.extensionName(), "TEST:Fake");
    loader.unload();
    const std::vector<std::string> expected{"main", "setup", "handshake", "export", "import", "init", "unload"};
    EXPECT_EQ(gCalls, expected);
    EXPECT_TRUE(loader.leftovers().empty());
}

TEST_F(PluginLoaderProtocol, FalseInitialisationStopsTheLoadButStillUnloads) {
    gInitAnswer = false;
    qmhost::PluginLoader loader;
    const auto result = loader.start(&FakeMain);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("initialisation"), std::string::npos) << result.message;
    EXPECT_FALSE(loader.loaded());
    EXPECT_EQ(gCalls.back(), "unload");
}

TEST_F(PluginLoaderProtocol, NotificationLeftBehindAtUnloadIsReportedAndDropped) {
    gForgetNotification = true;
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.start(&FakeMain).ok);
    loader.unload();
    ASSERT_EQ(loader.leftovers().size(), 1u);
    EXPECT_NE(loader.leftovers()[0].find("notification 7"), std::string::npos);
}

TEST_F(PluginLoaderProtocol, ExceptionFromTheEntryIsStoppedAtTheBoundary) {
    qmhost::PluginLoader loader;
    const auto result = loader.start(&ThrowingMain);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("entry"), std::string::npos);
}

}  // namespace
