// The undo manager of one document view for element records; its depth is
// always kElementUndoDepth.
#pragma once

#include <cstddef>
#include <cstdint>

#include "support/av/CAVDocUndoManager.h"

constexpr uint32_t kElementUndoDepth = 1000000;

class CPDFElementUndoManager : public CAVDocUndoManager {
public:
    explicit CPDFElementUndoManager(AVDoc inAVDoc);
    ~CPDFElementUndoManager() override;

    void Push(CUndoManagerData* inRecord) override;
    // As CUndoManager::Pop; a null destination (Pop (nullptr)) deletes the record.
    bool Pop(CUndoManagerData*& outRecord) override;
    bool Pop(std::nullptr_t);

    // True when the stack holds a record.
    bool CanUndo() const;
    // Records on the stack; 0 without a stack.
    int32_t GetCount() const;
    // Pops the newest record, runs its Undo when it is an element record, deletes
    // it and answers the Undo's result; false when nothing was popped (or the
    // record is of another type).
    bool UndoLast();
};
