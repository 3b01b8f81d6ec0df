// Page content read into the model and written back draws and reads as before,
// and what was written reads back and is written the same: text clips, graphics
// state in the order it was set, text shown outside a text object, compatibility
// sections, marked content, paths, q/Q and inline images inside text objects,
// small numbers, nested forms, inline images with decode parameters or with
// bytes like EI in their data, and tokens cut where the streams of a /Contents
// array meet. Content that cannot be read whole is refused when set back, and
// deep nesting neither crashes the writer nor the release of the model. Checked
// with pdftoppm and pdftotext against the file before the round trip.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "PdeContentTestSupport.h"
#include "common/HostErrorOf.h"
#include "common/PageContentFixtures.h"
#include "common/QpdfFixtures.h"
#include "pde/PageContentTables.h"
#include "pde/PdeModel.h"
#include "pde/PdeWriter.h"
#include "support/FixedMath.h"

namespace {

using namespace pdetest;

QPDFObjectHandle parse(const std::string& text) { return QPDFObjectHandle::parse(text); }

ASFixedRect box(PDEElement element) {
    ASFixedRect r;
    rd().elementGetBBox(element, &r);
    return r;
}

// A 4 x 4 gray inline image, Flate with PNG predictors, placed 80 x 80 at (200, 20).
std::string inlineImageWithDecodeParms() {
    std::string rows;
    for (int y = 0; y < 4; ++y) {
        rows += '\0';  // PNG row filter: none
        for (int x = 0; x < 4; ++x) rows += static_cast<char>((x + y) % 2 ? 0x20 : 0xe0);
    }
    return "q 80 0 0 80 200 20 cm BI /W 4 /H 4 /BPC 8 /CS /G /F /Fl /DP << /Predictor 12 /Columns 4 >> ID " +
           qmtest::deflate(rows) + "\nEI Q\n";
}

// A 300 x 200 page whose /Contents is an array of these streams, the first one
// damaged (data that is not Flate) when asked. The page's resources hold /F1
// (Helvetica), /GS1 (line width 20), /GS2 (fill alpha 0.5) and /FmA, a form
// that places the nested form /FmB and an inline image.
void writePage(const std::string& path, const std::vector<std::string>& streams, bool firstDamaged = false) {
    QPDF q;
    q.emptyPDF();
    QPDFObjectHandle resources = parse(
        "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >> >>"
        " /ExtGState << /GS1 << /LW 20 >> /GS2 << /ca 0.5 >> >> >>");
    resources = q.makeIndirectObject(resources);
    QPDFObjectHandle fmB = qmtest::newStreamWith(q, "0 0 1 rg 0 0 40 40 re f BT /F1 10 Tf 0 45 Td (Inner) Tj ET",
                                                 "<< /Type /XObject /Subtype /Form /BBox [0 0 60 60] >>");
    fmB.getDict().replaceKey("/Resources", resources);
    QPDFObjectHandle fmA =
        qmtest::newStreamWith(q, "q 1 0 0 1 20 20 cm /FmB Do Q " + inlineImageWithDecodeParms(),
                              "<< /Type /XObject /Subtype /Form /BBox [0 0 300 200] /Matrix [0.5 0 0 0.5 10 10] >>");
    QPDFObjectHandle fmAResources = parse("<< /XObject << >> >>");
    fmAResources.getKey("/XObject").replaceKey("/FmB", fmB);
    fmAResources.replaceKey("/Font", resources.getKey("/Font"));
    fmA.getDict().replaceKey("/Resources", fmAResources);
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/FmA", fmA);
    resources.replaceKey("/XObject", xobjects);

    QPDFObjectHandle contents = QPDFObjectHandle::newArray();
    for (size_t i = 0; i < streams.size(); ++i) {
        QPDFObjectHandle s = QPDFObjectHandle::newStream(&q, streams[i]);
        if (i == 0 && firstDamaged)
            s.replaceStreamData("this is not Flate data", QPDFObjectHandle::newName("/FlateDecode"),
                                QPDFObjectHandle::newNull());
        contents.appendItem(s);
    }
    qmtest::writeWithPage(q, "0 0 300 200", contents, resources, path, qpdf_s_preserve);
}

// The first page's content, decoded and joined, as qpdf reads it.
std::string pageContent(const std::string& path) {
    QPDF q;
    q.processFile(path.c_str());
    QPDFObjectHandle contents = QPDFPageDocumentHelper(q).getAllPages().at(0).getObjectHandle().getKey("/Contents");
    std::string joined;
    for (QPDFObjectHandle stream : contents.isArray() ? contents.getArrayAsVector() : std::vector{contents}) {
        auto data = stream.getStreamData(qpdf_dl_all);
        joined.append(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    }
    return joined;
}

std::string pdftotext(const std::string& path) {
    return qmtest::runCommand("pdftotext -enc UTF-8 " + qmtest::shellQuote(path) + " -").output;
}

// Marks every form that content places (also within forms and marked content)
// changed, so that writing the content back writes their streams too.
void touchForms(PDEContent content) {
    for (int32_t i = 0; i < rd().contentGetNumElems(content); ++i) {
        PDEElement e = rd().contentGetElem(content, i);
        if (rd().objectGetType(e) == kPDEContainer) touchForms(rd().containerGetContent(e));
        if (rd().objectGetType(e) != kPDEForm) continue;
        PDEContent inner = wr().formGetContent(e);
        touchForms(inner);
        if (rd().contentGetNumElems(inner) == 0) continue;
        PDEElement first = rd().contentGetElem(inner, 0);
        ASFixedMatrix m;
        rd().elementGetMatrix(first, &m);
        wr().elementSetMatrix(first, &m);
    }
}

class PdeContentFaithful : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(qmhost::pageContentLoanCount(), 0u) << "a page content loan was not given back"; }
    // Reads the first page of in into the model, sets it back and saves to out;
    // answers what setting the content back raised (code 0: nothing).
    qmtest::Raised roundTrip(const std::string& in, const std::string& out, bool formsToo = false) {
        auto doc = qmtest::HostDoc::open(in);
        qmtest::Raised raised;
        {
            LentPage lent(doc.pd(), 0);
            if (formsToo) touchForms(lent.content());
            raised = qmtest::raisedBy([&] { loans().pageSetPDEContent(lent.page(), testExtension()); });
        }
        saveDoc(doc.pd(), out);
        return raised;
    }
    qmtest::FixtureFolder folder;
};

