#include "engine/CPDFFormElement.h"

#include "engine/CPDFElementUndoData.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/cos/CASStream.h"
#include "support/cos/PDFAtoms.h"

using engine::HostFrame;

namespace {

// Bytes asked for per read of a content stream.
constexpr int32_t kReadChunk = 64 * 1024;

}  // namespace

CPDFFormElement::CPDFFormElement() = default;

CPDFFormElement::~CPDFFormElement() = default;


bool CPDFFormElement::SetSourcePage(int32_t index) {
    if (index != mSourcePage) {
        mForms.clear();
        mResourceCopies.clear();
        mCopiedResources = CosObj{};
        mSourceResources = CosObj{};
    }
    mSourcePage = index;
    return true;
}

const std::string* CPDFFormElement::GetSourcePageContents(int32_t pageIndex) const {
    return mPageContents.GetString(pageIndex);
}

void CPDFFormElement::ClearSourcePageContents() { mPageContents.RemoveAll(); }

CosObj CPDFFormElement::GetFormXObject(CosDoc cosDoc) const {
    const auto found = mForms.find(cosDoc);
    return found == mForms.end() ? CosObj{} : found->second;
}

bool CPDFFormElement::ReadContentStream(CosObj stream, std::string& out) {
    if (gCosHFT->objGetType(stream) != CosStream) return false;
    // The stored length says nothing about the decoded data, so the data is
    // read to its end; an empty stream adds nothing and is no failure.
    std::string data;
    CASStream read(gCosHFT->streamOpen(stream, kCosStreamDecoded));
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        const int32_t n = gAppSupportHFT->stmRead(chunk.data(), 1, kReadChunk, read);
        if (n <= 0) break;
        data.append(chunk.data(), static_cast<size_t>(n));
    }
    if (data.empty()) return true;
    // Without a separator the last token of one stream and the first of the
    // next would merge ("Q" + "q" reads "Qq").
    if (!out.empty()) out += '\n';
    out += data;
    return true;
}

bool CPDFFormElement::ReadSourcePageContents(int32_t pageIndex) {
    const PDDoc source = mSourceDocument.GetPDDoc();
    if (!source) return false;
    bool read = false;
    const bool ranThrough = HostFrame([&] {
        // The page is acquired first: a page outside the source fails here,
        // before a slot is made for it.
        engine::PageRef page(source, pageIndex);
        std::string* content = mPageContents.MakeEmptyString(pageIndex);
        if (!content) return;
        std::string text;
        const CosObj contents = gCosHFT->dictGet(gPDModelHFT->pageGetCosObj(page), gAtomContents);
        switch (gCosHFT->objGetType(contents)) {
            case CosArray: {
                const int32_t count = gCosHFT->arrayLength(contents);
                for (int32_t i = 0; i < count; ++i)
                    if (!ReadContentStream(gCosHFT->arrayGet(contents, i), text)) return;
                break;
            }
            case CosStream:
                if (!ReadContentStream(contents, text)) return;
                break;
            default:
                break;  // no content: an empty page
        }
        *content = std::move(text);
        read = true;
    });
    if (!ranThrough) TakeErrorText();
    return ranThrough && read;
}

CosObj CPDFFormElement::SourceResources(CosObj pageDict) { return engine::InheritedResources(pageDict); }

bool CPDFFormElement::CopySourceResources() {
    mCopiedResources = CosObj{};
    const PDDoc source = mSourceDocument.GetPDDoc();
    if (!source || !mDocument || !mDocument->GetPDDoc()) return false;
    if (mSourcePage < 0 || mSourcePage >= mSourceDocument.GetPageCount()) return false;
    if (!mPageContents.GetString(mSourcePage)) return false;
    const bool ranThrough = HostFrame([&] {
        engine::PageRef page(source, mSourcePage);
        const CosObj resources = SourceResources(gPDModelHFT->pageGetCosObj(page));
        if (gCosHFT->objGetType(resources) == CosNull) return;
        mSourceResources = resources;
        // A new copy: the stamp calls this once per build, and a build may
        // follow an undo that took the earlier one's users away.
        mResourceCopies.erase(gPDModelHFT->docGetCosDoc(mDocument->GetPDDoc()));
        mForms.clear();
        mCopiedResources = ResourcesFor(gPDModelHFT->docGetCosDoc(mDocument->GetPDDoc()));
    });
    if (!ranThrough) {
        TakeErrorText();
        return false;
    }
    return gCosHFT->objGetType(mCopiedResources) != CosNull;
}

CosObj CPDFFormElement::ResourcesFor(CosDoc cosDoc) {
    const auto found = mResourceCopies.find(cosDoc);
    if (found != mResourceCopies.end() && engine::IsLiveIn(found->second, cosDoc, CosDict))
        return found->second;
    const CosObj copy = gCosHFT->objCopy(mSourceResources, cosDoc);
    mResourceCopies[cosDoc] = copy;
    Record(kElementUndoNoPage, kElementUndoResources, copy, "", kElementUndoNameResources);
    return copy;
}
