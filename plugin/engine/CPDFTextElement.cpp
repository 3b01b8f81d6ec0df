#include "engine/CPDFTextElement.h"

#include <cstring>

#include "engine/CPDFDocument.h"
#include "engine/EngineHostFrame.h"
#include "support/FixedPoint.h"
#include "support/TableMembers.h"
#include "support/cos/PDFAtoms.h"

using engine::HostFrame;

const char* const CPDFTextElement::kStandardFontNames[kStandardFontCount] = {
    "Courier",     "Courier-Bold",      "Courier-Oblique",    "Courier-BoldOblique",
    "Helvetica",   "Helvetica-Bold",    "Helvetica-Oblique",  "Helvetica-BoldOblique",
    "Times-Roman", "Times-Bold",        "Times-Italic",       "Times-BoldItalic",
    "Symbol",      "ZapfDingbats"};

namespace {

bool IsSymbolic(const char* name) {
    return std::strcmp(name, "Symbol") == 0 || std::strcmp(name, "ZapfDingbats") == 0;
}

// A standard font by name; raises kHostErrNotFound for another name.
PDEFont CreateStandardFont(const char* name) {
    const bool symbolic = IsSymbolic(name);
    PDEFontAttrs attrs{kASAtomNull, kASAtomNull, kASAtomNull};
    attrs.name = engine::Atom(name);
    attrs.type = engine::Atom("Type1");
    const ASAtom winAnsi = engine::Atom("WinAnsiEncoding");
    if (!symbolic) attrs.encoding = winAnsi;
    return gPDFEditWriteHFT->fontCreate(&attrs, 0, 255, nullptr, nullptr,
                                        symbolic ? kASAtomNull : winAnsi, nullptr);
}

// Releases a host text object when it goes.
class TextObject {
public:
    TextObject() : mText(gPDFEditWriteHFT->textCreate()) {}
    ~TextObject() {
        try {
            gPDFEditWriteHFT->textRelease(mText);
        } catch (const HostError&) {
        }
    }
    TextObject(const TextObject&) = delete;
    TextObject& operator=(const TextObject&) = delete;
    operator PDEText() const { return mText; }

private:
    PDEText mText;
};

}  // namespace

CPDFTextElement::CPDFTextElement() { MakeDefaultFont(); }

CPDFTextElement::CPDFTextElement(WithoutFont) {}

bool CPDFTextElement::MakeDefaultFont() {
    if (mFont) return true;
    if (!gPDFEditWriteHFT || !gCoreHFT) return false;
    HostFrame([&] { mFont = CreateStandardFont(kDefaultFontName); });
    return mFont != nullptr;
}

CPDFTextElement::~CPDFTextElement() {
    try {
        if (mFont && gPDFEditWriteHFT) gPDFEditWriteHFT->fontRelease(mFont);
    } catch (const HostError&) {
    }
}

void CPDFTextElement::SetFontColor(int32_t red, int32_t green, int32_t blue) {
    mFontRed = red / 255.0;
    mFontGreen = green / 255.0;
    mFontBlue = blue / 255.0;
}

void CPDFTextElement::SetFillColor(int32_t red, int32_t green, int32_t blue) {
    mFillRed = red / 255.0;
    mFillGreen = green / 255.0;
    mFillBlue = blue / 255.0;
    mHasFill = true;
}

void CPDFTextElement::SetColor(int32_t red, int32_t green, int32_t blue) {
    SetLineColor(red, green, blue);
    SetFontColor(red, green, blue);
}

void CPDFTextElement::SetUnderline(int32_t style) {
    if (style >= 0 && style <= 6) mUnderline = style;
}

void CPDFTextElement::SetRenderMode(int32_t mode) {
    if (mode >= 0 && mode <= 3) mRenderMode = mode;
}

void CPDFTextElement::GetFontColor(double& red, double& green, double& blue) const {
    red = mFontRed;
    green = mFontGreen;
    blue = mFontBlue;
}

void CPDFTextElement::GetFillColor(double& red, double& green, double& blue) const {
    red = mFillRed;
    green = mFillGreen;
    blue = mFillBlue;
}

void CPDFTextElement::ReplaceFont(PDEFont font) {
    // The new font is made before the old one goes, so a failure keeps the
    // element's font usable.
    const PDEFont old = mFont;
    mFont = font;
    mFontCopies.clear();
    mSampleFont = nullptr;
    try {
        if (old) gPDFEditWriteHFT->fontRelease(old);
    } catch (const HostError&) {
    }
}

