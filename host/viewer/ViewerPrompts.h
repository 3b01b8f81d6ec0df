// The one seam through which the viewer asks the user modal questions: message
// boxes, the unsaved-changes question, file and folder dialogs and the page to
// go to. The desktop answers with Qt's dialogs; tests install prompts that
// answer (and record) them, so that no test waits on a window.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace qmviewer {

enum class UnsavedAnswer { Save, Discard, Cancel };
// What a batch sequence does with files of its outputs' names that are in the
// output folder already: replace them, skip their inputs, or not run.
enum class ReplaceAnswer { Replace, Skip, Cancel };

class ViewerPrompts {
public:
    virtual ~ViewerPrompts() = default;
    // A message the user acknowledges (an alert, a failed open or save).
    virtual void message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) = 0;
    // Asked before a document with unsaved changes is closed.
    virtual UnsavedAnswer askUnsaved(QWidget* parent, const QString& documentName) = 0;
    // PDF files to open; empty when the user cancels.
    virtual QStringList openFiles(QWidget* parent, const QString& title) = 0;
    // Where to save (the dialog asks before it replaces a file); empty: cancelled.
    virtual QString saveFile(QWidget* parent, const QString& title, const QString& suggestedPath) = 0;
    // A folder; empty when the user cancels.
    virtual QString chooseFolder(QWidget* parent, const QString& title) = 0;
    // Asked once before a batch sequence writes into folder, where the files
    // named in existing are already (of total outputs).
    virtual ReplaceAnswer askReplace(QWidget* parent, const QString& folder, const QStringList& existing,
                                     int total) = 0;
    // A page number from 1 to count; 0 when the user cancels.
    virtual int pageNumber(QWidget* parent, int current, int count) = 0;
};

// The prompts in use: the installed ones, else the desktop's. Never null.
ViewerPrompts& prompts();
// Installs prompts (null puts the desktop's back); the caller keeps ownership.
void setPrompts(ViewerPrompts* prompts);

}  // namespace qmviewer
