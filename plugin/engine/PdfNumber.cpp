#include "engine/PdfNumber.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace {

constexpr int kMaxDecimals = 12;
// 309 integer digits at most for a double, plus sign, point and decimals.
constexpr size_t kRealBuffer = 340;

// "%.<decimals>f" of v in the "C" locale into buffer (kRealBuffer bytes);
// answers the end. See PdfReal for zeros, signs and values that are not finite.
char* FormatReal(char* buffer, double v, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;
    if (!std::isfinite(v)) v = 0.0;
    const auto result = std::to_chars(buffer, buffer + kRealBuffer, v, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) {
        buffer[0] = '0';
        return buffer + 1;
    }
    // "-0.00": a tiny negative value rounded away; PDF readers accept it, but
    // the same drawing must give the same bytes whatever side of 0 it came from.
    if (buffer[0] == '-') {
        bool zero = true;
        for (const char* c = buffer + 1; c < result.ptr && zero; ++c) zero = *c == '0' || *c == '.';
        if (zero) {
            std::copy(buffer + 1, result.ptr, buffer);
            return result.ptr - 1;
        }
    }
    return result.ptr;
}

// Drops the spare zeros after the point of [begin, end), and the point when no
// decimal is left; a lone "-0" becomes "0". Answers the new end.
char* DropSpareZeros(char* begin, char* end) {
    const char* point = std::find(begin, end, '.');
    if (point == end) return end;
    while (end[-1] == '0') --end;
    if (end - 1 == point) --end;
    if (end - begin == 2 && begin[0] == '-' && begin[1] == '0') {
        begin[0] = '0';
        return begin + 1;
    }
    return end;
}

}  // namespace

std::string PdfReal(double v, int decimals) {
    char buffer[kRealBuffer];
    return std::string(buffer, FormatReal(buffer, v, decimals));
}

void AppendPdfReal(std::string& out, double v, int decimals, const char* suffix) {
    char buffer[kRealBuffer];
    out.append(buffer, FormatReal(buffer, v, decimals));
    out += suffix;
}

void AppendPdfInt(std::string& out, int64_t v, const char* suffix) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, result.ptr);
    out += suffix;
}

std::string PdfShortReal(double v, int maxDecimals) {
    char buffer[kRealBuffer];
    return std::string(buffer, DropSpareZeros(buffer, FormatReal(buffer, v, maxDecimals)));
}

void AppendPdfShortReal(std::string& out, double v, int maxDecimals, const char* suffix) {
    char buffer[kRealBuffer];
    out.append(buffer, DropSpareZeros(buffer, FormatReal(buffer, v, maxDecimals)));
    out += suffix;
}

void AppendPdfFixed(std::string& out, int32_t fixedValue) {
    // Worked out in integers on the exact value |fixedValue| / 65536: every
    // text matrix and frame of every page is written through here.
    // Five decimals always come back: their error, at most 0.000005, is under
    // half a fixed step (0.0000076). Fewer do for most values a placement
    // gives: d decimals do when the value rounded to them, n / 10^d, lies
    // within half a step of the fixed value, |n * 65536 - a * 10^d| < 10^d / 2
    // (never exactly half: the left side is a multiple of 2^16 / 2^d).
    constexpr int kEnough = 5;
    const bool negative = fixedValue < 0;
    const auto a = static_cast<uint64_t>(std::llabs(static_cast<int64_t>(fixedValue)));
    uint64_t scale = 1;
    uint64_t n = 0;
    int decimals = 0;
    for (;; ++decimals, scale *= 10) {
        const uint64_t scaled = a * scale;  // below 2^48
        n = (scaled + 32768) >> 16;         // to nearest, half away from zero
        if (decimals == kEnough) {
            // The last digit as a fixed-precision print writes it: an exact
            // half goes to the even neighbour.
            if ((scaled & 0xFFFF) == 0x8000 && (n & 1)) --n;
            break;
        }
        const uint64_t back = n << 16;
        const uint64_t error = back > scaled ? back - scaled : scaled - back;
        if (2 * error < scale) break;
    }
    // n with `decimals` digits after the point, spare zeros dropped.
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    int places = decimals;
    while (places > 0 && end[-1] == '0' && end - digits > 1) {
        --end;
        --places;
    }
    if (n == 0) places = 0;
    const auto length = static_cast<int>(end - digits);
    if (negative && n != 0) out += '-';
    if (places == 0) {
        out.append(digits, end);
    } else if (length > places) {
        out.append(digits, end - places);
        out += '.';
        out.append(end - places, end);
    } else {
        out += "0.";
        out.append(static_cast<size_t>(places - length), '0');
        out.append(digits, end);
    }
    out += ' ';
}
