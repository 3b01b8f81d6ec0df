#include "pde/FontRegistry.h"

#include <map>
#include <mutex>

#include "core/Raise.h"

namespace qmhost {
namespace {

struct Registry {
    std::mutex lock;
    uint32_t documentSerial = 0;
    std::map<std::string, std::shared_ptr<const HostFont>> byKey;
    std::map<uintptr_t, std::shared_ptr<const HostFont>> handles;
    uintptr_t nextHandle = 1;
};

Registry& registry() {
    // Never destroyed: handles may be released while statics go down.
    static Registry* r = new Registry;
    return *r;
}

Document& fontDocumentLocked(Registry& r) {
    if (Document* existing = documentOf(reinterpret_cast<CosDoc>(static_cast<uintptr_t>(r.documentSerial))))
        return *existing;
    auto qpdf = std::make_unique<QPDF>();
    qpdf->emptyPDF();
    Document& document = registerDocument(std::move(qpdf), "");
    // Dictionaries of a closed document cannot be handed out any more.
    r.byKey.clear();
    r.documentSerial = document.serial();
    return document;
}

}  // namespace

Document& fontDocument() {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return fontDocumentLocked(r);
}

std::shared_ptr<const HostFont> cachedFont(const std::string& key,
                                           const std::function<HostFont(QPDF& fontDoc)>& make) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    Document& document = fontDocumentLocked(r);
    auto it = r.byKey.find(key);
    if (it != r.byKey.end()) return it->second;
    auto font = std::make_shared<const HostFont>(make(document.qpdf()));
    r.byKey.emplace(key, font);
    return font;
}

uintptr_t nextPdeHandleNumber() {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (r.nextHandle == 0) raise(kHostErrNoMemory, "no page-content handles left");
    return r.nextHandle++;
}

PDEFont addFontHandle(std::shared_ptr<const HostFont> font) {
    const uintptr_t number = nextPdeHandleNumber();
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.handles.emplace(number, std::move(font));
    return reinterpret_cast<PDEFont>(number);
}

std::shared_ptr<const HostFont> fontOf(PDEFont font, const char* op) {
    if (!font) raise(kHostErrBadParameter, std::string(op) + ": no font given");
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.handles.find(reinterpret_cast<uintptr_t>(font));
    if (it == r.handles.end())
        raise(kHostErrBadHandle, std::string(op) + ": unknown or released font " +
                                     std::to_string(reinterpret_cast<uintptr_t>(font)));
    return it->second;
}

void releaseFontHandle(PDEFont font) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.handles.erase(reinterpret_cast<uintptr_t>(font));
}

}  // namespace qmhost
