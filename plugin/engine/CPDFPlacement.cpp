#include "engine/CPDFPlacement.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "qmhost/HostError.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

double Radians(double inDegrees) { return inDegrees * std::numbers::pi / 180.0; }

// Sums of fixed values are worked out in 64 bits and clamped, so that a huge
// offset pins the element beyond the page instead of wrapping around.
ASFixed ClampFixed(int64_t inValue) {
    if (inValue < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (inValue > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<ASFixed>(inValue);
}

bool SameBox(const ASFixedRect& a, const ASFixedRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

int64_t Fx(double inValue) { return FixedFromDouble(inValue); }

struct Point {
    double x, y;
};

Point Map(const ASFixedMatrix& inMatrix, Point inPoint) {
    const double a = FixedToDouble(inMatrix.a), b = FixedToDouble(inMatrix.b);
    const double c = FixedToDouble(inMatrix.c), d = FixedToDouble(inMatrix.d);
    return {a * inPoint.x + c * inPoint.y + FixedToDouble(inMatrix.h),
            b * inPoint.x + d * inPoint.y + FixedToDouble(inMatrix.v)};
}

// The column of the placement table for an angle in [0, 360).
int Quadrant(double inTheta) {
    if (inTheta <= 90) return 0;
    if (inTheta <= 180) return 1;
    if (inTheta <= 270) return 2;
    return 3;
}

}  // namespace

CPDFPlacement::CPDFPlacement() = default;

void CPDFPlacement::SetScale(double inX, double inY) {
    mScaleX = inX;
    mScaleY = inY;
}

void CPDFPlacement::SetAlignment(int32_t inHorizontal, int32_t inVertical) {
    mHorizontalAlign = inHorizontal;
    // The stamp counts 0 from the top and 1 from the bottom; the table here the other way.
    if (inVertical == 0)
        mVerticalAlign = kAlignTop;
    else if (inVertical == 1)
        mVerticalAlign = kAlignBottom;
    else
        mVerticalAlign = inVertical;
}

void CPDFPlacement::SetOffset(double inX, double inY) {
    mOffsetX = inX;
    mOffsetY = inY;
}

void CPDFPlacement::SetRotation(double inDegrees) {
    double theta = inDegrees;
    if (!std::isfinite(theta)) theta = 0.0;
    if (theta >= 360.0 || theta <= -360.0) theta -= 360.0 * std::trunc(theta / 360.0);
    if (theta < 0.0) theta += 360.0;
    // -1e-17 + 360 rounds to 360 in doubles; keep the range half-open.
    if (theta >= 360.0) theta = 0.0;
    mRotation = theta;
}

void CPDFPlacement::SetAlignRotatedBox(bool inAlign) { mAlignRotatedBox = inAlign; }

void CPDFPlacement::SetPageView(bool inPageView) { mPageView = inPageView; }

void CPDFPlacement::SetPage(PDPage inPage) {
    mPage = inPage;
    mKnownPage = nullptr;
    ForgetPlacedBox();
}

void CPDFPlacement::ResetMatrix() { mMatrix = {kASFixedOne, 0, 0, kASFixedOne, 0, 0}; }

bool CPDFPlacement::GetScaleMatrix(ASFixedMatrix& outMatrix) const {
    outMatrix = {FixedFromDouble(mScaleX), 0, 0, FixedFromDouble(mScaleY), 0, 0};
    return true;
}

bool CPDFPlacement::Compute() {
    ResetMatrix();
    ASFixedMatrix scale{};
    GetScaleMatrix(scale);
    try {
        CallHost([&] {
            ReadPageGeometry();
            mPageBox = mKnownPageBox;
            mViewPageBox = mPageView ? mKnownViewPageBox : mKnownPageBox;
            const Turn& turn = TurnForRotation();
            const Corners c = mAlignRotatedBox ? CornersOfElementBox(turn) : Corners{};
            // Scale first, then rotate, then translate. A translation after a
            // rotation about the origin only fills in the rotation's
            // translation part: no product to round, so no host call.
            const ASFixedMatrix rotated{turn.matrix.a, turn.matrix.b, turn.matrix.c, turn.matrix.d,
                                        TranslationX(c.x1, c.x2), TranslationY(c.y1, c.y2)};
            gAppSupportHFT->fixedMatrixConcat(&mMatrix, &rotated, &scale);
            if (mPageView) {
                // Placed as displayed; map back into the page's user space.
                if (!mKnownInvertible) throw HostError(kHostErrGeneric, "the page's matrix cannot be inverted");
                gAppSupportHFT->fixedMatrixConcat(&mMatrix, &mKnownInverse, &mMatrix);
            }
            NotePlacedBox(rotated);
        });
    } catch (ErrorCode) {
        return false;
    }
    return true;
}

void CPDFPlacement::NotePlacedBox(const ASFixedMatrix& inRotated) {
    // Only kept here: a write computes several times per page, and the box is
    // worked out once, when PlacedOffPage asks.
    mNoted = {mElementBox, inRotated, mPageView ? mKnownInverse : kIdentity, true};
    mPlaced = kNotPlaced;
}

void CPDFPlacement::SetPlacedBox(const ASFixedRect& inBox) {
    mNoted.fromCompute = false;
    mPlaced = {FixedToDouble(std::min(inBox.left, inBox.right)), FixedToDouble(std::min(inBox.bottom, inBox.top)),
               FixedToDouble(std::max(inBox.left, inBox.right)), FixedToDouble(std::max(inBox.bottom, inBox.top)),
               true};
}

void CPDFPlacement::ForgetPlacedBox() {
    mNoted.fromCompute = false;
    mPlaced = kNotPlaced;
}

void CPDFPlacement::WorkOutPlacedBox() const {
    // Each corner on its own: a turned box's bounds are not those of its
    // bounds turned again.
    const ASFixedRect& box = mNoted.box;
    const double l = FixedToDouble(box.left), r = FixedToDouble(box.right);
    const double b = FixedToDouble(box.bottom), t = FixedToDouble(box.top);
    bool first = true;
    for (const Point corner : {Point{l, b}, Point{l, t}, Point{r, b}, Point{r, t}}) {
        const Point placed = Map(mNoted.view, Map(mNoted.rotated, corner));
        mPlaced.left = first ? placed.x : std::min(mPlaced.left, placed.x);
        mPlaced.right = first ? placed.x : std::max(mPlaced.right, placed.x);
        mPlaced.bottom = first ? placed.y : std::min(mPlaced.bottom, placed.y);
        mPlaced.top = first ? placed.y : std::max(mPlaced.top, placed.y);
        first = false;
    }
    mPlaced.known = true;
    mNoted.fromCompute = false;
}

bool CPDFPlacement::PlacedOffPage() const {
    if (mNoted.fromCompute) WorkOutPlacedBox();
    if (!mPlaced.known) return false;
    const double pageLeft = FixedToDouble(std::min(mPageBox.left, mPageBox.right));
    const double pageRight = FixedToDouble(std::max(mPageBox.left, mPageBox.right));
    const double pageBottom = FixedToDouble(std::min(mPageBox.bottom, mPageBox.top));
    const double pageTop = FixedToDouble(std::max(mPageBox.bottom, mPageBox.top));
    // How far the box and the page overlap across and up; below 0 they are apart.
    const double across = std::min(mPlaced.right, pageRight) - std::max(mPlaced.left, pageLeft);
    const double up = std::min(mPlaced.top, pageTop) - std::max(mPlaced.bottom, pageBottom);
    if (across < 0 || up < 0) return true;
    // Touching the page's edge shows nothing of a box that has an area.
    return (across == 0 && mPlaced.right > mPlaced.left) || (up == 0 && mPlaced.top > mPlaced.bottom);
}

void CPDFPlacement::ReadPageGeometry() {
    // A writer computes several times per page (the text, its frame, each
    // prefix word wrap tries): the page's box and matrix, and what follows
    // from them alone, are worked out once per page and write. SetPage, which
    // every write of a page starts with, drops them, so that nothing read
    // before a change to the page is used after it.
    if (mKnownPage == mPage && mPage) return;
    mKnownPage = nullptr;
    gPDModelHFT->pageGetBox(mPage, &mKnownPageBox);
    gPDModelHFT->pageGetDefaultMatrix(mPage, &mKnownDefaultMatrix);
    gAppSupportHFT->fixedMatrixTransformRect(&mKnownViewPageBox, &mKnownDefaultMatrix, &mKnownPageBox);
    mKnownInvertible = gAppSupportHFT->fixedMatrixInvert(&mKnownInverse, &mKnownDefaultMatrix);
    mKnownPage = mPage;
}

const CPDFPlacement::Turn& CPDFPlacement::TurnForRotation() {
    // A stamp keeps its rotation for every page it writes.
    if (mTurn.rotation == mRotation) return mTurn;
    const double rho = Radians(mRotation);
    mTurn.rotation = mRotation;
    mTurn.cosine = std::cos(rho);
    mTurn.sine = std::sin(rho);
    mTurn.negativeSine = std::sin(-rho);
    mTurn.matrix = {FixedFromDouble(mTurn.cosine), FixedFromDouble(mTurn.sine),
                    FixedFromDouble(mTurn.negativeSine), FixedFromDouble(mTurn.cosine), 0, 0};
    return mTurn;
}

CPDFPlacement::Corners CPDFPlacement::CornersOfElementBox(const Turn& inTurn) {
    if (mHaveCorners && mCornersRotation == inTurn.rotation && SameBox(mCornersBox, mElementBox)) return mCorners;
    const double rho = Radians(inTurn.rotation);
    const double l = FixedToDouble(mElementBox.left);
    const double t = FixedToDouble(mElementBox.top);
    const double r = FixedToDouble(mElementBox.right);
    const double b = FixedToDouble(mElementBox.bottom);
    const double alpha = std::atan2(t - b, r - l);
    const double delta = std::sqrt((r - l) * (r - l) + (t - b) * (t - b)) * 0.5;
    // (x1, y1) is the box's centre turned by the rotation (half its far corner);
    // (x2, y2) the same for the box mirrored at the x axis.
    mCorners = {std::cos(alpha + rho) * delta, std::sin(alpha + rho) * delta, std::cos(alpha - rho) * delta,
                std::sin(alpha - rho) * delta};
    mCornersBox = mElementBox;
    mCornersRotation = inTurn.rotation;
    mHaveCorners = true;
    return mCorners;
}

ASFixed CPDFPlacement::TranslationX(double inX1, double inX2) const {
    const int64_t left = mViewPageBox.left;
    const int64_t right = mViewPageBox.right;
    const int64_t ox = Fx(mOffsetX);
    switch (mHorizontalAlign) {
        case kAlignLeft: {
            const int q = Quadrant(mRotation);
            const int64_t corner = q == 0   ? Fx(inX2 - inX1)
                                   : q == 1 ? Fx(-2 * inX1)
                                   : q == 2 ? Fx(-inX2 - inX1)
                                            : 0;
            return ClampFixed(left + corner + ox);
        }
        case kAlignRight: {
            const int q = Quadrant(mRotation);
            const int64_t corner = q == 0   ? Fx(inX2 + inX1)
                                   : q == 1 ? 0
                                   : q == 2 ? Fx(inX1 - inX2)
                                            : Fx(2 * inX1);
            return ClampFixed(right - corner - ox);
        }
        default: {
            const int64_t halfWidth = (right - left) / 2;
            return ClampFixed(left + halfWidth - Fx(inX1) + ox);
        }
    }
}

ASFixed CPDFPlacement::TranslationY(double inY1, double inY2) const {
    const int64_t bottom = mViewPageBox.bottom;
    const int64_t top = mViewPageBox.top;
    const int64_t oy = Fx(mOffsetY);
    switch (mVerticalAlign) {
        case kAlignBottom: {
            const int q = Quadrant(mRotation);
            const int64_t corner = q == 0   ? 0
                                   : q == 1 ? Fx(-inY1 - inY2)
                                   : q == 2 ? Fx(-2 * inY1)
                                            : Fx(inY2 - inY1);
            return ClampFixed(bottom + corner + oy);
        }
        case kAlignTop: {
            const int q = Quadrant(mRotation);
            const int64_t corner = q == 0   ? Fx(2 * inY1)
                                   : q == 1 ? Fx(inY1 - inY2)
                                   : q == 2 ? 0
                                            : Fx(inY1 + inY2);
            return ClampFixed(top - corner - oy);
        }
        default: {
            const int64_t halfHeight = (top - bottom) / 2;
            return ClampFixed(bottom + halfHeight - Fx(inY1) + oy);
        }
    }
}

bool CPDFPlacement::FitsOnPage(ASFixed& outLeft, ASFixed& outTop, ASFixed& outRight,
                               ASFixed& outBottom) const {
    outLeft = outTop = outRight = outBottom = 0;
    bool fits = true;
    const auto overflow = [](int64_t inBeyond) { return ClampFixed(inBeyond); };
    if (mElementBox.left < mPageBox.left) {
        outLeft = overflow(int64_t{mPageBox.left} - mElementBox.left);
        fits = false;
    }
    if (mElementBox.right > mPageBox.right) {
        outRight = overflow(int64_t{mElementBox.right} - mPageBox.right);
        fits = false;
    }
    if (mElementBox.top > mPageBox.top) {
        outTop = overflow(int64_t{mElementBox.top} - mPageBox.top);
        fits = false;
    }
    if (mElementBox.bottom < mPageBox.bottom) {
        outBottom = overflow(int64_t{mPageBox.bottom} - mElementBox.bottom);
        fits = false;
    }
    return fits;
}
