// CPDFImageElement: placing the image on a page.
#include "engine/CPDFDocument.h"
#include "engine/CPDFImageElement.h"
#include "engine/CPDFPlacement.h"
#include "engine/ElementPageWriter.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/FixedPoint.h"

bool CPDFImageElement::Write(int32_t pageIndex) {
    if (!mDocument || !mDocument->GetPDDoc() || !mPlacement) return false;
    // An image that could not be made writes nothing, on every page.
    if (gCosHFT->objEqual(mImage, gCosHFT->newNull())) return false;
    return CElementPageWriter::Run(*this, pageIndex, [&](PDPage page) { return WritePage(pageIndex, page); });
}

bool CPDFImageElement::WritePage(int32_t pageIndex, PDPage page) {
    CElementPageWriter writer(*this, pageIndex, page, CElementPageWriter::NewDicts::kIndirect);
    const CosDoc cosDoc = writer.GetCosDoc();
    const CosObj image = ImageFor(cosDoc);
    if (gCosHFT->objEqual(image, gCosHFT->newNull())) return false;

    std::string imageName;
    if (!writer.AddResource(kImageResource, image, imageName)) return false;
    std::string gsName;
    if (!writer.AddResource(kStateResource, OpacityStateFor(cosDoc), gsName)) return false;

    // The placement's scale in single precision, as the stamp's size gives it.
    const float sx = static_cast<float>(mPlacement->GetScaleX());
    const float sy = static_cast<float>(mPlacement->GetScaleY());
    const double w = mImageWidth;
    const double h = mImageHeight;
    const ASFixedRect scaledBox{0, FixedFromDouble(h * sy), FixedFromDouble(w * sx), 0};
    const ASFixedRect pixelBox{0, FixedFromInt(mImageHeight), FixedFromInt(mImageWidth), 0};

    // The frame (border and link): pixel units mapped by the placement.
    mPlacement->SetPage(page);
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
    return writer.InsertPieces({drawing, border});
}
