// The geometry of the continuous page column and the drawn-page cache.
#include <gtest/gtest.h>

#include <cmath>

#include "viewer/PageCache.h"
#include "viewer/PageLayout.h"

using qmviewer::PageLayout;
using qmviewer::Zoom;
using qmviewer::ZoomMode;

namespace {

constexpr double kPx = qmviewer::kPixelsPerPointAt100;

struct ScaleRow {
    const char* name;
    Zoom zoom;
    QSize viewport;
    double expectedScale;
};

TEST(PageLayout, ScaleFollowsTheZoomWithinItsRange) {
    // Letter pages and one A3 landscape page (the widest and the tallest differ).
    const ScaleRow rows[] = {
        {"fit width uses the widest page", {ZoomMode::FitWidth, 100}, {1206, 800}, (1206.0 - 16) / 1190.0},
        {"fit page fits the tallest page", {ZoomMode::FitPage, 100}, {1206, 808}, (808.0 - 16) / 842.0},
        {"percent is points at 96 dpi", {ZoomMode::Percent, 200}, {500, 500}, 2.0 * kPx},
        {"below 25 % is 25 %", {ZoomMode::Percent, 5}, {500, 500}, 0.25 * kPx},
        {"above 800 % is 800 %", {ZoomMode::Percent, 5000}, {500, 500}, 8.0 * kPx},
        {"a tiny window stops at 25 %", {ZoomMode::FitPage, 100}, {20, 20}, 0.25 * kPx},
    };
    for (const ScaleRow& row : rows) {
        PageLayout layout;
        layout.setPageSizes({QSizeF(612, 792), QSizeF(1190, 842), QSizeF(612, 792)});
        layout.layOut(row.zoom, row.viewport);
        EXPECT_NEAR(layout.scale(), row.expectedScale, 1e-9) << row.name;
    }
}

TEST(PageLayout, PagesStackWithGapsAndAreFoundByRow) {
    PageLayout layout;
    layout.setPageSizes(std::vector<QSizeF>(2000, QSizeF(612, 792)));
    layout.layOut({ZoomMode::Percent, 100}, {1000, 700});
    const int height = static_cast<int>(std::ceil(792 * kPx));
    EXPECT_EQ(layout.pageRect(0).top(), PageLayout::kGap);
    EXPECT_EQ(layout.pageRect(1).top(), 2 * PageLayout::kGap + height);
    EXPECT_EQ(layout.contentSize().height(), 2000 * (height + PageLayout::kGap) + PageLayout::kGap);
    // Centred horizontally in a wider view.
    EXPECT_EQ(layout.pageRect(5).left(), (1000 - layout.pageRect(5).width()) / 2);
    struct Row {
        int top, bottom, first, last;
    };
    const int slot = height + PageLayout::kGap;
    const Row rows[] = {
        {0, 699, 0, 0},                                // the first page alone
        {slot * 10 + 20, slot * 10 + 20 + 1400, 10, 11},  // two pages in a tall view
        {slot * 1999, slot * 1999 + 699, 1999, 1999},   // the last page
        {slot * 5000, slot * 5000 + 10, 1999, 1999},    // past the end: clamped
    };
    for (const Row& row : rows) {
        const auto [first, last] = layout.pagesBetween(row.top, row.bottom);
        EXPECT_EQ(first, row.first) << row.top;
        EXPECT_EQ(last, row.last) << row.top;
    }
    EXPECT_EQ(layout.pagesBetween(10, 5).first, -1);
}

TEST(PageCache, DropsTheLeastRecentlyUsedPagesOverBudget) {
    const QImage page(100, 100, QImage::Format_ARGB32);  // 40,000 bytes
    qmviewer::PageCache cache(3 * page.sizeInBytes());
    for (int i = 0; i < 3; ++i) cache.put(i, {page, 1.0, 0});
    ASSERT_NE(cache.find(0), nullptr);  // page 0 is now the most recently used
    cache.put(3, {page, 1.0, 0});
    EXPECT_EQ(cache.count(), 3u);
    EXPECT_EQ(cache.find(1), nullptr) << "the least recently used goes first";
    EXPECT_NE(cache.find(0), nullptr);
    EXPECT_LE(cache.bytes(), cache.budget());
    // Replacing a page's drawing does not count it twice.
    cache.put(3, {page, 2.0, 1});
    EXPECT_EQ(cache.bytes(), 3 * page.sizeInBytes());
    EXPECT_EQ(cache.find(3)->generation, 1u);
    // A drawing larger than the whole budget is still kept (it is on screen).
    const QImage huge(400, 400, QImage::Format_ARGB32);
    cache.put(9, {huge, 1.0, 0});
    EXPECT_EQ(cache.count(), 1u);
    EXPECT_NE(cache.find(9), nullptr);
}

}  // namespace
