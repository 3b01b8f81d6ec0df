#include "stamper/CTextStamp.h"

#include <string>

#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "stamper/HostServices.h"
#include "stamper/RunWarnings.h"
#include "stamper/StampKeys.h"
#include "stamper/StampMessages.h"
#include "stamper/StampRunCounters.h"
#include "stamper/TextVariables.h"
#include "support/CallbackGuard.h"
#include "support/ErrorMessage.h"

CTextStamp::CTextStamp() : CStamp(kStampTypeText) {}

CTextStamp::CTextStamp(ASCab inCab) : CStamp(inCab) {}

CTextStamp::~CTextStamp() { mTextElement = nullptr; }

void CTextStamp::DeleteBuiltObjects() {
    mTextElement = nullptr;
    CStamp::DeleteBuiltObjects();
}

double CTextStamp::LineSpacingOf(int32_t inIndex) {
    if (inIndex == 1) return 1.5;
    if (inIndex == 2) return 2.0;
    return 1.0;
}

int32_t CTextStamp::RenderModeOf(int32_t inFontColor, int32_t inBorderColor) {
    const bool font = inFontColor >= 0;
    const bool border = inBorderColor >= 0;
    if (font && border) return 2;
    if (font) return 0;
    if (border) return 1;
    return 4;  // no mode the element takes: its default stays
}

bool CTextStamp::Build(PDDoc inDoc) {
    // The element starts without its default font, which the stamp's own
    // replaces at once (each costs a read of the font's metrics); it gets the
    // default only when the stamp's font was not made, so that the text is
    // written in it as before.
    mTextElement = MakeElement<CPDFTextElement>(CPDFTextElement::WithoutFont{});
    const bool built = BuildKind(inDoc, [&] {
        SetMessage(kStrCannotAddDocument);
        BuildText();
        const bool fontMade = BuildFont();
        mTextElement->SetOutline(CabBool(kKeyOutline, false));
        mRawText = CabString(kKeyText);
        mTextElement->SetText(ExpandStampVariables(mRawText));
        return fontMade;
    });
    // A system font that is not installed leaves the element without a font.
    mFontFellBack = built && mTextElement && !mTextElement->GetFont() && CabInt(kKeyFontType, 0) != 0;
    if (mTextElement && !mTextElement->GetFont()) {
        // A default that cannot be made either keeps the message about the
        // stamp's own font in the buffer.
        const std::string message = GetErrorMessage();
        if (!mTextElement->MakeDefaultFont()) SetErrorMessage(message);
    }
    return built;
}

void CTextStamp::BuildText() {
    mTextElement->SetLineSpacing(LineSpacingOf(CabInt(kKeyLineSpacing, 0)));
    mTextElement->SetWordWrap(CabBool(kKeyWordWrap, false));
    mTextElement->SetUnderline(CabInt(kKeyUnderline, 0));
    const int32_t fontColor = CabInt(kKeyFontColor, kNoColor);
    if (fontColor >= 0)
        mTextElement->SetFontColor(RedOf(fontColor), GreenOf(fontColor), BlueOf(fontColor));
    mTextElement->SetRenderMode(RenderModeOf(fontColor, CabInt(kKeyBorderColor, kNoColor)));
    const int32_t fillColor = CabInt(kKeyFillColor, kNoColor);
    if (fillColor >= 0)
        mTextElement->SetFillColor(RedOf(fillColor), GreenOf(fillColor), BlueOf(fillColor));
    const double size = CabInt(kKeyFontSize, kDefaultFontSize);
    GetPlacement()->SetScale(size, size);
}

bool CTextStamp::BuildFont() {
    const bool embed = CabBool(kKeyEmbedFont, false);
    if (CabInt(kKeyFontType, 0) == 0) {
        const int32_t index = CabInt(kKeyStandardFont, 0);
        if (index >= 0 && index < CPDFTextElement::kStandardFontCount) {
            const char* name = CPDFTextElement::kStandardFontNames[index];
            if (mTextElement->SetStandardFont(name, embed)) return true;
            SetMessage(kStrStandardFontFailed, name);
        } else {
            // No such font in the list: named by its index.
            SetMessage(kStrStandardFontFailed, std::to_string(index).c_str());
        }
    } else {
        const std::string name = CabString(kKeySystemFont);
        if (mTextElement->SetSystemFont(name.c_str(), embed)) return true;
        SetMessage(kStrSystemFontFailed, name.c_str());
    }
    ReportMessage();
    return false;
}

bool CTextStamp::PreparePage(PDDoc, int32_t inPageIndex) {
    GetStampRunCounters().currentPage = inPageIndex;
    if (mTextElement && IsPageDependentText(mRawText))
        mTextElement->SetText(ExpandStampVariables(mRawText));
    WarnOfFallbackFont(inPageIndex);
    WarnOfMissingChars(inPageIndex);
    return true;
}

namespace {

std::string PageNumber(int32_t inPageIndex) { return std::to_string(int64_t{inPageIndex} + 1); }

}  // namespace

void CTextStamp::PageWritten(int32_t inPageIndex) {
    if (!mTextElement || IsNoLog()) return;
    const CPDFTextElement::Fit fit = mTextElement->GetLastFit();
    if (fit == CPDFTextElement::Fit::kWhole) return;
    const std::string what = fit == CPDFTextElement::Fit::kLeftOut ? "the text that does not fit is left out"
                                                                   : "it runs off the page";
    WarnOncePerRun("text cut " + GetName(), "the word-wrapped text of the stamp \"" + GetName() +
                                                "\" does not fit on page " + PageNumber(inPageIndex) + ": " + what);
}

void CTextStamp::WarnOfFallbackFont(int32_t inPageIndex) const {
    if (!mFontFellBack || IsNoLog()) return;
    WarnOncePerRun("font fallback " + GetName(), "the system font \"" + FontName() + "\" of the stamp \"" +
                                                     GetName() + "\" is not installed: page " +
                                                     PageNumber(inPageIndex) + " is stamped in " +
                                                     CPDFTextElement::kDefaultFontName + " instead");
}

std::string CTextStamp::FontName() const {
    if (CabInt(kKeyFontType, 0) != 0) return CabString(kKeySystemFont);
    const int32_t index = CabInt(kKeyStandardFont, 0);
    return index >= 0 && index < CPDFTextElement::kStandardFontCount ? CPDFTextElement::kStandardFontNames[index]
                                                                      : std::to_string(index);
}

void CTextStamp::WarnOfMissingChars(int32_t inPageIndex) const {
    if (!mTextElement || IsNoLog()) return;
    // Not knowing is no reason to stop the run.
    TrapRun([&] {
        // Line breaks are no characters to show.
        std::string shown;
        for (const std::string& line : CPDFTextElement::SplitLines(mTextElement->GetText())) shown += line;
        std::string chars;
        if (mTextElement->FindMissingChars(shown, chars) == 0) return;
        const std::string drawn =
            mTextElement->DrawsMissingCharsBlank() ? "they are left blank" : "they are drawn as \"?\"";
        const std::string font = mFontFellBack ? CPDFTextElement::kDefaultFontName : FontName();
        WarnOncePerRun("missing characters " + GetName(),
                       "the font " + font + " cannot show some characters of the stamp \"" + GetName() +
                           "\" on page " + PageNumber(inPageIndex) + " (" + chars + "); " + drawn);
    });
}
