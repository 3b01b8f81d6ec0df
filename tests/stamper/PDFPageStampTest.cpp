// PDF-page stamps end to end: a profile that places one page of another PDF
// file, run over a real document of the host and read back with pdftotext and
// qpdf; every way a source can fail and what such a failure leaves behind;
// the kind dispatch of the three stamp kinds.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <climits>
#include <cstdio>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "common/PluginFixture.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFFormElement.h"
#include "engine/CPDFPlacement.h"
#include "stamper/CImageStamp.h"
#include "stamper/CPDFPageStamp.h"
#include "stamper/CTextStamp.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "stamper/StampingRun.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"

namespace {

using stamptest::CountXObjects;
using stamptest::FindWord;
using stamptest::StampCab;
using stamptest::TextPage;
using stamptest::Word;
using stamptest::XObjectCensus;

const char* const kSourceWords[] = {"SourceOne", "SourceTwo", "SourceThree"};

// How a written source differs from a sound one.
enum class SourceFault {
    None,
    PageTwoDamaged,      // page 2's content claims Flate but holds no Flate data
    PageTwoNoResources,  // page 2 has no /Resources, and none up its tree
    RefusesChanges,      // opens without a password, but page changes are not allowed
    NeedsPassword,       // opens only with a user password
};

QPDFObjectHandle FontResources() {
    return QPDFObjectHandle::parse(
        "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >> >> >>");
}

// Three 612 x 792 pages; page n shows kSourceWords[n-1] in 30-point Helvetica
// with its baseline at (100, 600).
void WriteSource(const std::string& path, SourceFault fault = SourceFault::None) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFPageDocumentHelper pages(pdf);
    for (int i = 0; i < 3; ++i) {
        QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 612 792] >>");
        const std::string text = std::string("BT /F1 30 Tf 100 600 Td (") + kSourceWords[i] + ") Tj ET\n";
        QPDFObjectHandle contents = pdf.newStream(text);
        if (i == 1 && fault == SourceFault::PageTwoDamaged) {
            contents.replaceStreamData("this is no deflate data at all", QPDFObjectHandle::newName("/FlateDecode"),
                                       QPDFObjectHandle::newNull());
        }
        page.replaceKey("/Contents", contents);
        if (!(i == 1 && fault == SourceFault::PageTwoNoResources)) page.replaceKey("/Resources", FontResources());
        pages.addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    }
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    if (fault == SourceFault::RefusesChanges)
        writer.setR6EncryptionParameters("", "owner", true, true, false, false, false, false, qpdf_r3p_full, true);
    if (fault == SourceFault::NeedsPassword)
        writer.setR6EncryptionParameters("user", "owner", true, true, true, true, true, true, qpdf_r3p_full, true);
    writer.write();
}

// A visible PDF-page stamp of page `page` of source at `size` percent, 36
// points from the left and the top of each page.
StampCab PageStamp(const std::string& name, const std::string& source, int32_t page, int32_t size = 50) {
    StampCab cab;
    cab.Int(kKeyStampType, kStampTypePDFPage)
        .String(kKeyStampName, name)
        .Text(kKeySourceFile, source)
        .Int(kKeySourcePage, page)
        .Int(kKeySourceSize, size)
        .Int(kKeyOpacity, 100)
        .Bool(kKeyOverlay, true)
        .Int(kKeyUnit, 3)
        .Double(kKeyHorizontalOffset, 36)
        .Double(kKeyVerticalOffset, 36);
    return cab;
}

std::string Formatted(const char* format, const std::string& argument) {
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, format, argument.c_str());
    return buffer;
}

class PDFPageStampTest : public stamptest::StampRunTest {
protected:
    void SetUp() override {
        StampRunTest::SetUp();
        mSource = mFolder.file("source.pdf");
        mTarget = WritePdf("target.pdf", 4);
    }
    // Runs profile `name` on a view of the target; answers the run's result.
    bool RunOnTarget(const std::string& name) {
        mView = OpenView(mTarget);
        const bool result = StampActiveDocumentWithProfile(name.c_str());
        qmtest::TakeAlerts();
        return result;
    }

