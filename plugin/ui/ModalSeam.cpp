#include "ui/ModalSeam.h"

#include <QColorDialog>
#include <QFileDialog>

#include "ui/QtTextsInPluginLanguage.h"

namespace ui {
namespace {

class DesktopSeam final : public ModalSeam {
public:
    QMessageBox::StandardButton MessageBox(QWidget* inParent, const QString& inCaption, const QString& inText,
                                           QMessageBox::Icon inIcon,
                                           QMessageBox::StandardButtons inButtons) override {
        const QtTextsInPluginLanguage language;
        QMessageBox box(inIcon, inCaption, inText, inButtons, inParent);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString FileDialog(QWidget* inParent, const FileDialogRequest& inRequest) override {
        const QtTextsInPluginLanguage language;
        QFileDialog dialog(inParent, inRequest.title, inRequest.initialPath, inRequest.filter);
        dialog.setAcceptMode(inRequest.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(inRequest.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(inRequest.defaultExt);
        if (!inRequest.okText.isEmpty()) dialog.setLabelText(QFileDialog::Accept, inRequest.okText);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        return dialog.selectedFiles().first();
    }

    QColor ColourDialog(QWidget* inParent, const QColor& inInitial) override {
        const QtTextsInPluginLanguage language;
        return QColorDialog::getColor(inInitial, inParent);
    }
};

ModalSeam* gInstalled = nullptr;

}  // namespace

QColor ModalSeam::ColourDialog(QWidget*, const QColor&) { return QColor(); }

ModalSeam& GetModalSeam() {
    static DesktopSeam desktop;
    return gInstalled ? *gInstalled : desktop;
}

void SetModalSeam(ModalSeam* inSeam) { gInstalled = inSeam; }

}  // namespace ui
