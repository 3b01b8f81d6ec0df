// CPDFElement: putting content pieces into a page's "Contents".
#include <new>

#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/CPDFElementUndoWrap.h"
#include "engine/CWrapPieces.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/cos/CASStream.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/cos/PDFAtoms.h"
#include "support/ResourceStrings.h"

using engine::HostFrame;

namespace {

// "本文档不能添加印章": the page cannot take the piece.
constexpr uint32_t kStringCannotStamp = 212;

// A direct copy of an indirect array (its elements shared), put in its place.
CosObj DetachArray(CosDoc cosDoc, CosObj pageDict, CosObj array) {
    const int32_t length = gCosHFT->arrayLength(array);
    const CosObj copy = gCosHFT->newArray(cosDoc, false, length + 1);
    for (int32_t i = 0; i < length; ++i) gCosHFT->arrayPut(copy, i, gCosHFT->arrayGet(array, i));
    gCosHFT->dictPut(pageDict, gAtomContents, copy);
    return copy;
}

// True when contents (a page's "Contents": a stream, an array or null) is
// or holds piece.
bool HoldsPiece(CosObj contents, CosObj piece) {
    const int32_t type = gCosHFT->objGetType(contents);
    if (type == CosStream) return gCosHFT->objEqual(contents, piece);
    if (type != CosArray) return false;
    const int32_t length = gCosHFT->arrayLength(contents);
    for (int32_t i = 0; i < length; ++i)
        if (gCosHFT->objEqual(gCosHFT->arrayGet(contents, i), piece)) return true;
    return false;
}

// Runs work(cosDoc, pageDict) on page pageIndex of document inside a host
// frame, then tells the host the page changed; false without a document, on a
// host error or when work answers false.
template <typename Work>
bool OnPage(CPDFDocument* document, int32_t pageIndex, Work work) {
    if (!document || !document->GetPDDoc()) return false;
    bool done = false;
    HostFrame([&] {
        engine::PageRef page(document->GetPDDoc(), pageIndex, true);
        const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(document->GetPDDoc());
        done = work(cosDoc, gPDModelHFT->pageGetCosObj(page));
    });
    return done;
}

}  // namespace

CosObj CPDFElement::MakeContentStream(CosDoc cosDoc, const std::string& content) {
    CASStream source(gAppSupportHFT->memStmOpen(content.data(), static_cast<int64_t>(content.size())));
    // No attributes: the host sets "Length" from the bytes it stores, so a
    // dictionary holding only "Length" would be made and dropped per piece.
    return gCosHFT->newStream(cosDoc, true, source, 0, 1, gCosHFT->newNull(), gCosHFT->newNull(),
                              static_cast<int64_t>(content.size()));
}

CosObj CPDFElement::ContentStreamFor(CosDoc cosDoc, CosObj contents, const std::string& content) {
    // Undo takes a piece out of one page's "Contents" and never destroys it,
    // so pages that share a stream keep theirs. A page holds each piece once,
    // so that undoing one of two equal pieces leaves the other.
    for (const CRecentPiece& recent : mRecentPieces) {
        if (recent.cosDoc != cosDoc || recent.content != content) continue;
        if (!engine::IsLiveIn(recent.stream, cosDoc, CosStream)) break;
        if (HoldsPiece(contents, recent.stream)) break;
        return recent.stream;
    }
    const CosObj stream = MakeContentStream(cosDoc, content);
    if (mRecentPieces.size() == kRecentPieces) mRecentPieces.erase(mRecentPieces.begin());
    mRecentPieces.push_back({cosDoc, content, stream});
    return stream;
}

bool CPDFElement::InsertPageContent(CosDoc cosDoc, CosObj pageDict, const std::string& content,
                                    int32_t position) {
    return InsertPiece(cosDoc, pageDict, content, position, -1);
}

