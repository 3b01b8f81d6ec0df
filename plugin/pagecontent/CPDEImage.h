// CPDEImage: an image element (an image XObject or an inline image): its
// attributes, colour space, samples and Cos object, and its extent on the page.
#pragma once

#include "pagecontent/CPDEElement.h"

class CPDEImage : public CPDEElement {
public:
    CPDEImage() = default;
    explicit CPDEImage(PDEImage handle) : CPDEElement(handle, true) {}
    // A new inline image (see the host's imageCreate).
    CPDEImage(const PDEImageAttrs& attrs, const ASFixedMatrix& matrix, uint32_t flags, PDEColorSpace colorSpace,
              const void* colorValue, const void* filters, ASStm dataStm, const uint8_t* data, uint32_t length);
    // A new element over an image XObject.
    CPDEImage(CosObj image, const ASFixedMatrix& matrix, PDEColorSpace colorSpace, const void* colorValue);

    void GetCosObj(CosObj& out) override;
    virtual void Create(const PDEImageAttrs& attrs, const ASFixedMatrix& matrix, uint32_t flags,
                        PDEColorSpace colorSpace, const void* colorValue, const void* filters, ASStm dataStm,
                        const uint8_t* data, uint32_t length);
    virtual void CreateFromCosObj(CosObj image, const ASFixedMatrix& matrix, PDEColorSpace colorSpace,
                                  const void* colorValue);
    virtual int16_t ImageQuery(int32_t question);
    // An image XObject rather than an inline image.
    virtual int16_t IsCosObj();
    // The colour space's component count (its base's with ofBase).
    virtual int32_t GetComponentCount(bool ofBase);
    virtual int32_t GetBitsPerComponent();
    virtual int32_t GetWidth();
    virtual int32_t GetHeight();
    // The length on the page of the image's unit edges as placed by its matrix.
    virtual double GetPageWidth();
    virtual double GetPageHeight();
    virtual const PDEImageAttrs& GetAttributes(PDEImageAttrs& out);
    virtual PDEColorSpace GetColorSpace();  // lent; null for a stencil mask
    virtual void GetData(uint8_t* buffer);  // the decoded samples (GetDataLength bytes)
    virtual void SetData(uint32_t flags, const uint8_t* data, uint32_t length);
    virtual int32_t GetDataLength();
    virtual ASStm GetDataStream(bool decode);  // the caller closes it
    virtual void SetDataStream(uint32_t flags, const void* filters, ASStm stream);
    // The filter names, at most capacity; answers how many there are.
    virtual int32_t GetFilters(ASAtom* filters, int32_t capacity);

protected:
    double PageExtent(double x, double y);

    PDEImageAttrs mAttributes{};
};
