#include "pagecontent/CPDEColorSpace.h"

#include "support/HostFrame.h"
#include "support/HostTables.h"

CPDEColorSpace::CPDEColorSpace(ASAtom family, const void* data) { CreateFromName(family, data); }
CPDEColorSpace::CPDEColorSpace(CosObj space) { CreateFromCosObj(space); }
CPDEColorSpace::~CPDEColorSpace() = default;

void CPDEColorSpace::CreateFromName(ASAtom family, const void* data) {
    TakeMade(CallHost([&] {
        return data ? gPDFEditWriteHFT->colorSpaceCreate(family, data) : gPDFEditWriteHFT->colorSpaceCreateFromName(family);
    }));
}

void CPDEColorSpace::CreateFromCosObj(CosObj space) {
    TakeMade(CallHost([&] { return gPDFEditWriteHFT->colorSpaceCreateFromCosObj(&space); }));
}

ASAtom CPDEColorSpace::GetName() const { return CallHost([&] { return gPDFEditReadHFT->colorSpaceGetName(mHandle); }); }

void CPDEColorSpace::GetCosObj(CosDoc doc, CosObj& out) const {
    out = CosObj{0, 0};
    out = CallHost([&] { return gPDFEditReadHFT->colorSpaceGetCosObj(mHandle, doc); });
}

int32_t CPDEColorSpace::GetNumComps() const {
    return CallHost([&] { return gPDFEditReadHFT->colorSpaceGetNumComps(mHandle); });
}

ASAtom CPDEColorSpace::GetBase() const { return CallHost([&] { return gPDFEditReadHFT->colorSpaceGetBase(mHandle); }); }

int32_t CPDEColorSpace::GetHiVal() const {
    return CallHost([&] { return gPDFEditReadHFT->colorSpaceGetHiVal(mHandle); }) + 1;
}

int32_t CPDEColorSpace::GetLookup(uint8_t* buffer, int32_t capacity) const {
    return CallHost([&] { return gPDFEditReadHFT->colorSpaceGetLookup(mHandle, buffer, capacity); });
}

int32_t CPDEColorSpace::GetBaseNumComps() const {
    return CallHost([&] { return gPDFEditReadHFT->colorSpaceGetBaseNumComps(mHandle); });
}

bool CPDEColorSpace::IsIndexed() const {
    const ASAtom indexed = CallHost([] { return gCoreHFT->atomFromString("Indexed"); });
    return GetName() == indexed;
}
