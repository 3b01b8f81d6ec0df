// CPDFDocument: opening, creating, closing (with and without a view), page
// services, information, permissions and drawing, on documents of the host.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <QImage>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include "EngineFixture.h"
#include "common/QpdfFixtures.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "qmhost/HostError.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

class PDFDocumentTest : public testing::Test {
protected:
    void SetUp() override { enginetest::StartEngine(); }
    static bool IsStale(PDDoc doc) {
        try {
            gPDModelHFT->docGetNumPages(doc);
        } catch (const HostError&) {
            return true;
        }
        return false;
    }
    static ASFixedRect Box(PDDoc doc, int index) {
        const PDPage page = gPDModelHFT->docAcquirePage(doc, index);
        ASFixedRect box;
        gPDModelHFT->pageGetBox(page, &box);
        gPDModelHFT->pageRelease(page);
        return box;
    }
    qmtest::FixtureFolder mFolder;
};

TEST_F(PDFDocumentTest, EmptyWrapperAnswersItsFailureValues) {
    CPDFDocument doc;
    EXPECT_EQ(doc.GetPageCount(), 0);
    EXPECT_EQ(doc.GetInfo("Title"), "");
    EXPECT_EQ(doc.CheckPermission(), -1);
    EXPECT_TRUE(doc.Close());
    EXPECT_FALSE(doc.OpenView());
    EXPECT_FALSE(doc.AppendBlankPage());
    EXPECT_FALSE(doc.DeleteAllPages());
    EXPECT_FALSE(doc.WrapAllPageContents());
    QImage image(10, 10, QImage::Format_ARGB32);
    EXPECT_FALSE(doc.DrawPage(0, &image, 100, 0, 0));
    EXPECT_EQ(doc.GetCosDoc(), nullptr);
}

TEST_F(PDFDocumentTest, CreateNewMakesOneLetterPageAndOwnsIt) {
    PDDoc made = nullptr;
    {
        CPDFDocument doc;
        ASSERT_TRUE(doc.CreateNew());
        EXPECT_TRUE(doc.GetOwns());
        EXPECT_EQ(doc.GetPageCount(), 1);
        const ASFixedRect box = Box(doc.GetPDDoc(), 0);
        EXPECT_EQ(box.left, 0);
        EXPECT_EQ(box.bottom, 0);
        EXPECT_EQ(box.right, 0x2640000);
        EXPECT_EQ(box.top, 0x3180000);
        EXPECT_FALSE(doc.CreateNew());  // one document at a time
        const std::string path = mFolder.file("new.pdf");
        enginetest::SaveDocument(doc, path);
        const auto info = qmtest::runCommand("pdfinfo " + qmtest::shellQuote(path));
        EXPECT_NE(info.output.find("Pages:           1"), std::string::npos) << info.output;
        EXPECT_NE(info.output.find("612 x 792 pts"), std::string::npos) << info.output;
        made = doc.GetPDDoc();
    }
    EXPECT_TRUE(IsStale(made)) << "the owning wrapper closes its document";
}

TEST_F(PDFDocumentTest, WrappedDocumentIsNotClosedByTheWrapper) {
    qmtest::HostDoc host = qmtest::HostDoc::create();
    {
        CPDFDocument doc(host.pd());
        EXPECT_FALSE(doc.GetOwns());
        EXPECT_TRUE(doc.AppendBlankPage());
    }
    EXPECT_FALSE(IsStale(host.pd()));
    EXPECT_EQ(gPDModelHFT->docGetNumPages(host.pd()), 1);
}

TEST_F(PDFDocumentTest, OpenReadsAFileOnceAndRefusesASecond) {
    const std::string path = mFolder.file("three.pdf");
    qmtest::writeSimplePdf(path, 3);
    CPDFDocument doc;
    ASSERT_TRUE(doc.Open(path.c_str()));
    EXPECT_TRUE(doc.GetOwns());
    EXPECT_EQ(doc.GetPageCount(), 3);
    EXPECT_FALSE(doc.Open(path.c_str()));
    EXPECT_EQ(doc.GetPageCount(), 3);
}

