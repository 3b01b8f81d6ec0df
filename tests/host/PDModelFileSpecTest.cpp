// PDModel file specs: paths made relative to a base document's folder.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

std::string textOf(PDFileSpec spec, int32_t capacity = 1024) {
    std::string text(static_cast<size_t>(capacity), '\0');
    pdT().fileSpecGetText(spec, text.data(), capacity);
    return text.c_str();
}

struct SpecCase {
    const char* name;
    const char* path;
    const char* relativeTo;  // null: none
    const char* expected;
};

// Rows print as their names in test output.
void PrintTo(const SpecCase& row, std::ostream* out) { *out << row.name; }

class PDModelFileSpec : public ::testing::TestWithParam<SpecCase> {};

TEST_P(PDModelFileSpec, PathIsRelativeOnlyInsideTheBaseFolder) {
    HostDoc doc = HostDoc::create();
    HostPath path(GetParam().path);
    std::optional<HostPath> base;
    if (GetParam().relativeTo) base.emplace(GetParam().relativeTo);
    PDFileSpec spec = pdT().fileSpecNewFromPath(doc.pd(), path, base ? static_cast<ASPathName>(*base) : nullptr);
    ASSERT_TRUE(pdT().fileSpecIsValid(spec));
    EXPECT_EQ(textOf(spec), GetParam().expected);
    EXPECT_EQ(unparsed(cosT().dictGet(spec.cos, nameAtom("Type"))), "/Filespec");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PDModelFileSpec,
    ::testing::Values(SpecCase{"SameFolder", "/data/a/doc.pdf", "/data/a/main.pdf", "doc.pdf"},
                      SpecCase{"Below", "/data/a/b/c/doc.pdf", "/data/a/main.pdf", "b/c/doc.pdf"},
                      SpecCase{"OutsideStaysAbsolute", "/data/c/doc.pdf", "/data/a/main.pdf", "/data/c/doc.pdf"},
                      SpecCase{"SiblingFolderWithTheSamePrefixStaysAbsolute", "/data/ab/doc.pdf",
                               "/data/a/main.pdf", "/data/ab/doc.pdf"},
                      SpecCase{"DotsAreFolded", "/data/x/../a/./doc.pdf", "/data/a/main.pdf", "doc.pdf"},
                      SpecCase{"BaseEndingInASlashIsTheFolder", "/data/a/b/doc.pdf", "/data/a/", "b/doc.pdf"},
                      SpecCase{"NoBaseIsAbsolute", "/data/a/doc.pdf", nullptr, "/data/a/doc.pdf"},
                      SpecCase{"NonAsciiName", "/data/a/\xE6\xB0\xB4\xE5\x8D\xB0.pdf", "/data/a/main.pdf",
                               "\xE6\xB0\xB4\xE5\x8D\xB0.pdf"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PDModelFileSpecText, NonAsciiNameIsWrittenAsBytesAndAsPdfText) {
    HostDoc doc = HostDoc::create();
    HostPath path("/data/\xE6\xB0\xB4.pdf");
    PDFileSpec spec = pdT().fileSpecNewFromPath(doc.pd(), path, nullptr);
    QPDFObjectHandle dict = qmhost::objectOf(spec.cos);
    EXPECT_EQ(dict.getKey("/F").getStringValue(), "/data/\xE6\xB0\xB4.pdf");
    EXPECT_EQ(dict.getKey("/UF").getStringValue().substr(0, 2), "\xFE\xFF");
    // Without /UF the bytes of /F are read.
    dict.removeKey("/UF");
    EXPECT_EQ(textOf(spec), "/data/\xE6\xB0\xB4.pdf");
}

TEST(PDModelFileSpecText, BoundedCopyAnswersTheFullLength) {
    HostDoc doc = HostDoc::create();
    HostPath path("/data/\xE6\xB0\xB4.pdf");  // 13 bytes
    PDFileSpec spec = pdT().fileSpecNewFromPath(doc.pd(), path, nullptr);
    char buffer[9];
    EXPECT_EQ(pdT().fileSpecGetText(spec, buffer, sizeof buffer), 13);
    EXPECT_STREQ(buffer, "/data/");  // the three-byte character does not fit whole
}

TEST(PDModelFileSpecText, PlainStringIsAFileSpecificationAndOtherThingsAreNot) {
    HostDoc doc = HostDoc::create();
    PDFileSpec plain{cosT().newString(doc.cos(), false, "other.pdf", 9)};
    EXPECT_TRUE(pdT().fileSpecIsValid(plain));
    EXPECT_EQ(textOf(plain), "other.pdf");
    PDFileSpec empty{cosT().newDict(doc.cos(), false, 1)};
    EXPECT_FALSE(pdT().fileSpecIsValid(empty));
    EXPECT_EQ(hostErrorOf([&] { pdT().fileSpecGetText(empty, nullptr, 0); }), kHostErrBadType);
    EXPECT_FALSE(pdT().fileSpecIsValid(PDFileSpec{cosT().newNull()}));
    EXPECT_FALSE(pdT().fileSpecIsValid(PDFileSpec{CosObj{4242, 1}}));
}

}  // namespace
