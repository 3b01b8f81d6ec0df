#include "render/PageRenderer.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <unordered_map>

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <poppler-qt6.h>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDFWriter.hh>

#include "core/Raise.h"
#include "pdmodel/DocumentChanges.h"
#include "render/DrawPlacement.h"
#include "pdmodel/PageGeometry.h"
#include "support/FixedMath.h"

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

void dropClosedDocuments() {
    auto& map = cache();
    for (auto it = map.begin(); it != map.end();) {
        if (documentOf(reinterpret_cast<PDDoc>(static_cast<uintptr_t>(it->first))))
            ++it;
        else
            it = map.erase(it);
    }
}

Poppler::Document& popplerDocumentOf(Document& document) {
    dropClosedDocuments();
    CachedDocument& entry = cache()[document.serial()];
    const uint64_t changeCount = documentChangeCount(document);
    if (entry.poppler && entry.changeCount == changeCount) return *entry.poppler;
    entry.poppler.reset();
    std::unique_ptr<Poppler::Document> loaded = Poppler::Document::loadFromData(bytesForDrawing(document.qpdf()));
    if (!loaded || loaded->isLocked())
        raise(kHostErrBadPDF, "the page renderer cannot read " + document.displayName());
    loaded->setRenderHint(Poppler::Document::Antialiasing, true);
    loaded->setRenderHint(Poppler::Document::TextAntialiasing, true);
    entry.poppler = std::move(loaded);
    entry.changeCount = changeCount;
    return *entry.poppler;
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

struct PixelRect {
    int x0, y0, x1, y1;  // x1, y1 exclusive
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// The image pixels that updateRect covers (the whole image for none).
PixelRect updateArea(const QImage& image, const ASFixedMatrix& matrix, const ASFixedRect* updateRect) {
    PixelRect area{0, 0, image.width(), image.height()};
    if (!updateRect) return area;
    const ASFixedRect r = transformRect(matrix, *updateRect);
    const double height = image.height();
    auto clampTo = [](double value, int low, int high) {
        return static_cast<int>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
    };
    area.x0 = clampTo(std::floor(fixedToDouble(r.left)), 0, image.width());
    area.x1 = clampTo(std::ceil(fixedToDouble(r.right)), 0, image.width());
    area.y0 = clampTo(std::floor(height - fixedToDouble(r.top)), 0, image.height());
    area.y1 = clampTo(std::ceil(height - fixedToDouble(r.bottom)), 0, image.height());
    return area;
}

}  // namespace

QByteArray bytesForDrawing(QPDF& qpdf) {
    QPDFWriter writer(qpdf);
    writer.setOutputMemory();
    writer.setPreserveEncryption(false);
    writer.setDecodeLevel(qpdf_dl_none);  // streams are read once, by poppler: no re-encoding
    writer.setCompressStreams(false);
    writer.write();
    std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()), static_cast<qsizetype>(buffer->getSize()));
}

void renderPage(Document& document, int pageIndex, QImage& image, const ASFixedMatrix& matrix,
                const ASFixedRect* updateRect) {
    if (image.isNull()) return;
    QPDFObjectHandle pageObject = document.qpdf().getAllPages().at(static_cast<size_t>(pageIndex));
    DrawPlacement placement;
    if (!placeDrawing(matrix, displayedPageBox(pageObject), image.height(), &placement))
        raise(kHostErrUnsupported, "pageDrawContents: only upright, uniformly scaled drawings by quarter turns "
                                   "are supported");
    // The part of the image to paint, in the rendering's own pixels.
    const PixelRect area = updateArea(image, matrix, updateRect);
    const int left = static_cast<int>(std::lround(placement.left));
    const int top = static_cast<int>(std::lround(placement.top));
    const PixelRect slice{std::max(area.x0 - left, 0), std::max(area.y0 - top, 0),
                          std::min(area.x1 - left, static_cast<int>(std::ceil(placement.width - 1e-6))),
                          std::min(area.y1 - top, static_cast<int>(std::ceil(placement.height - 1e-6)))};
    if (slice.empty()) return;

    std::unique_ptr<Poppler::Page> page = popplerDocumentOf(document).page(pageIndex);
    if (!page) raise(kHostErrBadPDF, "the page renderer finds no page " + std::to_string(pageIndex) + " in " +
                                         document.displayName());
    const double dpi = 72.0 * placement.scale;
    const QImage piece = page->renderToImage(dpi, dpi, slice.x0, slice.y0, slice.x1 - slice.x0, slice.y1 - slice.y0,
                                             extraRotation(placement.rotation - popplerRotation(*page)));
    if (piece.isNull())
        raise(kHostErrGeneric, "the page renderer could not draw page " + std::to_string(pageIndex) + " of " +
                                   document.displayName());
    QPainter painter(&image);
    painter.drawImage(QPoint(slice.x0 + left, slice.y0 + top), piece);
}

size_t cachedRenderingCount() {
    dropClosedDocuments();
    size_t count = 0;
    for (const auto& entry : cache()) count += entry.second.poppler ? 1u : 0u;
    return count;
}

}  // namespace qmhost
