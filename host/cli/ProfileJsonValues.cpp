#include "cli/ProfileJsonValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <map>

namespace qmcli {
namespace {

const std::map<std::string_view, ValueRange>& numberRanges() {
    static const std::map<std::string_view, ValueRange> ranges = {
        {"kStampType", {0, 2}},
        {"kUnitC", {0, 3}},  // 3: point, as any value past 2
        {"kHorizontalC", {0, 2}},
        {"kVerticalC", {0, 2}},
        {"kHorizontalS", {-99999, 99999}},
        {"kVerticalS", {-99999, 99999}},
        {"kRotationS", {-360, 360}},
        {"kOpacityS", {0, 100}},
        {"kPages", {0, 2}},
        {"kStampOnC", {0, 4}},
        {"kFromPageE", {1, 1000000000}},
        {"kEveryPageE", {1, 1000000000}},
        {"kPageNoS", {1, 1000000000}},
        {"kSizeS", {1, 4800}},
        {"kLineSpacingC", {0, 2}},
        {"kTypeC", {0, 1}},
        {"kStyleStandardC", {0, 13}},
        {"kSizeE", {6, 72}},
        {"kUnderlineC", {0, 6}},
        {"kDashedC", {0, 4}},
        {"kWeightC", {0, 6}},
        {"kColorC", {-1, 0xFFFFFF}},  // -1: none
        {"kColorFontC", {-1, 0xFFFFFF}},
        {"kFillColorC", {-1, 0xFFFFFF}},
    };
    return ranges;
}

const std::map<std::string_view, size_t>& textLimits() {
    static const std::map<std::string_view, size_t> limits = {
        {"kStampNameE", 256},
        {"kSelectFileE", 256},
        {"kPagesE", 256},
        {"kTextE", 4000},
    };
    return limits;
}

// The characters of UTF-8 text: its bytes that do not continue a character.
size_t characterCount(std::string_view text) {
    size_t count = 0;
    for (const char c : text)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
    return count;
}

bool hasControlCharacter(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

bool checkNumber(std::string_view key, double number, std::string* why) {
    const ValueRange* range = StampValueRange(key);
    if (!range || (number >= range->low && number <= range->high)) return true;
    *why = NumberText(number) + " is outside the range " + NumberText(range->low) + " to " + NumberText(range->high);
    return false;
}

bool checkText(std::string_view key, std::string_view text, std::string* why) {
    const auto it = textLimits().find(key);
    if (it != textLimits().end() && characterCount(text) > it->second) {
        *why = "a text of " + std::to_string(characterCount(text)) + " characters is longer than the " +
               std::to_string(it->second) + " allowed";
        return false;
    }
    if (key == "kPagesE") return CheckPageList(text, why);
    // A file name is shown in messages when the file is missing; a control
    // character there would act on the terminal.
    if (key == "kSelectFileE" && hasControlCharacter(text)) {
        *why = "a file name may not hold control characters";
        return false;
    }
    return true;
}

constexpr std::string_view kBlanks = " \t\n\v\f\r";

std::string_view trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Reads a page number (an optional "+", digits, 1 to 2147483647) from the
// front of text and leaves in text what follows it, without blanks; false
// with *why when there is none.
bool readPage(std::string_view& text, std::string* why) {
    size_t at = text.starts_with('+') ? 1 : 0;
    const size_t digits = at;
    int64_t page = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        if (page <= INT32_MAX) page = page * 10 + (text[at] - '0');
    if (at == digits) {
        *why = text.empty() ? "a page number is missing" : "\"" + std::string(text) + "\" is no page number";
        return false;
    }
    if (page < 1 || page > INT32_MAX) {
        *why = "page " + std::string(text.substr(0, at)) + " is outside the range 1 to 2147483647";
        return false;
    }
    text = trimmed(text.substr(at));
    return true;
}

bool isOddOrEven(std::string_view text) { return text == "odd" || text == "even"; }

bool checkItem(std::string_view item, std::string* why) {
    std::string_view rest = trimmed(item);
    if (rest.empty()) {
        *why = "an empty item (a \",\" at an end, or two together)";
        return false;
    }
    // "odd" and "even" stand alone at the item's very start.
    if ((item.starts_with("odd") || item.starts_with("even")) && isOddOrEven(rest)) return true;
    if (!readPage(rest, why)) return false;
    if (rest.starts_with('-')) {
        rest = trimmed(rest.substr(1));
        if (!readPage(rest, why)) return false;
        if (isOddOrEven(rest)) return true;
    }
    if (rest.empty()) return true;
    *why = "\"" + std::string(rest) + "\" follows a page number";
    return false;
}

}  // namespace

const ValueRange* StampValueRange(std::string_view key) {
    const auto it = numberRanges().find(key);
    return it == numberRanges().end() ? nullptr : &it->second;
}

bool CheckStampValue(std::string_view key, const qmhost::CabinetValue& value, std::string* why) {
    if (const auto* number = std::get_if<int32_t>(&value)) return checkNumber(key, *number, why);
    if (const auto* real = std::get_if<double>(&value)) return checkNumber(key, *real, why);
    if (const auto* string = std::get_if<qmhost::StringValue>(&value)) return checkText(key, string->text, why);
    if (const auto* text = std::get_if<std::unique_ptr<qmhost::HostText>>(&value))
        return checkText(key, (*text)->utf8(), why);
    return true;
}

std::string NumberText(double number) {
    if (!std::isfinite(number)) return "null";
    constexpr double kExactWhole = 9007199254740992.0;  // 2^53
    if (std::floor(number) == number && std::fabs(number) <= kExactWhole)
        return std::to_string(static_cast<int64_t>(number));
    // The shortest form is at most 24 characters ("-2.2250738585072014e-308").
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::scientific);
    const std::string scientific(buffer, written.ptr);  // "-d.ddde+XX"
    const size_t e = scientific.find('e');
    const bool negative = scientific[0] == '-';
    std::string digits = scientific.substr(negative ? 1 : 0, e - (negative ? 1 : 0));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    const int exponent = std::stoi(scientific.substr(e + 1));
    std::string fixed;
    if (exponent < 0) {
        fixed = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else if (digits.size() <= static_cast<size_t>(exponent) + 1) {
        fixed = digits + std::string(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
    } else {
        fixed = digits.substr(0, static_cast<size_t>(exponent) + 1) + "." + digits.substr(static_cast<size_t>(exponent) + 1);
    }
    if (negative) fixed = "-" + fixed;
    return fixed.size() <= scientific.size() ? fixed : scientific;
}

bool CheckPageList(std::string_view text, std::string* why) {
    if (text.empty()) return true;  // no list given
    for (size_t start = 0;;) {
        const size_t comma = text.find(',', start);
        const std::string_view item = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        if (!checkItem(item, why)) {
            *why = "\"" + std::string(text) + "\" is no page list: " + *why;
            return false;
        }
        if (comma == std::string_view::npos) return true;
        start = comma + 1;
    }
}

}  // namespace qmcli
