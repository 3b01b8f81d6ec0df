// The host's page-content model: a content is a list of elements (text, paths,
// images, forms, marked-content containers, shadings, kept operators), each with
// its matrix, graphics state and clip, read from content streams with qpdf's
// content parser and written back as content streams.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "qmhost/PDETypes.h"
#include "qmhost/QMBase.h"

namespace qmhost {

// A 2x3 matrix of doubles, applied as PDF does: (x, y) -> (a x + c y + e, b x + d y + f).
struct PdeMatrix {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    // This matrix first, then `then`.
    PdeMatrix then(const PdeMatrix& next) const;
    std::pair<double, double> apply(double x, double y) const;
    std::optional<PdeMatrix> inverse() const;
    bool isIdentity() const;
    ASFixedMatrix toFixed() const;
    static PdeMatrix fromFixed(const ASFixedMatrix& m);
    static std::optional<PdeMatrix> fromArray(QPDFObjectHandle array);
};

struct PdeBox {
    double left = 0, bottom = 0, right = 0, top = 0;
    bool empty = true;
    void add(double x, double y);
    void add(const PdeBox& other);
    ASFixedRect toFixed() const;
};

class PdeImage;

// One operator with its operands, kept as read.
struct PdeOp {
    mutable std::vector<QPDFObjectHandle> operands;  // mutable: qpdf's accessors are not const
    std::string op;
    uint64_t setAt = 0;  // in a graphics state: when it was set, so that the state is written in that order
    std::shared_ptr<const PdeImage> image = nullptr;  // op BI: an inline image drawn inside a text object
};

// How deep marked content may nest in a content (as deep as qpdf nests objects):
// deeper content is not read whole, and a model nested deeper is not written.
constexpr size_t kPdeMaxNesting = 500;

// The graphics state that the content's operators set, kept as operators so
// that it is written back exactly: one slot per kind ("w", "CS", "sc", "Tf", ...)
// and the /gs resources applied, written in the order they were set.
struct PdeGState {
    std::map<std::string, PdeOp> slots;
    std::vector<PdeOp> extGStates;
    bool operator==(const PdeGState&) const = default;
};

class PdeContent;
class PdeClip;
class PdeColorSpace;

// The document a content was read from, known by its serial so that a closed
// document is noticed instead of used.
struct PdeSource {
    uint32_t serial = 0;
    mutable QPDFObjectHandle resources = QPDFObjectHandle::newNull();  // the resource dictionary names are looked up in (may be null)
};

class PdeObject : public std::enable_shared_from_this<PdeObject> {
public:
    explicit PdeObject(int32_t type) : mType(type) {}
    virtual ~PdeObject();
    int32_t type() const { return mType; }
    // The handle of this object, made on first request; it stays while the object lives.
    PDEObject handle();
    std::map<std::pair<ExtensionID, ASAtom>, void*>& tags() { return mTags; }
    virtual void dump(int level, int depth, std::vector<std::string>& lines) const;

private:
    int32_t mType;
    uintptr_t mHandle = 0;
    std::map<std::pair<ExtensionID, ASAtom>, void*> mTags;
};

class PdeElement : public PdeObject {
public:
    using PdeObject::PdeObject;
    PdeMatrix ctm;                     // the CTM at the element
    PdeGState gstate;
    std::shared_ptr<PdeClip> clip;     // null: not clipped
    PdeSource source;
    bool changed = false;              // set by the write operations, so that its form is written back
    // The element's matrix as elementGetMatrix answers it.
    virtual PdeMatrix matrix() const { return ctm; }
    virtual void setMatrix(const PdeMatrix& m) { ctm = m; }
    virtual PdeBox bbox() const = 0;
    virtual bool isAtPoint(double x, double y) const;
    virtual std::shared_ptr<PdeElement> copy() const = 0;
    // Moves out the content this element holds (containers and forms), so that
    // nesting is released one level at a time.
    virtual std::shared_ptr<PdeContent> takeContent() { return nullptr; }
    // Writes the element's drawing operators (without state, clip and CTM).
    virtual void writeBody(std::string& out, class PdeWriter& writer) const = 0;
    void dump(int level, int depth, std::vector<std::string>& lines) const override;
    void copyStateTo(PdeElement& other) const;
};

class PdePath : public PdeElement {
public:
    PdePath() : PdeElement(kPDEPath) {}
    struct Segment {
        char op;  // m l c v y h, and 'r' for re
        std::vector<double> v;
    };
    std::vector<Segment> segments;
    std::string paint;  // S s f F f* B B* b b* n, with W or W* in front for a clip path
    PdeBox bbox() const override;
    std::shared_ptr<PdeElement> copy() const override;
    void writeBody(std::string& out, PdeWriter& writer) const override;
    // The path's construction operators in the content space (the CTM applied),
    // for writing a clip before the element's own CTM.
    void writeTransformed(std::string& out) const;
};

class PdeText : public PdeElement {
public:
    PdeText() : PdeElement(kPDEText) {}
    std::vector<PdeOp> ops;  // between BT and ET (inline images drawn there among them)
    PdeBox box;              // measured when read, in the content space
    PdeBox bbox() const override { return box; }
    std::shared_ptr<PdeElement> copy() const override;
    void writeBody(std::string& out, PdeWriter& writer) const override;
    // Writes the text as the clip it leaves (rendering modes 4 to 7) when it
    // starts a clip, drawing nothing and leaving the CTM as it was.
    void writeClip(std::string& out, PdeWriter& writer) const;
};

// Operators that are kept as read: sh, MP, DP, unknown operators (in a BX/EX
// section when read in one), text shown outside a text object, and a Do of a
// form that would contain itself.
class PdeRaw : public PdeElement {
public:
    explicit PdeRaw(int32_t type) : PdeElement(type) {}
    std::vector<PdeOp> ops;
    PdeBox bbox() const override;
    std::shared_ptr<PdeElement> copy() const override;
    void writeBody(std::string& out, PdeWriter& writer) const override;
};

class PdeImage : public PdeElement {
public:
    PdeImage() : PdeElement(kPDEImage) {}
    mutable QPDFObjectHandle xobject = QPDFObjectHandle::newNull();        // the image XObject stream; null for an inline image
    std::string name;                // its /XObject resource name when read
    mutable QPDFObjectHandle inlineDict = QPDFObjectHandle::newNull();     // an inline image's dictionary (abbreviated keys as read)
    std::string inlineData;          // an inline image's data as stored
    PdeBox bbox() const override;
    bool isAtPoint(double x, double y) const override;
    std::shared_ptr<PdeElement> copy() const override;
    void writeBody(std::string& out, PdeWriter& writer) const override;
    void dump(int level, int depth, std::vector<std::string>& lines) const override;
    // The image dictionary with full key names (for an inline image, expanded).
    QPDFObjectHandle dictionary() const;
    PDEImageAttrs attributes() const;
    // The samples decoded (raises kHostErrFilter when they cannot be).
    std::string decodedData() const;
    // The bytes an inline image's data takes as its dictionary describes it:
    // without a filter, with a width, height, bits per component and colour
    // space (or as a mask); nullopt otherwise.
    std::optional<size_t> storedDataLength();
    std::shared_ptr<PdeColorSpace> colorSpace();

private:
    std::shared_ptr<PdeColorSpace> mColorSpace;
};

// The bytes of samples that attributes describe with comps components per
// sample, each row padded to a whole byte; nullopt when a value is negative or
// the count does not fit in size_t (a damaged or hostile dictionary).
std::optional<size_t> imageSampleBytes(const PDEImageAttrs& attrs, int comps);

class PdeForm : public PdeElement {
public:
    PdeForm() : PdeElement(kPDEForm) {}
    mutable QPDFObjectHandle xobject = QPDFObjectHandle::newNull();
    std::string name;
    std::vector<QPDFObjGen> ancestors;  // the forms that hold this one, to refuse a cycle
    PdeMatrix formMatrix() const;       // its /Matrix
    PdeMatrix matrix() const override { return formMatrix().then(ctm); }
    void setMatrix(const PdeMatrix& m) override;
    PdeBox bbox() const override;
    bool isAtPoint(double x, double y) const override;
    std::shared_ptr<PdeElement> copy() const override;
    void writeBody(std::string& out, PdeWriter& writer) const override;
    void dump(int level, int depth, std::vector<std::string>& lines) const override;
    // The form's content, read on first use.
    std::shared_ptr<PdeContent> content();
    bool contentLoaded() const { return mContent != nullptr; }
    std::shared_ptr<PdeContent> takeContent() override { return std::move(mContent); }

private:
    std::shared_ptr<PdeContent> mContent;
};

class PdeContainer : public PdeElement {
public:
    PdeContainer();
    std::string tag;              // without the slash
    mutable QPDFObjectHandle dict = QPDFObjectHandle::newNull();        // properties, or null
    bool dictInline = true;       // written in the content, else named in /Properties
    std::string propertiesName;   // the /Properties name when not inline
    std::shared_ptr<PdeContent> content;
    PdeBox bbox() const override;
    bool isAtPoint(double x, double y) const override;
    std::shared_ptr<PdeElement> copy() const override;
    std::shared_ptr<PdeContent> takeContent() override { return std::move(content); }
    void writeBody(std::string& out, PdeWriter& writer) const override;
    void dump(int level, int depth, std::vector<std::string>& lines) const override;
};

class PdeClip : public PdeObject {
public:
    PdeClip() : PdeObject(kPDEClip) {}
    // Paths (with W or W* in their paint), text that clips and nested clips.
    std::vector<std::shared_ptr<PdeObject>> elements;
    std::shared_ptr<PdeClip> deepCopy() const;
    void write(std::string& out, PdeWriter& writer) const;
    void dump(int level, int depth, std::vector<std::string>& lines) const override;
};

class PdeColorSpace : public PdeObject {
public:
    explicit PdeColorSpace(QPDFObjectHandle object) : PdeObject(kPDEColorSpace), space(std::move(object)) {}
    mutable QPDFObjectHandle space;  // a name or an array, resolved
    std::string family() const;
    int components() const;
    std::string baseFamily() const;   // Indexed: the base's family
    int baseComponents() const;
    int hiVal() const;                // Indexed: the highest index; -1 otherwise
    std::string lookup() const;       // Indexed: the palette bytes
};

class PdeContent : public PdeObject {
public:
    PdeContent() : PdeObject(kPDEContent) {}
    ~PdeContent() override;
    std::vector<std::shared_ptr<PdeElement>> elements;
    PdeSource source;
    PDEContentAttrs attrs{};
    std::vector<std::string> warnings;
    std::string unreadable;  // why part of the content could not be read; empty when it was read whole
    bool modified = false;
    std::vector<QPDFObjGen> ancestors;  // forms that hold this content (a form's own included)
    PdeBox bbox() const;
    void dump(int level, int depth, std::vector<std::string>& lines) const override;
    // Whether this content or any content it holds was changed.
    bool modifiedDeep() const;
};

// dict's value under key, or null when dict is not a dictionary (qpdf would warn).
QPDFObjectHandle pdeKey(QPDFObjectHandle dict, const std::string& key);
// The same two levels down (resources, category, name).
QPDFObjectHandle pdeKey(QPDFObjectHandle dict, const std::string& key, const std::string& inner);

// The model of a handle: kHostErrBadParameter for null, kHostErrBadHandle for an
// unknown or released one, kHostErrBadType when it is not of the class asked for.
std::shared_ptr<PdeObject> pdeObjectOf(PDEObject handle, const char* op);
template <class T>
std::shared_ptr<T> pdeOf(PDEObject handle, const char* op);

// Gives the caller a reference on the object (a "new" result) and answers its handle.
PDEObject pdeGiveReference(const std::shared_ptr<PdeObject>& object);
void pdeAcquire(PDEObject handle);
void pdeRelease(PDEObject handle);
// References that callers hold now, over all objects (tests check for leaks).
size_t pdeHeldReferenceCount();

}  // namespace qmhost
