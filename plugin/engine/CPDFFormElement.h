// CPDFFormElement: the element of a PDF-page stamp. It places one page of
// another PDF document (the source) onto pages of the target document.
//
// The stamp opens the source into the element's source document, then calls
// SetSourcePage, ReadSourcePageContents and CopySourceResources once, and
// Write per target page. The source page becomes one form XObject per target
// document: its content (all content streams joined, in order), its
// resources (copied once per target document), its box as the form's BBox and
// its default matrix as the form's Matrix, so that the form shows the page
// upright as it is displayed (its /Rotate honoured), with the displayed lower
// left corner at the form's origin. Every target page then gets its own
// "XObject" entry (NxX<n>) for that one form, its own graphics state
// (NxGS<n>) for the opacity, a content piece that places the form with the
// placement's matrix, an optional border and an optional link.
//
// Everything added is recorded for undo when recording is on: the copied
// resources (kind 1) and the form (kind 6) with page -1, and per page the
// XObject entry (2), the graphics state (3), the content pieces (0) and the
// link (4).
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "engine/CPageContentsArray.h"
#include "qmhost/QMBase.h"

class CPDFFormElement : public CPDFElement {
public:
    // The form's /Name.
    static constexpr const char* kFormName = "X";

    CPDFFormElement();
    // The source document is closed when the element opened it.
    ~CPDFFormElement() override;

    // Places the source page on page pageIndex of the target document. False
    // without a target document or placement, without a source document,
    // before the source page's content was read, when that content is empty,
    // before the resources were copied, or on a host error (the host's text
    // then in the error text and the error buffer). Pieces added before a
    // failure stay (and stay recorded).
    bool Write(int32_t pageIndex) override;

    // The source document; the stamp opens the source file into it.
    CPDFDocument& GetSourceDocument() { return mSourceDocument; }
    const CPDFDocument& GetSourceDocument() const { return mSourceDocument; }

    // The 0-based source page placed by Write; true. Forms made for another
    // page are forgotten.
    bool SetSourcePage(int32_t index);
    int32_t GetSourcePage() const { return mSourcePage; }

    // Reads the decoded content of source page pageIndex into the page's slot:
    // the streams of a "Contents" array in order, joined by a line feed (so
    // that tokens at the joins stay apart), each read whole whatever its
    // stored length says (the data may hold NUL bytes). A page without
    // "Contents" reads as empty and answers true. False without a source
    // document, for a page outside the source, for an element of "Contents"
    // that is no stream, or on a host error (a stream that cannot be decoded;
    // the host's text then in the error text and the error buffer).
    bool ReadSourcePageContents(int32_t pageIndex);
    // The content read for source page pageIndex; null when none was read.
    const std::string* GetSourcePageContents(int32_t pageIndex) const;
    // Forgets every page's content.
    void ClearSourcePageContents();

    // Copies the source page's resources (its own, or the nearest inherited
    // ones) into the target document (indirect objects with them). False
    // without a source or target document, for a source page outside the
    // source or whose content was not read, for a page without resources up
    // its tree, or on a host error.
    bool CopySourceResources();
    // The copy made by the last CopySourceResources; the null object when none.
    CosObj GetCopiedResources() const { return mCopiedResources; }

    // The form XObject made for cosDoc; the null object before the first Write there.
    CosObj GetFormXObject(CosDoc cosDoc) const;

private:
    // Reads the decoded data of one content stream and appends it to out;
    // raises HostError. False when stream is no stream.
    static bool ReadContentStream(CosObj stream, std::string& out);
    // The source page's resources (walking "Parent"); the null object when none.
    static CosObj SourceResources(CosObj pageDict);
    // Host-raising part of Write.
    bool WritePage(int32_t pageIndex, PDPage target, PDPage source, const std::string& content);
    // The form XObject of cosDoc, made on first use; raises HostError.
    CosObj FormFor(CosDoc cosDoc, const std::string& content, const ASFixedRect& box,
                   const ASFixedMatrix& sourceMatrix);
    // The source resources copied into cosDoc, made on first use; raises HostError.
    CosObj ResourcesFor(CosDoc cosDoc);

    CPDFDocument mSourceDocument;
    int32_t mSourcePage = 0;
    CPageContentsArray mPageContents;
    CosObj mCopiedResources{};
    // The source page's resources in the source document (kept for copying
    // them into further target documents).
    CosObj mSourceResources{};
    // Per target document: the copied resources and the form XObject.
    std::map<CosDoc, CosObj> mResourceCopies;
    std::map<CosDoc, CosObj> mForms;
};
