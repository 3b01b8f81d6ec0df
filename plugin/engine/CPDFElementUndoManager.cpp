#include "engine/CPDFElementUndoManager.h"

#include <memory>

#include "engine/CPDFElementUndoData.h"
#include "support/CBridgeStack.h"

CPDFElementUndoManager::CPDFElementUndoManager(AVDoc inAVDoc)
    : CAVDocUndoManager(inAVDoc, kElementUndoDepth) {}

CPDFElementUndoManager::~CPDFElementUndoManager() = default;

void CPDFElementUndoManager::Push(CUndoManagerData* inRecord) { CUndoManager::Push(inRecord); }

bool CPDFElementUndoManager::Pop(CUndoManagerData*& outRecord) { return CUndoManager::Pop(outRecord); }

bool CPDFElementUndoManager::Pop(std::nullptr_t) {
    CUndoManagerData* record = nullptr;
    if (!CUndoManager::Pop(record)) return false;
    delete record;
    return true;
}

bool CPDFElementUndoManager::CanUndo() const { return GetCount() > 0; }

int32_t CPDFElementUndoManager::GetCount() const { return GetStack() ? GetStack()->GetCount() : 0; }

bool CPDFElementUndoManager::UndoLast() {
    CUndoManagerData* popped = nullptr;
    if (!Pop(popped)) return false;
    // The popped record is ours now: deleted after its undo, even when that throws.
    std::unique_ptr<CUndoManagerData> record(popped);
    auto* element = dynamic_cast<CPDFElementUndoData*>(record.get());
    return element ? element->Undo() : false;
}
