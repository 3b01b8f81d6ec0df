#include "pdmodel/PdfValues.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>

#include "core/Raise.h"
#include "cos/CosAccess.h"

namespace qmhost {

QPDFObjectHandle pdfNumber(ASFixed value) {
    if (value % kASFixedOne == 0) return QPDFObjectHandle::newInteger(value / kASFixedOne);
    // std::to_chars ignores the locale, so a comma never ends up in a number.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value / 65536.0, std::chars_format::fixed, 5);
    std::string written(text, result.ptr);
    while (!written.empty() && written.back() == '0') written.pop_back();
    if (!written.empty() && written.back() == '.') written.pop_back();
    return QPDFObjectHandle::newReal(written);
}

QPDFObjectHandle pdfNumberOrNull(ASFixed value) {
    return value == kNullFixed ? QPDFObjectHandle::newNull() : pdfNumber(value);
}

ASFixed fixedOrNull(QPDFObjectHandle number) {
    if (!number.isNumber()) return kNullFixed;
    const double value = number.getNumericValue() * 65536.0;
    if (value != value) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483647.0) return -INT32_MAX;  // INT32_MIN would read as null
    return static_cast<ASFixed>(value < 0 ? value - 0.5 : value + 0.5);
}

QPDFObjectHandle pdfRectangle(const ASFixedRect& rect) {
    const ASFixed left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    const ASFixed bottom = std::min(rect.bottom, rect.top), top = std::max(rect.bottom, rect.top);
    QPDFObjectHandle array = QPDFObjectHandle::newArray();
    array.appendItem(pdfNumber(left));
    array.appendItem(pdfNumber(bottom));
    array.appendItem(pdfNumber(right));
    array.appendItem(pdfNumber(top));
    return array;
}

std::string pdfNameOf(const char* text, const char* op) {
    if (!text || !*text) raise(kHostErrBadParameter, std::string(op) + ": no name");
    return std::string("/") + text;
}

std::string pdfNameOf(ASAtom atom, const char* op) { return pdfNameOfAtom(atom, op); }

ASAtom atomOfNameObject(QPDFObjectHandle name) {
    return name.isName() ? atomOfPdfName(name.getName()) : kASAtomNull;
}

int32_t copyUtf8Bounded(const std::string& text, char* buffer, int32_t capacity) {
    if (buffer && capacity > 0) {
        size_t count = std::min(text.size(), static_cast<size_t>(capacity) - 1);
        // A continuation byte at the cut means the character before it is incomplete.
        if (count < text.size())
            while (count > 0 && (static_cast<unsigned char>(text[count]) & 0xC0) == 0x80) --count;
        std::memcpy(buffer, text.data(), count);
        buffer[count] = '\0';
    }
    return text.size() > static_cast<size_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(text.size());
}

}  // namespace qmhost
