#include "stamper/LeadingInteger.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::string_view kBlanks = " \t\n\v\f\r";

bool IsBlank(char c) { return kBlanks.find(c) != std::string_view::npos; }

}  // namespace

int32_t ReadLeadingInteger(std::string_view text) { return ReadLeadingIntegerParts(text).value; }

LeadingInteger ReadLeadingIntegerParts(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so a
    // long run of digits can neither overflow nor change the clamped answer.
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    int64_t value = 0;
    const size_t digits = at;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        if (value <= kLimit) value = value * 10 + (text[at] - '0');
    }
    if (at == digits) return LeadingInteger{0, false, text};
    if (negative) value = -value;
    value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return LeadingInteger{static_cast<int32_t>(value), true, text.substr(at)};
}

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}
