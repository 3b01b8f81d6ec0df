// The preview run: a profile applied quietly to the one page of the stamp
// manager's private preview document, and the fit that places that page in
// the preview's rectangle.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "stamper/CProfileFile.h"

// Applies every stamp of the profile whose page set holds page inPageNumber
// (counted from 1) to page 0 of inPreviewDoc. Each stamp is built without log
// lines, without undo and without the cancel test, for a document of
// inPageCount pages (its own page selection only when inUsePageSelection; else
// all pages). Page-dependent text variables show page inPageNumber. Writes no
// log lines of its own and changes no run counter except the current page.
// False when the profile cannot be read, lacks a stamp it counts, or a stamp
// fails to build or to write (the last message in the error buffer); the
// other stamps are still applied.
bool ApplyProfileToPreview(CProfileFile& ioProfile, PDDoc inPreviewDoc, bool inUsePageSelection,
                           int32_t inPageCount, int32_t inPageNumber);

// A rectangle of whole pixels.
struct PreviewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Scales page inPageIndex (as displayed) to fit ioRect and centres it: ioRect
// becomes offset and size - left and top the offset of the page in the
// rectangle, right and bottom its width and height (all truncated to whole
// pixels). Answers the zoom in percent. On a host error, or a page without
// extent, ioRect is unchanged and the answer is 20.0.
double FitPageInRect(PDDoc inDoc, int32_t inPageIndex, PreviewRect& ioRect);
