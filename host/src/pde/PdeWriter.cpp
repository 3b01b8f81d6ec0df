#include "pde/PdeWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>
#include <vector>

#include "core/Raise.h"
#include "cos/CosCopy.h"
#include "support/FixedMath.h"

namespace qmhost {
namespace {

// Operators whose operand names a resource: (operator, operand index or -1 for
// the last, category).
struct NamedOperand {
    const char* op;
    int index;
    const char* category;
};
constexpr NamedOperand kNamedOperands[] = {
    {"Tf", 0, "/Font"},      {"gs", 0, "/ExtGState"},   {"cs", 0, "/ColorSpace"}, {"CS", 0, "/ColorSpace"},
    {"scn", -1, "/Pattern"}, {"SCN", -1, "/Pattern"},   {"sh", 0, "/Shading"},    {"Do", 0, "/XObject"},
    {"BDC", 1, "/Properties"}, {"DP", 1, "/Properties"},
};

bool isDeviceSpaceName(const std::string& name) {
    return name == "/DeviceGray" || name == "/DeviceRGB" || name == "/DeviceCMYK" || name == "/Pattern" ||
           name == "/G" || name == "/RGB" || name == "/CMYK" || name == "/I" || name == "/Indexed";
}

bool sameObject(QPDFObjectHandle a, QPDFObjectHandle b) {
    if (a.isIndirect() || b.isIndirect()) return a.isIndirect() && b.isIndirect() && a.getObjGen() == b.getObjGen();
    return a.isSameObjectAs(b) || a.unparse() == b.unparse();
}

const char* const kSlotOrder[] = {"CS", "SC", "cs", "sc", "w",  "J",  "j",  "M",  "d",
                                  "ri", "i",  "Tc", "Tw", "Tz", "TL", "Tf", "Tr", "Ts"};

}  // namespace

PdeWriter::PdeWriter(Document& target, QPDFObjectHandle base) : mTarget(target), mResources(base) {
    if (!mResources.isDictionary()) {
        mResources = QPDFObjectHandle::newDictionary();
        mChanged = true;
    }
}

std::string PdeWriter::number(double value) {
    if (!std::isfinite(value) || value == 0) return "0";
    // The fewest digits that read back as the same double, without an exponent
    // (which content streams do not take); room for the longest, 1e308 or 5e-324.
    char text[400];
    auto result = std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed);
    return std::string(text, result.ptr);
}

std::string PdeWriter::fixedNumber(ASFixed value) {
    const double exact = fixedToDouble(value);
    char text[32];
    for (int decimals = 0;; ++decimals) {
        const auto result = std::to_chars(text, text + sizeof text, exact, std::chars_format::fixed, decimals);
        double back = 0;
        std::from_chars(text, result.ptr, back);
        if (decimals == 5 || fixedFromDouble(back) == value) return back == 0 ? "0" : std::string(text, result.ptr);
    }
}

QPDFObjectHandle PdeWriter::resources() const { return mResources; }

std::string PdeWriter::write(const PdeContent& content) {
    if (!content.unreadable.empty())
        raise(kHostErrBadPDF, "the content was not read whole (" + content.unreadable +
                                  "): writing it back would lose what could not be read");
    std::string out;
    out.reserve(content.elements.size() * 64);
    for (const auto& element : content.elements) writeElement(out, *element);
    return out;
}

void PdeWriter::writeElement(std::string& out, const PdeElement& element) {
    if (element.type() == kPDEContainer) {  // draws nothing itself: its elements carry their state
        if (++mDepth > kPdeMaxNesting)
            raise(kHostErrUnsupported, "marked content nests deeper than " + std::to_string(kPdeMaxNesting) +
                                           " levels: the content is not written");
        element.writeBody(out, *this);
        --mDepth;
        return;
    }
    out += "q\n";
    if (element.clip) element.clip->write(out, *this);
    writeGState(out, element.gstate, element.source);
    if (!element.ctm.isIdentity()) {
        const PdeMatrix& m = element.ctm;
        for (double v : {m.a, m.b, m.c, m.d, m.e, m.f}) out += number(v) + " ";
        out += "cm\n";
    }
    element.writeBody(out, *this);
    out += "Q\n";
}

void PdeWriter::writeGState(std::string& out, const PdeGState& state, const PdeSource& source) {
    // In the order the operators were set (a /gs may set what a plain operator
    // set before it, or the other way round); the slot order for those set together.
    std::vector<const PdeOp*> ops;
    ops.reserve(state.slots.size() + state.extGStates.size());
    for (const char* slot : kSlotOrder) {
        auto it = state.slots.find(slot);
        if (it != state.slots.end()) ops.push_back(&it->second);
    }
    for (const PdeOp& op : state.extGStates) ops.push_back(&op);
    std::stable_sort(ops.begin(), ops.end(), [](const PdeOp* a, const PdeOp* b) { return a->setAt < b->setAt; });
    for (const PdeOp* op : ops) writeOp(out, *op, source);
}

