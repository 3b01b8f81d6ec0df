// The undo record of an entry that an element put into a dictionary of the
// document's structure, not into a resource category: a resource dictionary,
// a resource category or an "Annots" array it made where there was none, or a
// copy it put in the place of a dictionary that the page shared with the
// form or an appearance.
#pragma once

#include <cstdint>

#include "engine/CPDFElementUndoData.h"

class CPDFElementUndoReplace : public CPDFElementUndoData {
public:
    // holder's entry under key was before (the null object: none) and is now
    // after. inPageIndex: the page written when it was put (-1: none).
    CPDFElementUndoReplace(AVDoc inAVDoc, int32_t inPageIndex, CosObj inHolder, ASAtom inKey,
                           CosObj inBefore, CosObj inAfter);

    // When holder still holds after under key: puts before back; with no
    // before, removes the key, unless after is a dictionary or array that
    // still has entries (something not taken back still needs it). An entry
    // that changed since is left alone. False only when the host fails (its
    // text then in the error-message buffer).
    bool Undo() override;

private:
    CosObj mHolder;
    ASAtom mKey;
    CosObj mBefore;
    CosObj mAfter;
};
