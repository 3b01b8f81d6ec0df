#include "pde/PdeWriter.h"

#include <charconv>
#include <cmath>

#include "core/Raise.h"
#include "cos/CosCopy.h"

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
    if (!std::isfinite(value)) value = 0;
    if (std::fabs(value) < 5e-7) return "0";
    char text[64];
    auto result = std::to_chars(text, text + sizeof(text), value, std::chars_format::fixed, 6);
    std::string s(text, result.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

QPDFObjectHandle PdeWriter::resources() const { return mResources; }

std::string PdeWriter::write(const PdeContent& content) {
    std::string out;
    out.reserve(content.elements.size() * 64);
    for (const auto& element : content.elements) writeElement(out, *element);
    return out;
}

void PdeWriter::writeElement(std::string& out, const PdeElement& element) {
    if (element.type() == kPDEContainer) {  // draws nothing itself: its elements carry their state
        element.writeBody(out, *this);
        return;
    }
    out += "q\n";
    if (element.clip) element.clip->write(out);
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
    for (const char* slot : kSlotOrder) {
        auto it = state.slots.find(slot);
        if (it != state.slots.end()) writeOp(out, it->second, source);
    }
    for (const PdeOp& op : state.extGStates) writeOp(out, op, source);
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

void PdeClip::write(std::string& out) const {
    for (const auto& element : elements) {
        if (auto path = std::dynamic_pointer_cast<PdePath>(element))
            path->writeTransformed(out);
        else if (auto nested = std::dynamic_pointer_cast<PdeClip>(element))
            nested->write(out);
    }
}

void PdeText::writeBody(std::string& out, PdeWriter& writer) const {
    out += "BT\n";
    for (const PdeOp& op : ops) writer.writeOp(out, op, source);
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
