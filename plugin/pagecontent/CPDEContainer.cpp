#include "pagecontent/CPDEContainer.h"

#include "support/HostFrame.h"
#include "support/HostTables.h"

CPDEContainer::CPDEContainer(ASAtom tag, CosObj dict, bool isInline) { Create(tag, dict, isInline); }

void CPDEContainer::Create(ASAtom tag, CosObj dict, bool isInline) {
    TakeMade(CallHost([&] { return gPDFEditWriteHFT->containerCreate(tag, &dict, isInline); }));
}

PDEContent CPDEContainer::GetContent() {
    return CallHost([&] { return gPDFEditReadHFT->containerGetContent(mHandle); });
}

void CPDEContainer::SetContent(PDEContent content) {
    CallHost([&] { gPDFEditWriteHFT->containerSetContent(mHandle, content); });
}

int16_t CPDEContainer::GetDict(CosObj& dict, bool& isInline) {
    return CallHost([&]() -> int16_t { return gPDFEditReadHFT->containerGetDict(mHandle, &dict, &isInline) ? 1 : 0; });
}

void CPDEContainer::SetDict(CosObj dict, bool isInline) {
    CallHost([&] { gPDFEditWriteHFT->containerSetDict(mHandle, &dict, isInline); });
}

ASAtom CPDEContainer::GetMarkTag() { return CallHost([&] { return gPDFEditReadHFT->containerGetMCTag(mHandle); }); }

void CPDEContainer::SetMarkTag(ASAtom tag) {
    CallHost([&] { gPDFEditWriteHFT->containerSetMCTag(mHandle, tag); });
}
