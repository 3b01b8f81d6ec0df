// File names of host documents, against a scripted host: one view, one
// document whose path the test chooses.
#include <gtest/gtest.h>

#include <ostream>

#include <cstring>
#include <string>

#include "common/PluginFixture.h"
#include "qmhost/HostError.h"
#include "support/ErrorCode.h"
#include "support/io/FileSystemHelpers.h"
#include "ScopedHostTables.h"

namespace {

// The scripted host's state.
struct Script {
    const char* path = nullptr;  // the document's path; null = a document without a file
    bool viewOpen = true;
    int acquired = 0;
    int released = 0;
};
Script sScript;

AVDoc const kView = reinterpret_cast<AVDoc>(0x10);
PDDoc const kDoc = reinterpret_cast<PDDoc>(0x20);
ASPathName const kPath = reinterpret_cast<ASPathName>(0x30);

AVDoc GetActiveDoc() { return sScript.viewOpen ? kView : nullptr; }
PDDoc AVDocGetPDDoc(AVDoc view) {
    if (view != kView) throw HostError(kHostErrBadHandle, "no such view");
    return kDoc;
}
ASPathName DocAcquirePath(PDDoc doc) {
    if (doc != kDoc) throw HostError(kHostErrBadHandle, "no such document");
    if (!sScript.path) return nullptr;
    ++sScript.acquired;
    return kPath;
}
int32_t PathGetText(ASPathName, char* buffer, int32_t capacity) {
    const int32_t length = static_cast<int32_t>(std::strlen(sScript.path));
    std::snprintf(buffer, static_cast<size_t>(capacity), "%s", sScript.path);
    return length;
}
void ReleasePath(ASPathName path) {
    if (path == kPath) ++sScript.released;
}
char* GetErrorString(int32_t, char* buffer, int32_t capacity) {
    std::snprintf(buffer, static_cast<size_t>(capacity), "scripted host error");
    return buffer;
}

AppViewTable MakeView() {
    AppViewTable t{};
    t.size = sizeof t;
    t.getActiveDoc = GetActiveDoc;
    t.avDocGetPDDoc = AVDocGetPDDoc;
    return t;
}
PDModelTable MakeModel() {
    PDModelTable t{};
    t.size = sizeof t;
    t.docAcquirePath = DocAcquirePath;
    return t;
}
AppSupportTable MakeSupport() {
    AppSupportTable t{};
    t.size = sizeof t;
    t.pathGetText = PathGetText;
    t.releasePath = ReleasePath;
    t.getErrorString = GetErrorString;
    return t;
}
const AppViewTable kViewTable = MakeView();
const PDModelTable kModelTable = MakeModel();
const AppSupportTable kSupportTable = MakeSupport();

class DocFileNameTest : public ::testing::Test {
protected:
    void SetUp() override { sScript = Script{}; }
    void TearDown() override { EXPECT_EQ(sScript.acquired, sScript.released) << "a path leaked"; }
    // GetDocFileName of kDoc with the path.
    std::string NameOf(const char* path, bool keepFolder, bool keepExtension) {
        sScript.path = path;
        char out[kFileSpecCapacity] = "garbage";
        EXPECT_TRUE(GetDocFileName(kDoc, out, sizeof out, keepFolder, keepExtension));
        return out;
    }
    ScopedHostTables mTables{&kViewTable, &kModelTable, &kSupportTable};
};

struct NameRow {
    const char* name;
    const char* path;
    bool keepFolder;
    bool keepExtension;
    const char* expected;
};
void PrintTo(const NameRow& row, std::ostream* os) { *os << row.name; }

class GetDocFileNameRows : public DocFileNameTest, public ::testing::WithParamInterface<NameRow> {};

TEST_P(GetDocFileNameRows, CutsFolderAndExtensionAsAsked) {
    const NameRow& row = GetParam();
    EXPECT_EQ(NameOf(row.path, row.keepFolder, row.keepExtension), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GetDocFileNameRows,
    ::testing::Values(
        NameRow{"NeitherFlagGivesTheBareName", "/docs/report.final.pdf", false, false, "report.final"},
        NameRow{"KeepFolderOnly", "/docs/report.final.pdf", true, false, "/docs/report.final"},
        NameRow{"KeepExtensionOnly", "/docs/report.final.pdf", false, true, "report.final.pdf"},
        NameRow{"BothFlagsGiveThePath", "/docs/report.final.pdf", true, true, "/docs/report.final.pdf"},
        NameRow{"NameWithoutDotStaysWhole", "/docs/readme", false, false, "readme"},
        NameRow{"PathWithoutSlashStaysWhole", "report.pdf", false, true, "report.pdf"},
        // A "." in a folder name used to be taken for the extension.
        NameRow{"DotInFolderNameIsNotTheExtension", "/v1.2/readme", true, false, "/v1.2/readme"},
        NameRow{"DotInFolderNameWithoutFolder", "/v1.2/readme", false, false, "readme"},
        NameRow{"ChineseName", "/文档/报告.pdf", false, false, "报告"}),
    [](const auto& row) { return std::string(row.param.name); });

// A document without a file has no path to cut; it gives an empty name.
TEST_F(DocFileNameTest, DocumentWithoutAFileGivesAnEmptyName) {
    EXPECT_EQ(NameOf(nullptr, false, false), "");
    EXPECT_EQ(sScript.acquired, 0);
}

TEST_F(DocFileNameTest, NameThatDoesNotFitTheOutputIsRefused) {
    sScript.path = "/docs/report.pdf";
    char out[7] = "xxxxxx";  // "report" needs 7 bytes with its terminator: fits
    EXPECT_TRUE(GetDocFileName(kDoc, out, sizeof out, false, false));
    EXPECT_STREQ(out, "report");
    char small[6] = "xxxxx";
    EXPECT_FALSE(GetDocFileName(kDoc, small, sizeof small, false, false));
    EXPECT_STREQ(small, "");
}

TEST_F(DocFileNameTest, PathLongerThanTheBufferIsRefusedNotCut) {
    const std::string longPath = "/" + std::string(kFileSpecCapacity, 'a') + "/x.pdf";
    sScript.path = longPath.c_str();
    char out[kFileSpecCapacity] = "garbage";
    EXPECT_FALSE(GetDocFileName(kDoc, out, sizeof out, false, false));
    EXPECT_STREQ(out, "");
}

TEST_F(DocFileNameTest, ActiveDocumentNameComesFromTheFrontView) {
    sScript.path = "/docs/a.pdf";
    char out[64] = "";
    EXPECT_TRUE(GetActiveDocFileName(out, sizeof out, false, true));
    EXPECT_STREQ(out, "a.pdf");
}

TEST_F(DocFileNameTest, NoOpenViewLeavesTheOutputAlone) {
    sScript.viewOpen = false;
    sScript.path = "/docs/a.pdf";
    char out[16] = "untouched";
    EXPECT_FALSE(GetActiveDocFileName(out, sizeof out, true, true));
    EXPECT_STREQ(out, "untouched");
}

TEST_F(DocFileNameTest, DocFileSpecHoldsTheWholePath) {
    sScript.path = "/docs/report.final.pdf";
    TFileSpecifier spec("/old");
    EXPECT_TRUE(GetDocFileSpec(kView, spec));
    EXPECT_STREQ(spec.GetPath(), "/docs/report.final.pdf");
    sScript.path = nullptr;
    EXPECT_TRUE(GetDocFileSpec(kView, spec));
    EXPECT_TRUE(spec.IsEmpty());
}

TEST_F(DocFileNameTest, StaleViewIsThrownAsTheHostsCode) {
    TFileSpecifier spec;
    try {
        GetDocFileSpec(reinterpret_cast<AVDoc>(0x99), spec);
        ADD_FAILURE() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, static_cast<ErrorCode>(kHostErrBadHandle & 0xFFFF));
    }
}

TEST(DocFileName, WithoutHostTablesNothingIsNamed) {
    ScopedHostTables none(nullptr, nullptr, nullptr);
    char out[16] = "untouched";
    EXPECT_FALSE(GetActiveDocFileName(out, sizeof out, true, true));
    EXPECT_STREQ(out, "untouched");
    EXPECT_FALSE(GetDocFileName(kDoc, out, sizeof out, true, true));
    EXPECT_STREQ(out, "");
}

// The real host, started through its setup path, with no document window open.
TEST(DocFileName, RealHostWithoutViewsNamesNoActiveDocument) {
    qmtest::StartLinkedPlugin();
    ASSERT_NE(gAppViewHFT, nullptr);
    char out[16] = "untouched";
    EXPECT_FALSE(GetActiveDocFileName(out, sizeof out, false, false));
    EXPECT_STREQ(out, "untouched");
}

}  // namespace
