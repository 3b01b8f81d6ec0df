#include "pde/HostFont.h"

#include "pde/TextCodes.h"

namespace qmhost {

HostFont HostFont::simple(std::string baseFont, const std::array<int, 256>& widths, int ascent, int descent,
                          int (*codeOf)(char32_t), uint8_t fallbackCode) {
    HostFont font;
    font.mCodeOf = codeOf;
    font.mFallbackCode = fallbackCode;
    font.mBaseFont = std::move(baseFont);
    font.mWidths.assign(widths.begin(), widths.end());
    font.mAscent = ascent;
    font.mDescent = descent;
    return font;
}

HostFont HostFont::composite(std::string baseFont, std::vector<int> widths, int defaultWidth,
                             std::unordered_map<char32_t, uint16_t> codeOfChar, uint16_t fallbackCode,
                             int ascent, int descent) {
    HostFont font;
    font.mComposite = true;
    font.mBaseFont = std::move(baseFont);
    font.mWidths = std::move(widths);
    font.mDefaultWidth = defaultWidth;
    font.mCodeOfChar = std::move(codeOfChar);
    font.mFallbackCode = fallbackCode;
    font.mAscent = ascent;
    font.mDescent = descent;
    return font;
}

std::string HostFont::encode(std::string_view utf8) const {
    const std::u32string text = decodeUtf8Lenient(utf8);
    std::string codes;
    codes.reserve(text.size() * (mComposite ? 2 : 1));
    for (char32_t c : text) {
        if (!mComposite) {
            const int code = mCodeOf(c);
            codes.push_back(static_cast<char>(code < 0 ? mFallbackCode : code));
            continue;
        }
        auto it = mCodeOfChar.find(c);
        const uint16_t code = it == mCodeOfChar.end() ? mFallbackCode : it->second;
        codes.push_back(static_cast<char>(code >> 8));
        codes.push_back(static_cast<char>(code & 0xFF));
    }
    return codes;
}

std::u32string HostFont::missingChars(std::string_view utf8) const {
    std::u32string missing;
    for (char32_t c : decodeUtf8Lenient(utf8))
        if (mComposite ? !mCodeOfChar.count(c) : mCodeOf(c) < 0) missing.push_back(c);
    return missing;
}

int HostFont::widthOfCode(unsigned code) const {
    return code < mWidths.size() ? mWidths[code] : mDefaultWidth;
}

double HostFont::advance(std::string_view codes) const {
    double sum = 0;
    const auto byte = [&](size_t i) -> unsigned { return static_cast<unsigned char>(codes[i]); };
    if (!mComposite) {
        for (size_t i = 0; i < codes.size(); ++i) sum += widthOfCode(byte(i));
        return sum;
    }
    for (size_t i = 0; i + 1 < codes.size(); i += 2) sum += widthOfCode((byte(i) << 8) | byte(i + 1));
    return sum;
}

}  // namespace qmhost
