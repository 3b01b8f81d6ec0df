// CPDFTextElement::Write: the resources and content pieces a write puts into
// a page, their order, and the failures, read back through the host's tables.
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "TextOnDocument.h"
#include "common/FaultInjectingHost.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "support/ErrorMessage.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

using enginetest::Lookup;
using enginetest::ContentPieces;
using enginetest::Numbers;
using enginetest::TextOnDocument;

TEST_F(TextOnDocument, TextBlockIsWrittenInItsOrder) {
    auto stamp = Stamp("Hello");
    ASSERT_TRUE(stamp->element.Write(0));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 1u);
    static const std::regex kBlock(
        R"(^ q 0 g 1 i /RelativeColorimetric ri /NxGS0 gs BT /NxF0 1 Tf (-?[0-9]+(\.[0-9]*[1-9])? ){6}Tm )"
        R"(0 Tw 0 Tc 100 Tz 0 Ts -?[0-9]+(\.[0-9]*[1-9])? -?[0-9]+(\.[0-9]*[1-9])? Td \(Hello\) Tj ET Q $)");
    EXPECT_TRUE(std::regex_match(pieces[0], kBlock)) << pieces[0];
    // The matrix: size 20, at (72, 72) plus the descent for the lowest point.
    const std::string matrix = pieces[0].substr(pieces[0].find("1 Tf ") + 5);
    const auto values = Numbers(matrix);
    ASSERT_EQ(values.size(), 12u);  // the matrix, the text state, the move
    EXPECT_DOUBLE_EQ(values[0], 20.0);
    EXPECT_DOUBLE_EQ(values[3], 20.0);
    EXPECT_NEAR(values[4], 72.0, 0.001);
    EXPECT_NEAR(values[5], 72.0, 0.001);
    // The first move lifts the baseline by the descent: -d / size.
    ASFixedRect sample{};
    stamp->element.MeasureText(stamp->element.EncodeText("Quillmark"), sample, 20);
    EXPECT_NEAR(values[10], 0.0, 1e-6);
    EXPECT_NEAR(values[11], -FixedToDouble(sample.bottom) / 20, 1e-5);
}

TEST_F(TextOnDocument, LaterLinesMoveDownOneSpacingAndRightAlignedLinesShift) {
    auto stamp = Stamp("Wide line\r\nab");
    stamp->element.SetLineSpacing(1.5);
    stamp->placement.SetAlignment(CPDFPlacement::kAlignRight, 1);
    ASSERT_TRUE(stamp->element.Write(0));
    const std::string block = Pieces()[0];
    const double w0 = Width(stamp->element, "Wide line", 20) / 20;
    const double w1 = Width(stamp->element, "ab", 20) / 20;
    const size_t second = block.find("Tj  ");
    ASSERT_NE(second, std::string::npos) << block;
    const auto move = Numbers(block.substr(second));
    ASSERT_GE(move.size(), 2u);
    EXPECT_NEAR(move[0], w0 - w1, 1e-5);
    EXPECT_DOUBLE_EQ(move[1], -1.5);
    EXPECT_NE(block.find("(ab) Tj ET Q "), std::string::npos);
}

TEST_F(TextOnDocument, RotatedWrappedBlockSetsTheTextStateOnceAndAMatrixPerLine) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "turn" + std::to_string(i) + " ";
    auto stamp = Stamp(text);
    stamp->placement.SetRotation(30);
    stamp->element.SetWordWrap(true);
    ASSERT_TRUE(stamp->element.Write(0));
    const std::string block = Pieces()[0];
    auto count = [&](const std::string& what) {
        size_t n = 0;
        for (size_t at = block.find(what); at != std::string::npos; at = block.find(what, at + 1)) ++n;
        return n;
    };
    const size_t lines = count(" Tj ");
    ASSERT_GT(lines, 2u) << block;
    EXPECT_EQ(count(" Tm "), lines) << block;
    EXPECT_EQ(count(" Tz "), 1u) << block;
    // The state follows the first matrix, before anything is shown.
    EXPECT_LT(block.find(" Tm 0 Tw 0 Tc 100 Tz 0 Ts "), block.find(" Tj ")) << block;
}

