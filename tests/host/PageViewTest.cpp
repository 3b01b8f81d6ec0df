// Page views: user space of the shown page mapped to device pixels (y down),
// for upright and rotated pages, and the requests to draw counted.
#include <gtest/gtest.h>

#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "support/FixedMath.h"
#include "view/PageViews.h"

namespace {

using qmhost::fixedFromDouble;

const AppViewTable& av() { return *qmhost::appViewTable(); }

TEST(PageView, MapsUserSpaceToDevicePixelsOfTheDisplayedPage) {
    qmtest::FixtureFolder folder;
    const std::string path = folder.file("views.pdf");
    qmtest::FixturePage upright, turned;
    upright.mediaBox = qmtest::FixtureRect{0, 0, 200, 100};
    turned.mediaBox = qmtest::FixtureRect{0, 0, 200, 100};
    turned.rotate = 90;
    qmtest::writeFixturePdf(path, {upright, turned});
    PDDoc doc = qmhost::pdModelTable()->docOpen(qmtest::HostPath(path));
    AVDoc view = av().avDocOpenFromPDDoc(doc, "views");
    AVPageView pageView = av().docGetPageView(view);
    struct Row {
        int page;
        double x, y;
        int dx, dy;
    };
    const Row rows[] = {
        {0, 0, 0, 0, 100},   {0, 200, 100, 200, 0}, {0, 50, 25, 50, 75},
        {1, 0, 0, 0, 0},     {1, 200, 0, 0, 200},   {1, 0, 100, 100, 0},  // turned a quarter clockwise
    };
    for (const Row& row : rows) {
        av().pageViewGoTo(pageView, row.page);
        EXPECT_EQ(av().pageViewGetPageNum(pageView), row.page);
        const ASFixedPoint point{fixedFromDouble(row.x), fixedFromDouble(row.y)};
        int16_t x = -1, y = -1;
        av().pageViewPointToDevice(pageView, &point, &x, &y);
        EXPECT_EQ(x, row.dx) << "page " << row.page << " (" << row.x << ", " << row.y << ")";
        EXPECT_EQ(y, row.dy) << "page " << row.page << " (" << row.x << ", " << row.y << ")";
    }
    av().pageViewGoTo(pageView, 0);
    const ASFixedRect rect{fixedFromDouble(10), fixedFromDouble(40), fixedFromDouble(30), fixedFromDouble(20)};
    AVDevRect device;
    av().pageViewRectToDevice(pageView, &rect, &device);
    EXPECT_EQ(device.left, 10);
    EXPECT_EQ(device.top, 60);
    EXPECT_EQ(device.right, 30);
    EXPECT_EQ(device.bottom, 80);
    EXPECT_THROW(av().pageViewGoTo(pageView, 2), HostError);
    av().pageViewInvalidateRect(pageView, &device);
    av().pageViewDrawNow(pageView);
    EXPECT_EQ(qmhost::pageViewCounts(view).invalidated, 1);
    EXPECT_EQ(qmhost::pageViewCounts(view).drawn, 1);
    av().avDocClose(view, true);
    EXPECT_THROW(av().pageViewDrawNow(pageView), HostError) << "the view is gone";
}

}  // namespace