    std::string mSource;
    std::string mTarget;
    AVDoc mView = nullptr;
};

// --- a working stamp

TEST_F(PDFPageStampTest, PageTwoOfAThreePageSourceStampsEveryPage) {
    WriteSource(mSource);
    std::vector<StampCab> stamps;
    stamps.push_back(PageStamp("Letterhead", mSource, 2));
    WriteProfile("Letterhead", std::move(stamps));

    ASSERT_TRUE(RunOnTarget("Letterhead")) << GetErrorMessage();
    EXPECT_FALSE(HasErrorMessage());
    const std::string output = Save(DocOf(mView), "stamped.pdf");
    EXPECT_EQ(qmtest::qpdfCheck(output).status, 0) << qmtest::qpdfCheck(output).output;

    const std::vector<TextPage> pages = stamptest::ReadTextPages(output);
    ASSERT_EQ(pages.size(), 4u);
    for (size_t i = 0; i < pages.size(); ++i) {
        const TextPage& page = pages[i];
        Word word;
        ASSERT_TRUE(FindWord(page, "SourceTwo", word)) << "page " << i + 1 << ": " << page.Joined();
        EXPECT_FALSE(FindWord(page, "SourceOne", word)) << page.Joined();
        EXPECT_FALSE(FindWord(page, "SourceThree", word)) << page.Joined();
        EXPECT_NE(page.Joined().find("page " + std::to_string(i + 1)), std::string::npos) << "its own content stays";
        // At 50 percent the source's (100, 600) lands 36 + 50 from the left and
        // 36 + (792 - 600) / 2 = 132 from the top (the baseline).
        ASSERT_TRUE(FindWord(page, "SourceTwo", word));
        EXPECT_NEAR(word.xMin, 86, 1.5);
        EXPECT_LT(word.yMin, 132);
        EXPECT_NEAR(word.yMax, 132, 5);
    }
}

TEST_F(PDFPageStampTest, EveryPageRefersToOneFormXObject) {
    WriteSource(mSource);
    std::vector<StampCab> stamps;
    stamps.push_back(PageStamp("Shared", mSource, 1));
    WriteProfile("Shared", std::move(stamps));
    ASSERT_TRUE(RunOnTarget("Shared")) << GetErrorMessage();
    const XObjectCensus census = CountXObjects(Save(DocOf(mView), "shared.pdf"));
    EXPECT_EQ(census.forms, 1) << "the source page is copied once, not once per page";
    ASSERT_EQ(census.pageXObjects.size(), 4u);
    for (const auto& used : census.pageXObjects) EXPECT_EQ(used, census.pageXObjects.front());
    EXPECT_EQ(census.pageXObjects.front().size(), 1u);
}

TEST_F(PDFPageStampTest, BuildSetsTheSourcePageAndTheSizeAsScale) {
    WriteSource(mSource);
    StampCab cab = PageStamp("Three", mSource, 3, 250);
    mView = OpenView(mTarget);
    CPDFPageStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(DocOf(mView))) << stamp.GetMessage();
    ASSERT_NE(stamp.GetFormElement(), nullptr);
    EXPECT_EQ(static_cast<CPDFElement*>(stamp.GetFormElement()), stamp.GetElement());
    EXPECT_EQ(stamp.GetFormElement()->GetSourcePage(), 2);
    EXPECT_EQ(stamp.GetFormElement()->GetSourceDocument().GetPageCount(), 3);
    ASSERT_NE(stamp.GetFormElement()->GetSourcePageContents(2), nullptr);
    EXPECT_NE(stamp.GetFormElement()->GetSourcePageContents(2)->find("(SourceThree) Tj"), std::string::npos);
    EXPECT_EQ(stamp.GetPlacement()->GetScaleX(), 2.5);
    EXPECT_EQ(stamp.GetPlacement()->GetScaleY(), 2.5);
}

