// CPDFFormElement: placing the source page on a target page.
#include "engine/CPDFElementUndoData.h"
#include "engine/CPDFFormElement.h"
#include "engine/CPDFPlacement.h"
#include "engine/ElementPageWriter.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/cos/CASStream.h"
#include "support/cos/PDFAtoms.h"

using engine::Atom;

namespace {

CosObj FixedArray(CosDoc cosDoc, std::initializer_list<ASFixed> values) {
    const CosObj array = gCosHFT->newArray(cosDoc, false, static_cast<int32_t>(values.size()));
    int32_t i = 0;
    for (const ASFixed value : values) gCosHFT->arrayPut(array, i++, gCosHFT->newFixed(cosDoc, false, value));
    return array;
}

}  // namespace

bool CPDFFormElement::Write(int32_t pageIndex) {
    if (!mDocument || !mDocument->GetPDDoc() || !mPlacement) return false;
    const PDDoc source = mSourceDocument.GetPDDoc();
    if (!source) return false;
    const std::string* content = mPageContents.GetString(mSourcePage);
    // Nothing is added for a page that draws nothing or whose resources are
    // missing: no XObject, no entry, no piece.
    if (!content || content->empty()) return false;
    if (gCosHFT->objEqual(mCopiedResources, gCosHFT->newNull())) return false;
    return CElementPageWriter::Run(*this, pageIndex, [&](PDPage target) {
        engine::PageRef sourcePage(source, mSourcePage);
        return WritePage(pageIndex, target, sourcePage, *content);
    });
}

CosObj CPDFFormElement::FormFor(CosDoc cosDoc, const std::string& content, const ASFixedRect& box,
                                const ASFixedMatrix& sourceMatrix) {
    const auto found = mForms.find(cosDoc);
    if (found != mForms.end() && engine::IsLiveIn(found->second, cosDoc, CosStream)) return found->second;

    const CosObj attributes = gCosHFT->newDict(cosDoc, false, 8);
    gCosHFT->dictPut(attributes, gAtomType, gCosHFT->newName(cosDoc, false, gAtomXObject));
    gCosHFT->dictPut(attributes, gAtomSubtype, gCosHFT->newName(cosDoc, false, gAtomForm));
    gCosHFT->dictPut(attributes, gAtomFormType, gCosHFT->newInteger(cosDoc, false, 1));
    gCosHFT->dictPut(attributes, gAtomName, gCosHFT->newName(cosDoc, false, Atom(kFormName)));
    // The host's box order: left, top, right, bottom (a rectangle may name any
    // two opposite corners).
    gCosHFT->dictPut(attributes, gAtomBBox, FixedArray(cosDoc, {box.left, box.top, box.right, box.bottom}));
    // The page as displayed: its rotation applied, its lower-left corner at
    // the origin. Each page's piece places it from there.
    gCosHFT->dictPut(attributes, gAtomMatrix,
                     FixedArray(cosDoc, {sourceMatrix.a, sourceMatrix.b, sourceMatrix.c,
                                         sourceMatrix.d, sourceMatrix.h, sourceMatrix.v}));
    gCosHFT->dictPut(attributes, gAtomResources, ResourcesFor(cosDoc));

    CASStream bytes(gAppSupportHFT->memStmOpen(content.data(), static_cast<int64_t>(content.size())));
    const CosObj form = gCosHFT->newStream(cosDoc, true, bytes, 0, 1, attributes, gCosHFT->newNull(),
                                           static_cast<int64_t>(content.size()));
    mForms[cosDoc] = form;
    Record(kElementUndoNoPage, kElementUndoCosObj, form, kElementUndoNameCosObj, kElementUndoNameCosObj);
    return form;
}

bool CPDFFormElement::WritePage(int32_t pageIndex, PDPage target, PDPage source,
                                const std::string& content) {
    CElementPageWriter writer(*this, pageIndex, target, CElementPageWriter::NewDicts::kIndirect);
    const CosDoc cosDoc = writer.GetCosDoc();

    ASFixedRect box{};
    gPDModelHFT->pageGetBox(source, &box);
    ASFixedMatrix sourceMatrix{};
    gPDModelHFT->pageGetDefaultMatrix(source, &sourceMatrix);

    // The placement aligns the page as it is displayed: the box rotated by the
    // source's /Rotate, then scaled.
    ASFixedRect shown{};
    gAppSupportHFT->fixedMatrixTransformRect(&shown, &sourceMatrix, &box);
    ASFixedMatrix scale{};
    mPlacement->GetScaleMatrix(scale);
    gAppSupportHFT->fixedMatrixTransformRect(&mPlacement->mElementBox, &scale, &shown);
    mPlacement->SetPage(target);
    if (!mPlacement->Compute()) return false;
    const ASFixedMatrix placed = mPlacement->mMatrix;
    // Source user space to the target page: the source's own matrix first.
    ASFixedMatrix whole{};
    gAppSupportHFT->fixedMatrixConcat(&whole, &placed, &sourceMatrix);

    const CosObj form = FormFor(cosDoc, content, box, sourceMatrix);

    std::string formName;
    if (!writer.AddResource(kFormResource, form, formName)) return false;
    std::string gsName;
    if (!writer.AddResource(kStateResource, OpacityStateFor(cosDoc), gsName)) return false;

    std::string border;
    WriteLineOperators(border, box, whole, mLineWidth, mDashStyle, mLineRed, mLineGreen, mLineBlue,
                       kStrokeRect, gsName.c_str());
    // One form serves every page, so each page's piece carries the placement.
    std::string drawing = " q /RelativeColorimetric ri /" + gsName + " gs ";
    engine::AppendConcatOperator(drawing, placed);
    drawing += "/" + formName + " Do Q ";
    if (!writer.InsertPieces({drawing, border})) return false;

    if (mAction) {
        ASFixedRect link{};
        gAppSupportHFT->fixedMatrixTransformRect(&link, &whole, &box);
        if (!AddLinkAnnot(link, target)) return false;
    }
    return true;
}
