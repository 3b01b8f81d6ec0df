#include "pagecontent/CPDEClip.h"

#include "support/HostFrame.h"
#include "support/HostTables.h"

CPDEClip::CPDEClip() { Create(); }

void CPDEClip::Create() { TakeMade(CallHost([] { return gPDFEditWriteHFT->clipCreate(); })); }

int32_t CPDEClip::GetNumElems() const { return CallHost([&] { return gPDFEditReadHFT->clipGetNumElems(mHandle); }); }

void CPDEClip::AddElem(PDEElement element, int32_t index) {
    CallHost([&] { gPDFEditWriteHFT->clipAddElem(mHandle, index, element); });
}

void CPDEClip::RemoveElems(int32_t index, int32_t count) {
    const int32_t total = GetNumElems();
    if (count > total - index) count = total - index;  // no more than there are
    CallHost([&] { gPDFEditWriteHFT->clipRemoveElems(mHandle, index, count); });
}

PDEElement CPDEClip::GetElem(int32_t index) const {
    return CallHost([&] { return gPDFEditReadHFT->clipGetElem(mHandle, index); });
}
