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

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/CPDFTextElement.h"
#include "qmhost/QMBase.h"

class CPDFPlacement;
class CWrapCandidates;

// One line as it is written.
struct CTextLine {
    std::string codes;            // the line in the font's codes
    ASFixedRect box{};            // its measured box at the font size (points)
    std::string positioning;      // "x y Td " or, line by line, "a b c d h v Tm "
    ASFixedRect underlineBox{};   // top: the baseline + size + descent (see WriteUnderline)
    ASFixedMatrix underlineMatrix{};
};

class CPDFTextLayout {
public:
    // The text state operators, written once per text block after its first
    // text matrix. No leading ("TL"): the block moves by Td and Tm only, never
    // by the operators that read it.
    static constexpr const char* kTextState = "0 Tw 0 Tc 100 Tz 0 Ts ";

    CPDFTextLayout(const CPDFTextElement& element, CPDFPlacement& placement);

    // Wraps (when wordWrap is set), encodes, measures and lays out lines.
    // Raises HostError from the host's fonts; false when the placement could
    // not be computed (the host's text in the error-message buffer).
    bool Build(std::vector<std::string> lines, bool wordWrap);

    // The lines after wrapping (word wrap may drop all of them).
    const std::vector<CTextLine>& Lines() const { return mLines; }
    // How the wrapped text met the page (kWhole without word wrap).
    CPDFTextElement::Fit GetFit() const { return mFit; }
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
    // The most lines a rotated, wrapped text is tried with, and the most
    // wraps per line count that settle the widest line.
    static constexpr size_t kMaxRotatedLines = 512;
    static constexpr int kMaxWidthRounds = 4;

    // Breaks lines that do not fit on the page; false when Compute failed.
    // Stops early once more than maxLines lines are made (lines then holds
    // them); outCut is set when the text was cut because not even one
    // character fitted, mWordRunsOff when a word was too wide for any line.
    // Time linear in the text's length (times the log of
    // a line's length).
    bool Wrap(std::vector<std::string>& lines, size_t maxLines, bool& outCut);
    // Wrap for a rotated text, whose lines stand one line step apart across
    // the baseline: each line is tested where the rotated layout puts it in a
    // block of the lines that the wrap gives (see the .cpp for the search).
    bool WrapRotated(std::vector<std::string>& lines);
    // The widest of the lines at the font size (points).
    double Widest(const std::vector<std::string>& lines) const;
    // ioBest becomes the longest run of trial's first lines that lies on the
    // page as a block of its own, when that keeps more text. False when
    // Compute failed.
    bool KeepMostOnPage(const std::vector<std::string>& trial, std::vector<std::string>& ioBest);
    // The bytes of all lines together.
    static size_t Characters(const std::vector<std::string>& lines);
    // Whether the standard layout's text box (from the top line's em to the
    // lowest descent, in points), mapped by pointMatrix, lies on the page up
    // and down (the wrap has fitted each line across it).
    bool StandardBlockOnPage(const ASFixedRect& textBox, const ASFixedMatrix& pointMatrix);
    // outFits: every line that draws something lies on the page with its
    // whole box when the lines are laid out rotated as one block, the widest
    // `widest` points wide. False when Compute failed.
    bool BlockFits(const std::vector<std::string>& lines, double widest, bool& outFits);
    // outMisfit = the index of the first candidate prefix of the rest of line
    // from start that does not fit as line lineIndex, npos when all fit.
    bool FirstMisfit(const std::string& line, size_t start, size_t lineIndex, CWrapCandidates& ends,
                     size_t& outMisfit);
    // Whether text (UTF-8) fits as line lineIndex: standing alone at the
    // element's position, or, while WrapRotated runs, with its whole box
    // (ascent to descent, all four corners) where the rotated layout of the
    // assumed block puts that line.
    bool PrefixFits(const std::string& text, size_t lineIndex, bool& outFits);
    // outFits: text, as line k of a rotated block of n lines at least
    // wMaxPoints wide (and as wide as text), lies on the page with its whole
    // box, all four corners. False when Compute failed.
    bool RotatedLineFits(const std::string& text, int32_t k, int32_t n, double wMaxPoints, bool& outFits);
    // The matrix that maps line k (points, baseline origin, the line w points
    // wide) of a rotated block of n lines, the widest wMaxPoints wide, into
    // the page's user space. Moves the placement's offsets and scale (the
    // caller restores them); false when Compute failed.
    bool RotatedLineMatrix(int32_t k, int32_t n, double wMaxPoints, double w, ASFixedMatrix& outMatrix);
    bool LayOutStandard();
    bool LayOutRotated();
    // The font-size scale back and the original offsets.
    void RestorePlacement();

    const CPDFTextElement& mElement;
    CPDFPlacement& mPlacement;
    double mSize = 0;
    double mDescent = 0;
    ASFixedRect mSampleBox{};  // the font's ascent (top) and descent (bottom) at the size
    // While WrapRotated runs: the block assumed for the line positions.
    bool mWrapRotated = false;
    int32_t mAssumedLines = 1;
    double mAssumedWidth = 0;
    double mWrappedWidest = 0;  // the widest line the running wrap made so far
    // The last wrap made a line of a first word that does not fit on the page
    // (it stands alone and runs off the page's side).
    bool mWordRunsOff = false;
    double mOffsetX = 0;
    double mOffsetY = 0;
    std::vector<CTextLine> mLines;
    CPDFTextElement::Fit mFit = CPDFTextElement::Fit::kWhole;
    bool mWordWrap = false;
    bool mPerLineMatrix = false;
    ASFixedMatrix mTextMatrix{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    ASFixedRect mFrameBox{};
    ASFixedMatrix mFrameMatrix{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    ASFixedRect mLinkRect{};
};
