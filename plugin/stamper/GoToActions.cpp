#include "stamper/GoToActions.h"

#include "engine/EngineHostFrame.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

const char* const kViewNames[] = {"XYZ", "XYZ", "FitH", "FitV", "Fit", "FitB", "FitR", "FitBH", "FitBV"};

ASAtom Atom(const char* inName) { return gCoreHFT->atomFromString(inName); }

}  // namespace

ASFixed GoToZoomFixed(int32_t inViewType, double inZoomPercent) {
    if (inViewType == 0) return kPDViewDestNullZoom;
    return FixedFromDouble(inZoomPercent / 100.0);
}

bool BuildGoToAction(PDDoc inDoc, CosObj inAction, int32_t inPageIndex, int32_t inViewType, double inZoomPercent,
                     const GoToRect& inRect) {
    if (inViewType < 0 || inViewType > 8) inViewType = 0;
    const ASFixed zoom = GoToZoomFixed(inViewType, inZoomPercent);
    return engine::HostFrame([&] {
        const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(inDoc);
        const bool anySet = inRect.left || inRect.top || inRect.right || inRect.bottom;
        auto number = [&](ASFixed inValue) {
            return anySet ? gCosHFT->newFixed(cosDoc, false, inValue) : gCosHFT->newNull();
        };
        const CosObj dest = gCosHFT->newArray(cosDoc, true, 2);
        int32_t at = 0;
        auto put = [&](CosObj inValue) { gCosHFT->arrayPut(dest, at++, inValue); };
        put(gCosHFT->newInteger(cosDoc, false, inPageIndex));
        put(gCosHFT->newName(cosDoc, false, Atom(kViewNames[inViewType])));
        switch (inViewType) {
            case 0: put(number(inRect.left)); put(number(inRect.top)); put(gCosHFT->newNull()); break;
            case 1:
                put(number(inRect.left));
                put(number(inRect.top));
                put(gCosHFT->newFixed(cosDoc, false, zoom));
                break;
            case 2:
            case 7: put(number(inRect.top)); break;
            case 3:
            case 8: put(number(inRect.left)); break;
            case 6:
                put(number(inRect.left));
                put(number(inRect.bottom));
                put(number(inRect.right));
                put(number(inRect.top));
                break;
            default: break;
        }
        const ASAtom d = Atom("D");
        if (gCosHFT->dictKnown(inAction, d)) gCosHFT->dictRemove(inAction, d);
        gCosHFT->dictPut(inAction, d, dest);
    });
}

bool BuildGoToRemoteAction(PDDoc inDoc, CosObj inAction, int32_t inPageIndex, int32_t inViewType,
                           double inZoomPercent, const GoToRect& inRect, CosObj inFileSpec) {
    if (!BuildGoToAction(inDoc, inAction, inPageIndex, inViewType, inZoomPercent, inRect)) return false;
    return engine::HostFrame([&] { gCosHFT->dictPut(inAction, Atom("F"), inFileSpec); });
}
