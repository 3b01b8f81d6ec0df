// The desktop host on a real X server: the sample document stamped through
// Extensions > Quillmark > Stamp > Court is drawn again with the stamp, Undo
// takes it back, Save As writes a sound file; screenshots go to the build folder.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QToolBar>

#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "viewer/DocumentSnapshot.h"
#include "viewer/DocumentWindow.h"
#include "viewer/PageView.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;

namespace {

// The stamps of the sample profile, in points from the page's top-left corner
// (Letter, 612 x 792): the Bates number right-aligned half an inch from the
// right edge, 0.4 inch down; the footer centred 0.4 inch above the bottom.
const QRectF kBatesArea(380, 20, 212, 30);
const QRectF kFooterArea(200, 740, 212, 32);
const QRectF kQuietArea(120, 300, 372, 200);  // no stamp goes here

QRect pixels(const QRectF& points, double scale) {
    return QRect(qRound(points.left() * scale), qRound(points.top() * scale), qRound(points.width() * scale),
                 qRound(points.height() * scale));
}

bool redrawnAfter(qmviewer::DocumentWindow* window, uint64_t generation) {
    return WaitFor([&] {
        return window->pages()->shownGeneration() != generation && window->pages()->visiblePagesDrawn();
    });
}

TEST(ViewerOnScreen, StampIsDrawnUndoTakesItBackAndSaveAsWritesASoundFile) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "run under an X server (xvfb-run)";
    qmviewer::DocumentWindow* window = OpenAndDraw(SamplePath("sample.pdf"));
    ASSERT_NE(window, nullptr);
    window->resize(1000, 1100);
    window->pages()->setZoom({qmviewer::ZoomMode::FitPage, 100});
    ASSERT_TRUE(WaitForDrawing(window));
    const double scale = window->pages()->zoomPercent() / 100.0 * qmviewer::kPixelsPerPointAt100;
    const QImage plain = window->pages()->drawnPage(0);
    ASSERT_FALSE(plain.isNull());

    QAction* court = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"});
    ASSERT_NE(court, nullptr);
    ASSERT_TRUE(court->isEnabled());
    uint64_t generation = window->pages()->shownGeneration();
    court->trigger();
    ASSERT_TRUE(Prompts().messages.isEmpty()) << Prompts().messages.join("\n").toStdString();
    ASSERT_TRUE(redrawnAfter(window, generation)) << "the page is drawn again after the stamp";
    const QImage stamped = window->pages()->drawnPage(0);
    EXPECT_GT(DifferingPixels(plain, stamped, pixels(kBatesArea, scale)), 30) << "the Bates number shows";
    EXPECT_GT(DifferingPixels(plain, stamped, pixels(kFooterArea, scale)), 30) << "the footer shows";
    EXPECT_EQ(DifferingPixels(plain, stamped, pixels(kQuietArea, scale)), 0) << "nothing else changed";
    EXPECT_TRUE(window->isWindowModified());
    QApplication::processEvents();
    SaveScreenshot(window, "viewer-stamped");
    // The plug-in's menu, open, with its Chinese items.
    QAction* holder = MenuAction(window, {"Extensions", "VELM:Quillmark"});
    ASSERT_TRUE(holder && holder->menu());
    holder->menu()->popup(window->mapToGlobal(QPoint(160, 40)));
    ASSERT_TRUE(WaitFor([&] { return holder->menu()->isVisible(); }));
    QApplication::processEvents();
    SaveScreenshot(holder->menu(), "viewer-quillmark-menu");
    holder->menu()->hide();

    QAction* undo = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SUndo"});
    ASSERT_NE(undo, nullptr);
    ASSERT_TRUE(undo->isEnabled());
    generation = window->pages()->shownGeneration();
    undo->trigger();
    ASSERT_TRUE(redrawnAfter(window, generation)) << "the page is drawn again after the undo";
    EXPECT_EQ(DifferingPixels(plain, window->pages()->drawnPage(0), plain.rect()), 0) << "undo takes it all back";

    // Stamped once more through the toolbar button's drop-down, then saved as a new file.
    QAction* button = nullptr;
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->objectName() == "VELM:SStampT") button = action;
    ASSERT_TRUE(button && button->menu());
    emit button->menu()->aboutToShow();
    QMenu* stampMenu = button->menu()->actions().value(0)->menu();
    ASSERT_NE(stampMenu, nullptr);
    emit stampMenu->aboutToShow();
    QAction* again = nullptr;
    for (QAction* action : stampMenu->actions())
        if (action->text() == "Court") again = action;
    ASSERT_NE(again, nullptr);
    generation = window->pages()->shownGeneration();
    again->trigger();
    ASSERT_TRUE(redrawnAfter(window, generation));
    qmtest::FixtureFolder out;
    const std::string saved = out.file("sample-stamped.pdf");
    Prompts().saveAnswers = {QString::fromStdString(saved)};
    MenuAction(window, {"File", "FileSaveAs"})->trigger();
    const qmtest::CommandResult check = qmtest::qpdfCheck(saved);
    EXPECT_EQ(check.status, 0) << check.output;
    EXPECT_NE(qmtest::runCommand("pdftotext -l 1 " + qmtest::shellQuote(saved) + " -").output.find("QM-"),
              std::string::npos);
    EXPECT_FALSE(window->isWindowModified());
    SaveScreenshot(window, "viewer-saved");
    CloseEverything();
}

}  // namespace
