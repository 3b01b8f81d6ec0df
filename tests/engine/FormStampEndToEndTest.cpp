// PDF-page stamps written into real files and read back by independent tools:
// pdftotext -bbox for where the source's text lands, pdftoppm pixels for its
// image, qpdf for structure and for what a stamp costs in file size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include "EngineFixture.h"
#include "engine/CPDFFormElement.h"
#include "support/ErrorMessage.h"

namespace {

using enginetest::Word;

constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

// --- the source document

QPDFObjectHandle EmbeddedFont(QPDF& pdf) {
    const std::string program = qmtest::readBytes(kFontFile);
    QPDFObjectHandle file = pdf.newStream(program);
    file.getDict().replaceKey("/Length1", QPDFObjectHandle::newInteger(static_cast<long long>(program.size())));
    QPDFObjectHandle descriptor = QPDFObjectHandle::parse(
        "<< /Type /FontDescriptor /FontName /DejaVuSansMono /Flags 33 /FontBBox [-558 -375 718 1028]"
        " /ItalicAngle 0 /Ascent 760 /Descent -240 /CapHeight 729 /StemV 80 >>");
    descriptor.replaceKey("/FontFile2", file);
    QPDFObjectHandle font = QPDFObjectHandle::parse(
        "<< /Type /Font /Subtype /TrueType /BaseFont /DejaVuSansMono /FirstChar 32 /LastChar 126"
        " /Encoding /WinAnsiEncoding >>");
    QPDFObjectHandle widths = QPDFObjectHandle::newArray();
    for (int code = 32; code <= 126; ++code) widths.appendItem(QPDFObjectHandle::newInteger(602));
    font.replaceKey("/Widths", widths);
    font.replaceKey("/FontDescriptor", pdf.makeIndirectObject(descriptor));
    return pdf.makeIndirectObject(font);
}

// A 4 x 4 pure red image.
QPDFObjectHandle RedImage(QPDF& pdf) {
    std::string samples;
    for (int i = 0; i < 16; ++i) samples += std::string("\xFF\x00\x00", 3);
    QPDFObjectHandle image = pdf.newStream(samples);
    image.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    image.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    image.getDict().replaceKey("/Width", QPDFObjectHandle::newInteger(4));
    image.getDict().replaceKey("/Height", QPDFObjectHandle::newInteger(4));
    image.getDict().replaceKey("/ColorSpace", QPDFObjectHandle::newName("/DeviceRGB"));
    image.getDict().replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    return image;
}

// Invisible path operators from a fixed pseudo-random sequence: bulk that
// does not compress away, so that a copy per page would show in the size.
std::string Bulk(int lines) {
    std::string text;
    uint32_t state = 12345;
    auto next = [&] { return (state = state * 1103515245u + 12345u) >> 16 & 0x3FF; };
    for (int i = 0; i < lines; ++i)
        text += std::to_string(next()) + " " + std::to_string(next()) + " m " + std::to_string(next()) + " " +
                std::to_string(next()) + " l n\n";
    return text;
}

QPDFObjectHandle SourcePage(QPDF& pdf, QPDFObjectHandle parent, const char* mediaBox, int rotate,
                            QPDFObjectHandle contents) {
    QPDFObjectHandle page = QPDFObjectHandle::parse(std::string("<< /Type /Page /MediaBox ") + mediaBox + " >>");
    page.replaceKey("/Parent", parent);
    if (rotate) page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(rotate));
    page.replaceKey("/Contents", contents);
    return pdf.makeIndirectObject(page);
}

