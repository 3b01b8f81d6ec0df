#include "pde/PdeReader.h"

#include <algorithm>
#include <set>

#include <qpdf/Pl_String.hh>
#include <qpdf/QPDF.hh>

#include "core/Raise.h"
#include "pde/PdeClipTexts.h"
#include "pde/PdeContentParser.h"
#include "pde/PdeTextMeasure.h"

namespace qmhost {
namespace {

constexpr size_t kMaxWarnings = 50;  // later problems are counted, not described

const std::set<std::string>& stateSlots() {
    static const std::set<std::string> slots = {"w", "J", "j", "M", "d", "ri", "i",
                                                "Tc", "Tw", "Tz", "TL", "Tf", "Tr", "Ts"};
    return slots;
}

// Text positioning and showing: outside a text object they are kept as they are.
const std::set<std::string>& textOperators() {
    static const std::set<std::string> ops = {"Tj", "TJ", "'", "\"", "Td", "TD", "Tm", "T*"};
    return ops;
}

const std::set<std::string>& paintOperators() {
    static const std::set<std::string> ops = {"S", "s", "f", "F", "f*", "B", "B*", "b", "b*", "n"};
    return ops;
}

struct GraphicsState {
    PdeMatrix ctm;
    PdeGState gs;
    std::shared_ptr<PdeClip> clip;
};

class ContentReader : public PdeContentSink {
public:
    ContentReader(std::shared_ptr<PdeContent> content, QPDFObjectHandle resources, uint32_t serial)
        : mContent(std::move(content)), mTargets{mContent} {
        mSource.serial = serial;
        mSource.resources = resources;
        mContent->source = mSource;
    }

    void object(QPDFObjectHandle object) override {
        if (!object.isOperator()) {
            mOperands.push_back(object);
            return;
        }
        const std::string op = object.getOperatorValue();
        operate(op);
        mOperands.clear();
    }

    std::optional<size_t> inlineDataLength() override {
        return mInlineImage ? mInlineImage->storedDataLength() : std::nullopt;
    }
    void inlineData(std::string data) override {
        if (mInlineImage) mInlineImage->inlineData = std::move(data);
    }
    void damaged(const std::string& what) override { warn("a damaged token in the content: " + what); }

    void warn(const std::string& text) {
        if (mContent->warnings.size() < kMaxWarnings) mContent->warnings.push_back(text);
        ++mWarningCount;
    }
    // Part of the content could not be read: setting the content back is refused.
    void unreadable(const std::string& why) {
        warn(why);
        if (mContent->unreadable.empty()) mContent->unreadable = why;
    }
    size_t warningCount() const { return mWarningCount; }

    void finish() {
        if (mFinished) return;
        mFinished = true;
        if (mText) {
            warn("a text object is not closed with ET");
            endText();
        }
        if (mInlineImage) {
            warn("an inline image is not closed with EI");
            endInlineImage();
        }
        if (!mPath.empty()) warn("a path is not painted");
        if (mTargets.size() > 1) warn("marked content is not closed with EMC");
        mTargets.resize(1);
        mClipTexts.contentEnded();
    }

private:
    void operate(const std::string& op) {
        if (mInlineImage) return inlineImageOperator(op);
        if (mText && op != "ET" && op != "BT" && op != "BI") return textOperator(op);
        if (!mText && strayTextOperator(op)) return;
        if (stateOperator(op)) return;
        if (op == "q") {
            mStack.push_back(mState);
        } else if (op == "Q") {
            if (mStack.empty()) return warn("Q without q");
            mState = mStack.back();
            mStack.pop_back();
            mClipTexts.clipRestored(mState.clip);
        } else if (op == "m" || op == "l" || op == "c" || op == "v" || op == "y" || op == "h" || op == "re") {
            pathSegment(op);
        } else if (op == "W" || op == "W*") {
            mPendingClip = op;
        } else if (paintOperators().count(op)) {
            paintPath(op);
        } else if (op == "BT") {
            beginText();
        } else if (op == "ET") {
            if (!mText) return warn("ET without BT");
            endText();
        } else if (op == "Do") {
            placeXObject();
        } else if (op == "BI") {
            beginInlineImage();
        } else if (op == "BMC" || op == "BDC") {
            beginMarkedContent(op);
        } else if (op == "EMC") {
            if (mTooDeep > 0) return static_cast<void>(--mTooDeep);
            if (mTargets.size() < 2) return warn("EMC without BMC or BDC");
            mClipTexts.containerEnded(mTargets.back());
            mTargets.pop_back();
        } else if (op == "MP" || op == "DP") {
            addRaw(kPDEPlace, op);
        } else if (op == "sh") {
            addRaw(kPDEShading, op);
        } else if (op == "BX") {
            ++mCompatibility;
        } else if (op == "EX") {
            if (mCompatibility > 0) --mCompatibility;
        } else if (mCompatibility > 0) {
            // Kept in a section of its own, so that a reader that does not know it still ignores it.
            auto raw = stamped(std::make_shared<PdeRaw>(kPDEUnknown));
            raw->ops = {PdeOp{{}, "BX"}, currentOp(op), PdeOp{{}, "EX"}};
            add(raw);
        } else {
            warn("unknown operator " + op + " kept as it was");
            addRaw(kPDEUnknown, op);
        }
    }