TEST_F(PdeContentFaithful, AStreamThatCannotBeReadLeavesTheOthersAndRefusesToBeSetBack) {
    const std::string in = folder.file("in.pdf"), out = folder.file("out.pdf");
    writePage(in, {"0 0 1 rg 0 0 300 200 re f", "BT /F1 24 Tf 20 100 Td (Potato) Tj ET"}, true);
    {
        auto doc = qmtest::HostDoc::open(in);
        LentPage lent(doc.pd(), 0);
        EXPECT_EQ(elementTypes(lent.content()), std::vector<int32_t>{kPDEText}) << "the readable stream is read";
        EXPECT_GT(rd().contentQuery(lent.content(), kPDEQueryWarnings, nullptr), 0);
    }
    const qmtest::Raised refused = roundTrip(in, out);
    EXPECT_EQ(refused.code, kHostErrBadPDF) << "setting back content that was not read whole is refused";
    EXPECT_NE(refused.message.find("could not be read"), std::string::npos) << refused.message;
    EXPECT_NE(pdftotext(out).find("Potato"), std::string::npos);
    EXPECT_LT(qmtest::pixelDifference(in, out), 0.001) << "the page is left as it was";
}

TEST_F(PdeContentFaithful, AnInlineImageSplitAcrossStreamsIsReadWhole) {
    const std::string in = folder.file("in.pdf"), out = folder.file("out.pdf"), whole = folder.file("whole.pdf");
    std::string samples;
    for (int i = 0; i < 8; ++i) samples += "\x20\xe0";
    const std::string image = "q 100 0 0 100 20 20 cm BI /W 4 /H 4 /BPC 8 /CS /G ID " + samples + "\nEI Q";
    const size_t split = image.size() - 12;  // seven samples in the second stream
    writePage(in, {image.substr(0, split), image.substr(split)});
    writePage(whole, {image});
    ASSERT_EQ(roundTrip(in, out).code, 0);
    EXPECT_LT(qmtest::pixelDifference(whole, out), 0.0005) << pageContent(out);
}

