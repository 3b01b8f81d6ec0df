#include "stamper/PageRangeMessages.h"

#include <charconv>

#include "support/ResourceStrings.h"

namespace {

// Replaces the first marker at or behind `from` and answers where the filling ends.
size_t Replace(std::string& out, size_t from, std::string_view marker, std::string_view filling) {
    // The message is read as a C text: a NUL in the filling would end it there.
    filling = filling.substr(0, filling.find('\0'));
    const size_t at = out.find(marker, from);
    if (at == std::string::npos) return out.size();
    out.replace(at, marker.size(), filling);
    return at + filling.size();
}

std::string Bounded(std::string out) {
    out.resize(Utf8Prefix(out.data(), out.size(), kPageRangeMessageLimit));
    return out;
}

std::string Fill(std::string_view message, std::string_view marker, std::string_view filling) {
    std::string out(message);
    Replace(out, 0, marker, filling);
    return Bounded(std::move(out));
}

}  // namespace

std::string FormatRangeMessage(std::string_view message, std::string_view text) {
    return Fill(message, "%s", text);
}

std::string FormatRangeMessage(std::string_view message, int32_t number) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number);
    return Fill(message, "%d", std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
}

std::string FormatRangeMessage(std::string_view message, std::string_view text, std::string_view second) {
    std::string out(message);
    Replace(out, Replace(out, 0, "%s", text), "%s", second);
    return Bounded(std::move(out));
}
