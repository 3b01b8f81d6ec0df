// PDModel docSave: writes through a temporary file and a rename, keeps the old
// target whole on failure, and can save over the file the document came from.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "pdmodel/DocumentFiles.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace {

using qmtest::HostDoc;
using qmtest::HostPath;
using qmtest::cos;
using qmtest::nameAtom;
using qmtest::pageContents;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }

struct SaveResult {
    int32_t code = 0;
    std::string message;
};

SaveResult save(const HostDoc& doc, const std::string& path) {
    SaveResult result;
    try {
        pd().docSave(doc.pd(), HostPath(path));
    } catch (const HostError& e) {
        result.code = e.code();
        result.message = e.what();
    }
    return result;
}

std::string pathText(ASPathName path) {
    if (!path) return "(untitled)";
    char text[PATH_MAX];
    qmhost::appSupportTable()->pathGetText(path, text, sizeof text);
    qmhost::appSupportTable()->releasePath(path);
    return text;
}

mode_t modeOf(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

class PDModelSave : public ::testing::Test {
protected:
    qmtest::FixtureFolder folder;
};

TEST_F(PDModelSave, NewDocumentSavesAndTakesThePath) {
    HostDoc doc = HostDoc::create();
    EXPECT_EQ(pd().docAcquirePath(doc.pd()), nullptr);
    const std::string path = folder.file("new.pdf");
    ASSERT_EQ(save(doc, path).code, 0);
    EXPECT_EQ(pathText(pd().docAcquirePath(doc.pd())), path);
    const auto check = qmtest::qpdfCheck(path);
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"new.pdf"});
}

TEST_F(PDModelSave, SavingOverTheOpenedFileKeepsEveryPage) {
    const std::string path = folder.file("doc.pdf");
    qmtest::writeSimplePdf(path, 30);
    HostDoc doc = HostDoc::open(path);
    cos().dictPut(cos().docGetRoot(doc.cos()), nameAtom("QmMark"), cos().newInteger(doc.cos(), false, 7));
    ASSERT_EQ(save(doc, path).code, 0);
    const auto check = qmtest::qpdfCheck(path);
    EXPECT_EQ(check.status, 0) << check.output;
    // The open document still reads its data after the rename.
    EXPECT_NE(pageContents(doc, 29).find("page 30"), std::string::npos);
    ASSERT_EQ(save(doc, path).code, 0);  // and saves again

    HostDoc reopened = HostDoc::open(path);
    ASSERT_EQ(pd().docGetNumPages(reopened.pd()), 30);
    for (int32_t i = 0; i < 30; ++i)
        EXPECT_NE(pageContents(reopened, i).find("page " + std::to_string(i + 1)), std::string::npos) << i;
    EXPECT_EQ(cos().integerValue(cos().dictGet(cos().docGetRoot(reopened.cos()), nameAtom("QmMark"))), 7);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"doc.pdf"});
}

TEST_F(PDModelSave, SaveAsLeavesTheOriginalFileUntouched) {
    const std::string original = folder.file("original.pdf");
    qmtest::writeSimplePdf(original, 2);
    const std::string before = qmtest::readBytes(original);
    HostDoc doc = HostDoc::open(original);
    cos().dictPut(cos().docGetRoot(doc.cos()), nameAtom("QmMark"), cos().newInteger(doc.cos(), false, 1));
    const std::string copy = folder.file("copy.pdf");
    ASSERT_EQ(save(doc, copy).code, 0);
    EXPECT_EQ(qmtest::readBytes(original), before);
    EXPECT_EQ(pathText(pd().docAcquirePath(doc.pd())), copy);
}

TEST_F(PDModelSave, SaveIntoAMissingFolderFailsAndLeavesNothing) {
    HostDoc doc = HostDoc::create();
    const std::string path = folder.file("missing/out.pdf");
    const SaveResult result = save(doc, path);
    EXPECT_EQ(result.code, kHostErrFileWrite);
    EXPECT_NE(result.message.find(path), std::string::npos) << result.message;
    EXPECT_TRUE(folder.entries().empty());
    EXPECT_EQ(pd().docAcquirePath(doc.pd()), nullptr);  // still untitled
}

TEST_F(PDModelSave, SaveOntoAFolderFailsAndLeavesTheFolder) {
    HostDoc doc = HostDoc::create();
    const std::string target = folder.file("sub");
    ASSERT_EQ(::mkdir(target.c_str(), 0755), 0);
    EXPECT_EQ(save(doc, target).code, kHostErrFileWrite);
    struct stat info;
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"sub"});
}

