// What a run warns about (text that does not fit, a font that is not
// installed, ...) reaches the viewer's user once the run is over, in one
// message, whether the run was started from the menu or the stamp manager.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "viewer/DocumentWindow.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;

namespace {

class ViewerRunWarnings : public ::testing::Test {
protected:
    void SetUp() override {
        CloseEverything();
        ImportProfile("Warns", R"({"kNumberOfStamps": 5,
          "kStamp0": {"kStampNameE": "W", "kTextE": ")" + std::string(2000, 'w') + R"(", "kSizeE": 40,
                      "kWordWrapCH": true, "kVerticalS": 1, "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0},
          "kStamp1": {"kStampNameE": "F", "kTextE": "Fallback", "kTypeC": 1, "kStyleSystemC": "NoSuchFont-Quillmark",
                      "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0},
          "kStamp2": {"kStampNameE": "Off", "kTextE": "x", "kUnitC": 0, "kHorizontalS": 20, "kOpacityS": 100},
          "kStamp3": {"kStampNameE": "None", "kTextE": "x", "kPages": 1, "kPagesE": "2-2odd", "kOpacityS": 100},
          "kStamp4": {"kStampNameE": "CJK", "kTextE": "\u4e2d", "kStyleStandardC": 4, "kOpacityS": 100}})");
    }
    void TearDown() override {
        CloseEverything();
        DeleteProfile("Warns");
    }
    qmtest::FixtureFolder mFolder;
};

TEST_F(ViewerRunWarnings, ARunsWarningsComeTogetherInOneMessageOnceItIsOver) {
    const struct {
        const char* name;
        std::function<void(qmviewer::DocumentWindow*)> run;
    } rows[] = {
        {"from the menu",
         [](qmviewer::DocumentWindow* window) {
             QAction* warns = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Warns"});
             ASSERT_NE(warns, nullptr);
             warns->trigger();
         }},
        {"from the stamp manager",
         [](qmviewer::DocumentWindow* window) {
             MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SManageStamps"})->trigger();
             QWidget* manager = nullptr;
             for (QWidget* top : QApplication::topLevelWidgets())
                 if (top->objectName() == "CProfilesDlg" && top->isVisible()) manager = top;
             ASSERT_NE(manager, nullptr);
             ASSERT_TRUE(PickProfileAndStamp(manager, "Warns"));
         }},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string input = mFolder.file("in" + std::to_string(++n) + ".pdf");
        qmtest::writeSimplePdf(input, 2);
        qmviewer::DocumentWindow* window = OpenAndDraw(input);
        ASSERT_NE(window, nullptr);
        Prompts().clear();
        row.run(window);
        ASSERT_TRUE(WaitFor([] { return !Viewer().busy() && !Prompts().messages.isEmpty(); }));
        QApplication::processEvents();
        ASSERT_EQ(Prompts().messages.size(), 1) << Prompts().messages.join("\n---\n").toStdString();
        const QString said = Prompts().messages[0];
        EXPECT_TRUE(said.contains("Warning: the word-wrapped text of the stamp \"W\" does not fit on page 1"))
            << said.toStdString();
        EXPECT_TRUE(said.contains("Warning: the system font \"NoSuchFont-Quillmark\" of the stamp \"F\" is not installed"))
            << said.toStdString();
        for (const char* warning : {"the stamp \"Off\" lands on no visible part of pages 1-2",
                                    "the stamp \"None\" is placed on no page",
                                    "cannot show some characters of the stamp \"CJK\""})
            EXPECT_TRUE(said.contains(warning)) << warning << "\n" << said.toStdString();
        EXPECT_EQ(Prompts().messagesDuringRuns, QList<bool>{false}) << "shown once the run is over";
        CloseEverything();
    }
}

}  // namespace
