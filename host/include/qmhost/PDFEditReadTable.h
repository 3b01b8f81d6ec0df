// "PDFEditRead": reading page-content fonts and text objects.
#pragma once

#include "qmhost/QMBase.h"

struct PDFEditReadTable {
    uint32_t size;  // sizeof(PDFEditReadTable)

    // The font's dictionary, in a Cos document of the host's own that stays open
    // while the font lives; copy it into a document with Cos objCopy (a font
    // program is an indirect stream and is copied with it).
    CosObj (*fontGetCosObj)(PDEFont font);
    // The bounding box of run `index` in text space after its text matrix: left
    // 0 at the start of the baseline, right the sum of the advances, bottom the
    // font's descent and top its ascent, all scaled by the matrix.
    void (*textGetRunBBox)(PDEText text, int32_t index, ASFixedRect* box);
    int32_t (*textGetNumRuns)(PDEText text);
};