TEST_F(PDFDocumentTest, OpenOfAMissingOrBrokenFileLeavesNoDocument) {
    CPDFDocument doc;
    EXPECT_FALSE(doc.Open(mFolder.file("missing.pdf").c_str()));
    EXPECT_EQ(doc.GetPDDoc(), nullptr);
    const std::string text = mFolder.file("text.pdf");
    qmtest::writeNonPdf(text);
    EXPECT_FALSE(doc.Open(text.c_str()));
    EXPECT_EQ(doc.GetPDDoc(), nullptr);
}

TEST_F(PDFDocumentTest, InfoIsReadAsUtf8AndCutOnACharacterBoundary) {
    CPDFDocument doc;
    ASSERT_TRUE(doc.CreateNew());
    gPDModelHFT->docSetInfo(doc.GetPDDoc(), "Title", "印章 Quillmark");
    EXPECT_EQ(doc.GetInfo("Title"), "印章 Quillmark");
    EXPECT_EQ(doc.GetInfo("Subject"), "");
    // 100 three-byte characters: 300 bytes, cut to whole characters within 249.
    std::string longTitle;
    for (int i = 0; i < 100; ++i) longTitle += "章";
    gPDModelHFT->docSetInfo(doc.GetPDDoc(), "Author", longTitle.c_str());
    const std::string read = doc.GetInfo("Author");
    EXPECT_EQ(read.size(), 249u);
    EXPECT_EQ(read, longTitle.substr(0, 249));
}

TEST_F(PDFDocumentTest, PermissionFollowsTheStandardHandlersModifyBit) {
    const std::string plain = mFolder.file("plain.pdf");
    qmtest::writeSimplePdf(plain, 1);
    EXPECT_EQ(enginetest::OpenDocument(plain)->CheckPermission(), 0);

    const std::string open = mFolder.file("open.pdf");
    qmtest::writeEncryptedPdf(open, "", "owner");  // every permission granted
    EXPECT_EQ(enginetest::OpenDocument(open)->CheckPermission(), 0);

    const std::string locked = mFolder.file("locked.pdf");
    {
        QPDF pdf;
        pdf.processFile(plain.c_str());
        QPDFWriter writer(pdf, locked.c_str());
        writer.setStaticID(true);
        writer.setR6EncryptionParameters("", "owner", true, true, true, true, true,
                                         /*allow_modify_other*/ false, qpdf_r3p_full, true);
        writer.write();
    }
    EXPECT_EQ(enginetest::OpenDocument(locked)->CheckPermission(), 1);
}

TEST_F(PDFDocumentTest, DeleteAllPagesEmptiesTheDocument) {
    const std::string path = mFolder.file("three.pdf");
    qmtest::writeSimplePdf(path, 3);
    auto doc = enginetest::OpenDocument(path);
    EXPECT_TRUE(doc->DeleteAllPages());
    EXPECT_EQ(doc->GetPageCount(), 0);
    EXPECT_TRUE(doc->DeleteAllPages()) << "nothing left to delete is no failure";
    EXPECT_TRUE(doc->AppendBlankPage());
    EXPECT_EQ(doc->GetPageCount(), 1);
}

TEST_F(PDFDocumentTest, DeleteAllPagesReportsAHostErrorAsFailure) {
    qmtest::HostDoc host = qmtest::HostDoc::create();
    const PDDoc stale = host.pd();
    host.close();
    CPDFDocument doc;
    doc.Attach(stale, false);
    EXPECT_FALSE(doc.DeleteAllPages());
    EXPECT_FALSE(doc.WrapAllPageContents());
    EXPECT_EQ(doc.GetPageCount(), 0);
    EXPECT_EQ(doc.CheckPermission(), -1);
}

TEST_F(PDFDocumentTest, WrapAllPageContentsWrapsEveryShapeOfPage) {
    qmtest::FixturePage none, one, array;
    none.contents = qmtest::FixtureContents::None;
    array.contents = qmtest::FixtureContents::StreamArray;
    const std::string path = mFolder.file("shapes.pdf");
    qmtest::writeFixturePdf(path, {none, one, array});
    auto doc = enginetest::OpenDocument(path);
    ASSERT_TRUE(doc->WrapAllPageContents());
    const std::string out = mFolder.file("wrapped.pdf");
    enginetest::SaveDocument(*doc, out);
    EXPECT_EQ(qmtest::qpdfCheck(out).status, 0);
    const size_t counts[3] = {2, 3, 5};
    for (int page = 0; page < 3; ++page) {
        const auto pieces = enginetest::PageContentPieces(out, page);
        ASSERT_EQ(pieces.size(), counts[page]) << page;
        EXPECT_EQ(pieces.front(), " q ");
        EXPECT_EQ(pieces.back(), " Q ");
    }
}

