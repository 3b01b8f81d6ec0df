// Annotations of a page: made as indirect dictionaries, listed in the page's
// /Annots array, found there by object identity.
#include <algorithm>
#include <string>

#include <qpdf/QPDF.hh>

#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/DocumentChanges.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PageHandles.h"
#include "pdmodel/PdfValues.h"

namespace qmhost::pdmodel {
namespace {

// The page's /Annots array, or a null object when it has none.
QPDFObjectHandle annotsOf(QPDFObjectHandle page) {
    QPDFObjectHandle annots = page.getKey("/Annots");
    return annots.isArray() ? annots : QPDFObjectHandle::newNull();
}

int32_t annotCount(QPDFObjectHandle page) {
    QPDFObjectHandle annots = annotsOf(page);
    return annots.isArray() ? annots.getArrayNItems() : 0;
}

void checkAnnotIndex(QPDFObjectHandle page, int32_t index, const char* op, Document& document) {
    const int32_t count = annotCount(page);
    if (index < 0 || index >= count)
        raise(kHostErrBadIndex, std::string(op) + ": no annotation " + std::to_string(index) + " on a page of " +
                                    document.displayName() + " (" + std::to_string(count) + " annotations)");
}

// The annotation's dictionary, checked to be one of document.
QPDFObjectHandle annotDictOf(PDAnnot annot, Document& document, const char* op) {
    QPDFObjectHandle object = objectOfType(annot.cos, CosDict, op);
    checkSameDocument(document, annot.cos, op);
    return object;
}

}  // namespace

PDAnnot pageCreateAnnot(PDPage page, ASAtom subtype, const ASFixedRect* rect) {
    if (!rect) raise(kHostErrBadParameter, "pageCreateAnnot: no rectangle");
    Document& document = documentOfPage(page, "pageCreateAnnot");
    const std::string subtypeName = pdfNameOf(subtype, "pageCreateAnnot");
    return docGuarded("pageCreateAnnot", document, [&] {
        QPDFObjectHandle annot = QPDFObjectHandle::newDictionary();
        annot.replaceKey("/Type", QPDFObjectHandle::newName("/Annot"));
        annot.replaceKey("/Subtype", QPDFObjectHandle::newName(subtypeName));
        annot.replaceKey("/Rect", pdfRectangle(*rect));
        annot = document.qpdf().makeIndirectObject(annot);
        return PDAnnot{handleFor(document, annot)};
    });
}

int32_t pageGetNumAnnots(PDPage page) {
    Document& document = documentOfPage(page, "pageGetNumAnnots");
    QPDFObjectHandle object = pageObjectOf(page, "pageGetNumAnnots");
    return docGuarded("pageGetNumAnnots", document, [&] { return annotCount(object); });
}

PDAnnot pageGetAnnot(PDPage page, int32_t index) {
    Document& document = documentOfPage(page, "pageGetAnnot");
    QPDFObjectHandle object = pageObjectOf(page, "pageGetAnnot");
    return docGuarded("pageGetAnnot", document, [&] {
        checkAnnotIndex(object, index, "pageGetAnnot", document);
        return PDAnnot{handleFor(document, annotsOf(object).getArrayItem(index))};
    });
}

void pageAddAnnot(PDPage page, int32_t addAfter, PDAnnot annot) {
    Document& document = documentOfPage(page, "pageAddAnnot");
    QPDFObjectHandle object = pageObjectOf(page, "pageAddAnnot");
    QPDFObjectHandle annotDict = annotDictOf(annot, document, "pageAddAnnot");
    docGuarded("pageAddAnnot", document, [&] {
        // An indirect array may be shared by other pages (generators often give
        // them one list): the page gets a direct copy of its own, so that the
        // annotation is on this page only, as with a page's contents. Undo puts
        // back the array that was there.
        QPDFObjectHandle annots = annotsOf(object);
        if (annots.isNull() || annots.isIndirect()) {
            object.replaceKey("/Annots", annots.isNull() ? QPDFObjectHandle::newArray() : annots.shallowCopy());
            annots = object.getKey("/Annots");
        }
        const int32_t count = annots.getArrayNItems();
        // -1 (or less) puts it first, count - 1 (or more) last.
        const int32_t at = std::clamp(addAfter, -1, count - 1) + 1;
        if (at == count)
            annots.appendItem(annotDict);
        else
            annots.insertItem(at, annotDict);
        annotDict.replaceKey("/P", object);
        noteDocumentChanged(document);
    });
}

int32_t pageGetAnnotIndex(PDPage page, PDAnnot annot) {
    Document& document = documentOfPage(page, "pageGetAnnotIndex");
    QPDFObjectHandle object = pageObjectOf(page, "pageGetAnnotIndex");
    if (isNullHandle(annot.cos)) return -1;
    QPDFObjectHandle wanted = objectOf(annot.cos);
    if (annot.cos.a != document.serial()) return -1;  // an annotation of another document
    return docGuarded("pageGetAnnotIndex", document, [&]() -> int32_t {
        QPDFObjectHandle annots = annotsOf(object);
        const int32_t count = annots.isArray() ? annots.getArrayNItems() : 0;
        for (int32_t i = 0; i < count; ++i) {
            QPDFObjectHandle item = annots.getArrayItem(i);
            // Identity, not equal contents: two links over one rectangle are two annotations.
            if (item.isIndirect() ? wanted.isIndirect() && item.getObjGen() == wanted.getObjGen()
                                  : item.isSameObjectAs(wanted))
                return i;
        }
        return -1;
    });
}

void pageRemoveAnnot(PDPage page, int32_t index) {
    Document& document = documentOfPage(page, "pageRemoveAnnot");
    QPDFObjectHandle object = pageObjectOf(page, "pageRemoveAnnot");
    docGuarded("pageRemoveAnnot", document, [&] {
        checkAnnotIndex(object, index, "pageRemoveAnnot", document);
        annotsOf(object).eraseItem(index);
        noteDocumentChanged(document);
    });
}

bool annotIsValid(PDAnnot annot) {
    QPDFObjectHandle object;
    return !isNullHandle(annot.cos) && findObject(annot.cos, &object) && object.isDictionary();
}

ASAtom annotGetSubtype(PDAnnot annot) {
    QPDFObjectHandle object = objectOfType(annot.cos, CosDict, "annotGetSubtype");
    return cosGuarded("annotGetSubtype", annot.cos, [&] { return atomOfNameObject(object.getKey("/Subtype")); });
}

void linkAnnotSetBorder(PDAnnot annot, const PDLinkBorder* border) {
    if (!border) raise(kHostErrBadParameter, "linkAnnotSetBorder: no border");
    if (border->dashArrayLen < 0 || border->dashArrayLen > 10)
        raise(kHostErrBadParameter,
              "linkAnnotSetBorder: " + std::to_string(border->dashArrayLen) + " dash values (0 to 10 allowed)");
    QPDFObjectHandle object = objectOfType(annot.cos, CosDict, "linkAnnotSetBorder");
    Document& document = documentOfObject(annot.cos);
    cosGuarded("linkAnnotSetBorder", annot.cos, [&] {
        QPDFObjectHandle array = QPDFObjectHandle::newArray();
        array.appendItem(pdfNumber(border->hCornerRadius));
        array.appendItem(pdfNumber(border->vCornerRadius));
        array.appendItem(pdfNumber(border->width));
        if (border->dashArrayLen > 0) {
            QPDFObjectHandle dashes = QPDFObjectHandle::newArray();
            for (int32_t i = 0; i < border->dashArrayLen; ++i) dashes.appendItem(pdfNumber(border->dashArray[i]));
            array.appendItem(dashes);
        }
        object.replaceKey("/Border", array);
        noteDocumentChanged(document);
    });
}

void linkAnnotSetAction(PDAnnot annot, PDAction action) {
    QPDFObjectHandle object = objectOfType(annot.cos, CosDict, "linkAnnotSetAction");
    Document& document = documentOfObject(annot.cos);
    if (isNullHandle(action.cos)) {
        cosGuarded("linkAnnotSetAction", annot.cos, [&] { object.removeKey("/A"); });
        return;
    }
    QPDFObjectHandle actionDict = objectOfType(action.cos, CosDict, "linkAnnotSetAction");
    checkSameDocument(document, action.cos, "linkAnnotSetAction");
    cosGuarded("linkAnnotSetAction", annot.cos, [&] {
        object.replaceKey("/A", actionDict);
        noteDocumentChanged(document);
    });
}

}  // namespace qmhost::pdmodel
