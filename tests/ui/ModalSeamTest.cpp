// The desktop's answers to the plug-in's questions: Qt's own dialogs, with
// Qt's own texts in the plug-in's language while the plug-in asks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <functional>

#include "UiTestSupport.h"
#include "ui/ModalSeam.h"

namespace {

TEST(ModalSeam, QtsOwnTextsSpeakThePluginsLanguageWhileItAsks) {
    ui::SetModalSeam(nullptr);
    ui::FileDialogRequest save;
    save.title = QString::fromUtf8("导出描述文件");
    save.save = true;
    const struct {
        const char* screenshot;  // none for the colour dialog
        std::function<void()> ask;
        QStringList shown, notShown;
    } rows[] = {
        {"question-yes-no",
         [] {
             ui::GetModalSeam().MessageBox(nullptr, QStringLiteral("Quillmark"), QString::fromUtf8("确信要删除本印章?"),
                                           QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
         },
         {QString::fromUtf8("是(&Y)")},
         {"Yes"}},
        {"file-dialog", [&] { ui::GetModalSeam().FileDialog(nullptr, save); }, {}, {"Look in", "File name"}},
        {nullptr, [] { ui::GetModalSeam().ColourDialog(nullptr, Qt::black); }, {}, {"Basic colors"}},
    };
    for (const auto& row : rows) {
        QStringList texts;
        uitest::AnswerNextModal([&](QWidget* inModal) {
            for (const QAbstractButton* button : inModal->findChildren<QAbstractButton*>()) texts << button->text();
            for (const QLabel* label : inModal->findChildren<QLabel*>()) texts << label->text();
            if (row.screenshot) uitest::SaveScreenshot(inModal, row.screenshot);
        });
        row.ask();
        const QString all = texts.join(QChar('|'));
        for (const QString& text : row.shown) EXPECT_TRUE(texts.contains(text)) << all.toStdString();
        for (const QString& text : row.notShown) EXPECT_FALSE(all.contains(text)) << all.toStdString();
    }
    // The host's own texts are left in their language once the question is answered.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}

}  // namespace
