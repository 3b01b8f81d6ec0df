#include "viewer/TextFileWindow.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPlainTextEdit>

namespace qmviewer {

TextFileWindow::TextFileWindow(QWidget* parent) : QMainWindow(parent), mText(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("TextFileWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    mText->setObjectName(QStringLiteral("Text"));
    mText->setReadOnly(true);
    mText->setLineWrapMode(QPlainTextEdit::NoWrap);
    mText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setCentralWidget(mText);
    resize(800, 600);
}

bool TextFileWindow::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    mText->setPlainText(QString::fromUtf8(file.readAll()));
    mText->moveCursor(QTextCursor::End);  // the newest lines of a log are at its end
    mPath = path;
    setWindowTitle(QStringLiteral("%1 - Quillmark").arg(QFileInfo(path).fileName()));
    return true;
}

QString TextFileWindow::text() const { return mText->toPlainText(); }

}  // namespace qmviewer
