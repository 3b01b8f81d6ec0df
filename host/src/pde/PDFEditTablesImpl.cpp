// The "PDFEditWrite" and "PDFEditRead" tables: fonts for page content (the 14
// standard fonts and composite fonts over installed fonts), encoding text into
// their codes, and text objects that measure runs.
#include <algorithm>
#include <cstring>
#include <limits>

#include "pde/PDFEditTablesImpl.h"
#include "core/AtomTable.h"
#include "core/Raise.h"
#include "pde/CompositeFont.h"
#include "pde/NamedFonts.h"
#include "pde/FontRegistry.h"
#include "pde/PageContentTables.h"
#include "pde/StandardFonts.h"
#include "pde/TextObjects.h"
#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "sysfont/SystemFontList.h"

namespace qmhost {
namespace {

std::string atomText(ASAtom atom) {
    const char* text = atom == kASAtomNull ? nullptr : atoms().text(atom);
    return text ? text : "";
}

// The standard fonts come in one encoding each: WinAnsi for the text fonts and
// the built-in one for Symbol and ZapfDingbats. A request for another is refused
// rather than measured with the wrong widths.
void checkStandardEncoding(const std::string& name, const PDEFontAttrs& attrs, ASAtom baseEncoding) {
    const std::string base = atomText(baseEncoding), own = atomText(attrs.encoding);
    for (const std::string& encoding : {base, own})
        if (!encoding.empty() && encoding != "WinAnsiEncoding")
            raise(kHostErrUnsupported, "fontCreate: " + name + " is offered in WinAnsiEncoding only, not " + encoding);
    const bool winAnsi = !base.empty() || !own.empty();
    if (isSymbolicStandardFont(name) && winAnsi)
        raise(kHostErrUnsupported, "fontCreate: " + name + " has only its built-in encoding");
    if (!isSymbolicStandardFont(name) && !winAnsi)
        raise(kHostErrUnsupported, "fontCreate: " + name + " needs WinAnsiEncoding");
}

PDEFont fontCreate(const PDEFontAttrs* attrs, int32_t firstChar, int32_t lastChar, const int16_t* widths,
                   const char* const* encoding, ASAtom baseEncoding, ASStm fontFile) {
    return guarded("fontCreate", [&] {
        if (!attrs) raise(kHostErrBadParameter, "fontCreate: no font attributes given");
        const std::string name = atomText(attrs->name);
        if (!isStandardFontName(name))
            raise(kHostErrNotFound, "fontCreate: \"" + name + "\" is not one of the 14 standard fonts");
        const std::string type = atomText(attrs->type);
        if (!type.empty() && type != "Type1")
            raise(kHostErrUnsupported, "fontCreate: " + name + " is a Type1 font, not " + type);
        if (firstChar < 0 || lastChar > 255 || firstChar > lastChar)
            raise(kHostErrBadParameter, "fontCreate: the codes " + std::to_string(firstChar) + ".." +
                                            std::to_string(lastChar) + " are not within 0..255");
        if (widths || encoding || fontFile)
            raise(kHostErrUnsupported, "fontCreate: standard fonts take no widths, encoding array or font file");
        checkStandardEncoding(name, *attrs, baseEncoding);
        auto font = cachedFont("standard:" + name, [&](QPDF& doc) { return makeStandardFont(name, doc); });
        return addFontHandle(std::move(font));
    });
}

PDEFont fontCreateFromSysFont(PDSysFont sysFont, uint32_t flags) {
    return guarded("fontCreateFromSysFont", [&] {
        const SystemFont& font = systemFontOf(sysFont, "fontCreateFromSysFont");
        const uint32_t mode = flags & (kPDEFontCreateEmbedded | kPDEFontCreateNotEmbedded);
        if (mode != kPDEFontCreateEmbedded && mode != kPDEFontCreateNotEmbedded)
            raise(kHostErrBadParameter, "fontCreateFromSysFont: flags " + std::to_string(flags) +
                                            " must ask for embedded (1) or not embedded (4)");
        const bool embedded = mode == kPDEFontCreateEmbedded;
        const std::string key = "system:" + font.file + "#" + std::to_string(font.faceIndex) +
                                (embedded ? ":embedded" : ":named");
        auto made = cachedFont(key, [&](QPDF& doc) {
            return embedded ? makeCompositeFont(font, doc) : makeNamedFont(font, doc);
        });
        return addFontHandle(std::move(made));
    });
}

void fontRelease(PDEFont font) {
    if (font) releaseFontHandle(font);
}

int32_t fontEncodeText(PDEFont font, const char* utf8, int32_t length, char* codes, int32_t capacity) {
    return guarded("fontEncodeText", [&] {
        auto hostFont = fontOf(font, "fontEncodeText");
        if (length < 0 || (!utf8 && length > 0)) raise(kHostErrBadParameter, "fontEncodeText: no text given");
        if (capacity < 0 || (!codes && capacity > 0))
            raise(kHostErrBadParameter, "fontEncodeText: no room for the codes given");
        const std::string encoded = hostFont->encode(std::string_view(utf8 ? utf8 : "", static_cast<size_t>(length)));
        if (encoded.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
            raise(kHostErrNoMemory, "fontEncodeText: the text is too long");
        if (capacity > 0) std::memcpy(codes, encoded.data(), std::min(encoded.size(), static_cast<size_t>(capacity)));
        return static_cast<int32_t>(encoded.size());
    });
}

// The UTF-8 bytes of one character (a valid one: it came out of the decoder).
std::string utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

int32_t fontGetMissingChars(PDEFont font, const char* utf8, int32_t length, char* missing, int32_t capacity) {
    return guarded("fontGetMissingChars", [&] {
        auto hostFont = fontOf(font, "fontGetMissingChars");
        if (length < 0 || (!utf8 && length > 0))
            raise(kHostErrBadParameter, "fontGetMissingChars: no text given");
        if (capacity < 0 || (!missing && capacity > 0))
            raise(kHostErrBadParameter, "fontGetMissingChars: no room for the characters given");
        const std::u32string found =
            hostFont->missingChars(std::string_view(utf8 ? utf8 : "", static_cast<size_t>(length)));
        std::u32string distinct;
        std::string text;
        for (char32_t c : found) {
            if (distinct.find(c) != std::u32string::npos) continue;
            distinct.push_back(c);
            const std::string bytes = utf8Of(c);
            if (text.size() + bytes.size() + 1 > static_cast<size_t>(capacity)) break;
            text += bytes;
        }
        if (capacity > 0) std::memcpy(missing, text.c_str(), text.size() + 1);
        return static_cast<int32_t>(std::min<size_t>(found.size(), std::numeric_limits<int32_t>::max()));
    });
}

int32_t fontGetBytesPerCode(PDEFont font) {
    return guarded("fontGetBytesPerCode", [&] { return fontOf(font, "fontGetBytesPerCode")->bytesPerCode(); });
}

PDEText textCreate() { return guarded("textCreate", [] { return createText(); }); }

void textAddRun(PDEText text, int32_t index, const char* codes, int32_t length, PDEFont font,
                const ASFixedMatrix* textMatrix) {
    guarded("textAddRun", [&] {
        auto hostFont = fontOf(font, "textAddRun");
        if (length < 0 || (!codes && length > 0)) raise(kHostErrBadParameter, "textAddRun: no codes given");
        if (!textMatrix) raise(kHostErrBadParameter, "textAddRun: no text matrix given");
        addTextRun(text, index, std::string(codes ? codes : "", static_cast<size_t>(length)), std::move(hostFont),
                   *textMatrix);
    });
}

void textRelease(PDEText text) {
    if (text) releaseText(text);
}

CosObj fontGetCosObj(PDEFont font) {
    return guarded("fontGetCosObj", [&] {
        auto hostFont = fontOf(font, "fontGetCosObj");
        Document& document = fontDocument();
        const QPDFObjectHandle& dict = hostFont->dictionary();
        if (dict.getOwningQPDF() != &document.qpdf())
            raise(kHostErrBadHandle, "fontGetCosObj: the font's document was closed");
        return handleFor(document, dict);
    });
}

void textGetRunBBox(PDEText text, int32_t index, ASFixedRect* box) {
    guarded("textGetRunBBox", [&] {
        if (!box) raise(kHostErrBadParameter, "textGetRunBBox: no rectangle given");
        *box = textRunBox(text, index);
    });
}

int32_t textGetNumRuns(PDEText text) {
    return guarded("textGetNumRuns", [&] { return textRunCount(text); });
}

PDFEditWriteTable makeWriteTable() {
    PDFEditWriteTable table{};
    table.size = sizeof(PDFEditWriteTable);
    table.fontCreate = fontCreate;
    table.fontCreateFromSysFont = fontCreateFromSysFont;
    table.fontRelease = fontRelease;
    table.fontEncodeText = fontEncodeText;
    table.fontGetBytesPerCode = fontGetBytesPerCode;
    table.textCreate = textCreate;
    table.textAddRun = textAddRun;
    table.textRelease = textRelease;
    table.fontGetMissingChars = fontGetMissingChars;
    addPageContentWrite(table);
    return table;
}

PDFEditReadTable makeReadTable() {
    PDFEditReadTable table{};
    table.size = sizeof(PDFEditReadTable);
    table.fontGetCosObj = fontGetCosObj;
    table.textGetRunBBox = textGetRunBBox;
    table.textGetNumRuns = textGetNumRuns;
    addPageContentRead(table);
    return table;
}

}  // namespace

const PDFEditWriteTable* pdfEditWriteTable() {
    static const PDFEditWriteTable table = makeWriteTable();
    return &table;
}
const PDFEditReadTable* pdfEditReadTable() {
    static const PDFEditReadTable table = makeReadTable();
    return &table;
}

}  // namespace qmhost
