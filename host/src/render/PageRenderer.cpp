#include "render/PageRenderer.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <qpdf/QPDFWriter.hh>

#include "core/LazyLibrary.h"
#include "core/Raise.h"
#include "pdmodel/DocumentChanges.h"
#include "pdmodel/PageGeometry.h"
#include "render/DrawPlacement.h"
#include "render/DrawingLibrary.h"
#include "support/FixedMath.h"

namespace qmhost {
namespace {

// The drawing library, opened on the first drawing; null until then.
const DrawingLibrary* gDrawing = nullptr;

const DrawingLibrary& drawingLibrary() {
    if (!gDrawing) gDrawing = &lazyTable<DrawingLibrary>(kDrawingLibraryFile, kDrawingLibrarySymbol);
    return *gDrawing;
}

bool isOpenDocument(uint32_t serial) {
    return documentOf(reinterpret_cast<PDDoc>(static_cast<uintptr_t>(serial))) != nullptr;
}

// Loads the document into the drawing library unless it holds it unchanged.
void loadForDrawing(const DrawingLibrary& drawing, Document& document) {
    drawing.keepOpen(isOpenDocument);
    const uint64_t changeCount = documentChangeCount(document);
    if (drawing.holds(document.serial(), changeCount)) return;
    const std::shared_ptr<Buffer> bytes = bytesForDrawing(document.qpdf());
    if (!drawing.load(document.serial(), changeCount, bytes->getBuffer(), bytes->getSize()))
        raise(kHostErrBadPDF, "the page renderer cannot read " + document.displayName());
}

struct PixelRect {
    int x0, y0, x1, y1;  // x1, y1 exclusive
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

// The image pixels that updateRect covers (the whole image for none).
PixelRect updateArea(int width, int height, const ASFixedMatrix& matrix, const ASFixedRect* updateRect) {
    PixelRect area{0, 0, width, height};
    if (!updateRect) return area;
    const ASFixedRect r = transformRect(matrix, *updateRect);
    auto clampTo = [](double value, int low, int high) {
        return static_cast<int>(std::clamp(value, static_cast<double>(low), static_cast<double>(high)));
    };
    area.x0 = clampTo(std::floor(fixedToDouble(r.left)), 0, width);
    area.x1 = clampTo(std::ceil(fixedToDouble(r.right)), 0, width);
    area.y0 = clampTo(std::floor(height - fixedToDouble(r.top)), 0, height);
    area.y1 = clampTo(std::ceil(height - fixedToDouble(r.bottom)), 0, height);
    return area;
}

}  // namespace

std::shared_ptr<Buffer> bytesForDrawing(QPDF& qpdf) {
    QPDFWriter writer(qpdf);
    writer.setOutputMemory();
    writer.setPreserveEncryption(false);
    writer.setDecodeLevel(qpdf_dl_none);  // streams are read once, by poppler: no re-encoding
    writer.setCompressStreams(false);
    writer.write();
    return writer.getBufferSharedPointer();
}

void renderPage(Document& document, int pageIndex, void* image, const ASFixedMatrix& matrix,
                const ASFixedRect* updateRect) {
    const DrawingLibrary& drawing = drawingLibrary();
    int width = 0;
    int height = 0;
    if (!drawing.imageSize(image, &width, &height)) return;
    QPDFObjectHandle pageObject = document.qpdf().getAllPages().at(static_cast<size_t>(pageIndex));
    DrawPlacement placement;
    if (!placeDrawing(matrix, displayedPageBox(pageObject), height, &placement))
        raise(kHostErrUnsupported, "pageDrawContents: only upright, uniformly scaled drawings by quarter turns "
                                   "are supported");
    // The part of the image to paint, in the rendering's own pixels.
    const PixelRect area = updateArea(width, height, matrix, updateRect);
    const int left = static_cast<int>(std::lround(placement.left));
    const int top = static_cast<int>(std::lround(placement.top));
    const PixelRect slice{std::max(area.x0 - left, 0), std::max(area.y0 - top, 0),
                          std::min(area.x1 - left, static_cast<int>(std::ceil(placement.width - 1e-6))),
                          std::min(area.y1 - top, static_cast<int>(std::ceil(placement.height - 1e-6)))};
    if (slice.empty()) return;

    loadForDrawing(drawing, document);
    switch (drawing.draw(document.serial(), pageIndex, 72.0 * placement.scale, placement.rotation, slice.x0,
                         slice.y0, slice.x1 - slice.x0, slice.y1 - slice.y0, image, left, top)) {
        case DrawOutcome::Drawn: return;
        case DrawOutcome::NoPage:
            raise(kHostErrBadPDF, "the page renderer finds no page " + std::to_string(pageIndex) + " in " +
                                      document.displayName());
        case DrawOutcome::NotDrawn: break;
    }
    raise(kHostErrGeneric, "the page renderer could not draw page " + std::to_string(pageIndex) + " of " +
                               document.displayName());
}

size_t cachedRenderingCount() { return gDrawing ? gDrawing->keepOpen(isOpenDocument) : 0; }

bool drawingLibraryLoaded() { return isLibraryLoaded(kDrawingLibraryFile); }

}  // namespace qmhost
