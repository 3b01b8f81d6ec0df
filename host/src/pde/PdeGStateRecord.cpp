#include "pde/PdeGStateRecord.h"

#include <cstring>
#include <deque>
#include <mutex>
#include <unordered_map>

#include "core/AtomTable.h"
#include "pde/PdeWriter.h"
#include "support/FixedMath.h"

namespace qmhost {
namespace {

ASAtom atomOfName(QPDFObjectHandle name) {
    return name.isName() ? atoms().intern(name.getName().substr(1)) : kASAtomNull;
}

std::string nameOfAtom(ASAtom atom) {
    const char* text = atom == kASAtomNull ? nullptr : atoms().text(atom);
    return text ? std::string("/") + text : std::string();
}

ASFixed fixedOf(QPDFObjectHandle number) {
    return number.isNumber() ? fixedFromDouble(number.getNumericValue()) : 0;
}

QPDFObjectHandle real(ASFixed value) {
    return QPDFObjectHandle::newReal(PdeWriter::fixedNumber(value));
}

void colourOf(const PdeGState& state, const char* spaceSlot, const char* colourSlot, PDEColorValue& out) {
    out.space = kASAtomNull;
    auto colour = state.slots.find(colourSlot);
    auto space = state.slots.find(spaceSlot);
    if (space != state.slots.end() && !space->second.operands.empty()) out.space = atomOfName(space->second.operands[0]);
    if (colour == state.slots.end()) return;
    const std::string& op = colour->second.op;
    if (op == "g" || op == "G") out.space = atoms().intern("DeviceGray");
    if (op == "rg" || op == "RG") out.space = atoms().intern("DeviceRGB");
    if (op == "k" || op == "K") out.space = atoms().intern("DeviceCMYK");
    for (auto operand : colour->second.operands)
        if (operand.isNumber() && out.count < 8) out.values[out.count++] = fixedOf(operand);
}

void setColour(PdeGState& state, const char* spaceSlot, const char* colourSlot, bool stroke, const PDEColorValue& c) {
    state.slots.erase(spaceSlot);
    state.slots.erase(colourSlot);
    const std::string space = nameOfAtom(c.space);
    std::vector<QPDFObjectHandle> values;
    for (int i = 0; i < std::clamp(c.count, 0, 8); ++i) values.push_back(real(c.values[i]));
    std::string op;
    if (space == "/DeviceGray" && values.size() == 1) op = "g";
    else if (space == "/DeviceRGB" && values.size() == 3) op = "rg";
    else if (space == "/DeviceCMYK" && values.size() == 4) op = "k";
    if (!op.empty()) {
        if (stroke)
            for (char& ch : op) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        state.slots[colourSlot] = PdeOp{values, op};
        return;
    }
    if (space.empty()) return;
    state.slots[spaceSlot] = PdeOp{{QPDFObjectHandle::newName(space)}, stroke ? "CS" : "cs"};
    if (!values.empty()) state.slots[colourSlot] = PdeOp{values, stroke ? "SCN" : "scn"};
}

uint32_t checksum(const PDEGraphicState& record) {
    uint32_t hash = 2166136261u;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (size_t i = 0; i < offsetof(PDEGraphicState, snapshot); ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

// Exact states behind records handed out lately, so that a record that comes back
// unchanged restores what the record cannot show.
struct Snapshots {
    std::mutex lock;
    uint32_t next = 1;
    std::unordered_map<uint32_t, PdeGState> states;
    std::deque<uint32_t> order;
};

Snapshots& snapshots() {
    static Snapshots* s = new Snapshots;
    return *s;
}

constexpr size_t kMaxSnapshots = 4096;

}  // namespace

PDEGraphicState graphicStateRecord(const PdeGState& state) {
    PDEGraphicState record;
    std::memset(&record, 0, sizeof(record));
    record.renderingIntent = record.extGState = kASAtomNull;
    colourOf(state, "cs", "sc", record.fill);
    colourOf(state, "CS", "SC", record.stroke);
    if (record.fill.space != kASAtomNull) record.setFields |= kPDEGSFill;
    if (record.stroke.space != kASAtomNull) record.setFields |= kPDEGSStroke;
    auto first = [&](const char* slot, uint32_t flag) -> QPDFObjectHandle* {
        auto it = state.slots.find(slot);
        if (it == state.slots.end() || it->second.operands.empty()) return nullptr;
        record.setFields |= flag;
        return &it->second.operands[0];
    };
    if (auto v = first("w", kPDEGSLineWidth)) record.lineWidth = fixedOf(*v);
    if (auto v = first("J", kPDEGSLineCap)) record.lineCap = v->isInteger() ? static_cast<int32_t>(v->getIntValue()) : 0;
    if (auto v = first("j", kPDEGSLineJoin)) record.lineJoin = v->isInteger() ? static_cast<int32_t>(v->getIntValue()) : 0;
    if (auto v = first("M", kPDEGSMiterLimit)) record.miterLimit = fixedOf(*v);
    if (auto v = first("i", kPDEGSFlatness)) record.flatness = fixedOf(*v);
    if (auto v = first("ri", kPDEGSRenderingIntent)) record.renderingIntent = atomOfName(*v);
    if (auto v = first("d", kPDEGSDash)) {
        if (v->isArray())
            for (auto& item : v->aitems())
                if (record.dashCount < 10) record.dash[record.dashCount++] = fixedOf(item);
        auto it = state.slots.find("d");
        if (it->second.operands.size() > 1) record.dashPhase = fixedOf(it->second.operands[1]);
    }
    if (!state.extGStates.empty() && !state.extGStates.back().operands.empty()) {
        record.setFields |= kPDEGSExtGState;
        record.extGState = atomOfName(state.extGStates.back().operands[0]);
    }
    Snapshots& s = snapshots();
    std::lock_guard<std::mutex> guard(s.lock);
    record.snapshot = s.next++;
    if (s.next == 0) s.next = 1;
    s.states[record.snapshot] = state;
    s.order.push_back(record.snapshot);
    if (s.order.size() > kMaxSnapshots) {
        s.states.erase(s.order.front());
        s.order.pop_front();
    }
    record.check = checksum(record);
    return record;
}

PdeGState graphicStateFromRecord(const PDEGraphicState& record, const PdeGState& current) {
    {
        Snapshots& s = snapshots();
        std::lock_guard<std::mutex> guard(s.lock);
        auto it = s.states.find(record.snapshot);
        if (it != s.states.end() && record.check == checksum(record)) return it->second;
    }
    PdeGState state;
    for (const auto& [slot, op] : current.slots)  // the text state is not in the record
        if (slot.size() == 2 && slot[0] == 'T') state.slots[slot] = op;
    const uint32_t f = record.setFields;
    if (f & kPDEGSFill) setColour(state, "cs", "sc", false, record.fill);
    if (f & kPDEGSStroke) setColour(state, "CS", "SC", true, record.stroke);
    if (f & kPDEGSLineWidth) state.slots["w"] = PdeOp{{real(record.lineWidth)}, "w"};
    if (f & kPDEGSLineCap) state.slots["J"] = PdeOp{{QPDFObjectHandle::newInteger(std::clamp(record.lineCap, 0, 2))}, "J"};
    if (f & kPDEGSLineJoin) state.slots["j"] = PdeOp{{QPDFObjectHandle::newInteger(std::clamp(record.lineJoin, 0, 2))}, "j"};
    if (f & kPDEGSMiterLimit) state.slots["M"] = PdeOp{{real(record.miterLimit)}, "M"};
    if (f & kPDEGSFlatness) state.slots["i"] = PdeOp{{real(record.flatness)}, "i"};
    if ((f & kPDEGSRenderingIntent) && record.renderingIntent != kASAtomNull)
        state.slots["ri"] = PdeOp{{QPDFObjectHandle::newName(nameOfAtom(record.renderingIntent))}, "ri"};
    if (f & kPDEGSDash) {
        QPDFObjectHandle dash = QPDFObjectHandle::newArray();
        for (int i = 0; i < std::clamp(record.dashCount, 0, 10); ++i) dash.appendItem(real(record.dash[i]));
        state.slots["d"] = PdeOp{{dash, real(record.dashPhase)}, "d"};
    }
    if ((f & kPDEGSExtGState) && record.extGState != kASAtomNull)
        state.extGStates.push_back(PdeOp{{QPDFObjectHandle::newName(nameOfAtom(record.extGState))}, "gs"});
    return state;
}

}  // namespace qmhost
