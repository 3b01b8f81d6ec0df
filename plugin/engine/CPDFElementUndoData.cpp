#include "engine/CPDFElementUndoData.h"

#include <cstring>
#include <new>

#include "support/ErrorCode.h"

namespace {

// The labels the elements give their records: a record with one of them keeps
// the constant instead of a copy.
constexpr const char* kLabels[] = {kElementUndoNameContent,   kElementUndoNameResources,
                                   kElementUndoNameImage,     kElementUndoNameXObject,
                                   kElementUndoNameExtGState, kElementUndoNameAnnot,
                                   kElementUndoNameFont,      kElementUndoNameCosObj,
                                   kElementUndoNameEntry};

const char* LabelConstant(const char* inText) {
    for (const char* label : kLabels)
        if (std::strcmp(label, inText) == 0) return label;
    return nullptr;
}

}  // namespace

CPDFElementUndoData::CPDFElementUndoData(AVDoc inAVDoc, int32_t inPageIndex, const char* inName)
    : mAVDoc(inAVDoc), mPageIndex(inPageIndex) {
    SetName(inName);
}

CPDFElementUndoData::~CPDFElementUndoData() {
    delete[] mDescription;
    FreeName();
}

void CPDFElementUndoData::FreeName() {
    if (mOwnsName) delete[] mName;
    mName = nullptr;
    mOwnsName = false;
}

char* CPDFElementUndoData::CopyText(const char* inText) {
    if (!inText) return nullptr;
    const size_t size = std::strlen(inText) + 1;
    char* copy = new (std::nothrow) char[size];
    if (!copy) ThrowErrorCode(kErrCosObject);
    std::memcpy(copy, inText, size);
    return copy;
}

void CPDFElementUndoData::SetName(const char* inName) {
    const char* label = inName ? LabelConstant(inName) : nullptr;
    char* copy = label ? nullptr : CopyText(inName);  // copied first: inName may be the stored text
    FreeName();
    mName = label ? label : copy;
    mOwnsName = copy != nullptr;
}

const char* CPDFElementUndoData::GetName() const { return mName; }

void CPDFElementUndoData::SetDescription(const char* inDescription) {
    char* copy = CopyText(inDescription);
    delete[] mDescription;
    mDescription = copy;
}

const char* CPDFElementUndoData::GetDescription() const { return mDescription; }
