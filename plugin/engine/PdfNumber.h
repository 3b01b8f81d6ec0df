// Numbers written into PDF content strings. Every number an element writes
// into a content stream goes through these helpers, so that the output never
// depends on the process locale (a comma-decimal locale must not change a
// byte) and never holds "nan", "inf" or "-0.00".
#pragma once

#include <cstdint>
#include <string>

// v with exactly `decimals` digits after the point (0..12), rounded to
// nearest, "." as the separator: what "%.<decimals>f" gives in the "C"
// locale. A value that rounds to zero is written without a sign; a value
// that is not finite is written as 0.
std::string PdfReal(double v, int decimals);

// Appends PdfReal(v, decimals), then suffix (e.g. " ").
void AppendPdfReal(std::string& out, double v, int decimals, const char* suffix = "");

// Appends the decimal integer ("%d"), then suffix.
void AppendPdfInt(std::string& out, int64_t v, const char* suffix = "");

// Appends "%f " (six decimals and a blank) for a 16.16 fixed value in points.
void AppendPdfFixed(std::string& out, int32_t fixedValue);
