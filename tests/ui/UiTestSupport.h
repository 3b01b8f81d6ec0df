// Helpers of the dialog tests: a modal seam that answers from a script and
// records what was asked, screenshots into the build folder, and drawing one
// picker item into an image.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

#include "ui/ModalSeam.h"

class CPickerCB;
class QWidget;

namespace uitest {

class ScriptedSeam final : public ui::ModalSeam {
public:
    ScriptedSeam();
    ~ScriptedSeam() override;

    QMessageBox::StandardButton MessageBox(QWidget* inParent, const QString& inCaption, const QString& inText,
                                           QMessageBox::Icon inIcon,
                                           QMessageBox::StandardButtons inButtons) override;
    QString FileDialog(QWidget* inParent, const ui::FileDialogRequest& inRequest) override;
    QColor ColourDialog(QWidget* inParent, const QColor& inInitial) override;

    // Answers given in order; an empty queue answers "cancelled".
    std::deque<QString> files;
    std::deque<QColor> colours;
    // Buttons that message boxes answer, in order; an empty queue answers Ok.
    std::deque<QMessageBox::StandardButton> answers;
    // What was asked.
    std::vector<ui::FileDialogRequest> fileRequests;
    QStringList messages;
    int colourRequests = 0;
};

// Saves inWidget's picture as <build>/screenshots/<inName>.png and answers the path.
QString SaveScreenshot(QWidget* inWidget, const QString& inName);

// Item inIndex of the picker drawn by its drop-down list's delegate into a
// 200 x 20 (or item-high) image first filled with a marker colour.
QImage DrawPickerItem(CPickerCB& inPicker, int inIndex, bool inSelected, int inHeight);
// Whether row inY of the image holds a pixel darker than the marker between x0 and x1.
bool RowHasInk(const QImage& inImage, int inY, int inX0, int inX1);

// Runs inAnswer on the next modal dialog that opens (from the event loop),
// then closes it if it is still open. Fails the test when none opens.
void AnswerNextModal(std::function<void(QWidget*)> inAnswer);

}  // namespace uitest
