// Reading the cabinet stream format (see CabinetStream.h) from bytes in memory.
// Every refusal raises kHostErrFileRead: "damaged cabinet data: <what> at byte <n>",
// offsets counted from the header's first byte.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

namespace qmhost {

class Cabinet;

struct CabinetHeader {
    uint16_t version = 0;
    uint16_t checksum = 0;
    uint32_t bodyLength = 0;
};

// Checks the header's size, signature, version and body limit.
CabinetHeader decodeCabinetHeader(std::string_view head);
// Checks that the body has the announced length and checksum, then reads the
// cabinet, which must fill the body exactly.
std::unique_ptr<Cabinet> decodeCabinetBody(const CabinetHeader& header, std::string_view body);

}  // namespace qmhost
