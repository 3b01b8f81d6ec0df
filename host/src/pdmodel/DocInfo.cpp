// The document information dictionary (/Info in the trailer) as UTF-8 text.
#include <string>

#include <qpdf/QPDF.hh>

#include "core/Raise.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/DocumentChanges.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PdfValues.h"

namespace qmhost::pdmodel {

int32_t docGetInfo(PDDoc doc, const char* key, char* buffer, int32_t capacity) {
    Document& document = checkedDocument(doc, "docGetInfo");
    const std::string infoKey = pdfNameOf(key, "docGetInfo");
    const std::string text = docGuarded("docGetInfo", document, [&]() -> std::string {
        QPDFObjectHandle info = document.qpdf().getTrailer().getKey("/Info");
        if (!info.isDictionary()) return {};
        QPDFObjectHandle value = info.getKey(infoKey);
        // PDF text is PDFDocEncoding or UTF-16BE with a byte order mark; qpdf turns
        // either into UTF-8.
        return value.isString() ? value.getUTF8Value() : std::string();
    });
    return copyUtf8Bounded(text, buffer, capacity);
}

void docSetInfo(PDDoc doc, const char* key, const char* value) {
    Document& document = checkedDocument(doc, "docSetInfo");
    const std::string infoKey = pdfNameOf(key, "docSetInfo");
    if (!value) raise(kHostErrBadParameter, "docSetInfo: no value for " + infoKey);
    docGuarded("docSetInfo", document, [&] {
        QPDF& qpdf = document.qpdf();
        QPDFObjectHandle trailer = qpdf.getTrailer();
        QPDFObjectHandle info = trailer.getKey("/Info");
        if (!info.isDictionary()) {
            info = qpdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
            trailer.replaceKey("/Info", info);
        }
        // PDFDocEncoding when every character has a code there, else UTF-16BE.
        info.replaceKey(infoKey, QPDFObjectHandle::newUnicodeString(value));
        noteDocumentChanged(document);
    });
}

}  // namespace qmhost::pdmodel
