#include "pagecontent/CPDEImage.h"

#include "pagecontent/CPDEColorSpace.h"
#include "pagecontent/CVector2D.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

CPDEImage::CPDEImage(const PDEImageAttrs& attrs, const ASFixedMatrix& matrix, uint32_t flags,
                     PDEColorSpace colorSpace, const void* colorValue, const void* filters, ASStm dataStm,
                     const uint8_t* data, uint32_t length) {
    Create(attrs, matrix, flags, colorSpace, colorValue, filters, dataStm, data, length);
}

CPDEImage::CPDEImage(CosObj image, const ASFixedMatrix& matrix, PDEColorSpace colorSpace, const void* colorValue) {
    CreateFromCosObj(image, matrix, colorSpace, colorValue);
}

void CPDEImage::GetCosObj(CosObj& out) {
    out = CosObj{0, 0};
    out = CallHost([&] { return gPDFEditReadHFT->imageGetCosObj(mHandle); });
}

void CPDEImage::Create(const PDEImageAttrs& attrs, const ASFixedMatrix& matrix, uint32_t flags,
                       PDEColorSpace colorSpace, const void* colorValue, const void* filters, ASStm dataStm,
                       const uint8_t* data, uint32_t length) {
    TakeMade(CallHost([&] {
        return gPDFEditWriteHFT->imageCreate(&attrs, sizeof attrs, &matrix, flags, colorSpace, colorValue, filters,
                                             dataStm, data, length);
    }));
}

void CPDEImage::CreateFromCosObj(CosObj image, const ASFixedMatrix& matrix, PDEColorSpace colorSpace,
                                 const void* colorValue) {
    TakeMade(CallHost([&] { return gPDFEditWriteHFT->imageCreateFromCosObj(image, &matrix, colorSpace, colorValue); }));
}

int16_t CPDEImage::ImageQuery(int32_t question) {
    return static_cast<int16_t>(CallHost([&] { return gPDFEditReadHFT->imageQuery(mHandle, question); }));
}

int16_t CPDEImage::IsCosObj() {
    return CallHost([&]() -> int16_t { return gPDFEditReadHFT->imageIsCosObj(mHandle) ? 1 : 0; });
}

int32_t CPDEImage::GetComponentCount(bool ofBase) {
    PDEColorSpace space = GetColorSpace();
    if (!space) return 1;  // a stencil mask: one bit per sample
    CPDEColorSpace wrapper(space);
    return ofBase ? wrapper.GetBaseNumComps() : wrapper.GetNumComps();
}

int32_t CPDEImage::GetBitsPerComponent() {
    PDEImageAttrs attrs;
    return GetAttributes(attrs).bitsPerComponent;
}

int32_t CPDEImage::GetWidth() {
    PDEImageAttrs attrs;
    return GetAttributes(attrs).width;
}

int32_t CPDEImage::GetHeight() {
    PDEImageAttrs attrs;
    return GetAttributes(attrs).height;
}

double CPDEImage::PageExtent(double x, double y) {
    const CPDEMatrix m(GetMatrix());
    double x0 = 0, y0 = 0;
    m.TransformPoint(x0, y0);
    m.TransformPoint(x, y);
    return CVector2D(x0, y0, x, y).Length();
}

double CPDEImage::GetPageWidth() { return PageExtent(1, 0); }
double CPDEImage::GetPageHeight() { return PageExtent(0, 1); }

const PDEImageAttrs& CPDEImage::GetAttributes(PDEImageAttrs& out) {
    CallHost([&] { gPDFEditReadHFT->imageGetAttrs(mHandle, &mAttributes, sizeof mAttributes); });
    out = mAttributes;
    return out;
}

PDEColorSpace CPDEImage::GetColorSpace() {
    return CallHost([&] { return gPDFEditReadHFT->imageGetColorSpace(mHandle); });
}

void CPDEImage::GetData(uint8_t* buffer) { CallHost([&] { gPDFEditReadHFT->imageGetData(mHandle, 0, buffer); }); }

void CPDEImage::SetData(uint32_t flags, const uint8_t* data, uint32_t length) {
    CallHost([&] { gPDFEditWriteHFT->imageSetData(mHandle, flags, data, length); });
}

int32_t CPDEImage::GetDataLength() { return CallHost([&] { return gPDFEditReadHFT->imageGetDataLen(mHandle); }); }

ASStm CPDEImage::GetDataStream(bool decode) {
    return CallHost([&] { return gPDFEditReadHFT->imageGetDataStm(mHandle, decode); });
}

void CPDEImage::SetDataStream(uint32_t flags, const void* filters, ASStm stream) {
    CallHost([&] { gPDFEditWriteHFT->imageSetDataStm(mHandle, flags, filters, stream); });
}

int32_t CPDEImage::GetFilters(ASAtom* filters, int32_t capacity) {
    return CallHost([&] { return gPDFEditReadHFT->imageGetFilters(mHandle, filters, capacity); });
}
