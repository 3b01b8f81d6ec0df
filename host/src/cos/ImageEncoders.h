// Encoders for the image filters that qpdf can only decode: DCT (through
// libjpeg) and LZW (our own).
#pragma once

#include <cstdint>
#include <string>

namespace qmhost {

// The quality newStream uses for /DCTDecode.
constexpr int kDctQuality = 75;

// A baseline JPEG of 8-bit samples, rows top to bottom, components interleaved:
// components 1 (gray), 3 (RGB, stored as YCbCr as readers of DCTDecode expect)
// or 4 (CMYK, stored untransformed). samples must hold exactly
// width x height x components bytes. Raises kHostErrFilter for other
// components, a wrong sample count, sizes libjpeg refuses (above 65500) and any
// libjpeg failure, with libjpeg's message.
std::string dctEncode(const std::string& samples, int32_t width, int32_t height, int32_t components,
                      int quality = kDctQuality);

// LZW codes of data as the LZWDecode filter reads them: 9- to 12-bit codes,
// most significant bit first, a clear-table code first and whenever the table
// is full, the end-of-data code last. earlyChange is the filter's EarlyChange
// (true, PDF's default: the code width grows one code early). Never fails.
std::string lzwEncode(const std::string& data, bool earlyChange = true);

}  // namespace qmhost