// A text drawn in mode 7 draws nothing: it is the clip of what is drawn after
// it, and an element of its own, in its place, only when nothing is.
TEST_F(PdeContentFaithful, ATextThatOnlyClipsIsTheClipOfWhatIsDrawnInIt) {
    const std::string clipA = "BT 7 Tr /F1 60 Tf 20 80 Td (A) Tj ET ", clipB = "BT 7 Tr /F1 60 Tf 20 20 Td (B) Tj ET ";
    const struct {
        const char* what;
        std::string content;
        std::vector<int32_t> types;
    } rows[] = {
        {"a path drawn in its clip", clipA + "1 0 0 rg 0 0 300 200 re f", {kPDEPath}},
        {"its clip restored before a path", "q " + clipA + "Q 1 0 0 rg 0 0 300 200 re f", {kPDEText, kPDEPath}},
        {"nothing drawn in either clip", clipA + "q " + clipB + "Q", {kPDEText, kPDEText}},
        {"both clips restored together", "q " + clipA + clipB + "Q", {kPDEText, kPDEText}},
        {"marked content after it, empty", clipA + "/P BMC EMC", {kPDEText, kPDEContainer}},
    };
    for (const auto& row : rows) {
        const std::string in = folder.file("in.pdf");
        writePage(in, {row.content});
        auto doc = qmtest::HostDoc::open(in);
        LentPage lent(doc.pd(), 0);
        EXPECT_EQ(elementTypes(lent.content()), row.types) << row.what;
        if (rd().contentGetNumElems(lent.content()) != static_cast<int32_t>(row.types.size())) continue;
        PDEElement first = rd().contentGetElem(lent.content(), 0);
        PDEElement last = rd().contentGetElem(lent.content(), static_cast<int32_t>(row.types.size()) - 1);
        if (row.types.back() == kPDEPath) {
            PDEClip clip = rd().elementGetClip(last);
            const bool toGlyphs = clip && rd().clipGetNumElems(clip) == 1 && rd().objectGetType(rd().clipGetElem(clip, 0)) == kPDEText;
            EXPECT_EQ(toGlyphs, row.types.size() == 1) << row.what << ": the path is clipped to the glyphs";
        } else if (row.types.back() == kPDEText) {
            EXPECT_GT(box(first).bottom, box(last).bottom) << row.what << ": A and B in the order read";
        }
    }
}

TEST_F(PdeContentFaithful, DeepNestingIsRefusedAndReleasedWithoutRecursion) {
    const std::string in = folder.file("in.pdf"), out = folder.file("out.pdf");
    std::string deep;
    for (int i = 0; i < 50000; ++i) deep += "/P BMC\n";
    deep += "0 0 1 rg 10 10 50 50 re f\n";
    for (int i = 0; i < 50000; ++i) deep += "EMC\n";
    writePage(in, {deep});
    const qmtest::Raised refused = roundTrip(in, out);
    EXPECT_EQ(refused.code, kHostErrBadPDF);
    EXPECT_NE(refused.message.find("nests deeper than 500 levels"), std::string::npos) << refused.message;
    EXPECT_EQ(pageContent(out), deep) << "the page is left as it was";

    // Nesting made deeper than that through the model is not written either.
    writePage(in, {"0 0 1 rg 10 10 50 50 re f"});
    auto doc = qmtest::HostDoc::open(in);
    {
        LentPage lent(doc.pd(), 0);
        auto content = qmhost::pdeOf<qmhost::PdeContent>(lent.content(), "test");
        for (size_t i = 0; i <= qmhost::kPdeMaxNesting; ++i) {
            auto container = std::make_shared<qmhost::PdeContainer>();
            container->content->elements = std::move(content->elements);
            content->elements = {container};
        }
        EXPECT_EQ(qmtest::hostErrorOf([&] { loans().pageSetPDEContent(lent.page(), testExtension()); }),
                  kHostErrUnsupported);
    }

    // A model nested this deep by other means is released without recursing.
    auto outer = std::make_shared<qmhost::PdeContainer>();
    qmhost::PdeContainer* inner = outer.get();
    for (int i = 0; i < 100000; ++i) {
        auto next = std::make_shared<qmhost::PdeContainer>();
        inner->content->elements.push_back(next);
        inner = next.get();
    }
    outer.reset();
}

