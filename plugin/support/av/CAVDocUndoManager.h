// An undo manager tied to one document view.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "support/CUndoManager.h"

class CAVDocUndoManager : public CUndoManager {
public:
    // No view; no stack (see CUndoManager).
    CAVDocUndoManager();
    // CUndoManager (inDepth) for the view inAVDoc (not owned).
    CAVDocUndoManager(AVDoc inAVDoc, uint32_t inDepth);
    ~CAVDocUndoManager() override;

    void SetAVDoc(AVDoc inAVDoc) { mAVDoc = inAVDoc; }
    AVDoc GetAVDoc() const { return mAVDoc; }

private:
    AVDoc mAVDoc = nullptr;
};
