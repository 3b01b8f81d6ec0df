#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "support/io/FileSystemHelpers.h"

namespace fs = std::filesystem;

namespace {

using qmtest::readAll;

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

size_t EntryCount(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TFileSpecifier Spec(const std::string& path) { return TFileSpecifier(path.c_str()); }

class FileSystemHelpersTest : public ::testing::Test {
protected:
    void SetUp() override {
        mFolder = qmtest::MakeTempFolder("qm-fs-");
        mFile = mFolder + "/file.txt";
        WriteAll(mFile, "hello");
        mSub = mFolder + "/sub";
        fs::create_directory(mSub);
    }
    std::string mFolder, mFile, mSub;
};

// Points $TMPDIR at a folder for the scope of a test.
class ScopedTmpDir {
public:
    explicit ScopedTmpDir(const std::string& folder) {
        const char* old = std::getenv("TMPDIR");
        mHad = old != nullptr;
        if (old) mOld = old;
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~ScopedTmpDir() {
        if (mHad)
            ::setenv("TMPDIR", mOld.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

private:
    bool mHad = false;
    std::string mOld;
};

TEST_F(FileSystemHelpersTest, PathExistsCountsFoldersOnlyInModeZero) {
    EXPECT_TRUE(PathExists(mSub.c_str(), kPathExistsAny));
    EXPECT_FALSE(PathExists(mSub.c_str(), kPathExistsNoFolder));
    EXPECT_TRUE(PathExists(mFile.c_str(), kPathExistsAny));
    EXPECT_TRUE(PathExists(mFile.c_str(), kPathExistsNoFolder));
    EXPECT_TRUE(PathExists(mFile.c_str(), 5));  // other modes: folders count too
    EXPECT_TRUE(PathExists(mSub.c_str(), 5));
}

TEST_F(FileSystemHelpersTest, PathExistsIsFalseForMissingEmptyAndNullPaths) {
    const std::string missing = mFolder + "/missing";
    for (int32_t mode : {0, 1}) {
        EXPECT_FALSE(PathExists(missing.c_str(), mode));
        EXPECT_FALSE(PathExists("", mode));
        EXPECT_FALSE(PathExists(nullptr, mode));
    }
}

TEST_F(FileSystemHelpersTest, ExistenceAndKindOfEntries) {
    EXPECT_TRUE(FileSpecExists(Spec(mFile)));
    EXPECT_TRUE(CheckFileExists(Spec(mSub), true));  // a folder is found too
    EXPECT_FALSE(FileSpecExists(Spec(mFolder + "/missing")));
    EXPECT_FALSE(FileSpecExists(TFileSpecifier()));
    EXPECT_TRUE(IsFileSpecFile(Spec(mFile)));
    EXPECT_FALSE(IsFileSpecFile(Spec(mSub)));
    EXPECT_FALSE(IsFileSpecFile(Spec(mFolder + "/missing")));
    EXPECT_TRUE(IsFileSpecFolder(Spec(mSub)));
    EXPECT_FALSE(IsFileSpecFolder(Spec(mFile)));
    EXPECT_FALSE(IsFileSpecFolder(Spec(mFolder + "/missing"), true));
}

TEST_F(FileSystemHelpersTest, FolderHasEntriesIgnoresAFinalSlash) {
    for (const std::string& folder : {mSub, mSub + "/"}) {
        EXPECT_FALSE(FolderHasEntries(folder.c_str())) << folder;
    }
    WriteAll(mSub + "/x", "");
    for (const std::string& folder : {mSub, mSub + "/"}) {
        EXPECT_TRUE(FolderHasEntries(folder.c_str())) << folder;
    }
}

// A search for every entry also meets "." and ".."; counted, they made an
// empty folder "have entries".
TEST_F(FileSystemHelpersTest, EmptyFolderHasNoEntriesDespiteDotEntries) {
    EXPECT_FALSE(FolderHasEntries(mSub.c_str()));
    fs::create_directory(mSub + "/inner");
    EXPECT_TRUE(FolderHasEntries(mSub.c_str()));
    WriteAll(mSub + "/inner/.hidden", "");
    EXPECT_TRUE(FolderHasEntries((mSub + "/inner").c_str()));
}

TEST_F(FileSystemHelpersTest, FolderHasEntriesIsFalseForWhatIsNoFolder) {
    EXPECT_FALSE(FolderHasEntries(nullptr));
    EXPECT_FALSE(FolderHasEntries(""));
    EXPECT_FALSE(FolderHasEntries((mFolder + "/missing").c_str()));
    EXPECT_FALSE(FolderHasEntries(mFile.c_str()));
}

TEST_F(FileSystemHelpersTest, CompareFileSpecsIsByteForByte) {
    EXPECT_TRUE(CompareFileSpecs(Spec("/a/B.pdf"), Spec("/a/B.pdf")));
    EXPECT_FALSE(CompareFileSpecs(Spec("/a/B.pdf"), Spec("/a/b.pdf")));
    EXPECT_FALSE(CompareFileSpecs(Spec("/a/b.pdf"), Spec("/a/b.pdf/")));
}

TEST_F(FileSystemHelpersTest, DefaultSpecIsEmptyAndAssignCopies) {
    TFileSpecifier spec = Spec("/x");
    GetDefaultFileSpec(spec);
    EXPECT_TRUE(IsFileSpecEmpty(spec));
    TFileSpecifier dest;
    EXPECT_EQ(&AssignFileSpec(dest, Spec(mFile)), &dest);
    EXPECT_EQ(dest.GetPath(), mFile);
}

TEST_F(FileSystemHelpersTest, FileLengthOfFilesOnly) {
    EXPECT_EQ(GetFileSpecLength(Spec(mFile)), 5u);
    EXPECT_EQ(GetFileSpecLength(Spec(mFolder + "/missing")), 0u);
    EXPECT_EQ(GetFileSpecLength(Spec(mSub)), 0u);
    EXPECT_EQ(GetFileSpecLength(TFileSpecifier()), 0u);
}

TEST_F(FileSystemHelpersTest, TryDeleteReportsTheSystemError) {
    EXPECT_EQ(TryDeleteFileSpec(Spec(mFile)), 0);
    EXPECT_FALSE(fs::exists(mFile));
    EXPECT_EQ(TryDeleteFileSpec(Spec(mFile)), ENOENT);
    EXPECT_EQ(TryDeleteFileSpec(TFileSpecifier()), ENOENT);
    DeleteFileSpec(Spec(mFile));  // nothing to report
}

TEST_F(FileSystemHelpersTest, CopyReplacesTheDestinationWithTheSourcesBytesAndMode) {
    const std::string dest = mSub + "/copy.txt";
    WriteAll(dest, "older and longer contents");
    ::chmod(mFile.c_str(), 0640);
    EXPECT_EQ(CopyFileSpec(Spec(mFile), Spec(dest)), 0);
    EXPECT_EQ(readAll(dest), "hello");
    EXPECT_EQ(fs::status(dest).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntryCount(mSub), 1u);  // no temporary file left
    EXPECT_EQ(readAll(mFile), "hello");
}

TEST_F(FileSystemHelpersTest, FailedCopyOrMoveLeavesTheDestinationWhole) {
    const std::string dest = mSub + "/keep.txt";
    WriteAll(dest, "precious");
    EXPECT_EQ(TryCopyFileSpec(Spec(mFolder + "/missing"), Spec(dest)), ENOENT);
    EXPECT_EQ(TryMoveFileSpec(Spec(mFolder + "/missing"), Spec(dest)), ENOENT);
    EXPECT_NE(TryCopyFileSpec(Spec(mSub), Spec(dest)), 0);  // a folder is no file to copy
    EXPECT_EQ(readAll(dest), "precious");
    EXPECT_EQ(EntryCount(mSub), 1u);
}

TEST_F(FileSystemHelpersTest, CopyOntoAFolderFailsAndLeavesNothingBehind) {
    EXPECT_NE(TryCopyFileSpec(Spec(mFile), Spec(mSub)), 0);
    EXPECT_TRUE(fs::is_directory(mSub));
    EXPECT_EQ(EntryCount(mFolder), 2u);  // file.txt and sub
}

TEST_F(FileSystemHelpersTest, MoveRenamesAFile) {
    const std::string dest = mSub + "/moved.txt";
    EXPECT_EQ(MoveFileSpec(Spec(mFile), Spec(dest)), 0);
    EXPECT_FALSE(fs::exists(mFile));
    EXPECT_EQ(readAll(dest), "hello");
}

TEST_F(FileSystemHelpersTest, MoveRenamesAFolder) {
    WriteAll(mSub + "/inside", "i");
    const std::string dest = mFolder + "/renamed";
    EXPECT_EQ(TryMoveFileSpec(Spec(mSub), Spec(dest)), 0);
    EXPECT_EQ(readAll(dest + "/inside"), "i");
}

// The system's rename silently replaces its target; a move must not.
TEST_F(FileSystemHelpersTest, MoveFileSpecDoesNotReplaceAnExistingTarget) {
    const std::string dest = mSub + "/taken.txt";
    WriteAll(dest, "other file");
    EXPECT_EQ(TryMoveFileSpec(Spec(mFile), Spec(dest)), EEXIST);
    EXPECT_EQ(readAll(dest), "other file");
    EXPECT_EQ(readAll(mFile), "hello");
}

TEST_F(FileSystemHelpersTest, MoveCrossesFileSystemsWithoutReplacing) {
    // /dev/shm is a separate file system on most Linux systems.
    struct stat here, there;
    if (::stat(mFolder.c_str(), &here) != 0 || ::stat("/dev/shm", &there) != 0 ||
        here.st_dev == there.st_dev || ::access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable file system";
    char pattern[] = "/dev/shm/qm-move-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::string other = pattern;
    const std::string taken = other + "/taken.txt";
    WriteAll(taken, "other");
    EXPECT_EQ(TryMoveFileSpec(Spec(mFile), Spec(taken)), EEXIST);
    EXPECT_EQ(readAll(taken), "other");
    EXPECT_EQ(readAll(mFile), "hello");
    const std::string dest = other + "/moved.txt";
    EXPECT_EQ(TryMoveFileSpec(Spec(mFile), Spec(dest)), 0);
    EXPECT_EQ(readAll(dest), "hello");
    EXPECT_FALSE(fs::exists(mFile));
    EXPECT_EQ(EntryCount(other), 2u);  // no temporary file left
    fs::remove_all(other);
}

TEST_F(FileSystemHelpersTest, TempFilePathBeginsWithAtMostThreePrefixCharacters) {
    ScopedTmpDir tmp(mSub);
    char path[kFileSpecCapacity];
    ASSERT_TRUE(MakeTempFilePath("abc", path, sizeof path));
    const std::string name = fs::path(path).filename().string();
    EXPECT_EQ(fs::path(path).parent_path().string(), mSub);
    EXPECT_EQ(name.substr(0, 3), "abc");
    EXPECT_TRUE(fs::is_regular_file(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    char second[kFileSpecCapacity];
    ASSERT_TRUE(MakeTempFilePath("abcdef", second, sizeof second));
    const std::string secondName = fs::path(second).filename().string();
    EXPECT_EQ(secondName.substr(0, 3), "abc");
    // Three prefix characters and the six random ones: "def" is not used.
    EXPECT_EQ(secondName.size(), 9u) << secondName;
    EXPECT_STRNE(path, second);
}

TEST_F(FileSystemHelpersTest, TempFilePrefixCountsCharactersNotBytes) {
    ScopedTmpDir tmp(mSub);
    char path[kFileSpecCapacity];
    ASSERT_TRUE(MakeTempFilePath("\xe5\x8d\xb0\xe7\xab\xa0\xe5\x90\x8d\xe5\xad\x97", path, sizeof path));
    EXPECT_EQ(fs::path(path).filename().string().substr(0, 9), "\xe5\x8d\xb0\xe7\xab\xa0\xe5\x90\x8d");
}

TEST_F(FileSystemHelpersTest, TempFilePrefixCannotLeaveTheFolder) {
    ScopedTmpDir tmp(mSub);
    char path[kFileSpecCapacity];
    ASSERT_TRUE(MakeTempFilePath("a/b", path, sizeof path));
    EXPECT_EQ(fs::path(path).parent_path().string(), mSub);
}

TEST_F(FileSystemHelpersTest, MissingTempFolderIsCreated) {
    const std::string folder = mSub + "/made-on-demand";
    ScopedTmpDir tmp(folder);
    char path[kFileSpecCapacity];
    ASSERT_TRUE(MakeTempFilePath("qm", path, sizeof path));
    EXPECT_EQ(fs::path(path).parent_path().string(), folder);
}

TEST_F(FileSystemHelpersTest, TempPathThatDoesNotFitIsRefusedAndRemoved) {
    ScopedTmpDir tmp(mSub);
    char path[8] = "x";
    EXPECT_FALSE(MakeTempFilePath("qm", path, sizeof path));
    EXPECT_STREQ(path, "");
    EXPECT_EQ(EntryCount(mSub), 0u);
}

TEST_F(FileSystemHelpersTest, TempFileSpecInItsOwnFolder) {
    TFileSpecifier inFolder = Spec(mSub);
    ASSERT_TRUE(MakeTempFileSpec("pfs", inFolder, true));
    EXPECT_EQ(fs::path(inFolder.GetPath()).parent_path().string(), mSub);
    TFileSpecifier besideFile = Spec(mFile);
    ASSERT_TRUE(MakeTempFileSpec("pfs", besideFile, true));
    EXPECT_EQ(fs::path(besideFile.GetPath()).parent_path().string(), mFolder);
    EXPECT_TRUE(fs::is_regular_file(besideFile.GetPath()));
    TFileSpecifier none;
    EXPECT_FALSE(MakeTempFileSpec("pfs", none, true));
}

TEST_F(FileSystemHelpersTest, TempFileSpecInTheTempFolder) {
    ScopedTmpDir tmp(mSub);
    TFileSpecifier spec = Spec(mFile);
    ASSERT_TRUE(MakeTempFileSpec("log", spec, false));
    EXPECT_EQ(fs::path(spec.GetPath()).parent_path().string(), mSub);
}

TEST_F(FileSystemHelpersTest, UniqueSpecOfAFreePathIsUnchanged) {
    TFileSpecifier spec = Spec(mFolder + "/free.pdf");
    EXPECT_EQ(MakeUniqueFileSpec(spec), 0);
    EXPECT_EQ(spec.GetPath(), mFolder + "/free.pdf");
}

TEST_F(FileSystemHelpersTest, UniqueSpecNumbersBeforeTheExtension) {
    WriteAll(mFolder + "/b.pdf", "");
    TFileSpecifier spec = Spec(mFolder + "/b.pdf");
    EXPECT_EQ(MakeUniqueFileSpec(spec), 0);
    EXPECT_EQ(spec.GetPath(), mFolder + "/b.1.pdf");
    WriteAll(mFolder + "/b.1.pdf", "");
    spec = (mFolder + "/b.pdf").c_str();
    EXPECT_EQ(MakeUniqueFileSpec(spec), 0);
    EXPECT_EQ(spec.GetPath(), mFolder + "/b.2.pdf");
}

TEST_F(FileSystemHelpersTest, UniqueSpecWithoutExtensionAppendsTheNumber) {
    WriteAll(mFolder + "/readme", "");
    TFileSpecifier spec = Spec(mFolder + "/readme");
    EXPECT_EQ(MakeUniqueFileSpec(spec), 0);
    EXPECT_EQ(spec.GetPath(), mFolder + "/readme1");
}

// The extension used to be looked for in the whole path, so a/x.y/file became
// a/x.1.y/file, a path in a folder that does not exist.
TEST_F(FileSystemHelpersTest, MakeUniqueFileSpecDotInFolderNameIsNotTheExtension) {
    const std::string folder = mFolder + "/v1.2";
    fs::create_directory(folder);
    WriteAll(folder + "/file", "");
    TFileSpecifier spec = Spec(folder + "/file");
    EXPECT_EQ(MakeUniqueFileSpec(spec), 0);
    EXPECT_EQ(spec.GetPath(), folder + "/file1");
}

TEST_F(FileSystemHelpersTest, UniqueSpecThatCannotFitIsRefused) {
    // An existing path whose numbered form would not fit the buffer.
    std::string path = mFolder;
    while (path.size() + 256 < kFileSpecCapacity - 1) {
        path += "/" + std::string(200, 'd');
        fs::create_directory(path);
    }
    path += "/" + std::string(kFileSpecCapacity - 2 - path.size(), 'f');
    ASSERT_EQ(path.size(), kFileSpecCapacity - 1);
    WriteAll(path, "");
    ASSERT_TRUE(fs::exists(path));
    TFileSpecifier spec = Spec(path);
    EXPECT_EQ(MakeUniqueFileSpec(spec), ENAMETOOLONG);
    EXPECT_EQ(spec.GetPath(), path);
}

}  // namespace