    // Operators that only change the graphics state; true when op is one.
    bool stateOperator(const std::string& op) {
        if (op == "cm") {
            if (auto m = matrixOperands()) mState.ctm = m->then(mState.ctm);
            else warn("cm without six numbers");
        } else if (stateSlots().count(op)) {
            mState.gs.slots[op] = stateOp(op);
        } else if (op == "gs") {
            auto& list = mState.gs.extGStates;
            PdeOp made = stateOp(op);
            list.erase(std::remove_if(list.begin(), list.end(),
                                      [&](const PdeOp& o) { return o.operands.size() == made.operands.size() &&
                                                                   !made.operands.empty() &&
                                                                   o.operands[0].unparse() == made.operands[0].unparse(); }),
                       list.end());
            list.push_back(std::move(made));
        } else {
            return colourOperator(op);
        }
        return true;
    }

    // Text positioning and showing outside a text object is kept as read, with
    // the state operators between them, in one element; true when op is kept there.
    bool strayTextOperator(const std::string& op) {
        if (textOperators().count(op)) {
            if (!mStrayText) {
                warn("text shown outside a text object kept as it was");
                mStrayText = stamped(std::make_shared<PdeRaw>(kPDEUnknown));
                add(mStrayText);
            }
            mStrayText->ops.push_back(currentOp(op));
            return true;
        }
        if (!mStrayText) return false;
        static const std::set<std::string> state = {"w", "J", "j", "M", "d", "ri", "i", "Tc", "Tw", "Tz", "TL", "Tf",
                                                    "Tr", "Ts", "gs", "cm", "CS", "cs", "SC", "SCN", "sc", "scn",
                                                    "G", "g", "RG", "rg", "K", "k"};
        if (state.count(op)) mStrayText->ops.push_back(currentOp(op));
        else mStrayText.reset();
        return false;
    }

    PdeOp currentOp(const std::string& op) const { return PdeOp{mOperands, op}; }
    PdeOp stateOp(const std::string& op) {
        PdeOp made = currentOp(op);
        made.setAt = ++mStateCount;
        return made;
    }

    std::optional<PdeMatrix> matrixOperands() const {
        if (mOperands.size() != 6) return std::nullopt;
        double v[6];
        for (size_t i = 0; i < 6; ++i) {
            if (!mOperands[i].isNumber()) return std::nullopt;
            v[i] = mOperands[i].getNumericValue();
        }
        return PdeMatrix{v[0], v[1], v[2], v[3], v[4], v[5]};
    }

    bool colourOperator(const std::string& op) {
        auto& slots = mState.gs.slots;
        if (op == "CS" || op == "cs") {
            const std::string colour = op == "CS" ? "SC" : "sc";
            slots[op] = stateOp(op);
            slots.erase(colour);  // a new space starts at its initial colour
        } else if (op == "SC" || op == "SCN" || op == "sc" || op == "scn") {
            slots[op == "SC" || op == "SCN" ? "SC" : "sc"] = stateOp(op);
        } else if (op == "G" || op == "RG" || op == "K") {
            slots.erase("CS");
            slots["SC"] = stateOp(op);
        } else if (op == "g" || op == "rg" || op == "k") {
            slots.erase("cs");
            slots["sc"] = stateOp(op);
        } else {
            return false;
        }
        return true;
    }

    template <class T>
    std::shared_ptr<T> stamped(std::shared_ptr<T> element) {
        element->ctm = mState.ctm;
        element->gstate = mState.gs;
        element->clip = mState.clip;
        element->source = mSource;
        return element;
    }

    void add(std::shared_ptr<PdeElement> element) {
        mClipTexts.drawn(*element);
        mTargets.back()->elements.push_back(std::move(element));
    }

