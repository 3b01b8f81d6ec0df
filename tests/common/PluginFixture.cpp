#include "common/PluginFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "module/PluginEntry.h"
#include "support/HostTables.h"
#include "view/Alerts.h"

namespace qmtest {

qmhost::PluginLoader& StartLinkedPlugin() {
    static qmhost::PluginLoader loader;
    if (!loader.loaded()) {
        qmhost::alerts().setMode(qmhost::AlertMode::Record);
        const auto result = loader.start(&PlugInMain);
        EXPECT_TRUE(result.ok) << result.message;
    }
    return loader;
}

std::vector<std::string> TakeAlerts() {
    auto recorded = qmhost::alerts().recorded();
    qmhost::alerts().clearRecorded();
    return recorded;
}

std::vector<std::string> TakeWarnings() { return qmhost::alerts().takeWarnings(); }

std::string MakeTempFolder(const char* prefix) {
    namespace fs = std::filesystem;
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a temporary folder";
    static std::vector<std::string> made;
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ignored;
            for (const auto& folder : made) fs::remove_all(folder, ignored);
        });
        return true;
    }();
    (void)cleanup;
    made.push_back(pattern);
    return pattern;
}

std::string StreamData(CosObj stream) {
    const ASStm read = gCosHFT->streamOpen(stream, kCosStreamDecoded);
    std::string data;
    char buffer[4096];
    for (int32_t n; (n = gAppSupportHFT->stmRead(buffer, 1, sizeof buffer, read)) > 0;) data.append(buffer, static_cast<size_t>(n));
    gAppSupportHFT->stmClose(read);
    return data;
}

}  // namespace qmtest
