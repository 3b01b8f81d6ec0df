// The "Cos" table: any object, scalars, strings and documents here; containers,
// streams and copies in their own files.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include "cos/CosTableImpl.h"
#include "core/ExceptionTrap.h"
#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/CosEntries.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "support/FixedMath.h"

namespace qmhost::cos {
namespace {

int32_t clampToInt32(double value) {
    if (std::isnan(value)) return 0;
    const double rounded = std::round(value);  // half away from zero
    if (rounded >= 2147483647.0) return INT32_MAX;
    if (rounded <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(rounded);
}

int32_t clampToInt32(long long value) {
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

CosObj newNull() { return CosObj{0, 0}; }

int32_t objGetType(CosObj obj) {
    return cosGuarded("objGetType", obj, [&] { return cosTypeOf(objectOf(obj)); });
}

bool objIsIndirect(CosObj obj) {
    return cosGuarded("objIsIndirect", obj, [&] { return objectOf(obj).isIndirect(); });
}

bool objEqual(CosObj a, CosObj b) {
    if (isNullHandle(a) || isNullHandle(b)) return isNullHandle(a) && isNullHandle(b);
    QPDFObjectHandle first, second;
    if (!findObject(a, &first) || !findObject(b, &second)) return false;  // stale: equal to nothing
    // An object that cannot be read equals nothing.
    return trapped(false, [&] { return cosEqual(first, second); });
}

CosDoc objGetDoc(CosObj obj) {
    if (isNullHandle(obj)) raise(kHostErrBadParameter, "objGetDoc: the null object has no document");
    return documentOfObject(obj).cosDoc();
}

CosObj newInteger(CosDoc doc, bool indirect, int32_t value) {
    return newObjectIn(doc, indirect, "newInteger", QPDFObjectHandle::newInteger(value));
}

// Five decimals carry every 16.16 value exactly back (the error stays below half
// of 1/65536).
CosObj newFixed(CosDoc doc, bool indirect, ASFixed value) {
    return newObjectIn(doc, indirect, "newFixed", QPDFObjectHandle::newReal(fixedToDouble(value), 5));
}

CosObj newBoolean(CosDoc doc, bool indirect, bool value) {
    return newObjectIn(doc, indirect, "newBoolean", QPDFObjectHandle::newBool(value));
}

CosObj newName(CosDoc doc, bool indirect, ASAtom name) {
    const std::string& pdfName = pdfNameOfAtom(name, "newName");
    return newObjectIn(doc, indirect, "newName", QPDFObjectHandle::newName(pdfName));
}

CosObj newString(CosDoc doc, bool indirect, const char* bytes, int32_t length) {
    if (length < 0 || (length > 0 && !bytes))
        raise(kHostErrBadParameter, "newString: bad bytes or length " + std::to_string(length));
    const std::string value(bytes ? bytes : "", static_cast<size_t>(length));
    return newObjectIn(doc, indirect, "newString", QPDFObjectHandle::newString(value));
}

int32_t integerValue(CosObj obj) {
    return cosGuarded("integerValue", obj, [&] {
        QPDFObjectHandle object = objectOf(obj);
        if (object.isInteger()) return clampToInt32(object.getIntValue());
        if (object.isReal()) return clampToInt32(object.getNumericValue());
        raise(kHostErrBadType, "integerValue: " + describeObject(obj) + " is " +
                                   cosTypeName(cosTypeOf(object)) + ", not a number");
    });
}

ASFixed fixedValue(CosObj obj) {
    return cosGuarded("fixedValue", obj, [&] {
        QPDFObjectHandle object = objectOf(obj);
        if (object.isInteger()) return fixedFromDouble(static_cast<double>(object.getIntValue()));
        if (object.isReal()) return fixedFromDouble(object.getNumericValue());
        raise(kHostErrBadType, "fixedValue: " + describeObject(obj) + " is " +
                                   cosTypeName(cosTypeOf(object)) + ", not a number");
    });
}

bool booleanValue(CosObj obj) {
    return cosGuarded("booleanValue", obj,
                      [&] { return objectOfType(obj, CosBoolean, "booleanValue").getBoolValue(); });
}

ASAtom nameValue(CosObj obj) {
    return cosGuarded("nameValue", obj,
                      [&] { return atomOfPdfName(objectOfType(obj, CosName, "nameValue").getName()); });
}

const char* stringValue(CosObj obj, int32_t* outLength) {
    return cosGuarded("stringValue", obj, [&] {
        QPDFObjectHandle object = objectOfType(obj, CosString, "stringValue");
        const std::string& kept =
            documentOfObject(obj).objects().keepString(obj.b - 1, object.getStringValue());
        if (kept.size() > INT32_MAX) raise(kHostErrGeneric, "stringValue: string too long");
        if (outLength) *outLength = static_cast<int32_t>(kept.size());
        return kept.c_str();
    });
}

CosObj docGetRoot(CosDoc doc) {
    Document& document = checkedDocument(doc, "docGetRoot");
    return docGuarded("docGetRoot", document,
                      [&] { return handleFor(document, document.qpdf().getRoot()); });
}

CosObj docGetTrailer(CosDoc doc) {
    Document& document = checkedDocument(doc, "docGetTrailer");
    return docGuarded("docGetTrailer", document,
                      [&] { return handleFor(document, document.qpdf().getTrailer()); });
}

uint32_t docHandleMark(CosDoc doc) { return checkedDocument(doc, "docHandleMark").objects().mark(); }

int32_t docReleaseUnheld(CosDoc doc, uint32_t mark) {
    const size_t released = checkedDocument(doc, "docReleaseUnheld").objects().releaseUnheldSince(mark);
    return static_cast<int32_t>(std::min<size_t>(released, INT32_MAX));
}

const CosTable kTable = {
    sizeof(CosTable),
    newNull, objGetType, objIsIndirect, objEqual, objGetDoc, objEnum, objCopy,
    newInteger, newFixed, newBoolean, newName, newString,
    integerValue, fixedValue, booleanValue, nameValue, stringValue,
    newDict, dictGet, dictKnown, dictPut, dictRemove,
    newArray, arrayLength, arrayGet, arrayPut, arrayInsert, arrayRemove, arrayRemoveAt,
    newStream, streamDict, streamOpen, streamLength,
    docGetRoot, docGetTrailer,
    docHandleMark, docReleaseUnheld,
};

}  // namespace
}  // namespace qmhost::cos

namespace qmhost {
const CosTable* cosTable() { return &cos::kTable; }
}  // namespace qmhost
