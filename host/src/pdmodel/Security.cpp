// Encryption and permissions of a document as qpdf reads them.
#include <qpdf/QPDF.hh>

#include "cos/Document.h"
#include "cos/QpdfGuard.h"
#include "pdmodel/PDModelEntries.h"
#include "pdmodel/PdfValues.h"

namespace qmhost::pdmodel {
namespace {

// What docGetSecurityData answers for an encrypted document: callers only test it
// against null, and no document state is handed out.
const int kEncryptedMarker = 1;

}  // namespace

const void* docGetSecurityData(PDDoc doc) {
    Document& document = checkedDocument(doc, "docGetSecurityData");
    return docGuarded("docGetSecurityData", document,
                      [&]() -> const void* { return document.qpdf().isEncrypted() ? &kEncryptedMarker : nullptr; });
}

ASAtom docGetSecurityHandlerName(PDDoc doc) {
    Document& document = checkedDocument(doc, "docGetSecurityHandlerName");
    return docGuarded("docGetSecurityHandlerName", document, [&]() -> ASAtom {
        if (!document.qpdf().isEncrypted()) return kASAtomNull;
        QPDFObjectHandle encrypt = document.qpdf().getTrailer().getKey("/Encrypt");
        return encrypt.isDictionary() ? atomOfNameObject(encrypt.getKey("/Filter")) : kASAtomNull;
    });
}

int32_t docPermRequest(PDDoc doc, int32_t object, int32_t operation, void* /*reserved*/) {
    Document& document = checkedDocument(doc, "docPermRequest");
    return docGuarded("docPermRequest", document, [&]() -> int32_t {
        QPDF& qpdf = document.qpdf();
        // Whoever opened with the owner password may do anything.
        if (!qpdf.isEncrypted() || qpdf.ownerPasswordMatched()) return 0;
        // Changing page content is what the "modify other" permission bit governs;
        // requests this host does not know are refused.
        if (object == kPDPermObjPageContents && operation == kPDPermOpModify)
            return qpdf.allowModifyOther() ? 0 : 1;
        return 1;
    });
}

uint32_t docGetPermissions(PDDoc doc) {
    Document& document = checkedDocument(doc, "docGetPermissions");
    return docGuarded("docGetPermissions", document, [&]() -> uint32_t {
        QPDF& qpdf = document.qpdf();
        int revision = 0;
        int permissions = 0;
        if (!qpdf.isEncrypted(revision, permissions) || qpdf.ownerPasswordMatched()) return 0xFFFFFFFFu;
        return static_cast<uint32_t>(permissions);
    });
}

}  // namespace qmhost::pdmodel
