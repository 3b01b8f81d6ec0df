#include "pagecontent/CPDEImageXObject.h"

#include <memory>

#include "pagecontent/CFormMember.h"
#include "pagecontent/FormMemberSearch.h"
#include "support/Assertion.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

CPDEImageXObject::CPDEImageXObject(CFormMember* member, PDEElement element, bool ownsMember) : CPDEImage(element) {
    SetMember(member, ownsMember);
}

CPDEImageXObject::CPDEImageXObject(CFormMember* member, AVDoc view, PDPage page, PDEElement element,
                                   CFormAndContentsFormMember* wrappingMember)
    : CPDEImageXObject(member, view, CallHost([&] { return gPDModelHFT->pageGetNumber(page); }), element,
                       wrappingMember) {}

CPDEImageXObject::CPDEImageXObject(CFormMember* member, AVDoc view, int32_t pageNumber, PDEElement element,
                                   CFormAndContentsFormMember* wrappingMember)
    : CPDEImage(element), mWrapping(wrappingMember) {
    SetMember(member, false);
    SetViewAndPage(view, pageNumber);
}

CPDEImageXObject::~CPDEImageXObject() {
    if (mOwnsMember) delete mMember;
}

void CPDEImageXObject::SetMember(CFormMember* member, bool owned) {
    if (mOwnsMember && member != mMember) delete mMember;
    mMember = member;
    mOwnsMember = owned;
}

void CPDEImageXObject::SetViewAndPage(AVDoc view, int32_t pageNumber) {
    mView = view;
    mPageNumber = pageNumber;
}

bool CPDEImageXObject::IsForm() { return GetType() == kPDEForm; }

bool CPDEImageXObject::IsPlainFormCached() {
    if (!mPlainForm) mPlainForm = IsForm() && CPDEForm(mHandle, true).IsPlainForm();
    return mPlainForm;
}

PDEImage CPDEImageXObject::GetImageHandle() { return IsForm() ? CPDEForm(mHandle, true).FindImage() : mHandle; }

PDEForm CPDEImageXObject::GetImageOwnerHandle() {
    return IsForm() ? CPDEForm(mHandle, true).FindImageOwner() : nullptr;
}

CPDEContent* CPDEImageXObject::GetMemberContent() { return mMember ? mMember->GetContent() : nullptr; }

int16_t CPDEImageXObject::CommitPageContent() {
    // An object made without a member has no page content to set.
    CPDEContent* content = GetMemberContent();
    if (!content) ReportAssertion("mMember", "Pde 1.0\\Classes\\CPDEImageXObject", __LINE__);
    return content->SetPageContent();
}

ASAtom CPDEImageXObject::GetXObjectName() { return CPDEElement::GetXObjectName(mView); }

void CPDEImageXObject::RedrawInOwnView() { Redraw(mView); }

void CPDEImageXObject::ReplaceElement(PDEElement newElement) {
    CPDEContent* content = GetMemberContent();
    for (int32_t i = 0; content && i < content->GetNumElems(); ++i) {
        if (content->GetElem(i) != mHandle) continue;
        content->AddElem(newElement, i);
        content->RemoveElemByHandle(mHandle);
    }
    if (IsForm() && mMember) {
        // The sub-members of the form replaced are gone with it.
        for (int32_t i = 0; i < mMember->GetCount();) {
            CFormMember* sub = mMember->MemberAt(i);
            if (sub && sub->GetElementHandle() == mHandle) {
                mMember->RemoveAt(i);
                delete sub;
            } else {
                ++i;
            }
        }
    }
    Attach(newElement, true);
    mPlainForm = false;
}

void CPDEImageXObject::ShowInView() {
    AVPageView pageView = CallHost([&] { return gAppViewHFT->docGetPageView(mView); });
    CallHost([&] { gAppViewHFT->pageViewDrawNow(pageView); });
    const auto redraw = OnFailure([&] { gAppViewHFT->pageViewInvalidateRect(pageView, nullptr); });
    CallHost([&] { gAppViewHFT->pageViewGoTo(pageView, mPageNumber); });
    const ASFixedRect box = GetBBox();
    AVDevRect device;
    CallHost([&] { gAppViewHFT->pageViewRectToDevice(pageView, &box, &device); });
    CallHost([&] { gAppViewHFT->pageViewScrollToRect(pageView, &device, true, true, 20); });
    CallHost([&] { gAppViewHFT->pageViewDrawNow(pageView); });
}

