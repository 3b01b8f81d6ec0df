#include "stamper/NumberVariables.h"

#include <algorithm>

#include "stamper/RomanNumerals.h"

namespace {

StampNumberPreferencesSource& Source() {
    static StampNumberPreferencesSource source;
    return source;
}

}  // namespace

void SetStampNumberPreferencesSource(StampNumberPreferencesSource source) {
    Source() = std::move(source);
}

StampNumberPreferences GetStampNumberPreferences() {
    return Source() ? Source()() : StampNumberPreferences{};
}

int64_t StampPageNumber(const StampRunCounters& counters) {
    return int64_t{counters.currentPage} - counters.firstStampedPage + counters.bracketOffset + 1;
}

int64_t StampBatchPageNumber(const StampRunCounters& counters) {
    // A page before the sequence's first stamped page (another stamp of the
    // profile starts later) would count below zero; a Bates or batch number is
    // never negative, so those pages get 0.
    return std::max<int64_t>(0, counters.batchPageOffset + StampPageNumber(counters));
}

std::string FormatStampNumber(int64_t number, int32_t useRomanNumerals) {
    if (useRomanNumerals <= 0) return std::to_string(number);
    if (number < 0 || number >= kRomanNumeralLimit) return {};
    std::string text = RomanNumeral(static_cast<uint32_t>(number));
    if (useRomanNumerals == 1) {
        // ASCII only: the numeral holds nothing else, and no locale may change it.
        for (char& c : text)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

std::string PadBatesNumber(std::string text, int32_t fixedLength) {
    // A preferences file may hold any number; a huge one must not cost gigabytes.
    const size_t length = static_cast<size_t>(std::clamp(fixedLength, 0, kMaxBatesFixedLength));
    if (text.size() < length) text.insert(0, length - text.size(), '0');
    return text;
}
