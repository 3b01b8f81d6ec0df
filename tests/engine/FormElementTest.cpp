// The PDF-page element in memory: reading a source page's content, copying its
// resources, and the form XObject, resource entries and content pieces that a
// write adds to a target page.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include "EngineFixture.h"
#include "TextOnDocument.h"
#include "engine/CPDFAction.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFFormElement.h"
#include "engine/CPageContentsArray.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace {

using enginetest::Lookup;
using enginetest::Numbers;
using enginetest::StreamData;

const char kText[] = "BT /F1 24 Tf 72 700 Td (Quill) Tj ET";

struct SourceLayout {
    std::function<QPDFObjectHandle(QPDF&)> contents;  // null: no /Contents
    bool ownResources = true;
    bool inheritedResources = false;
    int rotate = 0;
    double width = 612, height = 792;
    bool cropped = false;  // crop box 50 100 550 700
    bool compressed = false;  // streams stored with /FlateDecode
};

// A one-page source PDF written with qpdf.
void WriteSource(const std::string& path, const SourceLayout& layout) {
    QPDF pdf;
    pdf.emptyPDF();
    const auto resources = [&] {
        return QPDFObjectHandle::parse("<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>");
    };
    QPDFObjectHandle root = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Pages /Kids [] /Count 1 >>"));
    if (layout.inheritedResources) root.replaceKey("/Resources", resources());
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page >>");
    page.replaceKey("/Parent", root);
    page.replaceKey("/MediaBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, layout.width, layout.height)));
    if (layout.cropped)
        page.replaceKey("/CropBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(50, 100, 550, 700)));
    if (layout.rotate) page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(layout.rotate));
    if (layout.ownResources) page.replaceKey("/Resources", resources());
    if (layout.contents) page.replaceKey("/Contents", layout.contents(pdf));
    root.getKey("/Kids").appendItem(pdf.makeIndirectObject(page));
    pdf.getRoot().replaceKey("/Pages", root);
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.setCompressStreams(layout.compressed);
    writer.write();
}

std::function<QPDFObjectHandle(QPDF&)> Streams(std::vector<std::string> parts) {
    return [parts](QPDF& pdf) {
        QPDFObjectHandle array = QPDFObjectHandle::newArray();
        for (const auto& part : parts) array.appendItem(pdf.newStream(part));
        return array;
    };
}

std::function<QPDFObjectHandle(QPDF&)> OneStream(std::string data) {
    return [data](QPDF& pdf) { return pdf.newStream(data); };
}

double Real(CosObj obj) { return FixedToDouble(gCosHFT->fixedValue(obj)); }

std::vector<double> Reals(CosObj array) {
    std::vector<double> values;
    for (int32_t i = 0; i < gCosHFT->arrayLength(array); ++i) values.push_back(Real(gCosHFT->arrayGet(array, i)));
    return values;
}

class FormElement : public enginetest::TextOnDocument {
protected:
    void SetUp() override {
        TextOnDocument::SetUp();
        mElement.SetDocument(&mDoc);
        mElement.SetPlacement(&mPlacement);
        mElement.SetOpacity(1.0);
        mPlacement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
    }
    // Writes the source and opens it as the element's source document.
    void OpenSource(const SourceLayout& layout) {
        const std::string path = mFolder.file("source.pdf");
        WriteSource(path, layout);
        ASSERT_TRUE(mElement.GetSourceDocument().Open(path.c_str()));
    }
    // Opens the source and runs the stamp's build steps for its first page.
    void Build(const SourceLayout& layout) {
        ASSERT_NO_FATAL_FAILURE(OpenSource(layout));
        ASSERT_TRUE(mElement.SetSourcePage(0));
        ASSERT_TRUE(mElement.ReadSourcePageContents(0));
        ASSERT_TRUE(mElement.CopySourceResources());
    }
    std::string Content() const {
        const std::string* text = mElement.GetSourcePageContents(0);
        return text ? *text : "<none>";
    }
    CosObj XObject(const char* name, int page = 0) const { return Lookup(Page(page), {"Resources", "XObject", name}); }

    qmtest::FixtureFolder mFolder;
    CPDFPlacement mPlacement;
    CPDFFormElement mElement;
};

// --- the page contents array

TEST(PageContentsArray, MakingAStringPadsTheLowerSlotsWithEmptyStrings) {
    CPageContentsArray contents;
    std::string* third = contents.MakeEmptyString(2);
    ASSERT_NE(third, nullptr);
    *third = "abc";
    EXPECT_EQ(contents.GetCount(), 3);
    ASSERT_NE(contents.GetString(0), nullptr);
    EXPECT_EQ(*contents.GetString(0), "");
    EXPECT_EQ(contents.MakeEmptyString(2), third) << "an existing slot is emptied, not replaced";
    EXPECT_EQ(*third, "");
    EXPECT_EQ(contents.GetString(3), nullptr);
    EXPECT_EQ(contents.GetString(-1), nullptr);
    EXPECT_EQ(contents.MakeEmptyString(-1), nullptr);
    contents.RemoveAt(0);  // deletes its string (the sanitizer would see a leak)
    EXPECT_EQ(contents.GetCount(), 2);
    contents.RemoveAll();
    EXPECT_EQ(contents.GetCount(), 0);
}

// --- reading the source page's content

struct ReadCase {
    const char* name;
    std::vector<std::string> streams;  // one element and single: a single stream
    bool single;
    std::string expected;
};

class FormElementRead : public FormElement, public testing::WithParamInterface<ReadCase> {};

TEST_P(FormElementRead, ReadsTheDecodedContentWhole) {
    const ReadCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(OpenSource({c.single ? OneStream(c.streams[0]) : Streams(c.streams)}));
    ASSERT_TRUE(mElement.ReadSourcePageContents(0)) << mElement.GetErrorText();
    EXPECT_EQ(Content(), c.expected);
    EXPECT_EQ(Content().size(), c.expected.size());
}

const std::string kWithNul = std::string("% a\0b\n", 6) + kText;

INSTANTIATE_TEST_SUITE_P(
    Cases, FormElementRead,
    testing::Values(
        ReadCase{"OneStream", {kText}, true, kText},
        ReadCase{"ThreeStreamsInArrayOrder", {"q\n", kText, "\nQ"}, false, std::string("q\n\n") + kText + "\n\nQ"},
        ReadCase{"StreamsJoinedWithoutSeparatorDoNotMergeTokens", {"0 0 1 rg", kText, "Q"}, false,
                 std::string("0 0 1 rg\n") + kText + "\nQ"},
        ReadCase{"ZeroLengthStreamInArrayIsNoFailure", {"q", "", kText, "Q"}, false,
                 std::string("q\n") + kText + "\nQ"},
        ReadCase{"NulByteDoesNotCutTheContent", {kWithNul}, true, kWithNul},
        ReadCase{"EmptySingleStreamReadsEmpty", {""}, true, ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(FormElement, CompressedStreamIsReadPastItsStoredLength) {
    std::string big;
    for (int i = 0; i < 4000; ++i) big += "72 72 m 144 144 l S\n";  // compresses far below its size
    ASSERT_NO_FATAL_FAILURE(OpenSource({.contents = Streams({big}), .compressed = true}));
    ASSERT_TRUE(mElement.ReadSourcePageContents(0));
    EXPECT_EQ(Content(), big);
}

TEST_F(FormElement, PageWithoutContentsReadsEmptyAndWritesNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenSource({}));
    ASSERT_TRUE(mElement.ReadSourcePageContents(0));
    EXPECT_EQ(Content(), "");
    ASSERT_TRUE(mElement.CopySourceResources());
    const auto before = Pieces();
    EXPECT_FALSE(mElement.Write(0));
    EXPECT_EQ(Pieces(), before);
    EXPECT_EQ(gCosHFT->objGetType(XObject("NxX0")), CosNull);
}

TEST_F(FormElement, ContentsElementThatIsNoStreamFails) {
    ASSERT_NO_FATAL_FAILURE(OpenSource({[](QPDF& pdf) {
        QPDFObjectHandle array = QPDFObjectHandle::newArray();
        array.appendItem(pdf.newStream(kText));
        array.appendItem(QPDFObjectHandle::newInteger(5));
        return array;
    }}));
    EXPECT_FALSE(mElement.ReadSourcePageContents(0));
}

TEST_F(FormElement, UndecodableStreamFailsWithTheHostsMessage) {
    ASSERT_NO_FATAL_FAILURE(OpenSource({[](QPDF& pdf) {
        QPDFObjectHandle stream = pdf.newStream("this is no deflate data at all");
        stream.getDict().replaceKey("/Filter", QPDFObjectHandle::newName("/FlateDecode"));
        return stream;
    }}));
    EXPECT_FALSE(mElement.ReadSourcePageContents(0));
    EXPECT_FALSE(mElement.GetErrorText().empty());
}

TEST_F(FormElement, PageOutsideTheSourceFailsWithoutASlot) {
    ASSERT_NO_FATAL_FAILURE(OpenSource({OneStream(kText)}));
    EXPECT_FALSE(mElement.ReadSourcePageContents(1));
    EXPECT_FALSE(mElement.GetErrorText().empty());
    EXPECT_EQ(mElement.GetSourcePageContents(1), nullptr);
    EXPECT_FALSE(mElement.ReadSourcePageContents(-1));
    EXPECT_FALSE(mElement.ReadSourcePageContents(0x7FFFFFF0)) << "no slots are made for a huge index";
    ASSERT_TRUE(mElement.SetSourcePage(1));
    EXPECT_FALSE(mElement.CopySourceResources());
    EXPECT_FALSE(mElement.Write(0));
    EXPECT_EQ(gCosHFT->objGetType(XObject("NxX0")), CosNull);
}

TEST_F(FormElement, NothingToReadWithoutASourceDocument) {
    EXPECT_FALSE(mElement.ReadSourcePageContents(0));
    EXPECT_FALSE(mElement.CopySourceResources());
    EXPECT_FALSE(mElement.Write(0));
}

// --- copying the resources

TEST_F(FormElement, InheritedResourcesAreCopied) {
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText), false, true}));
    const CosObj copy = mElement.GetCopiedResources();
    EXPECT_EQ(gCosHFT->objGetDoc(copy), mDoc.GetCosDoc());
    EXPECT_EQ(gCosHFT->nameValue(Lookup(copy, {"Font", "F1", "BaseFont"})), qmtest::nameAtom("Helvetica"));
}

