#include "pde/PdeTextMeasure.h"

#include "pde/FontRegistry.h"
#include "pde/StandardFonts.h"

namespace qmhost {
namespace {

double numberOf(QPDFObjectHandle object, double fallback = 0) {
    return object.isNumber() ? object.getNumericValue() : fallback;
}

}  // namespace

PdeTextMeasure::PdeTextMeasure(const PdeMatrix& ctm, QPDFObjectHandle resources)
    : mCtm(ctm), mResources(std::move(resources)) {}

void PdeTextMeasure::setState(const PdeGState& state) {
    for (const auto& [slot, op] : state.slots)
        if (slot.size() == 2 && slot[0] == 'T') operate(op.op, op.operands);
}

// A standard font named without /Widths is measured with the host's own metrics
// for it; without them installed the default width stays.
void PdeTextMeasure::standardMetrics(const std::string& name, Font& font) {
    try {
        auto standard = cachedFont("standard:" + name, [&](QPDF& doc) { return makeStandardFont(name, doc); });
        font.firstChar = 0;
        font.widths.clear();
        for (unsigned code = 0; code < 256; ++code) font.widths.push_back(standard->widthOfCode(code));
        font.ascent = standard->ascent();
        font.descent = standard->descent();
    } catch (const std::exception&) {
    }
}

const PdeTextMeasure::Font& PdeTextMeasure::font(const std::string& name) {
    auto found = mFonts.find(name);
    if (found != mFonts.end()) return found->second;
    Font made;
    QPDFObjectHandle dict =
        pdeKey(mResources, "/Font", name);
    mFontMissing = !dict.isDictionary();
    if (dict.isDictionary()) {
        QPDFObjectHandle descriptor = dict.getKey("/FontDescriptor");
        if (dict.getKey("/Subtype").isName() && dict.getKey("/Subtype").getName() == "/Type0") {
            made.twoByte = true;
            QPDFObjectHandle fonts = dict.getKey("/DescendantFonts");
            QPDFObjectHandle descendant = fonts.isArray() && fonts.getArrayNItems() > 0 ? fonts.getArrayItem(0) : QPDFObjectHandle::newNull();
            made.missingWidth = numberOf(pdeKey(descendant, "/DW"), 1000);
            descriptor = pdeKey(descendant, "/FontDescriptor");
            QPDFObjectHandle w = pdeKey(descendant, "/W");
            const int n = w.isArray() ? w.getArrayNItems() : 0;
            for (int i = 0; i + 1 < n && made.cidWidths.size() < 65536;) {
                const int first = static_cast<int>(numberOf(w.getArrayItem(i)));
                QPDFObjectHandle next = w.getArrayItem(i + 1);
                if (next.isArray()) {
                    for (int k = 0; k < next.getArrayNItems(); ++k) made.cidWidths[first + k] = numberOf(next.getArrayItem(k));
                    i += 2;
                } else if (i + 2 < n) {
                    const int last = std::min(static_cast<int>(numberOf(next)), first + 65535);
                    for (int c = first; c <= last; ++c) made.cidWidths[c] = numberOf(w.getArrayItem(i + 2));
                    i += 3;
                } else {
                    break;
                }
            }
        } else {
            made.firstChar = static_cast<int>(numberOf(dict.getKey("/FirstChar")));
            QPDFObjectHandle widths = dict.getKey("/Widths");
            if (widths.isArray())
                for (auto& item : widths.aitems()) made.widths.push_back(numberOf(item));
            made.missingWidth = numberOf(pdeKey(descriptor, "/MissingWidth"), made.widths.empty() ? 500 : 0);
            QPDFObjectHandle base = dict.getKey("/BaseFont");
            if (made.widths.empty() && base.isName() && isStandardFontName(base.getName().substr(1)))
                standardMetrics(base.getName().substr(1), made);
        }
        if (descriptor.isDictionary()) {
            made.ascent = numberOf(pdeKey(descriptor, "/Ascent"), made.ascent);
            made.descent = numberOf(pdeKey(descriptor, "/Descent"), made.descent);
        }
    }
    return mFonts.emplace(name, std::move(made)).first->second;
}

void PdeTextMeasure::nextLine(double tx, double ty) {
    mTlm = PdeMatrix{1, 0, 0, 1, tx, ty}.then(mTlm);
    mTm = mTlm;
}

void PdeTextMeasure::show(const std::string& codes) {
    static const Font kDefault;
    const Font& f = mFont ? *mFont : kDefault;
    const size_t step = f.twoByte ? 2 : 1;
    double advance = 0;
    for (size_t i = 0; i + step <= codes.size(); i += step) {
        const int code = f.twoByte ? (static_cast<unsigned char>(codes[i]) << 8) | static_cast<unsigned char>(codes[i + 1])
                                   : static_cast<unsigned char>(codes[i]);
        double width = f.missingWidth;
        if (f.twoByte) {
            auto it = f.cidWidths.find(code);
            if (it != f.cidWidths.end()) width = it->second;
        } else if (code >= f.firstChar && static_cast<size_t>(code - f.firstChar) < f.widths.size()) {
            width = f.widths[static_cast<size_t>(code - f.firstChar)];
        }
        advance += (width / 1000.0 * mSize + mCharSpacing + (!f.twoByte && code == 32 ? mWordSpacing : 0)) * mScale;
    }
    const PdeMatrix toUser = mTm.then(mCtm);
    const double low = f.descent / 1000.0 * mSize + mRise, high = f.ascent / 1000.0 * mSize + mRise;
    for (auto [x, y] : {std::pair{0.0, low}, {advance, low}, {advance, high}, {0.0, high}}) {
        auto [ux, uy] = toUser.apply(x, y);
        mBox.add(ux, uy);
    }
    mTm = PdeMatrix{1, 0, 0, 1, advance, 0}.then(mTm);
}

void PdeTextMeasure::operate(const std::string& op, std::vector<QPDFObjectHandle> operands) {
    auto num = [&](size_t i) { return i < operands.size() ? numberOf(operands[i]) : 0.0; };
    if (op == "Tf" && operands.size() == 2) {
        mFont = operands[0].isName() ? &font(operands[0].getName()) : nullptr;
        mSize = num(1);
    } else if (op == "Tc") {
        mCharSpacing = num(0);
    } else if (op == "Tw") {
        mWordSpacing = num(0);
    } else if (op == "Tz") {
        mScale = num(0) / 100.0;
    } else if (op == "TL") {
        mLeading = num(0);
    } else if (op == "Ts") {
        mRise = num(0);
    } else if (op == "Td") {
        nextLine(num(0), num(1));
    } else if (op == "TD") {
        mLeading = -num(1);
        nextLine(num(0), num(1));
    } else if (op == "Tm" && operands.size() == 6) {
        mTlm = mTm = PdeMatrix{num(0), num(1), num(2), num(3), num(4), num(5)};
    } else if (op == "T*") {
        nextLine(0, -mLeading);
    } else if (op == "Tj" && !operands.empty() && operands[0].isString()) {
        show(operands[0].getStringValue());
    } else if (op == "'" && !operands.empty() && operands[0].isString()) {
        nextLine(0, -mLeading);
        show(operands[0].getStringValue());
    } else if (op == "\"" && operands.size() == 3 && operands[2].isString()) {
        mWordSpacing = num(0);
        mCharSpacing = num(1);
        nextLine(0, -mLeading);
        show(operands[2].getStringValue());
    } else if (op == "TJ" && !operands.empty() && operands[0].isArray()) {
        for (auto& item : operands[0].aitems()) {
            if (item.isString()) show(item.getStringValue());
            else if (item.isNumber()) mTm = PdeMatrix{1, 0, 0, 1, -item.getNumericValue() / 1000.0 * mSize * mScale, 0}.then(mTm);
        }
    }
}

}  // namespace qmhost