struct DrawnRow {
    const char* name;
    std::vector<std::string> streams;  // the page's /Contents array
    std::string written = "";          // found in the written content exactly once; "" not checked
};
void PrintTo(const DrawnRow& row, std::ostream* os) { *os << row.name; }

class PdeRoundTrip : public PdeContentFaithful, public ::testing::WithParamInterface<DrawnRow> {};

TEST_P(PdeRoundTrip, DrawsAndReadsAsBeforeAndKeepsEachOperatorOnceInItsPlace) {
    const DrawnRow& row = GetParam();
    const std::string in = folder.file("in.pdf"), out = folder.file("out.pdf"), again = folder.file("again.pdf");
    writePage(in, row.streams);
    ASSERT_EQ(roundTrip(in, out, true).code, 0);
    const std::string written = pageContent(out);
    EXPECT_LT(qmtest::pixelDifference(in, out), 0.0005) << written;
    EXPECT_EQ(pdftotext(out), pdftotext(in));
    ASSERT_EQ(roundTrip(out, again, true).code, 0);
    EXPECT_EQ(pageContent(again), written) << "what was written reads back and is written the same";
    if (row.written.empty()) return;
    const size_t at = written.find(row.written);
    ASSERT_NE(at, std::string::npos) << written;
    EXPECT_EQ(written.find(row.written, at + 1), std::string::npos) << written;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PdeRoundTrip,
    ::testing::Values(
        DrawnRow{"TextClip", {"BT 7 Tr /F1 60 Tf 20 80 Td (CLIP) Tj ET 1 0 0 rg 0 0 300 200 re f"}},
        DrawnRow{"TextClipWithNothingDrawnInIt", {"q BT 7 Tr /F1 60 Tf 20 80 Td (CLIP) Tj ET Q 0 0 1 rg 0 0 9 9 re f"}},
        DrawnRow{"TextClipAfterFilledTextUnderACtm",
                 {"q 1 0 0 1 10 5 cm 0.5 0 0 0.5 0 0 cm /F1 120 Tf 6 Tr BT 1 0 0 1 20 100 Tm 2 Tc (CLIP) Tj ET "
                  "0 0 1 rg 0 0 600 400 re f Q 0 1 0 rg 0 0 20 20 re f"}},
        DrawnRow{"ExtGStateBeforeLineWidth", {"/GS1 gs 2 w 10 50 m 290 50 l S"}, "/GS1 gs\n2 w"},
        DrawnRow{"LineWidthBeforeExtGState", {"2 w /GS1 gs 10 50 m 290 50 l S"}},
        DrawnRow{"TextOutsideATextObject", {"/F1 24 Tf 1 0 0 1 20 100 Tm (Potato) Tj"}},
        DrawnRow{"MarkedContentAndAPathInsideText",
                 {"/GS2 gs BT /F1 24 Tf 20 150 Td /Span <</MCID 0>> BDC (Potato) Tj EMC 1 0 0 rg 10 10 100 50 re f ET"},
                 "/MCID 0"},
        DrawnRow{"PathInsideText", {"BT 0 0 1 rg 10 10 50 50 re f ET"}, "50 50 re"},
        DrawnRow{"CompatibilitySection", {"BX 1 2 frob EX 0 0 1 rg 10 10 50 50 re f"}, "BX\n1 2 frob\nEX"},
        DrawnRow{"SmallNumbers", {"q 0.00012345 0 0 0.00012345 0 0 cm 0 0 1 rg 0 0 2000000 1000000 re f Q"},
                 "0.00012345 0 0 0.00012345 0 0 cm"},
        DrawnRow{"NestedFormsAndInlineImages",
                 {"/FmA Do q 40 0 0 40 20 120 cm BI /W 2 /H 2 /BPC 8 /CS /G ID \x10\x80\xc0\xff EI Q " +
                  inlineImageWithDecodeParms()}},
        DrawnRow{"StringSplitAcrossStreams", {"BT /F1 24 Tf 20 100 Td (Pot", "ato) Tj ET"}, "(Potato) Tj"},
        DrawnRow{"HexStringAndArraySplitAcrossStreams", {"BT /F1 24 Tf 20 100 Td [<506f74", "61746f> -2", "00 (!)] TJ ET"}},
        DrawnRow{"TokensEndingWithTheirStream",
                 {"q 0 0 1 rg 10 10 50 50 re", "f Q BT /F1 24 Tf 20 100 Td (A) Tj", "ET"}},
        DrawnRow{"SaveAndRestoreInsideText", {"BT /F1 30 Tf 20 100 Td q 1 0 0 rg (Red) Tj Q (Black) Tj ET"}},
        DrawnRow{"InlineImageInsideText",
                 {"BT /F1 40 Tf 0 0 1 rg 20 80 Td (Under) Tj q 150 0 0 60 15 70 cm "
                  "BI /W 2 /H 1 /BPC 8 /CS /G ID \x10\x90 EI Q (After) Tj ET"}},
        DrawnRow{"UnfilteredInlineImagesHoldingEI",
                 {"q 160 0 0 80 20 20 cm BI /W 8 /H 1 /BPC 8 /CS /G /D [1 0] ID 0 EI 0 g\nEI Q "
                  "q 0 0 1 rg 160 0 0 40 20 120 cm BI /W 32 /H 1 /IM true ID  EI \nEI Q"},
                 "ID 0 EI 0 g\nEI\n"}),
    [](const ::testing::TestParamInfo<DrawnRow>& row) { return std::string(row.param.name); });

