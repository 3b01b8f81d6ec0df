// Small services the design dialogs share: enabling a window's child
// controls, and the action-type list of the action combo box.
#pragma once

#include <QString>
#include <cstdint>

#include "qmhost/QMBase.h"

class QComboBox;
class QLabel;
class QWidget;

namespace ui {

// inWidget with the control id inId as its object name.
template <class W>
W* Named(W* inWidget, const char* inId) {
    inWidget->setObjectName(QString::fromLatin1(inId));
    return inWidget;
}

// A static text of the string table.
QLabel* ResLabel(uint32_t inText);

// Enables or disables each child widget of inWindow whose state differs;
// windows of their own (dialogs over it) are left alone.
void EnableChildWindows(QWidget* inWindow, bool inEnable);

// Adds one action type to inCombo (the client data): "Trans" is skipped,
// "GoTo" is shown as "跳至视图", "GoToR" as "跳至远程视图", any other type
// under the host's name; the entry's data is the type's name. Answers true
// (go on). Never throws.
bool ActionTypeEnumProc(ASAtom inType, const char* inUserName, void* inCombo);

// Fills inCombo with "(无)" and one entry per action type the host has a
// handler for. A host without handlers leaves "(无)" alone.
void FillActionTypes(QComboBox& inCombo);

}  // namespace ui