TEST_F(PDFPageStampTest, MissingPageAndSizeKeysPlaceTheFirstPageAtFullSize) {
    WriteSource(mSource);
    StampCab cab;
    cab.Int(kKeyStampType, kStampTypePDFPage).Text(kKeySourceFile, mSource);
    mView = OpenView(mTarget);
    CPDFPageStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(DocOf(mView))) << stamp.GetMessage();
    EXPECT_EQ(stamp.GetFormElement()->GetSourcePage(), 0);
    EXPECT_EQ(stamp.GetPlacement()->GetScaleX(), 1.0);
}

TEST_F(PDFPageStampTest, TargetFileCanBeItsOwnSource) {
    std::vector<StampCab> stamps;
    stamps.push_back(PageStamp("Self", mTarget, 3));
    WriteProfile("Self", std::move(stamps));
    ASSERT_TRUE(RunOnTarget("Self")) << GetErrorMessage();
    const std::string output = Save(DocOf(mView), "self.pdf");
    EXPECT_EQ(qmtest::qpdfCheck(output).status, 0);
    const std::vector<TextPage> pages = stamptest::ReadTextPages(output);
    ASSERT_EQ(pages.size(), 4u);
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string text = pages[i].Joined();
        EXPECT_NE(text.find("page 3"), std::string::npos) << "the stamp shows the file's page 3: " << text;
        EXPECT_NE(text.find("page " + std::to_string(i + 1)), std::string::npos) << text;
    }
}

// Encryption alone does not refuse a source: only a refusal of changes does.
TEST_F(PDFPageStampTest, EncryptedSourceThatAllowsChangesIsPlaced) {
    const std::string source = mFolder.file("locked-but-open.pdf");
    qmtest::writeEncryptedPdf(source, "", "owner");
    std::vector<StampCab> stamps;
    stamps.push_back(PageStamp("Open", source, 1));
    WriteProfile("Open", std::move(stamps));
    ASSERT_TRUE(RunOnTarget("Open")) << GetErrorMessage();
    const XObjectCensus census = CountXObjects(Save(DocOf(mView), "open.pdf"));
    EXPECT_EQ(census.forms, 1);
    for (const auto& used : census.pageXObjects) EXPECT_EQ(used.size(), 1u);
}

TEST_F(PDFPageStampTest, UndoTakesTheWholeStampBack) {
    WriteSource(mSource);
    std::vector<StampCab> stamps;
    stamps.push_back(PageStamp("Undone", mSource, 2));
    WriteProfile("Undone", std::move(stamps));
    const std::vector<stamptest::PageState> original = stamptest::AllPageStates(qmtest::HostDoc::open(mTarget).pd());
    ASSERT_TRUE(RunOnTarget("Undone")) << GetErrorMessage();
    ASSERT_TRUE(CPDFElementUndoController::UndoAllElements(mView, nullptr, nullptr));
    EXPECT_EQ(stamptest::AllPageStates(DocOf(mView)), original);
    const XObjectCensus census = CountXObjects(Save(DocOf(mView), "undone.pdf"));
    EXPECT_EQ(census.forms, 0);
}

// --- sources that do not serve

struct SourceFailureRow {
    const char* name;
    // Writes the source file (or not) and answers the path the stamp names.
    std::function<std::string(const std::string& folder)> makeSource;
    int32_t page;
    const char* message;     // the expected text, "%s" standing for its argument
    bool argumentIsPath;     // else the stamp's name
    // The host's reason that follows the message after ": ", where it gives one.
    const char* hostReason = nullptr;
};

std::string SoundSource(const std::string& folder) {
    WriteSource(folder + "/source.pdf");
    return folder + "/source.pdf";
}

std::string FaultySource(const std::string& folder, SourceFault fault) {
    WriteSource(folder + "/source.pdf", fault);
    return folder + "/source.pdf";
}

class PDFPageStampFailure : public PDFPageStampTest, public testing::WithParamInterface<SourceFailureRow> {};