bool CPDFTextElement::SetStandardFont(const char* name, bool) {
    if (!mDocument || !mDocument->GetPDDoc() || !name) return false;
    return HostFrame([&] { ReplaceFont(CreateStandardFont(name)); });
}

std::string CPDFTextElement::EncodeText(const std::string& text) const {
    if (text.empty()) return {};
    const auto length = static_cast<int32_t>(text.size());
    // Two bytes per code at most, and a UTF-8 character is at least one byte.
    std::string codes(text.size() * 2 + 2, '\0');
    int32_t needed = gPDFEditWriteHFT->fontEncodeText(mFont, text.data(), length, codes.data(),
                                                      static_cast<int32_t>(codes.size()));
    if (needed > static_cast<int32_t>(codes.size())) {
        codes.assign(static_cast<size_t>(needed), '\0');
        needed = gPDFEditWriteHFT->fontEncodeText(mFont, text.data(), length, codes.data(), needed);
    }
    codes.resize(static_cast<size_t>(needed < 0 ? 0 : needed));
    return codes;
}

int32_t CPDFTextElement::FindMissingChars(const std::string& text, std::string& outChars) const {
    outChars.clear();
    if (!mFont || text.empty() || !TableHasMember(gPDFEditWriteHFT, &PDFEditWriteTable::fontGetMissingChars))
        return 0;
    char chars[65] = "";
    const int32_t count = gPDFEditWriteHFT->fontGetMissingChars(mFont, text.data(), static_cast<int32_t>(text.size()),
                                                                chars, static_cast<int32_t>(sizeof chars));
    outChars = chars;
    return count;
}

bool CPDFTextElement::DrawsMissingCharsBlank() const {
    // U+FFFF is a noncharacter: no font has a glyph for it.
    return mFont && EncodeText("\xEF\xBF\xBF") == EncodeText(" ");
}

int32_t CPDFTextElement::BytesPerCode() const {
    return gPDFEditWriteHFT->fontGetBytesPerCode(mFont);
}

bool CPDFTextElement::MeasureText(const std::string& codes, ASFixedRect& outRect,
                                  double size) const {
    const ASFixed fixedSize = FixedFromDouble(size);
    const ASFixedMatrix matrix{fixedSize, 0, 0, fixedSize, 0, 0};
    TextObject text;
    // An empty run still has the font's ascent and descent; its advance is 0.
    const std::string sample = codes.empty() ? EncodeText(kDescentSample) : codes;
    gPDFEditWriteHFT->textAddRun(text, 0, sample.data(), static_cast<int32_t>(sample.size()), mFont,
                                 &matrix);
    gPDFEditReadHFT->textGetRunBBox(text, 0, &outRect);
    if (codes.empty()) outRect.right = outRect.left;
    return true;
}

const ASFixedRect& CPDFTextElement::SampleBox(double size) const {
    // Keyed by the font as well: the element's font may be replaced between writes.
    if (mSampleFont == mFont && mSampleFont && mSampleSize == size) return mSampleBox;
    mSampleFont = nullptr;
    MeasureText(EncodeText(kDescentSample), mSampleBox, size);
    mSampleFont = mFont;
    mSampleSize = size;
    return mSampleBox;
}

bool CPDFTextElement::WriteUnderline(std::string& out, ASFixed y, const ASFixedRect& lineBox,
                                     const ASFixedMatrix& matrix, double red, double green,
                                     double blue, int32_t style, const char* gsName) const {
    struct Style {
        double width;
        int32_t dash;
        bool twoLines;
    };
    static constexpr Style kStyles[7] = {{0, 0, false},   {1.0, 0, false}, {1.0, 0, true},
                                         {3.0, 0, false}, {1.0, 1, false}, {1.0, 2, false},
                                         {1.0, 3, false}};
    if (style < 1 || style > 6) return true;
    const Style& s = kStyles[style];
    auto line = [&](ASFixed down) {
        ASFixedRect box = lineBox;
        box.top = lineBox.top - down;
        box.bottom = box.top;
        std::string ops;
        WriteLineOperators(ops, box, matrix, s.width, s.dash, red, green, blue, kStrokeTopEdge,
                           gsName);
        out += ops;
    };
    if (s.twoLines) {
        // Two lines 2 points apart, one point above and one below the position.
        line(y - kASFixedOne);
        line(y + kASFixedOne);
    } else {
        line(y);
    }
    return true;
}
