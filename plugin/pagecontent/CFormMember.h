// The form-member tree: the page's content with one member per form and per
// marked-content container found in it, each member holding the same kind of
// list for its own content. Lists own their members.
#pragma once

#include <memory>

#include "pagecontent/CPDEContainer.h"
#include "pagecontent/CPDEContent.h"
#include "pagecontent/CPDEForm.h"
#include "support/CBridgeArray.h"

class CFormMember;

// A list that deletes its members when they are removed all at once or it goes.
class CFormMemberList : public CBridgeArray {
public:
    CFormMemberList() = default;
    ~CFormMemberList() override;
    void RemoveAll() override;
    CFormMember* MemberAt(int32_t index) const;
};

class CFormMember : public CFormMemberList {
public:
    explicit CFormMember(CPDEElement* parent) : mParent(parent) {}
    ~CFormMember() override;

    virtual PDEElement GetHandle() = 0;
    virtual PDEElement GetElementHandle() = 0;
    virtual CPDEElement* GetElement() = 0;
    // The member's own content, made on first use.
    virtual CPDEContent* GetContent();
    virtual PDEContent GetElementContent() = 0;
    virtual void SetContent(CPDEContent* content);  // takes it; deletes the one held
    virtual void SetElementContent(PDEContent content) = 0;
    virtual void SetParent(CPDEElement* parent) { mParent = parent; }
    virtual CPDEElement* GetParent() { return mParent; }
    // At every index of the content holding oldElement: newElement takes its place.
    virtual void ReplaceElem(PDEElement oldElement, PDEElement newElement);
    // Removes every occurrence of element from the content, and the member of
    // that element (deleted) from this member's list.
    virtual void RemoveElem(PDEElement element);
    virtual CPDEContent* MakeContent();

protected:
    std::unique_ptr<CPDEContent> mContent;
    CPDEElement* mParent;
};

class CFormAndContentsFormMember : public CFormMember, public CPDEForm {
public:
    CFormAndContentsFormMember(CPDEElement* parent, PDEForm form) : CFormMember(parent), CPDEForm(form, true) {}
    PDEElement GetHandle() override { return CPDEObject::GetHandle(); }
    PDEElement GetElementHandle() override { return CPDEObject::GetHandle(); }
    CPDEElement* GetElement() override { return CPDEObject::GetHandle() ? this : nullptr; }
    PDEContent GetElementContent() override { return CPDEForm::GetContent(); }
    // A form's content cannot be replaced: reports an assertion.
    void SetElementContent(PDEContent content) override;
};

class CContainerFormMember : public CFormMember, public CPDEContainer {
public:
    CContainerFormMember(CPDEElement* parent, PDEContainer container)
        : CFormMember(parent), CPDEContainer(container) {}
    PDEElement GetHandle() override { return CPDEObject::GetHandle(); }
    PDEElement GetElementHandle() override { return CPDEObject::GetHandle(); }
    CPDEElement* GetElement() override { return CPDEObject::GetHandle() ? this : nullptr; }
    PDEContent GetElementContent() override { return CPDEContainer::GetContent(); }
    void SetElementContent(PDEContent content) override { CPDEContainer::SetContent(content); }
};

// The tree of one page of a document view.
class CPageFormMembers : public CFormMemberList {
public:
    CPageFormMembers(AVDoc view, int32_t pageNumber);  // page numbers from 0
    CPageFormMembers(AVDoc view, PDPage page);
    ~CPageFormMembers() override;

    void Build(AVDoc view, int32_t pageNumber);
    AVDoc GetAVDoc() const { return mView; }
    int32_t GetPageNumber() const { return mPageNumber; }
    CPDEContent* GetContent() const { return mContent.get(); }

    // The next element of the kinds (kFind... bits) after startAfter (or the
    // first), forward or backward, into the members when recurse is set; wraps
    // round once. outMember (may be null) gets the member searched, null for the
    // page's own content. Answers the element or null.
    PDEElement FindNextElement(uint32_t kinds, bool recurse, AVDoc view, int32_t pageNumber, CFormMember** outMember,
                               PDEElement startAfter, AVPageView pageView, bool backward);
    // The same forward, among the elements at point (page space).
    PDEElement FindElementAtPoint(const ASFixedPoint& point, uint32_t kinds, AVDoc view, int32_t pageNumber,
                                  bool recurse, CFormMember** outMember, PDEElement startAfter, AVPageView pageView);

private:
    AVDoc mView = nullptr;
    int32_t mPageNumber = -1;
    std::unique_ptr<CPDEContent> mContent;
};
