// Where the pages of a document lie in a continuous, vertically scrolled view:
// one column, pages centred, a gap around each, sizes from the zoom. Pure
// geometry (no widgets), so that a 2,000-page document is laid out in
// microseconds and visible pages are found by binary search.
#pragma once

#include <QRect>
#include <QSizeF>
#include <vector>

namespace qmviewer {

enum class ZoomMode { FitPage, FitWidth, Percent };

struct Zoom {
    ZoomMode mode = ZoomMode::FitWidth;
    double percent = 100.0;  // used in Percent mode; clamped to kMinPercent..kMaxPercent
};

constexpr double kMinPercent = 25.0;
constexpr double kMaxPercent = 800.0;
// Device pixels per point at 100 % (a point is 1/72 inch, the screen 96 dpi).
constexpr double kPixelsPerPointAt100 = 96.0 / 72.0;

class PageLayout {
public:
    // Page sizes in points as displayed (the page's rotation applied).
    void setPageSizes(std::vector<QSizeF> sizes);
    int pageCount() const { return static_cast<int>(mSizes.size()); }
    QSizeF pageSize(int page) const { return mSizes.at(static_cast<size_t>(page)); }

    // Lays the pages out for a viewport of that size (pixels); the scale
    // (pixels per point) follows from the zoom: fit page makes the largest
    // page fit whole, fit width makes the widest page fill the width.
    void layOut(const Zoom& zoom, QSize viewport);
    double scale() const { return mScale; }
    // The zoom in percent that the scale amounts to (for fit modes too).
    double percent() const { return mScale / kPixelsPerPointAt100 * 100.0; }
    QSize contentSize() const { return mContent; }
    // The page's rectangle in content pixels (0-based page).
    QRect pageRect(int page) const;
    // The first and last page that meet content rows top..bottom, or {-1, -1}.
    std::pair<int, int> pagesBetween(int top, int bottom) const;
    // The page whose slot (page and the gap below it) holds content row y, clamped.
    int pageAt(int y) const;

    static constexpr int kGap = 8;

private:
    std::vector<QSizeF> mSizes;
    std::vector<int> mTops;  // per page, in content pixels
    double mScale = kPixelsPerPointAt100;
    QSize mContent;
};

}  // namespace qmviewer
