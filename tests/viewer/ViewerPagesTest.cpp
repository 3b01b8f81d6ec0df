// Pages in the desktop host's window: navigation, the zoom modes, only the
// visible pages drawn into a bounded cache, and a page drawn again when the
// document's contents change.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>

#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "viewer/DocumentWindow.h"
#include "viewer/PageView.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;
using qmviewer::ZoomMode;

namespace {

class ViewerPages : public ::testing::Test {
protected:
    void SetUp() override { CloseEverything(); }
    void TearDown() override { CloseEverything(); }

    QAction* viewAction(qmviewer::DocumentWindow* window, const char* name) {
        return MenuAction(window, {"View", QString::fromLatin1(name)});
    }
    qmtest::FixtureFolder mFolder;
};

TEST_F(ViewerPages, NavigationMovesThroughTheDocument) {
    qmtest::writeSimplePdf(mFolder.file("nav.pdf"), 12);
    qmviewer::DocumentWindow* window = OpenAndDraw(mFolder.file("nav.pdf"));
    ASSERT_NE(window, nullptr);
    qmviewer::PageView* pages = window->pages();
    pages->setZoom({ZoomMode::FitPage, 100});
    struct Step {
        const char* action;
        int page;  // 0-based, after the action
    };
    const Step steps[] = {{"GoNext", 1}, {"GoNext", 2}, {"GoLast", 11}, {"GoNext", 11},
                          {"GoPrevious", 10}, {"GoFirst", 0}, {"GoPrevious", 0}};
    for (const Step& step : steps) {
        viewAction(window, step.action)->trigger();
        EXPECT_EQ(pages->currentPage(), step.page) << step.action;
    }
    // Go to page asks for the number; cancel stays.
    Prompts().pageAnswers = {7, 0};
    viewAction(window, "GoToPage")->trigger();
    EXPECT_EQ(pages->currentPage(), 6);
    viewAction(window, "GoToPage")->trigger();
    EXPECT_EQ(pages->currentPage(), 6);
    // The page box in the toolbar follows, and typing a number goes there.
    auto* box = window->findChild<QSpinBox*>("PageNumber");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->value(), 7);
    EXPECT_EQ(box->maximum(), 12);
    box->setValue(3);
    EXPECT_EQ(pages->currentPage(), 2);
    // Scrolling by hand changes the current page too.
    pages->verticalScrollBar()->setValue(pages->verticalScrollBar()->maximum());
    EXPECT_EQ(pages->currentPage(), 11);
    EXPECT_EQ(box->value(), 12);
}

TEST_F(ViewerPages, ZoomModesSizeThePagesToTheWindow) {
    qmtest::writeSimplePdf(mFolder.file("zoom.pdf"), 3);
    qmviewer::DocumentWindow* window = OpenAndDraw(mFolder.file("zoom.pdf"));
    ASSERT_NE(window, nullptr);
    qmviewer::PageView* pages = window->pages();
    const QSize view = pages->viewport()->size();
    viewAction(window, "ViewFitPage")->trigger();
    const double fitPage = pages->zoomPercent();
    const double pageHeight = 792 * fitPage / 100 * qmviewer::kPixelsPerPointAt100;
    EXPECT_LE(pageHeight, view.height());
    EXPECT_GT(pageHeight, view.height() - 40) << "fit page fills the height of a tall window";
    viewAction(window, "ViewFitWidth")->trigger();
    EXPECT_NEAR(612 * pages->zoomPercent() / 100 * qmviewer::kPixelsPerPointAt100, view.width() - 16, 1.0);
    viewAction(window, "ViewActualSize")->trigger();
    EXPECT_NEAR(pages->zoomPercent(), 100.0, 1e-9);
    viewAction(window, "ViewZoomIn")->trigger();
    EXPECT_NEAR(pages->zoomPercent(), 125.0, 1e-9);
    for (int i = 0; i < 20; ++i) viewAction(window, "ViewZoomIn")->trigger();
    EXPECT_NEAR(pages->zoomPercent(), 800.0, 1e-9);
    for (int i = 0; i < 20; ++i) viewAction(window, "ViewZoomOut")->trigger();
    EXPECT_NEAR(pages->zoomPercent(), 25.0, 1e-9);
    // The toolbar's choice sets percentages too, and the drawing follows the zoom.
    auto* choice = window->findChild<QComboBox*>("ZoomChoice");
    ASSERT_NE(choice, nullptr);
    const int twoHundred = choice->findText("200%");
    choice->setCurrentIndex(twoHundred);
    emit choice->activated(twoHundred);
    EXPECT_NEAR(pages->zoomPercent(), 200.0, 1e-9);
    // Typed percentages are taken within the range; a fit mode is shown by its name.
    struct Typed {
        const char* text;
        double percent;
        const char* shown;
    };
    const Typed typed[] = {{"350", 350, "350%"}, {"9000 %", 800, "800%"}, {"nonsense", 800, "800%"}, {"200%", 200, "200%"}};
    for (const Typed& row : typed) {
        choice->setEditText(QString::fromLatin1(row.text));
        emit choice->lineEdit()->editingFinished();
        EXPECT_NEAR(pages->zoomPercent(), row.percent, 1e-9) << row.text;
        EXPECT_EQ(choice->currentText().toStdString(), row.shown) << row.text;
    }
    viewAction(window, "ViewFitPage")->trigger();
    EXPECT_EQ(choice->currentText(), "Fit Page");
    pages->setZoom({ZoomMode::Percent, 200});
    ASSERT_TRUE(WaitForDrawing(window));
    EXPECT_EQ(pages->drawnPage(pages->currentPage()).width(),
              static_cast<int>(std::lround(612 * 2 * qmviewer::kPixelsPerPointAt100)));
}

TEST_F(ViewerPages, OnlyVisiblePagesAreDrawnAndTheCacheStaysBounded) {
    qmtest::writeSimplePdf(mFolder.file("long.pdf"), 400);
    qmviewer::DocumentWindow* window = OpenAndDraw(mFolder.file("long.pdf"));
    ASSERT_NE(window, nullptr);
    qmviewer::PageView* pages = window->pages();
    EXPECT_EQ(pages->pageCount(), 400);
    ASSERT_TRUE(WaitFor([pages] { return pages->cache().count() >= 2; }));
    EXPECT_LE(pages->cache().count(), 4u) << "the visible page and its neighbours, nothing more";
    // Scrolling through the whole document keeps memory within the cache's budget.
    pages->setZoom({ZoomMode::Percent, 200});
    for (int page = 0; page < 400; page += 13) {
        pages->goToPage(page);
        ASSERT_TRUE(WaitForDrawing(window)) << page;
        EXPECT_LE(pages->cache().bytes(), pages->cache().budget());
    }
    EXPECT_LT(pages->cache().count(), 25u);
    EXPECT_FALSE(pages->drawnPage(pages->currentPage()).isNull());
}

}  // namespace
