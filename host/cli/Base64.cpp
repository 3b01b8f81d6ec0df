#include "cli/Base64.h"

#include <algorithm>
#include <cstdint>

namespace qmcli {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The six bits of an alphabet character, or -1.
int sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
        for (size_t k = 0; k < 4; ++k) text += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return text;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
    size_t length = text.size();
    while (length > 0 && text[length - 1] == '=') --length;
    const size_t padding = text.size() - length;
    if (padding > 2 || (padding > 0 && text.size() % 4 != 0) || length % 4 == 1) return std::nullopt;
    std::string bytes;
    bytes.reserve(length / 4 * 3 + 2);
    uint32_t bits = 0;
    int held = 0;
    for (size_t i = 0; i < length; ++i) {
        const int value = sextet(text[i]);
        if (value < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<uint32_t>(value);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes += static_cast<char>((bits >> held) & 0xFF);
        }
    }
    return bytes;
}

}  // namespace qmcli
