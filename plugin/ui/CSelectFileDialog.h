// CSelectFileDialog: a file dialog with its own title and accept-button text,
// in open mode (choose an existing file) or save mode (choose a name; asks
// before it replaces a file). It runs through the modal seam, so tests answer it.
#pragma once

#include <QString>

class QWidget;

class CSelectFileDialog {
public:
    // inFilter in the "Description|*.ext;*.ext2|...||" form; inOkText empty
    // gives "Select"; inDefaultExt without the dot; inFileName may be empty.
    CSelectFileDialog(bool inOpen, const QString& inTitle, const QString& inOkText, const QString& inDefaultExt,
                      const QString& inFileName, const QString& inFilter, QWidget* inParent);
    // An open-mode dialog.
    CSelectFileDialog(const QString& inTitle, const QString& inOkText, const QString& inDefaultExt,
                      const QString& inFileName, const QString& inFilter, QWidget* inParent);

    // Runs the dialog: true when the user chose a file (GetPathName).
    bool DoModal();
    QString GetPathName() const { return mPath; }

    // "Description|*.a;*.b|...||" as Qt's "Description (*.a *.b);;..." (a
    // description that already ends with its patterns in parentheses is kept).
    static QString ToQtFilter(const QString& inFilter);

private:
    bool mOpen;
    QString mTitle;
    QString mOkText;
    QString mDefaultExt;
    QString mFileName;
    QString mFilter;
    QWidget* mParent;
    QString mPath;
};
