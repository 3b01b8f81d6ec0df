// CPDEContent: the list of elements of a page's or a form's content. Made from
// a page, it holds the page's content on loan from the host: the loan is given
// back once when the wrapper goes (never released as an object), and the page is
// kept acquired for as long as the loan lasts.
#pragma once

#include "pagecontent/CPDEObject.h"

class CPDEContent : public CPDEObject {
public:
    CPDEContent();  // a new empty content
    explicit CPDEContent(PDEContent handle);  // with a reference of its own
    CPDEContent(CosObj contents, CosObj resources);
    explicit CPDEContent(PDPage page);
    CPDEContent(AVDoc view, int32_t pageNumber);  // page numbers from 0
    CPDEContent(PDDoc doc, int32_t pageNumber);
    CPDEContent(const CPDEContent&) = delete;
    CPDEContent& operator=(const CPDEContent&) = delete;
    ~CPDEContent() override;

    virtual void SetFromCosObj(CosObj contents, CosObj resources);
    // Borrows the page's content; a loan held before is given back first.
    virtual void SetFromPage(PDPage page);
    virtual int32_t GetNumElems() const;
    // Adds element after index (kPDEBeforeFirst / kPDEAfterLast).
    virtual void AddElem(PDEElement element, int32_t index);
    // Removes every occurrence of element.
    virtual void RemoveElemByHandle(PDEElement element);
    virtual void RemoveElem(int32_t index);
    virtual PDEElement GetElem(int32_t index) const;  // lent
    virtual int32_t IndexOfElem(PDEElement element) const;  // -1 when absent
    virtual int32_t Query(int32_t question, void* reserved) const;
    virtual const PDEContentAttrs& GetAttributes();
    // Writes the content as new Cos objects of doc (see the host's contentToCosObj).
    virtual void WriteToCos(CosDoc doc, const void* filters, const PDEContentAttrs* attrs, CosObj* contents,
                            CosObj* resources, uint32_t flags);
    // Writes the lent content back into its page; asserts that it came from a page.
    virtual int16_t SetPageContent();

    PDPage GetPage() const { return mPDPage; }

private:
    void GiveBackPage();

    PDPage mPDPage = nullptr;
    PDEContentAttrs mAttributes{};
};
