#include "viewer/PageView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <array>

#include "viewer/DocumentSnapshot.h"
#include "viewer/PageDrawer.h"

namespace qmviewer {
namespace {

// Enough for a screenful of pages at high zoom and a few around it.
constexpr qsizetype kCacheBudget = qsizetype{256} * 1024 * 1024;
constexpr std::array<double, 13> kZoomSteps = {25, 33.33, 50, 66.67, 75, 100, 125, 150, 200, 300, 400, 600, 800};
const QColor kBackground(0x80, 0x80, 0x80);

}  // namespace

PageView::PageView(QWidget* parent) : QAbstractScrollArea(parent), mCache(kCacheBudget) {
    setObjectName(QStringLiteral("PageView"));
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAutoFillBackground(false);
    mDrawer = new PageDrawer(this);
    connect(mDrawer, &PageDrawer::pageDrawn, this, &PageView::onPageDrawn);
}

PageView::~PageView() = default;

bool PageView::setDocument(PDDoc doc, QString* error) {
    mCache.clear();
    mDoc = doc;
    std::shared_ptr<Poppler::Document> snapshot;
    if (doc) {
        snapshot = makeSnapshot(doc, error);
        if (!snapshot) {
            mDoc = nullptr;
            return false;
        }
    }
    mGeneration = doc ? contentsGeneration(doc) : 0;
    mDrawer->setSource(std::move(snapshot), mGeneration);
    mLayout.setPageSizes(doc ? displayedPageSizes(doc) : std::vector<QSizeF>());
    mReportedPage = -1;
    relayout(0);
    return true;
}

void PageView::setZoom(const Zoom& zoom) {
    const int page = currentPage();
    mZoom = zoom;
    mZoom.percent = std::clamp(zoom.percent, kMinPercent, kMaxPercent);
    relayout(page);
}

void PageView::zoomIn() {
    const double now = mLayout.percent();
    for (double step : kZoomSteps)
        if (step > now + 0.5) return setZoom({ZoomMode::Percent, step});
    setZoom({ZoomMode::Percent, kMaxPercent});
}

void PageView::zoomOut() {
    const double now = mLayout.percent();
    for (auto it = kZoomSteps.rbegin(); it != kZoomSteps.rend(); ++it)
        if (*it < now - 0.5) return setZoom({ZoomMode::Percent, *it});
    setZoom({ZoomMode::Percent, kMinPercent});
}

void PageView::relayout(int keepPage) {
    mLayout.layOut(mZoom, viewport()->size());
    updateScrollBars();
    if (pageCount() > 0) goToPage(std::clamp(keepPage, 0, pageCount() - 1));
    emit zoomChanged(mLayout.percent());
    viewport()->update();
}

void PageView::updateScrollBars() {
    const QSize content = mLayout.contentSize();
    const QSize view = viewport()->size();
    verticalScrollBar()->setRange(0, std::max(0, content.height() - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setRange(0, std::max(0, content.width() - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(40);
}

int PageView::currentPage() const {
    if (pageCount() == 0) return 0;
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    const auto [first, last] = mLayout.pagesBetween(top, bottom);
    if (first < 0) return 0;
    int best = first, bestArea = -1;
    for (int page = first; page <= last; ++page) {
        const QRect rect = mLayout.pageRect(page);
        const int shown = std::min(rect.bottom(), bottom) - std::max(rect.top(), top);
        if (shown > bestArea) {
            best = page;
            bestArea = shown;
        }
    }
    return best;
}

void PageView::goToPage(int page) {
    if (pageCount() == 0) return;
    page = std::clamp(page, 0, pageCount() - 1);
    verticalScrollBar()->setValue(mLayout.pageRect(page).top() - PageLayout::kGap);
    viewport()->update();
    reportCurrentPage();
}

void PageView::contentsChanged() {
    if (!mDoc) return;
    const uint64_t generation = contentsGeneration(mDoc);
    if (generation == mGeneration) return;
    QString error;
    std::shared_ptr<Poppler::Document> snapshot = makeSnapshot(mDoc, &error);
    if (!snapshot) return;  // keeps showing the last drawing it could make
    mGeneration = generation;
    mDrawer->setSource(std::move(snapshot), mGeneration);
    // The page count or sizes may have changed as well.
    const int page = currentPage();
    mLayout.setPageSizes(displayedPageSizes(mDoc));
    relayout(page);
}

std::pair<int, int> PageView::visiblePages() const {
    const int top = verticalScrollBar()->value();
    return mLayout.pagesBetween(top, top + viewport()->height());
}

bool PageView::visiblePagesDrawn() const {
    const auto [first, last] = visiblePages();
    if (first < 0) return true;
    for (int page = first; page <= last; ++page)
        if (drawnPage(page).isNull()) return false;
    return true;
}

QImage PageView::drawnPage(int page) const {
    auto& cache = const_cast<PageCache&>(mCache);
    const CachedPage* cached = cache.find(page);
    if (!cached || cached->generation != mGeneration || cached->scale != mLayout.scale()) return QImage();
    return cached->image;
}

void PageView::requestVisible() {
    const auto [first, last] = visiblePages();
    if (first < 0) return;
    std::vector<int> wanted;
    // The visible pages first, then one on either side for smooth scrolling.
    for (int page = first; page <= last; ++page) wanted.push_back(page);
    if (first > 0) wanted.push_back(first - 1);
    if (last + 1 < pageCount()) wanted.push_back(last + 1);
    std::erase_if(wanted, [this](int page) { return !drawnPage(page).isNull(); });
    mDrawer->want(wanted, mLayout.scale());
}

void PageView::onPageDrawn(int page, double scale, quint64 generation, const QImage& image) {
    if (generation != mGeneration || scale != mLayout.scale() || image.isNull() || page >= pageCount()) {
        requestVisible();
        return;
    }
    mCache.put(page, {image, scale, generation});
    const QRect rect = mLayout.pageRect(page).translated(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    viewport()->update(rect);
    emit pageDrawn(page);
}

void PageView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), kBackground);
    const auto [first, last] = visiblePages();
    if (first < 0) return;
    const QPoint offset(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    for (int page = first; page <= last; ++page) {
        const QRect rect = mLayout.pageRect(page).translated(offset);
        painter.fillRect(rect.adjusted(2, 2, 2, 2), QColor(0x50, 0x50, 0x50));  // shadow
        if (const CachedPage* cached = mCache.find(page)) {
            // A drawing at another scale or of older contents stands in until the new one comes.
            painter.drawImage(rect, cached->image);
        } else {
            painter.fillRect(rect, Qt::white);
        }
    }
    requestVisible();
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayout(currentPage());
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
    reportCurrentPage();
}

void PageView::reportCurrentPage() {
    const int page = currentPage();
    if (page == mReportedPage) return;
    mReportedPage = page;
    emit currentPageChanged(page, pageCount());
}

void PageView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Home: firstPage(); return;
        case Qt::Key_End: lastPage(); return;
        case Qt::Key_PageDown:
        case Qt::Key_Space: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd); return;
        case Qt::Key_PageUp: verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepSub); return;
        default: QAbstractScrollArea::keyPressEvent(event);
    }
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        if (event->angleDelta().y() > 0) zoomIn();
        if (event->angleDelta().y() < 0) zoomOut();
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

}  // namespace qmviewer
