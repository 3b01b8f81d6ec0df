// The numbers of the page variables of a stamp text: page numbers, totals and
// Bates numbers, as decimal or Roman text, Bates numbers padded with zeros.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "stamper/StampRunCounters.h"

// The two preferences that shape number variables.
struct StampNumberPreferences {
    // 'BFLe': Bates numbers are padded with "0" in front to this many characters.
    int32_t batesFixedLength = 6;
    // 'URNu': 0 or less decimal; 1 upper-case Roman; any other positive value lower-case Roman.
    int32_t useRomanNumerals = 0;
};

// Where the preferences come from, read each time a number is formatted. The
// plug-in's preferences store installs its getters here; until then (and after
// an empty function is installed) the defaults above are used.
using StampNumberPreferencesSource = std::function<StampNumberPreferences()>;
void SetStampNumberPreferencesSource(StampNumberPreferencesSource source);
StampNumberPreferences GetStampNumberPreferences();

// Padding never goes beyond this many characters, whatever the preference says
// (the preferences dialog offers 0 to 40).
constexpr int32_t kMaxBatesFixedLength = 255;

// The page number of the current page: currentPage - firstStampedPage + n, with
// n = bracketOffset + 1. Computed in 64 bits, so no counter value overflows.
int64_t StampPageNumber(const StampRunCounters& counters);
// batchPageOffset + StampPageNumber, and 0 where that is negative.
int64_t StampBatchPageNumber(const StampRunCounters& counters);

// The number as decimal text; with useRomanNumerals > 0 as its Roman numeral
// instead (upper case for 1, lower case otherwise), which is empty for 0,
// negative numbers and numbers of 4,000,000 or more.
std::string FormatStampNumber(int64_t number, int32_t useRomanNumerals);
// The text with "0" put in front until it is fixedLength bytes long (at most
// kMaxBatesFixedLength); a longer text is never cut.
std::string PadBatesNumber(std::string text, int32_t fixedLength);
