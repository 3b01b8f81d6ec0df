#include "engine/ElementPageWriter.h"

#include <vector>

#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/ErrorMessage.h"
#include "support/ResourceStrings.h"
#include "support/TableMembers.h"
#include "support/cos/PDFAtoms.h"

const ElementResource kFontResource{"Font", "NxF", kElementUndoFont, kElementUndoNameFont};
const ElementResource kImageResource{"XObject", "NxI", kElementUndoXObject, kElementUndoNameImage};
const ElementResource kFormResource{"XObject", "NxX", kElementUndoXObject, kElementUndoNameXObject};
const ElementResource kStateResource{"ExtGState", "NxGS", kElementUndoExtGState, kElementUndoNameExtGState};

namespace {

// "本文档不能添加印章": the page cannot take the stamp.
constexpr uint32_t kStringCannotStamp = 212;

}  // namespace

bool CElementPageWriter::Run(CPDFElement& element, int32_t pageIndex, const std::function<bool(PDPage)>& write) {
    bool written = false;
    const bool ranThrough = engine::HostFrame([&] {
        const PDDoc doc = element.GetDocument()->GetPDDoc();
        // What one page's write made and left unattached (a stream's attribute
        // dictionary, say) would otherwise stay until the whole run returns.
        const bool release = TableHasMember(gCosHFT, &CosTable::docHandleMark) &&
                             TableHasMember(gCosHFT, &CosTable::docReleaseUnheld);
        const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(doc);
        const uint32_t mark = release ? gCosHFT->docHandleMark(cosDoc) : 0;
        {
            engine::PageRef page(doc, pageIndex, true);
            written = write(page);
        }
        if (release) gCosHFT->docReleaseUnheld(cosDoc, mark);
    });
    if (ranThrough && written) return true;
    element.TakeErrorText();
    return false;
}

CElementPageWriter::CElementPageWriter(CPDFElement& element, int32_t pageIndex, PDPage page, NewDicts made)
    : mElement(element),
      mPageIndex(pageIndex),
      mPage(page),
      mMade(made),
      mCosDoc(gPDModelHFT->docGetCosDoc(element.GetDocument()->GetPDDoc())),
      mPageDict(gPDModelHFT->pageGetCosObj(page)) {}

CosObj CElementPageWriter::Resources() {
    if (!mHaveResources) {
        mResources = mElement.mResources.ResourcesOf(mCosDoc, mPageDict, mMade == NewDicts::kIndirect,
                                                     &mResourcesPageOwn);
        mHaveResources = true;
    }
    return mResources;
}

bool CElementPageWriter::AddResource(const ElementResource& resource, CosObj object, std::string& outName) {
    CPageResources& resources = mElement.mResources;
    // A missing category is made direct or indirect as the element makes its dictionaries.
    const CosObj dict = resources.CategoryOf(mCosDoc, Resources(), engine::Atom(resource.category),
                                             mMade == NewDicts::kIndirect);
    // A dictionary that other pages share already holds the object: its entry
    // serves this page too. One that is this page's alone is not looked up
    // nor noted: a note per page would cost memory on every page of a run
    // and could never serve another page.
    const bool pageOwn = mResourcesPageOwn && !gCosHFT->objIsIndirect(dict);
    if (!pageOwn && resources.EnteredName(dict, object, mPageIndex, outName)) return true;
    if (!mElement.MakeResourceName(outName, resource.prefix, dict)) {
        SetErrorMessage(LoadResString(kStringCannotStamp));
        return false;
    }
    gPDModelHFT->pageAddResource(mPage, resource.category, outName.c_str(), object);
    if (!pageOwn) resources.NoteEntered(dict, object, mPageIndex, outName);
    mElement.Record(mPageIndex, resource.undoKind, object, outName.c_str(), resource.undoName);
    return true;
}

bool CElementPageWriter::InsertPieces(std::initializer_list<std::reference_wrapper<const std::string>> inDrawingOrder) {
    std::vector<std::reference_wrapper<const std::string>> order(inDrawingOrder);
    const int32_t position = mElement.GetContentPosition();
    // At the front each piece goes to index 0, so they are put in reverse.
    if (position != CPDFElement::kContentEnd) order.assign(std::rbegin(inDrawingOrder), std::rend(inDrawingOrder));
    for (const std::string& piece : order) {
        if (piece.empty()) continue;
        if (!mElement.InsertPiece(mCosDoc, mPageDict, piece, position, mPageIndex)) return false;
    }
    return true;
}
