// Reading a number the way users type it into page fields and variable
// brackets: the C library's atoi rules, without its undefined overflow.
#pragma once

#include <cstdint>
#include <string_view>

// Skips leading white space (" \t\n\v\f\r"), takes an optional "+" or "-" and
// then as many decimal digits as follow; anything else ends the number. No
// digits give 0. A value outside the signed 32-bit range is clamped to it.
// Never throws.
int32_t ReadLeadingInteger(std::string_view text);

// The same reading, with what it saw: whether any digit was read, and the text
// behind the number (the whole text when there is no number).
struct LeadingInteger {
    int32_t value = 0;
    bool hasDigits = false;
    std::string_view rest;
};
LeadingInteger ReadLeadingIntegerParts(std::string_view text);

// The text without white space (" \t\n\v\f\r") on either side.
std::string_view TrimBlanks(std::string_view text);