TEST_F(FormElement, SourcePageWithoutResourcesFailsTheCopy) {
    ASSERT_NO_FATAL_FAILURE(OpenSource({OneStream(kText), false, false}));
    ASSERT_TRUE(mElement.ReadSourcePageContents(0));
    EXPECT_FALSE(mElement.CopySourceResources());
    EXPECT_FALSE(mElement.Write(0)) << "no partial XObject";
    EXPECT_EQ(gCosHFT->objGetType(XObject("NxX0")), CosNull);
}

TEST_F(FormElement, CopyNeedsTheContentAndATarget) {
    ASSERT_NO_FATAL_FAILURE(OpenSource({OneStream(kText)}));
    EXPECT_FALSE(mElement.CopySourceResources()) << "content not read yet";
    ASSERT_TRUE(mElement.ReadSourcePageContents(0));
    mElement.SetDocument(nullptr);
    EXPECT_FALSE(mElement.CopySourceResources());
    mElement.SetDocument(&mDoc);
    EXPECT_TRUE(mElement.CopySourceResources());
}

TEST_F(FormElement, WriteBeforeTheResourcesAreCopiedAddsNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenSource({OneStream(kText)}));
    ASSERT_TRUE(mElement.ReadSourcePageContents(0));
    const auto before = Pieces();
    EXPECT_FALSE(mElement.Write(0));
    EXPECT_EQ(Pieces(), before);
}

