// CPDFElement: setters, content insertion in every shape of "Contents",
// resource names, page wrapping, link annotations and the line operators.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "engine/CPDFAction.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "engine/CWrapPieces.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

constexpr ASFixedMatrix kIdentity{kASFixedOne, 0, 0, kASFixedOne, 0, 0};

ASFixedRect Rect(double left, double top, double right, double bottom) {
    return {FixedFromDouble(left), FixedFromDouble(top), FixedFromDouble(right), FixedFromDouble(bottom)};
}

// --- setters

TEST(CPDFElement, DefaultsAreOverlayInvisibleAndWithoutBorder) {
    CPDFElement element;
    EXPECT_EQ(element.GetContentPosition(), CPDFElement::kContentEnd);
    EXPECT_EQ(element.GetFillOpacity(), 0.0);
    EXPECT_EQ(element.GetStrokeOpacity(), 0.0);
    EXPECT_EQ(element.GetLineWidth(), 0.0);
    EXPECT_EQ(element.GetDashStyle(), 0);
    EXPECT_FALSE(element.GetRecordUndo());
    EXPECT_EQ(element.GetDocument(), nullptr);
    EXPECT_TRUE(element.Write(0));
}

TEST(CPDFElement, UnderlayGoesToTheFrontAndOverlayToTheEnd) {
    CPDFElement element;
    element.SetUnderlay(true);
    EXPECT_EQ(element.GetContentPosition(), -1);
    element.SetUnderlay(false);
    EXPECT_EQ(element.GetContentPosition(), 0x7FFFFFFE);
}

TEST(CPDFElement, LineColourIsDividedBy255WithoutClamping) {
    CPDFElement element;
    element.SetLineColor(255, 51, 510);
    double r, g, b;
    element.GetLineColor(r, g, b);
    EXPECT_DOUBLE_EQ(r, 1.0);
    EXPECT_DOUBLE_EQ(g, 0.2);
    EXPECT_DOUBLE_EQ(b, 2.0);
}

TEST(CPDFElement, WidthNotAboveZeroAndDashOutsideZeroToFiveAreIgnored) {
    CPDFElement element;
    element.SetLineWidth(2.5);
    element.SetLineWidth(0);
    element.SetLineWidth(-1);
    EXPECT_EQ(element.GetLineWidth(), 2.5);
    element.SetDashStyle(5);
    element.SetDashStyle(6);
    element.SetDashStyle(-1);
    EXPECT_EQ(element.GetDashStyle(), 5);
}

TEST(CPDFElement, OpacitySetsFillAndStroke) {
    CPDFElement element;
    element.SetOpacity(0.25);
    EXPECT_EQ(element.GetFillOpacity(), 0.25);
    EXPECT_EQ(element.GetStrokeOpacity(), 0.25);
    element.SetFillOpacity(2.0);  // no range check
    EXPECT_EQ(element.GetFillOpacity(), 2.0);
}

// --- line operators

class LineOperators : public testing::Test {
protected:
    void SetUp() override { enginetest::StartEngine(); }
    std::string Write(const ASFixedRect& rect, const ASFixedMatrix& matrix, double width, int dash,
                      double r, double g, double b, int mode, const char* gs = "NxGS0",
                      bool* answered = nullptr) {
        std::string out = "stale";
        const bool ok = mElement.WriteLineOperators(out, rect, matrix, width, dash, r, g, b, mode, gs);
        if (answered) *answered = ok;
        return out;
    }
    CPDFElement mElement;
};

TEST_F(LineOperators, BlackDashedBorderIsWrittenExactly) {
    EXPECT_EQ(Write(Rect(72, 144, 144, 72), kIdentity, 1.0, 1, 0, 0, 0, CPDFElement::kStrokeRect),
              " q 0 G 1 w [3]0 d /NxGS0 gs 72 72 m 144 72 l 144 144 l 72 144 l h S Q ");
}

TEST_F(LineOperators, FillUsesTheFillColourOperatorsAndF) {
    EXPECT_EQ(Write(Rect(0, 10, 20, 0), kIdentity, 2.0, 0, 1.0, 0.5, 0.0, CPDFElement::kFillRect),
              " q 1 0.5 0 rg 2 w /NxGS0 gs 0 0 m 20 0 l 20 10 l 0 10 l h f Q ");
}

TEST_F(LineOperators, TopEdgeModeStrokesTheTopFromLeftToRight) {
    EXPECT_EQ(Write(Rect(10, 30, 50, 20), kIdentity, 1.0, 0, 0.2, 0.4, 0.6, CPDFElement::kStrokeTopEdge),
              " q 0.2 0.4 0.6 RG 1 w /NxGS0 gs 10 30 m 50 30 l S Q ");
}