TEST_F(PDModelSave, FailedSaveLeavesTheOldTargetWholeAndNoTemporaryFile) {
    const std::string target = folder.file("target.pdf");
    qmtest::writeSimplePdf(target, 3);
    const std::string before = qmtest::readBytes(target);
    HostDoc doc = HostDoc::create();
    qmhost::failNextWriteBeforeRenameForTesting();
    const SaveResult result = save(doc, target);
    EXPECT_EQ(result.code, kHostErrFileWrite);
    EXPECT_NE(result.message.find(target), std::string::npos);
    EXPECT_EQ(qmtest::readBytes(target), before);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"target.pdf"});
    EXPECT_EQ(pd().docAcquirePath(doc.pd()), nullptr);
    // The next save goes through.
    EXPECT_EQ(save(doc, target).code, 0);
    EXPECT_NE(qmtest::readBytes(target), before);
}

TEST_F(PDModelSave, SavedFileKeepsThePermissionsOfTheFileItReplaces) {
    const std::string target = folder.file("private.pdf");
    qmtest::writeSimplePdf(target, 1);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    HostDoc doc = HostDoc::open(target);
    ASSERT_EQ(save(doc, target).code, 0);
    EXPECT_EQ(modeOf(target), 0640u);
}

TEST_F(PDModelSave, NewFileGetsTheUsualPermissionsNotThoseOfATemporaryFile) {
    const mode_t mask = ::umask(022);
    HostDoc doc = HostDoc::create();
    const std::string target = folder.file("fresh.pdf");
    const SaveResult result = save(doc, target);
    ::umask(mask);
    ASSERT_EQ(result.code, 0);
    EXPECT_EQ(modeOf(target), 0644u);
}

TEST_F(PDModelSave, SaveThroughASymbolicLinkReplacesTheLinkedFile) {
    const std::string real = folder.file("real.pdf");
    const std::string link = folder.file("link.pdf");
    qmtest::writeSimplePdf(real, 1);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    HostDoc doc = HostDoc::create();
    ASSERT_EQ(save(doc, link).code, 0);
    struct stat info;
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    HostDoc reopened = HostDoc::open(real);
    EXPECT_EQ(pd().docGetNumPages(reopened.pd()), 0);  // the saved empty document
}

// An encrypted document is saved encrypted as it was, readable; one whose
// encryption dictionary does not give the key length it was read with (qpdf
// reads it all the same) is refused naming the reason, before anything is written.
TEST_F(PDModelSave, EncryptedDocumentIsSavedReadableOrRefused) {
    using qmtest::OwnerEncryption;
    const struct {
        const char* name;
        OwnerEncryption kind;
        bool withoutKeyLength;
        const char* refusal;  // what the message says; null: saved
    } rows[] = {
        {"RC4 128 bits", OwnerEncryption::Rc4Key128, false, nullptr},
        {"RC4 128 bits without /Length", OwnerEncryption::Rc4Key128, true, "has no /Length for its 128-bit key"},
        {"AES 128 bits without /Length", OwnerEncryption::Aes128, true, "has no /Length for its 128-bit key"},
        {"AES 256 bits without /Length", OwnerEncryption::Aes256, true, nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string input = folder.file("encrypted.pdf"), output = folder.file("saved.pdf");
        qmtest::writeOwnerEncryptedPdf(input, 2, row.kind, row.withoutKeyLength);
        std::remove(output.c_str());
        HostDoc doc = HostDoc::open(input);
        const SaveResult result = save(doc, output);
        if (row.refusal) {
            EXPECT_EQ(result.code, kHostErrFileWrite);
            EXPECT_NE(result.message.find("cannot write " + output + ": the encryption dictionary of " + input + " " +
                                          row.refusal),
                      std::string::npos)
                << result.message;
            EXPECT_EQ(folder.entries(), std::vector<std::string>{"encrypted.pdf"}) << "nothing written";
            continue;
        }
        ASSERT_EQ(result.code, 0) << result.message;
        const auto check = qmtest::qpdfCheck(output);
        EXPECT_EQ(check.status, 0) << check.output;
        HostDoc saved = HostDoc::open(output);
        EXPECT_NE(pageContents(saved, 1).find("page 2"), std::string::npos) << pageContents(saved, 1);
    }
}

TEST_F(PDModelSave, SaveOfAClosedDocumentRaisesBadHandle) {
    HostDoc doc = HostDoc::create();
    const PDDoc stale = doc.pd();
    doc.close();
    try {
        pd().docSave(stale, HostPath(folder.file("x.pdf")));
        FAIL() << "saved a closed document";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrBadHandle);
    }
    EXPECT_TRUE(folder.entries().empty());
}

}  // namespace

namespace {

TEST(PDModelSaveNames, LongestFileNameStillSaves) {
    qmtest::FixtureFolder folder;
    const std::string target = folder.file(std::string(251, 'n') + ".pdf");  // 255 bytes, the limit
    HostDoc doc = HostDoc::create();
    pd().docSave(doc.pd(), HostPath(target));
    EXPECT_EQ(qmtest::qpdfCheck(target).status, 0);
    EXPECT_EQ(folder.entries().size(), 1u);
}

}  // namespace