// --- the form XObject

TEST_F(FormElement, FormOfAnUprightPage) {
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    ASSERT_TRUE(mElement.Write(0)) << mElement.GetErrorText();
    const CosObj form = XObject("NxX0");
    ASSERT_EQ(gCosHFT->objGetType(form), CosStream);
    EXPECT_TRUE(gCosHFT->objEqual(form, mElement.GetFormXObject(mDoc.GetCosDoc())));
    const CosObj dict = gCosHFT->streamDict(form);
    EXPECT_EQ(gCosHFT->nameValue(Lookup(dict, {"Type"})), qmtest::nameAtom("XObject"));
    EXPECT_EQ(gCosHFT->nameValue(Lookup(dict, {"Subtype"})), qmtest::nameAtom("Form"));
    EXPECT_EQ(gCosHFT->integerValue(Lookup(dict, {"FormType"})), 1);
    EXPECT_EQ(gCosHFT->nameValue(Lookup(dict, {"Name"})), qmtest::nameAtom("X"));
    EXPECT_EQ(Reals(Lookup(dict, {"BBox"})), (std::vector<double>{0, 792, 612, 0}));
    EXPECT_EQ(Reals(Lookup(dict, {"Matrix"})), (std::vector<double>{1, 0, 0, 1, 0, 0}));
    EXPECT_TRUE(gCosHFT->objEqual(Lookup(dict, {"Resources"}), mElement.GetCopiedResources()));
    EXPECT_EQ(StreamData(form), kText);
}

