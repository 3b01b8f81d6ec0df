// Folder walks and item properties of the default file system, through the
// "AppSupport" table as plug-ins reach them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "HostTables.h"
#include "common/HostErrorOf.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/HostError.h"
#include "support/FolderItems.h"
#include "support/Paths.h"

namespace {

using qmtest::hostErrorOf;

const AppSupportTable& S() {
    qmhost::registerHostTables();
    return *qmhost::appSupportTable();
}

std::string TextOf(ASPathName path) {
    char buffer[4096];
    S().pathGetText(path, buffer, sizeof buffer);
    return buffer;
}

// Every item of the folder through the table, releasing each path.
std::vector<std::string> Walk(const std::string& folder) {
    std::vector<std::string> items;
    qmtest::HostPath path(folder);
    ASPathName item = nullptr;
    ASFolderIterator walk = S().fileSysFirstFolderItem(path, &item);
    if (!walk) return items;
    do {
        items.push_back(TextOf(item));
        S().releasePath(item);
        item = nullptr;
    } while (S().fileSysNextFolderItem(walk, &item));
    S().fileSysEndFolderIteration(walk);
    return items;
}

class FolderItems : public ::testing::Test {
protected:
    void SetUp() override {
        mPaths = qmhost::livePathCount();
        mWalks = qmhost::liveFolderIterations();
    }
    void TearDown() override {
        EXPECT_EQ(qmhost::livePathCount(), mPaths) << "a path leaked";
        EXPECT_EQ(qmhost::liveFolderIterations(), mWalks) << "a walk was not ended";
    }
    qmtest::FixtureFolder mFolder;
    size_t mPaths = 0;
    size_t mWalks = 0;
};

TEST_F(FolderItems, WalkGivesEveryItemInByteOrderSubfoldersIncluded) {
    qmtest::writeBytes(mFolder.file("b.nxp"), "b");
    qmtest::writeBytes(mFolder.file("A.nxp"), "a");
    qmtest::writeBytes(mFolder.file(".hidden"), "");
    std::filesystem::create_directory(mFolder.file("sub.nxp"));
    EXPECT_EQ(Walk(mFolder.path()), (std::vector<std::string>{mFolder.file(".hidden"), mFolder.file("A.nxp"),
                                                               mFolder.file("b.nxp"), mFolder.file("sub.nxp")}));
}

TEST_F(FolderItems, FolderPathEndingInASlashGivesNoDoubleSlash) {
    qmtest::writeBytes(mFolder.file("x"), "");
    EXPECT_EQ(Walk(mFolder.path() + "/"), std::vector<std::string>{mFolder.file("x")});
}

TEST_F(FolderItems, EmptyFolderAnswersNoWalkAndWritesNoItem) {
    qmtest::HostPath path(mFolder.path());
    ASPathName item = nullptr;
    EXPECT_EQ(S().fileSysFirstFolderItem(path, &item), nullptr);
    EXPECT_EQ(item, nullptr);
}

TEST_F(FolderItems, WalkIsASnapshotTakenAtItsStart) {
    qmtest::writeBytes(mFolder.file("a"), "");
    qmtest::writeBytes(mFolder.file("b"), "");
    qmtest::HostPath path(mFolder.path());
    ASPathName item = nullptr;
    ASFolderIterator walk = S().fileSysFirstFolderItem(path, &item);
    ASSERT_NE(walk, nullptr);
    S().releasePath(item);
    std::filesystem::remove(mFolder.file("b"));
    qmtest::writeBytes(mFolder.file("c"), "");
    ASSERT_TRUE(S().fileSysNextFolderItem(walk, &item));
    EXPECT_EQ(TextOf(item), mFolder.file("b"));
    S().releasePath(item);
    EXPECT_FALSE(S().fileSysNextFolderItem(walk, &item));
    S().fileSysEndFolderIteration(walk);
}

TEST_F(FolderItems, MissingFolderOrAFileRaisesFileNotFound) {
    qmtest::writeBytes(mFolder.file("file"), "");
    for (const std::string& target : {mFolder.file("missing"), mFolder.file("file")}) {
        qmtest::HostPath path(target);
        ASPathName item = nullptr;
        EXPECT_EQ(hostErrorOf([&] { S().fileSysFirstFolderItem(path, &item); }), kHostErrFileNotFound) << target;
    }
}

TEST_F(FolderItems, EndedOrUnknownWalkRaisesBadHandleAndEndingTwiceIsHarmless) {
    qmtest::writeBytes(mFolder.file("a"), "");
    qmtest::HostPath path(mFolder.path());
    ASPathName item = nullptr;
    ASFolderIterator walk = S().fileSysFirstFolderItem(path, &item);
    S().releasePath(item);
    S().fileSysEndFolderIteration(walk);
    S().fileSysEndFolderIteration(walk);
    S().fileSysEndFolderIteration(nullptr);
    EXPECT_EQ(hostErrorOf([&] { S().fileSysNextFolderItem(walk, &item); }), kHostErrBadHandle);
}

TEST_F(FolderItems, FilePropertiesGiveItsTypeAndItsSizeInTwoWords) {
    qmtest::writeBytes(mFolder.file("five"), "12345");
    qmtest::HostPath path(mFolder.file("five"));
    ASFileSysItemProps props{};
    props.size = sizeof props;
    S().fileSysGetItemProps(path, &props);
    EXPECT_EQ(props.isThere, 1u);
    EXPECT_EQ(props.type, kASFileSysFile);
    EXPECT_EQ(props.fileSize, 5u);
    EXPECT_EQ(props.fileSizeHigh, 0u);
    EXPECT_EQ(props.hidden, 0u);
    EXPECT_GT(props.modifiedLow | props.modifiedHigh, 0u);
}

TEST_F(FolderItems, FolderPropertiesSayFolderWithSizeZero) {
    qmtest::HostPath path(mFolder.path());
    ASFileSysItemProps props{};
    props.size = sizeof props;
    S().fileSysGetItemProps(path, &props);
    EXPECT_EQ(props.type, kASFileSysFolder);
    EXPECT_EQ(props.fileSize, 0u);
}

TEST_F(FolderItems, PropertiesOfAMissingItemOrWithAWrongRecordSizeRaise) {
    qmtest::HostPath missing(mFolder.file("missing"));
    ASFileSysItemProps props{};
    props.size = sizeof props;
    EXPECT_EQ(hostErrorOf([&] { S().fileSysGetItemProps(missing, &props); }), kHostErrFileNotFound);
    qmtest::HostPath folder(mFolder.path());
    props.size = 40;
    EXPECT_EQ(hostErrorOf([&] { S().fileSysGetItemProps(folder, &props); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { S().fileSysGetItemProps(folder, nullptr); }), kHostErrBadParameter);
}

}  // namespace
