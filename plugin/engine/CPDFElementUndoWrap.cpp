#include "engine/CPDFElementUndoWrap.h"

#include "engine/CPDFElementUndoAdd.h"
#include "support/CPDPageHolder.h"
#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"
#include "support/cos/PDFAtoms.h"

CPDFElementUndoWrap::CPDFElementUndoWrap(AVDoc inAVDoc, int32_t inPageIndex, CosObj inBefore, int32_t inPieces,
                                         CosObj inSave, CosObj inRestore)
    : CPDFElementUndoData(inAVDoc, inPageIndex, kElementUndoNameContent),
      // A direct array is let go by the host once nothing holds it: only an
      // indirect one is kept, a direct one is made again from its pieces.
      mBefore(gCosHFT->objGetType(inBefore) == CosArray && gCosHFT->objIsIndirect(inBefore) ? inBefore
                                                                                               : gCosHFT->newNull()),
      mBeforeType(gCosHFT->objGetType(inBefore)),
      mPieces(inPieces),
      mSave(inSave),
      mRestore(inRestore) {}

bool CPDFElementUndoWrap::Undo() {
    mSuccess = true;
    try {
        CallHost([&] {
            CPDPageHolder page(gAppViewHFT->avDocGetPDDoc(mAVDoc), mPageIndex);
            WithCleanUp([&] { Unwrap(gPDModelHFT->pageGetCosObj(page)); },
                        [&] { CPDFElementUndoAdd::NotifyChanged(page); });
        });
    } catch (ErrorCode) {
        mSuccess = false;
    }
    return mSuccess;
}

void CPDFElementUndoWrap::Unwrap(CosObj pageDict) const {
    const CosObj contents = gCosHFT->dictGet(pageDict, gAtomContents);
    if (gCosHFT->objGetType(contents) != CosArray) return;
    const int32_t length = gCosHFT->arrayLength(contents);
    // A piece of the run still in front or behind (its undo failed) keeps the
    // pair that shields it from the page's graphics state.
    if (length != mPieces + 2 || !gCosHFT->objEqual(gCosHFT->arrayGet(contents, 0), mSave) ||
        !gCosHFT->objEqual(gCosHFT->arrayGet(contents, length - 1), mRestore))
        return;
    switch (mBeforeType) {
        case CosNull: gCosHFT->dictRemove(pageDict, gAtomContents); break;
        case CosStream: gCosHFT->dictPut(pageDict, gAtomContents, gCosHFT->arrayGet(contents, 1)); break;
        default:
            if (gCosHFT->objGetType(mBefore) == CosArray) {
                gCosHFT->dictPut(pageDict, gAtomContents, mBefore);
            } else {
                const CosObj pieces = gCosHFT->newArray(gCosHFT->objGetDoc(contents), false, mPieces);
                for (int32_t i = 0; i < mPieces; ++i) gCosHFT->arrayPut(pieces, i, gCosHFT->arrayGet(contents, i + 1));
                gCosHFT->dictPut(pageDict, gAtomContents, pieces);
            }
            break;
    }
}
