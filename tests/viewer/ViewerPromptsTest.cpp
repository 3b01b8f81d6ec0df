// The desktop's own questions (not the scripted ones the other tests answer):
// the batch sequence's question about files already in the output folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QDialog>
#include <QMessageBox>

#include "ViewerFixture.h"
#include "viewer/ViewerPrompts.h"

using namespace qmviewertest;
using qmviewer::ReplaceAnswer;

namespace {

class DesktopPrompts : public ::testing::Test {
    DesktopPromptsInUse mDesktop;
};

TEST_F(DesktopPrompts, TheReplaceQuestionNamesTheFilesThereAndOffersReplaceSkipAndCancel) {
    const struct {
        const char* button;  // null: Esc
        QStringList existing;
        ReplaceAnswer answer;
        QString text, choices;
        const char* screenshot;
    } rows[] = {
        {"Replace", {"b1.pdf"}, ReplaceAnswer::Replace, "The folder \"/out\" already holds a file named \"b1.pdf\".",
         "Replace it with the stamped file, or skip it and stamp the other 2 files?", "viewer-replace-question"},
        {"Skip", {"b1.pdf", "b2.pdf", "b3.pdf"}, ReplaceAnswer::Skip,
         "The folder \"/out\" already holds 3 files with the names of files to stamp:\n\nb1.pdf\nb2.pdf\nb3.pdf",
         "Replace them with the stamped files, or skip them?", "viewer-replace-question-all"},
        {nullptr, {"b1.pdf"}, ReplaceAnswer::Cancel, "The folder \"/out\" already holds a file named \"b1.pdf\".",
         "Replace it with the stamped file, or skip it and stamp the other 2 files?", nullptr},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button ? row.button : "Esc");
        ReplaceAnswer answer = ReplaceAnswer::Replace;
        QString text, choices;
        ASSERT_TRUE(WithNextModal(
            [&] { answer = qmviewer::prompts().askReplace(nullptr, "/out", row.existing, 3); },
            [&](QDialog* dialog) {
                auto* box = qobject_cast<QMessageBox*>(dialog);
                ASSERT_NE(box, nullptr);
                text = box->text();
                choices = box->informativeText();
                if (row.screenshot) SaveScreenshot(box, row.screenshot);
                if (!row.button) {
                    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                    QApplication::sendEvent(box, &escape);
                    return;
                }
                box->findChild<QAbstractButton*>(row.button)->click();
            }));
        EXPECT_EQ(answer, row.answer);
        EXPECT_EQ(text.toStdString(), row.text.toStdString());
        EXPECT_EQ(choices.toStdString(), row.choices.toStdString());
    }
}

}  // namespace
