#include "support/TerminalText.h"

namespace qmhost {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void appendHex(std::string& out, const char* prefix, unsigned char byte) {
    out += prefix;
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

void appendControl(std::string& out, unsigned char c) {
    static constexpr char kNamed[] = "abtnvfr";  // 0x07 to 0x0D
    if (c >= 0x07 && c <= 0x0D) {
        out += '\\';
        out += kNamed[c - 0x07];
    } else if (c == 0x1B) {
        out += "\\e";
    } else {
        appendHex(out, "\\x", c);
    }
}

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the UTF-8 character at the front of text; 0 when none starts there.
size_t characterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xF0 && lead <= 0xF4                               ? 4
                                                                                       : 0;
    if (length == 0 || text.size() < length) return 0;
    for (size_t i = 1; i < length; ++i)
        if (!isContinuation(static_cast<unsigned char>(text[i]))) return 0;
    return length;
}

}  // namespace

std::string EscapeControlCharacters(std::string_view text, LineBreaks lineBreaks) {
    std::string out;
    out.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            if ((c < 0x20 && !(c == '\n' && lineBreaks == LineBreaks::Keep)) || c == 0x7F) appendControl(out, c);
            else out += static_cast<char>(c);
            ++at;
            continue;
        }
        const size_t length = characterLength(text.substr(at));
        if (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0) {
            appendHex(out, "\\u00", static_cast<unsigned char>(text[at + 1]));  // a C1 character
        } else if (length > 0) {
            out.append(text.substr(at, length));
        } else if (c <= 0x9F) {
            appendHex(out, "\\x", c);  // read as a C1 character where text is not UTF-8
        } else {
            out += static_cast<char>(c);
        }
        at += length > 0 ? length : 1;
    }
    return out;
}

}  // namespace qmhost