    void addRaw(int32_t type, const std::string& op) {
        auto raw = stamped(std::make_shared<PdeRaw>(type));
        raw->ops.push_back(currentOp(op));
        add(raw);
    }

    void pathSegment(const std::string& op) {
        static const std::map<std::string, size_t> counts = {{"m", 2}, {"l", 2}, {"c", 6}, {"v", 4},
                                                             {"y", 4}, {"h", 0}, {"re", 4}};
        if (mOperands.size() != counts.at(op)) return warn(op + " with " + std::to_string(mOperands.size()) + " operands");
        PdePath::Segment segment{op == "re" ? 'r' : op[0], {}};
        for (auto operand : mOperands) {
            if (!operand.isNumber()) return warn(op + " with an operand that is not a number");
            segment.v.push_back(operand.getNumericValue());
        }
        mPath.push_back(std::move(segment));
    }

    void paintPath(const std::string& op) {
        auto path = stamped(std::make_shared<PdePath>());
        path->segments = std::move(mPath);
        mPath.clear();
        if (op != "n") {
            path->paint = op;
            add(path);
        }
        if (!mPendingClip.empty()) {
            auto clipPath = std::make_shared<PdePath>();
            clipPath->ctm = mState.ctm;
            clipPath->segments = path->segments;
            clipPath->paint = mPendingClip + " n";
            auto clip = std::make_shared<PdeClip>();
            if (mState.clip) clip->elements = mState.clip->elements;
            clip->elements.push_back(clipPath);
            mState.clip = clip;
            mPendingClip.clear();
        }
    }

    void beginText() {
        if (mText) {
            warn("BT inside a text object");
            endText();
        }
        mText = stamped(std::make_shared<PdeText>());
        mMeasure = std::make_unique<PdeTextMeasure>(mState.ctm, mSource.resources);
        mMeasure->setState(mState.gs);
    }

    // Every operator inside a text object belongs to the text; the state it
    // changes is kept for what follows too.
    void textOperator(const std::string& op) {
        if ((op == "q" || op == "Q") && !saveOrRestoreInText(op)) return;
        mText->ops.push_back(currentOp(op));
        if (op == "q" || op == "Q") return;
        if (op == "cm") warn("cm inside a text object");
        stateOperator(op);
        if (op == "cm") return;
        mMeasure->operate(op, mOperands);
        if (op == "Tf" && mMeasure->fontMissing()) warn("font " + mOperands[0].unparse() + " is not in the resources");
        if (op == "Tj" || op == "TJ" || op == "'" || op == "\"") {
            const long long mode = renderingMode();
            if (mode >= 4 && mode <= 7) mTextClips = true;
            if (mode != 3 && mode != 7) mTextDraws = true;
        } else if (!invisibleInText(op)) {
            mTextDraws = true;  // a path painted, marked content, an XObject placed
        }
    }

    // q and Q inside a text object are kept in it where they pair up there;
    // true when op is kept. A Q whose q came before BT is left out.
    bool saveOrRestoreInText(const std::string& op) {
        if (op == "q") {
            mStack.push_back(mState);
            ++mTextSaves;
            return true;
        }
        if (mTextSaves == 0) {
            warn("Q inside a text object without its q");
            return false;
        }
        --mTextSaves;
        mState = mStack.back();
        mStack.pop_back();
        mMeasure->setState(mState.gs);
        return true;
    }

    static bool invisibleInText(const std::string& op) {
        static const std::set<std::string> ops = {"Td", "TD", "Tm", "T*", "cm", "gs", "CS", "cs", "SC", "SCN", "sc",
                                                  "scn", "G", "g", "RG", "rg", "K", "k"};
        return stateSlots().count(op) || ops.count(op);
    }

    long long renderingMode() const {
        auto tr = mState.gs.slots.find("Tr");
        if (tr == mState.gs.slots.end() || tr->second.operands.empty() || !tr->second.operands[0].isInteger()) return 0;
        return tr->second.operands[0].getIntValue();
    }

    void endText() {
        mText->box = mMeasure->box();
        for (; mTextSaves > 0; --mTextSaves) {  // closed here, so that the text written back is balanced
            warn("q inside a text object without its Q");
            mText->ops.push_back(PdeOp{{}, "Q"});
        }
        std::shared_ptr<PdeElement> inClip;
        if (mTextClips) {  // what follows is clipped to the glyphs shown in modes 4 to 7
            auto clip = std::make_shared<PdeClip>();
            if (mState.clip) clip->elements = mState.clip->elements;
            inClip = mText->copy();
            clip->elements.push_back(inClip);
            mState.clip = clip;
        }
        if (inClip && !mTextDraws) mClipTexts.hold(mText, inClip, mTargets.back());
        else add(mText);
        mTextClips = mTextDraws = false;
        mText.reset();
        mMeasure.reset();
    }

