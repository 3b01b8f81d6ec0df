// Checked access to Cos objects for the table entries: type tests, the link
// between host type numbers and qpdf types, names as atoms, equality.
#pragma once

#include <string>

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/Document.h"
#include "qmhost/QMBase.h"

namespace qmhost {

// The value of key ("/Key") in dict, a null when dict holds none (or holds a
// null there). qpdf's getKey makes a null with a description (text built for
// every miss) for a missing key, which made look-ups of absent entries, the
// usual case for inherited page attributes, cost ten times a found one.
QPDFObjectHandle entryOf(QPDFObjectHandle dict, const std::string& key);

// CosNull..CosStream for a qpdf object (content-stream-only kinds count as null).
int32_t cosTypeOf(QPDFObjectHandle object);
const char* cosTypeName(int32_t type);

// The object of obj when it has the wanted type; raises kHostErrBadType (naming op,
// the object and both types) otherwise, kHostErrBadHandle when obj is stale.
QPDFObjectHandle objectOfType(CosObj obj, int32_t type, const char* op);

// Hands out a new object of doc, first making it indirect when asked. Raises
// kHostErrBadHandle for an unknown or closed doc.
CosObj newObjectIn(CosDoc doc, bool indirect, const char* op, QPDFObjectHandle object);

// Raises kHostErrBadParameter when a non-null value belongs to another document
// than `document` (objects never cross documents except through objCopy).
void checkSameDocument(Document& document, CosObj value, const char* op);

// The qpdf name ("/Key") of an atom, kept by the atom table (valid for the
// run); raises kHostErrBadParameter for an unknown one.
const std::string& pdfNameOfAtom(ASAtom atom, const char* op);
// The atom of a qpdf name ("/Key" -> atom of "Key").
ASAtom atomOfPdfName(const std::string& name);

// Cos equality on qpdf objects: both null; the same indirect object; the same
// direct object; or direct scalars or strings of one type and value.
bool cosEqual(QPDFObjectHandle a, QPDFObjectHandle b);

// True when `container` is reachable from value through direct objects only
// (putting value into container would make a direct cycle).
bool reachesDirectly(QPDFObjectHandle value, QPDFObjectHandle container);

}  // namespace qmhost
