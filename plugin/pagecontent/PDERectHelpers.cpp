#include "pagecontent/PDERectHelpers.h"

#include <algorithm>
#include <utility>

#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

Rect16& SwapRectAxes(const Rect16& in, Rect16& out) {
    const Rect16 swapped{in.top, in.left, in.bottom, in.right};
    out = swapped;
    return out;
}

Rect16& SwapRectAxesOrdered(const Rect16& in, Rect16& out) {
    const Rect16 swapped{std::min(in.top, in.bottom), std::min(in.left, in.right), std::max(in.top, in.bottom),
                         std::max(in.left, in.right)};
    out = swapped;
    return out;
}

Rect16& OutsetRect(Rect16& rect, int16_t d) {
    rect.left = static_cast<int16_t>(rect.left - d);
    rect.top = static_cast<int16_t>(rect.top - d);
    rect.right = static_cast<int16_t>(rect.right + d);
    rect.bottom = static_cast<int16_t>(rect.bottom + d);
    return rect;
}

Rect16& OffsetRect(Rect16& rect, int16_t dx, int16_t dy) {
    rect.left = static_cast<int16_t>(rect.left + dx);
    rect.right = static_cast<int16_t>(rect.right + dx);
    rect.top = static_cast<int16_t>(rect.top + dy);
    rect.bottom = static_cast<int16_t>(rect.bottom + dy);
    return rect;
}

Rect16& OrderRect(Rect16& rect) {
    if (rect.left > rect.right) std::swap(rect.left, rect.right);
    if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
    return rect;
}

bool GetPageBoxFromKey(PDPage page, ASAtom key, ASFixedRect& out) {
    return CallHost([&] {
        const CosObj dict = gPDModelHFT->pageGetCosObj(page);
        const CosObj box = gCosHFT->dictGet(dict, key);
        if (gCosHFT->objGetType(box) != CosArray || gCosHFT->arrayLength(box) != 4) return false;
        out.left = gCosHFT->fixedValue(gCosHFT->arrayGet(box, 0));
        out.bottom = gCosHFT->fixedValue(gCosHFT->arrayGet(box, 1));
        out.right = gCosHFT->fixedValue(gCosHFT->arrayGet(box, 2));
        out.top = gCosHFT->fixedValue(gCosHFT->arrayGet(box, 3));
        return true;
    });
}

bool GetTrimBox(PDPage page, ASFixedRect& out) {
    const ASAtom trimBox = CallHost([] { return gCoreHFT->atomFromString("TrimBox"); });
    return GetPageBoxFromKey(page, trimBox, out);
}

bool GetTrimOrPageBox(PDPage page, ASFixedRect& out) {
    if (GetTrimBox(page, out)) return true;
    CallHost([&] { gPDModelHFT->pageGetBox(page, &out); });
    return false;
}

void RemoveBleedBox(PDPage page) {
    CallHost([&] {
        const CosObj dict = gPDModelHFT->pageGetCosObj(page);
        const ASAtom bleedBox = gCoreHFT->atomFromString("BleedBox");
        if (gCosHFT->dictKnown(dict, bleedBox)) gCosHFT->dictRemove(dict, bleedBox);
    });
}

void MatrixPointToDevice(AVPageView pageView, const CPDEMatrix& matrix, double x, double y, Point16& out) {
    matrix.TransformPoint(x, y);
    const ASFixedPoint point{FixedFromDouble(x), FixedFromDouble(y)};
    int16_t h = 0, v = 0;
    CallHost([&] { gAppViewHFT->pageViewPointToDevice(pageView, &point, &h, &v); });
    out.h = h;
    out.v = v;
}

void MatrixDeviceCorners(AVPageView pageView, const CPDEMatrix& matrix, Point16 out[4]) {
    const double corners[4][2] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
    for (int i = 0; i < 4; ++i) MatrixPointToDevice(pageView, matrix, corners[i][0], corners[i][1], out[i]);
}

void MatrixDeviceRect(AVPageView pageView, const CPDEMatrix& matrix, Rect16& out) {
    Point16 corners[4];
    MatrixDeviceCorners(pageView, matrix, corners);
    out = {corners[0].h, corners[0].v, corners[0].h, corners[0].v};
    for (const Point16& p : corners) {
        out.left = std::min(out.left, p.h);
        out.right = std::max(out.right, p.h);
        out.top = std::min(out.top, p.v);
        out.bottom = std::max(out.bottom, p.v);
    }
}