TEST_F(LineOperators, CornersAreMappedByTheMatrix) {
    // Scale 2, then move by (100, 50).
    const ASFixedMatrix matrix{2 * kASFixedOne, 0, 0, 2 * kASFixedOne, 100 * kASFixedOne, 50 * kASFixedOne};
    const std::string out = Write(Rect(0, 10, 5, 0), matrix, 1.0, 0, 0, 0, 0, CPDFElement::kStrokeRect);
    EXPECT_NE(out.find("100 50 m 110 50 l 110 70 l 100 70 l h S"),
              std::string::npos)
        << out;
}

TEST_F(LineOperators, WidthNotAboveZeroAnswersFalseWithAnEmptyBuffer) {
    bool answered = true;
    EXPECT_EQ(Write(Rect(0, 1, 1, 0), kIdentity, 0.0, 0, 0, 0, 0, 0, "NxGS0", &answered), "");
    EXPECT_FALSE(answered);
    EXPECT_EQ(Write(Rect(0, 1, 1, 0), kIdentity, -2.0, 0, 0, 0, 0, 0, "NxGS0", &answered), "");
    EXPECT_FALSE(answered);
}

struct DashCase {
    const char* name;
    int style;
    double width;
    const char* pattern;  // "" when none is written
};

class LineDash : public LineOperators, public testing::WithParamInterface<DashCase> {};

