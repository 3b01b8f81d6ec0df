// The page-content model's entries of "PDFEditRead" and "PDFEditWrite", and
// the "PagePDEContent" table that lends a page's content.
#include "pde/PageContentTables.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "core/AtomTable.h"
#include "core/Raise.h"
#include "cos/CosAccess.h"
#include "cos/CosCopy.h"
#include "cos/Document.h"
#include "pde/PdeGStateRecord.h"
#include "pde/PdeReader.h"
#include "pde/PdeWriter.h"
#include "support/FixedMath.h"
#include "support/Streams.h"

namespace qmhost {
namespace {

template <class T>
std::shared_ptr<T> as(PDEObject handle, const char* op) {
    return pdeOf<T>(handle, op);
}

void checkSize(uint32_t size, size_t expected, const char* op) {
    if (size != expected)
        raise(kHostErrBadParameter, std::string(op) + ": the record is " + std::to_string(size) + " bytes, not " +
                                        std::to_string(expected));
}

template <class P>
void checkOut(P* pointer, const char* op) {
    if (!pointer) raise(kHostErrBadParameter, std::string(op) + ": no place for the answer given");
}

std::string atomName(ASAtom atom) {
    const char* text = atom == kASAtomNull ? nullptr : atoms().text(atom);
    return text ? text : "";
}

ASAtom atomOfFamily(const std::string& name) {
    return name.empty() ? kASAtomNull : atoms().intern(name[0] == '/' ? name.substr(1) : name);
}

// Puts element after index (-1: first; at or past the last: at the end).
template <class V, class E>
void insertAfter(V& list, int32_t index, E element) {
    const size_t at = index < 0 ? 0 : std::min(static_cast<size_t>(index) + 1, list.size());
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(at), std::move(element));
}

bool holdsContent(const PdeElement& element, const PdeContent& content, int depth = 0) {
    if (depth > 64) return true;  // deeper than any sound nesting: refuse
    auto* container = dynamic_cast<const PdeContainer*>(&element);
    if (!container || !container->content) return false;
    if (container->content.get() == &content) return true;
    for (const auto& inner : container->content->elements)
        if (holdsContent(*inner, content, depth + 1)) return true;
    return false;
}

Document& liveDocument(uint32_t serial, const char* op) {
    Document* document = documentOf(reinterpret_cast<CosDoc>(static_cast<uintptr_t>(serial)));
    if (!document) raise(kHostErrBadHandle, std::string(op) + ": the page content's document was closed");
    return *document;
}

CosObj cosHandle(uint32_t serial, QPDFObjectHandle object, const char* op) {
    if (object.isNull()) return CosObj{0, 0};
    return handleFor(liveDocument(serial, op), object);
}

// --- PDFEditRead

void objectAcquire(PDEObject object) { guarded("objectAcquire", [&] { pdeAcquire(object); }); }
void objectRelease(PDEObject object) {
    if (object) guarded("objectRelease", [&] { pdeRelease(object); });
}
int32_t objectGetType(PDEObject object) {
    return guarded("objectGetType", [&] { return pdeObjectOf(object, "objectGetType")->type(); });
}

void objectDump(PDEObject object, int32_t level, PDEDumpProc proc, void* clientData) {
    guarded("objectDump", [&] {
        if (!proc) raise(kHostErrBadParameter, "objectDump: no print procedure given");
        std::vector<std::string> lines;
        pdeObjectOf(object, "objectDump")->dump(std::clamp(level, 0, 64), 0, lines);
        for (const std::string& line : lines) proc((line + "\n").c_str(), clientData);
    });
}

void elementGetBBox(PDEElement element, ASFixedRect* box) {
    guarded("elementGetBBox", [&] {
        checkOut(box, "elementGetBBox");
        *box = as<PdeElement>(element, "elementGetBBox")->bbox().toFixed();
    });
}

PDEClip elementGetClip(PDEElement element) {
    return guarded("elementGetClip", [&]() -> PDEClip {
        auto e = as<PdeElement>(element, "elementGetClip");
        return e->clip ? e->clip->handle() : nullptr;
    });
}

void elementGetGState(PDEElement element, PDEGraphicState* state, uint32_t size) {
    guarded("elementGetGState", [&] {
        checkOut(state, "elementGetGState");
        checkSize(size, sizeof(PDEGraphicState), "elementGetGState");
        *state = graphicStateRecord(as<PdeElement>(element, "elementGetGState")->gstate);
    });
}

void elementGetMatrix(PDEElement element, ASFixedMatrix* matrix) {
    guarded("elementGetMatrix", [&] {
        checkOut(matrix, "elementGetMatrix");
        *matrix = as<PdeElement>(element, "elementGetMatrix")->matrix().toFixed();
    });
}

bool elementIsAtPoint(PDEElement element, ASFixed x, ASFixed y) {
    return guarded("elementIsAtPoint", [&] {
        return as<PdeElement>(element, "elementIsAtPoint")->isAtPoint(fixedToDouble(x), fixedToDouble(y));
    });
}

bool elementIsAtRect(PDEElement element, ASFixed left, ASFixed top, ASFixed right, ASFixed bottom) {
    return guarded("elementIsAtRect", [&] {
        PdeBox box = as<PdeElement>(element, "elementIsAtRect")->bbox();
        const double l = fixedToDouble(std::min(left, right)), r = fixedToDouble(std::max(left, right));
        const double b = fixedToDouble(std::min(top, bottom)), t = fixedToDouble(std::max(top, bottom));
        return !box.empty && box.left <= r && box.right >= l && box.bottom <= t && box.top >= b;
    });
}

PDEContent contentCreateFromCosObj(CosObj contents, CosObj resources) {
    return guarded("contentCreateFromCosObj", [&] {
        Document& document = documentOfObject(contents);
        QPDFObjectHandle stream = objectOf(contents);
        QPDFObjectHandle res = objectOf(resources);
        if (!res.isNull()) checkSameDocument(document, resources, "contentCreateFromCosObj");
        std::vector<QPDFObjGen> ancestors;
        // A form XObject read as content: its own /Resources unless others were given.
        if (stream.isStream() && stream.getDict().getKey("/Subtype").isName() &&
            stream.getDict().getKey("/Subtype").getName() == "/Form") {
            if (res.isNull()) res = stream.getDict().getKey("/Resources");
            if (stream.isIndirect()) ancestors.push_back(stream.getObjGen());
        }
        return pdeGiveReference(readPdeContent(stream, res, document.serial(), ancestors));
    });
}

int32_t contentGetNumElems(PDEContent content) {
    return guarded("contentGetNumElems", [&] {
        return static_cast<int32_t>(as<PdeContent>(content, "contentGetNumElems")->elements.size());
    });
}

PDEElement contentGetElem(PDEContent content, int32_t index) {
    return guarded("contentGetElem", [&] {
        auto c = as<PdeContent>(content, "contentGetElem");
        if (index < 0 || static_cast<size_t>(index) >= c->elements.size())
            raise(kHostErrBadIndex, "contentGetElem: element " + std::to_string(index) + " of a content with " +
                                        std::to_string(c->elements.size()));
        return c->elements[static_cast<size_t>(index)]->handle();
    });
}

int32_t contentQuery(PDEContent content, int32_t question, void*) {
    return guarded("contentQuery", [&]() -> int32_t {
        auto c = as<PdeContent>(content, "contentQuery");
        if (question == kPDEQueryWarnings) return static_cast<int32_t>(c->warnings.size());
        if (question == kPDEQueryModified) return c->modifiedDeep() ? 1 : 0;
        raise(kHostErrBadParameter, "contentQuery: unknown question " + std::to_string(question));
    });
}

void contentGetAttrs(PDEContent content, PDEContentAttrs* attrs, uint32_t size) {
    guarded("contentGetAttrs", [&] {
        checkOut(attrs, "contentGetAttrs");
        checkSize(size, sizeof(PDEContentAttrs), "contentGetAttrs");
        *attrs = as<PdeContent>(content, "contentGetAttrs")->attrs;
    });
}

CosObj imageGetCosObj(PDEImage image) {
    return guarded("imageGetCosObj", [&] {
        auto i = as<PdeImage>(image, "imageGetCosObj");
        return cosHandle(i->source.serial, i->xobject, "imageGetCosObj");
    });
}

bool imageIsCosObj(PDEImage image) {
    return guarded("imageIsCosObj", [&] { return as<PdeImage>(image, "imageIsCosObj")->xobject.isStream(); });
}

void imageGetAttrs(PDEImage image, PDEImageAttrs* attrs, uint32_t size) {
    guarded("imageGetAttrs", [&] {
        checkOut(attrs, "imageGetAttrs");
        checkSize(size, sizeof(PDEImageAttrs), "imageGetAttrs");
        *attrs = as<PdeImage>(image, "imageGetAttrs")->attributes();
    });
}

PDEColorSpace imageGetColorSpace(PDEImage image) {
    return guarded("imageGetColorSpace", [&]() -> PDEColorSpace {
        auto i = as<PdeImage>(image, "imageGetColorSpace");
        if (i->attributes().flags & kPDEImageIsMask) return nullptr;
        return i->colorSpace()->handle();
    });
}

int32_t imageQuery(PDEImage image, int32_t question) {
    return guarded("imageQuery", [&]() -> int32_t {
        auto i = as<PdeImage>(image, "imageQuery");
        if (question == kPDEImageQueryHasSMask) return i->dictionary().getKey("/SMask").isStream() ? 1 : 0;
        raise(kHostErrBadParameter, "imageQuery: unknown question " + std::to_string(question));
    });
}

std::string imageSamples(PDEImage image, const char* op) {
    auto i = as<PdeImage>(image, op);
    if (i->xobject.isStream()) liveDocument(i->source.serial, op);
    return i->decodedData();
}

void imageGetData(PDEImage image, uint32_t flags, uint8_t* buffer) {
    guarded("imageGetData", [&] {
        checkOut(buffer, "imageGetData");
        if (flags != 0) raise(kHostErrBadParameter, "imageGetData: flags must be 0");
        const std::string data = imageSamples(image, "imageGetData");
        std::memcpy(buffer, data.data(), data.size());
    });
}

int32_t imageGetDataLen(PDEImage image) {
    return guarded("imageGetDataLen", [&] {
        const std::string data = imageSamples(image, "imageGetDataLen");
        if (data.size() > static_cast<size_t>(INT32_MAX)) raise(kHostErrNoMemory, "imageGetDataLen: too large");
        return static_cast<int32_t>(data.size());
    });
}

ASStm imageGetDataStm(PDEImage image, bool decode) {
    return guarded("imageGetDataStm", [&] {
        auto i = as<PdeImage>(image, "imageGetDataStm");
        if (decode) return openMemoryStream(imageSamples(image, "imageGetDataStm"));
        if (!i->xobject.isStream()) return openMemoryStream(i->inlineData);
        liveDocument(i->source.serial, "imageGetDataStm");
        auto raw = i->xobject.getRawStreamData();
        return openMemoryStream(std::string(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize()));
    });
}

int32_t imageGetFilters(PDEImage image, ASAtom* filters, int32_t capacity) {
    return guarded("imageGetFilters", [&] {
        QPDFObjectHandle filter = as<PdeImage>(image, "imageGetFilters")->dictionary().getKey("/Filter");
        std::vector<QPDFObjectHandle> names;
        if (filter.isName()) names.push_back(filter);
        if (filter.isArray())
            for (auto& item : filter.aitems()) names.push_back(item);
        for (size_t k = 0; k < names.size() && static_cast<int32_t>(k) < capacity && filters; ++k)
            filters[k] = names[k].isName() ? atomOfFamily(names[k].getName()) : kASAtomNull;
        return static_cast<int32_t>(names.size());
    });
}

CosObj formGetCosObj(PDEForm form) {
    return guarded("formGetCosObj", [&] {
        auto f = as<PdeForm>(form, "formGetCosObj");
        return cosHandle(f->source.serial, f->xobject, "formGetCosObj");
    });
}

ASAtom colorSpaceGetName(PDEColorSpace space) {
    return guarded("colorSpaceGetName",
                   [&] { return atomOfFamily(as<PdeColorSpace>(space, "colorSpaceGetName")->family()); });
}

CosObj colorSpaceGetCosObj(PDEColorSpace space, CosDoc doc) {
    return guarded("colorSpaceGetCosObj", [&] {
        Document& document = checkedDocument(doc, "colorSpaceGetCosObj");
        QPDFObjectHandle object = as<PdeColorSpace>(space, "colorSpaceGetCosObj")->space;
        // A direct space made afresh has no owner yet may hold another
        // document's objects: copyInto keeps the target's own and copies the rest.
        if (object.getOwningQPDF() != &document.qpdf()) object = cos::copyInto(document.qpdf(), object);
        return handleFor(document, object);
    });
}

int32_t colorSpaceGetNumComps(PDEColorSpace space) {
    return guarded("colorSpaceGetNumComps", [&] { return as<PdeColorSpace>(space, "colorSpaceGetNumComps")->components(); });
}
ASAtom colorSpaceGetBase(PDEColorSpace space) {
    return guarded("colorSpaceGetBase",
                   [&] { return atomOfFamily(as<PdeColorSpace>(space, "colorSpaceGetBase")->baseFamily()); });
}
int32_t colorSpaceGetHiVal(PDEColorSpace space) {
    return guarded("colorSpaceGetHiVal", [&] { return as<PdeColorSpace>(space, "colorSpaceGetHiVal")->hiVal(); });
}
int32_t colorSpaceGetLookup(PDEColorSpace space, uint8_t* buffer, int32_t capacity) {
    return guarded("colorSpaceGetLookup", [&] {
        const std::string table = as<PdeColorSpace>(space, "colorSpaceGetLookup")->lookup();
        if (buffer && capacity > 0) std::memcpy(buffer, table.data(), std::min(table.size(), static_cast<size_t>(capacity)));
        return static_cast<int32_t>(table.size());
    });
}
int32_t colorSpaceGetBaseNumComps(PDEColorSpace space) {
    return guarded("colorSpaceGetBaseNumComps",
                   [&] { return as<PdeColorSpace>(space, "colorSpaceGetBaseNumComps")->baseComponents(); });
}

std::shared_ptr<PdeObject> clipEntry(PDEClip clip, int32_t index, const char* op) {
    auto c = as<PdeClip>(clip, op);
    if (index < 0 || static_cast<size_t>(index) >= c->elements.size())
        raise(kHostErrBadIndex, std::string(op) + ": element " + std::to_string(index) + " of a clip with " +
                                    std::to_string(c->elements.size()));
    return c->elements[static_cast<size_t>(index)];
}

int32_t clipGetNumElems(PDEClip clip) {
    return guarded("clipGetNumElems", [&] { return static_cast<int32_t>(as<PdeClip>(clip, "clipGetNumElems")->elements.size()); });
}
PDEElement clipGetElem(PDEClip clip, int32_t index) {
    return guarded("clipGetElem", [&] { return clipEntry(clip, index, "clipGetElem")->handle(); });
}

PDEContent containerGetContent(PDEContainer container) {
    return guarded("containerGetContent", [&] {
        auto c = as<PdeContainer>(container, "containerGetContent");
        if (!c->content) c->content = std::make_shared<PdeContent>();
        return c->content->handle();
    });
}

bool containerGetDict(PDEContainer container, CosObj* dict, bool* isInline) {
    return guarded("containerGetDict", [&] {
        checkOut(dict, "containerGetDict");
        auto c = as<PdeContainer>(container, "containerGetDict");
        *dict = c->dict.isNull() ? CosObj{0, 0} : cosHandle(c->source.serial, c->dict, "containerGetDict");
        if (isInline) *isInline = c->dictInline;
        return !c->dict.isNull();
    });
}

ASAtom containerGetMCTag(PDEContainer container) {
    return guarded("containerGetMCTag", [&] { return atoms().intern(as<PdeContainer>(container, "containerGetMCTag")->tag); });
}

// --- PDFEditWrite

void objectSetTag(PDEObject object, ExtensionID extension, ASAtom key, void* value) {
    guarded("objectSetTag", [&] { pdeObjectOf(object, "objectSetTag")->tags()[{extension, key}] = value; });
}
void objectRemoveTag(PDEObject object, ExtensionID extension, ASAtom key) {
    guarded("objectRemoveTag", [&] { pdeObjectOf(object, "objectRemoveTag")->tags().erase({extension, key}); });
}
void* objectGetTag(PDEObject object, ExtensionID extension, ASAtom key) {
    return guarded("objectGetTag", [&]() -> void* {
        auto& tags = pdeObjectOf(object, "objectGetTag")->tags();
        auto it = tags.find({extension, key});
        return it == tags.end() ? nullptr : it->second;
    });
}

PDEElement elementCopy(PDEElement element, uint32_t) {
    return guarded("elementCopy", [&] { return pdeGiveReference(as<PdeElement>(element, "elementCopy")->copy()); });
}

void elementSetClip(PDEElement element, PDEClip clip) {
    guarded("elementSetClip", [&] {
        auto e = as<PdeElement>(element, "elementSetClip");
        e->clip = clip ? as<PdeClip>(clip, "elementSetClip") : nullptr;
        e->changed = true;
    });
}

void elementSetGState(PDEElement element, const PDEGraphicState* state, uint32_t size) {
    guarded("elementSetGState", [&] {
        if (!state) raise(kHostErrBadParameter, "elementSetGState: no record given");
        checkSize(size, sizeof(PDEGraphicState), "elementSetGState");
        auto e = as<PdeElement>(element, "elementSetGState");
        e->gstate = graphicStateFromRecord(*state, e->gstate);
        e->changed = true;
    });
}

void elementSetMatrix(PDEElement element, const ASFixedMatrix* matrix) {
    guarded("elementSetMatrix", [&] {
        if (!matrix) raise(kHostErrBadParameter, "elementSetMatrix: no matrix given");
        auto e = as<PdeElement>(element, "elementSetMatrix");
        e->setMatrix(PdeMatrix::fromFixed(*matrix));
        e->changed = true;
    });
}

PDEClip clipCreate() { return guarded("clipCreate", [] { return pdeGiveReference(std::make_shared<PdeClip>()); }); }
PDEClip clipCopy(PDEClip clip) {
    return guarded("clipCopy", [&] { return pdeGiveReference(as<PdeClip>(clip, "clipCopy")->deepCopy()); });
}
void clipAddElem(PDEClip clip, int32_t index, PDEElement element) {
    guarded("clipAddElem", [&] {
        auto c = as<PdeClip>(clip, "clipAddElem");
        auto e = pdeObjectOf(element, "clipAddElem");
        if (e->type() != kPDEPath && e->type() != kPDEClip)
            raise(kHostErrBadType, "clipAddElem: a clip holds paths and clips");
        if (e.get() == c.get()) raise(kHostErrBadParameter, "clipAddElem: a clip cannot hold itself");
        insertAfter(c->elements, index, e);
    });
}
void clipRemoveElems(PDEClip clip, int32_t index, int32_t count) {
    guarded("clipRemoveElems", [&] {
        auto c = as<PdeClip>(clip, "clipRemoveElems");
        if (index < 0 || count < 0 || static_cast<size_t>(index) + static_cast<size_t>(count) > c->elements.size())
            raise(kHostErrBadIndex, "clipRemoveElems: elements " + std::to_string(index) + " + " + std::to_string(count) +
                                        " of a clip with " + std::to_string(c->elements.size()));
        c->elements.erase(c->elements.begin() + index, c->elements.begin() + index + count);
    });
}

PDEContent contentCreate() {
    return guarded("contentCreate", [] { return pdeGiveReference(std::make_shared<PdeContent>()); });
}

void contentAddElem(PDEContent content, int32_t index, PDEElement element) {
    guarded("contentAddElem", [&] {
        auto c = as<PdeContent>(content, "contentAddElem");
        auto e = as<PdeElement>(element, "contentAddElem");
        if (holdsContent(*e, *c)) raise(kHostErrBadParameter, "contentAddElem: the element holds the content itself");
        insertAfter(c->elements, index, e);
        c->modified = true;
    });
}

void contentRemoveElem(PDEContent content, int32_t index) {
    guarded("contentRemoveElem", [&] {
        auto c = as<PdeContent>(content, "contentRemoveElem");
        if (index < 0 || static_cast<size_t>(index) >= c->elements.size())
            raise(kHostErrBadIndex, "contentRemoveElem: element " + std::to_string(index) + " of a content with " +
                                        std::to_string(c->elements.size()));
        c->elements.erase(c->elements.begin() + index);
        c->modified = true;
    });
}

QPDFObjectHandle rectArray(const ASFixedRect& r) {
    QPDFObjectHandle array = QPDFObjectHandle::newArray();
    for (ASFixed v : {r.left, r.bottom, r.right, r.top})
        array.appendItem(QPDFObjectHandle::newReal(PdeWriter::fixedNumber(v)));
    return array;
}

void contentToCosObj(PDEContent content, uint32_t flags, const PDEContentAttrs* attrs, uint32_t attrsSize, CosDoc doc,
                     const void* filters, CosObj* contents, CosObj* resources) {
    guarded("contentToCosObj", [&] {
        checkOut(contents, "contentToCosObj");
        if (filters) raise(kHostErrUnsupported, "contentToCosObj: the stream is always written Flate-compressed");
        if (flags != kPDEContentToPage && flags != kPDEContentToForm)
            raise(kHostErrBadParameter, "contentToCosObj: flags must be kPDEContentToPage or kPDEContentToForm");
        if (attrs) checkSize(attrsSize, sizeof(PDEContentAttrs), "contentToCosObj");
        auto c = as<PdeContent>(content, "contentToCosObj");
        Document& document = checkedDocument(doc, "contentToCosObj");
        PdeWriter writer(document, QPDFObjectHandle::newNull());
        const std::string data = writer.write(*c);
        QPDFObjectHandle res = document.qpdf().makeIndirectObject(writer.resources());
        QPDFObjectHandle stream = QPDFObjectHandle::newStream(&document.qpdf(), data);
        if (flags == kPDEContentToForm) {
            QPDFObjectHandle dict = stream.getDict();
            dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
            dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
            const bool given = attrs && (attrs->flags & kPDEContentIsForm);
            dict.replaceKey("/FormType", QPDFObjectHandle::newInteger(given && attrs->formType > 0 ? attrs->formType : 1));
            dict.replaceKey("/BBox", rectArray(given ? attrs->bbox : c->bbox().toFixed()));
            const ASFixedMatrix identity{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
            const ASFixedMatrix& m = given ? attrs->matrix : identity;
            QPDFObjectHandle matrix = QPDFObjectHandle::newArray();
            for (ASFixed v : {m.a, m.b, m.c, m.d, m.h, m.v})
                matrix.appendItem(QPDFObjectHandle::newReal(PdeWriter::fixedNumber(v)));
            dict.replaceKey("/Matrix", matrix);
            dict.replaceKey("/Resources", res);
        }
        *contents = handleFor(document, stream);
        if (resources) *resources = handleFor(document, res);
    });
}

// The bytes of samples an image of these attributes takes; raises when they
// cannot be counted. The count was an int once, and an image of 2^32 bytes a
// row was taken to need none.
size_t expectedSampleBytes(const PDEImageAttrs& a, int comps, const char* op) {
    const std::optional<size_t> bytes = imageSampleBytes(a, comps);
    if (!bytes) raise(kHostErrBadParameter, std::string(op) + ": the image's samples cannot be counted");
    return *bytes;
}

PDEImage imageCreate(const PDEImageAttrs* attrs, uint32_t attrsSize, const ASFixedMatrix* matrix, uint32_t flags,
                     PDEColorSpace colorSpace, const void*, const void* filters, ASStm dataStm, const uint8_t* data,
                     uint32_t length) {
    return guarded("imageCreate", [&] {
        if (!attrs || !matrix) raise(kHostErrBadParameter, "imageCreate: no attributes or matrix given");
        checkSize(attrsSize, sizeof(PDEImageAttrs), "imageCreate");
        if (flags != 0 || filters) raise(kHostErrUnsupported, "imageCreate: makes inline images of raw samples only");
        const bool mask = attrs->flags & kPDEImageIsMask;
        if (attrs->width <= 0 || attrs->height <= 0 || attrs->width > 65535 || attrs->height > 65535)
            raise(kHostErrBadParameter, "imageCreate: width and height must be 1..65535");
        const int bpc = mask ? 1 : attrs->bitsPerComponent;
        if (bpc != 1 && bpc != 2 && bpc != 4 && bpc != 8 && bpc != 16)
            raise(kHostErrBadParameter, "imageCreate: bits per component must be 1, 2, 4, 8 or 16");
        std::shared_ptr<PdeColorSpace> space =
            mask ? nullptr : (colorSpace ? as<PdeColorSpace>(colorSpace, "imageCreate") : nullptr);
        if (!mask && !space) raise(kHostErrBadParameter, "imageCreate: an image needs a colour space");
        std::string samples = dataStm ? readAll(streamOf(dataStm))
                                      : std::string(reinterpret_cast<const char*>(data ? data : (const uint8_t*)""), length);
        PDEImageAttrs a = *attrs;
        a.bitsPerComponent = bpc;
        const size_t expected = expectedSampleBytes(a, mask ? 1 : space->components(), "imageCreate");
        if (samples.size() != expected)
            raise(kHostErrBadParameter, "imageCreate: " + std::to_string(samples.size()) + " bytes of samples, " +
                                            std::to_string(expected) + " expected");
        auto image = std::make_shared<PdeImage>();
        image->ctm = PdeMatrix::fromFixed(*matrix);
        QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
        dict.replaceKey("/W", QPDFObjectHandle::newInteger(a.width));
        dict.replaceKey("/H", QPDFObjectHandle::newInteger(a.height));
        if (mask) {
            dict.replaceKey("/IM", QPDFObjectHandle::newBool(true));
        } else {
            dict.replaceKey("/BPC", QPDFObjectHandle::newInteger(bpc));
            dict.replaceKey("/CS", space->space);
        }
        image->inlineDict = dict;
        image->inlineData = std::move(samples);
        image->changed = true;
        return pdeGiveReference(image);
    });
}

PDEImage imageCreateFromCosObj(CosObj image, const ASFixedMatrix* matrix, PDEColorSpace, const void*) {
    return guarded("imageCreateFromCosObj", [&] {
        if (!matrix) raise(kHostErrBadParameter, "imageCreateFromCosObj: no matrix given");
        Document& document = documentOfObject(image);
        QPDFObjectHandle stream = objectOfType(image, CosStream, "imageCreateFromCosObj");
        if (!stream.getDict().getKey("/Subtype").isName() || stream.getDict().getKey("/Subtype").getName() != "/Image")
            raise(kHostErrBadType, "imageCreateFromCosObj: the stream is not an image XObject");
        auto made = std::make_shared<PdeImage>();
        made->xobject = stream;
        made->name = "/Im0";
        made->ctm = PdeMatrix::fromFixed(*matrix);
        made->source.serial = document.serial();
        made->changed = true;
        return pdeGiveReference(made);
    });
}

void replaceSamples(PDEImage image, std::string samples, const char* op) {
    auto i = as<PdeImage>(image, op);
    const PDEImageAttrs a = i->attributes();
    const int comps = (a.flags & kPDEImageIsMask) ? 1 : i->colorSpace()->components();
    const size_t expected = expectedSampleBytes(a, comps, op);
    if (samples.size() != expected)
        raise(kHostErrBadParameter, std::string(op) + ": " + std::to_string(samples.size()) + " bytes of samples, " +
                                        std::to_string(expected) + " expected");
    if (i->xobject.isStream()) {
        liveDocument(i->source.serial, op);
        i->xobject.replaceStreamData(samples, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    } else {
        for (const char* key : {"/F", "/Filter", "/DP", "/DecodeParms"}) i->inlineDict.removeKey(key);
        i->inlineData = std::move(samples);
    }
    i->changed = true;
}

void imageSetData(PDEImage image, uint32_t flags, const uint8_t* data, uint32_t length) {
    guarded("imageSetData", [&] {
        if (flags != 0 || (!data && length)) raise(kHostErrBadParameter, "imageSetData: flags must be 0 and data given");
        replaceSamples(image, std::string(reinterpret_cast<const char*>(data ? data : (const uint8_t*)""), length),
                       "imageSetData");
    });
}

void imageSetDataStm(PDEImage image, uint32_t flags, const void* filters, ASStm stream) {
    guarded("imageSetDataStm", [&] {
        if (flags != 0 || filters) raise(kHostErrUnsupported, "imageSetDataStm: takes raw samples only");
        replaceSamples(image, readAll(streamOf(stream)), "imageSetDataStm");
    });
}

PDEForm formCreateFromCosObj(const CosObj* form, const CosObj* resources, const ASFixedMatrix* matrix) {
    return guarded("formCreateFromCosObj", [&] {
        if (!form || !matrix) raise(kHostErrBadParameter, "formCreateFromCosObj: no form or matrix given");
        Document& document = documentOfObject(*form);
        QPDFObjectHandle stream = objectOfType(*form, CosStream, "formCreateFromCosObj");
        if (resources && !(resources->a == 0 && resources->b == 0)) {
            checkSameDocument(document, *resources, "formCreateFromCosObj");
            stream.getDict().replaceKey("/Resources", objectOf(*resources));
        }
        auto made = std::make_shared<PdeForm>();
        made->xobject = stream;
        made->name = "/Fm0";
        made->source.serial = document.serial();
        made->setMatrix(PdeMatrix::fromFixed(*matrix));
        made->changed = true;
        return pdeGiveReference(made);
    });
}

PDEContent formGetContent(PDEForm form) {
    return guarded("formGetContent", [&] {
        auto f = as<PdeForm>(form, "formGetContent");
        if (!f->contentLoaded() && f->xobject.isStream()) liveDocument(f->source.serial, "formGetContent");
        return f->content()->handle();
    });
}

PDEColorSpace colorSpaceCreateFromName(ASAtom family) {
    return guarded("colorSpaceCreateFromName", [&] {
        const std::string name = atomName(family);
        if (name != "DeviceGray" && name != "DeviceRGB" && name != "DeviceCMYK" && name != "Pattern")
            raise(kHostErrBadParameter, "colorSpaceCreateFromName: \"" + name + "\" is not a device family or Pattern");
        return pdeGiveReference(std::make_shared<PdeColorSpace>(QPDFObjectHandle::newName("/" + name)));
    });
}

PDEColorSpace colorSpaceCreate(ASAtom family, const void* data) {
    return guarded("colorSpaceCreate", [&] {
        if (atomName(family) != "Indexed") return colorSpaceCreateFromName(family);
        const auto* indexed = static_cast<const PDEIndexedColorData*>(data);
        if (!indexed || !indexed->lookup || indexed->hiVal < 0 || indexed->hiVal > 255)
            raise(kHostErrBadParameter, "colorSpaceCreate: an Indexed space needs a base, 0..255 and a palette");
        PdeColorSpace base(QPDFObjectHandle::newName("/" + atomName(indexed->base)));
        const int comps = base.components();
        if (comps == 0 || base.family() == "/Indexed")
            raise(kHostErrBadParameter, "colorSpaceCreate: the base must be DeviceGray, DeviceRGB or DeviceCMYK");
        const int32_t needed = (indexed->hiVal + 1) * comps;
        if (indexed->lookupLength < needed)
            raise(kHostErrBadParameter, "colorSpaceCreate: the palette has " + std::to_string(indexed->lookupLength) +
                                            " bytes, " + std::to_string(needed) + " needed");
        QPDFObjectHandle array = QPDFObjectHandle::newArray();
        array.appendItem(QPDFObjectHandle::newName("/Indexed"));
        array.appendItem(base.space);
        array.appendItem(QPDFObjectHandle::newInteger(indexed->hiVal));
        array.appendItem(QPDFObjectHandle::newString(
            std::string(reinterpret_cast<const char*>(indexed->lookup), static_cast<size_t>(needed))));
        return pdeGiveReference(std::make_shared<PdeColorSpace>(array));
    });
}

PDEColorSpace colorSpaceCreateFromCosObj(const CosObj* space) {
    return guarded("colorSpaceCreateFromCosObj", [&] {
        if (!space) raise(kHostErrBadParameter, "colorSpaceCreateFromCosObj: no object given");
        QPDFObjectHandle object = objectOf(*space);
        if (!object.isName() && !object.isArray())
            raise(kHostErrBadType, "colorSpaceCreateFromCosObj: a colour space is a name or an array");
        return pdeGiveReference(std::make_shared<PdeColorSpace>(object));
    });
}

PDEContainer containerCreate(ASAtom tag, const CosObj* dict, bool isInline) {
    return guarded("containerCreate", [&] {
        auto made = std::make_shared<PdeContainer>();
        made->tag = atomName(tag);
        if (made->tag.empty()) raise(kHostErrBadParameter, "containerCreate: no tag given");
        if (dict && !(dict->a == 0 && dict->b == 0)) {
            made->source.serial = documentOfObject(*dict).serial();
            made->dict = objectOfType(*dict, CosDict, "containerCreate");
        }
        made->dictInline = isInline;
        made->propertiesName = "/MC0";
        made->changed = true;
        return pdeGiveReference(made);
    });
}

void containerSetContent(PDEContainer container, PDEContent content) {
    guarded("containerSetContent", [&] {
        auto c = as<PdeContainer>(container, "containerSetContent");
        auto inner = as<PdeContent>(content, "containerSetContent");
        for (const auto& element : inner->elements)
            if (element.get() == c.get() || holdsContent(*element, *inner))
                raise(kHostErrBadParameter, "containerSetContent: the content holds the container itself");
        c->content = inner;
        c->changed = true;
    });
}

void containerSetDict(PDEContainer container, const CosObj* dict, bool isInline) {
    guarded("containerSetDict", [&] {
        auto c = as<PdeContainer>(container, "containerSetDict");
        if (dict && !(dict->a == 0 && dict->b == 0)) {
            c->source.serial = documentOfObject(*dict).serial();
            c->dict = objectOfType(*dict, CosDict, "containerSetDict");
        } else {
            c->dict = QPDFObjectHandle::newNull();
        }
        c->dictInline = isInline;
        if (c->propertiesName.empty()) c->propertiesName = "/MC0";
        c->changed = true;
    });
}

void containerSetMCTag(PDEContainer container, ASAtom tag) {
    guarded("containerSetMCTag", [&] {
        auto c = as<PdeContainer>(container, "containerSetMCTag");
        const std::string name = atomName(tag);
        if (name.empty()) raise(kHostErrBadParameter, "containerSetMCTag: no tag given");
        c->tag = name;
        c->changed = true;
    });
}

}  // namespace

void addPageContentRead(PDFEditReadTable& t) {
    t.objectAcquire = objectAcquire;
    t.objectRelease = objectRelease;
    t.objectGetType = objectGetType;
    t.objectDump = objectDump;
    t.elementGetBBox = elementGetBBox;
    t.elementGetClip = elementGetClip;
    t.elementGetGState = elementGetGState;
    t.elementGetMatrix = elementGetMatrix;
    t.elementIsAtPoint = elementIsAtPoint;
    t.elementIsAtRect = elementIsAtRect;
    t.contentCreateFromCosObj = contentCreateFromCosObj;
    t.contentGetNumElems = contentGetNumElems;
    t.contentGetElem = contentGetElem;
    t.contentQuery = contentQuery;
    t.contentGetAttrs = contentGetAttrs;
    t.imageGetCosObj = imageGetCosObj;
    t.imageIsCosObj = imageIsCosObj;
    t.imageGetAttrs = imageGetAttrs;
    t.imageGetColorSpace = imageGetColorSpace;
    t.imageQuery = imageQuery;
    t.imageGetData = imageGetData;
    t.imageGetDataLen = imageGetDataLen;
    t.imageGetDataStm = imageGetDataStm;
    t.imageGetFilters = imageGetFilters;
    t.formGetCosObj = formGetCosObj;
    t.colorSpaceGetName = colorSpaceGetName;
    t.colorSpaceGetCosObj = colorSpaceGetCosObj;
    t.colorSpaceGetNumComps = colorSpaceGetNumComps;
    t.colorSpaceGetBase = colorSpaceGetBase;
    t.colorSpaceGetHiVal = colorSpaceGetHiVal;
    t.colorSpaceGetLookup = colorSpaceGetLookup;
    t.colorSpaceGetBaseNumComps = colorSpaceGetBaseNumComps;
    t.clipGetNumElems = clipGetNumElems;
    t.clipGetElem = clipGetElem;
    t.containerGetContent = containerGetContent;
    t.containerGetDict = containerGetDict;
    t.containerGetMCTag = containerGetMCTag;
}

void addPageContentWrite(PDFEditWriteTable& t) {
    t.objectSetTag = objectSetTag;
    t.objectRemoveTag = objectRemoveTag;
    t.objectGetTag = objectGetTag;
    t.elementCopy = elementCopy;
    t.elementSetClip = elementSetClip;
    t.elementSetGState = elementSetGState;
    t.elementSetMatrix = elementSetMatrix;
    t.clipCreate = clipCreate;
    t.clipCopy = clipCopy;
    t.clipAddElem = clipAddElem;
    t.clipRemoveElems = clipRemoveElems;
    t.contentCreate = contentCreate;
    t.contentAddElem = contentAddElem;
    t.contentRemoveElem = contentRemoveElem;
    t.contentToCosObj = contentToCosObj;
    t.imageCreate = imageCreate;
    t.imageCreateFromCosObj = imageCreateFromCosObj;
    t.imageSetData = imageSetData;
    t.imageSetDataStm = imageSetDataStm;
    t.formCreateFromCosObj = formCreateFromCosObj;
    t.formGetContent = formGetContent;
    t.colorSpaceCreateFromName = colorSpaceCreateFromName;
    t.colorSpaceCreate = colorSpaceCreate;
    t.colorSpaceCreateFromCosObj = colorSpaceCreateFromCosObj;
    t.containerCreate = containerCreate;
    t.containerSetContent = containerSetContent;
    t.containerSetDict = containerSetDict;
    t.containerSetMCTag = containerSetMCTag;
}

}  // namespace qmhost