TEST_F(FormElement, CropBoxIsTheBoundingBox) {
    ASSERT_NO_FATAL_FAILURE(Build({.contents = OneStream(kText), .cropped = true}));
    ASSERT_TRUE(mElement.Write(0));
    EXPECT_EQ(Reals(Lookup(gCosHFT->streamDict(XObject("NxX0")), {"BBox"})),
              (std::vector<double>{50, 700, 550, 100}));
    EXPECT_EQ(Reals(Lookup(gCosHFT->streamDict(XObject("NxX0")), {"Matrix"})),
              (std::vector<double>{1, 0, 0, 1, -50, -100}));
}

TEST_F(FormElement, RotatedSourceFormShowsThePageAsDisplayed) {
    ASSERT_NO_FATAL_FAILURE(Build({.contents = OneStream(kText), .rotate = 90}));
    ASSERT_TRUE(mElement.Write(0));
    // Turned a quarter clockwise: user-space x runs down the displayed page.
    EXPECT_EQ(Reals(Lookup(gCosHFT->streamDict(XObject("NxX0")), {"Matrix"})),
              (std::vector<double>{0, -1, 1, 0, 0, 612}));
}

TEST_F(FormElement, PiecePlacesTheFormWithThePlacement) {
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    mPlacement.SetScale(0.5, 0.5);
    mPlacement.SetOffset(72, 72);
    ASSERT_TRUE(mElement.Write(0));
    EXPECT_EQ(Pieces().back(),
              " q /RelativeColorimetric ri /NxGS0 gs 0.5 0 0 0.5 72 72 cm /NxX0 Do Q ");
}

TEST_F(FormElement, FormPlacedAsItStandsWritesNoConcatenation) {
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    mPlacement.SetScale(1, 1);
    mPlacement.SetOffset(0, 0);
    ASSERT_TRUE(mElement.Write(0));
    EXPECT_EQ(Pieces().back(), " q /RelativeColorimetric ri /NxGS0 gs /NxX0 Do Q ");
}

TEST_F(FormElement, RotatedSourcePageIsAlignedByItsDisplayedSize) {
    // 400 x 600 turned a quarter: 600 wide and 400 high as displayed.
    ASSERT_NO_FATAL_FAILURE(Build({.contents = OneStream(kText), .rotate = 90, .width = 400, .height = 600}));
    mPlacement.SetAlignment(CPDFPlacement::kAlignRight, 0);
    mElement.SetLineWidth(1);
    ASSERT_TRUE(mElement.Write(0));
    // The border follows the page's outline: right and top edges on the page's.
    const auto n = Numbers(Pieces().back());
    ASSERT_GE(n.size(), 10u);
    std::vector<double> xs, ys;
    for (size_t i = n.size() - 8; i < n.size(); i += 2) {
        xs.push_back(n[i]);
        ys.push_back(n[i + 1]);
    }
    EXPECT_NEAR(*std::min_element(xs.begin(), xs.end()), 12, 0.01);
    EXPECT_NEAR(*std::max_element(xs.begin(), xs.end()), 612, 0.01);
    EXPECT_NEAR(*std::min_element(ys.begin(), ys.end()), 392, 0.01);
    EXPECT_NEAR(*std::max_element(ys.begin(), ys.end()), 792, 0.01);
}

