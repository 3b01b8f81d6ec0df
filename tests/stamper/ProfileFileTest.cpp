// Profile files in the Profiles folder: leaf and profile names, safe names,
// unique names for pasted and imported profiles, rename and delete.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/PluginFixture.h"
#include "stamper/CProfileFile.h"
#include "stamper/HostServices.h"

namespace {

namespace fs = std::filesystem;

struct NameRow {
    const char* name;
    const char* path;
    const char* leaf;
    const char* profile;
};

class ProfileNames : public ::testing::TestWithParam<NameRow> {};

TEST_P(ProfileNames, LeafAndProfileNameOfAPath) {
    CProfileFile file(GetParam().path);
    EXPECT_EQ(GetLeafName(file), GetParam().leaf);
    EXPECT_STREQ(file.GetProfileName(), GetParam().profile);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProfileNames,
    ::testing::Values(NameRow{"Plain", "/p/Profiles/A.nxp", "A.nxp", "A"},
                      NameRow{"OnlyTheLastDotGoes", "/p/Profiles/a.nxp.bak", "a.nxp.bak", "a.nxp"},
                      NameRow{"LeafWithoutDotStaysWhole", "/p/Profiles/notes", "notes", "notes"},
                      NameRow{"DotInFolderNameIsNotTheExtension", "/p.d/Profiles/plain", "plain", "plain"},
                      NameRow{"Chinese", "/p/Profiles/机密印章.nxp", "机密印章.nxp", "机密印章"},
                      NameRow{"NoSlashGivesNoLeaf", "A.nxp", "", ""},
                      NameRow{"FolderPathGivesNoLeaf", "/p/Profiles/", "", ""}),
    [](const auto& row) { return std::string(row.param.name); });

struct SafeRow {
    const char* name;
    std::string text;
    bool safe;
};

class SafeProfileNames : public ::testing::TestWithParam<SafeRow> {};

TEST_P(SafeProfileNames, NameThatWouldLeaveTheProfilesFolderIsRefused) {
    EXPECT_EQ(IsSafeProfileName(GetParam().text), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SafeProfileNames,
    ::testing::Values(SafeRow{"Plain", "Bates numbers", true}, SafeRow{"Chinese", "机密", true},
                      SafeRow{"LeadingDots", "..hidden", true}, SafeRow{"Empty", "", false},
                      SafeRow{"Dot", ".", false}, SafeRow{"DotDot", "..", false},
                      SafeRow{"Slash", "a/b", false}, SafeRow{"ParentPath", "../escape", false},
                      SafeRow{"Backslash", "a\\b", false}, SafeRow{"Nul", std::string("a\0b", 3), false},
                      SafeRow{"LongestThatFits", std::string(251, 'x'), true},
                      SafeRow{"TooLongForAFileName", std::string(252, 'x'), false}),
    [](const auto& row) { return std::string(row.param.name); });

class ProfileFile : public ::testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        const std::string data = qmtest::MakeTempFolder("qmprof");
        ASSERT_TRUE(SetStamperDataPaths(data.c_str()));
        mFolder = GetProfilesFolderPath();
        fs::create_directory(mFolder);
    }

    std::string Make(const std::string& leaf, const std::string& content = "profile") {
        const std::string path = mFolder + "/" + leaf;
        std::ofstream(path) << content;
        return path;
    }

    std::string mFolder;
};

TEST_F(ProfileFile, ProfilePathOfASafeName) {
    TFileSpecifier spec;
    ASSERT_TRUE(CProfileFile::MakeProfilePath("Footer", spec));
    EXPECT_EQ(std::string(spec.GetPath()), mFolder + "/Footer.nxp");
    EXPECT_FALSE(CProfileFile::MakeProfilePath("../Footer", spec));
    EXPECT_TRUE(spec.IsEmpty());
    EXPECT_FALSE(CProfileFile::MakeProfilePath(nullptr, spec));
}

TEST_F(ProfileFile, PastedCopyIsNumberedWhenItsNameIsTaken) {
    CProfileFile a(Make("A.nxp").c_str());
    Make("Copy of A.nxp");
    ASSERT_TRUE(a.MakeUniqueName("Copy of "));
    EXPECT_EQ(std::string(a.GetPath()), mFolder + "/Copy of A1.nxp");
}

TEST_F(ProfileFile, UniqueNameCountsOnUntilAFreeOne) {
    CProfileFile a(Make("A.nxp").c_str());
    Make("Import of A.nxp");
    Make("Import of A1.nxp");
    Make("Import of A2.nxp");
    ASSERT_TRUE(a.MakeUniqueName("Import of "));
    EXPECT_EQ(std::string(a.GetPath()), mFolder + "/Import of A3.nxp");
}

