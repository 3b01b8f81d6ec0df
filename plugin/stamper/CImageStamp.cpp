#include "stamper/CImageStamp.h"

#include <cstddef>

#include "engine/CPDFDocument.h"
#include "engine/CPDFImageElement.h"
#include "engine/CPDFPlacement.h"
#include "qmhost/HostError.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampMessages.h"
#include "support/io/CASPathName.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/io/TFileSpecifier.h"
#include "support/TableMembers.h"

namespace {

// Whether the host's document table reaches the image conversion (an older
// host hands a shorter table).
bool HostOpensImages() {
    return TableHasMember(gPDModelHFT, &PDModelTable::docOpenImage);
}

}  // namespace

CImageStamp::CImageStamp() : CPDFPageStamp(kStampTypeImage) {}

CImageStamp::CImageStamp(ASCab inCab) : CPDFPageStamp(inCab) {}

CImageStamp::~CImageStamp() { mImageElement = nullptr; }

void CImageStamp::DeleteBuiltObjects() {
    mImageElement = nullptr;
    CPDFPageStamp::DeleteBuiltObjects();
}

bool CImageStamp::Build(PDDoc inDoc) {
    mImageElement = nullptr;
    if (GetHostVersion() >= kFirstImageDocumentVersion) return BuildFromSource(inDoc, kStrSourceFileMissing);
    return BuildImageElement(inDoc);
}

bool CImageStamp::OpenSource(CPDFDocument& inSource, const std::string& inPath) {
    if (!HostOpensImages()) return false;
    PDDoc doc = nullptr;
    try {
        const CASPathName path(inPath.c_str());
        doc = gPDModelHFT->docOpenImage(path);
    } catch (const HostError& error) {
        // The host's reason goes into the error buffer and into the stamp's
        // message: an image that cannot be converted (too large, cut, not an
        // image at all) is no locked or encrypted document, so the message
        // names the image and says what is wrong with it.
        TakeHostError(error);
        SetMessage(kStrImageFailed, inPath.c_str());
        AppendToMessage(error.what());
        return false;
    }
    return doc && inSource.Attach(doc, true);
}

int32_t CImageStamp::SourcePageNumber() const { return 1; }

bool CImageStamp::BuildImageElement(PDDoc inDoc) {
    mImageElement = MakeElement<CPDFImageElement>();
    return BuildKind(inDoc, [&] {
        SetMessage(kStrImageFileMissing, "");
        LoadImageFile();
        return true;
    });
}

void CImageStamp::LoadImageFile() {
    const std::string path = CabText(kKeySourceFile);
    SetMessage(kStrImageFileMissing, path.c_str());
    if (!PathExists(path.c_str(), kPathExistsAny)) throw Stop{};
    const double scale = CabInt(kKeySourceSize, kDefaultSourceSize) / 100.0;
    GetPlacement()->SetScale(scale, scale);
    mImageElement->SetImageFile(TFileSpecifier(path.c_str()));
    if (!mImageElement->LoadImage()) {
        SetMessage(kStrImageFailed, path.c_str());
        throw Stop{};
    }
}
