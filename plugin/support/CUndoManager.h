// A bounded stack of undo records. The manager owns the records on its stack;
// beyond its depth it deletes the oldest ones.
#pragma once

#include <cstdint>

#include "support/CUndoManagerData.h"

class CBridgeStack;

class CUndoManager {
public:
    // No stack and depth 0: every record pushed would be dropped at once, so a
    // user sets a depth first.
    CUndoManager();
    // As the default, then SetDepth (inDepth).
    explicit CUndoManager(uint32_t inDepth);
    CUndoManager(const CUndoManager&) = delete;
    CUndoManager& operator=(const CUndoManager&) = delete;
    // Clear, then deletes the stack.
    virtual ~CUndoManager();

    // Deletes every record on the stack; the stack itself stays. Nothing when
    // there is no stack.
    virtual void Clear();
    // Makes the stack when there is none (kErrNoMemory when it cannot), deletes
    // the oldest records beyond inDepth and stores the depth.
    virtual void SetDepth(uint32_t inDepth);
    // Takes ownership of inRecord and pushes it as the newest; when the count
    // then exceeds the depth, deletes the oldest. Without a stack: an assertion
    // report (alert, kErrAssertion thrown) and inRecord is deleted.
    virtual void Push(CUndoManagerData* inRecord);
    // Moves the newest record into outRecord (the caller owns it) and answers
    // true; false (outRecord untouched) when there is none. Never throws.
    virtual bool Pop(CUndoManagerData*& outRecord);
    // As Pop, but the record stays on the stack and in the manager's ownership.
    virtual bool Peek(CUndoManagerData*& outRecord) const;

    uint32_t GetDepth() const { return mDepth; }

protected:
    // The stack (null until SetDepth); index 0 is the oldest record.
    CBridgeStack* GetStack() const { return mUndoStack; }

private:
    void DeleteOldest(int32_t inCount);

    CBridgeStack* mUndoStack = nullptr;
    uint32_t mDepth = 0;
};
