// The host's cabinet stream format, version 1. Numbers are little-endian.
//
//   header, 12 bytes
//     0   4  signature "QMCB"
//     4   2  format version: 1
//     6   2  checksum of the body: CRC-16/X-25 (ISO 3309; "123456789" gives 0x906E)
//     8   4  body length in bytes, at most kCabinetStreamMaxBody
//   body: one cabinet
//     cabinet  = entry count (4 bytes), then the entries
//     entry    = value type (1 byte: kASCabValueInt .. kASCabValueCab),
//                key length (2 bytes, 1 .. kASCabMaxKeyLength), the key's bytes,
//                value length (4 bytes), the value's bytes
//     integer  4 bytes, two's complement     boolean  1 byte, 0 or 1
//     double   8 bytes, IEEE 754 binary64    string, text  their bytes (no NUL)
//     binary   its bytes                     sub-cabinet  a cabinet that fills
//                                            the value length exactly
//
// Entries are written in ascending key order; pointer values are not written.
// The reader takes nothing on trust: it refuses a wrong signature, another
// version, a body longer than the limit or than the data, a checksum mismatch,
// a count or length beyond what remains, an unknown type, a fixed-size value of
// another length, a boolean other than 0 or 1, a NUL in a key, string or text,
// a key twice in one cabinet, nesting beyond kASCabMaxDepth and bytes left over.
// Each refusal raises kHostErrFileRead naming what is wrong and its byte offset.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace qmhost {

class Cabinet;
class HostStream;

constexpr uint16_t kCabinetStreamVersion = 1;
constexpr size_t kCabinetStreamHeaderSize = 12;
constexpr uint32_t kCabinetStreamMaxBody = uint32_t(1) << 30;  // 1 GiB

// The checksum stored in the header for a body.
uint16_t cabinetChecksum(std::string_view body);

// The cabinet in the stream format, header included (pointers left out).
// Raises kHostErrBadParameter when the body would pass kCabinetStreamMaxBody.
std::string encodeCabinet(const Cabinet& cabinet);
// The cabinet of exactly these bytes (header and body, nothing after).
std::unique_ptr<Cabinet> decodeCabinet(std::string_view data);

// Writes encodeCabinet to the stream; the stream's errors pass through.
void writeCabinet(const Cabinet& cabinet, HostStream& stream);
// Reads a header and then exactly the body it announces, and decodes them.
std::unique_ptr<Cabinet> readCabinet(HostStream& stream);

}  // namespace qmhost