TEST_F(FormElement, OneFormAndOneGraphicsStateServeEveryPageWithItsOwnEntries) {
    ASSERT_TRUE(mDoc.AppendBlankPage());
    ASSERT_TRUE(mDoc.AppendBlankPage());
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    for (int page = 0; page < 3; ++page) ASSERT_TRUE(mElement.Write(page)) << page;
    const CosObj form = XObject("NxX0", 0);
    for (int page = 1; page < 3; ++page) {
        EXPECT_TRUE(gCosHFT->objEqual(XObject("NxX0", page), form)) << page;
        const CosObj gs = Lookup(Page(page), {"Resources", "ExtGState", "NxGS0"});
        EXPECT_TRUE(gCosHFT->objEqual(gs, Lookup(Page(0), {"Resources", "ExtGState", "NxGS0"}))) << page;
    }
}

TEST_F(FormElement, TwoStampsOnOnePageGetTheNextNames) {
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    mElement.SetOpacity(0.5);
    ASSERT_TRUE(mElement.Write(0));
    ASSERT_TRUE(mElement.Write(0));
    EXPECT_EQ(gCosHFT->objGetType(XObject("NxX1")), CosStream);
    const CosObj gs = Lookup(Page(), {"Resources", "ExtGState", "NxGS1"});
    ASSERT_EQ(gCosHFT->objGetType(gs), CosDict);
    EXPECT_TRUE(gCosHFT->objIsIndirect(gs));
    EXPECT_EQ(gCosHFT->fixedValue(Lookup(gs, {"ca"})), 32768);
    EXPECT_EQ(gCosHFT->fixedValue(Lookup(gs, {"CA"})), 32768);
    EXPECT_EQ(gCosHFT->nameValue(Lookup(gs, {"TR2"})), qmtest::nameAtom("Default"));
    EXPECT_NE(Pieces().back().find("/NxGS1 gs "), std::string::npos);
    EXPECT_NE(Pieces().back().find("/NxX1 Do"), std::string::npos);
}

struct OrderCase {
    const char* name;
    bool underlay;
    double lineWidth;
};

class FormElementOrder : public FormElement, public testing::WithParamInterface<OrderCase> {};

