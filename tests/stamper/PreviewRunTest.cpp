// The preview run: a profile applied quietly to page 0 of a private document
// for one page number, and the fit that places a page in the preview.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "stamper/CProfileFile.h"
#include "stamper/PreviewRun.h"
#include "stamper/StampKeys.h"
#include "stamper/StampRunCounters.h"
#include "support/HostTables.h"

namespace {

using stamptest::StampCab;
using stamptest::VisibleTextStamp;

class PreviewRunTest : public stamptest::StampRunTest {
protected:
    void SetUp() override {
        StampRunTest::SetUp();
        mPreview.CreateNew();
        std::vector<StampCab> stamps;
        stamps.push_back(VisibleTextStamp("Odd", "ODD $PageNo[1] of $TotalPages"));
        stamps.back().Int(kKeyStampOn, 1);
        stamps.push_back(VisibleTextStamp("All", "ALLPAGES", 36, 80));
        mProfile = WriteProfile("Preview", std::move(stamps));
        // The stamp manager sets the counters for its preview.
        GetStampRunCounters().StartSingleDocument(mPreview.GetPDDoc(), 10);
    }
    std::string PreviewText() { return stamptest::ReadTextPages(Save(mPreview.GetPDDoc(), "preview.pdf"))[0].Joined(); }

    CPDFDocument mPreview;
    std::string mProfile;
};

TEST_F(PreviewRunTest, PageDependentVariablesShowThePreviewedPageNotPageOne) {
    CProfileFile profile(mProfile.c_str());
    const std::string logBefore = LogText();
    EXPECT_TRUE(ApplyProfileToPreview(profile, mPreview.GetPDDoc(), true, 10, 3));
    const std::string text = PreviewText();
    EXPECT_NE(text.find("ODD 3 of 10"), std::string::npos) << text;
    EXPECT_NE(text.find("ALLPAGES"), std::string::npos);
    EXPECT_EQ(LogText(), logBefore) << "the preview writes no log lines";
}

TEST_F(PreviewRunTest, StampsWhoseSetLacksThePageAreLeftOut) {
    CProfileFile profile(mProfile.c_str());
    EXPECT_TRUE(ApplyProfileToPreview(profile, mPreview.GetPDDoc(), true, 10, 4));
    const std::string text = PreviewText();
    EXPECT_EQ(text.find("ODD"), std::string::npos) << text;
    EXPECT_NE(text.find("ALLPAGES"), std::string::npos);
}

TEST_F(PreviewRunTest, WithoutPageSelectionEveryStampIsShown) {
    CProfileFile profile(mProfile.c_str());
    EXPECT_TRUE(ApplyProfileToPreview(profile, mPreview.GetPDDoc(), false, 10, 4));
    EXPECT_NE(PreviewText().find("ODD 4 of 10"), std::string::npos);
}

TEST_F(PreviewRunTest, FailuresMakeTheAnswerFalseQuietly) {
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("Bad", "BAD"));
    stamps.back().Int(kKeyPages, 1).Text(kKeyPageList, "40");
    stamps.push_back(VisibleTextStamp("Good", "GOOD"));
    CProfileFile profile(WriteProfile("PreviewBad", std::move(stamps)).c_str());
    EXPECT_FALSE(ApplyProfileToPreview(profile, mPreview.GetPDDoc(), true, 10, 1));
    EXPECT_NE(PreviewText().find("GOOD"), std::string::npos) << "the other stamps are still shown";
    EXPECT_EQ(LogText(), "");
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    CProfileFile missing((mDataFolder + "/Profiles/None.nxp").c_str());
    EXPECT_FALSE(ApplyProfileToPreview(missing, mPreview.GetPDDoc(), true, 10, 1));
}

struct FitRow {
    const char* name;
    int pageWidth, pageHeight, rotate;
    PreviewRect rect;
    PreviewRect fitted;
    double zoom;
};

class PreviewFit : public stamptest::StampRunTest, public testing::WithParamInterface<FitRow> {};

TEST_P(PreviewFit, PageIsScaledIntoTheRectangleAndCentred) {
    const FitRow& row = GetParam();
    qmtest::FixturePage page;
    page.mediaBox = qmtest::FixtureRect{0, 0, double(row.pageWidth), double(row.pageHeight)};
    if (row.rotate) page.rotate = row.rotate;
    const std::string path = mFolder.file("fit.pdf");
    qmtest::writeFixturePdf(path, {page});
    const PDDoc doc = DocOf(OpenView(path));
    PreviewRect rect = row.rect;
    EXPECT_NEAR(FitPageInRect(doc, 0, rect), row.zoom, 0.01);
    EXPECT_EQ(rect.left, row.fitted.left);
    EXPECT_EQ(rect.top, row.fitted.top);
    EXPECT_EQ(rect.right, row.fitted.right);
    EXPECT_EQ(rect.bottom, row.fitted.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PreviewFit,
    testing::Values(FitRow{"LetterInLandscapeBox", 612, 792, 0, {0, 0, 400, 300}, {84, 0, 231, 300}, 37.878},
                    FitRow{"RectangleGivenUpsideDown", 612, 792, 0, {400, 300, 0, 0}, {84, 0, 231, 300}, 37.878},
                    FitRow{"RotatedPageIsFittedAsShown", 612, 792, 90, {0, 0, 400, 300}, {5, 0, 388, 300}, 49.0196}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PreviewRunTest, FitOfAMissingPageKeepsTheRectangleAndAnswersTwenty) {
    const PDDoc doc = DocOf(OpenView(WritePdf("one.pdf", 1)));
    PreviewRect rect{1, 2, 3, 4};
    EXPECT_EQ(FitPageInRect(doc, 5, rect), 20.0);
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.bottom, 4);
}

}  // namespace
