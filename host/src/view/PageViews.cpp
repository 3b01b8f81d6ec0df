#include "view/PageViews.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "core/Raise.h"
#include "cos/Document.h"
#include "pdmodel/PageGeometry.h"
#include "support/FixedMath.h"
#include "view/Views.h"

namespace qmhost {
namespace {

struct PageView {
    int32_t page = 0;
    PageViewCounts counts;
};

// By view; a page view's handle is its view's handle.
std::map<uintptr_t, PageView>& pageViews() {
    static auto* v = new std::map<uintptr_t, PageView>;
    return *v;
}

AVDoc viewOf(AVPageView pageView) { return reinterpret_cast<AVDoc>(pageView); }

PageView& stateOf(AVPageView pageView, const char* op) {
    views().documentOf(viewOf(pageView));  // raises for an unknown or closed view
    if (!pageView) raise(kHostErrBadParameter, std::string(op) + ": no page view given");
    return pageViews()[reinterpret_cast<uintptr_t>(pageView)];
}

QPDFObjectHandle shownPage(AVPageView pageView, const char* op) {
    Document& document = checkedDocument(views().documentOf(viewOf(pageView)), op);
    const auto pages = document.qpdf().getAllPages();
    const int32_t number = stateOf(pageView, op).page;
    if (number < 0 || static_cast<size_t>(number) >= pages.size())
        raise(kHostErrBadIndex, std::string(op) + ": the view shows no page");
    return pages[static_cast<size_t>(number)];
}

// User space to device space of the shown page.
void toDevice(AVPageView pageView, double x, double y, double& dx, double& dy, const char* op) {
    QPDFObjectHandle page = shownPage(pageView, op);
    const ASFixedRect box = displayedPageBox(page);
    const int rotation = pageRotation(page);
    const ASFixedMatrix m = defaultPageMatrix(box, rotation);
    const double height = fixedToDouble(rotation % 180 ? box.right - box.left : box.top - box.bottom);
    dx = fixedToDouble(m.a) * x + fixedToDouble(m.c) * y + fixedToDouble(m.h);
    dy = height - (fixedToDouble(m.b) * x + fixedToDouble(m.d) * y + fixedToDouble(m.v));
}

int16_t clamp16(double v) { return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L)); }

}  // namespace

PageViewCounts pageViewCounts(AVDoc view) { return pageViews()[reinterpret_cast<uintptr_t>(view)].counts; }

namespace pageviewentries {

AVPageView docGetPageView(AVDoc view) {
    return guarded("docGetPageView", [&] {
        views().documentOf(view);
        pageViews()[reinterpret_cast<uintptr_t>(view)];
        return reinterpret_cast<AVPageView>(view);
    });
}

void pageViewPointToDevice(AVPageView pageView, const ASFixedPoint* point, int16_t* x, int16_t* y) {
    guarded("pageViewPointToDevice", [&] {
        if (!point || !x || !y) raise(kHostErrBadParameter, "pageViewPointToDevice: no point given");
        double dx, dy;
        toDevice(pageView, fixedToDouble(point->h), fixedToDouble(point->v), dx, dy, "pageViewPointToDevice");
        *x = clamp16(dx);
        *y = clamp16(dy);
    });
}

void pageViewRectToDevice(AVPageView pageView, const ASFixedRect* rect, AVDevRect* out) {
    guarded("pageViewRectToDevice", [&] {
        if (!rect || !out) raise(kHostErrBadParameter, "pageViewRectToDevice: no rectangle given");
        double left = 1e9, top = 1e9, right = -1e9, bottom = -1e9;
        for (ASFixed x : {rect->left, rect->right})
            for (ASFixed y : {rect->top, rect->bottom}) {
                double dx, dy;
                toDevice(pageView, fixedToDouble(x), fixedToDouble(y), dx, dy, "pageViewRectToDevice");
                left = std::min(left, dx), right = std::max(right, dx);
                top = std::min(top, dy), bottom = std::max(bottom, dy);
            }
        *out = {clamp16(std::floor(left)), clamp16(std::floor(top)), clamp16(std::ceil(right)), clamp16(std::ceil(bottom))};
    });
}

void pageViewInvalidateRect(AVPageView pageView, const AVDevRect*) {
    guarded("pageViewInvalidateRect", [&] { ++stateOf(pageView, "pageViewInvalidateRect").counts.invalidated; });
}

void pageViewDrawNow(AVPageView pageView) {
    guarded("pageViewDrawNow", [&] { ++stateOf(pageView, "pageViewDrawNow").counts.drawn; });
}

void pageViewGoTo(AVPageView pageView, int32_t pageNumber) {
    guarded("pageViewGoTo", [&] {
        PageView& state = stateOf(pageView, "pageViewGoTo");
        Document& document = checkedDocument(views().documentOf(viewOf(pageView)), "pageViewGoTo");
        const size_t count = document.qpdf().getAllPages().size();
        if (pageNumber < 0 || static_cast<size_t>(pageNumber) >= count)
            raise(kHostErrBadIndex, "pageViewGoTo: page " + std::to_string(pageNumber) + " of " + std::to_string(count));
        state.page = pageNumber;
    });
}

int32_t pageViewGetPageNum(AVPageView pageView) {
    return guarded("pageViewGetPageNum", [&] { return stateOf(pageView, "pageViewGetPageNum").page; });
}

void pageViewScrollToRect(AVPageView pageView, const AVDevRect* rect, bool, bool, int16_t) {
    guarded("pageViewScrollToRect", [&] {
        if (!rect) raise(kHostErrBadParameter, "pageViewScrollToRect: no rectangle given");
        ++stateOf(pageView, "pageViewScrollToRect").counts.scrolled;
    });
}

}  // namespace pageviewentries
}  // namespace qmhost
