#include "cos/Document.h"

#include <map>

#include "core/Raise.h"

namespace qmhost {

Document::Document(uint32_t serial, std::unique_ptr<QPDF> qpdf, std::string path)
    : mSerial(serial), mQpdf(std::move(qpdf)), mPath(std::move(path)) {}

// Slots hold handles into the QPDF: drop them before the QPDF goes.
Document::~Document() {
    mObjects.clear();
    mQpdf.reset();
}

PDDoc Document::pdDoc() const { return reinterpret_cast<PDDoc>(static_cast<uintptr_t>(mSerial)); }
CosDoc Document::cosDoc() const { return reinterpret_cast<CosDoc>(static_cast<uintptr_t>(mSerial)); }

std::string Document::displayName() const {
    return hasPath() ? mPath : "untitled document " + std::to_string(mSerial);
}

bool Document::dropPageRef(uint32_t slot) {
    auto it = mPageRefs.find(slot);
    if (it == mPageRefs.end()) return false;
    if (--it->second == 0) mPageRefs.erase(it);
    return true;
}

namespace {

struct Registry {
    std::map<uint32_t, std::unique_ptr<Document>> documents;
    uint32_t nextSerial = 1;
    bool abandonOnClose = false;
};

Registry& registry() {
    // Never destroyed: documents may still be closed while statics go down.
    static Registry* r = new Registry;
    return *r;
}

// The document found last: nearly every look-up asks for the same one, and a
// handle is looked up several times per table call. Forgotten when any
// document leaves the registry.
Document* gLastFound = nullptr;

Document* findSerial(uintptr_t serial) {
    if (serial == 0 || serial > UINT32_MAX) return nullptr;
    if (gLastFound && gLastFound->serial() == serial) return gLastFound;
    auto& documents = registry().documents;
    auto it = documents.find(static_cast<uint32_t>(serial));
    if (it == documents.end()) return nullptr;
    gLastFound = it->second.get();
    return gLastFound;
}

std::string handleText(CosObj obj) {
    return "{" + std::to_string(obj.a) + ", " + std::to_string(obj.b) + "}";
}

}  // namespace

Document& registerDocument(std::unique_ptr<QPDF> qpdf, std::string path) {
    Registry& r = registry();
    if (r.nextSerial == 0) raise(kHostErrNoMemory, "no document numbers left");
    const uint32_t serial = r.nextSerial++;
    // Copies taken from this document carry their stream data with them, so they
    // stay whole after this document closes.
    qpdf->setImmediateCopyFrom(true);
    auto document = std::make_unique<Document>(serial, std::move(qpdf), std::move(path));
    Document& result = *document;
    r.documents.emplace(serial, std::move(document));
    return result;
}

void closeDocument(Document& document) {
    auto& documents = registry().documents;
    auto it = documents.find(document.serial());
    if (it == documents.end()) return;
    // Out of the registry first, so that nothing finds a half-destroyed document.
    std::unique_ptr<Document> owned = std::move(it->second);
    documents.erase(it);
    gLastFound = nullptr;
    if (registry().abandonOnClose) static_cast<void>(owned.release());
}

void abandonDocumentsOnClose() { registry().abandonOnClose = true; }

size_t openDocumentCount() { return registry().documents.size(); }

size_t releaseUnheldObjects() {
    size_t released = 0;
    for (auto& [serial, document] : registry().documents) released += document->objects().releaseUnheld();
    return released;
}

Document* documentOf(PDDoc doc) { return findSerial(reinterpret_cast<uintptr_t>(doc)); }
Document* documentOf(CosDoc doc) { return findSerial(reinterpret_cast<uintptr_t>(doc)); }

Document& checkedDocument(PDDoc doc, const char* op) {
    Document* document = documentOf(doc);
    if (!document)
        raise(kHostErrBadHandle, std::string(op) + ": unknown or closed document " +
                                     std::to_string(reinterpret_cast<uintptr_t>(doc)));
    return *document;
}

Document& checkedDocument(CosDoc doc, const char* op) {
    Document* document = documentOf(doc);
    if (!document)
        raise(kHostErrBadHandle, std::string(op) + ": unknown or closed Cos document " +
                                     std::to_string(reinterpret_cast<uintptr_t>(doc)));
    return *document;
}

Document& documentOfObject(CosObj obj) {
    if (isNullHandle(obj)) raise(kHostErrBadParameter, "the null object belongs to no document");
    Document* document = findSerial(obj.a);
    if (!document || obj.b == 0 || !document->objects().has(obj.b - 1))
        raise(kHostErrBadHandle, "stale or unknown Cos object " + handleText(obj));
    return *document;
}

CosObj handleFor(Document& document, QPDFObjectHandle object) {
    if (!object.isInitialized() || object.isNull()) return CosObj{0, 0};
    return CosObj{document.serial(), document.objects().slotFor(object) + 1};
}

QPDFObjectHandle objectOf(CosObj obj) {
    if (isNullHandle(obj)) return QPDFObjectHandle::newNull();
    return documentOfObject(obj).objects().at(obj.b - 1);
}

bool findObject(CosObj obj, QPDFObjectHandle* out) {
    if (isNullHandle(obj)) {
        *out = QPDFObjectHandle::newNull();
        return true;
    }
    Document* document = findSerial(obj.a);
    if (!document || obj.b == 0 || !document->objects().has(obj.b - 1)) return false;
    *out = document->objects().at(obj.b - 1);
    return true;
}

std::string describeObject(CosObj obj) {
    if (isNullHandle(obj)) return "the null object";
    Document* document = findSerial(obj.a);
    if (!document || obj.b == 0 || !document->objects().has(obj.b - 1))
        return "stale object " + handleText(obj);
    const QPDFObjectHandle& object = document->objects().at(obj.b - 1);
    if (object.isIndirect()) {
        const QPDFObjGen og = object.getObjGen();
        return "object " + std::to_string(og.getObj()) + " " + std::to_string(og.getGen()) +
               " of " + document->displayName();
    }
    return "a direct object of " + document->displayName();
}

}  // namespace qmhost
