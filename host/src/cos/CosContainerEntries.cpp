// Dictionaries, arrays and enumeration of the "Cos" table.
#include <string>
#include <utility>
#include <vector>

#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/CosEntries.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"

namespace qmhost::cos {
namespace {

// The value to store in container: same document, and no direct cycle.
QPDFObjectHandle valueToStore(CosObj container, QPDFObjectHandle containerObject, CosObj value,
                              const char* op) {
    // The documents are compared by serial, the first part of both handles:
    // the value's document is looked up once, for its object, and the
    // container's (already checked by the caller) only for the message.
    QPDFObjectHandle object = objectOf(value);
    if (!isNullHandle(value) && value.a != container.a)
        checkSameDocument(documentOfObject(container), value, op);
    // A direct container inside itself can never be written and never freed.
    if (reachesDirectly(object, containerObject))
        raise(kHostErrBadParameter, std::string(op) + ": " + describeObject(value) +
                                        " contains " + describeObject(container));
    return object;
}

void checkIndex(CosObj array, int32_t index, int32_t limit, const char* op) {
    if (index < 0 || index > limit)
        raise(kHostErrBadIndex, std::string(op) + ": index " + std::to_string(index) +
                                    " outside 0.." + std::to_string(limit) + " of " +
                                    describeObject(array));
}

}  // namespace

CosObj newDict(CosDoc doc, bool indirect, int32_t) {
    return newObjectIn(doc, indirect, "newDict", QPDFObjectHandle::newDictionary());
}

CosObj dictGet(CosObj dict, ASAtom key) {
    return cosGuarded("dictGet", dict, [&] {
        QPDFObjectHandle object = objectOfType(dict, CosDict, "dictGet");
        const std::string& name = pdfNameOfAtom(key, "dictGet");
        if (!object.hasKey(name)) return CosObj{0, 0};  // see entryOf
        return handleFor(documentOfObject(dict), object.getKey(name));
    });
}

bool dictKnown(CosObj dict, ASAtom key) {
    return cosGuarded("dictKnown", dict, [&] {
        QPDFObjectHandle object = objectOfType(dict, CosDict, "dictKnown");
        return object.hasKey(pdfNameOfAtom(key, "dictKnown"));
    });
}

void dictPut(CosObj dict, ASAtom key, CosObj value) {
    cosGuarded("dictPut", dict, [&] {
        QPDFObjectHandle object = objectOfType(dict, CosDict, "dictPut");
        const std::string& name = pdfNameOfAtom(key, "dictPut");
        if (isNullHandle(value)) {
            object.removeKey(name);
            return;
        }
        object.replaceKey(name, valueToStore(dict, object, value, "dictPut"));
    });
}

void dictRemove(CosObj dict, ASAtom key) {
    cosGuarded("dictRemove", dict, [&] {
        QPDFObjectHandle object = objectOfType(dict, CosDict, "dictRemove");
        object.removeKey(pdfNameOfAtom(key, "dictRemove"));
    });
}

CosObj newArray(CosDoc doc, bool indirect, int32_t) {
    return newObjectIn(doc, indirect, "newArray", QPDFObjectHandle::newArray());
}

int32_t arrayLength(CosObj array) {
    return cosGuarded("arrayLength", array,
                      [&] { return objectOfType(array, CosArray, "arrayLength").getArrayNItems(); });
}

CosObj arrayGet(CosObj array, int32_t index) {
    return cosGuarded("arrayGet", array, [&] {
        QPDFObjectHandle object = objectOfType(array, CosArray, "arrayGet");
        checkIndex(array, index, object.getArrayNItems() - 1, "arrayGet");
        return handleFor(documentOfObject(array), object.getArrayItem(index));
    });
}

void arrayPut(CosObj array, int32_t index, CosObj value) {
    cosGuarded("arrayPut", array, [&] {
        QPDFObjectHandle object = objectOfType(array, CosArray, "arrayPut");
        const int32_t length = object.getArrayNItems();
        checkIndex(array, index, length, "arrayPut");
        QPDFObjectHandle item = valueToStore(array, object, value, "arrayPut");
        if (index == length)
            object.appendItem(item);
        else
            object.setArrayItem(index, item);
    });
}

void arrayInsert(CosObj array, int32_t index, CosObj value) {
    cosGuarded("arrayInsert", array, [&] {
        QPDFObjectHandle object = objectOfType(array, CosArray, "arrayInsert");
        checkIndex(array, index, object.getArrayNItems(), "arrayInsert");
        object.insertItem(index, valueToStore(array, object, value, "arrayInsert"));
    });
}

void arrayRemove(CosObj array, CosObj value) {
    cosGuarded("arrayRemove", array, [&] {
        QPDFObjectHandle object = objectOfType(array, CosArray, "arrayRemove");
        QPDFObjectHandle wanted = objectOf(value);
        const int32_t length = object.getArrayNItems();
        for (int32_t i = 0; i < length; ++i) {
            if (cosEqual(object.getArrayItem(i), wanted)) {
                object.eraseItem(i);
                return;
            }
        }
    });
}

void arrayRemoveAt(CosObj array, int32_t index) {
    cosGuarded("arrayRemoveAt", array, [&] {
        QPDFObjectHandle object = objectOfType(array, CosArray, "arrayRemoveAt");
        checkIndex(array, index, object.getArrayNItems() - 1, "arrayRemoveAt");
        object.eraseItem(index);
    });
}

// The snapshot and the handles are made under the guard; proc runs outside it so
// that whatever it throws reaches the caller unchanged.
bool objEnum(CosObj obj, CosObjEnumProc proc, void* clientData) {
    if (!proc) raise(kHostErrBadParameter, "objEnum: no procedure");
    std::vector<std::pair<CosObj, CosObj>> entries = cosGuarded("objEnum", obj, [&] {
        QPDFObjectHandle object = objectOf(obj);
        Document& document = documentOfObject(obj);
        std::vector<std::pair<CosObj, CosObj>> result;
        if (object.isDictionary()) {
            for (auto& [key, value] : object.getDictAsMap()) {  // sorted by key
                if (value.isNull()) continue;
                const CosObj keyObj{document.serial(), document.objects().keyNameSlot(key) + 1};
                result.emplace_back(keyObj, handleFor(document, value));
            }
        } else if (object.isArray()) {
            for (auto& item : object.getArrayAsVector())
                result.emplace_back(handleFor(document, item), CosObj{0, 0});
        } else {
            raise(kHostErrBadType, "objEnum: " + describeObject(obj) + " is " +
                                       cosTypeName(cosTypeOf(object)) +
                                       ", not a dictionary or array");
        }
        return result;
    });
    for (const auto& [key, value] : entries)
        if (!proc(key, value, clientData)) return false;
    return true;
}

}  // namespace qmhost::cos