TEST_F(ProfileFile, UniqueNameIsTheFirstCandidateWhenFree) {
    CProfileFile a(Make("A.nxp").c_str());
    ASSERT_TRUE(a.MakeUniqueName("Copy of "));
    EXPECT_EQ(std::string(a.GetPath()), mFolder + "/Copy of A.nxp");
    CProfileFile same(Make("B.nxp").c_str());
    ASSERT_TRUE(same.MakeUniqueName(""));
    EXPECT_EQ(std::string(same.GetPath()), mFolder + "/B1.nxp") << "its own name is taken by itself";
}

TEST_F(ProfileFile, NamesDifferingOnlyInLetterCaseAreTheSameProfile) {
    CProfileFile a(Make("A.nxp").c_str());
    Make("copy of a.NXP");
    ASSERT_TRUE(a.MakeUniqueName("Copy of "));
    EXPECT_EQ(std::string(a.GetPath()), mFolder + "/Copy of A1.nxp");
}

TEST_F(ProfileFile, UniqueNameOfAMissingFileChangesNothing) {
    CProfileFile missing((mFolder + "/Gone.nxp").c_str());
    EXPECT_FALSE(missing.MakeUniqueName("Copy of "));
    EXPECT_EQ(std::string(missing.GetPath()), mFolder + "/Gone.nxp");
}

TEST_F(ProfileFile, UniqueNameWithAnUnsafePrefixIsRefused) {
    CProfileFile a(Make("A.nxp").c_str());
    EXPECT_FALSE(a.MakeUniqueName("../"));
    EXPECT_EQ(std::string(a.GetPath()), mFolder + "/A.nxp");
}

TEST_F(ProfileFile, RenameMovesTheFileAndTakesItsPath) {
    CProfileFile a(Make("A.nxp", "content of A").c_str());
    ASSERT_TRUE(a.Rename("Footer"));
    EXPECT_EQ(std::string(a.GetPath()), mFolder + "/Footer.nxp");
    EXPECT_FALSE(fs::exists(mFolder + "/A.nxp"));
    std::ifstream in(a.GetPath());
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "content of A");
}

TEST_F(ProfileFile, RenameToAnExistingProfileFailsAndKeepsBoth) {
    CProfileFile a(Make("A.nxp").c_str());
    Make("B.nxp");
    EXPECT_FALSE(a.Rename("B"));
    EXPECT_FALSE(a.Rename("b")) << "B in another letter case is still B";
    EXPECT_TRUE(fs::exists(mFolder + "/A.nxp"));
    EXPECT_TRUE(fs::exists(mFolder + "/B.nxp"));
    EXPECT_EQ(std::string(a.GetPath()), mFolder + "/A.nxp");
}

// Letter case is compared as the user reads it, in any script.
TEST_F(ProfileFile, RenameToANameTakenInAnotherLetterCaseFails) {
    const struct {
        const char* existing;
        const char* newName;
        bool refused;
    } rows[] = {
        {"Ärger", "ärger", true}, {"ΟΔΟΣ", "οδος", true}, {"ǅ", "ǆ", true},
        {"中文", "中文", true},   {"中文", "中", false},   {"Straße", "STRASSE", false},
    };
    for (const auto& row : rows) {
        const std::string existing = Make(std::string(row.existing) + ".nxp");
        CProfileFile a(Make("A.nxp").c_str());
        EXPECT_EQ(a.Rename(row.newName), !row.refused) << row.existing << " / " << row.newName;
        EXPECT_TRUE(fs::exists(existing)) << row.existing;
        fs::remove(a.GetPath());
        fs::remove(existing);
    }
}

TEST_F(ProfileFile, RenameMayChangeLetterCaseOnly) {
    CProfileFile a(Make("footer.nxp").c_str());
    ASSERT_TRUE(a.Rename("Footer"));
    EXPECT_TRUE(fs::exists(mFolder + "/Footer.nxp"));
    EXPECT_FALSE(fs::exists(mFolder + "/footer.nxp"));
}

TEST_F(ProfileFile, RenameThatWouldLeaveTheProfilesFolderIsRefused) {
    CProfileFile a(Make("A.nxp").c_str());
    EXPECT_FALSE(a.Rename("../escaped"));
    EXPECT_FALSE(a.Rename(".."));
    EXPECT_FALSE(a.Rename(""));
    EXPECT_FALSE(fs::exists(fs::path(mFolder).parent_path() / "escaped.nxp"));
    EXPECT_TRUE(fs::exists(mFolder + "/A.nxp"));
}

TEST_F(ProfileFile, RenameOfAMissingFileFails) {
    CProfileFile missing((mFolder + "/Gone.nxp").c_str());
    EXPECT_FALSE(missing.Rename("Other"));
    EXPECT_FALSE(fs::exists(mFolder + "/Other.nxp"));
}

TEST_F(ProfileFile, DeleteRemovesTheFileAndToleratesAMissingOne) {
    CProfileFile a(Make("A.nxp").c_str());
    a.Delete();
    EXPECT_FALSE(fs::exists(mFolder + "/A.nxp"));
    a.Delete();
}

}  // namespace