// Two new objects per document, whatever its length: every page's " q " and
// " Q " are the same two streams. A "Contents" array that two pages share is
// copied, not changed, so each page is wrapped once.
TEST_F(PDFDocumentTest, WrapAllPageContentsSharesOneSaveAndOneRestoreStream) {
    const std::string path = mFolder.file("three.pdf");
    qmtest::writeSimplePdf(path, 3);
    auto doc = enginetest::OpenDocument(path);
    const CosObj shared = gCosHFT->newArray(doc->GetCosDoc(), true, 1);
    PDPage first = gPDModelHFT->docAcquirePage(doc->GetPDDoc(), 0);
    gCosHFT->arrayPut(shared, 0, gCosHFT->dictGet(gPDModelHFT->pageGetCosObj(first), gAtomContents));
    gPDModelHFT->pageRelease(first);
    for (int index : {0, 1}) {
        const PDPage page = gPDModelHFT->docAcquirePage(doc->GetPDDoc(), index);
        gCosHFT->dictPut(gPDModelHFT->pageGetCosObj(page), gAtomContents, shared);
        gPDModelHFT->pageRelease(page);
    }
    ASSERT_TRUE(doc->WrapAllPageContents());
    EXPECT_EQ(gCosHFT->arrayLength(shared), 1);
    std::vector<CosObj> saves, restores;
    for (int index = 0; index < 3; ++index) {
        const PDPage page = gPDModelHFT->docAcquirePage(doc->GetPDDoc(), index);
        const CosObj contents = gCosHFT->dictGet(gPDModelHFT->pageGetCosObj(page), gAtomContents);
        gPDModelHFT->pageRelease(page);
        ASSERT_EQ(gCosHFT->objGetType(contents), CosArray) << index;
        ASSERT_EQ(gCosHFT->arrayLength(contents), 3) << index;
        saves.push_back(gCosHFT->arrayGet(contents, 0));
        restores.push_back(gCosHFT->arrayGet(contents, 2));
    }
    for (size_t index = 1; index < 3; ++index) {
        EXPECT_TRUE(gCosHFT->objEqual(saves[index], saves[0])) << index;
        EXPECT_TRUE(gCosHFT->objEqual(restores[index], restores[0])) << index;
    }
    const std::string out = mFolder.file("wrapped.pdf");
    enginetest::SaveDocument(*doc, out);
    EXPECT_EQ(qmtest::qpdfCheck(out).status, 0);
    const auto firstPieces = enginetest::PageContentPieces(out, 0);
    for (int index = 0; index < 3; ++index) {
        const auto pieces = enginetest::PageContentPieces(out, index);
        ASSERT_EQ(pieces.size(), 3u) << index;
        EXPECT_EQ(pieces[0], " q ");
        EXPECT_EQ(pieces[2], " Q ");
        if (index == 1) {
            EXPECT_EQ(pieces[1], firstPieces[1]) << "the shared content, once";
        }
    }
}

std::string Plain(const std::string& data) { return data; }
std::string Hex(const std::string& data) { return QUtil::hex_encode(data) + ">"; }
std::string HexOfFlate(const std::string& data) { return Hex(qmtest::deflate(data)); }
std::string CutShort(const std::string& data) { return qmtest::deflate(data).substr(0, 8); }

