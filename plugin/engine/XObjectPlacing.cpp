#include "engine/XObjectPlacing.h"

#include <algorithm>

#include "engine/EngineHostFrame.h"
#include "engine/PdfNumber.h"
#include "support/FixedPoint.h"
#include "support/cos/PDFAtoms.h"

namespace engine {
namespace {
// A /Parent chain longer than this is a loop in a damaged file.
constexpr int kMaxTreeDepth = 64;
}  // namespace

CosObj InheritedResources(CosObj pageDict, CosObj* outHolder) {
    CosObj node = pageDict;
    for (int depth = 0; depth < kMaxTreeDepth; ++depth) {
        const CosObj resources = gCosHFT->dictGet(node, gAtomResources);
        if (gCosHFT->objGetType(resources) == CosDict) {
            if (outHolder) *outHolder = node;
            return resources;
        }
        node = gCosHFT->dictGet(node, gAtomParent);
        if (gCosHFT->objGetType(node) != CosDict) break;
    }
    return CosObj{};
}

CosObj MakeOpacityState(CosDoc cosDoc, double fillOpacity, double strokeOpacity) {
    // PDF's opacities run from 0 to 1; a stored profile may ask for more or less.
    fillOpacity = std::clamp(fillOpacity, 0.0, 1.0);
    strokeOpacity = std::clamp(strokeOpacity, 0.0, 1.0);
    const CosObj gs = gCosHFT->newDict(cosDoc, true, 4);
    gCosHFT->dictPut(gs, gAtomType, gCosHFT->newName(cosDoc, false, gAtomExtGState));
    gCosHFT->dictPut(gs, Atom("TR2"), gCosHFT->newName(cosDoc, false, Atom("Default")));
    gCosHFT->dictPut(gs, gAtomca, gCosHFT->newFixed(cosDoc, false, FixedFromDouble(fillOpacity)));
    gCosHFT->dictPut(gs, gAtomCA, gCosHFT->newFixed(cosDoc, false, FixedFromDouble(strokeOpacity)));
    return gs;
}

bool IsLiveIn(CosObj obj, CosDoc cosDoc, int32_t type) {
    try {
        return gCosHFT->objGetType(obj) == type && gCosHFT->objGetDoc(obj) == cosDoc;
    } catch (const HostError&) {
        return false;
    }
}

void AppendConcatOperator(std::string& out, const ASFixedMatrix& matrix) {
    // The identity changes nothing that is drawn.
    if (matrix.a == kASFixedOne && matrix.b == 0 && matrix.c == 0 && matrix.d == kASFixedOne &&
        matrix.h == 0 && matrix.v == 0)
        return;
    for (const ASFixed value : {matrix.a, matrix.b, matrix.c, matrix.d, matrix.h, matrix.v})
        AppendPdfFixed(out, value);
    out += "cm ";
}

}  // namespace engine
