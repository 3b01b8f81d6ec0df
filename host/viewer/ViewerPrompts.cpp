#include "viewer/ViewerPrompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QPushButton>

namespace qmviewer {
namespace {

const char* kPdfFilter = "PDF files (*.pdf *.PDF);;All files (*)";

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