void PdeWriter::writeOp(std::string& out, const PdeOp& op, const PdeSource& source) {
    const NamedOperand* named = nullptr;
    for (const NamedOperand& n : kNamedOperands)
        if (op.op == n.op) named = &n;
    const int count = static_cast<int>(op.operands.size());
    const int namedIndex = named ? (named->index < 0 ? count - 1 : named->index) : -1;
    for (int i = 0; i < count; ++i) {
        QPDFObjectHandle operand = op.operands[static_cast<size_t>(i)];
        if (i == namedIndex && operand.isName() &&
            !(std::string(named->category) == "/ColorSpace" && isDeviceSpaceName(operand.getName())))
            out += QPDFObjectHandle::newName(mapName(named->category, operand.getName(), source)).unparse();
        else
            out += operand.unparse();
        out += ' ';
    }
    out += op.op;
    out += '\n';
}

std::string PdeWriter::mapName(const char* category, const std::string& name, const PdeSource& source) {
    QPDFObjectHandle value;
    value = pdeKey(source.resources, category, name);
    if (value.isNull()) return name;  // nothing to carry over: the name stays as it was read
    return resourceName(category, name, value, source);
}

QPDFObjectHandle PdeWriter::import(QPDFObjectHandle value, uint32_t sourceSerial) {
    if (sourceSerial == 0 || sourceSerial == mTarget.serial()) return value;
    if (!documentOf(reinterpret_cast<CosDoc>(static_cast<uintptr_t>(sourceSerial))))
        raise(kHostErrBadHandle, "the document that page content was read from was closed");
    return cos::copyInto(mTarget.qpdf(), value);
}

std::string PdeWriter::resourceName(const char* category, const std::string& original, QPDFObjectHandle value,
                                    const PdeSource& source) {
    QPDFObjectHandle target = import(value, source.serial);
    QPDFObjectHandle names = mResources.getKey(category);
    std::string name = original.empty() ? "/Im" : original;
    for (int k = 0;; ++k) {
        const std::string candidate = k == 0 ? name : name + "_" + std::to_string(k);
        QPDFObjectHandle existing = names.isDictionary() ? names.getKey(candidate) : QPDFObjectHandle::newNull();
        if (!existing.isNull() && sameObject(existing, target)) return candidate;
        if (!existing.isNull()) continue;
        // Add it, to copies of the dictionaries so that no other page's resources change.
        if (!mChanged) {
            mResources = mResources.shallowCopy();
            mChanged = true;
        }
        if (!mCopiedCategories.count(category)) {
            names = names.isDictionary() ? names.shallowCopy() : QPDFObjectHandle::newDictionary();
            mResources.replaceKey(category, names);
            mCopiedCategories.insert(category);
        }
        names.replaceKey(candidate, target);
        return candidate;
    }
}

