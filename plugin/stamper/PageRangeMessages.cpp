#include "stamper/PageRangeMessages.h"

#include <charconv>

#include "support/ResourceStrings.h"

namespace {

std::string Fill(std::string_view message, std::string_view marker, std::string_view filling) {
    std::string out(message);
    // The message is read as a C text: a NUL in the filling would end it there.
    filling = filling.substr(0, filling.find('\0'));
    const size_t at = out.find(marker);
    if (at != std::string::npos) out.replace(at, marker.size(), filling);
    out.resize(Utf8Prefix(out.data(), out.size(), kPageRangeMessageLimit));
    return out;
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
