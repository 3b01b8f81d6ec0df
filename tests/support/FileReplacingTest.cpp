// Replacing a file as a whole in the plug-in: the new contents and the old
// mode on success; on a failure half-way (an error or an exception), the old
// file whole and no temporary file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/PdfFixtures.h"
#include "support/io/FileReplacing.h"

namespace {

bool writeText(int fd, const char* text) { return ::write(fd, text, std::strlen(text)) == ssize_t(std::strlen(text)); }

struct ReplaceRow {
    const char* name;
    const char* target;
    std::function<bool(const char*, int)> write;
    bool failBeforeRename;
    int error;          // the answer expected
    bool throws;
};

class PluginFileReplacing : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(PluginFileReplacing, ReplacesWholeOrLeavesTheOldFile) {
    const ReplaceRow& row = GetParam();
    qmtest::FixtureFolder folder;
    const std::string old = folder.file("Court.nxp");
    qmtest::writeBytes(old, "old contents");
    ASSERT_EQ(::chmod(old.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("Court.nxp", folder.file("link.nxp").c_str()), 0);
    const std::vector<std::string> before = folder.entries();
    bool closeOnExec = false;
    const auto write = [&](const char* path, int fd) {
        closeOnExec = (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
        EXPECT_EQ(std::string(path).find(folder.path() + "/.qm"), 0u) << path;
        return row.write(path, fd);
    };
    if (row.failBeforeRename) FailNextReplaceBeforeRenameForTesting();
    int error = -1;
    bool threw = false;
    try {
        error = ReplaceFileWhole(folder.file(row.target).c_str(), write, "qm");
    } catch (const std::runtime_error&) {
        threw = true;
    }
    EXPECT_EQ(threw, row.throws);
    if (row.error != 0 || row.throws) {
        if (!row.throws) {
            EXPECT_EQ(error, row.error) << std::strerror(error);
        }
        EXPECT_EQ(qmtest::readBytes(old), "old contents");
        EXPECT_EQ(folder.entries(), before) << "a temporary file was left behind";
        return;
    }
    EXPECT_EQ(error, 0) << std::strerror(error);
    EXPECT_TRUE(closeOnExec);
    EXPECT_EQ(qmtest::readBytes(folder.file(row.target)), "new contents");
    struct stat link {};
    ASSERT_EQ(::lstat(folder.file("link.nxp").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode));
    struct stat info {};
    ASSERT_EQ(::stat(old.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u) << "the old file's mode is kept";
    EXPECT_EQ(folder.entries(), before);
}

bool writeNew(const char*, int fd) { return writeText(fd, "new contents"); }
bool failHalfWay(const char*, int fd) {
    writeText(fd, "new con");
    errno = ENOSPC;
    return false;
}
bool throwHalfWay(const char*, int fd) {
    writeText(fd, "new con");
    throw std::runtime_error("the stream broke");
}
bool writeByPath(const char* path, int) {
    qmtest::writeBytes(path, "new contents");  // as a writer that opens the file itself
    return true;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PluginFileReplacing,
    ::testing::Values(ReplaceRow{"Replaces", "Court.nxp", writeNew, false, 0, false},
                      ReplaceRow{"ReplacesThroughThePath", "Court.nxp", writeByPath, false, 0, false},
                      ReplaceRow{"WritesThroughALink", "link.nxp", writeNew, false, 0, false},
                      ReplaceRow{"WriteFailsHalfWay", "Court.nxp", failHalfWay, false, ENOSPC, false},
                      ReplaceRow{"WriterThrowsHalfWay", "Court.nxp", throwHalfWay, false, 0, true},
                      ReplaceRow{"FailsBeforeTheRename", "Court.nxp", writeNew, true, EIO, false},
                      ReplaceRow{"FolderIsMissing", "no/such/Court.nxp", writeNew, false, ENOENT, false},
                      ReplaceRow{"TargetIsAFolder", "", writeNew, false, EISDIR, false}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace

namespace {

// A pipe at the target, or a link to one, is refused and stays: a regular file
// renamed over it would replace it (as root, a device alike).
TEST(PluginFileReplacingSpecial, TargetThatIsNotARegularFileIsRefusedAndKept) {
    qmtest::FixtureFolder folder;
    const std::string fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(::symlink("pipe", folder.file("link").c_str()), 0);
    for (const char* name : {"pipe", "link"}) {
        SCOPED_TRACE(name);
        bool written = false;
        const int error = ReplaceFileWhole(folder.file(name).c_str(), [&](const char*, int fd) {
            written = true;
            return writeText(fd, "new contents");
        }, "qm");
        EXPECT_EQ(error, kNotRegularFile);
        EXPECT_EQ(ReplaceFileErrorText(error), "it exists and is not a regular file");
        EXPECT_FALSE(written);
        struct stat st {};
        ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode));
        EXPECT_EQ(folder.entries(), (std::vector<std::string>{"link", "pipe"})) << "no temporary file";
    }
}

// A new file takes the process's umask, whatever it is, and the umask is left
// as it was.
TEST(PluginFileReplacingMode, NewFileTakesTheProcessUmask) {
    const mode_t saved = ::umask(022);
    for (const mode_t mask : {mode_t(0), mode_t(022), mode_t(027), mode_t(077)}) {
        SCOPED_TRACE(mask);
        qmtest::FixtureFolder folder;
        const std::string path = folder.file("new.nxp");
        ::umask(mask);
        ASSERT_EQ(ReplaceFileWhole(path.c_str(), [](const char*, int fd) { return writeText(fd, "x"); }, "qm", -1), 0);
        struct stat st;
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);
        EXPECT_EQ(::umask(mask), mask);
    }
    ::umask(saved);
}

}  // namespace