TEST_P(LineDash, PatternFollowsTheStyleAndTheWholeWidth) {
    const DashCase& c = GetParam();
    const std::string out = Write(Rect(0, 1, 1, 0), kIdentity, c.width, c.style, 0, 0, 0, 0);
    const size_t dash = out.find("]0 d ");
    if (c.pattern[0] == '\0') {
        EXPECT_EQ(dash, std::string::npos) << out;
    } else {
        EXPECT_NE(out.find(std::string(c.pattern) + "0 d "), std::string::npos) << out;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, LineDash,
    testing::Values(DashCase{"SolidWritesNone", 0, 1.0, ""},
                    DashCase{"DashesOfThreeWidths", 1, 1.0, "[3]"},
                    DashCase{"DotsOfOneWidth", 2, 1.0, "[1]"},
                    DashCase{"DashDot", 3, 1.0, "[3 1 1 1]"},
                    DashCase{"DashDotDot", 4, 1.0, "[3 1 1 1 1 1]"},
                    DashCase{"StyleFiveIsSolid", 5, 1.0, ""},
                    DashCase{"ThinLineCountsAsOnePoint", 1, 0.4, "[3]"},
                    DashCase{"ThinLineDashDot", 3, 0.4, "[3 1 1 1]"},
                    DashCase{"WidthIsTruncated", 3, 2.5, "[6 2 2 2]"}),
    [](const testing::TestParamInfo<DashCase>& row) { return row.param.name; });

TEST_F(LineOperators, EqualChannelsWriteOneGrayValue) {
    const std::string stroke = Write(Rect(0, 1, 1, 0), kIdentity, 1, 0, 0.5, 0.5, 0.5, CPDFElement::kStrokeRect);
    EXPECT_NE(stroke.find(" q 0.5 G "), std::string::npos) << stroke;
    const std::string fill = Write(Rect(0, 1, 1, 0), kIdentity, 1, 0, 1, 1, 1, CPDFElement::kFillRect);
    EXPECT_NE(fill.find(" q 1 g "), std::string::npos) << fill;
}

TEST_F(LineOperators, LongNamesAndLargeCoordinatesGrowTheString) {
    const std::string gs(300, 'G');
    const std::string out = Write(Rect(-30000, 30000, 30000, -30000), kIdentity, 1, 0, 0, 0, 0,
                                  CPDFElement::kStrokeRect, gs.c_str());
    EXPECT_NE(out.find("/" + gs + " gs "), std::string::npos);
    EXPECT_NE(out.find("-30000 -30000 m "), std::string::npos) << out;
}

// --- documents for the Cos services

class ElementOnDocument : public testing::Test {
protected:
    void SetUp() override { enginetest::StartEngine(); }

    void Open(const std::vector<qmtest::FixturePage>& pages, const qmtest::FixtureTree& tree = {}) {
        mPath = mFolder.file("in.pdf");
        qmtest::writeFixturePdf(mPath, pages, tree);
        mDoc = enginetest::OpenDocument(mPath);
        mElement.SetDocument(mDoc.get());
    }
    CosDoc Cos() const { return mDoc->GetCosDoc(); }
    CosObj PageDict(int index) const { return enginetest::PageDict(*mDoc, index); }
    CosObj Contents(int index) const { return gCosHFT->dictGet(PageDict(index), gAtomContents); }
    static std::string Data(CosObj stream) { return enginetest::StreamData(stream); }
    std::vector<std::string> Pieces(int index) const { return enginetest::ContentPieces(*mDoc, index); }
    bool Insert(int page, const std::string& text, int32_t position) {
        return mElement.InsertPageContent(Cos(), PageDict(page), text, position);
    }
    // Wraps page with a " q " and a " Q " stream of its own, as a run's
    // wrapping does with the streams it shares between pages.
    bool Wrap(int page, CPDFElement& element) {
        CWrapPieces pieces(Cos());
        return element.WrapPageContent(page, pieces);
    }
    bool Wrap(int page) { return Wrap(page, mElement); }

    qmtest::FixtureFolder mFolder;
    std::string mPath;
    std::unique_ptr<CPDFDocument> mDoc;
    CPDFElement mElement;
};

qmtest::FixturePage PageWith(qmtest::FixtureContents contents) {
    qmtest::FixturePage page;
    page.contents = contents;
    return page;
}

TEST_F(ElementOnDocument, PageWithoutContentsGetsTheStreamAsItsOnlyContent) {
    Open({PageWith(qmtest::FixtureContents::None)});
    ASSERT_TRUE(Insert(0, " new ", CPDFElement::kContentEnd));
    ASSERT_EQ(gCosHFT->objGetType(Contents(0)), CosStream);
    EXPECT_EQ(Data(Contents(0)), " new ");
}

struct ShapeCase {
    const char* name;
    qmtest::FixtureContents contents;
    int32_t position;
    bool expectFirst;  // the piece stands first (else last)
    size_t expectedCount;
};

class InsertIntoShape : public ElementOnDocument, public testing::WithParamInterface<ShapeCase> {};

TEST_P(InsertIntoShape, PieceLandsAtTheFrontOrTheEnd) {
    const ShapeCase& c = GetParam();
    Open({PageWith(c.contents)});
    const size_t before = Pieces(0).size();
    ASSERT_TRUE(Insert(0, " piece ", c.position));
    const auto pieces = Pieces(0);
    ASSERT_EQ(pieces.size(), c.expectedCount);
    EXPECT_EQ(before + 1, pieces.size());
    EXPECT_EQ(c.expectFirst ? pieces.front() : pieces.back(), " piece ");
    EXPECT_EQ(gCosHFT->objGetType(Contents(0)), CosArray);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, InsertIntoShape,
    testing::Values(
        ShapeCase{"OneStreamAtTheEnd", qmtest::FixtureContents::OneStream, CPDFElement::kContentEnd, false, 2},
        ShapeCase{"OneStreamAtTheFront", qmtest::FixtureContents::OneStream, CPDFElement::kContentFront, true, 2},
        ShapeCase{"ArrayAtTheEnd", qmtest::FixtureContents::StreamArray, CPDFElement::kContentEnd, false, 4},
        ShapeCase{"ArrayAtTheFront", qmtest::FixtureContents::StreamArray, CPDFElement::kContentFront, true, 4},
        ShapeCase{"AnyOtherPositionIsTheFront", qmtest::FixtureContents::StreamArray, 5, true, 4},
        ShapeCase{"ZeroIsTheFront", qmtest::FixtureContents::OneStream, 0, true, 2}),
    [](const testing::TestParamInfo<ShapeCase>& row) { return row.param.name; });

TEST_F(ElementOnDocument, EmptyContentChangesNothing) {
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    const CosObj before = Contents(0);
    EXPECT_TRUE(Insert(0, "", CPDFElement::kContentEnd));
    EXPECT_TRUE(gCosHFT->objEqual(Contents(0), before));
}

TEST_F(ElementOnDocument, DamagedContentsIsAFailureNotASilentSuccess) {
    Open({PageWith(qmtest::FixtureContents::None)});
    gCosHFT->dictPut(PageDict(0), gAtomContents, gCosHFT->newInteger(Cos(), false, 7));
    EXPECT_FALSE(Insert(0, " piece ", CPDFElement::kContentEnd));
    const CosObj contents = Contents(0);
    ASSERT_EQ(gCosHFT->objGetType(contents), CosInteger);
    EXPECT_EQ(gCosHFT->integerValue(contents), 7);
}

TEST_F(ElementOnDocument, SharedContentsArrayGetsThePieceOnOnePageOnly) {
    Open({PageWith(qmtest::FixtureContents::StreamArray), PageWith(qmtest::FixtureContents::None)});
    // Both pages share one indirect array, as some writers make them.
    const CosObj shared = gCosHFT->newArray(Cos(), true, 1);
    gCosHFT->arrayPut(shared, 0, gCosHFT->arrayGet(Contents(0), 1));
    gCosHFT->dictPut(PageDict(0), gAtomContents, shared);
    gCosHFT->dictPut(PageDict(1), gAtomContents, shared);
    ASSERT_TRUE(Insert(0, " only page 1 ", CPDFElement::kContentEnd));
    EXPECT_EQ(Pieces(0).size(), 2u);
    EXPECT_EQ(Pieces(0).back(), " only page 1 ");
    EXPECT_EQ(Pieces(1).size(), 1u);
}

TEST_F(ElementOnDocument, ResourceNameTakesTheFirstGap) {
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    const CosObj dict = gCosHFT->newDict(Cos(), false, 2);
    std::string name;
    ASSERT_TRUE(mElement.MakeResourceName(name, "NxGS", dict));
    EXPECT_EQ(name, "NxGS0");
    gCosHFT->dictPut(dict, qmtest::nameAtom("NxGS0"), gCosHFT->newInteger(Cos(), false, 0));
    gCosHFT->dictPut(dict, qmtest::nameAtom("NxGS2"), gCosHFT->newInteger(Cos(), false, 2));
    ASSERT_TRUE(mElement.MakeResourceName(name, "NxGS", dict));
    EXPECT_EQ(name, "NxGS1");
    ASSERT_TRUE(mElement.MakeResourceName(name, "NxF", dict));
    EXPECT_EQ(name, "NxF0");
}

// One element asks for names in one dictionary again and again while the
// dictionary gains entries between the questions, from the element and from
// elsewhere (another stamp of the run on the same page). What the element
// remembers of earlier searches never yields a taken name.
TEST_F(ElementOnDocument, ResourceNamesStayFreeWhileTheDictionaryGains) {
    struct Step {
        std::vector<std::string> addedBefore;  // keys put in before the question
        const char* prefix;
        const char* expected;
    };
    struct Row {
        const char* name;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"FirstNameFree", {{{}, "NxGS", "NxGS0"}, {{}, "NxGS", "NxGS0"}}},
        {"OwnEntriesThenOthers",
         {{{}, "NxF", "NxF0"}, {{"NxF0", "NxF1"}, "NxF", "NxF2"}, {{"NxF2", "NxF3", "NxF5"}, "NxF", "NxF4"}}},
        {"OthersBeforeTheFirstQuestion", {{{"NxI0", "NxI1"}, "NxI", "NxI2"}, {{"NxI2"}, "NxI", "NxI3"}}},
        {"PrefixesCountApart", {{{"NxGS0"}, "NxGS", "NxGS1"}, {{"NxGS1"}, "NxX", "NxX0"}, {{}, "NxGS", "NxGS2"}}},
    };
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    for (const Row& row : rows) {
        CPDFElement element;
        element.SetDocument(mDoc.get());
        const CosObj dict = gCosHFT->newDict(Cos(), true, 4);
        for (const Step& step : row.steps) {
            for (const std::string& key : step.addedBefore)
                gCosHFT->dictPut(dict, qmtest::nameAtom(key.c_str()), gCosHFT->newInteger(Cos(), false, 1));
            std::string name;
            ASSERT_TRUE(element.MakeResourceName(name, step.prefix, dict)) << row.name;
            EXPECT_EQ(name, step.expected) << row.name;
        }
    }
}

