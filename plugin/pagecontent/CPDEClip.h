// CPDEClip: the clip in force at an element, a list of paths and clips.
#pragma once

#include "pagecontent/CPDEElement.h"

class CPDEClip : public CPDEElement {
public:
    CPDEClip();  // a new empty clip
    explicit CPDEClip(PDEClip handle) : CPDEElement(handle, true) {}

    void Create();
    virtual int32_t GetNumElems() const;
    virtual void AddElem(PDEElement element, int32_t index);  // after index
    virtual void RemoveElems(int32_t index, int32_t count);
    virtual PDEElement GetElem(int32_t index) const;  // lent
};
