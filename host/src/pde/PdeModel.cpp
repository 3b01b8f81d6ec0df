#include "pde/PdeModel.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include "core/AtomTable.h"
#include "core/Raise.h"
#include "pde/FontRegistry.h"
#include "support/FixedMath.h"

namespace qmhost {

QPDFObjectHandle pdeKey(QPDFObjectHandle dict, const std::string& key) {
    return dict.isDictionary() ? dict.getKey(key) : QPDFObjectHandle::newNull();
}

QPDFObjectHandle pdeKey(QPDFObjectHandle dict, const std::string& key, const std::string& inner) {
    return pdeKey(pdeKey(dict, key), inner);
}

// --- matrices and boxes

PdeMatrix PdeMatrix::then(const PdeMatrix& n) const {
    return {a * n.a + b * n.c,         a * n.b + b * n.d,         c * n.a + d * n.c,
            c * n.b + d * n.d,         e * n.a + f * n.c + n.e,   e * n.b + f * n.d + n.f};
}

std::pair<double, double> PdeMatrix::apply(double x, double y) const {
    return {a * x + c * y + e, b * x + d * y + f};
}

std::optional<PdeMatrix> PdeMatrix::inverse() const {
    const double det = a * d - b * c;
    if (!std::isfinite(det) || std::fabs(det) < 1e-12) return std::nullopt;
    PdeMatrix r{d / det, -b / det, -c / det, a / det, 0, 0};
    r.e = -(e * r.a + f * r.c);
    r.f = -(e * r.b + f * r.d);
    return r;
}

bool PdeMatrix::isIdentity() const { return a == 1 && b == 0 && c == 0 && d == 1 && e == 0 && f == 0; }

ASFixedMatrix PdeMatrix::toFixed() const {
    return {fixedFromDouble(a), fixedFromDouble(b), fixedFromDouble(c),
            fixedFromDouble(d), fixedFromDouble(e), fixedFromDouble(f)};
}

PdeMatrix PdeMatrix::fromFixed(const ASFixedMatrix& m) {
    return {fixedToDouble(m.a), fixedToDouble(m.b), fixedToDouble(m.c),
            fixedToDouble(m.d), fixedToDouble(m.h), fixedToDouble(m.v)};
}

std::optional<PdeMatrix> PdeMatrix::fromArray(QPDFObjectHandle array) {
    if (!array.isArray() || array.getArrayNItems() != 6) return std::nullopt;
    double v[6];
    for (int i = 0; i < 6; ++i) {
        QPDFObjectHandle item = array.getArrayItem(i);
        if (!item.isNumber()) return std::nullopt;
        v[i] = item.getNumericValue();
    }
    return PdeMatrix{v[0], v[1], v[2], v[3], v[4], v[5]};
}

void PdeBox::add(double x, double y) {
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    if (empty) {
        left = right = x;
        bottom = top = y;
        empty = false;
        return;
    }
    left = std::min(left, x);
    right = std::max(right, x);
    bottom = std::min(bottom, y);
    top = std::max(top, y);
}

void PdeBox::add(const PdeBox& other) {
    if (other.empty) return;
    add(other.left, other.bottom);
    add(other.right, other.top);
}

ASFixedRect PdeBox::toFixed() const {
    if (empty) return {0, 0, 0, 0};
    return {fixedFromDouble(left), fixedFromDouble(top), fixedFromDouble(right), fixedFromDouble(bottom)};
}

namespace {

PdeBox mappedBox(const PdeMatrix& m, double l, double b, double r, double t) {
    PdeBox box;
    for (auto [x, y] : {std::pair{l, b}, {r, b}, {r, t}, {l, t}}) {
        auto [px, py] = m.apply(x, y);
        box.add(px, py);
    }
    return box;
}

// Whether (x, y) lies in the parallelogram that m makes of the rectangle.
bool inMappedRect(const PdeMatrix& m, double l, double b, double r, double t, double x, double y) {
    auto inv = m.inverse();
    if (!inv) return false;
    auto [u, v] = inv->apply(x, y);
    const double eps = 1e-9;
    return u >= std::min(l, r) - eps && u <= std::max(l, r) + eps && v >= std::min(b, t) - eps &&
           v <= std::max(b, t) + eps;
}

bool inBox(const PdeBox& box, double x, double y) {
    return !box.empty && x >= box.left && x <= box.right && y >= box.bottom && y <= box.top;
}

std::string indent(int depth) { return std::string(static_cast<size_t>(depth) * 2, ' '); }

std::string matrixText(const PdeMatrix& m) {
    char text[160];
    std::snprintf(text, sizeof(text), "[%g %g %g %g %g %g]", m.a, m.b, m.c, m.d, m.e, m.f);
    return text;
}

// --- handles

struct Registry {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::weak_ptr<PdeObject>> live;
    std::unordered_map<uintptr_t, std::pair<std::shared_ptr<PdeObject>, size_t>> held;
};

Registry& registry() {
    static Registry* r = new Registry;  // never destroyed, as the other handle registries
    return *r;
}

const char* typeName(int32_t type) {
    switch (type) {
    case kPDEContent: return "content";
    case kPDEText: return "text";
    case kPDEPath: return "path";
    case kPDEImage: return "image";
    case kPDEForm: return "form";
    case kPDEClip: return "clip";
    case kPDEColorSpace: return "colour space";
    case kPDEPlace: return "marked point";
    case kPDEContainer: return "container";
    case kPDEShading: return "shading";
    default: return "kept operators";
    }
}

}  // namespace

PdeObject::~PdeObject() {
    if (!mHandle) return;
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.live.erase(mHandle);
}

PDEObject PdeObject::handle() {
    if (!mHandle) {
        const uintptr_t number = nextPdeHandleNumber();
        Registry& r = registry();
        std::lock_guard<std::mutex> guard(r.lock);
        r.live.emplace(number, weak_from_this());
        mHandle = number;
    }
    return reinterpret_cast<PDEObject>(mHandle);
}

void PdeObject::dump(int, int depth, std::vector<std::string>& lines) const {
    lines.push_back(indent(depth) + typeName(mType));
}

std::shared_ptr<PdeObject> pdeObjectOf(PDEObject handle, const char* op) {
    if (!handle) raise(kHostErrBadParameter, std::string(op) + ": no page-content object given");
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.live.find(reinterpret_cast<uintptr_t>(handle));
    std::shared_ptr<PdeObject> object = it == r.live.end() ? nullptr : it->second.lock();
    if (!object)
        raise(kHostErrBadHandle, std::string(op) + ": unknown or released page-content object " +
                                     std::to_string(reinterpret_cast<uintptr_t>(handle)));
    return object;
}

template <class T>
std::shared_ptr<T> pdeOf(PDEObject handle, const char* op) {
    auto object = std::dynamic_pointer_cast<T>(pdeObjectOf(handle, op));
    if (!object) raise(kHostErrBadType, std::string(op) + ": the page-content object is of another type");
    return object;
}
template std::shared_ptr<PdeObject> pdeOf<PdeObject>(PDEObject, const char*);
template std::shared_ptr<PdeElement> pdeOf<PdeElement>(PDEObject, const char*);
template std::shared_ptr<PdeContent> pdeOf<PdeContent>(PDEObject, const char*);
template std::shared_ptr<PdeImage> pdeOf<PdeImage>(PDEObject, const char*);
template std::shared_ptr<PdeForm> pdeOf<PdeForm>(PDEObject, const char*);
template std::shared_ptr<PdeClip> pdeOf<PdeClip>(PDEObject, const char*);
template std::shared_ptr<PdeContainer> pdeOf<PdeContainer>(PDEObject, const char*);
template std::shared_ptr<PdeColorSpace> pdeOf<PdeColorSpace>(PDEObject, const char*);

PDEObject pdeGiveReference(const std::shared_ptr<PdeObject>& object) {
    PDEObject handle = object->handle();
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto& slot = r.held[reinterpret_cast<uintptr_t>(handle)];
    slot.first = object;
    ++slot.second;
    return handle;
}

void pdeAcquire(PDEObject handle) { pdeGiveReference(pdeObjectOf(handle, "objectAcquire")); }

void pdeRelease(PDEObject handle) {
    std::shared_ptr<PdeObject> last;  // dropped after the lock, as its destructor takes it
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.held.find(reinterpret_cast<uintptr_t>(handle));
    if (it == r.held.end()) {
        // Releasing what one does not hold would free an object under its owner.
        if (r.live.count(reinterpret_cast<uintptr_t>(handle)))
            raise(kHostErrBadParameter, "objectRelease: no reference is held on page-content object " +
                                            std::to_string(reinterpret_cast<uintptr_t>(handle)));
        raise(kHostErrBadHandle, "objectRelease: unknown or released page-content object " +
                                     std::to_string(reinterpret_cast<uintptr_t>(handle)));
    }
    if (--it->second.second == 0) {
        last = std::move(it->second.first);
        r.held.erase(it);
    }
}

size_t pdeHeldReferenceCount() {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    size_t count = 0;
    for (const auto& [handle, slot] : r.held) count += slot.second;
    return count;
}

// --- elements

namespace {
// Whether the point lies inside the box of every path of the clip (what is
// clipped away cannot be hit).
bool inClip(const std::shared_ptr<PdeClip>& clip, double x, double y) {
    if (!clip) return true;
    for (const auto& element : clip->elements) {
        if (auto nested = std::dynamic_pointer_cast<PdeClip>(element)) {
            if (!inClip(nested, x, y)) return false;
        } else if (auto path = std::dynamic_pointer_cast<PdeElement>(element)) {
            if (!inBox(path->bbox(), x, y)) return false;
        }
    }
    return true;
}
}  // namespace

bool PdeElement::isAtPoint(double x, double y) const { return inBox(bbox(), x, y) && inClip(clip, x, y); }

void PdeElement::dump(int level, int depth, std::vector<std::string>& lines) const {
    PdeBox box = bbox();
    char text[200];
    std::snprintf(text, sizeof(text), " bbox [%g %g %g %g] matrix ", box.left, box.bottom, box.right, box.top);
    PdeObject::dump(level, depth, lines);
    lines.back() += text + matrixText(matrix()) + (clip ? " clipped" : "");
}

void PdeElement::copyStateTo(PdeElement& other) const {
    other.ctm = ctm;
    other.gstate = gstate;
    other.clip = clip ? clip->deepCopy() : nullptr;
    other.source = source;
}

PdeBox PdePath::bbox() const {
    PdeBox box;
    for (const Segment& s : segments) {
        if (s.op == 'r' && s.v.size() == 4) {
            box.add(mappedBox(ctm, s.v[0], s.v[1], s.v[0] + s.v[2], s.v[1] + s.v[3]));
            continue;
        }
        for (size_t i = 0; i + 1 < s.v.size(); i += 2) {
            auto [x, y] = ctm.apply(s.v[i], s.v[i + 1]);
            box.add(x, y);
        }
    }
    return box;
}

std::shared_ptr<PdeElement> PdePath::copy() const {
    auto made = std::make_shared<PdePath>();
    copyStateTo(*made);
    made->segments = segments;
    made->paint = paint;
    return made;
}

std::shared_ptr<PdeElement> PdeText::copy() const {
    auto made = std::make_shared<PdeText>();
    copyStateTo(*made);
    made->ops = ops;
    made->box = box;
    return made;
}

PdeBox PdeRaw::bbox() const { return {}; }

std::shared_ptr<PdeElement> PdeRaw::copy() const {
    auto made = std::make_shared<PdeRaw>(type());
    copyStateTo(*made);
    made->ops = ops;
    return made;
}

PdeBox PdeImage::bbox() const { return mappedBox(ctm, 0, 0, 1, 1); }

bool PdeImage::isAtPoint(double x, double y) const {
    return inMappedRect(ctm, 0, 0, 1, 1, x, y) && inClip(clip, x, y);
}

std::shared_ptr<PdeElement> PdeImage::copy() const {
    auto made = std::make_shared<PdeImage>();
    copyStateTo(*made);
    made->xobject = xobject;
    made->name = name;
    made->inlineDict = inlineDict.isNull() ? inlineDict : inlineDict.shallowCopy();
    made->inlineData = inlineData;
    return made;
}

void PdeImage::dump(int level, int depth, std::vector<std::string>& lines) const {
    PdeElement::dump(level, depth, lines);
    const PDEImageAttrs a = attributes();
    lines.back() += (xobject.isNull() ? " inline" : " XObject /" + name) + " " + std::to_string(a.width) + "x" +
                    std::to_string(a.height);
}

PdeMatrix PdeForm::formMatrix() const {
    if (!xobject.isStream()) return {};
    return PdeMatrix::fromArray(xobject.getDict().getKey("/Matrix")).value_or(PdeMatrix{});
}

void PdeForm::setMatrix(const PdeMatrix& m) {
    auto inverse = formMatrix().inverse();
    if (!inverse) raise(kHostErrBadParameter, "elementSetMatrix: the form's /Matrix cannot be inverted");
    ctm = inverse->then(m);
}

namespace {
std::optional<std::array<double, 4>> formBBox(QPDFObjectHandle xobject) {
    if (!xobject.isStream()) return std::nullopt;
    QPDFObjectHandle box = xobject.getDict().getKey("/BBox");
    if (!box.isArray() || box.getArrayNItems() != 4) return std::nullopt;
    std::array<double, 4> v{};
    for (size_t i = 0; i < v.size(); ++i) {
        QPDFObjectHandle item = box.getArrayItem(static_cast<int>(i));
        if (!item.isNumber()) return std::nullopt;
        v[i] = item.getNumericValue();
    }
    return v;
}
}  // namespace

PdeBox PdeForm::bbox() const {
    auto v = formBBox(xobject);
    if (!v) return {};
    return mappedBox(matrix(), (*v)[0], (*v)[1], (*v)[2], (*v)[3]);
}

bool PdeForm::isAtPoint(double x, double y) const {
    auto v = formBBox(xobject);
    return v && inMappedRect(matrix(), (*v)[0], (*v)[1], (*v)[2], (*v)[3], x, y) && inClip(clip, x, y);
}

std::shared_ptr<PdeElement> PdeForm::copy() const {
    auto made = std::make_shared<PdeForm>();
    copyStateTo(*made);
    made->xobject = xobject;
    made->name = name;
    made->ancestors = ancestors;
    made->mContent = mContent;  // the same XObject, so the same content
    return made;
}

void PdeForm::dump(int level, int depth, std::vector<std::string>& lines) const {
    PdeElement::dump(level, depth, lines);
    lines.back() += " /" + name;
    if (level > 0 && mContent) mContent->dump(level - 1, depth + 1, lines);
}

PdeContainer::PdeContainer() : PdeElement(kPDEContainer), content(std::make_shared<PdeContent>()) {}

PdeBox PdeContainer::bbox() const { return content ? content->bbox() : PdeBox{}; }

bool PdeContainer::isAtPoint(double x, double y) const {
    if (!content) return false;
    for (const auto& element : content->elements)
        if (element->isAtPoint(x, y)) return true;
    return false;
}

namespace {
std::shared_ptr<PdeContent> copyContent(const PdeContent& content) {
    auto made = std::make_shared<PdeContent>();
    made->source = content.source;
    made->attrs = content.attrs;
    made->ancestors = content.ancestors;
    for (const auto& element : content.elements) made->elements.push_back(element->copy());
    return made;
}
}  // namespace

std::shared_ptr<PdeElement> PdeContainer::copy() const {
    auto made = std::make_shared<PdeContainer>();
    copyStateTo(*made);
    made->tag = tag;
    made->dict = dict.isNull() || dict.isIndirect() ? dict : dict.shallowCopy();
    made->dictInline = dictInline;
    made->propertiesName = propertiesName;
    made->content = content ? copyContent(*content) : std::make_shared<PdeContent>();
    return made;
}

void PdeContainer::dump(int level, int depth, std::vector<std::string>& lines) const {
    PdeElement::dump(level, depth, lines);
    lines.back() += " /" + tag;
    if (level > 0 && content) content->dump(level - 1, depth + 1, lines);
}

std::shared_ptr<PdeClip> PdeClip::deepCopy() const {
    auto made = std::make_shared<PdeClip>();
    for (const auto& element : elements) {
        if (auto nested = std::dynamic_pointer_cast<PdeClip>(element))
            made->elements.push_back(nested->deepCopy());
        else if (auto e = std::dynamic_pointer_cast<PdeElement>(element))
            made->elements.push_back(e->copy());
    }
    return made;
}

void PdeClip::dump(int level, int depth, std::vector<std::string>& lines) const {
    PdeObject::dump(level, depth, lines);
    lines.back() += " of " + std::to_string(elements.size());
    if (level > 0)
        for (const auto& element : elements) element->dump(level - 1, depth + 1, lines);
}

PdeBox PdeContent::bbox() const {
    PdeBox box;
    for (const auto& element : elements) box.add(element->bbox());
    return box;
}

void PdeContent::dump(int level, int depth, std::vector<std::string>& lines) const {
    PdeObject::dump(level, depth, lines);
    lines.back() += " of " + std::to_string(elements.size()) + " elements";
    if (level > 0)
        for (const auto& element : elements) element->dump(level - 1, depth + 1, lines);
}

PdeContent::~PdeContent() {
    // Nested contents are emptied here, one level at a time, so that releasing
    // deep nesting does not recurse.
    std::vector<std::shared_ptr<PdeElement>> pending = std::move(elements);
    while (!pending.empty()) {
        std::shared_ptr<PdeElement> element = std::move(pending.back());
        pending.pop_back();
        if (element.use_count() != 1) continue;
        std::shared_ptr<PdeContent> inner = element->takeContent();
        if (inner.use_count() != 1) continue;
        for (auto& nested : inner->elements) pending.push_back(std::move(nested));
        inner->elements.clear();
    }
}

bool PdeContent::modifiedDeep() const {
    if (modified) return true;
    for (const auto& element : elements) {
        if (element->changed) return true;
        if (auto form = std::dynamic_pointer_cast<PdeForm>(element)) {
            if (form->contentLoaded() && form->content()->modifiedDeep()) return true;
        } else if (auto container = std::dynamic_pointer_cast<PdeContainer>(element)) {
            if (container->content && container->content->modifiedDeep()) return true;
        }
    }
    return false;
}

}  // namespace qmhost