TEST_F(ElementOnDocument, ResourceNameOfANullDictionaryFails) {
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    std::string name;
    EXPECT_FALSE(mElement.MakeResourceName(name, "NxI", gCosHFT->newNull()));
}

TEST_F(ElementOnDocument, ResourceNamesRunOutAfterTenThousand) {
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    const CosObj dict = gCosHFT->newDict(Cos(), false, 10000);
    const CosObj value = gCosHFT->newInteger(Cos(), false, 1);
    for (int i = 0; i < CPDFElement::kResourceNameLimit; ++i)
        gCosHFT->dictPut(dict, qmtest::nameAtom(("NxX" + std::to_string(i)).c_str()), value);
    std::string name;
    EXPECT_FALSE(mElement.MakeResourceName(name, "NxX", dict));
    EXPECT_EQ(name, "NxX9999");
}

TEST_F(ElementOnDocument, WrappingPutsSaveFirstAndRestoreLast) {
    Open({PageWith(qmtest::FixtureContents::None), PageWith(qmtest::FixtureContents::OneStream),
          PageWith(qmtest::FixtureContents::StreamArray)});
    for (int page = 0; page < 3; ++page) {
        const size_t before = Pieces(page).size();
        ASSERT_TRUE(Wrap(page));
        const auto pieces = Pieces(page);
        ASSERT_EQ(pieces.size(), before + 2) << page;
        EXPECT_EQ(pieces.front(), " q ");
        EXPECT_EQ(pieces.back(), " Q ");
    }
}

