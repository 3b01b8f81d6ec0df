// libqmhostdraw.so: the render layer's drawing with poppler into Qt images
// (render/DrawingLibrary.h). Built apart from the host's static layers and
// opened on the first drawing; it sees nothing of the host but this table.
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <poppler-qt6.h>

#include <memory>
#include <unordered_map>

#include "render/DrawingLibrary.h"

namespace qmhost {
namespace {

struct CachedDocument {
    uint64_t changeCount = 0;
    std::unique_ptr<Poppler::Document> poppler;
};

// Keyed by document serial (never reused). Destroyed at exit, before poppler's
// own globals, as it is made after them.
std::unordered_map<uint32_t, CachedDocument>& cache() {
    static std::unordered_map<uint32_t, CachedDocument> map;
    return map;
}

// The page's own rotation as poppler reads /Rotate (clockwise degrees).
int popplerRotation(const Poppler::Page& page) {
    switch (page.orientation()) {
        case Poppler::Page::Landscape: return 90;
        case Poppler::Page::UpsideDown: return 180;
        case Poppler::Page::Seascape: return 270;
        default: return 0;
    }
}

Poppler::Page::Rotation extraRotation(int degrees) {
    switch (((degrees % 360) + 360) % 360) {
        case 90: return Poppler::Page::Rotate90;
        case 180: return Poppler::Page::Rotate180;
        case 270: return Poppler::Page::Rotate270;
        default: return Poppler::Page::Rotate0;
    }
}

bool imageSize(const void* image, int* width, int* height) {
    const QImage& qimage = *static_cast<const QImage*>(image);
    if (qimage.isNull()) return false;
    *width = qimage.width();
    *height = qimage.height();
    return true;
}

bool holds(uint32_t serial, uint64_t changeCount) {
    const auto found = cache().find(serial);
    return found != cache().end() && found->second.poppler && found->second.changeCount == changeCount;
}

bool load(uint32_t serial, uint64_t changeCount, const unsigned char* bytes, size_t size) {
    CachedDocument& entry = cache()[serial];
    entry.poppler.reset();
    std::unique_ptr<Poppler::Document> loaded = Poppler::Document::loadFromData(
        QByteArray(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size)));
    if (!loaded || loaded->isLocked()) {
        cache().erase(serial);
        return false;
    }
    loaded->setRenderHint(Poppler::Document::Antialiasing, true);
    loaded->setRenderHint(Poppler::Document::TextAntialiasing, true);
    entry.poppler = std::move(loaded);
    entry.changeCount = changeCount;
    return true;
}

DrawOutcome draw(uint32_t serial, int pageIndex, double dpi, int rotation, int x, int y, int width, int height,
                 void* image, int left, int top) {
    const auto found = cache().find(serial);
    if (found == cache().end() || !found->second.poppler) return DrawOutcome::NotDrawn;
    std::unique_ptr<Poppler::Page> page = found->second.poppler->page(pageIndex);
    if (!page) return DrawOutcome::NoPage;
    const QImage piece =
        page->renderToImage(dpi, dpi, x, y, width, height, extraRotation(rotation - popplerRotation(*page)));
    if (piece.isNull()) return DrawOutcome::NotDrawn;
    QPainter painter(static_cast<QImage*>(image));
    painter.drawImage(QPoint(x + left, y + top), piece);
    return DrawOutcome::Drawn;
}

size_t keepOpen(bool (*isOpen)(uint32_t serial)) {
    auto& map = cache();
    for (auto it = map.begin(); it != map.end();) {
        if (isOpen(it->first))
            ++it;
        else
            it = map.erase(it);
    }
    return map.size();
}

const DrawingLibrary kLibrary = {imageSize, holds, load, draw, keepOpen};

}  // namespace
}  // namespace qmhost

extern "C" __attribute__((visibility("default"))) const qmhost::DrawingLibrary* qmhostDrawingLibrary() {
    return &qmhost::kLibrary;
}
