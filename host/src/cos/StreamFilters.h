// Encoding stream data for the filters a stream dictionary names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// Encodes plain data so that decoding it with the filters of the stream
// dictionary `dict` (/Filter: null, a name or an array of names, applied in
// order when reading; /DecodeParms to match) gives the data back. Encodable:
// /FlateDecode and /LZWDecode (its /EarlyChange, 1 by default) without a
// predictor, and /DCTDecode as the filter read last (the one that gives the
// samples) of an image dictionary of /BitsPerComponent 8 whose /ColorSpace has
// 1, 3 or 4 components (gray, RGB, CMYK), from exactly Width x Height x
// components bytes, at quality 75. Any other filter, a /Filter that is not a
// name or array of names, or /DecodeParms asking for a predictor raises
// kHostErrFilter naming it; so do DCT's own failures. A null filter answers
// data unchanged.
// When dict is an image (/Subtype /Image) whose size, components and bits are
// known, data are its samples and must fill every row (rows padded to whole
// bytes): fewer bytes raise kHostErrStream saying how many were needed.
std::string encodeForFilters(std::string data, QPDFObjectHandle dict);

// Flate (zlib) compression of data.
std::string flateEncode(const std::string& data);

// What an image dictionary says about its samples.
struct ImageSamples {
    int64_t width = 0;       // samples per row
    int64_t height = 0;      // rows
    int32_t components = 0;  // per sample (1 for an image mask)
    int32_t bits = 0;        // per component
    bool indexed = false;    // an /Indexed colour space
    // Bytes of one row, padded to whole bytes.
    uint64_t rowBytes() const;
};

// The samples of an image dictionary (/Subtype /Image), or nothing when dict is
// no image or its /Width, /Height, /BitsPerComponent (1, 2, 4, 8 or 16) or
// /ColorSpace (device names, /ICCBased with /N, /CalGray, /CalRGB, /Lab,
// /Indexed, /Separation, /DeviceN) is missing or of another kind. Never raises
// for bad values.
std::optional<ImageSamples> imageSamplesOf(QPDFObjectHandle dict);

}  // namespace qmhost
