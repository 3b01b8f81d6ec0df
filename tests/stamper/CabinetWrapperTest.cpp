// CCabinet: ownership, strings, binaries with their stored length, and profile
// files written through a temporary file and read back into a cabinet.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cabinet/CabinetHandles.h"
#include "common/FaultInjectingHost.h"
#include "common/PluginFixture.h"
#include "core/Raise.h"
#include "stamper/CCabinet.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

class CabinetWrapper : public ::testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        mFolder = qmtest::MakeTempFolder("qmccab");
        mCabinets = qmhost::liveCabinetCount();
    }
    void TearDown() override { EXPECT_EQ(qmhost::liveCabinetCount(), mCabinets) << "a cabinet leaked"; }

    std::string Path(const char* leaf) const { return mFolder + "/" + leaf; }

    std::string mFolder;
    size_t mCabinets = 0;
};

TEST_F(CabinetWrapper, DestroysOnlyTheCabinetItOwns) {
    ASCab given = gASExtraHFT->cabNew();
    {
        CCabinet owned;
        CCabinet wrapped(given);
        EXPECT_TRUE(owned.OwnsCab());
        EXPECT_FALSE(wrapped.OwnsCab());
        EXPECT_EQ(wrapped.GetCab(), given);
        EXPECT_EQ(qmhost::liveCabinetCount(), mCabinets + 2);
    }
    EXPECT_EQ(qmhost::liveCabinetCount(), mCabinets + 1) << "the wrapped cabinet stays";
    gASExtraHFT->cabDestroy(given);
}

TEST_F(CabinetWrapper, StringsAreCopiedInAndHeldByTheCabinet) {
    CCabinet cab;
    EXPECT_EQ(cab.GetString("kStampNameE"), nullptr);
    std::string name = "Confidential 机密";
    cab.PutString("kStampNameE", name.c_str());
    name[0] = 'X';
    EXPECT_STREQ(cab.GetString("kStampNameE"), "Confidential 机密");
    gASExtraHFT->cabPutInt(cab.GetCab(), "kTextE", 3);
    cab.PutString("kTextE", "replaces an integer");
    EXPECT_STREQ(cab.GetString("kTextE"), "replaces an integer");
    cab.PutString("kEmpty", nullptr);
    EXPECT_STREQ(cab.GetString("kEmpty"), "");
}

TEST_F(CabinetWrapper, HostErrorIsThrownAsItsCode) {
    CCabinet cab;
    try {
        cab.PutString("", "empty key");
        FAIL();
    } catch (ErrorCode code) {
        EXPECT_EQ(code, static_cast<ErrorCode>(kHostErrBadParameter & 0xFFFF));
        EXPECT_NE(std::string(GetErrorMessage()).find("empty cabinet key"), std::string::npos);
    }
}

TEST_F(CabinetWrapper, WithoutTheASExtraTableNoCabinetIsMade) {
    qmtest::FaultInjectingHost host;
    host.Withhold<ASExtraTable>();
    EXPECT_THROW(CCabinet(), ErrorCode);
    {
        CCabinet wrapped(reinterpret_cast<ASCab>(uintptr_t(1)));
        EXPECT_THROW(wrapped.GetString("k"), ErrorCode);
        EXPECT_FALSE(wrapped.WriteToFile(TFileSpecifier(Path("x.nxp").c_str())));
    }  // nothing to destroy, no crash
}

TEST_F(CabinetWrapper, BinaryKeepsItsBytesAndWritesTheFileSizeEntry) {
    CCabinet cab;
    const char pdf[] = {'%', 'P', 'D', 'F', 0, '1'};
    cab.PutBinary("kActionC", pdf, sizeof pdf);
    EXPECT_EQ(gASExtraHFT->cabGetInt(cab.GetCab(), "kActionCFileSize", -1), 6);
    int64_t size = 0;
    const void* back = cab.GetBinary("kActionC", &size);
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(size, 6);
    EXPECT_EQ(std::string(static_cast<const char*>(back), sizeof pdf), std::string(pdf, 6));
    EXPECT_EQ(cab.GetBinary("kMissing", &size), nullptr);
    EXPECT_EQ(size, 0);
}

TEST_F(CabinetWrapper, EmbeddedBinaryLengthIsTheStoredOneNotTheFileSizeEntry) {
    CCabinet cab;
    cab.PutBinary("kActionC", "%PDF-", 5);
    // A forged or stale size entry must never make a reader run past the block.
    gASExtraHFT->cabPutInt(cab.GetCab(), "kActionCFileSize", 1 << 30);
    int64_t size = 0;
    cab.GetBinary("kActionC", &size);
    EXPECT_EQ(size, 5);
}

// A profile of two stamps with values of several kinds.
void FillProfile(CCabinet& profile) {
    gASExtraHFT->cabPutInt(profile.GetCab(), "kNumberOfStamps", 2);
    for (int i = 0; i < 2; ++i) {
        ASCab stamp = gASExtraHFT->cabNew();
        gASExtraHFT->cabPutInt(stamp, "kStampType", i);
        gASExtraHFT->cabPutDouble(stamp, "kHorizontalS", 1.25 * i);
        gASExtraHFT->cabPutString(stamp, "kTextE", "Page $PageNo[1]\r\nof $TotalPages");
        gASExtraHFT->cabPutText(stamp, "kPagesE", gASExtraHFT->textFromUTF8("1-3"));
        gASExtraHFT->cabPutCab(profile.GetCab(), ("kStamp" + std::to_string(i)).c_str(), stamp);
    }
}