// A page that leaves operators open gets an end piece that closes them,
// newest first, before the restore; one that restores below its start gets
// as many more saves in front. Pages that need nothing keep the shared pair,
// and equal pieces are one stream. The streams of a page are read as one
// content, whatever their filter. Content that cannot be followed to its end
// (a string left open, data that does not decode whole) keeps the pair too.
TEST_F(PDFDocumentTest, WrapAllPageContentsClosesWhatAPageLeavesOpen) {
    struct Row {
        std::vector<std::string> streams;  // the page's "Contents", decoded
        const char* save;
        const char* restore;
        std::string (*encode)(const std::string&) = qmtest::deflate;
        const char* dict = "<< /Filter /FlateDecode >>";
    };
    const Row rows[] = {
        {{"BT (a) Tj ET"}, " q ", " Q "},
        {{"q /P BMC BT"}, " q ", " ET EMC Q Q "},
        {{"q /P BMC BT"}, " q ", " ET EMC Q Q "},
        {{"Q Q 1 0 0 rg"}, " q q q ", " Q "},
        {{"q 1 0 0 rg %", " a comment joined across streams"}, " q ", "\n Q Q "},
        {{"q (unfinished"}, " q ", " Q "},
        {{"q not Flate data"}, " q ", " Q ", Plain},
        {{"q 1 0 0 rg 0 0 100 100 re f"}, " q ", " Q ", CutShort},
        {{"q"}, " q ", " Q Q ", Plain, "<< >>"},
        {{"q"}, " q ", " Q Q ", Hex, "<< /Filter /ASCIIHexDecode >>"},
        {{"q"}, " q ", " Q Q ", qmtest::deflate, "<< /Filter [/FlateDecode] >>"},
        {{"BT"}, " q ", " ET Q ", HexOfFlate, "<< /Filter [/ASCIIHexDecode /FlateDecode] >>"},
    };
    QPDF q;
    q.emptyPDF();
    for (const Row& row : rows) {
        QPDFObjectHandle contents = QPDFObjectHandle::newArray();
        for (const std::string& data : row.streams)
            contents.appendItem(qmtest::newStreamWith(q, row.encode(data), row.dict));
        QPDFObjectHandle page = q.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 200 200] >>"));
        page.replaceKey("/Contents", contents);
        q.addPage(page, false);
    }
    const std::string path = mFolder.file("open.pdf");
    QPDFWriter writer(q, path.c_str());
    writer.setStreamDataMode(qpdf_s_preserve);
    writer.write();

    auto doc = enginetest::OpenDocument(path);
    ASSERT_TRUE(doc->WrapAllPageContents());
    std::vector<CosObj> saves, restores;
    for (int index = 0; index < static_cast<int>(std::size(rows)); ++index) {
        const CosObj contents = gCosHFT->dictGet(enginetest::PageDict(*doc, index), gAtomContents);
        const int32_t length = gCosHFT->arrayLength(contents);
        ASSERT_EQ(length, static_cast<int32_t>(rows[index].streams.size()) + 2) << index;
        saves.push_back(gCosHFT->arrayGet(contents, 0));
        restores.push_back(gCosHFT->arrayGet(contents, length - 1));
        EXPECT_EQ(enginetest::StreamData(saves.back()), rows[index].save) << index;
        EXPECT_EQ(enginetest::StreamData(restores.back()), rows[index].restore) << index;
    }
    for (size_t index : {1u, 2u, 4u, 5u}) EXPECT_TRUE(gCosHFT->objEqual(saves[index], saves[0])) << index;
    for (size_t index : {3u, 5u, 6u, 7u}) EXPECT_TRUE(gCosHFT->objEqual(restores[index], restores[0])) << index;
    EXPECT_TRUE(gCosHFT->objEqual(restores[2], restores[1])) << "one stream for equal pieces";
}

TEST_F(PDFDocumentTest, FailureIsReportedAndOtherPagesStillWrapped) {
    const std::string path = mFolder.file("two.pdf");
    qmtest::writeSimplePdf(path, 3);
    auto doc = enginetest::OpenDocument(path);
    const PDPage page = gPDModelHFT->docAcquirePage(doc->GetPDDoc(), 1);
    gCosHFT->dictPut(gPDModelHFT->pageGetCosObj(page), gAtomContents,
                     gCosHFT->newInteger(doc->GetCosDoc(), false, 1));
    gPDModelHFT->pageRelease(page);
    EXPECT_FALSE(doc->WrapAllPageContents());
    for (int index : {0, 2}) {
        const PDPage wrapped = gPDModelHFT->docAcquirePage(doc->GetPDDoc(), index);
        const CosObj contents = gCosHFT->dictGet(gPDModelHFT->pageGetCosObj(wrapped), gAtomContents);
        EXPECT_EQ(gCosHFT->objGetType(contents), CosArray) << index;
        EXPECT_EQ(gCosHFT->arrayLength(contents), 3) << index;
        gPDModelHFT->pageRelease(wrapped);
    }
}

