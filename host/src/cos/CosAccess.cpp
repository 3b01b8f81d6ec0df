#include "cos/CosAccess.h"

#include <vector>

#include "core/AtomTable.h"
#include "core/Raise.h"
#include "cos/QpdfGuard.h"

namespace qmhost {

QPDFObjectHandle entryOf(QPDFObjectHandle dict, const std::string& key) {
    if (!dict.hasKey(key)) return QPDFObjectHandle::newNull();
    return dict.getKey(key);
}

int32_t cosTypeOf(QPDFObjectHandle object) {
    switch (object.getTypeCode()) {
        case ::ot_integer: return CosInteger;
        case ::ot_real: return CosFixed;
        case ::ot_boolean: return CosBoolean;
        case ::ot_name: return CosName;
        case ::ot_string: return CosString;
        case ::ot_dictionary: return CosDict;
        case ::ot_array: return CosArray;
        case ::ot_stream: return CosStream;
        default: return CosNull;
    }
}

const char* cosTypeName(int32_t type) {
    static const char* const names[] = {"null",   "integer",    "fixed", "boolean", "name",
                                        "string", "dictionary", "array", "stream"};
    return type >= 0 && type <= CosStream ? names[type] : "unknown";
}

QPDFObjectHandle objectOfType(CosObj obj, int32_t type, const char* op) {
    QPDFObjectHandle object = objectOf(obj);
    const int32_t actual = cosTypeOf(object);
    if (actual != type)
        raise(kHostErrBadType, std::string(op) + ": " + describeObject(obj) + " is " +
                                   cosTypeName(actual) + ", not " + cosTypeName(type));
    return object;
}

CosObj newObjectIn(CosDoc doc, bool indirect, const char* op, QPDFObjectHandle object) {
    Document& document = checkedDocument(doc, op);
    return docGuarded(op, document, [&] {
        if (indirect) object = document.qpdf().makeIndirectObject(object);
        return handleFor(document, object);
    });
}

void checkSameDocument(Document& document, CosObj value, const char* op) {
    if (isNullHandle(value)) return;
    Document& owner = documentOfObject(value);
    if (&owner != &document)
        raise(kHostErrBadParameter, std::string(op) + ": " + describeObject(value) +
                                        " belongs to another document than " +
                                        document.displayName());
}

const std::string& pdfNameOfAtom(ASAtom atom, const char* op) {
    const std::string* name = atoms().pdfName(atom);
    if (!name) raise(kHostErrBadParameter, std::string(op) + ": unknown atom " + std::to_string(atom));
    return *name;
}

ASAtom atomOfPdfName(const std::string& name) {
    return atoms().intern(!name.empty() && name[0] == '/' ? name.substr(1) : name);
}

bool cosEqual(QPDFObjectHandle a, QPDFObjectHandle b) {
    const bool aNull = a.isNull(), bNull = b.isNull();
    if (aNull || bNull) return aNull && bNull;
    if (a.isIndirect() || b.isIndirect())
        return a.isIndirect() && b.isIndirect() && a.getObjGen() == b.getObjGen() &&
               a.getOwningQPDF() == b.getOwningQPDF();
    if (a.isSameObjectAs(b)) return true;
    const int32_t type = cosTypeOf(a);
    if (type != cosTypeOf(b)) return false;
    switch (type) {
        case CosInteger: return a.getIntValue() == b.getIntValue();
        case CosFixed: return a.getNumericValue() == b.getNumericValue();
        case CosBoolean: return a.getBoolValue() == b.getBoolValue();
        case CosName: return a.getName() == b.getName();
        case CosString: return a.getStringValue() == b.getStringValue();
        default: return false;  // distinct containers are distinct objects
    }
}

bool reachesDirectly(QPDFObjectHandle value, QPDFObjectHandle container) {
    // Only direct objects are followed, so an indirect container is never
    // reached (the usual case: a page or another indirect object), and a
    // scalar reaches nothing but itself.
    if (value.isIndirect() || container.isIndirect()) return false;
    if (!value.isArray() && !value.isDictionary()) return value.isSameObjectAs(container);
    std::vector<QPDFObjectHandle> pending{value};
    while (!pending.empty()) {
        QPDFObjectHandle current = pending.back();
        pending.pop_back();
        if (current.isSameObjectAs(container)) return true;
        if (current.isArray()) {
            for (auto& item : current.getArrayAsVector())
                if (!item.isIndirect()) pending.push_back(item);
        } else if (current.isDictionary()) {
            for (auto& entry : current.getDictAsMap())
                if (!entry.second.isIndirect()) pending.push_back(entry.second);
        }
    }
    return false;
}

}  // namespace qmhost
