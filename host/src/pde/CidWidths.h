// The /W array of a CIDFont.
#pragma once

#include <map>

#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// widths: CID -> width in thousandths of an em. Runs of four or more
// consecutive CIDs of equal width become "first last width", other
// consecutive CIDs "first [widths...]".
QPDFObjectHandle cidWidthArray(const std::map<unsigned, int>& widths);

}  // namespace qmhost
