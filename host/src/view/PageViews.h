// Page views of document views: the page shown and the device space it is
// shown in (72 pixels per inch, the displayed box rotated as the page says, y
// down), with a count of the draws asked for (a headless host draws nothing).
#pragma once

#include "qmhost/AppViewTable.h"

namespace qmhost {

struct PageViewCounts {
    int invalidated = 0;  // invalidate requests
    int drawn = 0;        // draw-now requests
    int scrolled = 0;     // scroll requests
};
// What was asked of a view's page view so far (tests look).
PageViewCounts pageViewCounts(AVDoc view);

namespace pageviewentries {
AVPageView docGetPageView(AVDoc view);
void pageViewPointToDevice(AVPageView pageView, const ASFixedPoint* point, int16_t* x, int16_t* y);
void pageViewRectToDevice(AVPageView pageView, const ASFixedRect* rect, AVDevRect* out);
void pageViewInvalidateRect(AVPageView pageView, const AVDevRect* rect);
void pageViewDrawNow(AVPageView pageView);
void pageViewGoTo(AVPageView pageView, int32_t pageNumber);
int32_t pageViewGetPageNum(AVPageView pageView);
void pageViewScrollToRect(AVPageView pageView, const AVDevRect* rect, bool favorLeft, bool favorTop, int16_t margin);
}  // namespace pageviewentries

}  // namespace qmhost
