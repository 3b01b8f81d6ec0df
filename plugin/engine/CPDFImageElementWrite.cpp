// CPDFImageElement: placing the image on a page.
#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/CPDFImageElement.h"
#include "engine/CPDFPlacement.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/ErrorMessage.h"
#include "support/FixedPoint.h"
#include "support/cos/PDFAtoms.h"
#include "support/ResourceStrings.h"

using engine::HostFrame;

namespace {

// "本文档不能添加印章": the page cannot take the stamp.
constexpr uint32_t kStringCannotStamp = 212;

bool Refuse() {
    SetErrorMessage(LoadResString(kStringCannotStamp));
    return false;
}

}  // namespace

bool CPDFImageElement::Write(int32_t pageIndex) {
    if (!mDocument || !mDocument->GetPDDoc() || !mPlacement) return false;
    // An image that could not be made writes nothing, on every page.
    if (gCosHFT->objEqual(mImage, gCosHFT->newNull())) return false;
    bool written = false;
    const bool ranThrough = HostFrame([&] {
        engine::PageRef page(mDocument->GetPDDoc(), pageIndex, true);
        written = WritePage(pageIndex, page);
    });
    if (ranThrough && written) return true;
    TakeErrorText();
    return false;
}

bool CPDFImageElement::WritePage(int32_t pageIndex, PDPage page) {
    const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(mDocument->GetPDDoc());
    const CosObj pageDict = gPDModelHFT->pageGetCosObj(page);
    const CosObj image = ImageFor(cosDoc);
    if (gCosHFT->objEqual(image, gCosHFT->newNull())) return false;
    const CosObj resources = engine::EffectiveResources(cosDoc, pageDict);

    std::string imageName;
    if (!AddPageResource(pageIndex, page, resources, "XObject", "NxI", image, kElementUndoXObject,
                         kElementUndoNameImage, imageName))
        return Refuse();
    std::string gsName;
    if (!AddPageResource(pageIndex, page, resources, "ExtGState", "NxGS", OpacityStateFor(cosDoc),
                         kElementUndoExtGState, kElementUndoNameExtGState, gsName))
        return Refuse();

    // The placement's scale in single precision, as the stamp's size gives it.
    const float sx = static_cast<float>(mPlacement->GetScaleX());
    const float sy = static_cast<float>(mPlacement->GetScaleY());
    const double w = mImageWidth;
    const double h = mImageHeight;
    const ASFixedRect scaledBox{0, FixedFromDouble(h * sy), FixedFromDouble(w * sx), 0};
    const ASFixedRect pixelBox{0, FixedFromInt(mImageHeight), FixedFromInt(mImageWidth), 0};

    // The frame (border and link): pixel units mapped by the placement.
    mPlacement->mPage = page;
    mPlacement->mElementBox = scaledBox;
    if (!mPlacement->Compute()) return false;
    const ASFixedMatrix frame = mPlacement->mMatrix;
    mPlacement->mElementBox = pixelBox;
    std::string border;
    WriteLineOperators(border, pixelBox, frame, mLineWidth, mDashStyle, mLineRed, mLineGreen, mLineBlue,
                       kStrokeRect, gsName.c_str());
    if (mAction) {
        ASFixedRect link{};
        gAppSupportHFT->fixedMatrixTransformRect(&link, &frame, &pixelBox);
        if (!AddLinkAnnot(link, page)) return false;
    }

    // The image: the unit square scaled to the image's size in points.
    std::string drawing = " q /" + gsName + " gs ";
    mPlacement->mElementBox = scaledBox;
    mPlacement->SetScale(w * sx, h * sy);
    const bool computed = mPlacement->Compute();
    mPlacement->SetScale(sx, sy);
    if (!computed) return false;
    engine::AppendConcatOperator(drawing, mPlacement->mMatrix);
    drawing += "/" + imageName + " Do Q ";
    return engine::InsertDrawingAndBorder(*this, cosDoc, pageDict, drawing, border, mContentPosition);
}
