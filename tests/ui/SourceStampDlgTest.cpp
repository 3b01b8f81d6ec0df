// The PDF-page and image design dialogs: defaults, the source file's browse
// and page count, and refused sources.
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "DesignDialogFixture.h"
#include "common/ImageFixtures.h"
#include "common/PdfFixtures.h"
#include "qmhost/ASExtraTable.h"
#include "stamper/StampKeys.h"
#include "support/HostTables.h"
#include "support/HostVersion.h"

namespace uitest {
namespace {

class SourceStampDlg : public DesignDialogTest {
protected:
    void TearDown() override {
        qmhost::setHostMajorVersion(8);
        DesignDialogTest::TearDown();
    }
    std::string File(const char* inName) const { return mFolder + "/" + inName; }
    void Name() { Control<QLineEdit>("1014")->setText(QStringLiteral("source")); }
};

TEST_F(SourceStampDlg, NewPDFStampShowsFullSizeAndPageOne) {
    auto stamp = NewStamp(kStampTypePDFPage);
    ASSERT_TRUE(Open(*stamp));
    EXPECT_EQ(mDialog->windowTitle(), QStringLiteral("设计 PDF 印章"));
    EXPECT_EQ(Control<QSpinBox>("1016")->value(), 100);
    EXPECT_EQ(dynamic_cast<CIntField&>(*Control<QSpinBox>("1016")).Maximum(), 4800);
    EXPECT_EQ(Control<QSpinBox>("1017")->value(), 1);
    EXPECT_TRUE(Control<QWidget>("1017")->isVisibleTo(mDialog));
    EXPECT_EQ(Control<QSpinBox>("1025")->value(), 100);
    SaveScreenshot(mDialog, "dialog-pdf-stamp");
}

TEST_F(SourceStampDlg, ChosenPDFLimitsThePageToItsCount) {
    qmtest::writeSimplePdf(File("three.pdf"), 3);
    auto stamp = NewStamp(kStampTypePDFPage);
    ASSERT_TRUE(Open(*stamp));
    auto* page = Control<QSpinBox>("1017");
    page->setValue(5);
    mSeam->files.push_back(QString::fromStdString(File("three.pdf")));
    Control<QAbstractButton>("1050")->click();
    EXPECT_EQ(Control<QLineEdit>("1015")->text().toStdString(), File("three.pdf"));
    EXPECT_EQ(page->value(), 3);
    EXPECT_EQ(dynamic_cast<CIntField&>(*page).Maximum(), 3);
    // A cancelled browse changes nothing.
    Control<QAbstractButton>("1050")->click();
    EXPECT_EQ(Control<QLineEdit>("1015")->text().toStdString(), File("three.pdf"));
    Name();
    page->setValue(2);
    Press("1");
    ASSERT_EQ(mDone, std::optional<bool>(true));
    EXPECT_EQ(gASExtraHFT->cabGetInt(stamp->GetCab(), kKeySourcePage, 0), 2);
    EXPECT_EQ(gASExtraHFT->cabGetType(stamp->GetCab(), kKeySourceFile), kASCabValueText);
    EXPECT_EQ(gASExtraHFT->cabGetInt(stamp->GetCab(), kKeySourceSize, 0), 100);
}

TEST_F(SourceStampDlg, StoredPageBeyondTheSourceIsCutOnLoad) {
    qmtest::writeSimplePdf(File("two.pdf"), 2);
    auto stamp = NewStamp(kStampTypePDFPage);
    gASExtraHFT->cabPutText(stamp->GetCab(), kKeySourceFile, gASExtraHFT->textFromUTF8(File("two.pdf").c_str()));
    gASExtraHFT->cabPutInt(stamp->GetCab(), kKeySourcePage, 9);
    ASSERT_TRUE(Open(*stamp, true));
    EXPECT_EQ(Control<QSpinBox>("1017")->value(), 2);
}

TEST_F(SourceStampDlg, BrowseFiltersFollowTheHostVersion) {
    const struct {
        int version;
        int32_t type;
        QString filter;
    } rows[] = {
        {5, kStampTypePDFPage, "All supported types (*.pdf);;PDF Files (*.pdf)"},
        {8, kStampTypePDFPage, "All supported types (*.pdf);;PDF Files (*.pdf)"},
        {5, kStampTypeImage,
         "All supported types (*.jpg *.jpeg *.jpe *.jfif *.tif *.tiff);;JPEG (*.jpg *.jpeg *.jpe *.jfif);;"
         "TIFF (*.tif *.tiff)"},
        {8, kStampTypeImage,
         "All supported types (*.jpg *.jpeg *.jpe *.jfif *.tif *.tiff *.png *.gif *.bmp *.dib);;"
         "JPEG (*.jpg *.jpeg *.jpe *.jfif);;TIFF (*.tif *.tiff);;PNG (*.png);;GIF (*.gif);;BMP (*.bmp *.dib)"},
    };
    for (const auto& row : rows) {
        qmhost::setHostMajorVersion(row.version);
        auto stamp = NewStamp(row.type);
        ASSERT_TRUE(Open(*stamp));
        mSeam->fileRequests.clear();
        Control<QAbstractButton>("1050")->click();
        ASSERT_EQ(mSeam->fileRequests.size(), 1u);
        EXPECT_EQ(mSeam->fileRequests[0].filter, row.filter) << row.version << " " << row.type;
        EXPECT_EQ(mSeam->fileRequests[0].defaultExt, QStringLiteral("pdf"));
        Press("2");
    }
}

TEST_F(SourceStampDlg, ImageDialogHidesThePage) {
    auto stamp = NewStamp(kStampTypeImage);
    gASExtraHFT->cabPutInt(stamp->GetCab(), kKeySourcePage, 4);
    ASSERT_TRUE(Open(*stamp, true));
    EXPECT_EQ(mDialog->windowTitle(), QStringLiteral("设计图像印章"));
    for (const char* id : {"1017", "1088"}) EXPECT_FALSE(Control<QWidget>(id)->isVisibleTo(mDialog)) << id;
    EXPECT_EQ(Control<QSpinBox>("1017")->value(), 4);
    SaveScreenshot(mDialog, "dialog-image-stamp");
}

TEST_F(SourceStampDlg, BadSourcesAreRefusedAndNothingIsStored) {
    qmtest::writeNonPdf(File("text.pdf"));
    qmtest::writeBytes(File("text.jpg"), "not an image at all");
    imagetest::WriteJpeg(File("good.jpg"), imagetest::JpegColor::RGB, 4, 4);
    qmtest::writeSimplePdf(File("good.pdf"), 1);
    const struct {
        int version;
        int32_t type;
        std::string source;
        std::string alert;  // empty: accepted
    } rows[] = {
        {8, kStampTypePDFPage, "", "请选择源 PDF"},
        {8, kStampTypePDFPage, File("none.pdf"), "源文件 " + File("none.pdf") + " 不存在"},
        {8, kStampTypePDFPage, File("text.pdf"), "不能打开文档 " + File("text.pdf") + " (文件已锁定或已加密)"},
        {8, kStampTypePDFPage, mFolder, "源文件 " + mFolder + " 不存在"},
        {8, kStampTypeImage, "", "请插入源图像"},
        {8, kStampTypeImage, File("none.jpg"), "源图像文件 " + File("none.jpg") + " 不存在"},
        {8, kStampTypeImage, File("text.jpg"), "创建图像 " + File("text.jpg") + " 出错"},
        {5, kStampTypeImage, File("text.jpg"), "创建图像 " + File("text.jpg") + " 出错"},
        {5, kStampTypeImage, File("good.pdf"), "创建图像 " + File("good.pdf") + " 出错"},
        {5, kStampTypeImage, File("good.jpg"), ""},
        {8, kStampTypeImage, File("good.jpg"), ""},
        {8, kStampTypePDFPage, File("good.pdf"), ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.source + " v" + std::to_string(row.version));
        qmhost::setHostMajorVersion(row.version);
        auto stamp = NewStamp(row.type);
        ASSERT_TRUE(Open(*stamp));
        Name();
        Control<QLineEdit>("1015")->setText(QString::fromStdString(row.source));
        Alerts();
        Press("1");
        const std::vector<std::string> alerts = Alerts();
        if (row.alert.empty()) {
            EXPECT_TRUE(alerts.empty());
            EXPECT_EQ(mDone, std::optional<bool>(true));
            EXPECT_EQ(gASExtraHFT->cabGetType(stamp->GetCab(), kKeySourceFile), kASCabValueText);
        } else {
            ASSERT_FALSE(alerts.empty());
            EXPECT_EQ(alerts.back(), row.alert);
            EXPECT_FALSE(mDone.has_value());
            EXPECT_EQ(gASExtraHFT->cabGetType(stamp->GetCab(), kKeySourceFile), kASCabValueNone);
        }
        if (CStampDlg::GetOpenDesignDialog()) Press("2");
    }
}

}  // namespace
}  // namespace uitest
