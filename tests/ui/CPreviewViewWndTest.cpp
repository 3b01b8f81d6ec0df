// The preview window and the select-file dialog: the page drawn only when a
// document is set and can be drawn; file filters in Qt's form; the dialog's
// texts and mode reaching the modal seam.
#include <gtest/gtest.h>

#include <QImage>

#include "ManagerFixture.h"
#include "engine/CPDFDocument.h"
#include "ui/CPreviewViewWnd.h"
#include "ui/CSelectFileDialog.h"

namespace {

// The share of the picture's pixels that have exactly inColour.
double Share(const QImage& inImage, QColor inColour) {
    int same = 0;
    for (int y = 0; y < inImage.height(); ++y)
        for (int x = 0; x < inImage.width(); ++x)
            if (inImage.pixelColor(x, y).rgb() == inColour.rgb()) ++same;
    return double(same) / (inImage.width() * inImage.height());
}

using PreviewViewWndTest = uitest::ManagerTest;

TEST_F(PreviewViewWndTest, DrawsThePageOnlyWhenThereIsOneToDraw) {
    CPreviewViewWnd preview;
    preview.resize(61, 79);
    const QColor face = preview.palette().color(QPalette::Button);
    EXPECT_EQ(Share(preview.grab().toImage(), face), 1.0) << "no document: only the background";

    CPDFDocument empty;  // holds no document: drawing fails
    preview.SetDocument(&empty);
    EXPECT_EQ(Share(preview.grab().toImage(), face), 1.0) << "a page that cannot be drawn leaves the background";
    EXPECT_TRUE(preview.GetPageImage().isNull());

    CPDFDocument blank;
    ASSERT_TRUE(blank.CreateNew());
    preview.SetDocument(&blank);
    preview.SetScale(10.0);  // 612 x 792 points at 10 %
    const QImage drawn = preview.grab().toImage();
    EXPECT_GT(Share(drawn, Qt::white), 0.95) << "the blank page fills the window";
    EXPECT_FALSE(preview.GetPageImage().isNull());
    preview.SetDocument(nullptr);
    EXPECT_EQ(Share(preview.grab().toImage(), face), 1.0);
}

struct FilterRow {
    const char* given;
    const char* qt;
};

TEST(SelectFileDialog, FiltersBecomeQtFilters) {
    const FilterRow rows[] = {
        {"Quillmark 描述文件(*.nxp)|*.nxp||", "Quillmark 描述文件(*.nxp)"},
        {"PDF files|*.pdf||", "PDF files (*.pdf)"},
        {"Images|*.jpg;*.tif|All files|*.*||", "Images (*.jpg *.tif);;All files (*.*)"},
        {"", ""},
    };
    for (const FilterRow& row : rows)
        EXPECT_EQ(CSelectFileDialog::ToQtFilter(QString::fromUtf8(row.given)), QString::fromUtf8(row.qt)) << row.given;
}

TEST(SelectFileDialog, AsksThroughTheSeamWithItsTitleTextAndMode) {
    uitest::ScriptedSeam seam;
    seam.files = {"/tmp/chosen.nxp", ""};
    CSelectFileDialog open("Title", "", "nxp", "start.nxp", "Profiles|*.nxp||", nullptr);
    ASSERT_TRUE(open.DoModal());
    EXPECT_EQ(open.GetPathName(), "/tmp/chosen.nxp");
    CSelectFileDialog save(false, "Save it", "Keep", "nxp", "", "Profiles|*.nxp||", nullptr);
    EXPECT_FALSE(save.DoModal()) << "cancelled";
    ASSERT_EQ(seam.fileRequests.size(), 2u);
    EXPECT_FALSE(seam.fileRequests[0].save);
    EXPECT_EQ(seam.fileRequests[0].okText, "Select") << "the default accept text";
    EXPECT_EQ(seam.fileRequests[0].initialPath, "start.nxp");
    EXPECT_TRUE(seam.fileRequests[1].save);
    EXPECT_EQ(seam.fileRequests[1].title, "Save it");
    EXPECT_EQ(seam.fileRequests[1].okText, "Keep");
    EXPECT_EQ(seam.fileRequests[1].defaultExt, "nxp");
}

}  // namespace