// Three pages whose resources (two fonts, one embedded, and an image) are
// inherited from the page tree. Page 2 draws "SourceTwo" (Helvetica),
// "Embedded" (the embedded font) and the red image at 300..400 x 200..300, in
// three content streams, behind invisible bulk. Page 3 is 400 x 600 turned a
// quarter (/Rotate 90) and reads "SourceThree" along its long side.
void WriteSourcePdf(const std::string& path) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle root = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Pages /Kids [] >>"));
    QPDFObjectHandle resources = QPDFObjectHandle::parse(
        "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >> >> >>");
    resources.getKey("/Font").replaceKey("/F2", EmbeddedFont(pdf));
    resources.replaceKey("/XObject", QPDFObjectHandle::newDictionary());
    resources.getKey("/XObject").replaceKey("/Im1", RedImage(pdf));
    root.replaceKey("/Resources", resources);

    QPDFObjectHandle kids = root.getKey("/Kids");
    kids.appendItem(SourcePage(pdf, root, "[0 0 612 792]", 0,
                               pdf.newStream("BT /F1 24 Tf 72 700 Td (SourceOne) Tj ET\n")));
    QPDFObjectHandle parts = QPDFObjectHandle::newArray();
    parts.appendItem(pdf.newStream("q " + Bulk(3000)));
    parts.appendItem(pdf.newStream("BT /F1 30 Tf 100 600 Td (SourceTwo) Tj ET"));
    parts.appendItem(pdf.newStream("BT /F2 20 Tf 100 500 Td (Embedded) Tj ET q 100 0 0 100 300 200 cm /Im1 Do Q Q"));
    kids.appendItem(SourcePage(pdf, root, "[0 0 612 792]", 0, parts));
    kids.appendItem(SourcePage(pdf, root, "[0 0 400 600]", 90,
                               pdf.newStream("BT /F1 24 Tf 0 1 -1 0 300 60 Tm (SourceThree) Tj ET\n")));
    root.replaceKey("/Count", QPDFObjectHandle::newInteger(3));
    pdf.getRoot().replaceKey("/Pages", root);
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.write();
}

class FormStamp : public testing::Test {
protected:
    void SetUp() override {
        enginetest::StartEngine();
        ASSERT_TRUE(qmtest::fileExists(kFontFile));
        mSource = mFolder.file("source.pdf");
        WriteSourcePdf(mSource);
        ASSERT_EQ(qmtest::qpdfCheck(mSource).status, 0);
    }
    // A PDF-page stamp of source page `page` (1-based) on target, built as the
    // stamp builds it.
    std::unique_ptr<CPDFFormElement> Build(CPDFDocument& target, int page, const std::string& source = {}) {
        auto element = std::make_unique<CPDFFormElement>();
        element->SetDocument(&target);
        element->SetPlacement(&mPlacement);
        element->SetOpacity(1.0);
        const std::string path = source.empty() ? mSource : source;
        mBuilt = element->GetSourceDocument().Open(path.c_str()) && element->SetSourcePage(page - 1) &&
                 element->ReadSourcePageContents(page - 1) && element->CopySourceResources();
        return element;
    }
    // Placement: size percent / 100, from the displayed page's corner.
    void Place(double scale, int horizontal, int vertical, double ox, double oy) {
        mPlacement.SetScale(scale, scale);
        mPlacement.SetAlignment(horizontal, vertical);
        mPlacement.SetOffset(ox, oy);
    }
    static void Save(CPDFDocument& doc, const std::string& path) {
        enginetest::SaveDocument(doc, path);
        const auto check = qmtest::qpdfCheck(path);
        EXPECT_EQ(check.status, 0) << check.output;
    }

    qmtest::FixtureFolder mFolder;
    std::string mSource;
    CPDFPlacement mPlacement;
    bool mBuilt = false;
};

// --- where the source page lands

// pdftotext gives a page's unrotated size and word boxes as displayed.
struct Size {
    double width, height;
};
Size Displayed(const enginetest::TextPage& page, int rotate) {
    return rotate % 180 ? Size{page.height, page.width} : Size{page.width, page.height};
}

struct PlaceCase {
    const char* name;
    int sourcePage;     // 1-based
    const char* word;   // a word of that page
    int targetRotate;   // the target page's /Rotate
    int horizontal, vertical;  // as the stamp codes them (vertical 0 top, 1 bottom)
    double scale, ox, oy;
};

void PrintTo(const PlaceCase& c, std::ostream* out) { *out << c.name; }

class FormStampPlacement : public FormStamp, public testing::WithParamInterface<PlaceCase> {};

