// A font made for page content: its dictionary in the host's font document and
// what measuring and encoding text in it need. Immutable once made, so one
// HostFont may be shared by every handle made for the same request.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

#include "pde/TextCodes.h"

namespace qmhost {

class HostFont {
public:
    // A simple font: one byte per code; widths[code] in thousandths of an em.
    // codeOf gives a character's code (-1: the font has no glyph for it),
    // fallbackCode stands for the characters without one.
    static HostFont simple(std::string baseFont, const std::array<int, 256>& widths, int ascent, int descent,
                           int (*codeOf)(char32_t) = winAnsiCodeOf, uint8_t fallbackCode = '?');
    // A composite font: two-byte codes (big-endian). widths[code] in thousandths
    // (codes past the end have defaultWidth); codeOfChar maps characters to codes;
    // fallbackCode stands for characters without a glyph.
    static HostFont composite(std::string baseFont, std::vector<int> widths, int defaultWidth,
                              std::unordered_map<char32_t, uint16_t> codeOfChar, uint16_t fallbackCode,
                              int ascent, int descent);

    bool isComposite() const { return mComposite; }
    int bytesPerCode() const { return mComposite ? 2 : 1; }
    const std::string& baseFont() const { return mBaseFont; }
    // Ascent (positive) and descent (usually negative) in thousandths of an em.
    int ascent() const { return mAscent; }
    int descent() const { return mDescent; }

    // The codes of UTF-8 text (see TextCodes.h for bad UTF-8): a byte per
    // character (WinAnsi, or a built-in encoding), or a two-byte code per
    // character; the fallback code for a character without a glyph.
    std::string encode(std::string_view utf8) const;
    // The characters of UTF-8 text that encode() cannot give a code of their
    // own (the fallback code stands for them), every occurrence.
    std::u32string missingChars(std::string_view utf8) const;
    // The sum of the advances of codes, in thousandths of an em; a trailing
    // half code of a composite font counts nothing.
    double advance(std::string_view codes) const;
    int widthOfCode(unsigned code) const;

    // The font dictionary (indirect, in the host's font document).
    const QPDFObjectHandle& dictionary() const { return mDictionary; }
    void setDictionary(QPDFObjectHandle dictionary) { mDictionary = std::move(dictionary); }

private:
    HostFont() = default;

    bool mComposite = false;
    std::string mBaseFont;
    std::vector<int> mWidths;
    int mDefaultWidth = 0;
    std::unordered_map<char32_t, uint16_t> mCodeOfChar;  // composite fonts
    int (*mCodeOf)(char32_t) = winAnsiCodeOf;             // simple fonts
    uint16_t mFallbackCode = '?';
    int mAscent = 0;
    int mDescent = 0;
    QPDFObjectHandle mDictionary;
};

}  // namespace qmhost
