// Installing the bundled module into a plug-ins folder: a copy that already
// has the same bytes is kept as it is, any other is replaced by the bundled
// module, whatever byte it differs in.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "app/PluginInstall.h"
#include "common/PdfFixtures.h"

namespace {

namespace fs = std::filesystem;

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(PluginInstall, KeepsAnIdenticalModuleAndReplacesAnyOther) {
    const std::string bundled = qmhost::bundledModulePath();
    ASSERT_FALSE(bundled.empty()) << "the test program finds the module built with it";
    const std::string bytes = qmtest::readBytes(bundled);
    ASSERT_GT(bytes.size(), 2u);
    struct Row {
        const char* name;
        std::string installed;  // what the folder holds before ("" nothing)
        bool kept;              // the same file afterwards
    };
    std::string lastByte = bytes;
    lastByte.back() = static_cast<char>(lastByte.back() ^ 1);
    std::string firstByte = bytes;
    firstByte.front() = static_cast<char>(firstByte.front() ^ 1);
    const Row rows[] = {
        {"nothing installed", "", false},
        {"the same bytes", bytes, true},
        {"the last byte differs", lastByte, false},
        {"the first byte differs", firstByte, false},
        {"one byte shorter", bytes.substr(0, bytes.size() - 1), false},
    };
    for (const Row& row : rows) {
        qmtest::FixtureFolder folder;
        const std::string target = folder.file("Quillmark.api");
        if (!row.installed.empty()) qmtest::writeBytes(target, row.installed);
        const ino_t before = InodeOf(target);
        std::string error;
        ASSERT_EQ(qmhost::installModule(folder.path(), &error), target) << row.name << ": " << error;
        EXPECT_EQ(qmtest::readBytes(target) == bytes, true) << row.name;
        EXPECT_EQ(InodeOf(target) == before, row.kept) << row.name;
    }
}

}  // namespace
