#include "viewer/PageDrawer.h"

#include <poppler-qt6.h>

namespace qmviewer {

PageDrawer::PageDrawer(QObject* parent) : QObject(parent) {
    // One thread: a poppler document is drawn by one thread at a time.
    mPool.setMaxThreadCount(1);
}

PageDrawer::~PageDrawer() {
    mWanted.clear();
    mPool.waitForDone();
}

void PageDrawer::setSource(std::shared_ptr<Poppler::Document> source, uint64_t generation) {
    mSource = std::move(source);
    mGeneration = generation;
    mWanted.clear();
}

void PageDrawer::want(const std::vector<int>& pages, double scale) {
    mWanted.assign(pages.begin(), pages.end());
    mScale = scale;
    startNext();
}

void PageDrawer::startNext() {
    if (mInFlight || mWanted.empty() || !mSource) return;
    const int page = mWanted.front();
    mWanted.pop_front();
    mInFlight = true;
    std::shared_ptr<Poppler::Document> source = mSource;
    const double scale = mScale;
    const uint64_t generation = mGeneration;
    mPool.start([this, source, page, scale, generation] {
        QImage image;
        if (std::unique_ptr<Poppler::Page> popplerPage = source->page(page)) {
            const double dpi = 72.0 * scale;
            image = popplerPage->renderToImage(dpi, dpi);
        }
        // Queued to the drawer's thread; dropped if the drawer is gone by then.
        QMetaObject::invokeMethod(
            this, [this, page, scale, generation, image] { finished(page, scale, generation, image); },
            Qt::QueuedConnection);
    });
}

void PageDrawer::finished(int page, double scale, uint64_t generation, const QImage& image) {
    mInFlight = false;
    emit pageDrawn(page, scale, generation, image);
    startNext();
}

}  // namespace qmviewer
