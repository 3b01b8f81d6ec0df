// One seam for the modal questions the plug-in's dialogs ask: message boxes and
// file dialogs. The desktop answers them with Qt's own dialogs; tests install a
// seam that answers (and records) them instead, so no test blocks on a window.
#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>

class QWidget;

namespace ui {

struct FileDialogRequest {
    QString title;       // the window title
    QString okText;      // the accept button's text; empty keeps Qt's
    QString defaultExt;  // without the dot ("nxp")
    QString filter;      // Qt's filter syntax: "Quillmark 描述文件 (*.nxp)"
    QString initialPath; // folder or file the dialog starts at
    bool save = false;   // a save dialog (asks before it overwrites) or an open one
};

class ModalSeam {
public:
    virtual ~ModalSeam() = default;
    // The button pressed (QMessageBox::Yes, Ok, ...).
    virtual QMessageBox::StandardButton MessageBox(QWidget* inParent, const QString& inCaption,
                                                   const QString& inText, QMessageBox::Icon inIcon,
                                                   QMessageBox::StandardButtons inButtons) = 0;
    // The chosen file's path, empty when the user cancels.
    virtual QString FileDialog(QWidget* inParent, const FileDialogRequest& inRequest) = 0;
    // The colour the user picks, starting at inInitial; an invalid colour when
    // the user cancels. A seam that does not answer colours cancels.
    virtual QColor ColourDialog(QWidget* inParent, const QColor& inInitial);
};

// The seam in use: the one installed, else the desktop's. Never null.
ModalSeam& GetModalSeam();
// Installs a seam (null puts the desktop's back). The caller keeps ownership.
void SetModalSeam(ModalSeam* inSeam);

}  // namespace ui
