#include "stamper/PreviewRun.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "stamper/CCabinet.h"
#include "stamper/CStamp.h"
#include "stamper/RunProgress.h"
#include "stamper/StampKeys.h"
#include "stamper/StampKinds.h"
#include "support/CallbackGuard.h"
#include "support/CPDPageHolder.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

// Builds the stamp for the preview and writes it onto page 0 when its page
// set holds the previewed page. False when it does not build or write.
bool PreviewStamp(CStamp& ioStamp, PDDoc inPreviewDoc, bool inUsePageSelection, int32_t inPageCount,
                  int32_t inPageNumber) {
    ioStamp.SetNoLog(true);
    ioStamp.SetInteractive(false);
    ioStamp.SetUsePageSelection(inUsePageSelection);
    ioStamp.SetPageCount(inPageCount);
    bool result = ioStamp.Build(inPreviewDoc);
    // The page written is page 0; the variables show the page previewed.
    if (ioStamp.IsBuilt() && ioStamp.IsPageInRange(inPageNumber - 1))
        result = ioStamp.ApplyToPage(inPreviewDoc, 0, inPageNumber - 1) && result;
    return result;
}

}  // namespace

bool ApplyProfileToPreview(CProfileFile& ioProfile, PDDoc inPreviewDoc, bool inUsePageSelection,
                           int32_t inPageCount, int32_t inPageNumber) {
    ClearErrorMessage();
    bool result = true;
    return TrapOr(false, [&] {
        CCabinet profile;
        if (!profile.ReadFromFile(ioProfile)) return false;
        const int32_t count =
            CallHost([&] { return gASExtraHFT->cabGetInt(profile.GetCab(), kKeyNumberOfStamps, 0); });
        RunProgressScope progress(GetWaitCursor(), std::max(count, 0));
        for (int32_t i = 0; i < count; ++i) {
            ProgressAdvance(1);
            const std::string key = StampCabinetKey(i);
            const ASCab stampCab = CallHost([&] { return gASExtraHFT->cabGetCab(profile.GetCab(), key.c_str()); });
            if (!stampCab) {
                SetErrorMessage(MissingStampMessage(ioProfile.GetProfileName(), key));
                return false;
            }
            const std::unique_ptr<CStamp> stamp = MakeStampForCabinet(stampCab);
            if (stamp && !PreviewStamp(*stamp, inPreviewDoc, inUsePageSelection, inPageCount, inPageNumber))
                result = false;
        }
        return result;
    });
}

double FitPageInRect(PDDoc inDoc, int32_t inPageIndex, PreviewRect& ioRect) {
    double zoom = 20.0;
    if (!gPDModelHFT || !gAppSupportHFT) return zoom;
    try {
        CPDPageHolder page(inDoc, inPageIndex);
        ASFixedRect shown{0, 0, 0, 0};
        CallHost([&] {
            ASFixedRect box;
            ASFixedMatrix matrix;
            gPDModelHFT->pageGetBox(page, &box);
            gPDModelHFT->pageGetDefaultMatrix(page, &matrix);
            gAppSupportHFT->fixedMatrixTransformRect(&shown, &matrix, &box);
        });
        const double w = std::abs(double(ioRect.right) - ioRect.left);
        const double h = std::abs(double(ioRect.top) - ioRect.bottom);
        const double pw = std::abs(double(shown.right) - shown.left) / 65536.0;
        const double ph = std::abs(double(shown.top) - shown.bottom) / 65536.0;
        if (!(pw > 0.0) || !(ph > 0.0)) return zoom;
        const double s = std::min(w / pw, h / ph);
        ioRect = PreviewRect{static_cast<int32_t>((w - pw * s) / 2), static_cast<int32_t>((h - ph * s) / 2),
                             static_cast<int32_t>(pw * s), static_cast<int32_t>(ph * s)};
        zoom = s * 100.0;
    } catch (ErrorCode) {
        // The zoom reached so far; the page holder has given the page back.
    }
    return zoom;
}