TEST_F(CabinetWrapper, ProfileRoundTripsThroughAFile) {
    const TFileSpecifier file(Path("A.nxp").c_str());
    {
        CCabinet profile;
        FillProfile(profile);
        ASSERT_TRUE(profile.WriteToFile(file));
    }
    CCabinet back;
    ASSERT_TRUE(back.ReadFromFile(file));
    EXPECT_EQ(gASExtraHFT->cabGetInt(back.GetCab(), "kNumberOfStamps", 0), 2);
    ASCab stamp = gASExtraHFT->cabGetCab(back.GetCab(), "kStamp1");
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(gASExtraHFT->cabGetInt(stamp, "kStampType", -1), 1);
    EXPECT_EQ(gASExtraHFT->cabGetDouble(stamp, "kHorizontalS", 0), 1.25);
    EXPECT_STREQ(gASExtraHFT->cabGetString(stamp, "kTextE"), "Page $PageNo[1]\r\nof $TotalPages");
    EXPECT_STREQ(gASExtraHFT->textGetUTF8(gASExtraHFT->cabGetText(stamp, "kPagesE")), "1-3");
    EXPECT_EQ(EntriesIn(mFolder), 1u) << "no temporary file is left behind";
}

TEST_F(CabinetWrapper, ReadMergesIntoTheCabinetReplacingSameKeys) {
    const TFileSpecifier file(Path("merge.nxp").c_str());
    {
        CCabinet saved;
        saved.PutString("both", "from the file");
        ASSERT_TRUE(saved.WriteToFile(file));
    }
    CCabinet cab;
    cab.PutString("both", "before");
    cab.PutString("mine", "kept");
    ASSERT_TRUE(cab.ReadFromFile(file));
    EXPECT_STREQ(cab.GetString("both"), "from the file");
    EXPECT_STREQ(cab.GetString("mine"), "kept");
}

TEST_F(CabinetWrapper, MissingProfileIsAFailedReadThatNamesTheFile) {
    const TFileSpecifier file(Path("missing.nxp").c_str());
    CCabinet cab;
    cab.PutString("mine", "kept");
    ClearErrorMessage();
    EXPECT_FALSE(cab.ReadFromFile(file));
    EXPECT_STREQ(cab.GetString("mine"), "kept");
    EXPECT_NE(std::string(GetErrorMessage()).find("missing.nxp"), std::string::npos) << GetErrorMessage();
}

TEST_F(CabinetWrapper, DamagedProfileIsAFailedReadNotAnEmptyProfile) {
    const std::string path = Path("damaged.nxp");
    {
        CCabinet profile;
        FillProfile(profile);
        ASSERT_TRUE(profile.WriteToFile(TFileSpecifier(path.c_str())));
    }
    std::string bytes = ReadFile(path);
    WriteFile(path, bytes.substr(0, bytes.size() / 2));
    CCabinet cab;
    ClearErrorMessage();
    EXPECT_FALSE(cab.ReadFromFile(TFileSpecifier(path.c_str())));
    EXPECT_EQ(gASExtraHFT->cabNumEntries(cab.GetCab()), 0);
    EXPECT_NE(std::string(GetErrorMessage()).find("damaged cabinet data"), std::string::npos)
        << GetErrorMessage();
}

// A cabinet write that fails half way, as a full disk would.
void FailingWrite(ASCab, ASStm stream) {
    gAppSupportHFT->stmWrite("QMCB-half", 1, 9, stream);
    qmhost::raise(kHostErrFileWrite, "no space left on the device");
}

TEST_F(CabinetWrapper, FailedWriteLeavesTheOldProfileWhole) {
    const std::string path = Path("keep.nxp");
    CCabinet profile;
    FillProfile(profile);
    ASSERT_TRUE(profile.WriteToFile(TFileSpecifier(path.c_str())));
    const std::string before = ReadFile(path);

    ClearErrorMessage();
    bool written = true;
    {
        qmtest::FaultInjectingHost host;
        host.Replace<&ASExtraTable::cabWrite>(FailingWrite);
        written = profile.WriteToFile(TFileSpecifier(path.c_str()));
    }

    EXPECT_FALSE(written) << "a failed write is reported";
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(EntriesIn(mFolder), 1u) << "the temporary file is gone";
    EXPECT_NE(std::string(GetErrorMessage()).find("no space left"), std::string::npos);
}

TEST_F(CabinetWrapper, WriteIntoAMissingFolderFails) {
    CCabinet profile;
    EXPECT_FALSE(profile.WriteToFile(TFileSpecifier(Path("no/such/folder/x.nxp").c_str())));
    EXPECT_FALSE(profile.WriteToFile(TFileSpecifier()));
}

// A pipe in the profile's place is kept, and the message says why.
TEST_F(CabinetWrapper, WriteOntoAPipeIsRefusedSayingWhy) {
    ASSERT_EQ(::mkfifo(Path("pipe.nxp").c_str(), 0600), 0);
    CCabinet profile;
    ClearErrorMessage();
    EXPECT_FALSE(profile.WriteToFile(TFileSpecifier(Path("pipe.nxp").c_str())));
    EXPECT_NE(std::string(GetErrorMessage()).find("pipe.nxp: it exists and is not a regular file"), std::string::npos)
        << GetErrorMessage();
}

TEST_F(CabinetWrapper, RewriteKeepsTheFilesPermissionsAndItsLink) {
    const std::string real = Path("real.nxp");
    const std::string link = Path("link.nxp");
    CCabinet profile;
    ASSERT_TRUE(profile.WriteToFile(TFileSpecifier(real.c_str())));
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    profile.PutString("new", "value");
    ASSERT_TRUE(profile.WriteToFile(TFileSpecifier(link.c_str())));
    EXPECT_TRUE(fs::is_symlink(link));
    struct stat st;
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    CCabinet back;
    ASSERT_TRUE(back.ReadFromFile(TFileSpecifier(real.c_str())));
    EXPECT_STREQ(back.GetString("new"), "value");
}

}  // namespace
