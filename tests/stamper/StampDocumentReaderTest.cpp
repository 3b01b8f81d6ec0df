// The document reader over the host's tables, against a scripted host: paths
// and information entries as the stamp-text variables read them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "qmhost/HostError.h"
#include "stamper/DocumentVariables.h"
#include "stamper/StampRunCounters.h"
#include "stamper/TextVariables.h"
#include "support/ErrorMessage.h"
#include "support/ScopedHostTables.h"

namespace {

PDDoc const kDoc = reinterpret_cast<PDDoc>(0x20);
ASPathName const kPath = reinterpret_cast<ASPathName>(0x30);

struct Script {
    const char* path = "/srv/in/letter.v2.pdf";  // null: a document without a file
    std::string info = "Quarterly letter";
    bool cutByBytes = false;  // a careless host that cuts its text in mid-character
    bool refuse = false;      // the host raises on every document call
    std::string lastKey;
    int acquired = 0;
    int released = 0;
};
Script sScript;

void RefuseIfAsked() {
    if (sScript.refuse) throw HostError(kHostErrBadHandle, "no such document");
}

ASPathName DocAcquirePath(PDDoc) {
    RefuseIfAsked();
    if (!sScript.path) return nullptr;
    ++sScript.acquired;
    return kPath;
}
int32_t PathGetText(ASPathName, char* buffer, int32_t capacity) {
    std::snprintf(buffer, static_cast<size_t>(capacity), "%s", sScript.path);
    return static_cast<int32_t>(std::strlen(sScript.path));
}
void ReleasePath(ASPathName path) {
    if (path == kPath) ++sScript.released;
}
int32_t DocGetInfo(PDDoc, const char* key, char* buffer, int32_t capacity) {
    RefuseIfAsked();
    sScript.lastKey = key;
    const std::string& value = sScript.info;
    size_t keep = std::min(value.size(), static_cast<size_t>(capacity) - 1);
    if (!sScript.cutByBytes)
        while (keep < value.size() && (static_cast<unsigned char>(value[keep]) & 0xC0) == 0x80) --keep;
    std::memcpy(buffer, value.data(), keep);
    buffer[keep] = '\0';
    return static_cast<int32_t>(value.size());
}
char* GetErrorString(int32_t, char* buffer, int32_t capacity) {
    std::snprintf(buffer, static_cast<size_t>(capacity), "scripted host error");
    return buffer;
}

PDModelTable MakeModel() {
    PDModelTable t{};
    t.size = sizeof t;
    t.docAcquirePath = DocAcquirePath;
    t.docGetInfo = DocGetInfo;
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
AppViewTable MakeView() {
    AppViewTable t{};
    t.size = sizeof t;
    return t;
}
const PDModelTable kModelTable = MakeModel();
const AppSupportTable kSupportTable = MakeSupport();
const AppViewTable kViewTable = MakeView();

class HostStampDocumentReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        sScript = Script{};
        SetErrorMessage("earlier message");
    }
    void TearDown() override { EXPECT_EQ(sScript.acquired, sScript.released) << "a path leaked"; }
    HostStampDocumentReader reader;
    ScopedHostTables tables{&kViewTable, &kModelTable, &kSupportTable};
};

TEST_F(HostStampDocumentReaderTest, ReadsPathAndInformationEntry) {
    EXPECT_EQ(reader.GetFilePath(kDoc), "/srv/in/letter.v2.pdf");
    EXPECT_EQ(reader.GetInfo(kDoc, "Subject"), "Quarterly letter");
    EXPECT_EQ(sScript.lastKey, "Subject");
}

TEST_F(HostStampDocumentReaderTest, DocumentWithoutAFileHasAnEmptyPath) {
    sScript.path = nullptr;
    EXPECT_EQ(reader.GetFilePath(kDoc), "");
}

TEST_F(HostStampDocumentReaderTest, InformationEntryIsCutToItsBuffer) {
    sScript.info.clear();
    for (int i = 0; i < 100; ++i) sScript.info += "页";
    const std::string value = reader.GetInfo(kDoc, "Title");
    EXPECT_EQ(value.size(), 249u);  // 83 whole characters
    EXPECT_EQ(value, sScript.info.substr(0, 249));
}

TEST_F(HostStampDocumentReaderTest, CharacterCutInHalfByTheHostIsDropped) {
    sScript.cutByBytes = true;
    sScript.info = "a";
    for (int i = 0; i < 100; ++i) sScript.info += "页";
    const std::string value = reader.GetInfo(kDoc, "Title");
    EXPECT_EQ(value, sScript.info.substr(0, 1 + 82 * 3));
}

TEST_F(HostStampDocumentReaderTest, RefusedDocumentGivesEmptyValuesAndKeepsTheErrorBuffer) {
    sScript.refuse = true;
    EXPECT_EQ(reader.GetFilePath(kDoc), "");
    EXPECT_EQ(reader.GetInfo(kDoc, "Title"), "");
    EXPECT_STREQ(GetErrorMessage(), "earlier message");
}

TEST_F(HostStampDocumentReaderTest, WithoutHostTablesValuesAreEmpty) {
    ScopedHostTables none(nullptr, nullptr, nullptr);
    EXPECT_EQ(reader.GetFilePath(kDoc), "");
    EXPECT_EQ(reader.GetInfo(kDoc, "Title"), "");
}

TEST_F(HostStampDocumentReaderTest, VariablesUseTheHostReaderByDefault) {
    SetStampDocumentReader(nullptr);
    StampRunCounters& counters = GetStampRunCounters();
    const StampRunCounters saved = counters;
    counters.StartSingleDocument(kDoc, 2);
    EXPECT_EQ(ExpandStampVariables("$FileName: $PDInfoKeywords"), "letter.v2.pdf: Quarterly letter");
    EXPECT_EQ(sScript.lastKey, "Keywords");
    counters = saved;
}

}  // namespace
