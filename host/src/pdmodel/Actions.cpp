// Action dictionaries: /Type /Action /S <subtype>, made as indirect objects so
// that an annotation's /A refers to them and actionDestroy can remove them.
#include <string>

#include <qpdf/QPDF.hh>

#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/Destinations.h"
#include "pdmodel/FileSpecs.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PdfValues.h"

namespace qmhost::pdmodel {
namespace {

QPDFObjectHandle newActionDict(const std::string& subtypeName) {
    QPDFObjectHandle action = QPDFObjectHandle::newDictionary();
    action.replaceKey("/Type", QPDFObjectHandle::newName("/Action"));
    action.replaceKey("/S", QPDFObjectHandle::newName(subtypeName));
    return action;
}

PDAction registered(Document& document, QPDFObjectHandle action) {
    return PDAction{handleFor(document, document.qpdf().makeIndirectObject(action))};
}

// The destination in another document, by page number: [n /Fit...].
QPDFObjectHandle remoteDestination(Document& target, QPDFObjectHandle dest, bool destOfTarget) {
    QPDFObjectHandle array = destinationArray(dest);
    if (!array.isArray() || array.getArrayNItems() < 1)
        raise(kHostErrBadParameter, "actionNewFromDest: the destination is no [page /Fit...] array");
    QPDFObjectHandle first = array.getArrayItem(0);
    if (first.isInteger()) return destinationWithFirst(QPDFObjectHandle::newInteger(first.getIntValue()), array);
    const int32_t number = destOfTarget ? pageNumberIn(target, first) : -1;
    if (number < 0)
        raise(kHostErrBadParameter, "actionNewFromDest: the destination's page is no page of " + target.displayName());
    return destinationWithFirst(QPDFObjectHandle::newInteger(number), array);
}

}  // namespace

PDAction actionNew(PDDoc doc, ASAtom subtype) {
    Document& document = checkedDocument(doc, "actionNew");
    const std::string subtypeName = pdfNameOf(subtype, "actionNew");
    return docGuarded("actionNew", document, [&] { return registered(document, newActionDict(subtypeName)); });
}

PDAction actionNewFromDest(PDDoc doc, PDViewDestination dest, PDDoc destDoc) {
    Document& document = checkedDocument(doc, "actionNewFromDest");
    Document& target = checkedDocument(destDoc, "actionNewFromDest");
    if (isNullHandle(dest.cos)) raise(kHostErrBadParameter, "actionNewFromDest: no destination");
    QPDFObjectHandle destObject = objectOf(dest.cos);
    if (&target == &document) {
        checkSameDocument(document, dest.cos, "actionNewFromDest");
        return docGuarded("actionNewFromDest", document, [&] {
            QPDFObjectHandle action = newActionDict("/GoTo");
            action.replaceKey("/D", destObject);
            return registered(document, action);
        });
    }
    if (!target.hasPath())
        raise(kHostErrBadParameter, "actionNewFromDest: " + target.displayName() + " has no file to refer to");
    const bool destOfTarget = dest.cos.a == target.serial();
    return docGuarded("actionNewFromDest", document, [&] {
        QPDFObjectHandle remote = remoteDestination(target, destObject, destOfTarget);
        const std::string base = document.hasPath() ? document.path() : std::string();
        QPDFObjectHandle action = newActionDict("/GoToR");
        action.replaceKey("/F", newFileSpec(fileSpecPath(target.path(), base)));
        action.replaceKey("/D", remote);
        return registered(document, action);
    });
}

PDAction actionNewFromFileSpec(PDDoc doc, ASAtom subtype, PDFileSpec fileSpec) {
    Document& document = checkedDocument(doc, "actionNewFromFileSpec");
    const std::string subtypeName = pdfNameOf(subtype, "actionNewFromFileSpec");
    if (!fileSpecIsValid(fileSpec))
        raise(kHostErrBadParameter, "actionNewFromFileSpec: " + describeObject(fileSpec.cos) +
                                        " is no file spec");
    checkSameDocument(document, fileSpec.cos, "actionNewFromFileSpec");
    QPDFObjectHandle spec = objectOf(fileSpec.cos);
    return docGuarded("actionNewFromFileSpec", document, [&] {
        QPDFObjectHandle action = newActionDict(subtypeName);
        action.replaceKey("/F", spec);
        return registered(document, action);
    });
}

bool actionIsValid(PDAction action) {
    QPDFObjectHandle object;
    if (isNullHandle(action.cos) || !findObject(action.cos, &object)) return false;
    try {
        return object.isDictionary() && object.getKey("/S").isName();
    } catch (const std::exception&) {
        return false;
    }
}

ASAtom actionGetSubtype(PDAction action) {
    QPDFObjectHandle object = objectOfType(action.cos, CosDict, "actionGetSubtype");
    return cosGuarded("actionGetSubtype", action.cos, [&] { return atomOfNameObject(object.getKey("/S")); });
}

PDViewDestination actionGetDest(PDAction action) {
    QPDFObjectHandle object = objectOfType(action.cos, CosDict, "actionGetDest");
    Document& document = documentOfObject(action.cos);
    return cosGuarded("actionGetDest", action.cos,
                      [&] { return PDViewDestination{handleFor(document, object.getKey("/D"))}; });
}

void actionDestroy(PDAction action) {
    if (isNullHandle(action.cos)) return;
    QPDFObjectHandle object = objectOf(action.cos);
    // Destroying twice is harmless: the second time the object is already null.
    if (object.isNull()) return;
    if (!object.isDictionary())
        raise(kHostErrBadType, "actionDestroy: " + describeObject(action.cos) + " is no action");
    if (!object.isIndirect()) return;  // a direct action goes with its container
    Document& document = documentOfObject(action.cos);
    cosGuarded("actionDestroy", action.cos,
               [&] { document.qpdf().replaceObject(object.getObjGen(), QPDFObjectHandle::newNull()); });
}

}  // namespace qmhost::pdmodel
