#include "viewer/DocumentSnapshot.h"

#include <poppler-qt6.h>
#include <QByteArray>

#include "cos/Document.h"
#include "pdmodel/DocumentChanges.h"
#include "pdmodel/PageGeometry.h"
#include "render/PageRenderer.h"
#include "support/FixedMath.h"

namespace qmviewer {

std::shared_ptr<Poppler::Document> makeSnapshot(PDDoc doc, QString* error) {
    qmhost::Document* document = qmhost::documentOf(doc);
    if (!document) {
        *error = QStringLiteral("the document is closed");
        return nullptr;
    }
    std::unique_ptr<Poppler::Document> loaded;
    try {
        if (document->hasPath() && qmhost::documentChangeCount(*document) == 0)
            loaded = Poppler::Document::load(QString::fromStdString(document->path()));
        if (!loaded) {
            const std::shared_ptr<Buffer> bytes = qmhost::bytesForDrawing(document->qpdf());
            loaded = Poppler::Document::loadFromData(QByteArray(reinterpret_cast<const char*>(bytes->getBuffer()),
                                                                static_cast<qsizetype>(bytes->getSize())));
        }
    } catch (const std::exception& failure) {
        *error = QString::fromStdString(failure.what());
        return nullptr;
    }
    if (!loaded || loaded->isLocked()) {
        *error = QStringLiteral("the pages of %1 cannot be drawn").arg(QString::fromStdString(document->displayName()));
        return nullptr;
    }
    loaded->setRenderHint(Poppler::Document::Antialiasing, true);
    loaded->setRenderHint(Poppler::Document::TextAntialiasing, true);
    return std::shared_ptr<Poppler::Document>(loaded.release());
}

std::vector<QSizeF> displayedPageSizes(PDDoc doc) {
    std::vector<QSizeF> sizes;
    qmhost::Document* document = qmhost::documentOf(doc);
    if (!document) return sizes;
    const std::vector<QPDFObjectHandle>& pages = document->qpdf().getAllPages();
    sizes.reserve(pages.size());
    for (const QPDFObjectHandle& page : pages) {
        const ASFixedRect box = qmhost::displayedPageBox(page);
        const double width = qmhost::fixedToDouble(box.right) - qmhost::fixedToDouble(box.left);
        const double height = qmhost::fixedToDouble(box.top) - qmhost::fixedToDouble(box.bottom);
        const int rotation = qmhost::pageRotation(page);
        sizes.push_back(rotation == 90 || rotation == 270 ? QSizeF(height, width) : QSizeF(width, height));
    }
    return sizes;
}

uint64_t contentsGeneration(PDDoc doc) {
    const qmhost::Document* document = qmhost::documentOf(doc);
    return document ? qmhost::documentChangeCount(*document) : 0;
}

bool hasUnsavedChanges(PDDoc doc) {
    const qmhost::Document* document = qmhost::documentOf(doc);
    return document && qmhost::documentModified(*document);
}

QString documentPath(PDDoc doc) {
    const qmhost::Document* document = qmhost::documentOf(doc);
    return document ? QString::fromStdString(document->path()) : QString();
}

}  // namespace qmviewer
