// Writing cabinets in the stream format, and the stream side of reading them.
#include "cabinet/CabinetStream.h"

#include <cstring>

#include "cabinet/Cabinet.h"
#include "cabinet/CabinetDecoder.h"
#include "core/Raise.h"
#include "qmhost/ASExtraTable.h"
#include "support/Streams.h"

namespace qmhost {
namespace {

constexpr char kSignature[4] = {'Q', 'M', 'C', 'B'};

void putLE(std::string& out, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void patchLE32(std::string& out, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

class Encoder {
public:
    explicit Encoder(std::string& out) : mOut(out) {}

    void cabinet(const Cabinet& cabinet) {
        size_t count = 0;
        for (const auto& entry : cabinet.entries())
            if (valueTypeOf(entry.second) != kASCabValuePointer) ++count;
        putLE(mOut, count, 4);
        for (const auto& entry : cabinet.entries()) this->entry(entry.first, entry.second);
    }

private:
    void entry(const std::string& key, const CabinetValue& value) {
        const int32_t type = valueTypeOf(value);
        if (type == kASCabValuePointer) return;  // pointers live in memory only
        mOut.push_back(static_cast<char>(type));
        putLE(mOut, key.size(), 2);
        mOut += key;
        const size_t lengthAt = mOut.size();
        putLE(mOut, 0, 4);
        const size_t start = mOut.size();
        payload(value);
        const size_t length = mOut.size() - start;
        if (mOut.size() > kCabinetStreamHeaderSize + kCabinetStreamMaxBody)
            raise(kHostErrBadParameter, "the cabinet is too large to be written (more than 1 GiB)");
        patchLE32(mOut, lengthAt, static_cast<uint32_t>(length));
    }

    void payload(const CabinetValue& value) {
        if (auto* number = std::get_if<int32_t>(&value)) {
            putLE(mOut, static_cast<uint32_t>(*number), 4);
        } else if (auto* flag = std::get_if<bool>(&value)) {
            mOut.push_back(*flag ? 1 : 0);
        } else if (auto* real = std::get_if<double>(&value)) {
            uint64_t bits;
            std::memcpy(&bits, real, sizeof bits);
            putLE(mOut, bits, 8);
        } else if (auto* string = std::get_if<StringValue>(&value)) {
            mOut += string->text;
        } else if (auto* text = std::get_if<std::unique_ptr<HostText>>(&value)) {
            mOut += (*text)->utf8();
        } else if (auto* binary = std::get_if<BinaryValue>(&value)) {
            mOut += binary->bytes;
        } else if (auto* sub = std::get_if<std::unique_ptr<Cabinet>>(&value)) {
            cabinet(**sub);
        }
    }

    std::string& mOut;
};

}  // namespace

uint16_t cabinetChecksum(std::string_view body) {
    // CRC-16/X-25: the CCITT polynomial bit-reversed (0x8408), bytes taken low
    // bit first, register preset to all ones and inverted at the end. Stored
    // files carry these values, so none of the parameters may change.
    uint16_t crc = 0xFFFF;
    for (const char byte : body) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0x8408) : crc >> 1;
    }
    return static_cast<uint16_t>(~crc);
}

std::string encodeCabinet(const Cabinet& cabinet) {
    std::string out(kSignature, sizeof kSignature);
    putLE(out, kCabinetStreamVersion, 2);
    putLE(out, 0, 2);  // checksum, patched below
    putLE(out, 0, 4);  // body length, patched below
    Encoder(out).cabinet(cabinet);
    const std::string_view body = std::string_view(out).substr(kCabinetStreamHeaderSize);
    const uint16_t checksum = cabinetChecksum(body);
    out[6] = static_cast<char>(checksum & 0xFF);
    out[7] = static_cast<char>(checksum >> 8);
    patchLE32(out, 8, static_cast<uint32_t>(body.size()));
    return out;
}

std::unique_ptr<Cabinet> decodeCabinet(std::string_view data) {
    const CabinetHeader header = decodeCabinetHeader(data.substr(0, kCabinetStreamHeaderSize));
    const std::string_view body = data.substr(kCabinetStreamHeaderSize);
    if (body.size() > header.bodyLength)
        raise(kHostErrFileRead, "damaged cabinet data: " +
                                    std::to_string(body.size() - header.bodyLength) +
                                    " bytes after the cabinet's end");
    return decodeCabinetBody(header, body);
}

void writeCabinet(const Cabinet& cabinet, HostStream& stream) {
    const std::string bytes = encodeCabinet(cabinet);
    stream.write(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::unique_ptr<Cabinet> readCabinet(HostStream& stream) {
    const std::string head = readAll(stream, kCabinetStreamHeaderSize);
    const CabinetHeader header = decodeCabinetHeader(head);
    // Reads what is there, at most the announced length: a forged length costs
    // no more memory than the data that really follows.
    const std::string body = readAll(stream, header.bodyLength);
    return decodeCabinetBody(header, body);
}

}  // namespace qmhost
