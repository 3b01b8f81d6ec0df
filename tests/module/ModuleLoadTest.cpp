// Loading the real module Quillmark.api the way the host does: PlugInMain,
// setup with full and reduced table sets, handshake, the product-information
// table, unload.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "HostTables.h"
#include "common/FaultInjectingHost.h"
#include "core/TableRegistry.h"
#include "loader/PluginLoader.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CoreTable.h"

namespace {

std::string RunCommand(const std::string& command, int* status = nullptr) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return output;
    std::array<char, 4096> buffer;
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) output.append(buffer.data(), n);
    const int rc = pclose(pipe);
    if (status) *status = WEXITSTATUS(rc);
    return output;
}

std::string ProductInfo() {
    const CoreTable* core = qmhost::coreTable();
    const void* table = core->getTable(core->atomFromString("KESO:Quillmark"), 1);
    if (!table) return "";
    auto entry = reinterpret_cast<void (*)(char*)>(
        qmhost::appSupportTable()->getEntry(static_cast<HFT>(const_cast<void*>(table)), 1));
    char buffer[128] = "";
    if (entry) entry(buffer);
    return buffer;
}

class ModuleLoad : public ::testing::Test {
protected:
    qmtest::FaultInjectingHost mHost;
};

TEST_F(ModuleLoad, LoadsAndAnswersItsProductInformation) {
    qmhost::PluginLoader loader;
    const auto result = loader.load(QM_TEST_MODULE_PATH);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(loader.extensionName(), "VELM:Quillmark");
    EXPECT_EQ(ProductInfo(), "Quillmark 3.0 [1]");
    loader.unload();
    EXPECT_TRUE(loader.leftovers().empty());
}

TEST_F(ModuleLoad, ProductInformationTableIsOfferedInVersionOneOnly) {
    qmhost::PluginLoader loader;
    ASSERT_TRUE(loader.load(QM_TEST_MODULE_PATH).ok);
    const CoreTable* core = qmhost::coreTable();
    const ASAtom name = core->atomFromString("KESO:Quillmark");
    const void* first = core->getTable(name, 1);
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(core->getTable(name, 1), first) << "built once and handed out every time";
    EXPECT_EQ(core->getTable(name, 2), nullptr);
    loader.unload();
    EXPECT_EQ(core->getTable(name, 1), nullptr) << "gone with the plug-in";
}

TEST_F(ModuleLoad, MissingRequiredTableStopsTheLoadAndIsNamed) {
    mHost.Withhold<AppViewTable>();
    qmhost::PluginLoader loader;
    const auto result = loader.load(QM_TEST_MODULE_PATH);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("\"AppView\""), std::string::npos) << result.message;
    EXPECT_FALSE(loader.loaded());
}

TEST_F(ModuleLoad, AppViewOnlyAtAnOlderVersionIsNotEnough) {
    mHost.WithholdVersion("AppView", kTableVersion5_1).WithholdVersion("AppView", kTableVersion5_0);
    mHost.Offer("AppView", kTableVersion4_5, qmhost::appViewTable());
    qmhost::PluginLoader loader;
    const auto result = loader.load(QM_TEST_MODULE_PATH);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("0x50000"), std::string::npos) << result.message;
}

TEST_F(ModuleLoad, PageContentTablesAtTheOldestVersionAreEnough) {
    for (uint32_t v : {kTableVersion5_1, kTableVersion5_0, kTableVersion4_5}) {
        mHost.WithholdVersion("PDSysFont", v).WithholdVersion("PagePDEContent", v);
    }
    qmhost::PluginLoader loader;
    const auto result = loader.load(QM_TEST_MODULE_PATH);
    EXPECT_TRUE(result.ok) << result.message;
}

TEST_F(ModuleLoad, MissingOptionalTableStillLoads) {
    mHost.Withhold<ASExtraTable>().WithholdVersion("PDMetadata", 0);
    qmhost::PluginLoader loader;
    const auto result = loader.load(QM_TEST_MODULE_PATH);
    EXPECT_TRUE(result.ok) << result.message;
}

TEST_F(ModuleLoad, NotAModuleIsAClearError) {
    qmhost::PluginLoader loader;
    const auto result = loader.load("/etc/hostname");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("/etc/hostname"), std::string::npos);
}

TEST(ModuleExports, PlugInMainIsTheOnlyExportedFunction) {
    const std::string symbols = RunCommand(std::string("nm -D --defined-only ") + QM_TEST_MODULE_PATH);
    std::vector<std::string> functions;
    size_t start = 0;
    while (start < symbols.size()) {
        size_t end = symbols.find('\n', start);
        if (end == std::string::npos) end = symbols.size();
        const std::string line = symbols.substr(start, end - start);
        start = end + 1;
        // "address type name": T or W (text) is a function.
        if (line.size() > 19 && (line[17] == 'T' || line[17] == 'W' || line[17] == 'i'))
            functions.push_back(line.substr(19));
    }
    ASSERT_EQ(functions.size(), 1u) << symbols;
    EXPECT_EQ(functions[0], "PlugInMain");
}

TEST(CommandLine, VersionPrintsThePluginsNameAndVersion) {
    const std::string dir = std::string(::testing::TempDir()) + "qm-cli-plugins";
    int status = -1;
    const std::string out =
        RunCommand(std::string(QM_TEST_CLI_PATH) + " --plugin-dir " + dir + " --version", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("Quillmark 3.0 [1]"), std::string::npos) << out;
}

}  // namespace
