// A page's effective resource dictionary, the one its content is drawn with.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// The page's own /Resources dictionary, else the nearest one inherited through
// /Parent. When there is none: with create, a new direct dictionary put on the
// page; without, a null object. A shared indirect dictionary is answered as it
// is, so edits reach every page that uses it.
QPDFObjectHandle effectivePageResources(QPDFObjectHandle page, bool create);

}  // namespace qmhost