TEST_P(PDFPageStampFailure, ReportsItsMessageAndLeavesNoXObject) {
    const SourceFailureRow& row = GetParam();
    const std::string source = row.makeSource(mFolder.path());
    std::vector<StampCab> stamps;
    stamps.push_back(PageStamp("Cover sheet", source, row.page));
    WriteProfile("Failing", std::move(stamps));

    EXPECT_FALSE(RunOnTarget("Failing"));
    std::string expected = Formatted(row.message, row.argumentIsPath ? source : "Cover sheet");
    if (row.hostReason) {
        const std::string shown = GetErrorMessage();
        ASSERT_EQ(shown.rfind(expected + ": ", 0), 0u) << shown;
        EXPECT_NE(shown.find(row.hostReason, expected.size()), std::string::npos) << shown;
        expected = shown;
    }
    EXPECT_EQ(std::string(GetErrorMessage()), expected);
    EXPECT_NE(LogText().find(expected + "\n"), std::string::npos) << LogText();
    EXPECT_EQ(LastRunLog().end()[-2], "进程出错");

    const std::string output = Save(DocOf(mView), "failed.pdf");
    const auto check = qmtest::qpdfCheck(output);
    EXPECT_EQ(check.status, 0) << check.output;
    const XObjectCensus census = CountXObjects(output);
    EXPECT_EQ(census.forms, 0);
    for (const auto& used : census.pageXObjects) EXPECT_TRUE(used.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PDFPageStampFailure,
    testing::Values(
        SourceFailureRow{"PageNumberPastTheLastPage", SoundSource, 4, "%s 引用的页面不存在", false},
        SourceFailureRow{"PageNumberZero", SoundSource, 0, "%s 引用的页面不存在", false},
        SourceFailureRow{"PageNumberMostNegative", SoundSource, INT32_MIN, "%s 引用的页面不存在", false},
        SourceFailureRow{"MissingFile", [](const std::string& folder) { return folder + "/nowhere.pdf"; }, 1,
                         "源文件 %s 不存在", true},
        SourceFailureRow{"FolderInsteadOfFile", [](const std::string& folder) { return folder; }, 1,
                         "不能打开文档 %s (文件已锁定或已加密)", true, "it is a folder"},
        SourceFailureRow{"NotAPdf",
                         [](const std::string& folder) {
                             qmtest::writeNonPdf(folder + "/plain.pdf");
                             return folder + "/plain.pdf";
                         },
                         1, "不能打开文档 %s (文件已锁定或已加密)", true, "cannot be read as a PDF file: "},
        SourceFailureRow{"EncryptedWithAUserPassword",
                         [](const std::string& folder) { return FaultySource(folder, SourceFault::NeedsPassword); },
                         1, "不能打开文档 %s (文件已锁定或已加密)", true, "needs a password"},
        SourceFailureRow{"EncryptedAgainstChanges",
                         [](const std::string& folder) { return FaultySource(folder, SourceFault::RefusesChanges); },
                         1, "文档不能被修改。请检查文档的安全属性。", false},
        SourceFailureRow{"DamagedPageContent",
                         [](const std::string& folder) { return FaultySource(folder, SourceFault::PageTwoDamaged); },
                         2, "%s 引用的页面已损坏", false},
        SourceFailureRow{"PageWithoutResources",
                         [](const std::string& folder) {
                             return FaultySource(folder, SourceFault::PageTwoNoResources);
                         },
                         2, "%s 引用的页面资源损坏", false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PDFPageStampTest, FailedBuildIsNotBuiltAndKeepsNoObjects) {
    StampCab cab = PageStamp("Gone", mFolder.file("gone.pdf"), 1);
    mView = OpenView(mTarget);
    CPDFPageStamp stamp(cab.Get());
    EXPECT_FALSE(stamp.Build(DocOf(mView)));
    EXPECT_FALSE(stamp.IsBuilt());
    EXPECT_EQ(stamp.GetFormElement(), nullptr);
    EXPECT_EQ(stamp.GetElement(), nullptr);
    EXPECT_EQ(stamp.GetPlacement(), nullptr);
    EXPECT_EQ(stamp.GetPageRangeSet(), nullptr);
    EXPECT_EQ(stamp.GetMessage(), "源文件 " + mFolder.file("gone.pdf") + " 不存在");
}

TEST_F(PDFPageStampTest, NoLogKeepsTheMessageOutOfTheLogButInTheErrorBuffer) {
    StampCab cab = PageStamp("Quiet", mFolder.file("gone.pdf"), 1);
    mView = OpenView(mTarget);
    CPDFPageStamp stamp(cab.Get());
    stamp.SetNoLog(true);
    EXPECT_FALSE(stamp.Build(DocOf(mView)));
    EXPECT_EQ(std::string(GetErrorMessage()), stamp.GetMessage());
    EXPECT_EQ(LogText().find("gone.pdf"), std::string::npos);
}

TEST_F(PDFPageStampTest, FailingSourceEndsTheRunBeforeLaterStamps) {
    std::vector<StampCab> stamps;
    stamps.push_back(PageStamp("Broken", mFolder.file("gone.pdf"), 1));
    stamps.push_back(stamptest::VisibleTextStamp("After", "NEVERWRITTEN"));
    WriteProfile("Stops", std::move(stamps));
    EXPECT_FALSE(RunOnTarget("Stops"));
    const std::vector<TextPage> pages = stamptest::ReadTextPages(Save(DocOf(mView), "stopped.pdf"));
    for (const TextPage& page : pages) EXPECT_EQ(page.Joined().find("NEVERWRITTEN"), std::string::npos);
}

// --- the kind dispatch

struct KindRow {
    const char* name;
    int32_t type;
    const char* kind;  // "text", "image", "page" or "" for none
};

class KindDispatch : public PDFPageStampTest, public testing::WithParamInterface<KindRow> {};

TEST_P(KindDispatch, TypeMakesItsKind) {
    StampCab cab;
    cab.String(kKeyStampName, "Kind");
    if (GetParam().type != INT32_MIN) cab.Int(kKeyStampType, GetParam().type);
    const std::unique_ptr<CStamp> stamp = MakeStampForCabinet(cab.Get());
    const std::string kind = GetParam().kind;
    if (kind.empty()) {
        EXPECT_EQ(stamp, nullptr);
        return;
    }
    ASSERT_NE(stamp, nullptr);
    EXPECT_EQ(stamp->GetCab(), cab.Get());
    EXPECT_FALSE(stamp->OwnsCab());
    EXPECT_EQ(dynamic_cast<CTextStamp*>(stamp.get()) != nullptr, kind == "text");
    EXPECT_EQ(dynamic_cast<CImageStamp*>(stamp.get()) != nullptr, kind == "image");
    // The image kind is a PDF-page kind too.
    EXPECT_EQ(dynamic_cast<CPDFPageStamp*>(stamp.get()) != nullptr, kind == "image" || kind == "page");
}

INSTANTIATE_TEST_SUITE_P(Kinds, KindDispatch,
                         testing::Values(KindRow{"Missing", INT32_MIN, "text"}, KindRow{"Text", 0, "text"},
                                         KindRow{"Image", 1, "image"}, KindRow{"PDFPage", 2, "page"},
                                         KindRow{"Unknown", 3, ""}, KindRow{"Negative", -1, ""}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(PDFPageStampCabinet, OwnConstructorsStoreTheirKind) {
    qmtest::StartLinkedPlugin();
    const CPDFPageStamp page;
    EXPECT_TRUE(page.OwnsCab());
    EXPECT_EQ(page.GetType(), kStampTypePDFPage);
    const CImageStamp image;
    EXPECT_TRUE(image.OwnsCab());
    EXPECT_EQ(image.GetType(), kStampTypeImage);
    EXPECT_EQ(image.GetFormElement(), nullptr);
    EXPECT_EQ(image.GetImageElement(), nullptr);
}

}  // namespace
