// The "PagePDEContent" table: a page's content read once and lent, counted per
// page, written back on request.
#include <map>
#include <mutex>

#include "core/Raise.h"
#include "core/ScopeGuard.h"
#include "pde/PageContentTables.h"
#include "pde/PdeReader.h"
#include "pde/PdeWriter.h"

namespace qmhost {
namespace {

struct Loan {
    std::shared_ptr<PdeContent> content;
    int32_t count = 0;
};

PdePageAccess gAccess{};

const PdePageAccess& access() {
    if (!gAccess.document) raise(kHostErrUnsupported, "page contents: the host gave no access to pages");
    return gAccess;
}

Document& documentOfPage(PDPage page, const char* op) { return access().document(page, op); }
QPDFObjectHandle pageObjectOf(PDPage page, const char* op) { return access().dictionary(page, op); }
QPDFObjectHandle effectivePageResources(QPDFObjectHandle page, bool create) { return access().resources(page, create); }

using LoanKey = std::pair<uint32_t, QPDFObjGen>;  // document serial, page dictionary

std::map<LoanKey, Loan>& loans() {
    static auto* l = new std::map<LoanKey, Loan>;  // never destroyed, as the other registries
    return *l;
}

LoanKey keyOf(PDPage page, const char* op) {
    Document& document = documentOfPage(page, op);
    return {document.serial(), pageObjectOf(page, op).getObjGen()};
}

PDEContent pageAcquirePDEContent(PDPage page, ExtensionID) {
    return guarded("pageAcquirePDEContent", [&] {
        const LoanKey key = keyOf(page, "pageAcquirePDEContent");
        Loan& loan = loans()[key];
        if (!loan.content) {
            QPDFObjectHandle dict = pageObjectOf(page, "pageAcquirePDEContent");
            const auto forget = onFailure([&] { loans().erase(key); });
            loan.content = readPdeContent(dict.getKey("/Contents"), effectivePageResources(dict, false), key.first, {});
        }
        ++loan.count;
        return loan.content->handle();
    });
}

int32_t pageReleasePDEContent(PDPage page, ExtensionID) {
    return guarded("pageReleasePDEContent", [&] {
        auto it = loans().find(keyOf(page, "pageReleasePDEContent"));
        if (it == loans().end())
            raise(kHostErrBadParameter, "pageReleasePDEContent: the page's content is not lent");
        const int32_t left = --it->second.count;
        if (left == 0) loans().erase(it);
        return left;
    });
}

bool pageSetPDEContent(PDPage page, ExtensionID) {
    return guarded("pageSetPDEContent", [&] {
        auto it = loans().find(keyOf(page, "pageSetPDEContent"));
        if (it == loans().end())
            raise(kHostErrBadParameter, "pageSetPDEContent: the page's content is not lent");
        Document& document = documentOfPage(page, "pageSetPDEContent");
        QPDFObjectHandle dict = pageObjectOf(page, "pageSetPDEContent");
        PdeWriter writer(document, effectivePageResources(dict, false));
        const std::string data = writer.write(*it->second.content);
        dict.replaceKey("/Contents", QPDFObjectHandle::newStream(&document.qpdf(), data));
        if (writer.resourcesChanged()) dict.replaceKey("/Resources", writer.resources());
        return true;
    });
}

const PagePDEContentTable kTable = {sizeof(PagePDEContentTable), pageAcquirePDEContent, pageReleasePDEContent,
                                    pageSetPDEContent};

}  // namespace

const PagePDEContentTable* pagePDEContentTable() { return &kTable; }

void setPdePageAccess(const PdePageAccess& pageAccess) { gAccess = pageAccess; }

size_t pageContentLoanCount() {
    size_t count = 0;
    for (const auto& [key, loan] : loans()) count += static_cast<size_t>(loan.count);
    return count;
}

}  // namespace qmhost
