// The stamp object model on real documents of the host: what a stamp cabinet
// builds (defaults, units, colours, rendering, fonts, page sets), which pages
// Apply writes, the stamp's own cabinet and the kind dispatch.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "common/FaultInjectingHost.h"
#include "cabinet/CabinetHandles.h"
#include "engine/CPDFAction.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "stamper/CPageRangeSet.h"
#include "stamper/CStamp.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/CTextStamp.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "stamper/StampRunCounters.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"

namespace {

using stamptest::StampCab;

std::string FontName(const CPDFTextElement& element) {
    const CosObj dict = gPDFEditReadHFT->fontGetCosObj(element.GetFont());
    const CosObj base = gCosHFT->dictGet(dict, gCoreHFT->atomFromString("BaseFont"));
    return gCoreHFT->atomGetString(gCosHFT->nameValue(base));
}

using TextStampTest = stamptest::OneDocumentTest;

// --- building

TEST_F(TextStampTest, CabinetWithoutKeysBuildsTheDocumentedDefaults) {
    StampCab cab;
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    ASSERT_TRUE(stamp.IsBuilt());
    const CPDFTextElement& element = *stamp.GetTextElement();
    EXPECT_EQ(FontName(element), "Courier");
    EXPECT_EQ(element.GetText(), "");
    EXPECT_EQ(element.GetRenderMode(), 0) << "the element's default";
    EXPECT_EQ(element.GetFillOpacity(), 0.0);
    EXPECT_EQ(element.GetStrokeOpacity(), 0.0);
    EXPECT_EQ(element.GetLineWidth(), 0.0) << "no border";
    EXPECT_EQ(element.GetContentPosition(), CPDFElement::kContentFront) << "under the content";
    EXPECT_FALSE(element.GetHasFill());
    EXPECT_EQ(element.GetLineSpacing(), 1.0);
    const CPDFPlacement& placement = *stamp.GetPlacement();
    EXPECT_EQ(placement.GetScaleX(), 12.0);
    EXPECT_EQ(placement.GetScaleY(), 12.0);
    EXPECT_EQ(placement.GetOffsetX(), 0.0);
    EXPECT_EQ(placement.GetOffsetY(), 0.0);
    EXPECT_EQ(placement.GetRotation(), 0.0);
    EXPECT_EQ(placement.GetHorizontalAlignment(), CPDFPlacement::kAlignLeft);
    EXPECT_EQ(placement.GetVerticalAlignment(), CPDFPlacement::kAlignTop);
    EXPECT_TRUE(placement.GetPageView()) << "placed as the page is displayed";
    const CPageRangeSet& pages = *stamp.GetPageRangeSet();
    ASSERT_EQ(pages.GetCount(), 1);
    EXPECT_EQ(pages.GetRange(0)->GetFirst(), 1);
    EXPECT_EQ(pages.GetRange(0)->GetLast(), 6);
    EXPECT_EQ(stamp.GetAction(), nullptr);
    EXPECT_EQ(element.GetAction(), nullptr);
    EXPECT_FALSE(element.GetRecordUndo());
    EXPECT_EQ(stamp.GetDocument()->GetAVDoc(), nullptr) << "not interactive";
}

struct UnitRow {
    const char* name;
    int32_t unit;
    double value;
    double points;
};

class StampUnit : public TextStampTest, public testing::WithParamInterface<UnitRow> {};

TEST_P(StampUnit, OffsetsAreConvertedToPoints) {
    StampCab cab;
    cab.Int(kKeyUnit, GetParam().unit).Double(kKeyHorizontalOffset, GetParam().value).Double(kKeyVerticalOffset, -GetParam().value);
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_NEAR(stamp.GetPlacement()->GetOffsetX(), GetParam().points, 1e-9);
    EXPECT_NEAR(stamp.GetPlacement()->GetOffsetY(), -GetParam().points, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Units, StampUnit,
                         testing::Values(UnitRow{"Inch", 0, 2.0, 144.0}, UnitRow{"Centimetre", 1, 2.54, 72.0},
                                         UnitRow{"Millimetre", 2, 25.4, 72.0}, UnitRow{"Point", 3, 10.0, 10.0},
                                         UnitRow{"SevenIsPoint", 7, 10.0, 10.0},
                                         UnitRow{"NegativeIsPoint", -1, 10.0, 10.0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(TextStampTest, NonFiniteOffsetsAreTakenAsZero) {
    StampCab cab;
    cab.Int(kKeyUnit, 3).Double(kKeyHorizontalOffset, NAN).Double(kKeyVerticalOffset, INFINITY);
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_EQ(stamp.GetPlacement()->GetOffsetX(), 0.0);
    EXPECT_EQ(stamp.GetPlacement()->GetOffsetY(), 0.0);
}

TEST_F(TextStampTest, RotationTurnsTheOtherWayAlignmentAndScaleAreKept) {
    StampCab cab;
    cab.Int(kKeyRotation, 30).Int(kKeyHorizontalAlign, 1).Int(kKeyVerticalAlign, 1).Int(kKeyFontSize, 40)
        .Int(kKeyOpacity, 50).Bool(kKeyOverlay, true);
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_DOUBLE_EQ(stamp.GetPlacement()->GetRotation(), 330.0);
    EXPECT_EQ(stamp.GetPlacement()->GetHorizontalAlignment(), CPDFPlacement::kAlignRight);
    EXPECT_EQ(stamp.GetPlacement()->GetVerticalAlignment(), CPDFPlacement::kAlignBottom);
    EXPECT_EQ(stamp.GetPlacement()->GetScaleX(), 40.0);
    EXPECT_EQ(stamp.GetElement()->GetFillOpacity(), 0.5);
    EXPECT_EQ(stamp.GetElement()->GetStrokeOpacity(), 0.5);
    EXPECT_EQ(stamp.GetElement()->GetContentPosition(), CPDFElement::kContentEnd) << "an overlay";
}

TEST_F(TextStampTest, IgnorePageRotationPreferencePlacesInUserSpace) {
    mPreferences->SetIgnorePageRotation(true);
    StampCab cab;
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_FALSE(stamp.GetPlacement()->GetPageView());
}

struct ColourRow {
    const char* name;
    int32_t fontColor;
    int32_t borderColor;
    int32_t renderMode;  // what the stamp hands over
    int32_t elementMode;  // what the element then holds
    bool border;
};

class StampColours : public TextStampTest, public testing::WithParamInterface<ColourRow> {};

TEST_P(StampColours, BorderColourDecidesRenderingAndBorder) {
    const ColourRow& row = GetParam();
    EXPECT_EQ(CTextStamp::RenderModeOf(row.fontColor, row.borderColor), row.renderMode);
    StampCab cab;
    cab.Int(kKeyFontColor, row.fontColor).Int(kKeyBorderColor, row.borderColor).Int(kKeyBorderDash, 2)
        .Double(kKeyBorderWidth, 1.5);
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    const CPDFTextElement& element = *stamp.GetTextElement();
    EXPECT_EQ(element.GetRenderMode(), row.elementMode);
    EXPECT_EQ(element.GetLineWidth(), row.border ? 1.5 : 0.0);
    EXPECT_EQ(element.GetDashStyle(), row.border ? 2 : 0);
    double r, g, b;
    element.GetFontColor(r, g, b);
    if (row.fontColor >= 0) {
        EXPECT_DOUBLE_EQ(r, (row.fontColor & 0xFF) / 255.0);
        EXPECT_DOUBLE_EQ(b, ((row.fontColor >> 16) & 0xFF) / 255.0);
    }
    if (row.border) {
        element.GetLineColor(r, g, b);
        EXPECT_DOUBLE_EQ(r, (row.borderColor & 0xFF) / 255.0);
        EXPECT_DOUBLE_EQ(g, ((row.borderColor >> 8) & 0xFF) / 255.0);
        EXPECT_DOUBLE_EQ(b, ((row.borderColor >> 16) & 0xFF) / 255.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Colours, StampColours,
                         testing::Values(ColourRow{"Neither", -1, -1, 4, 0, false},
                                         ColourRow{"FontOnlyNoBorder", 0x0000FF, -1, 0, 0, false},
                                         ColourRow{"BlackBorderOnly", -1, 0, 1, 1, true},
                                         ColourRow{"Both", 0x00FF00, 0x123456, 2, 2, true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(TextStampTest, FillColourLineSpacingWrapUnderlineAndOutlineAreHandedOn) {
    const double spacing[] = {1.0, 1.5, 2.0, 1.0, 1.0};
    for (int32_t index = 0; index < 5; ++index) EXPECT_EQ(CTextStamp::LineSpacingOf(index == 3 ? -1 : index), spacing[index]);
    StampCab cab;
    cab.Int(kKeyFillColor, 0x0000FF).Int(kKeyLineSpacing, 2).Bool(kKeyWordWrap, true).Int(kKeyUnderline, 3)
        .Bool(kKeyOutline, true);
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    const CPDFTextElement& element = *stamp.GetTextElement();
    EXPECT_TRUE(element.GetHasFill());
    double r, g, b;
    element.GetFillColor(r, g, b);
    EXPECT_EQ(r, 1.0);
    EXPECT_EQ(b, 0.0);
    EXPECT_EQ(element.GetLineSpacing(), 2.0);
    EXPECT_TRUE(element.GetWordWrap());
    EXPECT_EQ(element.GetUnderline(), 3);
    EXPECT_TRUE(element.GetOutline());
}

TEST_F(TextStampTest, TextIsExpandedWhenBuilt) {
    GetStampRunCounters().StartSingleDocument(mDoc, 6);
    StampCab cab;
    cab.String(kKeyText, "Page $PageNo[1] of $TotalPages");
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_EQ(stamp.GetRawText(), "Page $PageNo[1] of $TotalPages");
    EXPECT_EQ(stamp.GetTextElement()->GetText(), "Page 1 of 6");
    stamp.PreparePage(mDoc, 4);
    EXPECT_EQ(GetStampRunCounters().currentPage, 4);
    EXPECT_EQ(stamp.GetTextElement()->GetText(), "Page 5 of 6");
}

TEST_F(TextStampTest, TextWithoutPageVariablesIsNotExpandedAgainPerPage) {
    GetStampRunCounters().StartSingleDocument(mDoc, 6);
    StampCab cab;
    cab.String(kKeyText, "Total $TotalPages");
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    GetStampRunCounters().pageCount = 99;
    stamp.PreparePage(mDoc, 2);
    EXPECT_EQ(stamp.GetTextElement()->GetText(), "Total 6");
}

TEST_F(TextStampTest, InteractiveBuildRecordsUndoThroughTheView) {
    StampCab cab;
    CTextStamp stamp(cab.Get());
    stamp.SetInteractive(true);
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_TRUE(stamp.GetElement()->GetRecordUndo());
    EXPECT_EQ(stamp.GetDocument()->GetAVDoc(), mView);
    EXPECT_FALSE(stamp.GetDocument()->GetOwns());
}

// --- fonts

TEST_F(TextStampTest, StandardFontIsChosenByIndex) {
    StampCab cab;
    cab.Int(kKeyStandardFont, 9);
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_EQ(FontName(*stamp.GetTextElement()), "Times-Bold");
}

TEST_F(TextStampTest, UnknownStandardFontIndexIsReportedButTheStampIsStillWritten) {
    StampCab cab;
    cab.Int(kKeyStandardFont, 15).Int(kKeyOpacity, 100).String(kKeyText, "x").String(kKeyStampName, "S");
    CTextStamp stamp(cab.Get());
    EXPECT_FALSE(stamp.Apply(mDoc, false));
    EXPECT_TRUE(stamp.IsBuilt()) << "a font failure does not end a run";
    EXPECT_EQ(stamp.GetMessage(), "本文档不能添加印章") << "Apply's own preset once it writes";
    EXPECT_STREQ(GetErrorMessage(), "创建标准字体 15 出错");
    EXPECT_NE(LogText().find("创建标准字体 15 出错\n"), std::string::npos);
    EXPECT_EQ(StampedPages(), (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
}

// The element is built without its default font; it gets that font only
// when the stamp's own cannot be had, so a stamp makes one font, not two, and
// a font that fails still leaves the text written in the default.
struct FontRow {
    const char* name;
    int32_t fontType;          // 0 standard, 1 system
    int32_t standardIndex;
    const char* systemName;
    const char* expected;      // the element's font
    int fontsMade;             // fontCreate calls of the build
};

TEST_F(TextStampTest, BuildMakesOnlyTheFontItWrites) {
    const std::vector<FontRow> rows = {
        {"standard font", 0, 4, "", "Helvetica", 1},
        {"the default's own index", 0, 8, "", "Times-Roman", 1},
        {"unknown standard index", 0, 15, "", "Times-Roman", 1},
        {"system font not installed", 1, 0, "No Such Font Anywhere", "Times-Roman", 1},
    };
    for (const FontRow& row : rows) {
        SCOPED_TRACE(row.name);
        StampCab cab;
        cab.Int(kKeyFontType, row.fontType).Int(kKeyStandardFont, row.standardIndex);
        if (*row.systemName) cab.String(kKeySystemFont, row.systemName);
        CTextStamp stamp(cab.Get());
        qmtest::FaultInjectingHost host;
        host.Count<&PDFEditWriteTable::fontCreate>();
        stamp.Build(mDoc);
        EXPECT_EQ((host.Calls<&PDFEditWriteTable::fontCreate>()), row.fontsMade);
        ASSERT_NE(stamp.GetTextElement()->GetFont(), nullptr);
        EXPECT_EQ(FontName(*stamp.GetTextElement()), row.expected);
    }
}

// When no font at all can be made, the message about the stamp's own font
// stays in the buffer (not the host's text from the default's failure).
TEST_F(TextStampTest, NoFontAtAllKeepsTheStampFontMessage) {
    StampCab cab;
    cab.Int(kKeyStandardFont, 15);
    CTextStamp stamp(cab.Get());
    qmtest::FaultInjectingHost host;
    host.FailEveryCall<&PDFEditWriteTable::fontCreate>();
    EXPECT_FALSE(stamp.Build(mDoc));
    EXPECT_EQ(stamp.GetTextElement()->GetFont(), nullptr);
    EXPECT_STREQ(GetErrorMessage(), "创建标准字体 15 出错");
}

TEST_F(TextStampTest, NoLogKeepsFailuresOutOfTheLogButInTheBuffer) {
    StampCab cab;
    cab.Int(kKeyStandardFont, -3);
    CTextStamp stamp(cab.Get());
    stamp.SetNoLog(true);
    EXPECT_FALSE(stamp.Build(mDoc));
    EXPECT_STREQ(GetErrorMessage(), "创建标准字体 -3 出错");
    EXPECT_EQ(LogText().find("创建标准字体"), std::string::npos);
}

// --- page sets

struct PagesRow {
    const char* name;
    int32_t pagesMode;
    int32_t stampOn;
    const char* list;
    int32_t from, step;
    std::vector<int32_t> pages;
};

class StampPages : public TextStampTest, public testing::WithParamInterface<PagesRow> {};

TEST_P(StampPages, ApplyWritesExactlyThePagesOfTheSet) {
    const PagesRow& row = GetParam();
    StampCab cab = stamptest::VisibleTextStamp("S", "stamp");
    cab.Int(kKeyPages, row.pagesMode).Int(kKeyStampOn, row.stampOn).Text(kKeyPageList, row.list)
        .Int(kKeyFromPage, row.from).Int(kKeyEveryPage, row.step);
    CTextStamp stamp(cab.Get());
    EXPECT_TRUE(stamp.Apply(mDoc, false));
    EXPECT_EQ(StampedPages(), row.pages);
    EXPECT_EQ(stamp.GetElement(), nullptr) << "built objects deleted after Apply";
}

INSTANTIATE_TEST_SUITE_P(
    Sets, StampPages,
    testing::Values(PagesRow{"AllPages", 0, 0, "", 1, 1, {1, 2, 3, 4, 5, 6}},
                    PagesRow{"OddPages", 0, 1, "", 1, 1, {1, 3, 5}},
                    PagesRow{"EvenPages", 0, 2, "", 1, 1, {2, 4, 6}},
                    PagesRow{"FirstPage", 0, 3, "", 1, 1, {1}},
                    PagesRow{"LastPage", 0, 4, "", 1, 1, {6}},
                    PagesRow{"CustomList", 1, 0, "1-2,5", 1, 1, {1, 2, 5}},
                    PagesRow{"DescendingRangeLowToHigh", 1, 0, "5-3", 1, 1, {3, 4, 5}},
                    PagesRow{"EveryThirdFromTwo", 2, 0, "", 2, 3, {2, 5}},
                    PagesRow{"UndefinedModeLeavesAllPages", 3, 4, "1", 6, 6, {1, 2, 3, 4, 5, 6}},
                    PagesRow{"RangeCoveringNoPage", 1, 0, "1-1even", 1, 1, {}}),
    [](const auto& row) { return std::string(row.param.name); });

struct RefusedRow {
    const char* name;
    int32_t pagesMode;
    const char* list;
    int32_t from, step;
    const char* message;
};

class RefusedPages : public TextStampTest, public testing::WithParamInterface<RefusedRow> {};

TEST_P(RefusedPages, RefusedPageSettingsFailTheBuildWithTheSetsMessage) {
    const RefusedRow& row = GetParam();
    StampCab cab = stamptest::VisibleTextStamp("S", "stamp");
    cab.Int(kKeyPages, row.pagesMode).Text(kKeyPageList, row.list).Int(kKeyFromPage, row.from)
        .Int(kKeyEveryPage, row.step);
    CTextStamp stamp(cab.Get());
    EXPECT_FALSE(stamp.Apply(mDoc, false));
    EXPECT_FALSE(stamp.IsBuilt());
    EXPECT_EQ(stamp.GetElement(), nullptr);
    EXPECT_EQ(stamp.GetMessage(), row.message);
    EXPECT_EQ(std::string(GetErrorMessage()), row.message);
    EXPECT_NE(LogText().find(std::string(row.message) + "\n"), std::string::npos);
    EXPECT_TRUE(StampedPages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusedPages,
    testing::Values(RefusedRow{"PageBeyondDocument", 1, "12", 1, 1, "不能设置选择的页面范围: 起始页 12 超出了文档页码。"},
                    RefusedRow{"EveryNthWithStepZeroNeverHangs", 2, "", 1, 0,
                               "不能设置选择的页面范围: 必须适当定义页面范围 0 。"},
                    RefusedRow{"EveryNthFromZero", 2, "", 0, 2, "不能设置选择的页面范围: 起始页必须大于或等于 1。"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(TextStampTest, PageCountOverrideAndNoPageSelectionMakeTheSetAsAsked) {
    StampCab cab;
    cab.Int(kKeyPages, 0).Int(kKeyStampOn, 4);
    CTextStamp stamp(cab.Get());
    stamp.SetPageCount(10);
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_TRUE(stamp.IsPageInRange(9)) << "the last of 10 pages";
    EXPECT_FALSE(stamp.IsPageInRange(5));
    stamp.SetUsePageSelection(false);
    ASSERT_TRUE(stamp.Build(mDoc));
    EXPECT_TRUE(stamp.IsPageInRange(0));
    EXPECT_TRUE(stamp.IsPageInRange(9));
    EXPECT_FALSE(stamp.IsPageInRange(10));
}

// --- the object itself

TEST_F(TextStampTest, OwnStampCabinetCarriesItsTypeAndGoesWithTheStamp) {
    const size_t before = qmhost::liveCabinetCount();
    {
        CTextStamp stamp;
        EXPECT_TRUE(stamp.OwnsCab());
        EXPECT_EQ(stamp.GetType(), kStampTypeText);
        stamp.SetName("名字");
        EXPECT_EQ(stamp.GetName(), "名字");
        EXPECT_EQ(qmhost::liveCabinetCount(), before + 1);
    }
    EXPECT_EQ(qmhost::liveCabinetCount(), before);
    StampCab cab;
    {
        CTextStamp wrapped(cab.Get());
        EXPECT_FALSE(wrapped.OwnsCab());
        EXPECT_EQ(wrapped.GetName(), "");
    }
    EXPECT_EQ(qmhost::liveCabinetCount(), before + 1) << "a wrapped cabinet stays";
}

TEST_F(TextStampTest, BaseStampAloneDoesNotBuildAndIsNotApplied) {
    CStamp stamp(kStampTypeText);
    EXPECT_FALSE(stamp.Build(mDoc));
    EXPECT_FALSE(stamp.IsBuilt());
    EXPECT_FALSE(stamp.Apply(mDoc, false));
    EXPECT_TRUE(StampedPages().empty());
}

struct KindRow {
    const char* name;
    int32_t type;
    bool made;
};

class StampKind : public TextStampTest, public testing::WithParamInterface<KindRow> {};

TEST_P(StampKind, TypeDecidesTheKind) {
    StampCab cab;
    cab.String(kKeyStampName, "Logo");
    if (GetParam().type != INT32_MIN) cab.Int(kKeyStampType, GetParam().type);
    const std::unique_ptr<CStamp> stamp = MakeStampForCabinet(cab.Get());
    EXPECT_EQ(stamp != nullptr, GetParam().made);
    if (stamp) {
        EXPECT_NE(dynamic_cast<CTextStamp*>(stamp.get()), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, StampKind,
                         testing::Values(KindRow{"Missing", INT32_MIN, true}, KindRow{"Text", 0, true},
                                         KindRow{"UnknownSilently", 5, false},
                                         KindRow{"NegativeSilently", -7, false}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
