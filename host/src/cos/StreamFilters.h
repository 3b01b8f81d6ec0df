// Encoding stream data for the filters a stream dictionary names.
#pragma once

#include <string>

#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// Encodes plain data so that decoding it with `filter` (null, a name or an array
// of names, applied in order when reading) gives the data back. Only /FlateDecode
// without a predictor can be encoded: any other filter, a /Filter that is not a
// name or array of names, or /DecodeParms asking for a predictor raises
// kHostErrFilter naming it. A null filter answers data unchanged.
std::string encodeForFilters(std::string data, QPDFObjectHandle filter,
                             QPDFObjectHandle decodeParms);

// Flate (zlib) compression of data.
std::string flateEncode(const std::string& data);

}  // namespace qmhost
