// The preferences store's behaviour: adding, replacing and removing tags, typed
// setters, copies, the modified flag, reading and writing files, dumps, the
// tag list and the registry of tag types.
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "common/FileSizeLimit.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "support/prefs/CPreferences.h"
#include "support/prefs/CPreferencesDataTags.h"
#include "support/prefs/CPreferencesPreferencesTag.h"
#include "support/prefs/CPreferencesValueTags.h"
#include "support/ErrorCode.h"
#include "support/prefs/PreferenceSetters.h"
#include "support/prefs/PreferenceTagTypes.h"

namespace {

using qmtest::readAll;

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

// Ids of the store's tags in list order.
std::vector<uint32_t> Ids(const CPreferences& store) {
    std::vector<uint32_t> ids;
    for (int32_t i = 0; i < store.GetTagCount(); ++i) {
        CPreferencesTag* tag = nullptr;
        store.GetTagAt(i, tag);
        ids.push_back(tag->GetId());
    }
    return ids;
}

int32_t LongOf(const CPreferences& store, uint32_t id) {
    auto* tag = dynamic_cast<CPreferencesLongTag*>(store.GetTag(id));
    EXPECT_NE(tag, nullptr);
    return tag ? tag->GetValue() : -999;
}

// What a dump prints, through a memory FILE.
std::string DumpText(const std::function<void(FILE*)>& dump) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* file = open_memstream(&buffer, &size);
    dump(file);
    std::fclose(file);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

class PreferencesStore : public testing::Test {
protected:
    void SetUp() override {
        mFolder = qmtest::MakeTempFolder("qm-prefstore-");
        mPath = mFolder + "/store.pfs";
        UnregisterPrefTagTypes();
        RegisterPreferenceTagTypes();
        mStore.SetPath(mPath.c_str());
    }
    std::string mFolder;
    std::string mPath;
    CPreferences mStore;
};

TEST_F(PreferencesStore, DefaultsAreSpipVersionZeroTypeQuestionMarksCreatorPref) {
    CPreferences store;
    EXPECT_STREQ(store.GetPath(), "");
    EXPECT_EQ(store.GetSignature(), 0x73706970u);
    EXPECT_EQ(store.GetVersion(), 0u);
    EXPECT_EQ(store.GetType(), 0x3f3f3f3fu);
    EXPECT_EQ(store.GetCreator(), 0x70726566u);
    EXPECT_FALSE(store.IsModified());
    EXPECT_EQ(store.GetTagCount(), 0);
}

TEST_F(PreferencesStore, SetterOnAnIdOfAnotherClassReplacesTheTagAtTheEnd) {
    SetBooleanPreference(mStore, 1, true);
    SetLongPreference(mStore, 2, 5);
    SetLongPreference(mStore, 1, 7);
    EXPECT_EQ(Ids(mStore), (std::vector<uint32_t>{2, 1}));
    EXPECT_EQ(LongOf(mStore, 1), 7);
}

TEST_F(PreferencesStore, SetterOnAnIdOfItsClassChangesTheValueInPlace) {
    SetLongPreference(mStore, 1, 5);
    SetLongPreference(mStore, 2, 6);
    CPreferencesTag* before = mStore.GetTag(1);
    ASSERT_TRUE(mStore.WriteFile());  // clears the modified flag
    SetLongPreference(mStore, 1, 8);
    EXPECT_EQ(mStore.GetTag(1), before);
    EXPECT_EQ(Ids(mStore), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(LongOf(mStore, 1), 8);
    EXPECT_FALSE(mStore.IsModified());  // an in-place change leaves the flag alone
}

TEST_F(PreferencesStore, EveryTypedSetterStoresItsValue) {
    SetPointPreference(mStore, 1, {3, 4});
    SetRectPreference(mStore, 2, {1, 2, 3, 4});
    SetFloatPreference(mStore, 3, -0.25);
    SetStringPreference(mStore, 4, "text");
    SetFilePreference(mStore, 5, TFileSpecifier("/x/y"));
    SetMemoryPreference(mStore, 6, 2, "ab");
    SetPreferencesPreference(mStore, 7, std::make_unique<CPreferences>());
    EXPECT_EQ(dynamic_cast<CPreferencesPointTag*>(mStore.GetTag(1))->GetValue(), (PrefPoint{3, 4}));
    EXPECT_EQ(dynamic_cast<CPreferencesRectTag*>(mStore.GetTag(2))->GetValue(), (PrefRect{1, 2, 3, 4}));
    EXPECT_EQ(dynamic_cast<CPreferencesFloatTag*>(mStore.GetTag(3))->GetValue(), -0.25);
    EXPECT_STREQ(dynamic_cast<CPreferencesStringTag*>(mStore.GetTag(4))->GetValue(), "text");
    EXPECT_EQ(mStore.GetTag(4)->GetSize(), 4u);
    EXPECT_STREQ(dynamic_cast<CPreferencesFileTag*>(mStore.GetTag(5))->GetValue().GetPath(), "/x/y");
    EXPECT_EQ(mStore.GetTag(6)->GetSize(), 2u);
    EXPECT_NE(dynamic_cast<CPreferencesPreferencesTag*>(mStore.GetTag(7))->GetValue(), nullptr);
    // Changed in place: sizes follow the values.
    SetStringPreference(mStore, 4, "longer text");
    EXPECT_EQ(mStore.GetTag(4)->GetSize(), 11u);
    SetMemoryPreference(mStore, 6, 5, "12345");
    EXPECT_EQ(mStore.GetTag(6)->GetSize(), 5u);
}

TEST_F(PreferencesStore, AddTagOfATagAlreadyHeldLeavesTheListUnchanged) {
    auto* tag = new CPreferencesLongTag(1, 5);
    mStore.AddTag(tag);
    SetLongPreference(mStore, 2, 6);
    mStore.AddTag(tag);  // would delete the tag and then append the freed pointer
    EXPECT_EQ(Ids(mStore), (std::vector<uint32_t>{1, 2}));
    EXPECT_EQ(LongOf(mStore, 1), 5);
}

TEST_F(PreferencesStore, SetterAfterReadingDuplicateIdsMakesTheNewValueVisible) {
    SetLongPreference(mStore, 1, 10);
    ASSERT_TRUE(mStore.WriteFile());
    // The same id twice in a file, first as a boolean.
    const std::string file = readAll(mPath);
    std::string doubled = file.substr(0, 8);
    doubled += std::string("\x01\0\0\0" "loob" "\x04\0\0\0" "\x01\0\0\0", 16);
    doubled += file.substr(8);
    WriteAll(mPath, doubled);
    ASSERT_TRUE(mStore.ReadFile(true)) << mStore.GetLastProblem();
    ASSERT_EQ(mStore.GetTagCount(), 2);
    SetLongPreference(mStore, 1, 30);  // replaces the boolean found first
    EXPECT_EQ(mStore.GetTagCount(), 1);
    EXPECT_EQ(LongOf(mStore, 1), 30);
}

TEST_F(PreferencesStore, RemoveTagDeletesEveryTagOfTheIdAndMarksTheStore) {
    mStore.AddTag(std::make_unique<CPreferencesLongTag>(1, 1));
    mStore.AddTag(std::make_unique<CPreferencesLongTag>(2, 2));
    ASSERT_TRUE(mStore.WriteFile());
    mStore.RemoveTag(3);
    EXPECT_FALSE(mStore.IsModified());
    mStore.RemoveTag(1);
    EXPECT_TRUE(mStore.IsModified());
    EXPECT_EQ(Ids(mStore), std::vector<uint32_t>{2});
}

TEST_F(PreferencesStore, GetTagAtFollowsTheArrayIndexConventions) {
    SetLongPreference(mStore, 1, 1);
    SetLongPreference(mStore, 2, 2);
    CPreferencesTag* tag = nullptr;
    EXPECT_TRUE(mStore.GetTagAt(CBridgeArray::kLastIndex, tag));
    EXPECT_EQ(tag->GetId(), 2u);
    CPreferencesTag* untouched = tag;
    EXPECT_FALSE(mStore.GetTagAt(2, tag));
    EXPECT_FALSE(mStore.GetTagAt(-1, tag));
    EXPECT_EQ(tag, untouched);
    mStore.DeleteTagAt(0);
    mStore.DeleteTagAt(5);
    EXPECT_EQ(Ids(mStore), std::vector<uint32_t>{2});
}

TEST_F(PreferencesStore, CopyIsDeepAndLeavesTheModifiedFlag) {
    mStore.SetCreatorAndType(FourCharCode("crea"), FourCharCode("type"));
    mStore.SetVersion(4);
    SetLongPreference(mStore, 1, 1);
    SetPreferencesPreference(mStore, 2, std::make_unique<CPreferences>());
    CPreferences copy(mStore);
    EXPECT_FALSE(copy.IsModified());
    EXPECT_STREQ(copy.GetPath(), mPath.c_str());
    EXPECT_EQ(copy.GetCreator(), FourCharCode("crea"));
    EXPECT_EQ(copy.GetType(), FourCharCode("type"));
    EXPECT_EQ(copy.GetVersion(), 4u);
    SetLongPreference(copy, 1, 99);
    EXPECT_EQ(LongOf(mStore, 1), 1);
    EXPECT_NE(copy.GetTag(2), mStore.GetTag(2));
    EXPECT_NE(dynamic_cast<CPreferencesPreferencesTag*>(copy.GetTag(2))->GetValue(),
              dynamic_cast<CPreferencesPreferencesTag*>(mStore.GetTag(2))->GetValue());
    CPreferences assigned;
    SetLongPreference(assigned, 7, 7);
    assigned = mStore;
    EXPECT_EQ(Ids(assigned), (std::vector<uint32_t>{1, 2}));
    assigned = assigned;  // onto itself: nothing happens
    EXPECT_EQ(Ids(assigned), (std::vector<uint32_t>{1, 2}));
}

TEST_F(PreferencesStore, ModifiedFlagIsSetByAddingAndClearedByReadingAndWriting) {
    SetLongPreference(mStore, 1, 1);
    EXPECT_TRUE(mStore.IsModified());
    ASSERT_TRUE(mStore.WriteFile());
    EXPECT_FALSE(mStore.IsModified());
    SetBooleanPreference(mStore, 1, true);
    EXPECT_TRUE(mStore.IsModified());
    ASSERT_TRUE(mStore.ReadFile(true));
    EXPECT_FALSE(mStore.IsModified());
}

TEST_F(PreferencesStore, MissingFileRequiredThrowsMinus42AndEmptiesTheStore) {
    SetLongPreference(mStore, 1, 1);
    try {
        mStore.ReadFile(true);
        FAIL() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrPrefsMissing);
    }
    EXPECT_EQ(mStore.GetTagCount(), 0);
}

TEST_F(PreferencesStore, MissingFileNotRequiredEmptiesTheStoreAndKeepsTheFlag) {
    SetLongPreference(mStore, 1, 1);
    EXPECT_TRUE(mStore.ReadFile(false));
    EXPECT_EQ(mStore.GetTagCount(), 0);
    EXPECT_TRUE(mStore.IsModified());
}

TEST_F(PreferencesStore, DamagedFileKeepsTheTagsReadBeforeTheDamage) {
    SetLongPreference(mStore, 1, 1);
    SetLongPreference(mStore, 2, 2);
    ASSERT_TRUE(mStore.WriteFile());
    std::string file = readAll(mPath);
    file[8 + 16 + 8] = '\x7f';  // the second record's size: far past the end
    WriteAll(mPath, file);
    EXPECT_FALSE(mStore.ReadFile(true));
    EXPECT_EQ(Ids(mStore), std::vector<uint32_t>{1});
    EXPECT_NE(mStore.GetLastProblem().find("damaged"), std::string::npos);
    EXPECT_NE(mStore.GetLastProblem().find(mPath), std::string::npos);
}

TEST_F(PreferencesStore, FolderAtThePathIsReportedAsUnreadable) {
    mStore.SetPath(mFolder.c_str());
    EXPECT_FALSE(mStore.ReadFile(true));
    EXPECT_NE(mStore.GetLastProblem().find("cannot be opened"), std::string::npos);
}

TEST_F(PreferencesStore, WriteFileThatCannotBeMadeReportsFailure) {
    mStore.SetPath((mFolder + "/missing/store.pfs").c_str());
    SetLongPreference(mStore, 1, 1);
    EXPECT_FALSE(mStore.WriteFile());
    EXPECT_TRUE(mStore.IsModified());
    EXPECT_NE(mStore.GetLastProblem().find("cannot be written"), std::string::npos);
}

TEST_F(PreferencesStore, WriteFileWithoutAPathReportsFailure) {
    CPreferences store;
    EXPECT_FALSE(store.WriteFile());
    EXPECT_FALSE(store.GetLastProblem().empty());
}

TEST_F(PreferencesStore, WriteOverAFolderFailsAndLeavesNoTemporaryFile) {
    const std::string folder = mFolder + "/store.pfs";
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    SetLongPreference(mStore, 1, 1);
    EXPECT_FALSE(mStore.WriteFile());
    EXPECT_EQ(FolderEntries(mFolder), std::vector<std::string>{"store.pfs"});
}

TEST_F(PreferencesStore, WriteReplacesTheOldFileWholeAndKeepsItsPermissions) {
    WriteAll(mPath, "old contents that are longer than the new ones, by far, really");
    ASSERT_EQ(::chmod(mPath.c_str(), 0640), 0);
    SetLongPreference(mStore, 1, 1);
    ASSERT_TRUE(mStore.WriteFile()) << mStore.GetLastProblem();
    EXPECT_EQ(readAll(mPath).size(), 8u + 16u + 12u);
    struct stat st;
    ASSERT_EQ(::stat(mPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(FolderEntries(mFolder), std::vector<std::string>{"store.pfs"});
}

TEST_F(PreferencesStore, WriteThatFailsMidwayLeavesTheOldFileWhole) {
    SetLongPreference(mStore, 1, 1);
    ASSERT_TRUE(mStore.WriteFile());
    const std::string old = readAll(mPath);
    SetMemoryPreference(mStore, 2, 4096, std::string(4096, 'x').data());
    {
        qmtest::FileSizeLimit limit(1024);
        EXPECT_FALSE(mStore.WriteFile());
    }
    EXPECT_EQ(readAll(mPath), old);
    EXPECT_EQ(FolderEntries(mFolder), std::vector<std::string>{"store.pfs"});
    EXPECT_TRUE(mStore.WriteFile());  // and writes again once it can
}

TEST_F(PreferencesStore, DumpHeaderPrintsSmallIdsAsNumbers) {
    CPreferencesLongTag tag(5, 0x41424344);
    EXPECT_EQ(DumpText([&](FILE* f) { tag.DumpHeader(f, 0); }), "Tag #5 (4): [LONG] = 1094861636 ('DCBA')\n");
}

TEST_F(PreferencesStore, DumpHeaderPrintsCodesInMemoryOrder) {
    CPreferencesBooleanTag tag(FourCharCode("WTNF"), true);
    EXPECT_EQ(DumpText([&](FILE* f) { tag.DumpHeader(f, 1); }), "\tTag 'FNTW' (4): [BOOLEEN] = true\n");
}

TEST_F(PreferencesStore, DumpOfAStoreListsEveryTagWithNestedStoresIndented) {
    auto nested = std::make_unique<CPreferences>();
    SetRectPreference(*nested, 3, {1, 2, 3, 4});
    SetPreferencesPreference(mStore, 1, std::move(nested));
    SetStringPreference(mStore, 2, nullptr);
    mStore.AddTag(std::make_unique<CPreferencesMarkTag>(4));
    SetPointPreference(mStore, 6, {7, 8});
    SetFilePreference(mStore, 7, TFileSpecifier("/p"));
    mStore.AddTag(std::make_unique<CPreferencesPreferencesTag>(8, nullptr));
    SetFloatPreference(mStore, 9, 0.5);
    EXPECT_EQ(DumpText([&](FILE* f) { mStore.Dump(f, 0); }),
              ">>> DUMPING PREFERENCE STRUCTURE WITH 7 MEMBERS\n"
              "Tag #1 (0): [PREFERENCES]\n"
              "\t>>> DUMPING PREFERENCE STRUCTURE WITH 1 MEMBERS\n"
              "\tTag #3 (16): [RECT] = { { x(1), y(2) } - { x(3), y(4) } }\n"
              "Tag #2 (0): [STRING] = < NO STRING SPECIFIED >\n"
              "Tag #4 (0): [MARK]\n"
              "Tag #6 (8): [POINT] = { x(7), y(8)}\n"
              "Tag #7 (2): [FILE] Path = '/p' \n"
              "Tag #8 (0): [PREFERENCES] < NO PREFERENCES>\n"
              "Tag #9 (8): [FLOAT] = 0.500000\n");
}

TEST_F(PreferencesStore, DumpToFileWritesTheDumpAndIgnoresAPathThatCannotBeMade) {
    SetBooleanPreference(mStore, 1, false);
    const std::string dump = mFolder + "/dump.txt";
    mStore.DumpToFile(dump.c_str(), 0);
    EXPECT_EQ(readAll(dump), ">>> DUMPING PREFERENCE STRUCTURE WITH 1 MEMBERS\nTag #1 (4): [BOOLEEN] = false\n");
    mStore.DumpToFile((mFolder + "/missing/dump.txt").c_str(), 0);  // nothing happens
}

TEST(CPreferencesTagListComparator, ComparesIdsAsA32BitDifference) {
    CPreferencesLongTag a(5, 0), b(3, 0), c(0xffffffffu, 0);
    CPreferencesTag* pa = &a;
    CPreferencesTag* pb = &b;
    CPreferencesTag* pc = &c;
    CPreferencesTagListComparator comparator;
    EXPECT_EQ(comparator.Compare(&pa, &pb, sizeof pa, sizeof pb), 2);
    EXPECT_EQ(comparator.Compare(&pb, &pa, sizeof pa, sizeof pb), -2);
    EXPECT_EQ(comparator.Compare(&pa, &pc, sizeof pa, sizeof pc), 6);  // wraps
    EXPECT_EQ(comparator.CompareToKey(&pa, sizeof pa, 5), 0);
    std::unique_ptr<CBridgeArrayComparator> clone(comparator.Clone());
    EXPECT_NE(dynamic_cast<CPreferencesTagListComparator*>(clone.get()), nullptr);
}

TEST(CPreferencesTagList, KeepsTheOrderOfAdditionAndCopiesDeeply) {
    CPreferencesTagList list;
    EXPECT_TRUE(list.IsKeepSorted());
    EXPECT_NE(dynamic_cast<CPreferencesTagListComparator*>(list.GetComparator()), nullptr);
    list.Append(new CPreferencesLongTag(9, 1));
    list.Append(new CPreferencesLongTag(2, 2));
    CPreferencesTagList copy;
    copy.Append(new CPreferencesLongTag(5, 5));
    copy.Copy(list);
    ASSERT_EQ(copy.GetCount(), 2);
    EXPECT_EQ(copy.TagAt(0)->GetId(), 9u);
    EXPECT_EQ(copy.TagAt(1)->GetId(), 2u);
    EXPECT_NE(copy.TagAt(0), list.TagAt(0));
    EXPECT_EQ(copy.TagAt(2), nullptr);
}

TEST(PreferenceTagTypes, NineTypesAreRegisteredInTheirOrder) {
    UnregisterPrefTagTypes();
    RegisterPreferenceTagTypes();
    const CRegisteredPrefTagArray& registry = GetRegisteredPrefTagTypes();
    const char* const order[] = {"mark", "long", "pont", "file", "flot", "bool", "rect", "strn", "pref"};
    ASSERT_EQ(registry.GetCount(), 9);
    for (int32_t i = 0; i < 9; ++i)
        EXPECT_EQ(FourCharCodeText(registry.RegistrationAt(i)->type), order[i]) << i;
    EXPECT_EQ(FindPrefTagReader(kPrefTypeMemory), nullptr);
    EXPECT_EQ(FindPrefTagReader(kPrefTypeLong), &CPreferencesLongTag::Read);
}

TEST(PreferenceTagTypes, TheFirstRegistrationOfATypeWins) {
    UnregisterPrefTagTypes();
    RegisterPrefTagType(kPrefTypeLong, &CPreferencesMemoryTag::Read);
    RegisterPrefTagType(kPrefTypeLong, &CPreferencesLongTag::Read);
    EXPECT_EQ(FindPrefTagReader(kPrefTypeLong), &CPreferencesMemoryTag::Read);
    UnregisterPrefTagTypes();
    EXPECT_EQ(GetRegisteredPrefTagTypes().GetCount(), 0);
    RegisterPreferenceTagTypes();
}

}  // namespace
