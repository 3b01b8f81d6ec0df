// CPDFTextLayout: where the lines of a text element go on one page. It wraps
// the lines (when the element asks for it), encodes and measures them, and
// works out the text matrix and line moves, the underline positions, the box
// and matrix of the border and background, and the link rectangle.
//
// It works through the element's placement: Compute is run with the boxes and
// scales each step needs. The placement's offsets, scale and rotation are the
// same afterwards as before; its element box and matrix are those of the frame
// (the border's box).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qmhost/QMBase.h"

class CPDFPlacement;
class CPDFTextElement;
class CWrapCandidates;

// One line as it is written.
struct CTextLine {
    std::string codes;            // the line in the font's codes
    ASFixedRect box{};            // its measured box at the font size (points)
    std::string positioning;      // "x y Td " or, line by line, "a b c d h v Tm ..."
    ASFixedRect underlineBox{};   // top: the baseline + size + descent (see WriteUnderline)
    ASFixedMatrix underlineMatrix{};
};

class CPDFTextLayout {
public:
    // The text state operators written after every text matrix.
    static constexpr const char* kTextState = "0 Tw 0 Tc 100 Tz 0 TL 0 Ts ";

    CPDFTextLayout(const CPDFTextElement& element, CPDFPlacement& placement);

    // Wraps (when wordWrap is set), encodes, measures and lays out lines.
    // Raises HostError from the host's fonts; false when the placement could
    // not be computed (the host's text in the error-message buffer).
    bool Build(std::vector<std::string> lines, bool wordWrap);

    // The lines after wrapping (word wrap may drop all of them).
    const std::vector<CTextLine>& Lines() const { return mLines; }
    // True when each line has its own text matrix (a rotated, wrapped text).
    bool PerLineMatrix() const { return mPerLineMatrix; }
    // The common text matrix (font size included) when not PerLineMatrix().
    const ASFixedMatrix& TextMatrix() const { return mTextMatrix; }
    // The border's and background's box and the matrix that maps it to the page.
    const ASFixedRect& FrameBox() const { return mFrameBox; }
    const ASFixedMatrix& FrameMatrix() const { return mFrameMatrix; }
    // The link rectangle in the page's user space.
    const ASFixedRect& LinkRect() const { return mLinkRect; }
    double Size() const { return mSize; }
    double Descent() const { return mDescent; }

private:
    // Breaks lines that do not fit on the page; false when Compute failed.
    // Time linear in the text's length (times the log of a line's length).
    bool Wrap(std::vector<std::string>& lines);
    // outMisfit = the index of the first candidate prefix of the rest of line
    // from start that does not fit, npos when all fit.
    bool FirstMisfit(const std::string& line, size_t start, CWrapCandidates& ends, size_t& outMisfit);
    // Whether text (UTF-8) fits standing alone at the element's position.
    bool PrefixFits(const std::string& text, bool& outFits);
    bool LayOutStandard();
    bool LayOutRotated();
    // The font-size scale back and the original offsets.
    void RestorePlacement();

    const CPDFTextElement& mElement;
    CPDFPlacement& mPlacement;
    double mSize = 0;
    double mDescent = 0;
    double mOffsetX = 0;
    double mOffsetY = 0;
    std::vector<CTextLine> mLines;
    bool mPerLineMatrix = false;
    ASFixedMatrix mTextMatrix{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    ASFixedRect mFrameBox{};
    ASFixedMatrix mFrameMatrix{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    ASFixedRect mLinkRect{};
};
