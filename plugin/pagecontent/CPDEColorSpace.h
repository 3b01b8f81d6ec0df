// CPDEColorSpace: a colour space of the page-content model.
#pragma once

#include "pagecontent/CPDEObject.h"

class CPDEColorSpace : public CPDEObject {
public:
    explicit CPDEColorSpace(PDEColorSpace handle) : CPDEObject(handle, true) {}
    // From a family name (DeviceGray, ...); with data (an Indexed space: a PDEIndexedColorData).
    CPDEColorSpace(ASAtom family, const void* data);
    explicit CPDEColorSpace(CosObj space);
    ~CPDEColorSpace() override;

    void CreateFromName(ASAtom family, const void* data);
    void CreateFromCosObj(CosObj space);
    ASAtom GetName() const;
    void GetCosObj(CosDoc doc, CosObj& out) const;
    int32_t GetNumComps() const;
    ASAtom GetBase() const;
    // The number of palette entries: the highest index plus one.
    int32_t GetHiVal() const;
    // Copies the palette into buffer (at most capacity bytes); answers its length.
    int32_t GetLookup(uint8_t* buffer, int32_t capacity) const;
    int32_t GetBaseNumComps() const;
    bool IsIndexed() const;
};