    QPDFObjectHandle resource(const char* category, QPDFObjectHandle name) {
        if (!name.isName() || !mSource.resources.isDictionary()) return QPDFObjectHandle::newNull();
        return pdeKey(mSource.resources, category, name.getName());
    }

    void placeXObject() {
        QPDFObjectHandle name = mOperands.empty() ? QPDFObjectHandle::newNull() : mOperands[0];
        QPDFObjectHandle xobject = resource("/XObject", name);
        const std::string subtype =
            xobject.isStream() && xobject.getDict().getKey("/Subtype").isName() ? xobject.getDict().getKey("/Subtype").getName() : "";
        if (subtype == "/Image") {
            auto image = stamped(std::make_shared<PdeImage>());
            image->xobject = xobject;
            image->name = name.getName();
            return add(image);
        }
        if (subtype == "/Form") {
            if (std::find(mAncestors.begin(), mAncestors.end(), xobject.getObjGen()) != mAncestors.end()) {
                warn("form " + name.unparse() + " would contain itself; kept without reading it");
                return addRaw(kPDEUnknown, "Do");
            }
            auto form = stamped(std::make_shared<PdeForm>());
            form->xobject = xobject;
            form->name = name.getName();
            form->ancestors = mAncestors;
            // Do places the form by its /Matrix too; the element's CTM stays the one at Do.
            return add(form);
        }
        warn("XObject " + name.unparse() + (xobject.isNull() ? " is not in the resources" : " is of an unknown kind") +
             "; kept as it was");
        addRaw(kPDEUnknown, "Do");
    }

    void beginInlineImage() {
        mInlineImage = stamped(std::make_shared<PdeImage>());
        mInlineImage->inlineDict = QPDFObjectHandle::newDictionary();
    }

    void inlineImageOperator(const std::string& op) {
        if (op == "ID") {
            for (size_t i = 0; i + 1 < mOperands.size(); i += 2)
                if (mOperands[i].isName()) mInlineImage->inlineDict.replaceKey(mOperands[i].getName(), mOperands[i + 1]);
            if (mOperands.size() % 2) warn("an inline image's dictionary has a key without a value");
        } else if (op == "EI") {
            endInlineImage();
        } else {
            warn("operator " + op + " inside an inline image");
        }
    }

    void endInlineImage() {
        const PDEImageAttrs attrs = mInlineImage->attributes();
        if (attrs.width <= 0 || attrs.height <= 0) warn("an inline image without a width or height");
        if (mText) {  // drawn among the text's operators, in its place
            mText->ops.push_back(PdeOp{{}, "BI", 0, mInlineImage});
            mTextDraws = true;
        } else {
            add(mInlineImage);
        }
        mInlineImage.reset();
    }

