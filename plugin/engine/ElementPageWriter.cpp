#include "engine/ElementPageWriter.h"

#include <vector>

#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/ErrorMessage.h"
#include "support/ResourceStrings.h"
#include "support/cos/PDFAtoms.h"

const ElementResource kFontResource{"Font", "NxF", kElementUndoFont, kElementUndoNameFont};
const ElementResource kImageResource{"XObject", "NxI", kElementUndoXObject, kElementUndoNameImage};
const ElementResource kFormResource{"XObject", "NxX", kElementUndoXObject, kElementUndoNameXObject};
const ElementResource kStateResource{"ExtGState", "NxGS", kElementUndoExtGState, kElementUndoNameExtGState};

namespace {

// "本文档不能添加印章": the page cannot take the stamp.
constexpr uint32_t kStringCannotStamp = 212;

CosObj NewDict(CosDoc cosDoc, CElementPageWriter::NewDicts made) {
    return gCosHFT->newDict(cosDoc, made == CElementPageWriter::NewDicts::kIndirect, 1);
}

// The page's effective resources (InheritedResources), else a new dictionary
// put on the page.
CosObj EffectiveResources(CosDoc cosDoc, CosObj pageDict, CElementPageWriter::NewDicts made) {
    const CosObj inherited = engine::InheritedResources(pageDict);
    if (gCosHFT->objGetType(inherited) == CosDict) return inherited;
    const CosObj resources = NewDict(cosDoc, made);
    gCosHFT->dictPut(pageDict, gAtomResources, resources);
    return resources;
}

// The resources' sub-dictionary of that category, made and put there when
// there is none (or the entry is no dictionary, which the host replaces too),
// direct or indirect as the element makes its dictionaries.
CosObj Category(CosDoc cosDoc, CosObj resources, ASAtom category, CElementPageWriter::NewDicts made) {
    CosObj dict = gCosHFT->dictGet(resources, category);
    if (gCosHFT->objGetType(dict) != CosDict) {
        dict = NewDict(cosDoc, made);
        gCosHFT->dictPut(resources, category, dict);
    }
    return dict;
}

}  // namespace

bool CElementPageWriter::Run(CPDFElement& element, int32_t pageIndex, const std::function<bool(PDPage)>& write) {
    bool written = false;
    const bool ranThrough = engine::HostFrame([&] {
        engine::PageRef page(element.GetDocument()->GetPDDoc(), pageIndex, true);
        written = write(page);
    });
    if (ranThrough && written) return true;
    element.SetErrorText(GetErrorMessage());
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
        mResources = EffectiveResources(mCosDoc, mPageDict, mMade);
        mHaveResources = true;
    }
    return mResources;
}

bool CElementPageWriter::AddResource(const ElementResource& resource, CosObj object, std::string& outName) {
    const CosObj dict = Category(mCosDoc, Resources(), engine::Atom(resource.category), mMade);
    if (!mElement.MakeResourceName(outName, resource.prefix, dict)) {
        SetErrorMessage(LoadResString(kStringCannotStamp));
        return false;
    }
    gPDModelHFT->pageAddResource(mPage, resource.category, outName.c_str(), object);
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
        if (!mElement.InsertPageContent(mCosDoc, mPageDict, piece, position)) return false;
    }
    return true;
}
