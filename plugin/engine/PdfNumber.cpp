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

std::string PdfShortReal(double v, int maxDecimals) {
    std::string text = PdfReal(v, maxDecimals);
    const size_t point = text.find('.');
    if (point == std::string::npos) return text;
    size_t end = text.find_last_not_of('0');
    if (end == point) --end;  // no decimals left: the point goes too
    text.erase(end + 1);
    return text == "-0" ? "0" : text;
}

void AppendPdfShortReal(std::string& out, double v, int maxDecimals, const char* suffix) {
    out += PdfShortReal(v, maxDecimals);
    out += suffix;
}

void AppendPdfFixed(std::string& out, int32_t fixedValue) {
    constexpr double kOne = 65536.0;
    const double points = fixedValue / kOne;
    // Five decimals always come back: their error, at most 0.000005, is under
    // half a fixed step (0.0000076). Fewer do for most values a placement gives.
    constexpr int kEnough = 5;
    double scale = 1.0;
    int decimals = 0;
    for (; decimals < kEnough; ++decimals, scale *= 10.0) {
        const double written = std::round(points * scale) / scale;
        if (std::llround(written * kOne) == fixedValue) break;
    }
    AppendPdfShortReal(out, points, decimals, " ");
}
