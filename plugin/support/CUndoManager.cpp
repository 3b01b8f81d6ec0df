#include "support/CUndoManager.h"

#include <memory>
#include <new>

#include "support/Assertion.h"
#include "support/CBridgeStack.h"
#include "support/ErrorCode.h"

CUndoManager::CUndoManager() = default;

CUndoManager::CUndoManager(uint32_t inDepth) { SetDepth(inDepth); }

CUndoManager::~CUndoManager() {
    Clear();
    delete mUndoStack;
}

void CUndoManager::Clear() {
    if (!mUndoStack) return;
    const int32_t count = mUndoStack->GetCount();
    for (int32_t i = 0; i < count; ++i) {
        CUndoManagerData* record = nullptr;
        if (mUndoStack->Pop(record)) delete record;
    }
}

void CUndoManager::SetDepth(uint32_t inDepth) {
    if (!mUndoStack) {
        mUndoStack = new (std::nothrow) CBridgeStack;
        if (!mUndoStack) ThrowErrorCode(kErrNoMemory);
    }
    const auto count = static_cast<uint32_t>(mUndoStack->GetCount());
    if (count > inDepth) DeleteOldest(static_cast<int32_t>(count - inDepth));
    mDepth = inDepth;
}

void CUndoManager::Push(CUndoManagerData* inRecord) {
    if (!mUndoStack) {
        // The manager takes ownership even when it cannot keep the record.
        delete inRecord;
        QM_ASSERT_TEXT(false, "mUndoStack != NULL");
    }
    std::unique_ptr<CUndoManagerData> owned(inRecord);
    mUndoStack->Push(inRecord);
    owned.release();
    if (static_cast<uint32_t>(mUndoStack->GetCount()) > mDepth) DeleteOldest(1);
}

bool CUndoManager::Pop(CUndoManagerData*& outRecord) {
    if (!mUndoStack) return false;
    return mUndoStack->Pop(outRecord);
}

bool CUndoManager::Peek(CUndoManagerData*& outRecord) const {
    if (!mUndoStack) return false;
    return mUndoStack->GetAt(CBridgeArray::kLastIndex, outRecord);
}

void CUndoManager::DeleteOldest(int32_t inCount) {
    for (int32_t i = 0; i < inCount; ++i) {
        CUndoManagerData* oldest = nullptr;
        if (!mUndoStack->GetAt(0, oldest)) return;
        mUndoStack->RemoveAt(0);
        delete oldest;
    }
}