TEST_F(ElementOnDocument, WrappingTwiceNestsTwoPairs) {
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    ASSERT_TRUE(Wrap(0));
    ASSERT_TRUE(Wrap(0));
    const auto pieces = Pieces(0);
    ASSERT_EQ(pieces.size(), 5u);
    EXPECT_EQ(pieces[0], " q ");
    EXPECT_EQ(pieces[1], " q ");
    EXPECT_EQ(pieces[3], " Q ");
    EXPECT_EQ(pieces[4], " Q ");
}

TEST_F(ElementOnDocument, DamagedPageGetsNoUnmatchedRestore) {
    Open({PageWith(qmtest::FixtureContents::None)});
    gCosHFT->dictPut(PageDict(0), gAtomContents, gCosHFT->newName(Cos(), false, gAtomAll));
    EXPECT_FALSE(Wrap(0));
    EXPECT_EQ(gCosHFT->objGetType(Contents(0)), CosName);
}

TEST_F(ElementOnDocument, WrappingWithoutADocumentOrPageFails) {
    CPDFElement loose;
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    EXPECT_FALSE(Wrap(0, loose));
    EXPECT_FALSE(Wrap(3));
}

// --- link annotations

TEST_F(ElementOnDocument, LinkWithoutAValidActionIsRefused) {
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    const PDPage page = gPDModelHFT->docAcquirePage(mDoc->GetPDDoc(), 0);
    EXPECT_FALSE(mElement.AddLinkAnnot(Rect(0, 10, 10, 0), page));
    CPDFAction nullAction;
    mElement.SetAction(&nullAction);
    EXPECT_FALSE(mElement.AddLinkAnnot(Rect(0, 10, 10, 0), page));
    EXPECT_EQ(gPDModelHFT->pageGetNumAnnots(page), 0);
    gPDModelHFT->pageRelease(page);
}

TEST_F(ElementOnDocument, LinkIsAddedAfterEveryExistingAnnotation) {
    Open({PageWith(qmtest::FixtureContents::OneStream)});
    // Two existing annotations.
    const CosObj annots = gCosHFT->newArray(Cos(), false, 2);
    for (int i = 0; i < 2; ++i) {
        const CosObj note = gCosHFT->newDict(Cos(), true, 3);
        gCosHFT->dictPut(note, gAtomType, gCosHFT->newName(Cos(), false, qmtest::nameAtom("Annot")));
        gCosHFT->dictPut(note, gAtomSubtype, gCosHFT->newName(Cos(), false, gAtomText));
        const CosObj rect = gCosHFT->newArray(Cos(), false, 4);
        for (int k = 0; k < 4; ++k) gCosHFT->arrayPut(rect, k, gCosHFT->newInteger(Cos(), false, k * 10));
        gCosHFT->dictPut(note, qmtest::nameAtom("Rect"), rect);
        gCosHFT->arrayPut(annots, i, note);
    }
    gCosHFT->dictPut(PageDict(0), qmtest::nameAtom("Annots"), annots);

    CPDFAction action;
    action.SetDocument(mDoc->GetPDDoc());
    ASSERT_TRUE(action.MakeURIAction("https://example.org/q"));
    mElement.SetAction(&action);
    const PDPage page = gPDModelHFT->docAcquirePage(mDoc->GetPDDoc(), 0);
    ASSERT_TRUE(mElement.AddLinkAnnot(Rect(72, 144, 144, 72), page));
    ASSERT_EQ(gPDModelHFT->pageGetNumAnnots(page), 3);
    const PDAnnot last = gPDModelHFT->pageGetAnnot(page, 2);
    EXPECT_EQ(gPDModelHFT->annotGetSubtype(last), qmtest::nameAtom("Link"));
    EXPECT_TRUE(gCosHFT->objEqual(gCosHFT->dictGet(last.cos, qmtest::nameAtom("A")),
                                  action.GetAction().cos));
    gPDModelHFT->pageRelease(page);
}

}  // namespace
