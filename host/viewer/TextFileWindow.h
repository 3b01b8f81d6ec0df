// A window of the desktop host that shows a text file (the plug-in's log) as
// it is on disk, read only.
#pragma once

#include <QMainWindow>
#include <QString>

class QPlainTextEdit;

namespace qmviewer {

class TextFileWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit TextFileWindow(QWidget* parent = nullptr);

    // Reads the file (UTF-8) into the window; false with *error set when it
    // cannot be read, and the window is left as it was.
    bool load(const QString& path, QString* error);
    const QString& path() const { return mPath; }
    QString text() const;

private:
    QPlainTextEdit* mText;
    QString mPath;
};

}  // namespace qmviewer
