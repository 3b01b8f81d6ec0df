#include "engine/CPDFElement.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFElementUndoReplace.h"
#include "engine/EngineHostFrame.h"
#include "engine/PdfNumber.h"
#include "engine/XObjectPlacing.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/ResourceStrings.h"

using engine::HostFrame;

CPDFElement::CPDFElement() = default;

CPDFElement::~CPDFElement() = default;

bool CPDFElement::Write(int32_t) { return true; }

void CPDFElement::SetUnderlay(bool underlay) {
    mContentPosition = underlay ? kContentFront : kContentEnd;
}

void CPDFElement::SetLineColor(int32_t red, int32_t green, int32_t blue) {
    mLineRed = red / 255.0;
    mLineGreen = green / 255.0;
    mLineBlue = blue / 255.0;
}

void CPDFElement::SetLineWidth(double width) {
    if (width > 0) mLineWidth = width;
}

void CPDFElement::SetDashStyle(int32_t style) {
    if (style >= 0 && style <= 5) mDashStyle = style;
}

void CPDFElement::SetOpacity(double opacity) {
    SetFillOpacity(opacity);
    SetStrokeOpacity(opacity);
}

void CPDFElement::GetLineColor(double& red, double& green, double& blue) const {
    red = mLineRed;
    green = mLineGreen;
    blue = mLineBlue;
}

void CPDFElement::Record(int32_t pageIndex, int32_t kind, CosObj object, const char* resourceName,
                         const char* name) const {
    if (!mRecordUndo || !mDocument) return;
    const AVDoc view = mDocument->GetAVDoc();
    // A document without a view keeps no undo records (preview, batch).
    if (!view) return;
    CPDFElementUndoController::RecordElementAdded(view, pageIndex, kind, object, resourceName, name);
}

void CPDFElement::RecordReplaced(CosObj holder, ASAtom key, CosObj before, CosObj after) const {
    if (!mRecordUndo || !mDocument) return;
    const AVDoc view = mDocument->GetAVDoc();
    if (!view) return;
    // A direct value that was replaced (a damaged entry that is no dictionary)
    // is held by nothing any more, and the host lets go of such handles when
    // the page's write is done: undo could then not put it back. An indirect
    // array that nothing refers to holds it for the record; it is not saved.
    if (gCosHFT->objGetType(before) != CosNull && !gCosHFT->objIsIndirect(before)) {
        const CosObj keeper = gCosHFT->newArray(gCosHFT->objGetDoc(before), true, 1);
        gCosHFT->arrayPut(keeper, 0, before);
    }
    auto* record = new (std::nothrow)
        CPDFElementUndoReplace(view, kElementUndoNoPage, holder, key, before, after);
    if (!record) ThrowErrorCode(kErrCosObject);
    CPDFElementUndoController::AddElementUndoRecord(view, record);
}

void CPDFElement::SetErrorText(const char* text) {
    if (!text) text = "";
    const size_t length = std::strlen(text);
    mErrorText.assign(text, Utf8Prefix(text, length, kErrorTextCapacity));
}

void CPDFElement::TakeErrorText() { SetErrorText(GetErrorMessage()); }

bool CPDFElement::MakeResourceName(std::string& outName, const char* prefix, CosObj dict) {
    outName.clear();
    mExhaustedNamePrefix.clear();
    bool found = false;
    const bool asked = HostFrame([&] {
        if (gCosHFT->objGetType(dict) == CosNull) return;
        std::pair<uint64_t, std::string> key{CPageResources::Identity(dict), prefix};
        const auto known = mTakenBelow.find(key);
        const int32_t start = known == mTakenBelow.end() ? 0 : known->second;
        // Only a dictionary where some name was found taken is remembered: the
        // usual one (a page's own, a new one) has its first name free, and
        // remembering 0 would cost an entry per page for nothing.
        const auto remember = [&](int32_t takenBelow) {
            if (known != mTakenBelow.end())
                known->second = takenBelow;
            else if (takenBelow > 0)
                mTakenBelow.emplace(std::move(key), takenBelow);
        };
        for (int32_t n = start; n < kResourceNameLimit; ++n) {
            outName = prefix;
            AppendPdfInt(outName, n);
            // The atom must be made: a key read from the file has no atom
            // until someone asks for one. An entry whose value is null is no
            // entry, for dictKnown as for dictGet.
            if (!gCosHFT->dictKnown(dict, engine::Atom(outName.c_str()))) {
                remember(n);
                found = true;
                return;
            }
        }
        remember(kResourceNameLimit);
        mExhaustedNamePrefix = prefix;
    });
    return asked && found;
}

