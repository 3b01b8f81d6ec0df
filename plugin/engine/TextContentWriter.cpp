#include "engine/TextContentWriter.h"

#include "engine/CPDFTextElement.h"
#include "engine/CPDFTextLayout.h"
#include "engine/PdfNumber.h"
#include "support/FixedPoint.h"

CTextContentWriter::CTextContentWriter(const CPDFTextElement& element, const CPDFTextLayout& layout,
                                       int32_t bytesPerCode)
    : mElement(element), mLayout(layout), mBytesPerCode(bytesPerCode) {}

std::string CTextContentWriter::TextBlock(const std::string& fontName,
                                          const std::string& gsName) const {
    const CPDFTextElement& e = mElement;
    std::string out = " q ";
    CPDFTextElement::AppendColor(out, e.mFontRed, e.mFontGreen, e.mFontBlue, true);
    if (e.mOutline) {
        CPDFTextElement::AppendColor(out, e.mLineRed, e.mLineGreen, e.mLineBlue, false);
        CPDFTextElement::AppendDash(out, e.mDashStyle, e.mLineWidth > 0 ? e.mLineWidth : 1.0);
    }
    out += "1 i ";
    out += "/RelativeColorimetric ri ";
    out += "/" + gsName + " gs ";
    out += "BT /" + fontName + " 1 Tf ";
    if (e.mOutline) {
        AppendPdfInt(out, e.mRenderMode, " Tr ");
        if (e.mRenderMode == 1 || e.mRenderMode == 2) AppendPdfShortReal(out, e.mLineWidth, 2, " w ");
    }
    if (!mLayout.PerLineMatrix()) {
        const ASFixedMatrix& m = mLayout.TextMatrix();
        for (const ASFixed value : {m.a, m.b, m.c, m.d, m.h, m.v}) AppendPdfFixed(out, value);
        out += "Tm ";
        out += CPDFTextLayout::kTextState;
    }
    bool first = true;
    for (const CTextLine& line : mLayout.Lines()) {
        if (!first) out += " ";
        out += line.positioning;
        // Nothing in the block changes the text state: set once, after the
        // first line's own matrix.
        if (first && mLayout.PerLineMatrix()) out += CPDFTextLayout::kTextState;
        CPDFTextElement::AppendStringOperand(out, line.codes, mBytesPerCode);
        out += " Tj ";
        first = false;
    }
    out += "ET Q ";
    return out;
}

std::string CTextContentWriter::Underlines(const std::string& gsName) const {
    const CPDFTextElement& e = mElement;
    std::string out;
    if (e.mUnderline < 1 || e.mUnderline > 6) return out;
    // The line 2 points under the baseline (see CTextLine::underlineBox).
    const ASFixed y = FixedFromDouble(mLayout.Size() + mLayout.Descent() + 2.0);
    for (const CTextLine& line : mLayout.Lines())
        e.WriteUnderline(out, y, line.underlineBox, line.underlineMatrix, e.mFontRed, e.mFontGreen,
                         e.mFontBlue, e.mUnderline, gsName.c_str());
    return out;
}

std::string CTextContentWriter::Border(const std::string& gsName) const {
    const CPDFTextElement& e = mElement;
    std::string out;
    if (e.mOutline) return out;
    e.WriteLineOperators(out, mLayout.FrameBox(), mLayout.FrameMatrix(), e.mLineWidth, e.mDashStyle,
                         e.mLineRed, e.mLineGreen, e.mLineBlue, CPDFElement::kStrokeRect,
                         gsName.c_str());
    return out;
}

std::string CTextContentWriter::Background(const std::string& gsName) const {
    const CPDFTextElement& e = mElement;
    std::string out;
    // The background goes with the border: without a line width there is neither.
    if (e.mOutline || !e.mHasFill) return out;
    e.WriteLineOperators(out, mLayout.FrameBox(), mLayout.FrameMatrix(), e.mLineWidth, e.mDashStyle,
                         e.mFillRed, e.mFillGreen, e.mFillBlue, CPDFElement::kFillRect,
                         gsName.c_str());
    return out;
}
