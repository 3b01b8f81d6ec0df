#include "pagecontent/CFormMember.h"

#include "pagecontent/FormMemberSearch.h"
#include "support/Assertion.h"
#include "support/CPDPageHolder.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

CFormMemberList::~CFormMemberList() { CFormMemberList::RemoveAll(); }

void CFormMemberList::RemoveAll() {
    for (int32_t i = 0; i < GetCount(); ++i) delete MemberAt(i);
    CBridgeArray::RemoveAll();
}

CFormMember* CFormMemberList::MemberAt(int32_t index) const {
    CFormMember* member = nullptr;
    return GetAt(index, member) ? member : nullptr;
}

CFormMember::~CFormMember() = default;

CPDEContent* CFormMember::GetContent() {
    if (!mContent) MakeContent();
    return mContent.get();
}

CPDEContent* CFormMember::MakeContent() {
    mContent = std::make_unique<CPDEContent>(GetElementContent());
    return mContent.get();
}

void CFormMember::SetContent(CPDEContent* content) { mContent.reset(content); }

void CFormMember::ReplaceElem(PDEElement oldElement, PDEElement newElement) {
    CPDEContent* content = GetContent();
    for (int32_t i = 0; i < content->GetNumElems(); ++i) {
        if (content->GetElem(i) != oldElement) continue;
        content->AddElem(newElement, i);  // goes after i
        content->RemoveElem(i);
    }
}

void CFormMember::RemoveElem(PDEElement element) {
    CPDEContent* content = GetContent();
    for (int32_t i = 0; i < content->GetNumElems();) {
        if (content->GetElem(i) == element) content->RemoveElem(i);
        else ++i;
    }
    // The list holds members only for forms and containers: the member of the
    // element goes, found by its element, not by the content's index.
    for (int32_t i = 0; i < GetCount();) {
        CFormMember* member = MemberAt(i);
        if (member && member->GetElementHandle() == element) {
            RemoveAt(i);
            delete member;
        } else {
            ++i;
        }
    }
}

void CFormAndContentsFormMember::SetElementContent(PDEContent) {
    ReportAssertion("0", "Pde 1.0\\Classes\\CFormAndContentsFormMember", __LINE__);
}

CPageFormMembers::CPageFormMembers(AVDoc view, int32_t pageNumber) { Build(view, pageNumber); }

CPageFormMembers::CPageFormMembers(AVDoc view, PDPage page) {
    Build(view, CallHost([&] { return gPDModelHFT->pageGetNumber(page); }));
}

CPageFormMembers::~CPageFormMembers() {
    CFormMemberList::RemoveAll();  // members hold elements of the content: they go first
    mContent.reset();
}

void CPageFormMembers::Build(AVDoc view, int32_t pageNumber) {
    CFormMemberList::RemoveAll();
    mContent.reset();
    mView = view;
    mPageNumber = pageNumber;
    mContent = std::make_unique<CPDEContent>(view, pageNumber);
    BuildFormMemberTree(nullptr, *mContent, *this);
}

PDEElement CPageFormMembers::FindNextElement(uint32_t kinds, bool recurse, AVDoc view, int32_t pageNumber,
                                             CFormMember** outMember, PDEElement startAfter, AVPageView pageView,
                                             bool backward) {
    const bool given = startAfter != nullptr;
    PDEElement after = startAfter;
    PDEElement found = FindElement(*mContent, nullptr, *this, recurse, nullptr, kinds, outMember, after, view,
                                   pageNumber, pageView, backward);
    if (!found && given) {
        after = nullptr;
        found = FindElement(*mContent, nullptr, *this, recurse, nullptr, kinds, outMember, after, view, pageNumber,
                            pageView, backward);
    }
    return found;
}

PDEElement CPageFormMembers::FindElementAtPoint(const ASFixedPoint& point, uint32_t kinds, AVDoc view,
                                                int32_t pageNumber, bool recurse, CFormMember** outMember,
                                                PDEElement startAfter, AVPageView pageView) {
    const bool given = startAfter != nullptr;
    PDEElement after = startAfter;
    PDEElement found = FindElement(*mContent, nullptr, *this, recurse, &point, kinds, outMember, after, view,
                                   pageNumber, pageView, false);
    if (!found && given) {
        after = nullptr;
        found = FindElement(*mContent, nullptr, *this, recurse, &point, kinds, outMember, after, view, pageNumber,
                            pageView, false);
    }
    return found;
}
