// objCopy of the "Cos" table: deep copies between documents.
#include "cos/CosCopy.h"

#include "core/Raise.h"
#include "cos/CosEntries.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"

namespace qmhost::cos {

// Indirect objects go through qpdf's foreign-object copier, which copies each
// object once per source document, keeps shared objects shared, follows
// cycles, and leaves page trees behind (references to them become null). Direct
// containers are rebuilt here so that the copy stays direct.
QPDFObjectHandle copyInto(QPDF& target, QPDFObjectHandle object) {
    if (object.isIndirect()) {
        if (object.isNull() || object.isDictionaryOfType("/Pages")) return QPDFObjectHandle::newNull();
        return target.copyForeignObject(object);
    }
    if (object.isArray()) {
        QPDFObjectHandle copy = QPDFObjectHandle::newArray();
        for (auto& item : object.getArrayAsVector()) copy.appendItem(copyInto(target, item));
        return copy;
    }
    if (object.isDictionary()) {
        QPDFObjectHandle copy = QPDFObjectHandle::newDictionary();
        for (auto& [key, value] : object.getDictAsMap()) {
            QPDFObjectHandle item = copyInto(target, value);
            if (!item.isNull()) copy.replaceKey(key, item);
        }
        return copy;
    }
    return object.shallowCopy();
}

CosObj objCopy(CosObj obj, CosDoc destination) {
    Document& target = checkedDocument(destination, "objCopy");
    if (isNullHandle(obj)) return CosObj{0, 0};
    Document& source = documentOfObject(obj);
    if (&source == &target)
        raise(kHostErrBadParameter, "objCopy: " + describeObject(obj) + " is already in the destination");
    return cosGuarded("objCopy", obj, [&] {
        return handleFor(target, copyInto(target.qpdf(), objectOf(obj)));
    });
}

}  // namespace qmhost::cos
