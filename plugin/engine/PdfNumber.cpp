#include "engine/PdfNumber.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {
constexpr int kMaxDecimals = 12;
}

std::string PdfReal(double v, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;
    if (!std::isfinite(v)) v = 0.0;
    // 309 integer digits at most for a double, plus sign, point and decimals.
    char buffer[340];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
    if (result.ec != std::errc()) return "0";
    std::string text(buffer, result.ptr);
    // "-0.00": a tiny negative value rounded away; PDF readers accept it, but
    // the same drawing must give the same bytes whatever side of 0 it came from.
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

void AppendPdfReal(std::string& out, double v, int decimals, const char* suffix) {
    out += PdfReal(v, decimals);
    out += suffix;
}

void AppendPdfInt(std::string& out, int64_t v, const char* suffix) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    out.append(buffer, result.ptr);
    out += suffix;
}

void AppendPdfFixed(std::string& out, int32_t fixedValue) {
    AppendPdfReal(out, fixedValue / 65536.0, 6, " ");
}
