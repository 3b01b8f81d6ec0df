// Destinations: made from a page and a fit type, read back, and resolved
// against a document (named destinations, page numbers, pages of the document).
#include "pdmodel/Destinations.h"

#include <algorithm>
#include <climits>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>

#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PageHandles.h"
#include "pdmodel/PdfValues.h"

namespace qmhost {

QPDFObjectHandle destinationArray(QPDFObjectHandle dest) {
    if (dest.isDictionary()) dest = dest.getKey("/D");
    return dest.isArray() ? dest : QPDFObjectHandle::newNull();
}

namespace {

// The page numbers of the pages of the document last asked about, by object.
// qpdf's own findPage would first flatten the page tree, pushing inherited
// attributes (a shared /Resources, /MediaBox, /Rotate) into every page: asking
// for a page's number must not change the document. The numbers are checked
// against qpdf's page list on every use, so a page list changed since (pages
// inserted, deleted) is noticed and the table made again.
struct PageNumberCache {
    std::mutex lock;  // pages may be drawn on another thread than the one that stamps
    uint32_t serial = 0;
    std::map<QPDFObjGen, int32_t> numbers;
};

PageNumberCache& pageNumberCache() {
    static PageNumberCache cache;
    return cache;
}

}  // namespace

int32_t pageNumberIn(Document& document, QPDFObjectHandle page) {
    if (!page.isIndirect() || !page.isDictionary() || page.getOwningQPDF() != &document.qpdf()) return -1;
    const QPDFObjGen wanted = page.getObjGen();
    PageNumberCache& cache = pageNumberCache();
    const std::lock_guard<std::mutex> held(cache.lock);
    try {
        const std::vector<QPDFObjectHandle>& pages = document.qpdf().getAllPages();
        auto lookUp = [&]() -> int32_t {
            if (cache.serial != document.serial()) return -1;
            const auto found = cache.numbers.find(wanted);
            if (found == cache.numbers.end()) return -1;
            const auto index = static_cast<size_t>(found->second);
            return index < pages.size() && pages[index].getObjGen() == wanted ? found->second : -1;
        };
        const int32_t known = lookUp();
        if (known >= 0) return known;
        cache.serial = document.serial();
        cache.numbers.clear();
        for (size_t i = 0; i < pages.size(); ++i)
            cache.numbers.try_emplace(pages[i].getObjGen(), static_cast<int32_t>(i));
        return lookUp();
    } catch (const std::exception&) {
        cache.serial = 0;
        return -1;  // a page tree qpdf cannot read has no such page
    }
}

namespace {

QPDFObjectHandle copiedValue(QPDFObjectHandle value) {
    if (value.isInteger()) return QPDFObjectHandle::newInteger(value.getIntValue());
    if (value.isReal()) return QPDFObjectHandle::newReal(value.getRealValue());  // its text, exactly
    if (value.isName()) return QPDFObjectHandle::newName(value.getName());
    if (value.isBool()) return QPDFObjectHandle::newBool(value.getBoolValue());
    return QPDFObjectHandle::newNull();
}

}  // namespace

QPDFObjectHandle destinationWithFirst(QPDFObjectHandle first, QPDFObjectHandle dest) {
    QPDFObjectHandle result = QPDFObjectHandle::newArray();
    result.appendItem(first);
    for (int i = 1; i < dest.getArrayNItems(); ++i) result.appendItem(copiedValue(dest.getArrayItem(i)));
    return result;
}

}  // namespace qmhost

