#include "viewer/PageLayout.h"

#include <algorithm>
#include <cmath>

namespace qmviewer {

void PageLayout::setPageSizes(std::vector<QSizeF> sizes) {
    mSizes = std::move(sizes);
    mTops.assign(mSizes.size(), 0);
}

void PageLayout::layOut(const Zoom& zoom, QSize viewport) {
    double widest = 1.0, tallest = 1.0;
    for (const QSizeF& size : mSizes) {
        widest = std::max(widest, size.width());
        tallest = std::max(tallest, size.height());
    }
    const double width = std::max(viewport.width() - 2 * kGap, 16);
    const double height = std::max(viewport.height() - 2 * kGap, 16);
    switch (zoom.mode) {
        case ZoomMode::FitWidth: mScale = width / widest; break;
        case ZoomMode::FitPage: mScale = std::min(width / widest, height / tallest); break;
        case ZoomMode::Percent:
            mScale = std::clamp(zoom.percent, kMinPercent, kMaxPercent) / 100.0 * kPixelsPerPointAt100;
            break;
    }
    // Fit modes stay within the zoom range too, so a tiny window never asks
    // for a page a few pixels high, nor a huge one for a gigantic bitmap.
    mScale = std::clamp(mScale, kMinPercent / 100.0 * kPixelsPerPointAt100, kMaxPercent / 100.0 * kPixelsPerPointAt100);
    int top = kGap;
    int contentWidth = 0;
    for (size_t i = 0; i < mSizes.size(); ++i) {
        mTops[i] = top;
        top += static_cast<int>(std::ceil(mSizes[i].height() * mScale)) + kGap;
        contentWidth = std::max(contentWidth, static_cast<int>(std::ceil(mSizes[i].width() * mScale)));
    }
    mContent = QSize(std::max(contentWidth + 2 * kGap, viewport.width()), top);
}

QRect PageLayout::pageRect(int page) const {
    const QSizeF size = mSizes.at(static_cast<size_t>(page));
    const int width = static_cast<int>(std::ceil(size.width() * mScale));
    const int height = static_cast<int>(std::ceil(size.height() * mScale));
    return QRect((mContent.width() - width) / 2, mTops[static_cast<size_t>(page)], width, height);
}

int PageLayout::pageAt(int y) const {
    if (mTops.empty()) return -1;
    // The last page whose top is at or above y + gap (the gap above a page belongs to it).
    const auto it = std::upper_bound(mTops.begin(), mTops.end(), y + kGap);
    const int index = static_cast<int>(it - mTops.begin()) - 1;
    return std::clamp(index, 0, pageCount() - 1);
}

std::pair<int, int> PageLayout::pagesBetween(int top, int bottom) const {
    if (mTops.empty() || bottom < top) return {-1, -1};
    int first = pageAt(top);
    if (pageRect(first).bottom() < top && first + 1 < pageCount()) ++first;
    const int last = pageAt(bottom);
    if (last < first) return {-1, -1};
    return {first, last};
}

}  // namespace qmviewer
