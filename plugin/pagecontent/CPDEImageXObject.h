// CPDEImageXObject: an element of a page that is an image or a form wrapping an
// image, with the document view, page and form member it belongs to; every image
// question about a wrapping form is answered by the image inside it.
#pragma once

#include "pagecontent/CPDEImage.h"
#include "pagecontent/CPDEMatrix.h"

class CFormMember;
class CFormAndContentsFormMember;
class CFormMemberList;

class CPDEImageXObject : public CPDEImage {
public:
    CPDEImageXObject() = default;
    // member: the form member whose content holds the element (owned when owned).
    CPDEImageXObject(CFormMember* member, PDEElement element, bool ownsMember = false);
    CPDEImageXObject(CFormMember* member, AVDoc view, PDPage page, PDEElement element,
                     CFormAndContentsFormMember* wrappingMember);
    CPDEImageXObject(CFormMember* member, AVDoc view, int32_t pageNumber, PDEElement element,
                     CFormAndContentsFormMember* wrappingMember);
    ~CPDEImageXObject() override;

    void SetMember(CFormMember* member, bool owned);
    void SetViewAndPage(AVDoc view, int32_t pageNumber);
    AVDoc GetAVDoc() const { return mView; }
    int32_t GetPageNumber() const { return mPageNumber; }
    CFormMember* GetMember() const { return mMember; }
    void SetWrappingMember(CFormAndContentsFormMember* member) { mWrapping = member; }
    // The page's member list, where SetMatrix takes a dissolved wrapping member
    // out and puts the new form's member (not owned; may be null).
    void SetPageMembers(CFormMemberList* members) { mPageMembers = members; }
    CFormAndContentsFormMember* GetWrappingMember() const { return mWrapping; }

    bool IsForm();
    // Computed again for as long as the answer is false.
    bool IsPlainFormCached();
    PDEImage GetImageHandle();
    PDEForm GetImageOwnerHandle();
    class CPDEContent* GetMemberContent();
    // Sets the page's content from the member's; without a member reports the
    // assertion "mMember" (throws error code 1).
    int16_t CommitPageContent();
    ASAtom GetXObjectName();
    void RedrawInOwnView();
    // In the member's content the new element takes the place of every
    // occurrence of this one; the wrapper then holds the new element.
    void ReplaceElement(PDEElement newElement);
    void ShowInView();
    void GetPlacementMatrix(CPDEMatrix& out);

    // With a wrapping member, the image is moved into a form of its own first
    // (added to the page); then the matrix is set on the image.
    void SetMatrix(const ASFixedMatrix& matrix) override;
    void GetCosObj(CosObj& out) override;
    int16_t IsCosObj() override;
    int32_t GetComponentCount(bool ofBase) override;
    int32_t GetBitsPerComponent() override;
    int32_t GetWidth() override;
    int32_t GetHeight() override;
    double GetPageWidth() override;
    double GetPageHeight() override;

private:
    void MoveIntoOwnForm();

    AVDoc mView = nullptr;
    int32_t mPageNumber = -1;
    CFormMember* mMember = nullptr;
    CFormAndContentsFormMember* mWrapping = nullptr;
    CFormMemberList* mPageMembers = nullptr;
    bool mOwnsMember = false;
    bool mPlainForm = false;
};
