#include "pagecontent/CPDEElement.h"

#include "pagecontent/CPDEClip.h"
#include "pagecontent/CPDEContent.h"
#include "pagecontent/CPDEForm.h"
#include "pagecontent/FormMemberSearch.h"
#include "pagecontent/PDERectHelpers.h"
#include "support/Assertion.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/cos/CCosStream.h"
#include "support/cos/PDFAtoms.h"

CPDEElement::CPDEElement() = default;
CPDEElement::CPDEElement(PDEElement handle, bool acquire) : CPDEObject(handle, acquire) {}
CPDEElement::CPDEElement(const CPDEElement& other) : CPDEObject(other) {}
CPDEElement& CPDEElement::operator=(const CPDEElement& other) {
    CPDEObject::operator=(other);
    return *this;
}
CPDEElement::~CPDEElement() = default;

PDEElement CPDEElement::Copy(uint32_t flags) {
    return CallHost([&] { return gPDFEditWriteHFT->elementCopy(mHandle, flags); });
}

const ASFixedRect& CPDEElement::GetBBox() {
    CallHost([&] { gPDFEditReadHFT->elementGetBBox(mHandle, &mBBox); });
    return mBBox;
}

PDEClip CPDEElement::GetClip() { return CallHost([&] { return gPDFEditReadHFT->elementGetClip(mHandle); }); }

void CPDEElement::SetClip(PDEClip clip) { CallHost([&] { gPDFEditWriteHFT->elementSetClip(mHandle, clip); }); }

void CPDEElement::GetGState(PDEGraphicState& state) {
    CallHost([&] { gPDFEditReadHFT->elementGetGState(mHandle, &state, sizeof(PDEGraphicState)); });
}

void CPDEElement::SetGState(const PDEGraphicState& state) {
    CallHost([&] { gPDFEditWriteHFT->elementSetGState(mHandle, &state, sizeof(PDEGraphicState)); });
}

const ASFixedMatrix& CPDEElement::GetMatrix() {
    CallHost([&] { gPDFEditReadHFT->elementGetMatrix(mHandle, &mMatrix); });
    return mMatrix;
}

void CPDEElement::SetMatrix(const ASFixedMatrix& matrix) {
    CallHost([&] { gPDFEditWriteHFT->elementSetMatrix(mHandle, &matrix); });
}

void CPDEElement::Transform(const ASFixedMatrix& matrix, bool clip) {
    CPDEMatrix m(GetMatrix());
    m.Concat(CPDEMatrix(matrix));
    SetMatrix(m.GetFixedMatrix());
    if (!clip) return;
    PDEClip held = GetClip();
    if (!held) return;
    CPDEClip wrapper(held);
    for (int32_t i = 0; i < wrapper.GetNumElems(); ++i) {
        CPDEElement element(wrapper.GetElem(i), true);
        if (element.GetType() != kPDEClip) element.Transform(matrix, false);
    }
}

int16_t CPDEElement::HitTest(const ASFixedPoint& point, AVDoc view, int32_t pageNumber, AVPageView pageView) {
    if (pageView && GetType() == kPDEForm) {
        CPDEForm form(mHandle, true);
        if (!form.FindImage()) return 0;
        CPDEContent page(view, pageNumber);
        CPDEMatrix placement;
        FindImageInForm(page, mHandle, placement);
        // The outline of the image as the enclosing forms place it on the page.
        MakeOutlineRegionOf(pageView, placement);
        int16_t x = 0, y = 0;
        CallHost([&] { gAppViewHFT->pageViewPointToDevice(pageView, &point, &x, &y); });
        return mOutline->Contains(x, y) ? 1 : 0;
    }
    return CallHost([&]() -> int16_t { return gPDFEditReadHFT->elementIsAtPoint(mHandle, point.h, point.v) ? 1 : 0; });
}

int16_t CPDEElement::HitTestRect(const ASFixedRect& r) {
    return CallHost([&]() -> int16_t { return gPDFEditReadHFT->elementIsAtRect(mHandle, r.left, r.top, r.right, r.bottom) ? 1 : 0; });
}

