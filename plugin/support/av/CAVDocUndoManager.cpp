#include "support/av/CAVDocUndoManager.h"

CAVDocUndoManager::CAVDocUndoManager() = default;

CAVDocUndoManager::CAVDocUndoManager(AVDoc inAVDoc, uint32_t inDepth) : CUndoManager(inDepth) {
    SetAVDoc(inAVDoc);
}

CAVDocUndoManager::~CAVDocUndoManager() = default;
