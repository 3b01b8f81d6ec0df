// The process-wide registry of element undo managers: one manager per open
// document view, made when the view opens and deleted when it closes. Elements
// record what they add through RecordElementAdded; the Undo command takes the
// records back newest first.
#pragma once

#include <cstdint>

#include "engine/CPDFElementUndoAdd.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/CPDFElementUndoManager.h"
#include "qmhost/AppViewTable.h"
#include "support/av/CAVDocList.h"

class CPDFElementUndoController : public CAVDocList {
public:
    // Becomes the controller (smPDFElementUndoController) when there is none.
    CPDFElementUndoController();
    // Stops being the controller; deletes every manager.
    ~CPDFElementUndoController() override;

    // A CPDFElementUndoManager for the view with depth kElementUndoDepth, or null.
    CAVDocUndoManager* CreateManager(AVDoc inAVDoc) override;

    // The controller, or null when none exists.
    static CPDFElementUndoController* GetUndoController();

    // Records one addition: does nothing without a controller; otherwise makes a
    // CPDFElementUndoAdd of these arguments (kErrCosObject when it cannot) and
    // hands it to AddElementUndoRecord. A view without a manager keeps nothing.
    static void RecordElementAdded(AVDoc inAVDoc, int32_t inPageIndex, int32_t inKind,
                                   CosObj inObject, const char* inResourceName,
                                   const char* inName);

    // The statics below act on the view's manager; without a controller or a
    // manager they do nothing and answer false, 0 or null.
    // Takes ownership of inRecord (deleted when it cannot be kept).
    static void AddElementUndoRecord(AVDoc inAVDoc, CUndoManagerData* inRecord);
    // The newest record, removed (the caller owns it).
    static bool PopElementUndoRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord);
    // The newest record, left on the stack.
    static bool PeekElementUndoRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord);
    static bool CanUndoElements(AVDoc inAVDoc);
    static int32_t CountElementUndoRecords(AVDoc inAVDoc);
    // Deletes every record of the view.
    static void ClearElementUndo(AVDoc inAVDoc);
    // Deletes every record of every view, in registry order.
    static void ClearAllElementUndo();
    // Pops the newest record, runs its Undo, deletes it; the Undo's result.
    static bool UndoLastElement(AVDoc inAVDoc);
    // The Undo command's loop: undoes every record of the view, newest first,
    // deleting each after use, then clears the view's stack. inMonitor (may be
    // null) is begun with the record count as duration, advanced by one per
    // record and ended. True when every record's Undo succeeded (also when there
    // was none); a failure thrown by a record ends the loop and answers false.
    static bool UndoAllElements(AVDoc inAVDoc, ASProgressMonitor inMonitor, void* inMonitorData);

    static CPDFElementUndoController* smPDFElementUndoController;

private:
    static CPDFElementUndoManager* ManagerOf(AVDoc inAVDoc);
};
