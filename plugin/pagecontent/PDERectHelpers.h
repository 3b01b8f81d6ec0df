// Free helpers of the page-content library: 16-bit device rectangles, page
// boxes read from a page's dictionary, and where a matrix puts the unit square
// in a page view's device space.
#pragma once

#include "pagecontent/CPDEMatrix.h"
#include "qmhost/AppViewTable.h"

// out = (in.top, in.left, in.bottom, in.right); answers out.
Rect16& SwapRectAxes(const Rect16& in, Rect16& out);
// The axes exchanged and ordered.
Rect16& SwapRectAxesOrdered(const Rect16& in, Rect16& out);
// Grows the rectangle by d on every side (a negative d shrinks it).
Rect16& OutsetRect(Rect16& rect, int16_t d);
Rect16& OffsetRect(Rect16& rect, int16_t dx, int16_t dy);
// Swaps left/right and top/bottom where they are reversed.
Rect16& OrderRect(Rect16& rect);

// The page's box under key (an array of exactly four numbers, read as fixed:
// left, bottom, right, top). False, and out untouched, when there is none.
bool GetPageBoxFromKey(PDPage page, ASAtom key, ASFixedRect& out);
bool GetTrimBox(PDPage page, ASFixedRect& out);
// The trim box (true), else the page's box (false).
bool GetTrimOrPageBox(PDPage page, ASFixedRect& out);
void RemoveBleedBox(PDPage page);

// (x, y) transformed by matrix, in the page view's device space.
void MatrixPointToDevice(AVPageView pageView, const CPDEMatrix& matrix, double x, double y, Point16& out);
// The ordered device box of the unit square placed by matrix.
void MatrixDeviceRect(AVPageView pageView, const CPDEMatrix& matrix, Rect16& out);
// The corners (0, 1), (1, 1), (0, 0), (1, 0) of the unit square in device space.
void MatrixDeviceCorners(AVPageView pageView, const CPDEMatrix& matrix, Point16 out[4]);
