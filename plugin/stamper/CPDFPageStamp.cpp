#include "stamper/CPDFPageStamp.h"

#include "engine/CPDFDocument.h"
#include "engine/CPDFFormElement.h"
#include "engine/CPDFPlacement.h"
#include "stamper/StampKeys.h"
#include "stamper/StampMessages.h"
#include "support/ErrorMessage.h"
#include "support/io/FileSystemHelpers.h"

CPDFPageStamp::CPDFPageStamp() : CStamp(kStampTypePDFPage) {}

CPDFPageStamp::CPDFPageStamp(int32_t inType) : CStamp(inType) {}

CPDFPageStamp::CPDFPageStamp(ASCab inCab) : CStamp(inCab) {}

CPDFPageStamp::~CPDFPageStamp() { mFormElement = nullptr; }

void CPDFPageStamp::DeleteBuiltObjects() {
    mFormElement = nullptr;
    CStamp::DeleteBuiltObjects();
}

bool CPDFPageStamp::Build(PDDoc inDoc) { return BuildFromSource(inDoc, kStrSourceFileMissing); }

bool CPDFPageStamp::BuildFromSource(PDDoc inDoc, uint32_t inMissingMessage) {
    mFormElement = MakeElement<CPDFFormElement>();
    return BuildKind(inDoc, [&] {
        SetMessage(kStrCannotAddDocument);
        PlaceSource(inMissingMessage);
        return true;
    });
}

bool CPDFPageStamp::OpenSource(CPDFDocument& inSource, const std::string& inPath) {
    ClearErrorMessage();
    if (inSource.Open(inPath.c_str())) return true;
    // The message alone calls every such file locked or encrypted; the host's
    // reason (not a PDF, a folder, a password) follows it and says what is wrong.
    if (HasErrorMessage()) AppendToMessage(GetErrorMessage());
    return false;
}

int32_t CPDFPageStamp::SourcePageNumber() const { return CabInt(kKeySourcePage, kDefaultSourcePage); }

void CPDFPageStamp::PlaceSource(uint32_t inMissingMessage) {
    const std::string path = CabText(kKeySourceFile);
    if (!PathExists(path.c_str(), kPathExistsAny)) {
        SetMessage(inMissingMessage, path.c_str());
        throw Stop{};
    }
    CPDFDocument& source = mFormElement->GetSourceDocument();
    SetMessage(kStrCannotOpenSource, path.c_str());
    if (!OpenSource(source, path)) throw Stop{};
    if (source.CheckPermission() != 0) {
        SetMessage(kStrSourceNotModifiable);
        throw Stop{};
    }
    const std::string name = GetName();
    const int32_t pageNumber = SourcePageNumber();
    // Compared before 1 is taken away, so that no number can overflow.
    if (pageNumber < 1 || pageNumber > source.GetPageCount()) {
        SetMessage(kStrSourcePageMissing, name.c_str());
        throw Stop{};
    }
    const int32_t pageIndex = pageNumber - 1;
    mFormElement->SetSourcePage(pageIndex);
    const double scale = CabInt(kKeySourceSize, kDefaultSourceSize) / 100.0;
    GetPlacement()->SetScale(scale, scale);
    if (!mFormElement->ReadSourcePageContents(pageIndex)) {
        SetMessage(kStrSourcePageDamaged, name.c_str());
        throw Stop{};
    }
    if (!mFormElement->CopySourceResources()) {
        SetMessage(kStrPageResourcesDamaged, name.c_str());
        throw Stop{};
    }
}