TEST_F(PDFDocumentTest, CloseWithAViewClosesTheViewAndItsDocument) {
    CPDFDocument doc;
    ASSERT_TRUE(doc.CreateNew());
    ASSERT_TRUE(doc.OpenView());
    const AVDoc view = doc.GetAVDoc();
    const PDDoc pd = doc.GetPDDoc();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(gAppViewHFT->pdDocGetAVDoc(pd), view);
    EXPECT_FALSE(doc.OpenView()) << "one view per wrapper";
    EXPECT_TRUE(doc.Close());
    EXPECT_EQ(doc.GetAVDoc(), nullptr);
    EXPECT_EQ(doc.GetPDDoc(), nullptr);
    EXPECT_NE(gAppViewHFT->getActiveDoc(), view);
    EXPECT_TRUE(IsStale(pd));
    EXPECT_TRUE(doc.GetOwns()) << "the owning flag survives Close";
}

// Draws a page holding one black square (100..200 in both directions).
class DrawPageTest : public PDFDocumentTest {
protected:
    void SetUp() override {
        PDFDocumentTest::SetUp();
        ASSERT_TRUE(mDoc.CreateNew());
        CPDFElement element;
        element.SetDocument(&mDoc);
        const PDPage page = gPDModelHFT->docAcquirePage(mDoc.GetPDDoc(), 0);
        ASSERT_TRUE(element.InsertPageContent(mDoc.GetCosDoc(), gPDModelHFT->pageGetCosObj(page),
                                              "0 g 100 100 100 100 re f", CPDFElement::kContentEnd));
        gPDModelHFT->pageRelease(page);
    }
    // Gray value of the image pixel at (x, y) from the image's lower-left corner.
    static int Gray(const QImage& image, int x, int y) { return qGray(image.pixel(x, image.height() - 1 - y)); }
    CPDFDocument mDoc;
};

TEST_F(DrawPageTest, FullZoomDrawsWithThePagesOwnMatrix) {
    QImage image(612, 792, QImage::Format_ARGB32);
    image.fill(Qt::white);
    ASSERT_TRUE(mDoc.DrawPage(0, &image, 100, 0, 0));
    EXPECT_LT(Gray(image, 150, 150), 60);
    EXPECT_GT(Gray(image, 90, 150), 200);
    EXPECT_GT(Gray(image, 210, 150), 200);
    EXPECT_GT(Gray(image, 150, 210), 200);
}

TEST_F(DrawPageTest, ZoomScalesAndOffsetsMoveTheDrawing) {
    QImage image(306, 396, QImage::Format_ARGB32);
    image.fill(Qt::white);
    // Half size: the square covers 50..100, moved left by 20 and down by 10
    // pixels: 30..80 across, 40..90 up.
    ASSERT_TRUE(mDoc.DrawPage(0, &image, 50, 20, 10));
    EXPECT_LT(Gray(image, 55, 65), 60);
    EXPECT_LT(Gray(image, 77, 87), 60);
    EXPECT_GT(Gray(image, 83, 65), 200) << "the square ends at 100 - 20";
    EXPECT_GT(Gray(image, 55, 93), 200) << "the square ends at 100 - 10";
    EXPECT_GT(Gray(image, 27, 65), 200) << "the square starts at 50 - 20";
    EXPECT_GT(Gray(image, 55, 37), 200) << "the square starts at 50 - 10";
}

TEST_F(DrawPageTest, MissingPageIsAFailure) {
    QImage image(10, 10, QImage::Format_ARGB32);
    EXPECT_FALSE(mDoc.DrawPage(5, &image, 100, 0, 0));
    EXPECT_FALSE(mDoc.DrawPage(0, nullptr, 100, 0, 0));
}

}  // namespace
