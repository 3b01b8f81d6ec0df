// Dialog controls keep their resource ids as object names, so that tests and
// screenshots find a control by the id the dialog's description gives it.
#pragma once

#include <QString>
#include <QWidget>

namespace ui {

inline QString ControlName(int inId) { return QString::number(inId); }

// Gives inWidget the id as its object name and answers it.
template <typename W>
W* WithId(W* inWidget, int inId) {
    inWidget->setObjectName(ControlName(inId));
    return inWidget;
}

// The child of inDialog with the id, of type W; null when there is none.
template <typename W>
W* FindControl(const QWidget* inDialog, int inId) {
    return inDialog->findChild<W*>(ControlName(inId));
}

}  // namespace ui
