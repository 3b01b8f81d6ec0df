#include "cabinet/CabinetDecoder.h"

#include <cstring>
#include <string>

#include "cabinet/Cabinet.h"
#include "cabinet/CabinetStream.h"
#include "core/Raise.h"
#include "qmhost/ASExtraTable.h"

namespace qmhost {
namespace {

[[noreturn]] void refuse(const std::string& what, size_t offset) {
    raise(kHostErrFileRead, "damaged cabinet data: " + what + " at byte " + std::to_string(offset));
}

// A bounded cursor over a part of the body; every read is checked against what
// remains of that part.
class Cursor {
public:
    Cursor(std::string_view bytes, size_t offset) : mBytes(bytes), mOffset(offset) {}

    size_t remaining() const { return mBytes.size() - mPos; }
    size_t offset() const { return mOffset + mPos; }

    uint64_t number(int size, const char* what) {
        const std::string_view raw = take(static_cast<size_t>(size), what);
        uint64_t value = 0;
        for (size_t i = raw.size(); i-- > 0;) value = (value << 8) | static_cast<unsigned char>(raw[i]);
        return value;
    }

    std::string_view take(size_t size, const char* what) {
        if (size > remaining())
            refuse(std::string(what) + " of " + std::to_string(size) + " bytes where " +
                       std::to_string(remaining()) + " remain",
                   offset());
        const std::string_view part = mBytes.substr(mPos, size);
        mPos += size;
        return part;
    }

private:
    std::string_view mBytes;
    size_t mOffset;
    size_t mPos = 0;
};

constexpr size_t kSmallestEntry = 1 + 2 + 1 + 4;  // type, key length, one key byte, value length

std::unique_ptr<Cabinet> readCabinetAt(Cursor& in, int depth);

void checkNoNul(std::string_view bytes, const char* what, size_t offset) {
    if (bytes.find('\0') != std::string_view::npos) refuse(std::string("a NUL byte in ") + what, offset);
}

CabinetValue readValue(int32_t type, std::string_view bytes, size_t offset, int depth) {
    auto fixedSize = [&](size_t size, const char* what) {
        if (bytes.size() != size)
            refuse(std::string(what) + " of " + std::to_string(bytes.size()) + " bytes", offset);
    };
    Cursor value(bytes, offset);
    switch (type) {
        case kASCabValueInt:
            fixedSize(4, "an integer value");
            return static_cast<int32_t>(static_cast<uint32_t>(value.number(4, "an integer")));
        case kASCabValueBool: {
            fixedSize(1, "a boolean value");
            const uint64_t flag = value.number(1, "a boolean");
            if (flag > 1) refuse("a boolean of value " + std::to_string(flag), offset);
            return flag == 1;
        }
        case kASCabValueDouble: {
            fixedSize(8, "a double value");
            const uint64_t bits = value.number(8, "a double");
            double real;
            std::memcpy(&real, &bits, sizeof real);
            return real;
        }
        case kASCabValueString:
            checkNoNul(bytes, "a string", offset);
            return StringValue{std::string(bytes)};
        case kASCabValueText:
            checkNoNul(bytes, "a text", offset);
            return std::make_unique<HostText>(std::string(bytes));
        case kASCabValueBinary:
            return BinaryValue{std::string(bytes)};
        case kASCabValueCab: {
            if (depth >= kASCabMaxDepth)
                refuse("cabinets nested deeper than " + std::to_string(kASCabMaxDepth) + " levels", offset);
            std::unique_ptr<Cabinet> sub = readCabinetAt(value, depth + 1);
            if (value.remaining() != 0)
                refuse(std::to_string(value.remaining()) + " bytes left over in a sub-cabinet", value.offset());
            return sub;
        }
        default:
            refuse("an unknown value type " + std::to_string(type), offset);
    }
}

void readEntry(Cursor& in, Cabinet& cabinet, int depth) {
    const size_t entryOffset = in.offset();
    const auto type = static_cast<int32_t>(in.number(1, "a value type"));
    const auto keyLength = static_cast<size_t>(in.number(2, "a key length"));
    if (keyLength == 0 || keyLength > static_cast<size_t>(kASCabMaxKeyLength))
        refuse("a key length of " + std::to_string(keyLength), entryOffset + 1);
    const size_t keyOffset = in.offset();
    const std::string_view key = in.take(keyLength, "a key");
    checkNoNul(key, "a key", keyOffset);
    if (cabinet.find(key)) refuse("the key \"" + std::string(key) + "\" twice", keyOffset);
    const auto valueLength = static_cast<size_t>(in.number(4, "a value length"));
    const size_t valueOffset = in.offset();
    const std::string_view bytes = in.take(valueLength, "a value");
    cabinet.put(key, readValue(type, bytes, valueOffset, depth));
}

std::unique_ptr<Cabinet> readCabinetAt(Cursor& in, int depth) {
    const size_t countOffset = in.offset();
    const uint64_t count = in.number(4, "an entry count");
    // Every entry takes some bytes: a count that cannot fit is refused before
    // anything is made for it.
    if (count > in.remaining() / kSmallestEntry)
        refuse(std::to_string(count) + " entries in " + std::to_string(in.remaining()) + " bytes",
               countOffset);
    auto cabinet = std::make_unique<Cabinet>();
    for (uint64_t i = 0; i < count; ++i) readEntry(in, *cabinet, depth);
    return cabinet;
}

}  // namespace

CabinetHeader decodeCabinetHeader(std::string_view head) {
    if (head.empty()) refuse("no data", 0);
    if (head.size() < kCabinetStreamHeaderSize)
        refuse("a header of " + std::to_string(head.size()) + " bytes", 0);
    if (head.substr(0, 4) != std::string_view("QMCB", 4)) refuse("no cabinet signature", 0);
    Cursor in(head.substr(4, kCabinetStreamHeaderSize - 4), 4);
    CabinetHeader header;
    header.version = static_cast<uint16_t>(in.number(2, "a version"));
    header.checksum = static_cast<uint16_t>(in.number(2, "a checksum"));
    header.bodyLength = static_cast<uint32_t>(in.number(4, "a body length"));
    if (header.version != kCabinetStreamVersion)
        refuse("format version " + std::to_string(header.version) + ", which this host does not read", 4);
    if (header.bodyLength > kCabinetStreamMaxBody)
        refuse("a body length of " + std::to_string(header.bodyLength) + " bytes", 8);
    return header;
}

std::unique_ptr<Cabinet> decodeCabinetBody(const CabinetHeader& header, std::string_view body) {
    if (body.size() < header.bodyLength)
        refuse("a body of " + std::to_string(body.size()) + " bytes where " +
                   std::to_string(header.bodyLength) + " were announced",
               kCabinetStreamHeaderSize + body.size());
    body = body.substr(0, header.bodyLength);
    if (cabinetChecksum(body) != header.checksum) refuse("a checksum mismatch", 6);
    Cursor in(body, kCabinetStreamHeaderSize);
    std::unique_ptr<Cabinet> cabinet = readCabinetAt(in, 1);
    if (in.remaining() != 0) refuse(std::to_string(in.remaining()) + " bytes left over", in.offset());
    return cabinet;
}

}  // namespace qmhost