namespace qmhost::pdmodel {
namespace {

enum class FitArgs { None, Left, Top, LeftTopZoom, Rect };

// The numbers that follow the fit type's name; false for an unknown fit type.
bool fitArgsOf(const std::string& fitName, FitArgs* args) {
    if (fitName == "/XYZ") *args = FitArgs::LeftTopZoom;
    else if (fitName == "/Fit" || fitName == "/FitB") *args = FitArgs::None;
    else if (fitName == "/FitH" || fitName == "/FitBH") *args = FitArgs::Top;
    else if (fitName == "/FitV" || fitName == "/FitBV") *args = FitArgs::Left;
    else if (fitName == "/FitR") *args = FitArgs::Rect;
    else return false;
    return true;
}

// A named destination of document: a name in the catalog's /Dests dictionary or a
// string in the /Names /Dests name tree (either kind of key is tried in both).
QPDFObjectHandle lookUpNamed(Document& document, QPDFObjectHandle key) {
    const std::string text = key.isName() ? key.getName().substr(1) : key.getUTF8Value();
    QPDFObjectHandle root = document.qpdf().getRoot();
    QPDFObjectHandle dests = root.getKey("/Dests");
    if (dests.isDictionary() && dests.hasKey("/" + text)) return dests.getKey("/" + text);
    QPDFObjectHandle names = root.getKey("/Names");
    QPDFObjectHandle tree = names.isDictionary() ? names.getKey("/Dests") : QPDFObjectHandle::newNull();
    if (tree.isDictionary()) {
        QPDFObjectHandle found;
        QPDFNameTreeObjectHelper helper(tree, document.qpdf());
        if (helper.findObject(key.isString() ? key.getStringValue() : text, found)) return found;
    }
    return QPDFObjectHandle::newNull();
}

PDViewDestination noDestination() { return PDViewDestination{CosObj{0, 0}}; }

}  // namespace

PDViewDestination destCreate(PDDoc doc, PDPage page, ASAtom fitType, const ASFixedRect* rect, ASFixed zoom,
                             int32_t pageNumber) {
    Document& document = checkedDocument(doc, "destCreate");
    const std::string fitName = pdfNameOf(fitType, "destCreate");
    FitArgs args;
    if (!fitArgsOf(fitName, &args)) raise(kHostErrBadParameter, "destCreate: unknown fit type " + fitName);
    QPDFObjectHandle first = QPDFObjectHandle::newInteger(pageNumber);
    if (page) {
        Document& pageDocument = documentOfPage(page, "destCreate");
        if (&pageDocument == &document) first = pageObjectOf(page, "destCreate");
    }
    const ASFixedRect none{kNullFixed, kNullFixed, kNullFixed, kNullFixed};
    const ASFixedRect& r = rect ? *rect : none;
    return docGuarded("destCreate", document, [&] {
        QPDFObjectHandle dest = QPDFObjectHandle::newArray();
        dest.appendItem(first);
        dest.appendItem(QPDFObjectHandle::newName(fitName));
        switch (args) {
            case FitArgs::None: break;
            case FitArgs::Left: dest.appendItem(pdfNumberOrNull(r.left)); break;
            case FitArgs::Top: dest.appendItem(pdfNumberOrNull(r.top)); break;
            case FitArgs::LeftTopZoom:
                dest.appendItem(pdfNumberOrNull(r.left));
                dest.appendItem(pdfNumberOrNull(r.top));
                dest.appendItem(pdfNumberOrNull(zoom));  // kPDViewDestNullZoom is the null marker
                break;
            case FitArgs::Rect:
                dest.appendItem(pdfNumberOrNull(r.left));
                dest.appendItem(pdfNumberOrNull(r.bottom));
                dest.appendItem(pdfNumberOrNull(r.right));
                dest.appendItem(pdfNumberOrNull(r.top));
                break;
        }
        return PDViewDestination{handleFor(document, dest)};
    });
}

PDViewDestination destResolve(PDViewDestination dest, PDDoc doc) {
    Document& document = checkedDocument(doc, "destResolve");
    if (isNullHandle(dest.cos)) return noDestination();
    QPDFObjectHandle object = objectOf(dest.cos);
    bool ofDocument = dest.cos.a == document.serial();
    return docGuarded("destResolve", document, [&] {
        const bool named = object.isName() || object.isString();
        if (named) {
            object = lookUpNamed(document, object);
            ofDocument = true;
        }
        QPDFObjectHandle array = destinationArray(object);
        if (!array.isArray() || array.getArrayNItems() < 1) return noDestination();
        QPDFObjectHandle first = array.getArrayItem(0);
        if (first.isDictionary()) {
            if (!ofDocument) {
                // A page of another document (the carrier of a stored action) stands for the
                // page with the same number here.
                const int32_t number = pageNumberIn(documentOfObject(dest.cos), first);
                const std::vector<QPDFObjectHandle>& pages = document.qpdf().getAllPages();
                if (number < 0 || number >= static_cast<int32_t>(pages.size())) return noDestination();
                return PDViewDestination{
                    handleFor(document, destinationWithFirst(pages[static_cast<size_t>(number)], array))};
            }
            if (pageNumberIn(document, first) < 0) return noDestination();
            if (!named && object.isArray()) return dest;  // already usable as it is
            return PDViewDestination{handleFor(document, destinationWithFirst(first, array))};
        }
        if (!first.isInteger()) return noDestination();
        const std::vector<QPDFObjectHandle>& pages = document.qpdf().getAllPages();
        const long long number = first.getIntValue();
        if (number < 0 || number >= static_cast<long long>(pages.size())) return noDestination();
        QPDFObjectHandle page = pages[static_cast<size_t>(number)];
        return PDViewDestination{handleFor(document, destinationWithFirst(page, array))};
    });
}

bool destIsValid(PDViewDestination dest) {
    QPDFObjectHandle object;
    if (isNullHandle(dest.cos) || !findObject(dest.cos, &object)) return false;
    try {
        QPDFObjectHandle array = destinationArray(object);
        if (!array.isArray() || array.getArrayNItems() < 1) return false;
        QPDFObjectHandle first = array.getArrayItem(0);
        return first.isDictionary() || first.isInteger();
    } catch (const std::exception&) {
        return false;  // an unreadable object is no destination
    }
}

void destGetAttr(PDViewDestination dest, PDDoc doc, int32_t* pageNumber, ASAtom* fitType, ASFixedRect* rect,
                 ASFixed* zoom) {
    Document& document = checkedDocument(doc, "destGetAttr");
    QPDFObjectHandle object = objectOf(dest.cos);
    const bool ofDocument = dest.cos.a == document.serial();
    docGuarded("destGetAttr", document, [&] {
        QPDFObjectHandle array = destinationArray(object);
        if (!array.isArray() || array.getArrayNItems() < 1)
            raise(kHostErrBadType, "destGetAttr: " + describeObject(dest.cos) + " is no destination");
        auto item = [&](int index) {
            return index < array.getArrayNItems() ? array.getArrayItem(index) : QPDFObjectHandle::newNull();
        };
        QPDFObjectHandle first = item(0);
        int32_t number = -1;
        if (first.isInteger())
            number = static_cast<int32_t>(std::clamp<long long>(first.getIntValue(), INT32_MIN, INT32_MAX));
        else if (ofDocument)
            number = pageNumberIn(document, first);
        // A destination without a fit type reads as XYZ with every value unset.
        std::string fitName = item(1).isName() ? item(1).getName() : "/XYZ";
        FitArgs args = FitArgs::LeftTopZoom;
        ASFixedRect values{0, 0, 0, 0};
        if (!fitArgsOf(fitName, &args)) {  // an unknown fit type: XYZ, nothing set
            fitName = "/XYZ";
            args = FitArgs::None;
            values.left = values.top = kNullFixed;
        }
        ASFixed zoomValue = kPDViewDestNullZoom;
        switch (args) {
            case FitArgs::None: break;
            case FitArgs::Left: values.left = fixedOrNull(item(2)); break;
            case FitArgs::Top: values.top = fixedOrNull(item(2)); break;
            case FitArgs::LeftTopZoom:
                values.left = fixedOrNull(item(2));
                values.top = fixedOrNull(item(3));
                zoomValue = fixedOrNull(item(4));
                break;
            case FitArgs::Rect:
                values = ASFixedRect{fixedOrNull(item(2)), fixedOrNull(item(5)), fixedOrNull(item(4)),
                                     fixedOrNull(item(3))};
                break;
        }
        if (pageNumber) *pageNumber = number;
        if (fitType) *fitType = atomOfPdfName(fitName);
        if (rect) *rect = values;
        if (zoom) *zoom = zoomValue;
    });
}

}  // namespace qmhost::pdmodel
