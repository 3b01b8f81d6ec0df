// The desktop's answers to the plug-in's questions: Qt's own dialogs, with
// Qt's own texts in the plug-in's language while the plug-in asks.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>

#include "UiTestSupport.h"
#include "ui/ModalSeam.h"

namespace {

QStringList TextsOf(QWidget* inWindow) {
    QStringList texts;
    for (const QAbstractButton* button : inWindow->findChildren<QAbstractButton*>()) texts << button->text();
    for (const QLabel* label : inWindow->findChildren<QLabel*>()) texts << label->text();
    return texts;
}

TEST(ModalSeam, QtsOwnTextsSpeakThePluginsLanguageWhileItAsks) {
    ui::SetModalSeam(nullptr);
    QStringList box;
    uitest::AnswerNextModal([&](QWidget* inModal) {
        box = TextsOf(inModal);
        uitest::SaveScreenshot(inModal, "question-yes-no");
    });
    ui::GetModalSeam().MessageBox(nullptr, QStringLiteral("Quillmark"), QString::fromUtf8("确信要删除本印章?"),
                                  QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
    std::string all = box.join(QChar('|')).toStdString();
    EXPECT_TRUE(box.contains(QString::fromUtf8("是(&Y)"))) << all;
    EXPECT_FALSE(box.join(QChar('|')).contains(QStringLiteral("Yes"))) << all;

    QStringList files;
    uitest::AnswerNextModal([&](QWidget* inModal) {
        files = TextsOf(inModal);
        uitest::SaveScreenshot(inModal, "file-dialog");
    });
    ui::FileDialogRequest request;
    request.title = QString::fromUtf8("导出描述文件");
    request.save = true;
    ui::GetModalSeam().FileDialog(nullptr, request);
    all = files.join(QChar('|')).toStdString();
    EXPECT_FALSE(files.join(QChar('|')).contains(QStringLiteral("Look in"))) << all;
    EXPECT_FALSE(files.join(QChar('|')).contains(QStringLiteral("File name"))) << all;

    QStringList colours;
    uitest::AnswerNextModal([&](QWidget* inModal) { colours = TextsOf(inModal); });
    ui::GetModalSeam().ColourDialog(nullptr, Qt::black);
    all = colours.join(QChar('|')).toStdString();
    EXPECT_FALSE(colours.join(QChar('|')).contains(QStringLiteral("Basic colors"))) << all;

    // The host's own texts are left in their language once the question is answered.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
}

}  // namespace
