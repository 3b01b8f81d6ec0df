#include "engine/CPDFElementUndoData.h"

#include <cstring>
#include <new>

#include "support/ErrorCode.h"

CPDFElementUndoData::CPDFElementUndoData(AVDoc inAVDoc, int32_t inPageIndex, const char* inName)
    : mAVDoc(inAVDoc), mPageIndex(inPageIndex) {
    SetName(inName);
}

CPDFElementUndoData::~CPDFElementUndoData() {
    delete[] mDescription;
    delete[] mName;
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
    char* copy = CopyText(inName);  // copied first: inName may be the stored text
    delete[] mName;
    mName = copy;
}

const char* CPDFElementUndoData::GetName() const { return mName; }

void CPDFElementUndoData::SetDescription(const char* inDescription) {
    char* copy = CopyText(inDescription);
    delete[] mDescription;
    mDescription = copy;
}

const char* CPDFElementUndoData::GetDescription() const { return mDescription; }