void PdeWriter::rewriteForm(QPDFObjectHandle stream, PdeContent& content) {
    if (!stream.isStream() || !stream.isIndirect() || mRewritten.count(stream.getObjGen())) return;
    mRewritten.insert(stream.getObjGen());
    PdeWriter inner(mTarget, stream.getDict().getKey("/Resources"));
    inner.mRewritten = mRewritten;
    inner.mDepth = mDepth + 1;
    const std::string data = inner.write(content);
    stream.replaceStreamData(data, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
    if (inner.resourcesChanged()) stream.getDict().replaceKey("/Resources", inner.resources());
    mRewritten.insert(inner.mRewritten.begin(), inner.mRewritten.end());
}

// --- element bodies

void PdePath::writeBody(std::string& out, PdeWriter&) const {
    for (const Segment& s : segments) {
        for (double v : s.v) out += PdeWriter::number(v) + " ";
        out += s.op == 'r' ? std::string("re") : std::string(1, s.op);
        out += '\n';
    }
    out += paint + "\n";
}

void PdePath::writeTransformed(std::string& out) const {
    auto point = [&](double x, double y) {
        auto [px, py] = ctm.apply(x, y);
        out += PdeWriter::number(px) + " " + PdeWriter::number(py) + " ";
    };
    for (const Segment& s : segments) {
        if (s.op == 'r' && s.v.size() == 4) {
            const double x = s.v[0], y = s.v[1], w = s.v[2], h = s.v[3];
            point(x, y), out += "m\n";
            point(x + w, y), out += "l\n";
            point(x + w, y + h), out += "l\n";
            point(x, y + h), out += "l\nh\n";
            continue;
        }
        for (size_t i = 0; i + 1 < s.v.size(); i += 2) point(s.v[i], s.v[i + 1]);
        out += std::string(1, s.op) + "\n";
    }
    out += paint + "\n";
}

void PdeClip::write(std::string& out, PdeWriter& writer) const {
    for (const auto& element : elements) {
        if (auto path = std::dynamic_pointer_cast<PdePath>(element))
            path->writeTransformed(out);
        else if (auto text = std::dynamic_pointer_cast<PdeText>(element))
            text->writeClip(out, writer);
        else if (auto nested = std::dynamic_pointer_cast<PdeClip>(element))
            nested->write(out, writer);
    }
}

void PdeText::writeBody(std::string& out, PdeWriter& writer) const {
    out += "BT\n";
    for (const PdeOp& op : ops) {
        if (op.image) op.image->writeBody(out, writer);
        else writer.writeOp(out, op, source);
    }
    out += "ET\n";
}

void PdeText::writeClip(std::string& out, PdeWriter& writer) const {
    // Glyphs shown in the clipping modes (4 to 7) clip, invisibly (7); the others
    // are shown invisibly (3) so that the glyphs after them stay where they were.
    // The CTM is folded into the text matrices (every positioning operator
    // composes on the left of them), so no cm has to be undone after ET.
    auto mode = [](const PdeOp* tr) {
        const bool clips = tr && !tr->operands.empty() && tr->operands[0].isInteger() &&
                           tr->operands[0].getIntValue() >= 4 && tr->operands[0].getIntValue() <= 7;
        return std::string(clips ? "7" : "3") + " Tr\n";
    };
    auto matrix = [&](const PdeMatrix& m) {
        for (double v : {m.a, m.b, m.c, m.d, m.e, m.f}) out += PdeWriter::number(v) + " ";
        out += "Tm\n";
    };
    static const std::set<std::string> kept = {"Tc", "Tw", "Tz", "TL", "Tf", "Ts", "Td", "TD", "T*", "Tj", "TJ", "'", "\""};
    // The mode and the matrix at BT are written unless the text sets them before
    // it uses them, so that a clip read back from what is written is written the same.
    auto setFirst = [&](const char* setter, std::initializer_list<const char*> users) {
        for (const PdeOp& op : ops) {
            if (op.op == setter)  // a Tm that is not a matrix is not written
                return op.op != "Tm" || PdeMatrix::fromArray(QPDFObjectHandle::newArray(op.operands)).has_value();
            for (const char* user : users)
                if (op.op == user) return false;
        }
        return false;
    };
    out += "BT\n";
    for (const char* slot : {"Tc", "Tw", "Tz", "TL", "Tf", "Ts"}) {
        auto it = gstate.slots.find(slot);
        if (it != gstate.slots.end()) writer.writeOp(out, it->second, source);
    }
    auto tr = gstate.slots.find("Tr");
    if (!setFirst("Tr", {"Tj", "TJ", "'", "\""})) out += mode(tr == gstate.slots.end() ? nullptr : &tr->second);
    if (!setFirst("Tm", {"Td", "TD", "T*", "Tj", "TJ", "'", "\""})) matrix(ctm);
    for (const PdeOp& op : ops) {
        if (op.op == "Tr") {
            out += mode(&op);
        } else if (op.op == "Tm") {
            std::optional<PdeMatrix> m = op.operands.size() == 6 ? PdeMatrix::fromArray(QPDFObjectHandle::newArray(op.operands))
                                                                 : std::nullopt;
            if (m) matrix(m->then(ctm));
        } else if (kept.count(op.op)) {
            writer.writeOp(out, op, source);
        }
    }
    out += "ET\n";
}

void PdeRaw::writeBody(std::string& out, PdeWriter& writer) const {
    for (const PdeOp& op : ops) writer.writeOp(out, op, source);
}

void PdeImage::writeBody(std::string& out, PdeWriter& writer) const {
    if (xobject.isStream()) {
        out += QPDFObjectHandle::newName(writer.resourceName("/XObject", name, xobject, source)).unparse();
        out += " Do\n";
        return;
    }
    out += "BI\n";
    if (inlineDict.isDictionary()) {
        for (auto& [key, value] : inlineDict.ditems()) {
            out += key + " ";
            if (key == "/CS" || key == "/ColorSpace") {
                if (value.isName() && !isDeviceSpaceName(value.getName())) {
                    out += QPDFObjectHandle::newName(writer.mapName("/ColorSpace", value.getName(), source)).unparse();
                    out += "\n";
                    continue;
                }
            }
            out += value.unparse() + "\n";
        }
    }
    out += "ID ";
    out += inlineData;
    if (inlineData.empty() || !std::isspace(static_cast<unsigned char>(inlineData.back()))) out += "\n";
    out += "EI\n";
}

void PdeForm::writeBody(std::string& out, PdeWriter& writer) const {
    const std::string written = writer.resourceName("/XObject", name, xobject, source);
    if (mContent && mContent->modifiedDeep()) {
        QPDFObjectHandle target = pdeKey(writer.resources(), "/XObject", written);
        writer.rewriteForm(target, *mContent);
    }
    out += QPDFObjectHandle::newName(written).unparse() + " Do\n";
}

void PdeContainer::writeBody(std::string& out, PdeWriter& writer) const {
    out += QPDFObjectHandle::newName("/" + tag).unparse() + " ";
    if (dict.isNull()) {
        out += "BMC\n";
    } else if (dictInline) {
        out += dict.unparse() + " BDC\n";
    } else {
        out += QPDFObjectHandle::newName(writer.resourceName("/Properties", propertiesName, dict, source)).unparse() +
               " BDC\n";
    }
    if (content)
        for (const auto& element : content->elements) writer.writeElement(out, *element);
    out += "EMC\n";
}

}  // namespace qmhost
