// CPDFTextElement: the element that writes a text stamp - one or more lines of
// UTF-8 text in one font (a standard font or an installed system font), with
// a font colour, an optional background fill, an optional underline, an
// optional border (or, in outline mode, stroked glyph outlines), an opacity
// and an optional link.
//
// The text goes through one pipeline: the raw text is split into lines at
// "\r\n" (or a lone "\n"), each line but the last loses its trailing blanks,
// word wrap breaks lines at blanks (or between characters), each line is
// encoded into the font's codes, measured, and escaped only when it is
// written as a string operand. Empty text writes nothing and succeeds.
//
// The font belongs to the element (released by the destructor and before each
// replacement). Its dictionary is copied into a target document once per
// document; every page's "Font" entry refers to that one copy.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/CPDFElement.h"
#include "qmhost/QMBase.h"

class CPDFTextElement : public CPDFElement {
public:
    // The 14 standard font names, in the order of the stamp's list (0..13).
    static constexpr int32_t kStandardFontCount = 14;
    static const char* const kStandardFontNames[kStandardFontCount];
    // The font an element has until another is set, and falls back to.
    static constexpr const char* kDefaultFontName = "Times-Roman";
    // The sample whose measured bottom is the descent of every line.
    static constexpr const char* kDescentSample = "Quillmark";

    // How the last Write's word-wrapped text met the page: whole on it, with
    // text left out that did not fit (lines dropped, or the rest of a line
    // not one character of which fitted), or running off the page.
    enum class Fit { kWhole, kLeftOut, kRunsOff };

    // Makes the default font (none when the host fails).
    CPDFTextElement();
    // Makes no font: for a caller that sets its own font at once and calls
    // MakeDefaultFont when that fails (a font costs a read of its metrics).
    struct WithoutFont {};
    explicit CPDFTextElement(WithoutFont);
    // Makes the default font when the element has none; true when it has one.
    bool MakeDefaultFont();
    // Releases the font.
    ~CPDFTextElement() override;

    // Writes the text onto page pageIndex: a font and a graphics-state
    // resource, then the background, text, underline and border pieces in
    // drawing order (in front of or after the existing content), then the
    // link. False without a placement or document, without a font, or on a
    // host error (the host's text in the error text and the error buffer);
    // what was added before a failure stays (and stays recorded).
    bool Write(int32_t pageIndex) override;
    // Of the last Write (kWhole without word wrap).
    Fit GetLastFit() const { return mLastFit; }

    // --- setters (nothing is written to the document)
    // Stores the raw UTF-8 text; line breaks are "\r\n" or "\n".
    void SetText(const std::string& text) { mText = text; }
    const std::string& GetText() const { return mText; }
    void SetWordWrap(bool wrap) { mWordWrap = wrap; }
    void SetOutline(bool outline) { mOutline = outline; }
    // A factor of the font size (1.0, 1.5, 2.0 from the stamp); stored unchanged.
    void SetLineSpacing(double spacing) { mLineSpacing = spacing; }
    // 0..255 each, divided by 255.
    void SetFontColor(int32_t red, int32_t green, int32_t blue);
    // 0..255 each, divided by 255; the background is then filled.
    void SetFillColor(int32_t red, int32_t green, int32_t blue);
    // Both the border (line) colour and the font colour.
    void SetColor(int32_t red, int32_t green, int32_t blue);
    // 0 none, 1 single, 2 double, 3 thick, 4 dashed, 5 dotted, 6 dash-dot;
    // other values are ignored.
    void SetUnderline(int32_t style);
    // Text render mode 0..3 (fill, stroke, fill and stroke, invisible), used in
    // outline mode; other values are ignored.
    void SetRenderMode(int32_t mode);

    bool GetWordWrap() const { return mWordWrap; }
    bool GetOutline() const { return mOutline; }
    double GetLineSpacing() const { return mLineSpacing; }
    int32_t GetUnderline() const { return mUnderline; }
    int32_t GetRenderMode() const { return mRenderMode; }
    bool GetHasFill() const { return mHasFill; }
    void GetFontColor(double& red, double& green, double& blue) const;
    void GetFillColor(double& red, double& green, double& blue) const;