void CPDEElement::Redraw(AVDoc view) {
    const ASFixedRect box = GetBBox();
    CallHost([&] {
        AVPageView pageView = gAppViewHFT->docGetPageView(view);
        AVDevRect device;
        gAppViewHFT->pageViewRectToDevice(pageView, &box, &device);
        Rect16 rect{device.left, device.top, device.right, device.bottom};
        OutsetRect(rect, 1);
        const AVDevRect grown{rect.left, rect.top, rect.right, rect.bottom};
        gAppViewHFT->pageViewInvalidateRect(pageView, &grown);
        gAppViewHFT->pageViewDrawNow(pageView);
    });
}

void CPDEElement::ClearClip() {
    CPDEClip empty;  // made by the host; its reference is given back when this goes
    SetClip(empty.GetHandle());
}

void CPDEElement::CopyAttributesTo(PDEElement target, bool clipCopy, bool clip) {
    if (clip) {
        CPDEObject copied;  // a copied clip is ours until the target holds it
        PDEClip source = nullptr;
        if (clipCopy) {
            copied.Adopt(CopyClip());
            source = copied.GetHandle();
        } else {
            source = GetClip();
        }
        if (source) CallHost([&] { gPDFEditWriteHFT->elementSetClip(target, source); });
    }
    PDEGraphicState state;
    GetGState(state);
    CallHost([&] { gPDFEditWriteHFT->elementSetGState(target, &state, sizeof state); });
}

PDEClip CPDEElement::CopyClip() {
    PDEClip clip = GetClip();
    if (!clip) return nullptr;
    return CallHost([&] { return gPDFEditWriteHFT->clipCopy(clip); });
}

ASAtom CPDEElement::GetXObjectName(AVDoc view) {
    CosObj object{0, 0};
    GetCosObj(object);
    if (object.a == 0 && object.b == 0) return kASAtomNull;
    const CosDoc doc = CallHost([&] { return gPDModelHFT->docGetCosDoc(gAppViewHFT->avDocGetPDDoc(view)); });
    CCosStream stream(doc, object);
    if (!stream.GetAttributesDict()->HasKey(gAtomName)) return kASAtomNull;
    return stream.GetAttributesDict()->GetName(gAtomName, false);
}

void CPDEElement::GetCosObj(CosObj& out) {
    out = CosObj{0, 0};
    const int32_t type = GetType();
    if (type == kPDEImage) out = CallHost([&] { return gPDFEditReadHFT->imageGetCosObj(mHandle); });
    else if (type == kPDEForm) out = CallHost([&] { return gPDFEditReadHFT->formGetCosObj(mHandle); });
    else ReportAssertion("0", "Pde 1.0\\Classes\\CPDEElement", __LINE__);
}

void CPDEElement::MakeOutlineRegion(AVPageView pageView) {
    CPDEMatrix m;
    if (GetType() == kPDEForm) {
        CPDEForm form(mHandle, true);
        if (!form.IsPlainForm()) {
            CPDEElement image(form.FindImage(), true);
            m = CPDEMatrix(image.GetMatrix());
        } else {
            const ASFixedRect box = GetBBox();
            m.Set(FixedToDouble(box.right - box.left), 0, 0, FixedToDouble(box.top - box.bottom),
                  FixedToDouble(box.left), FixedToDouble(box.bottom));
        }
    } else {
        m = CPDEMatrix(GetMatrix());
    }
    MakeOutlineRegionOf(pageView, m);
}

void CPDEElement::MakeOutlineRegionOf(AVPageView pageView, const CPDEMatrix& matrix) {
    const double corners[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    auto outline = std::make_unique<CDevicePolygon>();
    for (const auto& corner : corners) {
        Point16 p;
        MatrixPointToDevice(pageView, matrix, corner[0], corner[1], p);
        outline->Add(p);
    }
    mOutline = std::move(outline);
}

void CPDEElement::MatrixDeviceCorners(AVPageView pageView, const CPDEMatrix& matrix, Point16 out[4]) {
    ::MatrixDeviceCorners(pageView, matrix, out);
}
