// The build stamp that the module and its companion (and the host and its
// libraries opened on first use) compare: made by cmake/BuildStamp.cmake from
// the version, the configuration and the sources, so that two builds of other
// sources or settings differ, while the same sources checked out elsewhere
// agree; rewritten only when it changes, so that nothing is rebuilt for it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>

#include "common/PdfFixtures.h"

namespace {

namespace fs = std::filesystem;

// A source tree with a folder src/ of two files.
void MakeSources(const fs::path& root) {
    fs::create_directories(root / "src" / "sub");
    qmtest::writeBytes((root / "src" / "Layout.h").string(), "struct Layout { int a; };\n");
    qmtest::writeBytes((root / "src" / "sub" / "Entry.cpp").string(), "int entry() { return 1; }\n");
}

// Runs the script over root's src/ into header; answers the stamp it defines.
std::string Stamp(const fs::path& root, const fs::path& header, const std::string& config = "config-a") {
    const std::string command = qmtest::shellQuote(QM_TEST_CMAKE) + " -DOUTPUT=" + qmtest::shellQuote(header.string()) +
                                " -DMACRO=STAMP -DVERSION=1.2.3 -DCONFIG_HASH=" + config +
                                " -DSOURCE=" + qmtest::shellQuote(root.string()) + " -DROOTS=src -P " +
                                qmtest::shellQuote(QM_TEST_STAMP_SCRIPT) + " 2>&1";
    const qmtest::CommandResult result = qmtest::runCommand(command);
    EXPECT_EQ(result.status, 0) << result.output;
    std::smatch match;
    const std::string text = qmtest::readBytes(header.string());
    if (!std::regex_search(text, match, std::regex("#define STAMP \"([^\"]*)\""))) return "no stamp in: " + text;
    return match[1];
}

TEST(BuildStamp, ChangesWithTheSourcesAndTheConfigurationOnly) {
    const struct {
        const char* name;
        std::function<void(const fs::path& root)> change;  // made to a copy of the sources
        std::string config;
        bool same;
    } rows[] = {
        {"nothing changed", [](const fs::path&) {}, "config-a", true},
        {"an object file added", [](const fs::path& root) { qmtest::writeBytes((root / "src" / "x.o").string(), "o"); },
         "config-a", true},
        {"one byte of a header", [](const fs::path& root) {
             qmtest::writeBytes((root / "src" / "Layout.h").string(), "struct Layout { int b; };\n");
         }, "config-a", false},
        {"a file renamed", [](const fs::path& root) {
             fs::rename(root / "src" / "sub" / "Entry.cpp", root / "src" / "sub" / "Entry2.cpp");
         }, "config-a", false},
        {"a source added", [](const fs::path& root) { qmtest::writeBytes((root / "src" / "New.cpp").string(), ""); },
         "config-a", false},
        {"another configuration", [](const fs::path&) {}, "config-b", false},
    };
    qmtest::FixtureFolder folder;
    const fs::path original = fs::path(folder.path()) / "original";
    MakeSources(original);
    const std::string base = Stamp(original, original / "Stamp.h");
    EXPECT_TRUE(std::regex_match(base, std::regex("1\\.2\\.3\\+[0-9a-f]{16}"))) << base;
    for (const auto& row : rows) {
        // The same sources in another folder, as another checkout has them.
        const fs::path copy = fs::path(folder.path()) / row.name;
        MakeSources(copy);
        row.change(copy);
        EXPECT_EQ(Stamp(copy, copy / "Stamp.h", row.config) == base, row.same) << row.name;
    }
}

TEST(BuildStamp, AnUnchangedStampLeavesItsHeaderUntouched) {
    qmtest::FixtureFolder folder;
    const fs::path root = folder.path();
    MakeSources(root);
    const fs::path header = root / "Stamp.h";
    const std::string first = Stamp(root, header);
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(header, old);
    EXPECT_EQ(Stamp(root, header), first);
    EXPECT_EQ(fs::last_write_time(header), old) << "rewritten, so that what includes it would be rebuilt";
    qmtest::writeBytes((root / "src" / "Layout.h").string(), "struct Layout { long a; };\n");
    EXPECT_NE(Stamp(root, header), first);
    EXPECT_NE(fs::last_write_time(header), old);
}

}  // namespace
