// CTextStamp: the text kind of stamp. Its element is a CPDFTextElement set up
// from the text keys (StampKeys.h): line spacing, word wrap, underline, font
// and fill colours, the text rendering that the border colour implies, the
// font size (the placement's scale), a standard or system font, the outline
// flag and the text, whose variables are expanded when it is built and again
// for each page when they depend on the page.
#pragma once

#include <memory>
#include <string>

#include "stamper/CStamp.h"

class CPDFTextElement;

class CTextStamp : public CStamp {
public:
    // A new owned cabinet of type 0.
    CTextStamp();
    // Wraps inCab without owning it.
    explicit CTextStamp(ASCab inCab);
    ~CTextStamp() override;

    // Makes the text element, runs the base part and then the text part. A
    // font that cannot be made (string 213 or 214) is reported and makes the
    // answer false, but the stamp stays built and keeps the element's previous
    // font; any other failure (string 211 unless a host error said more)
    // leaves it not built.
    bool Build(PDDoc inDoc) override;
    // Sets the run counters' current page to inPageIndex and, when the raw text
    // holds a page-dependent variable, hands the text expanded again to the
    // element. True.
    bool PreparePage(PDDoc inDoc, int32_t inPageIndex) override;
    // Warns, once per run and stamp, when the word-wrapped text did not fit
    // on the page (text left out, or running off the page).
    void PageWritten(int32_t inPageIndex) override;
    void DeleteBuiltObjects() override;

    CPDFTextElement* GetTextElement() const { return mTextElement; }
    // "kTextE" as read by the last Build.
    const std::string& GetRawText() const { return mRawText; }

    // Line spacing factor of "kLineSpacingC": 1 -> 1.5, 2 -> 2.0, other -> 1.0.
    static double LineSpacingOf(int32_t inIndex);
    // The text rendering mode from the font and border colours: 2 with both,
    // 0 with the font colour only, 1 with the border colour only, 4 (left to
    // the element) with neither. A colour is set when it is 0 or more.
    static int32_t RenderModeOf(int32_t inFontColor, int32_t inBorderColor);

private:
    void BuildText();
    // False (message reported) when the font cannot be made.
    bool BuildFont();
    // The name of the font the cabinet asks for (standard or system).
    std::string FontName() const;
    // Warns, once per run and stamp, when the element's text holds characters
    // that its font cannot show, naming the page and what is drawn for them.
    void WarnOfMissingChars(int32_t inPageIndex) const;
    // Warns, once per run and stamp, when the system font is not installed
    // and the text is written in the default font.
    void WarnOfFallbackFont(int32_t inPageIndex) const;

    CPDFTextElement* mTextElement = nullptr;  // the element, typed; not owned here
    std::string mRawText;
    bool mFontFellBack = false;  // the system font is not installed
};