TEST_F(PdeContentFaithful, InlineImageWithDecodeParmsGivesItsSamples) {
    const std::string in = folder.file("in.pdf");
    writePage(in, {inlineImageWithDecodeParms()});
    auto doc = qmtest::HostDoc::open(in);
    LentPage lent(doc.pd(), 0);
    ASSERT_EQ(elementTypes(lent.content()), std::vector<int32_t>{kPDEImage});
    PDEImage image = rd().contentGetElem(lent.content(), 0);
    ASSERT_EQ(rd().imageGetDataLen(image), 16);
    std::string samples(16, '\0');
    rd().imageGetData(image, 0, reinterpret_cast<uint8_t*>(samples.data()));
    EXPECT_EQ(samples, "\xe0\x20\xe0\x20\x20\xe0\x20\xe0\xe0\x20\xe0\x20\x20\xe0\x20\xe0");
}

TEST(PdeWriterNumbers, ReadBackAsTheSameValueInTheFewestDigits) {
    using qmhost::PdeWriter;
    const std::pair<double, const char*> doubles[] = {
        {0.00012345, "0.00012345"}, {-0.0, "0"}, {72, "72"}, {-12.5, "-12.5"}, {1e-7, "0.0000001"}, {0.1 + 0.2, "0.30000000000000004"}};
    for (auto [value, text] : doubles) EXPECT_EQ(PdeWriter::number(value), text) << value;
    const std::pair<ASFixed, const char*> fixed[] = {
        {qmhost::fixedFromDouble(72.3), "72.3"}, {-1, "-0.00002"}, {3 * 65536, "3"}, {0, "0"}, {32768, "0.5"}};
    for (auto [value, text] : fixed) EXPECT_EQ(PdeWriter::fixedNumber(value), text) << value;
}

}  // namespace