    void beginMarkedContent(const std::string& op) {
        if (mTargets.size() > kPdeMaxNesting || mTooDeep > 0) {
            ++mTooDeep;
            return unreadable("marked content nests deeper than " + std::to_string(kPdeMaxNesting) + " levels");
        }
        auto container = stamped(std::make_shared<PdeContainer>());
        container->tag = !mOperands.empty() && mOperands[0].isName() ? mOperands[0].getName().substr(1) : "Unknown";
        if (op == "BDC" && mOperands.size() >= 2) {
            if (mOperands[1].isDictionary()) {
                container->dict = mOperands[1];
            } else if (mOperands[1].isName()) {
                container->dictInline = false;
                container->propertiesName = mOperands[1].getName();
                container->dict = resource("/Properties", mOperands[1]);
                if (container->dict.isNull()) {
                    warn("properties " + mOperands[1].unparse() + " are not in the resources");
                    container->dict = QPDFObjectHandle::newDictionary();
                }
            }
        }
        container->content->source = mSource;
        container->content->ancestors = mAncestors;
        add(container);
        mTargets.push_back(container->content);
    }

public:
    std::vector<QPDFObjGen> mAncestors;

private:
    std::shared_ptr<PdeContent> mContent;
    std::vector<std::shared_ptr<PdeContent>> mTargets;
    PdeSource mSource;
    mutable std::vector<QPDFObjectHandle> mOperands;
    GraphicsState mState;
    std::vector<GraphicsState> mStack;
    std::vector<PdePath::Segment> mPath;
    std::string mPendingClip;
    std::shared_ptr<PdeText> mText;
    bool mTextClips = false;  // the text showed glyphs in a clipping mode
    bool mTextDraws = false;  // the text painted something (glyphs in a visible mode, paths, images)
    size_t mTextSaves = 0;    // q inside the text not yet restored there
    PdeClipTexts mClipTexts;
    std::shared_ptr<PdeRaw> mStrayText;
    std::unique_ptr<PdeTextMeasure> mMeasure;
    uint64_t mStateCount = 0;
    size_t mCompatibility = 0;  // BX sections open
    size_t mTooDeep = 0;        // marked content opened past the nesting the model takes
    std::shared_ptr<PdeImage> mInlineImage;
    size_t mWarningCount = 0;
    bool mFinished = false;
};

}  // namespace

std::shared_ptr<PdeContent> readPdeContent(QPDFObjectHandle contents, QPDFObjectHandle resources, uint32_t serial,
                                           std::vector<QPDFObjGen> ancestors) {
    auto content = std::make_shared<PdeContent>();
    content->ancestors = ancestors;
    ContentReader reader(content, resources, serial);
    reader.mAncestors = std::move(ancestors);
    QPDF* owner = contents.getOwningQPDF();
    const size_t warningsBefore = owner ? owner->numWarnings() : 0;
    std::vector<QPDFObjectHandle> streams;
    if (contents.isStream()) streams.push_back(contents);
    else if (contents.isArray()) streams = contents.getArrayAsVector();
    else if (!contents.isNull()) reader.warn("the content is neither a stream nor an array of streams");
    // The streams are read as one content, as viewers do; one that cannot be
    // decoded is left out and the others are read.
    std::vector<std::string> pieces;
    pieces.reserve(streams.size());
    for (QPDFObjectHandle stream : streams) {
        if (!stream.isStream()) {
            reader.warn("an item of the content array is not a stream");
            continue;
        }
        std::string data, why;
        Pl_String pipe("content", nullptr, data);
        try {
            if (!stream.pipeStreamData(&pipe, 0, qpdf_dl_specialized))
                why = "errors while decoding content stream " + stream.getObjGen().unparse(' ');
        } catch (const std::exception& e) {
            why = e.what();
        }
        if (why.empty()) pieces.push_back(std::move(data));
        else reader.unreadable("a content stream could not be read to its end: " + why);
    }
    try {
        parsePdeContent(std::move(pieces), owner, reader);
    } catch (const std::exception& e) {
        reader.unreadable(std::string("the content could not be read to its end: ") + e.what());
    }
    reader.finish();
    const size_t qpdfWarnings = owner ? owner->numWarnings() - warningsBefore : 0;
    for (size_t i = 0; i < qpdfWarnings; ++i) reader.warn("qpdf found a damaged token in the content");
    content->attrs = {};
    return content;
}

std::shared_ptr<PdeContent> PdeForm::content() {
    if (mContent) return mContent;
    if (!xobject.isStream()) {
        mContent = std::make_shared<PdeContent>();
        return mContent;
    }
    QPDFObjectHandle resources = xobject.getDict().getKey("/Resources");
    // A form without resources draws with those of the content that placed it.
    if (!resources.isDictionary()) resources = source.resources;
    std::vector<QPDFObjGen> chain = ancestors;
    chain.push_back(xobject.getObjGen());
    mContent = readPdeContent(xobject, resources, source.serial, chain);
    PDEContentAttrs& attrs = mContent->attrs;
    attrs.flags = kPDEContentIsForm;
    QPDFObjectHandle dict = xobject.getDict();
    attrs.formType = dict.getKey("/FormType").isInteger() ? static_cast<int32_t>(dict.getKey("/FormType").getIntValue()) : 1;
    PdeBox box;
    QPDFObjectHandle b = dict.getKey("/BBox");
    if (b.isArray() && b.getArrayNItems() == 4 && b.getArrayItem(0).isNumber() && b.getArrayItem(1).isNumber() &&
        b.getArrayItem(2).isNumber() && b.getArrayItem(3).isNumber()) {
        box.add(b.getArrayItem(0).getNumericValue(), b.getArrayItem(1).getNumericValue());
        box.add(b.getArrayItem(2).getNumericValue(), b.getArrayItem(3).getNumericValue());
    }
    attrs.bbox = box.toFixed();
    attrs.matrix = formMatrix().toFixed();
    return mContent;
}

}  // namespace qmhost
