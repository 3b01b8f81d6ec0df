// PDModel document information (UTF-8 in and out) and security queries.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include <qpdf/QPDFWriter.hh>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

std::string infoOf(PDDoc doc, const char* key) {
    const int32_t length = pdT().docGetInfo(doc, key, nullptr, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    EXPECT_EQ(pdT().docGetInfo(doc, key, text.data(), length + 1), length);
    text.resize(std::strlen(text.c_str()));
    return text;
}

class PDModelInfo : public ::testing::Test {
protected:
    FixtureFolder folder;
    // A document whose /Info has the given strings, written as raw PDF string bytes.
    HostDoc openWithInfo(const std::vector<std::pair<std::string, std::string>>& entries) {
        const std::string path = folder.file("info.pdf");
        writeBuiltPdf(path, [&](QPDF& pdf) {
            appendPage(pdf, 612, 792);
            QPDFObjectHandle info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            for (const auto& [key, bytes] : entries) info.replaceKey("/" + key, QPDFObjectHandle::newString(bytes));
            pdf.getTrailer().replaceKey("/Info", info);
        });
        return HostDoc::open(path);
    }
};

TEST_F(PDModelInfo, ReadsPdfDocEncodingAndUtf16AsUtf8) {
    HostDoc doc = openWithInfo({{"Title", "Caf\xE9 \x84"},  // e-acute, em dash in PDFDocEncoding
                                {"Author", std::string("\xFE\xFF\x6C\x34\x53\x70", 6)},  // UTF-16BE "水印"
                                {"Subject", "plain"}});
    EXPECT_EQ(infoOf(doc.pd(), "Title"), "Caf\xC3\xA9 \xE2\x80\x94");
    EXPECT_EQ(infoOf(doc.pd(), "Author"), "\xE6\xB0\xB4\xE5\x8D\xB0");
    EXPECT_EQ(infoOf(doc.pd(), "Subject"), "plain");
}

TEST_F(PDModelInfo, AbsentEntryAnswersZeroAndAnEmptyBuffer) {
    HostDoc doc = openWithInfo({{"Title", "x"}});
    char buffer[8] = "junk";
    EXPECT_EQ(pdT().docGetInfo(doc.pd(), "Keywords", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    HostDoc fresh = HostDoc::create();  // no /Info at all
    EXPECT_EQ(pdT().docGetInfo(fresh.pd(), "Title", buffer, sizeof buffer), 0);
}

struct CutCase {
    const char* name;
    int32_t capacity;
    const char* expected;
};

// Rows print as their names in test output.
void PrintTo(const CutCase& row, std::ostream* out) { *out << row.name; }

class PDModelInfoCut : public PDModelInfo, public ::testing::WithParamInterface<CutCase> {};

// "Aé水" is A (1 byte), é (2 bytes), 水 (3 bytes): 6 bytes in all.
TEST_P(PDModelInfoCut, BoundedCopyEndsOnACharacterBoundaryAndAnswersTheFullLength) {
    HostDoc doc = HostDoc::create();
    pdT().docSetInfo(doc.pd(), "Title", "A\xC3\xA9\xE6\xB0\xB4");
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(pdT().docGetInfo(doc.pd(), "Title", buffer, GetParam().capacity), 6);
    EXPECT_STREQ(buffer, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Capacities, PDModelInfoCut,
                         ::testing::Values(CutCase{"OnlyTheTerminator", 1, ""},
                                           CutCase{"FirstByte", 2, "A"},
                                           CutCase{"HalfOfTheTwoByteCharacterIsDropped", 3, "A"},
                                           CutCase{"TwoCharacters", 4, "A\xC3\xA9"},
                                           CutCase{"TwoThirdsOfTheLastAreDropped", 6, "A\xC3\xA9"},
                                           CutCase{"Whole", 7, "A\xC3\xA9\xE6\xB0\xB4"},
                                           CutCase{"Roomy", 16, "A\xC3\xA9\xE6\xB0\xB4"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PDModelInfo, NullBufferOrNoCapacityOnlyMeasures) {
    HostDoc doc = HostDoc::create();
    pdT().docSetInfo(doc.pd(), "Author", "Quillmark");
    char buffer[4] = "abc";
    EXPECT_EQ(pdT().docGetInfo(doc.pd(), "Author", nullptr, 10), 9);
    EXPECT_EQ(pdT().docGetInfo(doc.pd(), "Author", buffer, 0), 9);
    EXPECT_STREQ(buffer, "abc");
}

TEST_F(PDModelInfo, SetWritesPdfTextThatOtherReadersDecode) {
    HostDoc doc = openWithInfo({{"Title", "old"}});
    pdT().docSetInfo(doc.pd(), "Title", "\xE6\xB0\xB4\xE5\x8D\xB0 Quillmark");  // needs UTF-16
    pdT().docSetInfo(doc.pd(), "Author", "Ren\xC3\xA9");                     // fits PDFDocEncoding
    const std::string path = folder.file("set.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_EQ(qpdfCheck(path).status, 0);

    QPDF saved;
    saved.processFile(path.c_str());
    QPDFObjectHandle info = saved.getTrailer().getKey("/Info");
    EXPECT_EQ(info.getKey("/Title").getStringValue().substr(0, 2), "\xFE\xFF");
    EXPECT_EQ(info.getKey("/Title").getUTF8Value(), "\xE6\xB0\xB4\xE5\x8D\xB0 Quillmark");
    EXPECT_EQ(info.getKey("/Author").getStringValue(), "Ren\xE9");
    HostDoc reopened = HostDoc::open(path);
    EXPECT_EQ(infoOf(reopened.pd(), "Author"), "Ren\xC3\xA9");
}

TEST_F(PDModelInfo, SetOnADocumentWithoutInfoCreatesIt) {
    HostDoc doc = HostDoc::create();
    pdT().docSetInfo(doc.pd(), "Producer", "Quillmark");
    EXPECT_EQ(infoOf(doc.pd(), "Producer"), "Quillmark");
    EXPECT_EQ(hostErrorOf([&] { pdT().docSetInfo(doc.pd(), "Title", nullptr); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdT().docGetInfo(doc.pd(), "", nullptr, 0); }), kHostErrBadParameter);
}

// --- security

void writeEncrypted(const std::string& path, bool allowModifyOther) {
    const std::string plain = path + ".plain.pdf";
    writeSimplePdf(plain, 1);
    QPDF pdf;
    pdf.processFile(plain.c_str());
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.setR6EncryptionParameters("", "owner", true, true, true, true, true, allowModifyOther, qpdf_r3p_full,
                                     true);
    writer.write();
}

TEST_F(PDModelInfo, UnencryptedDocumentHasNoSecurityAndAllowsChanges) {
    HostDoc doc = HostDoc::create();
    EXPECT_EQ(pdT().docGetSecurityData(doc.pd()), nullptr);
    EXPECT_EQ(pdT().docGetSecurityHandlerName(doc.pd()), kASAtomNull);
    EXPECT_EQ(pdT().docPermRequest(doc.pd(), kPDPermObjPageContents, kPDPermOpModify, nullptr), 0);
}

TEST_F(PDModelInfo, EncryptedDocumentThatAllowsChangesAnswersZero) {
    const std::string path = folder.file("open.pdf");
    writeEncrypted(path, true);
    HostDoc doc = HostDoc::open(path);
    EXPECT_NE(pdT().docGetSecurityData(doc.pd()), nullptr);
    EXPECT_EQ(pdT().docGetSecurityHandlerName(doc.pd()), nameAtom("Standard"));
    EXPECT_EQ(pdT().docPermRequest(doc.pd(), kPDPermObjPageContents, kPDPermOpModify, nullptr), 0);
}

TEST_F(PDModelInfo, EncryptedDocumentThatForbidsChangesRefusesThem) {
    const std::string path = folder.file("locked.pdf");
    writeEncrypted(path, false);
    HostDoc doc = HostDoc::open(path);
    EXPECT_NE(pdT().docGetSecurityData(doc.pd()), nullptr);
    EXPECT_EQ(pdT().docGetSecurityHandlerName(doc.pd()), nameAtom("Standard"));
    EXPECT_NE(pdT().docPermRequest(doc.pd(), kPDPermObjPageContents, kPDPermOpModify, nullptr), 0);
}

TEST_F(PDModelInfo, UnknownPermissionRequestOnAnEncryptedDocumentIsRefused) {
    const std::string path = folder.file("open.pdf");
    writeEncrypted(path, true);
    HostDoc doc = HostDoc::open(path);
    EXPECT_NE(pdT().docPermRequest(doc.pd(), 99, kPDPermOpModify, nullptr), 0);
}

}  // namespace
