// The builders of the link-action dialogs' destinations: a go-to action's "D"
// array [page /View ...] from a page index, a view type (0..8, the order of the
// view-type table), a zoom in percent and a destination rectangle.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"

// The destination rectangle as the dialogs keep it: left, top, right, bottom
// in 16.16 fixed; all four 0 means "not set" and is written as nulls.
struct GoToRect {
    ASFixed left = 0, top = 0, right = 0, bottom = 0;
};

// The view type's zoom in 16.16 fixed: inZoomPercent / 100 (rounded half away
// from zero); view 0 keeps the zoom unset (0x80000000).
ASFixed GoToZoomFixed(int32_t inViewType, double inZoomPercent);

// Replaces inAction's "D" by a new indirect array in inDoc: the page index,
// the view's name, then the view's numbers (view 0: left top null; 1: left
// top zoom; 2, 7: top; 3, 8: left; 6: left bottom right top; 4, 5: nothing).
// A view type outside 0..8 is taken as 0. Answers false, leaving the action
// as far as it got, when the host raised.
bool BuildGoToAction(PDDoc inDoc, CosObj inAction, int32_t inPageIndex, int32_t inViewType, double inZoomPercent,
                     const GoToRect& inRect);
// BuildGoToAction, then "F" replaced by inFileSpec.
bool BuildGoToRemoteAction(PDDoc inDoc, CosObj inAction, int32_t inPageIndex, int32_t inViewType,
                           double inZoomPercent, const GoToRect& inRect, CosObj inFileSpec);
