#include "engine/CPDFElementUndoReplace.h"

#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

bool HasEntries(CosObj obj) {
    switch (gCosHFT->objGetType(obj)) {
        case CosDict: return !gCosHFT->objEnum(obj, [](CosObj, CosObj, void*) { return false; }, nullptr);
        case CosArray: return gCosHFT->arrayLength(obj) > 0;
        default: return false;
    }
}

}  // namespace

CPDFElementUndoReplace::CPDFElementUndoReplace(AVDoc inAVDoc, int32_t inPageIndex, CosObj inHolder,
                                               ASAtom inKey, CosObj inBefore, CosObj inAfter)
    : CPDFElementUndoData(inAVDoc, inPageIndex, kElementUndoNameEntry),
      mHolder(inHolder),
      mKey(inKey),
      mBefore(inBefore),
      mAfter(inAfter) {}

bool CPDFElementUndoReplace::Undo() {
    mSuccess = true;
    try {
        CallHost([&] {
            if (!gCosHFT->objEqual(gCosHFT->dictGet(mHolder, mKey), mAfter)) return;
            if (gCosHFT->objGetType(mBefore) != CosNull)
                gCosHFT->dictPut(mHolder, mKey, mBefore);
            else if (!HasEntries(mAfter))
                gCosHFT->dictRemove(mHolder, mKey);
        });
    } catch (ErrorCode) {
        mSuccess = false;
    }
    return mSuccess;
}