void CPDEImageXObject::GetPlacementMatrix(CPDEMatrix& out) {
    CPDEMatrix m;
    if (!IsForm()) {
        m = CPDEMatrix(CPDEElement::GetMatrix());
    } else if (!IsPlainFormCached()) {
        if (CPDEContent* content = GetMemberContent()) FindImageInForm(*content, mHandle, m);
    } else {
        const ASFixedRect box = GetBBox();
        AVDevRect device;
        CallHost([&] {
            gAppViewHFT->pageViewRectToDevice(gAppViewHFT->docGetPageView(mView), &box, &device);
        });
        m.Set(device.right - device.left, 0, 0, device.top - device.bottom, device.left, device.bottom);
    }
    out = m;
}

void CPDEImageXObject::MoveIntoOwnForm() {
    const CosDoc doc = CallHost([&] { return gPDModelHFT->docGetCosDoc(gAppViewHFT->avDocGetPDDoc(mView)); });
    CPDEContent empty;
    PDEContentAttrs attrs{};
    attrs.flags = kPDEContentIsForm;
    attrs.formType = 1;
    attrs.bbox = GetBBox();
    attrs.matrix = CPDEMatrix().GetFixedMatrix();
    CosObj contents{0, 0}, resources{0, 0};
    empty.WriteToCos(doc, nullptr, &attrs, &contents, &resources, kPDEContentToForm);
    CPDEForm form(contents, resources, CPDEMatrix().GetFixedMatrix());
    auto own = std::make_unique<CFormAndContentsFormMember>(nullptr, form.GetHandle());

    CFormAndContentsFormMember* wrapping = mWrapping;
    mWrapping = nullptr;
    CPDEContent page(mView, mPageNumber);  // the page's content: the same loan as the tree's
    if (wrapping->CFormMember::GetContent()->GetNumElems() == 1) {
        // The wrapping form held only this image: it goes.
        if (auto* parent = dynamic_cast<CFormMember*>(wrapping->GetParent())) {
            parent->RemoveElem(wrapping->GetElementHandle());  // removes and deletes its member
        } else {
            page.RemoveElemByHandle(wrapping->GetElementHandle());
            CFormMember* listed = wrapping;  // lists hold the member part
            if (mPageMembers && mPageMembers->IndexOf(listed) != CBridgeArray::kNotFound) {
                mPageMembers->Remove(listed);
                delete wrapping;
            }
        }
    } else {
        wrapping->RemoveElem(mHandle);
    }
    CPDEContent(form.GetContent()).AddElem(mHandle, kPDEAfterLast);
    page.AddElem(form.GetHandle(), kPDEAfterLast);
    if (mPageMembers) mPageMembers->Append(static_cast<CFormMember*>(own.release()));
}

void CPDEImageXObject::SetMatrix(const ASFixedMatrix& matrix) {
    if (mWrapping) MoveIntoOwnForm();
    // The matrix given is set on the image, also after the move.
    CPDEElement::SetMatrix(matrix);
}

void CPDEImageXObject::GetCosObj(CosObj& out) {
    out = CosObj{0, 0};
    if (IsForm()) out = CallHost([&] { return gPDFEditReadHFT->formGetCosObj(mHandle); });
    else CPDEImage::GetCosObj(out);
}

int16_t CPDEImageXObject::IsCosObj() { return IsForm() ? 1 : CPDEImage::IsCosObj(); }

int32_t CPDEImageXObject::GetComponentCount(bool ofBase) {
    return IsForm() ? CPDEImage(GetImageHandle()).GetComponentCount(ofBase) : CPDEImage::GetComponentCount(ofBase);
}
int32_t CPDEImageXObject::GetBitsPerComponent() {
    return IsForm() ? CPDEImage(GetImageHandle()).GetBitsPerComponent() : CPDEImage::GetBitsPerComponent();
}
int32_t CPDEImageXObject::GetWidth() {
    return IsForm() ? CPDEImage(GetImageHandle()).GetWidth() : CPDEImage::GetWidth();
}
int32_t CPDEImageXObject::GetHeight() {
    return IsForm() ? CPDEImage(GetImageHandle()).GetHeight() : CPDEImage::GetHeight();
}
double CPDEImageXObject::GetPageWidth() {
    return IsForm() ? CPDEImage(GetImageHandle()).GetPageWidth() : CPDEImage::GetPageWidth();
}
double CPDEImageXObject::GetPageHeight() {
    return IsForm() ? CPDEImage(GetImageHandle()).GetPageHeight() : CPDEImage::GetPageHeight();
}
