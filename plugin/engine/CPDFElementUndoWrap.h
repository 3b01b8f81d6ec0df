// The undo record of the save/restore pair that a run puts around a page's
// existing content before it stamps: once no piece of the run is left on the
// page, the page's "Contents" is put back as it was, so that stamping and
// undoing again and again does not nest the page ever deeper.
#pragma once

#include <cstdint>

#include "engine/CPDFElementUndoData.h"

class CPDFElementUndoWrap : public CPDFElementUndoData {
public:
    // Page inPageIndex's "Contents" became save, inPieces pieces (what was
    // there: 0 for none, 1 for a stream, an array's length), restore. inBefore:
    // the "Contents" that was there (null, a stream or an array).
    CPDFElementUndoWrap(AVDoc inAVDoc, int32_t inPageIndex, CosObj inBefore, int32_t inPieces, CosObj inSave,
                        CosObj inRestore);

    // When the page's "Contents" is still save, the same number of pieces,
    // restore (no piece of the run is left in front or behind): puts back what
    // was there (an indirect array as that array, a direct one as a new array
    // of the same pieces). Otherwise the pair stays. False only when the host
    // fails.
    bool Undo() override;

private:
    void Unwrap(CosObj pageDict) const;

    CosObj mBefore;  // an indirect array that was "Contents"; the null object otherwise
    int32_t mBeforeType;
    int32_t mPieces;
    CosObj mSave;
    CosObj mRestore;
};
