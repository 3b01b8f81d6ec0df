// The Undo command "VELM:SUndo" (string 8): takes back everything that the last
// interactive stamping run added to the active document.
#pragma once

#include "qmhost/QMBase.h"
#include "support/av/CAVMenuItem.h"

class CUndoMenuItem : public CAVMenuItem {
public:
    // Makes the host item and adds it at the end of inParent.
    explicit CUndoMenuItem(AVMenu inParent);
    // Takes the item out of its menu.
    ~CUndoMenuItem() override;

    // Enabled when the active document may be stamped and its view's element
    // undo holds records.
    bool ComputeEnabled() override;
    // When enabled: undoes every record of the active view, newest first, with
    // a progress of one step per record; each record is deleted after use. A
    // record that fails (answers false or throws) does not stop the others;
    // after all were tried one alert (string 217) says that something failed.
    // The view's undo is empty afterwards in every case.
    void Execute() override;
};

// The loop of the Undo command for one view, without the enabled test:
// answers whether every record's undo succeeded (true when there was none).
bool UndoElementRecords(AVDoc inView);
