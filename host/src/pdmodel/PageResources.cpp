#include "pdmodel/PageResources.h"

#include <set>

#include <qpdf/QPDFObjGen.hh>

#include "core/Raise.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/DocumentChanges.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PageHandles.h"
#include "pdmodel/PdfValues.h"

namespace qmhost {

QPDFObjectHandle effectivePageResources(QPDFObjectHandle page, bool create) {
    // A damaged page tree may loop through /Parent: stop at a node seen before.
    std::set<QPDFObjGen> seen;
    for (QPDFObjectHandle node = page; node.isDictionary();) {
        QPDFObjectHandle resources = node.getKey("/Resources");
        if (resources.isDictionary()) return resources;
        if (node.isIndirect() && !seen.insert(node.getObjGen()).second) break;
        node = node.getKey("/Parent");
    }
    if (!create) return QPDFObjectHandle::newNull();
    page.replaceKey("/Resources", QPDFObjectHandle::newDictionary());
    return page.getKey("/Resources");
}

}  // namespace qmhost

namespace qmhost::pdmodel {

void pageAddResource(PDPage page, const char* type, const char* name, CosObj value) {
    Document& document = documentOfPage(page, "pageAddResource");
    QPDFObjectHandle pageObject = pageObjectOf(page, "pageAddResource");
    const std::string typeKey = pdfNameOf(type, "pageAddResource");
    const std::string nameKey = pdfNameOf(name, "pageAddResource");
    QPDFObjectHandle object = objectOf(value);
    if (!isNullHandle(value) && value.a != document.serial())
        raise(kHostErrBadParameter, "pageAddResource: " + describeObject(value) + " belongs to another document than " +
                                        document.displayName());
    docGuarded("pageAddResource", document, [&] {
        QPDFObjectHandle resources = effectivePageResources(pageObject, true);
        QPDFObjectHandle category = resources.getKey(typeKey);
        if (!category.isDictionary()) {
            resources.replaceKey(typeKey, QPDFObjectHandle::newDictionary());
            category = resources.getKey(typeKey);
        }
        if (object.isNull())
            category.removeKey(nameKey);
        else
            category.replaceKey(nameKey, object);
        noteDocumentChanged(document);
    });
}

void pageRemoveResource(PDPage page, const char* type, const char* name) {
    Document& document = documentOfPage(page, "pageRemoveResource");
    QPDFObjectHandle pageObject = pageObjectOf(page, "pageRemoveResource");
    const std::string typeKey = pdfNameOf(type, "pageRemoveResource");
    const std::string nameKey = pdfNameOf(name, "pageRemoveResource");
    docGuarded("pageRemoveResource", document, [&] {
        QPDFObjectHandle resources = effectivePageResources(pageObject, false);
        if (!resources.isDictionary()) return;
        QPDFObjectHandle category = resources.getKey(typeKey);
        if (!category.isDictionary() || !category.hasKey(nameKey)) return;
        category.removeKey(nameKey);
        noteDocumentChanged(document);
    });
}

}  // namespace qmhost::pdmodel
