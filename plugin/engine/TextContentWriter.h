// CTextContentWriter: the content pieces of a text element on one page, built
// from the element's settings and a finished CPDFTextLayout: the text block,
// the underlines, the border and the background fill. Pure string building
// apart from the host's fixed-point transforms (which may raise).
#pragma once

#include <cstdint>
#include <string>

class CPDFTextElement;
class CPDFTextLayout;

class CTextContentWriter {
public:
    CTextContentWriter(const CPDFTextElement& element, const CPDFTextLayout& layout,
                       int32_t bytesPerCode);

    // " q ", the font colour, outline settings, the graphics state and font,
    // the text matrix, the text state (once) and every line, "ET Q ".
    std::string TextBlock(const std::string& fontName, const std::string& gsName) const;
    // Every line's underline in the font colour; empty without an underline style.
    std::string Underlines(const std::string& gsName) const;
    // The border around the frame in the line colour, width and dash; empty in
    // outline mode or without a line width.
    std::string Border(const std::string& gsName) const;
    // The frame filled with the fill colour; empty in outline mode, without a
    // fill colour or without a line width.
    std::string Background(const std::string& gsName) const;

private:
    const CPDFTextElement& mElement;
    const CPDFTextLayout& mLayout;
    int32_t mBytesPerCode;
};