TEST_F(TextOnDocument, ColoursAreGrayWhenEqualAndRgbOtherwise) {
    auto gray = Stamp("g");
    gray->element.SetFontColor(0, 0, 0);
    ASSERT_TRUE(gray->element.Write(0));
    auto red = Stamp("r");
    red->element.SetFontColor(255, 0, 0);
    ASSERT_TRUE(red->element.Write(0));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].rfind(" q 0 g 1 i ", 0), 0u) << pieces[0];
    EXPECT_EQ(pieces[1].rfind(" q 1 0 0 rg 1 i ", 0), 0u) << pieces[1];
}

TEST_F(TextOnDocument, OpacityIsWrittenAsFixedNumbersInTheGraphicsState) {
    auto stamp = Stamp("half");
    stamp->element.SetOpacity(0.5);
    ASSERT_TRUE(stamp->element.Write(0));
    const CosObj gs = Lookup(Page(), {"Resources", "ExtGState", "NxGS0"});
    ASSERT_EQ(gCosHFT->objGetType(gs), CosDict);
    EXPECT_EQ(gCosHFT->fixedValue(Lookup(gs, {"CA"})), 32768);
    EXPECT_EQ(gCosHFT->fixedValue(Lookup(gs, {"ca"})), 32768);
    EXPECT_EQ(gCosHFT->nameValue(Lookup(gs, {"Type"})), gAtomExtGState);
    EXPECT_EQ(gCosHFT->nameValue(Lookup(gs, {"TR2"})), qmtest::nameAtom("Default"));
}

TEST_F(TextOnDocument, PageWithoutResourcesGetsFontAndGraphicsState) {
    gCosHFT->dictRemove(Page(), gAtomResources);
    auto stamp = Stamp("x");
    ASSERT_TRUE(stamp->element.Write(0));
    const CosObj font = Lookup(Page(), {"Resources", "Font", "NxF0"});
    ASSERT_EQ(gCosHFT->objGetType(font), CosDict);
    EXPECT_TRUE(gCosHFT->objIsIndirect(font));
    EXPECT_EQ(gCosHFT->nameValue(Lookup(font, {"BaseFont"})), qmtest::nameAtom("Helvetica"));
    EXPECT_EQ(gCosHFT->objGetType(Lookup(Page(), {"Resources", "ExtGState", "NxGS0"})), CosDict);
}