    // --- fonts
    // One of the 14 standard fonts by name (never embedded; embed is ignored).
    // False without a document or on a host error (an unknown name), the
    // previous font then kept.
    bool SetStandardFont(const char* name, bool embed);
    // An installed font by its unique name, embedded or not. False without a
    // document or on a host error (the previous font then kept); a name that is
    // not installed keeps the previous font and answers true.
    bool SetSystemFont(const char* name, bool embed);
    PDEFont GetFont() const { return mFont; }

    // --- services (raise HostError; called inside a host frame)
    // text (UTF-8) in the font's codes.
    std::string EncodeText(const std::string& text) const;
    // The font's bytes per code (1 or 2).
    int32_t BytesPerCode() const;
    // How many characters of text (UTF-8) the font cannot show (they are
    // written as "?"), and the distinct ones as UTF-8 in outChars (at most 64
    // bytes). 0 without a font, or on a host that cannot tell.
    int32_t FindMissingChars(const std::string& text, std::string& outChars) const;
    // Whether the font draws a blank for the characters it cannot show (a
    // font without a "?", such as ZapfDingbats) rather than a "?".
    bool DrawsMissingCharsBlank() const;
    // The box of codes set in the font at size points: left 0 at the start of
    // the baseline, right the advance, bottom the descent, top the ascent.
    // Empty codes measure with the advance 0.
    bool MeasureText(const std::string& codes, ASFixedRect& outRect, double size) const;

    // MeasureText of kDescentSample at size: the font's ascent (top) and
    // descent (bottom) that every line is laid out with. Measured once per
    // font and size and kept; a new font measures anew.
    const ASFixedRect& SampleBox(double size) const;

    // Appends the underline of style (1..6) for a line: one or two lines
    // along the box's top edge moved down by y (16.16), mapped by matrix, in
    // the colour, under gsName. True; style 0 or another value appends nothing.
    bool WriteUnderline(std::string& out, ASFixed y, const ASFixedRect& lineBox,
                        const ASFixedMatrix& matrix, double red, double green, double blue,
                        int32_t style, const char* gsName) const;

    // The lines of text: split at "\r\n" or "\n"; every line followed by a
    // break loses its trailing blanks (an empty one stays); the text after the
    // last break is the last line, unchanged, when it is not empty.
    static std::vector<std::string> SplitLines(const std::string& text);
    // Appends codes as a string operand: a literal string "(...)" with "\",
    // "(", ")", CR and LF escaped for one-byte codes; a hexadecimal string
    // "<...>" for two-byte codes (a literal string could hold any byte there).
    static void AppendStringOperand(std::string& out, const std::string& codes,
                                    int32_t bytesPerCode);

private:
    friend class CTextContentWriter;

    // Replaces the font by font (the old one released).
    void ReplaceFont(PDEFont font);
    // The copy of the font's dictionary in cosDoc, made on first use.
    CosObj FontCopyFor(CosDoc cosDoc);
    // Host-raising part of Write (pageIndex acquired by the caller).
    bool WritePage(int32_t pageIndex, PDPage page);

    bool mWordWrap = false;
    Fit mLastFit = Fit::kWhole;
    double mLineSpacing = 1.0;
    int32_t mRenderMode = 0;
    double mFontRed = 0.0, mFontGreen = 0.0, mFontBlue = 0.0;
    double mFillRed = 0.0, mFillGreen = 0.0, mFillBlue = 0.0;
    bool mHasFill = false;
    int32_t mUnderline = 0;
    bool mOutline = false;
    PDEFont mFont = nullptr;
    std::string mText;
    // What SampleBox measured last: for the font and the size, the box.
    mutable PDEFont mSampleFont = nullptr;
    mutable double mSampleSize = 0.0;
    mutable ASFixedRect mSampleBox{0, 0, 0, 0};
    // Font dictionaries copied into target documents, by document.
    std::map<CosDoc, CosObj> mFontCopies;
};
