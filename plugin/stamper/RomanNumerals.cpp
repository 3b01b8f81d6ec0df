#include "stamper/RomanNumerals.h"

#include <cstring>
#include <string_view>

namespace {

// Symbols for one, five and ten of each decimal place, millions first.
struct PlaceSymbols {
    std::string_view one, five, ten;
};
constexpr PlaceSymbols kPlaces[] = {
    {"m_", "", ""},        // millions (at most 3, so five and ten are never needed)
    {"c_", "d_", "m_"},    // hundred thousands
    {"x_", "l_", "c_"},    // ten thousands
    {"m", "v_", "x_"},     // thousands
    {"c", "d", "m"},       // hundreds
    {"x", "l", "c"},       // tens
    {"i", "v", "x"},       // units
};
constexpr uint32_t kPlaceValues[] = {1000000, 100000, 10000, 1000, 100, 10, 1};

void AppendDigit(std::string& out, uint32_t digit, const PlaceSymbols& symbols) {
    if (digit == 9) {
        out.append(symbols.one).append(symbols.ten);
    } else if (digit >= 5) {
        out.append(symbols.five);
        for (uint32_t i = 5; i < digit; ++i) out.append(symbols.one);
    } else if (digit == 4) {
        out.append(symbols.one).append(symbols.five);
    } else {
        for (uint32_t i = 0; i < digit; ++i) out.append(symbols.one);
    }
}

}  // namespace

std::string RomanNumeral(uint32_t number) {
    if (number >= kRomanNumeralLimit) return {};
    std::string out;
    for (size_t place = 0; place < std::size(kPlaces); ++place)
        AppendDigit(out, (number / kPlaceValues[place]) % 10, kPlaces[place]);
    return out;
}

char* FormatRomanNumeral(uint32_t number, char* buffer, size_t capacity) {
    if (!buffer) return nullptr;
    if (capacity > 0) buffer[0] = '\0';
    if (number >= kRomanNumeralLimit || capacity < kRomanNumeralCapacity) return nullptr;
    const std::string numeral = RomanNumeral(number);
    std::memcpy(buffer, numeral.c_str(), numeral.size() + 1);
    return buffer;
}
