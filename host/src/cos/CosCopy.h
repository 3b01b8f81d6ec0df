// Deep copies of qpdf objects from one document into another.
#pragma once

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost::cos {

// A copy of object in target. Indirect objects go through qpdf's foreign-object
// copier (each copied once per source document, shared objects stay shared,
// cycles followed); page trees are left behind (they become null, and null
// dictionary entries are dropped). Direct containers are rebuilt so that the
// copy stays direct.
QPDFObjectHandle copyInto(QPDF& target, QPDFObjectHandle object);

}  // namespace qmhost::cos