bool CPDFElement::InsertPiece(CosDoc cosDoc, CosObj pageDict, const std::string& content, int32_t position,
                              int32_t pageIndex) {
    if (content.empty()) return true;
    const bool atEnd = position == kContentEnd;
    CosObj stream{};
    bool attached = false;
    const bool inserted = HostFrame([&] {
        CosObj contents = gCosHFT->dictGet(pageDict, gAtomContents);
        const int32_t type = gCosHFT->objGetType(contents);
        // A "Contents" of another type is a damaged page: refuse it before
        // anything is made, so that the stamp reports the page as failed
        // instead of leaving an unattached stream behind a success.
        if (type != CosNull && type != CosArray && type != CosStream) {
            SetErrorMessage(LoadResString(kStringCannotStamp));
            return;
        }

        stream = ContentStreamFor(cosDoc, contents, content);
        if (type == CosNull) {
            gCosHFT->dictPut(pageDict, gAtomContents, stream);
        } else if (type == CosArray) {
            // An indirect array can be shared by several pages (writers do so
            // for identical pages); a piece put into it would appear on all.
            if (gCosHFT->objIsIndirect(contents)) contents = DetachArray(cosDoc, pageDict, contents);
            if (atEnd)
                gCosHFT->arrayPut(contents, gCosHFT->arrayLength(contents), stream);
            else
                gCosHFT->arrayInsert(contents, 0, stream);
        } else {
            const CosObj array = gCosHFT->newArray(cosDoc, true, 2);
            gCosHFT->arrayPut(array, 0, atEnd ? contents : stream);
            gCosHFT->arrayPut(array, 1, atEnd ? stream : contents);
            gCosHFT->dictRemove(pageDict, gAtomContents);
            gCosHFT->dictPut(pageDict, gAtomContents, array);
        }
        attached = true;
    });
    if (!inserted || !attached) return false;
    if (mRecordUndo && mDocument) {
        if (pageIndex < 0 && !HostFrame([&] {
                pageIndex = gPDModelHFT->docGetPageNumberOfCosObj(mDocument->GetPDDoc(), pageDict);
            }))
            return false;
        Record(pageIndex, kElementUndoContent, stream, "", kElementUndoNameContent);
    }
    return true;
}

bool CPDFElement::WrapPageContent(int32_t pageIndex, CWrapPieces& pieces) {
    return OnPage(mDocument, pageIndex, [&](CosDoc cosDoc, CosObj pageDict) {
        const CosObj contents = gCosHFT->dictGet(pageDict, gAtomContents);
        const int32_t type = gCosHFT->objGetType(contents);
        if (type != CosNull && type != CosArray && type != CosStream) {
            SetErrorMessage(LoadResString(kStringCannotStamp));
            return false;
        }
        const auto [save, restore] = pieces.For(contents);
        // The page gets a direct array of its own: " q ", its pieces, " Q ".
        // An indirect array may be shared by other pages, so it is copied,
        // never changed.
        const int32_t length = type == CosArray ? gCosHFT->arrayLength(contents) : type == CosStream;
        const CosObj array = gCosHFT->newArray(cosDoc, false, length + 2);
        gCosHFT->arrayPut(array, 0, save);
        if (type == CosArray)
            for (int32_t i = 0; i < length; ++i)
                gCosHFT->arrayPut(array, i + 1, gCosHFT->arrayGet(contents, i));
        else if (type == CosStream)
            gCosHFT->arrayPut(array, 1, contents);
        gCosHFT->arrayPut(array, length + 1, restore);
        gCosHFT->dictPut(pageDict, gAtomContents, array);
        RecordWrapped(pageIndex, contents, length, save, restore);
        return true;
    });
}

void CPDFElement::RecordWrapped(int32_t pageIndex, CosObj before, int32_t pieces, CosObj save,
                                CosObj restore) const {
    if (!mRecordUndo || !mDocument) return;
    const AVDoc view = mDocument->GetAVDoc();
    if (!view) return;
    auto* record = new (std::nothrow) CPDFElementUndoWrap(view, pageIndex, before, pieces, save, restore);
    if (!record) ThrowErrorCode(kErrCosObject);
    CPDFElementUndoController::AddElementUndoRecord(view, record);
}
