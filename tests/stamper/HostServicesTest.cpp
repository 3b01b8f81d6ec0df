// The stamper's shared host services: data paths beside the module, the host's
// major version, host texts to and from strings, and colour channels.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "cabinet/CabinetHandles.h"
#include "common/FaultInjectingHost.h"
#include "common/PluginFixture.h"
#include "stamper/CStamperLog.h"
#include "stamper/HostServices.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "support/io/ModulePaths.h"
#include "support/HostVersion.h"

namespace {

class HostServices : public ::testing::Test {
protected:
    void SetUp() override { qmtest::StartLinkedPlugin(); }
};

TEST_F(HostServices, DataPathsLieBesideTheModule) {
    const std::string folder = qmtest::MakeTempFolder("qmdata");
    ASSERT_TRUE(SetStamperDataPaths(folder.c_str()));
    EXPECT_EQ(std::string(GetPlugInDataFolder()), folder);
    EXPECT_EQ(std::string(GetProfilesFolderPath()), folder + "/Profiles");
    EXPECT_EQ(std::string(GetProfilesFolderSpec().GetPath()), folder + "/Profiles");
    EXPECT_EQ(std::string(GetStamperLogFilePath()), folder + "/Quillmark.txt");
    EXPECT_EQ(std::string(GetStamperLog().GetFile().GetPath()), folder + "/Quillmark.txt");
}

TEST_F(HostServices, FolderEndingInASlashIsNotDoubled) {
    const std::string folder = qmtest::MakeTempFolder("qmdata");
    ASSERT_TRUE(SetStamperDataPaths((folder + "/").c_str()));
    EXPECT_EQ(std::string(GetProfilesFolderPath()), folder + "/Profiles");
    EXPECT_EQ(std::string(GetStamperLogFilePath()), folder + "/Quillmark.txt");
}

TEST_F(HostServices, RefusedFolderChangesNoPath) {
    const std::string folder = qmtest::MakeTempFolder("qmdata");
    ASSERT_TRUE(SetStamperDataPaths(folder.c_str()));
    EXPECT_FALSE(SetStamperDataPaths(nullptr));
    EXPECT_FALSE(SetStamperDataPaths(""));
    // Fits a path buffer itself, but not with "/Quillmark.txt" after it.
    const std::string tooLong = "/" + std::string(kFileSpecCapacity - 10, 'd');
    EXPECT_FALSE(SetStamperDataPaths(tooLong.c_str()));
    EXPECT_EQ(std::string(GetPlugInDataFolder()), folder);
    EXPECT_EQ(std::string(GetProfilesFolderPath()), folder + "/Profiles");
    EXPECT_EQ(std::string(GetStamperLogFilePath()), folder + "/Quillmark.txt");
}

class HostVersion : public HostServices, public ::testing::WithParamInterface<int> {
protected:
    void TearDown() override { qmhost::setHostMajorVersion(kDefaultHostMajorVersion); }
};

TEST_P(HostVersion, IsTheHostsSetting) {
    qmhost::setHostMajorVersion(GetParam());
    EXPECT_EQ(GetHostVersion(), GetParam());
    EXPECT_EQ(GetHostVersionRecord().major, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Majors, HostVersion, ::testing::Values(5, 6, 8));

TEST_F(HostServices, HostVersionIsEightByDefault) {
    EXPECT_EQ(GetHostVersion(), 8);
}

TEST_F(HostServices, HostThatCannotTellLeavesTheRecordAlone) {
    qmhost::setHostMajorVersion(6);
    ASSERT_EQ(GetHostVersion(), 6);
    qmhost::setHostMajorVersion(5);
    {
        qmtest::FaultInjectingHost older;
        older.ShortenBefore<&AppSupportTable::getHostMajorVersion>();
        EXPECT_EQ(GetHostVersion(), 6) << "the table is too short to hold the member";
    }
    {
        qmtest::FaultInjectingHost without;
        without.Withhold<AppSupportTable>();
        EXPECT_EQ(GetHostVersion(), 6);
    }
    qmhost::setHostMajorVersion(kDefaultHostMajorVersion);
}

TEST_F(HostServices, TextRoundTripsThroughAHostText) {
    const size_t texts = qmhost::liveTextCount();
    ASText text = CStringToASText("第 $PageNo[1] 页 / Page");
    ASSERT_NE(text, nullptr);
    std::string back = "stale";
    EXPECT_EQ(&ASTextToCString(back, text), &back);
    EXPECT_EQ(back, "第 $PageNo[1] 页 / Page");
    gASExtraHFT->textDestroy(text);
    EXPECT_EQ(qmhost::liveTextCount(), texts);
}

TEST_F(HostServices, NullTextAndNullStringGiveEmptyAndNull) {
    std::string out = "stale";
    EXPECT_EQ(ASTextToCString(out, nullptr), "");
    EXPECT_EQ(CStringToASText(nullptr), nullptr);
}

TEST_F(HostServices, StaleTextIsAHostError) {
    ASText text = CStringToASText("x");
    gASExtraHFT->textDestroy(text);
    std::string out;
    EXPECT_THROW(ASTextToCString(out, text), ErrorCode);
}

TEST_F(HostServices, WithoutTheASExtraTableThereAreNoTexts) {
    qmtest::FaultInjectingHost host;
    host.Withhold<ASExtraTable>();
    std::string out = "stale";
    EXPECT_EQ(CStringToASText("x"), nullptr);
    EXPECT_EQ(ASTextToCString(out, reinterpret_cast<ASText>(uintptr_t(5))), "");
}

struct ColourRow {
    const char* name;
    int32_t colour;
    int32_t red, green, blue;
};

class ColourChannels : public ::testing::TestWithParam<ColourRow> {};

TEST_P(ColourChannels, SplitAs0x00BBGGRR) {
    EXPECT_EQ(RedOf(GetParam().colour), GetParam().red);
    EXPECT_EQ(GreenOf(GetParam().colour), GetParam().green);
    EXPECT_EQ(BlueOf(GetParam().colour), GetParam().blue);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ColourChannels,
    ::testing::Values(ColourRow{"Black", 0x000000, 0, 0, 0}, ColourRow{"Red", 0x0000FF, 255, 0, 0},
                      ColourRow{"Orange", 0x007FFF, 255, 127, 0}, ColourRow{"Blue", 0xFF0000, 0, 0, 255},
                      ColourRow{"Mixed", 0x336699, 0x99, 0x66, 0x33},
                      ColourRow{"HighByteIgnored", static_cast<int32_t>(0xAB102030), 0x30, 0x20, 0x10},
                      ColourRow{"NoneIsAllBits", -1, 255, 255, 255}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
