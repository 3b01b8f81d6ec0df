// CPDEElement: one element of page content: its box, matrix, clip and graphic
// state, hit tests in a page view and an outline region in device space.
#pragma once

#include <memory>

#include "pagecontent/CDevicePolygon.h"
#include "pagecontent/CPDEMatrix.h"
#include "pagecontent/CPDEObject.h"
#include "qmhost/AppViewTable.h"

class CPDEElement : public CPDEObject {
public:
    CPDEElement();
    CPDEElement(PDEElement handle, bool acquire);
    CPDEElement(const CPDEElement& other);
    CPDEElement& operator=(const CPDEElement& other);
    ~CPDEElement() override;

    // A deep copy that no content holds; the caller owns its reference.
    virtual PDEElement Copy(uint32_t flags);
    virtual const ASFixedRect& GetBBox();
    virtual PDEClip GetClip();  // lent; null when nothing clips it
    virtual void SetClip(PDEClip clip);
    virtual void GetGState(PDEGraphicState& state);
    virtual void SetGState(const PDEGraphicState& state);
    virtual const ASFixedMatrix& GetMatrix();
    virtual void SetMatrix(const ASFixedMatrix& matrix);
    // The element's own placement first, then matrix; with clip, each element of
    // its clip (one level) too.
    virtual void Transform(const ASFixedMatrix& matrix, bool clip);
    // Whether the element lies at point (page space). With a page view, a form
    // that wraps an image is tested against the image's outline as placed on the
    // page through every enclosing form.
    virtual int16_t HitTest(const ASFixedPoint& point, AVDoc view, int32_t pageNumber, AVPageView pageView);
    virtual int16_t HitTestRect(const ASFixedRect& rect);
    virtual void Redraw(AVDoc view);
    virtual void ClearClip();
    // Copies the clip (a copy of it with clipCopy) and the graphic state to target.
    virtual void CopyAttributesTo(PDEElement target, bool clipCopy, bool clip);
    // A copy of the element's clip that the caller owns, or null.
    virtual PDEClip CopyClip();
    // The /Name of the element's XObject, or kASAtomNull.
    virtual ASAtom GetXObjectName(AVDoc view);
    // An image's or a form's Cos object; other types report an assertion.
    virtual void GetCosObj(CosObj& out);
    // The outline of the element in the page view's device space.
    virtual void MakeOutlineRegion(AVPageView pageView);

    const CDevicePolygon* GetOutlineRegion() const { return mOutline.get(); }
    static void MatrixDeviceCorners(AVPageView pageView, const CPDEMatrix& matrix, Point16 out[4]);

protected:
    // The outline of the unit square placed by matrix.
    void MakeOutlineRegionOf(AVPageView pageView, const CPDEMatrix& matrix);

    ASFixedRect mBBox{};
    ASFixedMatrix mMatrix{};
    std::unique_ptr<CDevicePolygon> mOutline;
};