TEST_P(FormElementOrder, BorderIsDrawnOverTheForm) {
    const OrderCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    mElement.SetUnderlay(c.underlay);
    mElement.SetLineWidth(c.lineWidth);
    const auto before = Pieces();
    ASSERT_TRUE(mElement.Write(0));
    const auto after = Pieces();
    const size_t added = c.lineWidth > 0 ? 2 : 1;
    ASSERT_EQ(after.size(), before.size() + added);
    const size_t first = c.underlay ? 0 : before.size();
    EXPECT_NE(after[first].find(" Do Q "), std::string::npos);
    if (added == 2) {
        EXPECT_NE(after[first + 1].find(" S Q "), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FormElementOrder,
                         testing::Values(OrderCase{"Overlay", false, 2}, OrderCase{"Underlay", true, 2},
                                         OrderCase{"OverlayWithoutBorder", false, 0},
                                         OrderCase{"UnderlayWithoutBorder", true, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(FormElement, PageWithoutResourcesGetsItsOwnIndirectDictionary) {
    gCosHFT->dictRemove(Page(), qmtest::nameAtom("Resources"));
    ASSERT_EQ(gCosHFT->objGetType(Lookup(Page(), {"Parent", "Resources"})), CosNull);
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    ASSERT_TRUE(mElement.Write(0));
    const CosObj resources = Lookup(Page(), {"Resources"});
    EXPECT_TRUE(gCosHFT->objIsIndirect(resources));
    ASSERT_EQ(gCosHFT->objGetType(Lookup(resources, {"XObject", "NxX0"})), CosStream);
    EXPECT_TRUE(gCosHFT->objIsIndirect(Lookup(resources, {"XObject"})));
}

TEST_F(FormElement, LinkCoversThePlacedPage) {
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    CPDFAction link;
    link.SetDocument(mDoc.GetPDDoc());
    ASSERT_TRUE(link.MakeURIAction("https://example.org/form"));
    mElement.SetAction(&link);
    mPlacement.SetScale(0.25, 0.25);
    mPlacement.SetOffset(100, 50);
    ASSERT_TRUE(mElement.Write(0));
    const CosObj annots = Lookup(Page(), {"Annots"});
    ASSERT_EQ(gCosHFT->arrayLength(annots), 1);
    const auto rect = Reals(Lookup(gCosHFT->arrayGet(annots, 0), {"Rect"}));
    ASSERT_EQ(rect.size(), 4u);
    EXPECT_NEAR(std::min(rect[0], rect[2]), 100, 0.01);
    EXPECT_NEAR(std::max(rect[0], rect[2]), 100 + 153, 0.01);
    EXPECT_NEAR(std::min(rect[1], rect[3]), 50, 0.01);
    EXPECT_NEAR(std::max(rect[1], rect[3]), 50 + 198, 0.01);
}

TEST_F(FormElement, AnotherTargetDocumentGetsItsOwnCopies) {
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    ASSERT_TRUE(mElement.Write(0));
    CPDFDocument other;
    ASSERT_TRUE(other.CreateNew());
    mElement.SetDocument(&other);
    ASSERT_TRUE(mElement.Write(0)) << mElement.GetErrorText();
    const CosObj form = Lookup(enginetest::PageDict(other, 0), {"Resources", "XObject", "NxX0"});
    EXPECT_EQ(gCosHFT->objGetDoc(form), other.GetCosDoc());
    const CosObj resources = Lookup(gCosHFT->streamDict(form), {"Resources"});
    EXPECT_EQ(gCosHFT->objGetDoc(Lookup(resources, {"Font", "F1"})), other.GetCosDoc());
    EXPECT_EQ(StreamData(form), kText);
}

// --- undo

TEST_F(FormElement, EveryAdditionIsRecordedAndUndone) {
    std::unique_ptr<CPDFElementUndoController> controller;
    if (!CPDFElementUndoController::GetUndoController()) controller = std::make_unique<CPDFElementUndoController>();
    const std::string in = mFolder.file("target.pdf");
    qmtest::writeSimplePdf(in, 2);
    auto target = enginetest::OpenDocument(in);
    ASSERT_TRUE(target->OpenView());
    const AVDoc view = target->GetAVDoc();
    mElement.SetDocument(target.get());
    mElement.SetRecordUndo(true);
    mElement.SetLineWidth(1);
    CPDFAction link;
    link.SetDocument(target->GetPDDoc());
    ASSERT_TRUE(link.MakeURIAction("https://example.org/undo"));
    mElement.SetAction(&link);
    ASSERT_NO_FATAL_FAILURE(Build({OneStream(kText)}));
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1) << "the copied resources";
    ASSERT_TRUE(mElement.Write(0));
    // The form once; on the first page the "XObject" and "ExtGState"
    // dictionaries made in the resources both pages inherit, the two entries,
    // two pieces, the "Annots" array made and the link.
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1 + 1 + 2 + 2 + 2 + 2);
    ASSERT_TRUE(mElement.Write(1));
    // The second page uses the entries of the first: two pieces, an array, a link.
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1 + 1 + 2 + 2 + 2 + 2 + 4);
    EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
    const std::string undone = mFolder.file("undone.pdf");
    enginetest::SaveDocument(*target, undone);
    for (int page = 0; page < 2; ++page)
        EXPECT_EQ(enginetest::ReadPageState(undone, page), enginetest::ReadPageState(in, page)) << page;
    EXPECT_TRUE(target->Close());
}

}  // namespace
