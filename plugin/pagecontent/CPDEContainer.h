// CPDEContainer: marked content (a tag, a properties dictionary) with its own content.
#pragma once

#include "pagecontent/CPDEElement.h"

class CPDEContainer : public CPDEElement {
public:
    CPDEContainer() = default;
    explicit CPDEContainer(PDEContainer handle) : CPDEElement(handle, true) {}
    // A new container; dict may be the null object, isInline: written in the content.
    CPDEContainer(ASAtom tag, CosObj dict, bool isInline);

    void Create(ASAtom tag, CosObj dict, bool isInline);
    virtual PDEContent GetContent();  // lent
    virtual void SetContent(PDEContent content);
    virtual int16_t GetDict(CosObj& dict, bool& isInline);
    virtual void SetDict(CosObj dict, bool isInline);
    virtual ASAtom GetMarkTag();
    virtual void SetMarkTag(ASAtom tag);
};
