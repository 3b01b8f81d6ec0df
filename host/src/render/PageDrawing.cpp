// Drawing a page into an image, for previews.
#include "core/Raise.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/Destinations.h"
#include "pdmodel/PageHandles.h"
#include "render/PageRenderer.h"

namespace qmhost {

void pageDrawContents(PDPage page, void* image, const ASFixedMatrix* matrix, const ASFixedRect* updateRect) {
    if (!image) raise(kHostErrBadParameter, "pageDrawContents: no image");
    if (!matrix) raise(kHostErrBadParameter, "pageDrawContents: no matrix");
    Document& document = documentOfPage(page, "pageDrawContents");
    QPDFObjectHandle object = pageObjectOf(page, "pageDrawContents");
    docGuarded("pageDrawContents", document, [&] {
        const int32_t index = pageNumberIn(document, object);
        if (index < 0)
            raise(kHostErrNotFound, "pageDrawContents: the page is no longer in " + document.displayName());
        renderPage(document, index, image, *matrix, updateRect);
    });
}

}  // namespace qmhost
