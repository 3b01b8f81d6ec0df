#include "viewer/ViewerPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>

namespace qmviewer {
namespace {

const char* kPdfFilter = "PDF files (*.pdf *.PDF);;All files (*)";

// "The folder ... already holds ..." with the names, ten at most and how many more.
QString replaceQuestion(const QString& folder, const QStringList& existing) {
    const QString where = QDir::toNativeSeparators(folder);
    if (existing.size() == 1)
        return QStringLiteral("The folder \"%1\" already holds a file named \"%2\".").arg(where, existing.front());
    constexpr qsizetype kShown = 10;
    QStringList shown = existing.mid(0, kShown);
    if (existing.size() > kShown) shown << QStringLiteral("and %1 more").arg(existing.size() - kShown);
    return QStringLiteral("The folder \"%1\" already holds %2 files with the names of files to stamp:\n\n%3")
        .arg(where)
        .arg(existing.size())
        .arg(shown.join(QLatin1Char('\n')));
}

// What Replace and Skip do.
QString replaceChoices(qsizetype existing, int total) {
    const bool one = existing == 1;
    const qsizetype others = total - existing;
    QString text = one ? QStringLiteral("Replace it with the stamped file, or skip it")
                       : QStringLiteral("Replace them with the stamped files, or skip them");
    if (others > 0)
        text += others == 1 ? QStringLiteral(" and stamp the other file")
                            : QStringLiteral(" and stamp the other %1 files").arg(others);
    return text + QLatin1Char('?');
}

class DesktopPrompts : public ViewerPrompts {
public:
    void message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) override {
        QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
        box.exec();
    }

    UnsavedAnswer askUnsaved(QWidget* parent, const QString& documentName) override {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillmark"),
                        QStringLiteral("Save the changes to \"%1\" before closing it?").arg(documentName),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
        box.setInformativeText(QStringLiteral("Your changes are lost if you don't save them."));
        box.setDefaultButton(QMessageBox::Save);
        switch (box.exec()) {
            case QMessageBox::Save: return UnsavedAnswer::Save;
            case QMessageBox::Discard: return UnsavedAnswer::Discard;
            default: return UnsavedAnswer::Cancel;
        }
    }

    QStringList openFiles(QWidget* parent, const QString& title) override {
        return QFileDialog::getOpenFileNames(parent, title, QString(), QString::fromLatin1(kPdfFilter));
    }

    QString saveFile(QWidget* parent, const QString& title, const QString& suggestedPath) override {
        return QFileDialog::getSaveFileName(parent, title, suggestedPath, QString::fromLatin1(kPdfFilter));
    }

    QString chooseFolder(QWidget* parent, const QString& title) override {
        return QFileDialog::getExistingDirectory(parent, title);
    }

    ReplaceAnswer askReplace(QWidget* parent, const QString& folder, const QStringList& existing, int total) override {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Quillmark"), replaceQuestion(folder, existing),
                        QMessageBox::NoButton, parent);
        box.setObjectName(QStringLiteral("ReplaceQuestion"));
        box.setInformativeText(replaceChoices(existing.size(), total));
        QPushButton* replace = box.addButton(QStringLiteral("&Replace"), QMessageBox::DestructiveRole);
        QPushButton* skip = box.addButton(QStringLiteral("&Skip"), QMessageBox::AcceptRole);
        QPushButton* cancel = box.addButton(QMessageBox::Cancel);
        replace->setObjectName(QStringLiteral("Replace"));
        skip->setObjectName(QStringLiteral("Skip"));
        box.setDefaultButton(skip);
        box.setEscapeButton(cancel);
        box.exec();
        if (box.clickedButton() == replace) return ReplaceAnswer::Replace;
        if (box.clickedButton() == skip) return ReplaceAnswer::Skip;
        return ReplaceAnswer::Cancel;
    }

    int pageNumber(QWidget* parent, int current, int count) override {
        bool ok = false;
        const int page = QInputDialog::getInt(parent, QStringLiteral("Go to Page"),
                                              QStringLiteral("Page (1-%1):").arg(count), current, 1, count, 1, &ok);
        return ok ? page : 0;
    }
};

ViewerPrompts* gInstalled = nullptr;

}  // namespace

ViewerPrompts& prompts() {
    static DesktopPrompts desktop;
    return gInstalled ? *gInstalled : desktop;
}

void setPrompts(ViewerPrompts* installed) { gInstalled = installed; }

}  // namespace qmviewer
