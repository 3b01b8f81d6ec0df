#include "engine/CPDFElementUndoAdd.h"

#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>

#include "qmhost/HostError.h"
#include "support/Assertion.h"
#include "support/CPDPageHolder.h"
#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

namespace {

// The resource type whose entry a record of this kind removes, or null.
const char* ResourceTypeOf(int32_t inKind) {
    switch (inKind) {
        case kElementUndoXObject: return "XObject";
        case kElementUndoExtGState: return "ExtGState";
        case kElementUndoFont: return "Font";
        default: return nullptr;
    }
}

// The kept copies of resource names: one per distinct text, by number, shared
// by every record that names it. The deque never moves a text, so the views
// that index them stay valid; the names are bounded by the prefixes times
// their numbers.
struct KeptNames {
    std::mutex lock;
    std::deque<std::string> texts;
    std::unordered_map<std::string_view, uint32_t> numbers;
};

KeptNames& Kept() {
    static KeptNames kept;
    return kept;
}

uint32_t KeptResourceName(std::string_view inName) {
    KeptNames& kept = Kept();
    try {
        const std::lock_guard<std::mutex> lock(kept.lock);
        const auto found = kept.numbers.find(inName);
        if (found != kept.numbers.end()) return found->second;
        const auto number = static_cast<uint32_t>(kept.texts.size());
        const std::string& text = kept.texts.emplace_back(inName);
        kept.numbers.emplace(text, number);
        return number;
    } catch (const std::bad_alloc&) {
        ThrowErrorCode(kErrCosObject);
    }
}

// A run keeps several records a page until the next run or a save.
static_assert(sizeof(CPDFElementUndoAdd) <= 64, "an element record outgrows its 64-byte block");

bool IsPageKind(int32_t inKind) {
    return inKind == kElementUndoContent || inKind == kElementUndoAnnot || ResourceTypeOf(inKind);
}

}  // namespace

CPDFElementUndoAdd::CPDFElementUndoAdd(AVDoc inAVDoc, int32_t inPageIndex, int32_t inKind,
                                       CosObj inObject, const char* inResourceName,
                                       const char* inName)
    : CPDFElementUndoData(inAVDoc, inPageIndex, inName),
      mObject(inObject),
      mKind(inKind),
      mResourceName(KeptResourceName(
          inResourceName ? std::string_view(inResourceName, strnlen(inResourceName, kResourceNameSize - 1))
                         : std::string_view())) {}

CPDFElementUndoAdd::~CPDFElementUndoAdd() = default;

const char* CPDFElementUndoAdd::GetResourceName() const {
    KeptNames& kept = Kept();
    const std::lock_guard<std::mutex> lock(kept.lock);
    return kept.texts[mResourceName].c_str();
}

bool CPDFElementUndoAdd::Undo() {
    if (!mAVDoc) ReportAssertion("mAVDoc != NULL", "CPDFElementUndoAdd", __LINE__);
    mSuccess = true;
    if (gCosHFT->objEqual(mObject, gCosHFT->newNull())) {
        mSuccess = false;
        return false;
    }
    try {
        CallHost([&] {
            PDDoc doc = gAppViewHFT->avDocGetPDDoc(mAVDoc);
            if (!IsPageKind(mKind)) {
                // Kinds 1 and 6 are no page's; an unknown kind is nothing this record can take back.
                if (mKind != kElementUndoResources && mKind != kElementUndoCosObj) mSuccess = false;
                return;
            }
            CPDPageHolder page(doc, mPageIndex);
            WithCleanUp([&] { UndoOnPage(page); }, [&] { NotifyChanged(page); });
        });
    } catch (ErrorCode) {
        mSuccess = false;
    }
    // The object itself is not destroyed: nothing refers to it any more, so it is
    // not written with the document, and an object that another record or
    // another page still uses (a shared font copy, an image placed on several
    // pages) stays whole.
    return mSuccess;
}

void CPDFElementUndoAdd::UndoOnPage(PDPage inPage) {
    switch (mKind) {
        case kElementUndoContent:
            UndoContent(inPage);
            break;
        case kElementUndoAnnot: {
            const PDAnnot annot{mObject};
            const int32_t index = gPDModelHFT->pageGetAnnotIndex(inPage, annot);
            gPDModelHFT->pageRemoveAnnot(inPage, index);
            break;
        }
        default:
            gPDModelHFT->pageRemoveResource(inPage, ResourceTypeOf(mKind), GetResourceName());
            break;
    }
}

void CPDFElementUndoAdd::UndoContent(PDPage inPage) {
    const CosObj pageDict = gPDModelHFT->pageGetCosObj(inPage);
    const ASAtom contentsKey = gCoreHFT->atomFromString("Contents");
    const CosObj contents = gCosHFT->dictGet(pageDict, contentsKey);
    switch (gCosHFT->objGetType(contents)) {
        case CosNull:
            mSuccess = false;
            break;
        case CosArray:
            gCosHFT->arrayRemove(contents, mObject);
            break;
        case CosStream:
            if (gCosHFT->objEqual(contents, mObject)) gCosHFT->dictRemove(pageDict, contentsKey);
            break;
        default:
            break;
    }
}

void CPDFElementUndoAdd::NotifyChanged(PDPage inPage) {
    // The page's drawing is out of date whatever part of the undo was done.
    try {
        gPDModelHFT->pageNotifyContentsDidChange(inPage);
    } catch (const HostError&) {
    }
}
