// Replacing a file as a whole: the new contents and the old mode on success;
// on a failure half-way, the old file whole and no temporary file behind. A new
// file takes the process's umask, read without changing it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/FileSizeLimit.h"
#include "common/PdfFixtures.h"
#include "qmhost/HostError.h"
#include "support/FileReplacing.h"

namespace {

mode_t modeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

struct ReplaceRow {
    const char* name;
    const char* target;                         // in the fixture folder
    std::function<void(std::FILE*)> write;      // the writer
    bool failBeforeRename;
    const char* error;                          // a part of the error, or null for success
    rlim_t sizeLimit = 0;                       // no file may grow beyond it meanwhile (0: none)
    int reason = 0;                             // the error gives strerror(reason) (0: not checked)
};

void writeNew(std::FILE* file) { std::fputs("new contents", file); }

void failHalfWay(std::FILE* file) {
    std::fputs("new con", file);
    std::fflush(file);  // the half is on disk in the temporary file
    throw std::runtime_error("the disk is full");
}

// A writer that lets the error of its last flush pass and leaves the stream
// in error, as a library's writer may.
void flushAndIgnoreTheError(std::FILE* file) {
    std::fputs("new contents", file);
    std::fflush(file);
}

class FileReplacing : public ::testing::TestWithParam<ReplaceRow> {};

TEST_P(FileReplacing, ReplacesWholeOrLeavesTheOldFile) {
    const ReplaceRow& row = GetParam();
    qmtest::FixtureFolder folder;
    const std::string old = folder.file("settings.pfs");
    qmtest::writeBytes(old, "old contents");
    ASSERT_EQ(::chmod(old.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("settings.pfs", folder.file("link.pfs").c_str()), 0);
    const std::vector<std::string> before = folder.entries();
    const std::string target = folder.file(row.target);
    bool closeOnExec = false;
    if (row.failBeforeRename) qmhost::failNextReplaceBeforeRenameForTesting();
    std::string error;
    auto limit = row.sizeLimit ? std::make_unique<qmtest::FileSizeLimit>(row.sizeLimit) : nullptr;
    try {
        qmhost::replaceFile(target, [&](std::FILE* file) {
            closeOnExec = (::fcntl(fileno(file), F_GETFD) & FD_CLOEXEC) != 0;
            row.write(file);
        });
    } catch (const HostError& e) {
        error = e.what();
        EXPECT_EQ(e.code(), kHostErrFileWrite) << row.name;
    }
    limit.reset();
    if (row.error) {
        EXPECT_NE(error.find("cannot write " + target), std::string::npos) << error;
        EXPECT_NE(error.find(row.error), std::string::npos) << error;
        if (row.reason) {
            EXPECT_NE(error.find(std::strerror(row.reason)), std::string::npos) << error;
        }
        EXPECT_EQ(qmtest::readBytes(old), "old contents");
        EXPECT_EQ(folder.entries(), before) << "a temporary file was left behind";
        return;
    }
    EXPECT_EQ(error, "");
    EXPECT_TRUE(closeOnExec) << "the temporary file is opened with O_CLOEXEC";
    EXPECT_EQ(qmtest::readBytes(target), "new contents");
    struct stat link {};
    ASSERT_EQ(::lstat(folder.file("link.pfs").c_str(), &link), 0);
    EXPECT_TRUE(S_ISLNK(link.st_mode)) << "a symbolic link stays a link; its target is replaced";
    if (std::string(row.target) != "new.pfs") {
        EXPECT_EQ(modeOf(old), 0640u) << "the old file's mode is kept";
        EXPECT_EQ(folder.entries(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FileReplacing,
    ::testing::Values(ReplaceRow{"Replaces", "settings.pfs", writeNew, false, nullptr},
                      ReplaceRow{"WritesThroughALink", "link.pfs", writeNew, false, nullptr},
                      ReplaceRow{"MakesANewFile", "new.pfs", writeNew, false, nullptr},
                      ReplaceRow{"WriteFailsHalfWay", "settings.pfs", failHalfWay, false, "the disk is full"},
                      ReplaceRow{"FailsBeforeTheRename", "settings.pfs", writeNew, true, "injected"},
                      ReplaceRow{"FolderIsMissing", "no/such/settings.pfs", writeNew, false, "No such file"},
                      ReplaceRow{"TargetIsAFolder", "", writeNew, false, "it is a folder"},
                      // A full disk, told as such whoever met it first.
                      ReplaceRow{"DiskFillsOnTheLastFlush", "settings.pfs", writeNew, false, "cannot write", 4, EFBIG},
                      ReplaceRow{"DiskFillsAndTheWriterLetsItPass", "settings.pfs", flushAndIgnoreTheError, false,
                                 "cannot write", 4, EFBIG}),
    [](const auto& row) { return std::string(row.param.name); });

// Sets the process's umask for a test and puts the old one back.
struct UmaskGuard {
    explicit UmaskGuard(mode_t mask) : saved(::umask(mask)) {}
    ~UmaskGuard() { ::umask(saved); }
    const mode_t saved;
};

TEST(ProcessUmask, ReadsTheStatusLineElseAsksUmask) {
    const UmaskGuard guard(027);
    EXPECT_EQ(qmhost::processUmask(), 027u) << "the kernel's own status file";
    struct Row {
        const char* name;
        const char* status;  // the status file's text; null: no such file
        mode_t expected;     // 027 where the status cannot be used and umask() answers
    };
    const Row rows[] = {
        {"StatusLine", "Name:\tquillmark\nUmask:\t0002\nState:\tR (running)\n", 02},
        {"ThreeDigitsAndBlanks", "Umask:  077  \n", 077},
        {"NoFile", nullptr, 027},
        {"NoUmaskLine", "Name:\tquillmark\nState:\tR (running)\n", 027},
        {"NotOctal", "Umask:\t0089\n", 027},
        {"MoreThanPermissionBits", "Umask:\t01777\n", 027},
        {"TooManyDigits", "Umask:\t000022\n", 027},
        {"NoValue", "Umask:\n", 027},
        {"TextBehind", "Umask:\t0022 x\n", 027},
        {"KeyInsideAnotherLine", "NotUmask:\t0022\n", 027},
    };
    qmtest::FixtureFolder folder;
    for (const Row& row : rows) {
        const std::string path = folder.file(std::string(row.name) + ".status");
        if (row.status) qmtest::writeBytes(path, row.status);
        EXPECT_EQ(qmhost::processUmask(path.c_str()), row.expected) << row.name;
        EXPECT_EQ(::umask(027), 027u) << row.name << ": the mask is left as it was";
    }
}

TEST(ProcessUmask, NewFileTakesTheProcessUmask) {
    qmtest::FixtureFolder folder;
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{027}, mode_t{077}}) {
        const UmaskGuard guard(mask);
        const std::string path = folder.file("new-" + std::to_string(mask) + ".pfs");
        qmhost::replaceFile(path, writeNew);
        EXPECT_EQ(modeOf(path), 0666u & ~mask) << "umask " << mask;
    }
}

}  // namespace
