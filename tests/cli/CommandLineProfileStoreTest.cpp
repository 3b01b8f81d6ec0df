// The profiles folder as the command line sees it: names checked before they
// become file names, listing and finding as the plug-in's Stamp submenu does,
// and writing through a temporary file.
#include <gtest/gtest.h>

#include <filesystem>

#include "cabinet/Cabinet.h"
#include "cli/ProfileStore.h"
#include "common/PdfFixtures.h"

namespace {

using qmcli::ProfileStore;

struct NameRow {
    const char* label;
    std::string name;
    bool valid;
};

class ProfileName : public ::testing::TestWithParam<NameRow> {};

TEST_P(ProfileName, IsAcceptedOnlyWhenItStaysInTheProfilesFolder) {
    std::string why;
    EXPECT_EQ(ProfileStore::ValidName(GetParam().name, &why), GetParam().valid) << why;
    if (!GetParam().valid) {
        EXPECT_FALSE(why.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ProfileName,
    ::testing::Values(NameRow{"Plain", "Bates", true}, NameRow{"WithBlanksAndDots", "Court 2024.v2", true},
                      NameRow{"Chinese", "印章", true}, NameRow{"Empty", "", false}, NameRow{"Dot", ".", false},
                      NameRow{"DotDot", "..", false}, NameRow{"Slash", "a/b", false},
                      NameRow{"ParentPath", "../escape", false}, NameRow{"Backslash", "a\\b", false},
                      NameRow{"Nul", std::string("a\0b", 3), false}, NameRow{"LineBreak", "a\nb", false},
                      NameRow{"LongestFileName", std::string(251, 'x'), true},
                      NameRow{"FileNameTooLong", std::string(252, 'x'), false}),
    [](const auto& row) { return std::string(row.param.label); });

class ProfileStoreTest : public ::testing::Test {
protected:
    qmtest::FixtureFolder mPlugins;
    ProfileStore mStore{mPlugins.path()};

    void touch(const std::string& leaf) {
        std::filesystem::create_directories(mStore.folder());
        qmtest::writeBytes(mStore.folder() + "/" + leaf, "x");
    }
};

TEST_F(ProfileStoreTest, ListsEveryFileNamedWithNxpTitledAsTheMenuTitlesThem) {
    touch("b.nxp");
    touch("a.nxp.bak");
    touch("notes.txt");
    touch("c.NXP");
    std::filesystem::create_directory(mStore.folder() + "/folder.nxp");
    EXPECT_EQ(mStore.names(), (std::vector<std::string>{"a.nxp", "b"}));
}

TEST_F(ProfileStoreTest, FindsTheExactFileFirstThenAMenuTitle) {
    touch("a.nxp.bak");
    EXPECT_EQ(mStore.find("a.nxp"), mStore.folder() + "/a.nxp.bak");
    touch("a.nxp.nxp");
    EXPECT_EQ(mStore.find("a.nxp"), mStore.folder() + "/a.nxp.nxp");
    EXPECT_EQ(mStore.find("missing"), "");
    EXPECT_EQ(mStore.find("../x"), "") << "an invalid name finds nothing";
}

TEST_F(ProfileStoreTest, WriteReadAndRemoveLeaveNoTemporaryFile) {
    qmhost::Cabinet profile;
    profile.put("kNumberOfStamps", int32_t{0});
    std::string error;
    ASSERT_TRUE(mStore.write("Court", profile, false, &error)) << error;
    std::vector<std::string> leaves;
    for (const auto& entry : std::filesystem::directory_iterator(mStore.folder()))
        leaves.push_back(entry.path().filename().string());
    EXPECT_EQ(leaves, std::vector<std::string>{"Court.nxp"});
    const auto read = mStore.read("Court", &error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(std::get<int32_t>(*read->find("kNumberOfStamps")), 0);
    ASSERT_TRUE(mStore.remove("Court", &error)) << error;
    EXPECT_TRUE(mStore.names().empty());
}

TEST_F(ProfileStoreTest, WriteRefusesAnExistingNameAndOneDifferingOnlyInCase) {
    qmhost::Cabinet profile;
    std::string error;
    ASSERT_TRUE(mStore.write("Court", profile, false, &error)) << error;
    EXPECT_FALSE(mStore.write("Court", profile, false, &error));
    EXPECT_NE(error.find("exists"), std::string::npos) << error;
    EXPECT_FALSE(mStore.write("COURT", profile, false, &error));
    EXPECT_NE(error.find("letter case"), std::string::npos) << error;
    EXPECT_TRUE(mStore.write("Court", profile, true, &error)) << error;
}

// Two imports of one name at the same time: the one that makes the file
// first wins, the other is refused as it would be after it, and nothing of it
// is left.
TEST_F(ProfileStoreTest, ImportWhoseNameIsTakenWhileItWritesIsRefusedAsIfItCameAfter) {
    qmhost::Cabinet first, second;
    first.put("kNumberOfStamps", int32_t{0});
    second.put("kNumberOfStamps", int32_t{7});
    std::string error, secondError;
    bool secondWritten = false;
    ProfileStore::BeforeNextCreateForTesting(
        [&] { secondWritten = mStore.write("Court", second, false, &secondError); });
    EXPECT_FALSE(mStore.write("Court", first, false, &error));
    EXPECT_TRUE(secondWritten) << secondError;
    std::string afterwards;
    EXPECT_FALSE(mStore.write("Court", first, false, &afterwards));
    EXPECT_EQ(error, afterwards);
    const auto kept = mStore.read("Court", &error);
    ASSERT_TRUE(kept) << error;
    EXPECT_EQ(std::get<int32_t>(*kept->find("kNumberOfStamps")), 7);
    std::vector<std::string> leaves;
    for (const auto& entry : std::filesystem::directory_iterator(mStore.folder()))
        leaves.push_back(entry.path().filename().string());
    EXPECT_EQ(leaves, std::vector<std::string>{"Court.nxp"});
}

TEST_F(ProfileStoreTest, DamagedProfileIsAnErrorNamingTheFile) {
    touch("Broken.nxp");
    std::string error;
    EXPECT_FALSE(mStore.read("Broken", &error));
    EXPECT_NE(error.find("Broken.nxp"), std::string::npos) << error;
}

TEST_F(ProfileStoreTest, NameLeavingTheFolderIsRefusedBeforeAnyFileIsTouched) {
    qmhost::Cabinet profile;
    std::string error;
    EXPECT_FALSE(mStore.write("../outside", profile, false, &error));
    EXPECT_FALSE(std::filesystem::exists(mPlugins.path() + "/outside.nxp"));
    EXPECT_FALSE(std::filesystem::exists(mStore.folder())) << "not even the folder was made";
}

}  // namespace
