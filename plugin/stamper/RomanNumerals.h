// Page numbers as lower-case Roman numerals. Places from the thousands up use
// "_" behind a letter to multiply it by 1000 ("v_" is 5000), so numbers up to
// 3,999,999 can be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Bytes that hold the longest numeral (3,888,888) and its terminator, with room.
constexpr size_t kRomanNumeralCapacity = 64;
// The smallest number that has no numeral.
constexpr uint32_t kRomanNumeralLimit = 4000000;

// Writes the numeral of number into buffer (capacity bytes) and answers buffer.
// 0 gives the empty text. A number of kRomanNumeralLimit or more (and so a
// negative number passed as unsigned), a null buffer or a capacity below
// kRomanNumeralCapacity leave the buffer empty (when there is one) and answer null.
char* FormatRomanNumeral(uint32_t number, char* buffer, size_t capacity);

// The numeral as a string; empty when FormatRomanNumeral answers null.
std::string RomanNumeral(uint32_t number);
