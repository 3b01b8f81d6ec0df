// The stamp clipboard: its three states, the duplicates it keeps, and what it
// answers in each state.
#include <gtest/gtest.h>

#include "cabinet/CabinetHandles.h"
#include "common/PluginFixture.h"
#include "qmhost/HostError.h"
#include "stamper/CStampClipboard.h"
#include "support/HostTables.h"

namespace {

ASCab NamedCab(const char* name) {
    ASCab cab = gASExtraHFT->cabNew();
    gASExtraHFT->cabPutString(cab, "kStampNameE", name);
    return cab;
}

const char* NameOf(ASCab cab) { return cab ? gASExtraHFT->cabGetString(cab, "kStampNameE") : nullptr; }

class StampClipboard : public ::testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        mCabinets = qmhost::liveCabinetCount();
        mA = NamedCab("A");
        mB = NamedCab("B");
    }
    void TearDown() override {
        gASExtraHFT->cabDestroy(mA);
        gASExtraHFT->cabDestroy(mB);
        EXPECT_EQ(qmhost::liveCabinetCount(), mCabinets) << "a cabinet leaked";
    }

    size_t mCabinets = 0;
    ASCab mA = nullptr;
    ASCab mB = nullptr;
};

TEST_F(StampClipboard, StartsEmpty) {
    CStampClipboard clipboard;
    EXPECT_EQ(clipboard.GetState(), CStampClipboard::kEmpty);
    EXPECT_EQ(clipboard.GetProfile(), nullptr);
    EXPECT_EQ(clipboard.GetNumberOfStamps(), 0);
    EXPECT_EQ(clipboard.GetStamp(0), nullptr);
}

TEST_F(StampClipboard, HoldsADuplicateOfTheProfile) {
    CStampClipboard clipboard;
    gASExtraHFT->cabPutString(mA, kClipboardProfilePathKey, "/p/Profiles/A.nxp");
    EXPECT_TRUE(clipboard.SetProfile(mA));
    EXPECT_EQ(clipboard.GetState(), CStampClipboard::kProfile);
    gASExtraHFT->cabPutString(mA, "kStampNameE", "changed afterwards");
    ASCab held = clipboard.GetProfile();
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, mA);
    EXPECT_STREQ(NameOf(held), "A");
    EXPECT_STREQ(gASExtraHFT->cabGetString(held, kClipboardProfilePathKey), "/p/Profiles/A.nxp");
}

TEST_F(StampClipboard, StampsAreListedInTheOrderAdded) {
    CStampClipboard clipboard;
    EXPECT_TRUE(clipboard.AddStamp(mA));
    EXPECT_TRUE(clipboard.AddStamp(mB));
    EXPECT_EQ(clipboard.GetState(), CStampClipboard::kStamps);
    EXPECT_EQ(clipboard.GetNumberOfStamps(), 2);
    EXPECT_STREQ(NameOf(clipboard.GetStamp(0)), "A");
    EXPECT_STREQ(NameOf(clipboard.GetStamp(1)), "B");
    EXPECT_NE(clipboard.GetStamp(0), mA) << "a duplicate, not the caller's cabinet";
    EXPECT_EQ(clipboard.GetStamp(2), nullptr);
    EXPECT_EQ(clipboard.GetStamp(-1), nullptr);
    EXPECT_EQ(clipboard.GetProfile(), nullptr);
}

TEST_F(StampClipboard, GetStampWhileAProfileIsHeldIsNull) {
    CStampClipboard clipboard;
    clipboard.AddStamp(mA);
    clipboard.SetProfile(mB);
    EXPECT_EQ(clipboard.GetState(), CStampClipboard::kProfile);
    EXPECT_EQ(clipboard.GetStamp(0), nullptr);
}

TEST_F(StampClipboard, NumberOfStampsIsZeroWhileAProfileIsHeld) {
    CStampClipboard clipboard;
    clipboard.AddStamp(mA);
    clipboard.AddStamp(mB);
    clipboard.SetProfile(mA);
    // The old count is still in the cabinet; a caller looping over it would
    // only get nulls.
    EXPECT_EQ(clipboard.GetNumberOfStamps(), 0);
}

TEST_F(StampClipboard, AddingAStampDropsTheHeldProfile) {
    CStampClipboard clipboard;
    clipboard.SetProfile(mA);
    clipboard.AddStamp(mB);
    EXPECT_EQ(clipboard.GetState(), CStampClipboard::kStamps);
    EXPECT_EQ(clipboard.GetProfile(), nullptr);
    EXPECT_EQ(clipboard.GetNumberOfStamps(), 1);
    EXPECT_STREQ(NameOf(clipboard.GetStamp(0)), "B");
}

TEST_F(StampClipboard, StampsAfterAProfileAfterStampsStartAgainAtZero) {
    CStampClipboard clipboard;
    clipboard.AddStamp(mA);
    clipboard.AddStamp(mA);
    clipboard.SetProfile(mA);
    clipboard.AddStamp(mB);
    EXPECT_EQ(clipboard.GetNumberOfStamps(), 1);
    EXPECT_STREQ(NameOf(clipboard.GetStamp(0)), "B");
    EXPECT_EQ(clipboard.GetStamp(1), nullptr);
}

TEST_F(StampClipboard, ClearEmptiesAndEndsWhatWasHandedOut) {
    CStampClipboard clipboard;
    clipboard.AddStamp(mA);
    ASCab handedOut = clipboard.GetStamp(0);
    clipboard.Clear();
    EXPECT_EQ(clipboard.GetState(), CStampClipboard::kEmpty);
    EXPECT_EQ(clipboard.GetNumberOfStamps(), 0);
    EXPECT_THROW(gASExtraHFT->cabNumEntries(handedOut), HostError);
    clipboard.AddStamp(mB);
    EXPECT_STREQ(NameOf(clipboard.GetStamp(0)), "B");
}

}  // namespace
