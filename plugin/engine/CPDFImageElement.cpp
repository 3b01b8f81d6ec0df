#include "engine/CPDFImageElement.h"

#include <memory>

#include "engine/CImageType.h"
#include "engine/CJPEGImageType.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/CPDFPlacement.h"
#include "engine/CTIFFImageType.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/CallbackGuard.h"
#include "support/io/CBridgeFileStream.h"
#include "support/ErrorMessage.h"
#include "support/FixedPoint.h"

using engine::HostFrame;

CPDFImageElement::CPDFImageElement() = default;

CPDFImageElement::~CPDFImageElement() = default;


void CPDFImageElement::SetImageFile(TFileSpecifier file) { mImageFile.SetPath(file.GetPath()); }

bool CPDFImageElement::LoadImage() {
    mImage = CosObj{};
    bool made = false;
    const bool ranThrough = HostFrame([&] {
        mImage = CreateImageXObject();
        made = !gCosHFT->objEqual(mImage, gCosHFT->newNull());
        if (!made) return;
        if (mDocument) mImages[gCosHFT->objGetDoc(mImage)] = mImage;
        Record(kElementUndoNoPage, kElementUndoCosObj, mImage, kElementUndoNameCosObj,
               kElementUndoNameCosObj);
    });
    if (!ranThrough) TakeErrorText();
    return ranThrough && made;
}

CosObj CPDFImageElement::CreateImageXObject() {
    CosObj result{};
    CBridgeFileStream stream(mImageFile);
    TrapFailure([&] {
        if (!mDocument || !mDocument->GetPDDoc()) return;
        std::unique_ptr<CImageType> type;
        switch (GetImageFileType(&stream)) {
            case kImageFileJPEG: type = std::make_unique<CJPEGImageType>(&stream); break;
            case kImageFileTIFF: type = std::make_unique<CTIFFImageType>(&stream); break;
            default: AlertOfFormatForNewerHosts(&stream); break;  // no image type for it: nothing is made
        }
        if (type) {
            result = type->MakeImageXObject(mDocument->GetPDDoc(), kImageFilterFlate, nullptr);
            mImageWidth = type->GetWidth();
            mImageHeight = type->GetHeight();
            if (mPlacement)
                mPlacement->mElementBox = {0, FixedFromInt(mImageHeight), FixedFromInt(mImageWidth), 0};
        }
    }, [&] {
        // Whatever went wrong (a damaged file, a layout the reader refuses, a
        // host error while storing the samples), the stamp reports it from here.
        SetErrorMessage(kCreateError);
    });
    stream.Close();
    return result;
}

CosObj CPDFImageElement::ImageFor(CosDoc cosDoc) {
    // A failed load is not tried again on every page.
    if (gCosHFT->objEqual(mImage, gCosHFT->newNull())) return CosObj{};
    const auto found = mImages.find(cosDoc);
    if (found != mImages.end()) {
        if (engine::IsLiveIn(found->second, cosDoc, CosStream)) return found->second;
        mImages.erase(found);
    }
    const CosObj image = CreateImageXObject();
    if (gCosHFT->objEqual(image, gCosHFT->newNull())) return image;
    mImages[cosDoc] = image;
    Record(kElementUndoNoPage, kElementUndoCosObj, image, kElementUndoNameCosObj, kElementUndoNameCosObj);
    return image;
}