// A resource entry that is no dictionary is passed over as the host passes it
// over: the text lands in a new direct dictionary, as an image stamp's would,
// instead of the write failing on the damaged page.
TEST_F(TextOnDocument, ResourceEntriesThatAreNoDictionariesAreReplaced) {
    struct Row {
        const char* name;
        std::vector<const char*> damaged;  // path of the entry set to an integer
    };
    const Row rows[] = {
        {"resources an integer", {"Resources"}},
        {"font category an integer", {"Resources", "Font"}},
        {"graphics-state category an integer", {"Resources", "ExtGState"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CosDoc cos = mDoc.GetCosDoc();
        const CosObj resources = gCosHFT->newDict(cos, false, 2);
        gCosHFT->dictPut(Page(), gAtomResources, resources);
        const CosObj holder = row.damaged.size() == 1 ? Page() : resources;
        gCosHFT->dictPut(holder, qmtest::nameAtom(row.damaged.back()), gCosHFT->newInteger(cos, false, 7));
        auto stamp = Stamp("damaged");
        ASSERT_TRUE(stamp->element.Write(0)) << stamp->element.GetErrorText();
        for (const char* category : {"Font", "ExtGState"}) {
            const CosObj dict = Lookup(Page(), {"Resources", category});
            ASSERT_EQ(gCosHFT->objGetType(dict), CosDict) << category;
            EXPECT_EQ(gCosHFT->objGetType(Lookup(dict, {category[0] == 'F' ? "NxF0" : "NxGS0"})), CosDict);
        }
        EXPECT_FALSE(gCosHFT->objIsIndirect(Lookup(Page(), {"Resources", row.damaged.back()})));
        gCosHFT->dictRemove(Page(), gAtomContents);
    }
}

TEST_F(TextOnDocument, SameElementTwiceOnAPageTakesFreshNamesAndSharesTheFont) {
    auto stamp = Stamp("twice");
    ASSERT_TRUE(stamp->element.Write(0));
    ASSERT_TRUE(stamp->element.Write(0));
    const CosObj fonts = Lookup(Page(), {"Resources", "Font"});
    EXPECT_TRUE(gCosHFT->objEqual(Lookup(fonts, {"NxF0"}), Lookup(fonts, {"NxF1"})));
    EXPECT_EQ(gCosHFT->objGetType(Lookup(Page(), {"Resources", "ExtGState", "NxGS1"})), CosDict);
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_NE(pieces[1].find("/NxGS1 gs BT /NxF1 1 Tf"), std::string::npos) << pieces[1];
}

struct SharingRow {
    const char* name;
    std::vector<std::string> texts;   // the stamp's text on pages 1, 2 and 3
    std::vector<int> sameStreamAs;    // per page: the first page whose piece is the same object
};

class PieceSharing : public TextOnDocument, public testing::WithParamInterface<SharingRow> {};

TEST_P(PieceSharing, EqualPiecesOnPagesAreOneStream) {
    const SharingRow& row = GetParam();
    ASSERT_TRUE(mDoc.AppendBlankPage());
    ASSERT_TRUE(mDoc.AppendBlankPage());
    auto stamp = Stamp(row.texts[0]);
    std::vector<CosObj> pieces;
    for (int page = 0; page < 3; ++page) {
        stamp->element.SetText(row.texts[static_cast<size_t>(page)]);
        ASSERT_TRUE(stamp->element.Write(page));
        // The blank page had no content: the piece is its only stream.
        const CosObj contents = gCosHFT->dictGet(Page(page), gAtomContents);
        ASSERT_EQ(gCosHFT->objGetType(contents), CosStream);
        pieces.push_back(contents);
    }
    for (size_t page = 0; page < 3; ++page)
        for (size_t other = 0; other < page; ++other)
            EXPECT_EQ(gCosHFT->objEqual(pieces[page], pieces[other]),
                      row.sameStreamAs[page] == row.sameStreamAs[other])
                << "pages " << other + 1 << " and " << page + 1;
    // The font is copied once per document, whatever the pieces.
    const CosObj font = Lookup(Page(0), {"Resources", "Font", "NxF0"});
    for (int page = 1; page < 3; ++page)
        EXPECT_TRUE(gCosHFT->objEqual(Lookup(Page(page), {"Resources", "Font", "NxF0"}), font)) << page;
    // Every page shows its own text in the saved file.
    qmtest::FixtureFolder folder;
    const std::string path = folder.file("shared.pdf");
    enginetest::SaveDocument(mDoc, path);
    EXPECT_EQ(qmtest::qpdfCheck(path).status, 0);
    for (size_t page = 0; page < 3; ++page)
        EXPECT_EQ(enginetest::PageText(path, static_cast<int>(page) + 1).rfind(row.texts[page] + "\n", 0), 0u)
            << "page " << page + 1;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PieceSharing,
    testing::Values(SharingRow{"SameTextEverywhere", {"CONFIDENTIAL", "CONFIDENTIAL", "CONFIDENTIAL"}, {0, 0, 0}},
                    SharingRow{"NumbersThatDiffer", {"QM-1", "QM-2", "QM-3"}, {0, 1, 2}},
                    SharingRow{"OneOfThreeDiffers", {"Draft", "Final", "Draft"}, {0, 1, 0}}),
    [](const testing::TestParamInfo<SharingRow>& row) { return row.param.name; });

TEST_F(TextOnDocument, PageNeverHoldsOneStreamTwice) {
    ASSERT_TRUE(mDoc.AppendBlankPage());
    auto stamp = Stamp("x");
    // Equal pieces around each page: the second pair on a page gets streams
    // of its own, the first pair on the next page shares them.
    const auto putPair = [&](int page) {
        return stamp->element.InsertPageContent(mDoc.GetCosDoc(), Page(page), " q ", CPDFElement::kContentFront) &&
               stamp->element.InsertPageContent(mDoc.GetCosDoc(), Page(page), " Q ", CPDFElement::kContentEnd);
    };
    ASSERT_TRUE(putPair(0));
    ASSERT_TRUE(putPair(0));
    ASSERT_TRUE(putPair(1));
    const CosObj first = gCosHFT->dictGet(Page(0), gAtomContents);
    const CosObj second = gCosHFT->dictGet(Page(1), gAtomContents);
    ASSERT_EQ(gCosHFT->objGetType(first), CosArray);
    ASSERT_EQ(gCosHFT->objGetType(second), CosArray);
    const int32_t length = gCosHFT->arrayLength(first);
    ASSERT_EQ(length, 4);  // the blank page has no content of its own
    for (int32_t i = 0; i < length; ++i)
        for (int32_t j = 0; j < i; ++j)
            EXPECT_FALSE(gCosHFT->objEqual(gCosHFT->arrayGet(first, i), gCosHFT->arrayGet(first, j))) << i << " " << j;
    EXPECT_EQ(Pieces(0), (std::vector<std::string>{" q ", " q ", " Q ", " Q "}));
    const CosObj save = gCosHFT->arrayGet(second, 0);
    EXPECT_TRUE(gCosHFT->objEqual(save, gCosHFT->arrayGet(first, 0)) ||
                gCosHFT->objEqual(save, gCosHFT->arrayGet(first, 1)));
}

// Text that has nothing to show succeeds and leaves the page as it was.
TEST_F(TextOnDocument, TextThatShowsNothingWritesNothingAndSucceeds) {
    struct Row {
        const char* name;
        const char* text;
        bool wrapOffThePage;
    };
    const Row rows[] = {
        {"empty text", "", false},
        {"a wrap that cuts every line", "Unplaceable", true},  // no blank: it grows by characters
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        gCosHFT->dictRemove(Page(), gAtomResources);
        auto stamp = Stamp(row.text);
        if (row.wrapOffThePage) {
            stamp->placement.SetOffset(650, 72);
            stamp->element.SetWordWrap(true);
        }
        EXPECT_TRUE(stamp->element.Write(0));
        EXPECT_TRUE(Pieces().empty());
        EXPECT_EQ(gCosHFT->objGetType(Lookup(Page(), {"Resources"})), CosNull);
    }
}

TEST_F(TextOnDocument, MissingPlacementDocumentOrPageFails) {
    CPDFTextElement element;
    element.SetText("x");
    EXPECT_FALSE(element.Write(0));
    element.SetDocument(&mDoc);
    EXPECT_FALSE(element.Write(0));
    CPDFPlacement placement;
    element.SetPlacement(&placement);
    EXPECT_FALSE(element.Write(7));
    EXPECT_FALSE(element.GetErrorText().empty());
}

TEST_F(TextOnDocument, WithoutAFontTheWriteFailsWithAMessage) {
    auto withoutEditWrite = std::make_unique<qmtest::FaultInjectingHost>();
    withoutEditWrite->Withhold<PDFEditWriteTable>();
    CPDFTextElement element;  // the default font cannot be made
    withoutEditWrite.reset();
    ASSERT_EQ(element.GetFont(), nullptr);
    CPDFPlacement placement;
    element.SetDocument(&mDoc);
    element.SetPlacement(&placement);
    element.SetText("x");
    ClearErrorMessage();
    EXPECT_FALSE(element.Write(0));
    EXPECT_FALSE(element.GetErrorText().empty());
    EXPECT_TRUE(HasErrorMessage());
    EXPECT_TRUE(Pieces().empty());
}

TEST_F(TextOnDocument, FailedInsertionFailsTheWrite) {
    gCosHFT->dictPut(Page(), gAtomContents, gCosHFT->newInteger(mDoc.GetCosDoc(), false, 3));
    auto stamp = Stamp("lost");
    ClearErrorMessage();
    EXPECT_FALSE(stamp->element.Write(0));
    EXPECT_FALSE(stamp->element.GetErrorText().empty());
}

TEST_F(TextOnDocument, FullFontNamesFailWithoutReplacingAnEntry) {
    const CosDoc cos = mDoc.GetCosDoc();
    const CosObj resources = gCosHFT->newDict(cos, false, 1);
    const CosObj fonts = gCosHFT->newDict(cos, false, 10000);
    const CosObj marker = gCosHFT->newInteger(cos, false, 42);
    for (int i = 0; i < CPDFElement::kResourceNameLimit; ++i)
        gCosHFT->dictPut(fonts, qmtest::nameAtom(("NxF" + std::to_string(i)).c_str()), marker);
    gCosHFT->dictPut(resources, gAtomFont, fonts);
    gCosHFT->dictPut(Page(), gAtomResources, resources);
    auto stamp = Stamp("no room");
    EXPECT_FALSE(stamp->element.Write(0));
    EXPECT_EQ(gCosHFT->integerValue(Lookup(fonts, {"NxF9999"})), 42);
    EXPECT_TRUE(Pieces().empty());
}

TEST_F(TextOnDocument, OutlineModeStrokesTheGlyphsAndDrawsNoBorderOrBackground) {
    auto stamp = Stamp("outlined");
    stamp->element.SetOutline(true);
    stamp->element.SetRenderMode(2);
    stamp->element.SetLineWidth(1.5);
    stamp->element.SetLineColor(0, 0, 255);
    stamp->element.SetDashStyle(1);
    stamp->element.SetFillColor(255, 255, 0);
    stamp->element.SetUnderline(0);
    ASSERT_TRUE(stamp->element.Write(0));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 1u) << "no border and no background";
    EXPECT_NE(pieces[0].find(" q 0 g 0 0 1 RG [3]0 d 1 i "), std::string::npos) << pieces[0];
    EXPECT_NE(pieces[0].find("BT /NxF0 1 Tf 2 Tr 1.5 w "), std::string::npos) << pieces[0];
}

TEST_F(TextOnDocument, RenderModeIsOnlyWrittenInOutlineMode) {
    auto stamp = Stamp("plain");
    stamp->element.SetRenderMode(1);
    ASSERT_TRUE(stamp->element.Write(0));
    EXPECT_EQ(Pieces()[0].find(" Tr "), std::string::npos);
    stamp->element.SetOutline(true);
    stamp->element.SetRenderMode(0);
    ASSERT_TRUE(stamp->element.Write(0));
    const std::string outlined = Pieces()[1];
    EXPECT_NE(outlined.find("1 Tf 0 Tr "), std::string::npos) << outlined;
    EXPECT_EQ(outlined.find(" w "), std::string::npos) << "fill mode takes no line width";
}

TEST_F(TextOnDocument, BorderAndBackgroundNeedALineWidth) {
    auto stamp = Stamp("framed");
    stamp->element.SetFillColor(255, 255, 0);
    ASSERT_TRUE(stamp->element.Write(0));
    EXPECT_EQ(Pieces().size(), 1u) << "a fill colour alone draws nothing";
    stamp->element.SetLineWidth(2);
    ASSERT_TRUE(stamp->element.Write(0));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_NE(pieces[1].find(" 1 1 0 rg "), std::string::npos) << pieces[1];
    EXPECT_NE(pieces[1].find(" h f Q "), std::string::npos);
    EXPECT_NE(pieces[2].find("BT /NxF1"), std::string::npos);
    EXPECT_NE(pieces[3].find(" 0 G 2 w "), std::string::npos) << pieces[3];
    EXPECT_NE(pieces[3].find(" h S Q "), std::string::npos);
}

TEST_F(TextOnDocument, WidthIsMeasuredOnTheUnescapedText) {
    const std::string text = "(a)\\b";
    auto stamp = Stamp(text);
    stamp->element.SetLineWidth(1);
    ASSERT_TRUE(stamp->element.Write(0));
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_NE(pieces[0].find("(\\(a\\)\\\\b) Tj"), std::string::npos) << pieces[0];
    // The border's corners: the frame is exactly as wide as the raw text.
    const auto values = Numbers(pieces[1].substr(pieces[1].find(" gs ")));
    ASSERT_GE(values.size(), 4u);
    EXPECT_NEAR(values[2] - values[0], Width(stamp->element, text, 20), 0.001);
}

TEST_F(TextOnDocument, CommaDecimalLocaleWritesTheSameBytes) {
    auto first = Stamp("Locale 1.5\r\nline");
    first->element.SetLineWidth(1.25);
    first->element.SetFontColor(10, 20, 30);
    first->placement.SetRotation(33.3);
    ASSERT_TRUE(first->element.Write(0));
    if (!enginetest::SetCommaDecimalLocale()) GTEST_SKIP() << "no comma-decimal locale can be had";
    const bool written = first->element.Write(0);
    enginetest::RestoreCLocale();
    ASSERT_TRUE(written);
    const auto pieces = Pieces();
    ASSERT_EQ(pieces.size(), 4u);
    // The second write took fresh resource names; everything else is the same.
    std::string second = pieces[2] + pieces[3];
    second = std::regex_replace(second, std::regex("NxGS1"), "NxGS0");
    second = std::regex_replace(second, std::regex("NxF1"), "NxF0");
    EXPECT_EQ(second, pieces[0] + pieces[1]);
    EXPECT_EQ(second.find(','), std::string::npos);
}

// --- order of pieces

// Overlay pieces follow the restore and later stamps follow earlier ones;
// underlay pieces stand in drawing order before the save, a later underlay in front.
TEST_F(TextOnDocument, PiecesStandInDrawingOrderOnTheirSideOfTheWrappedContent) {
    struct Row {
        bool underlay;
        std::vector<std::string> pieces;  // " q " and " Q " exactly; the others found in the piece
    };
    const Row rows[] = {
        {false, {" q ", " Q ", " h f Q ", "(first) Tj", " l S Q ", " h S Q ", "(second) Tj"}},
        {true, {"(second) Tj", " h f Q ", "(first) Tj", " l S Q ", " h S Q ", " q ", " Q "}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.underlay ? "underlay" : "overlay");
        gCosHFT->dictRemove(Page(), gAtomContents);
        ASSERT_TRUE(mDoc.WrapAllPageContents());
        auto first = Stamp("first");
        first->element.SetUnderlay(row.underlay);
        first->element.SetLineWidth(1);
        first->element.SetFillColor(200, 200, 200);
        first->element.SetUnderline(1);
        ASSERT_TRUE(first->element.Write(0));
        auto second = Stamp("second");
        second->element.SetUnderlay(row.underlay);
        ASSERT_TRUE(second->element.Write(0));
        const auto pieces = Pieces();
        ASSERT_EQ(pieces.size(), row.pieces.size());
        for (size_t i = 0; i < pieces.size(); ++i) {
            const std::string& want = row.pieces[i];
            if (want == " q " || want == " Q ")
                EXPECT_EQ(pieces[i], want) << i;
            else
                EXPECT_NE(pieces[i].find(want), std::string::npos) << i << ": " << pieces[i];
        }
    }
}

// --- resources inherited through the page tree

// An element keeps what it worked out of a page only for one write: a page
// whose box or rotation changed since the element last wrote on it is
// placed as it stands now, exactly as a new element places it.
struct PageChangeRow {
    const char* name;
    const char* key;            // null: the box set through the host's pageSetBox
    std::vector<double> value;  // one number: an integer; four: a box
};

TEST_F(TextOnDocument, SecondWriteOfAChangedPageFollowsItsNewGeometry) {
    const std::vector<PageChangeRow> rows = {
        {"smaller box set by the host", nullptr, {0, 0, 300, 400}},
        {"crop box added", "CropBox", {40, 50, 500, 600}},
        {"page turned", "Rotate", {90}},
    };
    for (const PageChangeRow& row : rows) {
        SCOPED_TRACE(row.name);
        CPDFDocument doc;
        ASSERT_TRUE(doc.CreateNew());
        auto place = [&](enginetest::TextStamp& stamp) {
            stamp.placement.SetAlignment(CPDFPlacement::kAlignRight, 0);  // right, top
            stamp.placement.SetOffset(30, 40);
        };
        auto reused = enginetest::MakeTextStamp(doc, "Changed", 20);
        place(*reused);
        ASSERT_TRUE(reused->element.Write(0));
        const CosObj page = enginetest::PageDict(doc, 0);
        const CosDoc cosDoc = doc.GetCosDoc();
        CosObj value;
        if (!row.key) {
            const PDPage held = gPDModelHFT->docAcquirePage(doc.GetPDDoc(), 0);
            const ASFixedRect box{0, FixedFromDouble(row.value[3]), FixedFromDouble(row.value[2]), 0};
            gPDModelHFT->pageSetBox(held, &box);
            gPDModelHFT->pageRelease(held);
        } else if (row.value.size() == 1) {
            value = gCosHFT->newInteger(cosDoc, false, static_cast<int32_t>(row.value[0]));
        } else {
            value = gCosHFT->newArray(cosDoc, false, 4);
            for (int32_t i = 0; i < 4; ++i)
                gCosHFT->arrayPut(value, i, gCosHFT->newFixed(cosDoc, false, FixedFromDouble(row.value[static_cast<size_t>(i)])));
        }
        if (row.key) gCosHFT->dictPut(page, gCoreHFT->atomFromString(row.key), value);
        ASSERT_TRUE(reused->element.Write(0));
        auto fresh = enginetest::MakeTextStamp(doc, "Changed", 20);
        place(*fresh);
        ASSERT_TRUE(fresh->element.Write(0));
        const auto pieces = ContentPieces(doc, 0);
        ASSERT_EQ(pieces.size(), 3u);
        auto matrixOf = [](const std::string& piece) {
            const auto values = Numbers(piece.substr(piece.find("1 Tf ") + 5));
            return std::vector<double>(values.begin(), values.begin() + 6);
        };
        EXPECT_NE(matrixOf(pieces[0]), matrixOf(pieces[2])) << "the change moves the text";
        EXPECT_EQ(matrixOf(pieces[1]), matrixOf(pieces[2])) << pieces[1] << "\n" << pieces[2];
    }
}

// One element on three pages: a dictionary the pages share holds one entry
// for all of them; pages with dictionaries of their own get one each.
TEST_F(TextOnDocument, SharedResourceDictionariesHoldOneEntryForAllPages) {
    enum class Layout { kOwnDirect, kOneIndirect, kSharedFontDictionary, kInherited };
    struct Row {
        const char* name;
        Layout layout;
    };
    const Row rows[] = {
        {"each page its own direct resources", Layout::kOwnDirect},
        {"one indirect resources dictionary on every page", Layout::kOneIndirect},
        {"own direct resources sharing one indirect font dictionary", Layout::kSharedFontDictionary},
        {"resources inherited from the page tree", Layout::kInherited},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CPDFDocument doc;
        ASSERT_TRUE(doc.CreateNew());
        ASSERT_TRUE(doc.AppendBlankPage());
        ASSERT_TRUE(doc.AppendBlankPage());
        const CosDoc cosDoc = doc.GetCosDoc();
        const CosObj shared = gCosHFT->newDict(cosDoc, true, 1);
        const CosObj sharedFonts = gCosHFT->newDict(cosDoc, true, 1);
        for (int page = 0; page < 3; ++page) {
            const CosObj pageDict = enginetest::PageDict(doc, page);
            gCosHFT->dictRemove(pageDict, gAtomResources);
            if (row.layout == Layout::kOneIndirect) gCosHFT->dictPut(pageDict, gAtomResources, shared);
            if (row.layout == Layout::kOwnDirect || row.layout == Layout::kSharedFontDictionary) {
                const CosObj own = gCosHFT->newDict(cosDoc, false, 1);
                gCosHFT->dictPut(pageDict, gAtomResources, own);
                if (row.layout == Layout::kSharedFontDictionary) gCosHFT->dictPut(own, gAtomFont, sharedFonts);
            }
        }
        if (row.layout == Layout::kInherited)
            gCosHFT->dictPut(Lookup(enginetest::PageDict(doc, 0), {"Parent"}), gAtomResources, shared);

        auto stamp = enginetest::MakeTextStamp(doc, "QM", 12);
        for (int page = 0; page < 3; ++page) ASSERT_TRUE(stamp->element.Write(page)) << page;

        for (int page = 0; page < 3; ++page) {
            SCOPED_TRACE(page);
            CosObj resources = Lookup(enginetest::PageDict(doc, page), {"Resources"});
            if (row.layout == Layout::kInherited)
                resources = Lookup(enginetest::PageDict(doc, page), {"Parent", "Resources"});
            for (const char* category : {"Font", "ExtGState"}) {
                const std::string prefix = category[0] == 'F' ? "NxF" : "NxGS";
                const std::string first = prefix + "0", second = prefix + "1";
                const CosObj dict = Lookup(resources, {category});
                EXPECT_EQ(gCosHFT->objGetType(Lookup(dict, {first.c_str()})), CosDict) << category;
                EXPECT_EQ(gCosHFT->objGetType(Lookup(dict, {second.c_str()})), CosNull) << category;
            }
            const auto pieces = ContentPieces(doc, page);
            ASSERT_EQ(pieces.size(), 1u);
            EXPECT_NE(pieces[0].find("/NxGS0 gs BT /NxF0 1 Tf"), std::string::npos) << pieces[0];
        }
    }
}

TEST(TextOnInheritedResources, EntriesGoIntoTheInheritedDictionary) {
    enginetest::StartEngine();
    qmtest::FixtureFolder folder;
    const std::string path = folder.file("inherited.pdf");
    qmtest::FixtureTree tree;
    tree.nested = true;
    qmtest::writeFixturePdf(path, {qmtest::FixturePage{}}, tree);
    auto doc = enginetest::OpenDocument(path);
    auto stamp = enginetest::MakeTextStamp(*doc, "inherited", 12);
    ASSERT_TRUE(stamp->element.Write(0));
    const CosObj page = enginetest::PageDict(*doc, 0);
    EXPECT_EQ(gCosHFT->objGetType(Lookup(page, {"Resources"})), CosNull);
    const CosObj fonts = Lookup(page, {"Parent", "Parent", "Resources", "Font"});
    EXPECT_EQ(gCosHFT->objGetType(Lookup(fonts, {"F1"})), CosDict);
    EXPECT_EQ(gCosHFT->objGetType(Lookup(fonts, {"NxF0"})), CosDict);
}

}  // namespace