TEST_P(FormStampPlacement, SourceTextLandsWhereThePlacementPutsThePageAsDisplayed) {
    const PlaceCase& c = GetParam();
    const auto sourceBoxes = enginetest::TextBoxes(mSource);
    ASSERT_EQ(sourceBoxes.size(), 3u);
    const auto& shownSource = sourceBoxes[static_cast<size_t>(c.sourcePage - 1)];
    const Size sourceSize = Displayed(shownSource, c.sourcePage == 3 ? 90 : 0);
    Word inSource;
    ASSERT_TRUE(enginetest::FindWords(shownSource, c.word, inSource));
    ASSERT_GT(inSource.xMax - inSource.xMin, inSource.yMax - inSource.yMin) << "the source reads upright";

    const std::string in = mFolder.file("target.pdf");
    std::vector<qmtest::FixturePage> pages(3);
    for (auto& page : pages) page.rotate = c.targetRotate;
    qmtest::writeFixturePdf(in, pages);
    auto target = enginetest::OpenDocument(in);
    Place(c.scale, c.horizontal, c.vertical, c.ox, c.oy);
    auto element = Build(*target, c.sourcePage);
    ASSERT_TRUE(mBuilt) << element->GetErrorText();
    for (int page = 0; page < 3; ++page) ASSERT_TRUE(element->Write(page)) << element->GetErrorText();
    const std::string out = mFolder.file("stamped.pdf");
    Save(*target, out);

    const auto boxes = enginetest::TextBoxes(out);
    ASSERT_EQ(boxes.size(), 3u);
    for (int page = 0; page < 3; ++page) {
        const auto& shown = boxes[static_cast<size_t>(page)];
        const Size size = Displayed(shown, c.targetRotate);
        // The stamp's displayed lower-left corner, y up.
        const double w = c.scale * sourceSize.width, h = c.scale * sourceSize.height;
        const double x = c.horizontal == 0   ? c.ox
                         : c.horizontal == 1 ? size.width - c.ox - w
                                             : (size.width - w) / 2 + c.ox;
        const double y = c.vertical == 1   ? c.oy
                         : c.vertical == 0 ? size.height - c.oy - h
                                           : (size.height - h) / 2 + c.oy;
        Word word;
        ASSERT_TRUE(enginetest::FindWords(shown, c.word, word)) << page;
        EXPECT_NEAR(word.xMin, x + c.scale * inSource.xMin, 1.0) << page;
        EXPECT_NEAR(word.xMax, x + c.scale * inSource.xMax, 1.0) << page;
        EXPECT_NEAR(word.yMin, size.height - y - h + c.scale * inSource.yMin, 1.0) << page;
        EXPECT_NEAR(word.yMax, size.height - y - h + c.scale * inSource.yMax, 1.0) << page;
        EXPECT_TRUE(enginetest::FindWords(shown, "page", word)) << "the target's own text stays";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FormStampPlacement,
    testing::Values(PlaceCase{"UprightOnUpright", 2, "SourceTwo", 0, 0, 1, 0.5, 36, 36},
                    PlaceCase{"EmbeddedFontText", 2, "Embedded", 0, 0, 1, 0.5, 36, 36},
                    PlaceCase{"RotatedSourceComesOutUpright", 3, "SourceThree", 0, 0, 1, 0.5, 36, 36},
                    PlaceCase{"RotatedSourceAlignedRightTopByItsDisplayedBox", 3, "SourceThree", 0, 1, 0, 0.5, 20, 30},
                    PlaceCase{"UprightSourceOnRotatedTarget", 2, "SourceTwo", 90, 0, 1, 0.5, 36, 36},
                    PlaceCase{"RotatedSourceOnTargetTurnedBack", 3, "SourceThree", 270, 1, 0, 0.4, 10, 10},
                    PlaceCase{"FullSizeCentred", 1, "SourceOne", 0, 2, 2, 1.0, 0, 0}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(FormStamp, SourceImageIsDrawnWhereThePagePutsIt) {
    const std::string in = mFolder.file("target.pdf");
    qmtest::writeSimplePdf(in, 1);
    auto target = enginetest::OpenDocument(in);
    Place(0.5, 0, 1, 36, 36);
    auto element = Build(*target, 2);
    ASSERT_TRUE(mBuilt);
    ASSERT_TRUE(element->Write(0));
    const std::string out = mFolder.file("image.pdf");
    Save(*target, out);
    const auto raster = enginetest::RenderPage(out, 1, 72);
    // The image at 300..400 x 200..300 of the source: 186..236 x 136..186 here.
    const auto inside = raster.At(211, 161);
    EXPECT_GT(inside.r, 200);
    EXPECT_LT(inside.g + inside.b, 100);
    EXPECT_GT(raster.At(250, 161).sum(), 700) << "white beside it";
}

// --- the cost of a stamp

TEST_F(FormStamp, SourcePageIsStoredOncePerDocument) {
    constexpr int kPages = 200;
    const std::string in = mFolder.file("many.pdf");
    qmtest::writeSimplePdf(in, kPages);
    Place(0.5, 0, 1, 36, 36);
    auto sizeWith = [&](int stampedPages, const char* name) {
        auto target = enginetest::OpenDocument(in);
        auto element = Build(*target, 2);
        EXPECT_TRUE(mBuilt);
        for (int page = 0; page < stampedPages; ++page) EXPECT_TRUE(element->Write(page)) << page;
        const std::string out = mFolder.file(name);
        Save(*target, out);
        return static_cast<long>(qmtest::readBytes(out).size());
    };
    const long none = sizeWith(0, "none.pdf");
    const long one = sizeWith(1, "one.pdf");
    const long all = sizeWith(kPages, "all.pdf");
    // The first page brings the source page's content, font and image.
    EXPECT_GT(one - none, 40000);
    // Every further page adds its entries, graphics state and pieces only.
    EXPECT_LT(all - one, (kPages - 1) * 600L) << "one " << one << ", all " << all;
    const std::string allPath = mFolder.file("all.pdf");
    EXPECT_EQ(enginetest::CountStreamsWithKey(allPath, "/FormType"), 1);
    EXPECT_EQ(enginetest::CountStreamsWithKey(allPath, "/Length1"), 1) << "the font program once";
    EXPECT_EQ(enginetest::CountStreamsWithKey(allPath, "/BitsPerComponent"), 1) << "the image once";
    EXPECT_NE(enginetest::PageText(allPath, kPages).find("SourceTwo"), std::string::npos);
}

// --- failures

enum class Broken { PagePastTheEnd, UserPassword, DamagedContent, Truncated, NotAPdf };

struct FailCase {
    const char* name;
    Broken broken;
};

void PrintTo(const FailCase& c, std::ostream* out) { *out << c.name; }

class FormStampFailure : public FormStamp, public testing::WithParamInterface<FailCase> {};

TEST_P(FormStampFailure, GivesAClearFailureAndNoPartialXObject) {
    const FailCase& c = GetParam();
    std::string source = mFolder.file("broken.pdf");
    int page = 2;
    switch (c.broken) {
        case Broken::PagePastTheEnd: source = mSource; page = 4; break;
        case Broken::UserPassword: qmtest::writeEncryptedPdf(source, "user", "owner"); break;
        case Broken::DamagedContent: {
            // Page 2's first stream: a zlib header followed by a block type
            // that does not exist.
            QPDF pdf;
            pdf.processFile(mSource.c_str());
            QPDFObjectHandle secondPage = pdf.getAllPages()[1];
            QPDFObjectHandle stream = secondPage.getKey("/Contents").getArrayItem(0);
            stream.replaceStreamData(std::string("\x78\x9c") + std::string(24, '\xff'),
                                     QPDFObjectHandle::newName("/FlateDecode"), QPDFObjectHandle::newNull());
            QPDFWriter writer(pdf, source.c_str());
            writer.setStreamDataMode(qpdf_s_preserve);
            writer.write();
            break;
        }
        case Broken::Truncated: {
            qmtest::writeBytes(source, qmtest::readBytes(mSource));
            qmtest::truncateFile(source, 400);
            break;
        }
        case Broken::NotAPdf: qmtest::writeNonPdf(source); break;
    }
    const std::string in = mFolder.file("target.pdf");
    qmtest::writeSimplePdf(in, 1);
    auto target = enginetest::OpenDocument(in);
    ClearErrorMessage();
    auto element = Build(*target, page, source);
    EXPECT_FALSE(mBuilt);
    EXPECT_TRUE(HasErrorMessage() || !element->GetErrorText().empty()) << "a message says why";
    EXPECT_FALSE(element->Write(0));
    const std::string out = mFolder.file("unchanged.pdf");
    Save(*target, out);
    EXPECT_EQ(enginetest::ReadPageState(out, 0), enginetest::ReadPageState(in, 0));
    EXPECT_EQ(enginetest::CountStreamsWithKey(out, "/FormType"), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormStampFailure,
                         testing::Values(FailCase{"SourcePagePastTheLastPage", Broken::PagePastTheEnd},
                                         FailCase{"EncryptedSource", Broken::UserPassword},
                                         FailCase{"DamagedContentStream", Broken::DamagedContent},
                                         FailCase{"TruncatedSource", Broken::Truncated},
                                         FailCase{"NotAPdf", Broken::NotAPdf}),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
