// Deep copies of qpdf objects from one document into another.
#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost::cos {

// Direct containers nested deeper than this are refused by copyInto. qpdf
// stops reading a file's objects at 500 levels, so whatever it read copies.
constexpr int kMaxCopyDepth = 512;

// A copy of object in target. Indirect objects go through qpdf's foreign-object
// copier (each copied once per source document, shared objects stay shared,
// cycles followed, stream data taken along); page trees are left behind (they
// become null, and null dictionary entries are dropped, which PDF reads as
// absent; null array items stay in place). Direct containers are rebuilt so
// that the copy stays direct; one shared in several places of object is copied
// once and stays shared. Objects that already belong to target are kept as they
// are. Raises kHostErrBadPDF when direct containers nest deeper than
// kMaxCopyDepth (or hold themselves); qpdf's failures pass through.
QPDFObjectHandle copyInto(QPDF& target, QPDFObjectHandle object);

}  // namespace qmhost::cos