CosObj CPDFElement::OpacityStateFor(CosDoc cosDoc) {
    const auto key = std::make_tuple(cosDoc, mFillOpacity, mStrokeOpacity);
    const auto found = mOpacityStates.find(key);
    if (found != mOpacityStates.end() && engine::IsLiveIn(found->second, cosDoc, CosDict))
        return found->second;
    const CosObj state = engine::MakeOpacityState(cosDoc, mFillOpacity, mStrokeOpacity);
    mOpacityStates[key] = state;
    return state;
}

void CPDFElement::AppendColor(std::string& out, double red, double green, double blue, bool fill) {
    if (red == green && green == blue) {
        AppendPdfShortReal(out, red, 2, fill ? " g " : " G ");
        return;
    }
    AppendPdfShortReal(out, red, 2, " ");
    AppendPdfShortReal(out, green, 2, " ");
    AppendPdfShortReal(out, blue, 2, fill ? " rg " : " RG ");
}

void CPDFElement::AppendDash(std::string& out, int32_t style, double width) {
    // The unit is the width truncated to whole points, at least 1 (a hairline
    // still gets visible gaps). Clamped before the cast: a huge width is no
    // reason for undefined behaviour.
    const int64_t w = std::max<int64_t>(1, static_cast<int64_t>(std::clamp(width, 0.0, 1e6)));
    auto pattern = [&](std::initializer_list<int64_t> values) {
        out += "[";
        bool first = true;
        for (const int64_t value : values) {
            if (!first) out += " ";
            AppendPdfInt(out, value);
            first = false;
        }
        out += "]0 d ";
    };
    switch (style) {
        case 1: pattern({3 * w}); break;
        case 2: pattern({w}); break;
        case 3: pattern({3 * w, w, w, w}); break;
        case 4: pattern({3 * w, w, w, w, w, w}); break;
        default: break;  // 0 and 5: solid
    }
}

bool CPDFElement::WriteLineOperators(std::string& out, const ASFixedRect& rect,
                                     const ASFixedMatrix& matrix, double width, int32_t dashStyle,
                                     double red, double green, double blue, int32_t mode,
                                     const char* gsName) const {
    out.clear();
    if (!(width > 0)) return false;
    std::string ops;
    const bool written = HostFrame([&] {
        ops += " q ";
        AppendColor(ops, red, green, blue, mode == kFillRect);
        AppendPdfShortReal(ops, width, 6, " w ");
        AppendDash(ops, dashStyle, width);
        ops += "/";
        ops += gsName ? gsName : "";
        ops += " gs ";
        const ASFixedPoint corners[4] = {{rect.left, rect.bottom},
                                         {rect.right, rect.bottom},
                                         {rect.right, rect.top},
                                         {rect.left, rect.top}};
        ASFixedPoint mapped[4];
        for (int i = 0; i < 4; ++i)
            gAppSupportHFT->fixedMatrixTransform(&mapped[i], &matrix, &corners[i]);
        auto point = [&](const ASFixedPoint& p, const char* op) {
            AppendPdfFixed(ops, p.h);
            AppendPdfFixed(ops, p.v);
            ops += op;
        };
        if (mode == kStrokeTopEdge) {
            point(mapped[3], "m ");
            point(mapped[2], "l ");
        } else {
            point(mapped[0], "m ");
            point(mapped[1], "l ");
            point(mapped[2], "l ");
            point(mapped[3], "l ");
            ops += "h ";
        }
        ops += mode == kFillRect ? "f " : "S ";
        ops += "Q ";
    });
    if (!written) return false;
    out = std::move(ops);
    return true;
}
