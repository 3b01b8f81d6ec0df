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

// v rounded to at most maxDecimals digits after the point (0..12), written
// with no more characters than that value needs: no trailing zeros and no
// point without decimals ("72", "0.5", "-12.345679"). Zero, a value that
// rounds to zero and a value that is not finite are written as "0".
std::string PdfShortReal(double v, int maxDecimals);

// Appends PdfShortReal(v, maxDecimals), then suffix.
void AppendPdfShortReal(std::string& out, double v, int maxDecimals, const char* suffix = "");

// Appends a 16.16 fixed value in points, then " ": the shortest decimal that
// turns back into the same fixed value when read (rounded to the nearest
// 1/65536), so at most five decimals ("517.92", not "517.919998").
void AppendPdfFixed(std::string& out, int32_t fixedValue);
