#include "support/cos/CCosArray.h"

#include <cstring>

#include "support/Alerts.h"
#include "support/Assertion.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {
// Runs a put or insert; the host's text is shown at once and the host's code
// thrown on.
template <class F>
void PutOrAlert(F&& body) {
    try {
        body();
    } catch (const HostError& error) {
        char text[256];
        gAppSupportHFT->getErrorString(error.code(), text, sizeof text);
        const ErrorCode code = TakeHostError(error);
        ShowAlert(text);
        ThrowErrorCode(code);
    }
}
}  // namespace

CCosArray::CCosArray() = default;

CCosArray::CCosArray(CosDoc doc, bool indirect, int32_t size) : CCosObj(doc) {
    mCosObj = CallHostOr(kErrCosObject, [&] { return gCosHFT->newArray(doc, indirect, size); });
}

CCosArray::CCosArray(CosDoc doc, CosObj array) : CCosObj(doc, array) {
    QM_ASSERT_TEXT(GetType() == CosArray, "CosObjGetType(inCosArray) == CosArray");
}

CCosArray::~CCosArray() = default;

int32_t CCosArray::GetLength() const {
    return CallHost([&] { return gCosHFT->arrayLength(mCosObj); });
}

CosObj CCosArray::GetValue(int32_t index) const {
    return CallHostOr(kErrNotFound, [&] { return gCosHFT->arrayGet(mCosObj, index); });
}

int32_t CCosArray::GetInteger(int32_t index) const { return CCosObj(mCosDoc, GetValue(index)).GetInteger(); }
bool CCosArray::GetBoolean(int32_t index) const { return CCosObj(mCosDoc, GetValue(index)).GetBoolean(); }
ASAtom CCosArray::GetName(int32_t index) const { return CCosObj(mCosDoc, GetValue(index)).GetName(); }
double CCosArray::GetFloat(int32_t index) const { return CCosObj(mCosDoc, GetValue(index)).GetFloat(); }

const char* CCosArray::GetString(int32_t index, int32_t* outLength) const {
    const CosObj value = GetValue(index);
    int32_t length = 0;
    const char* bytes = CallHost([&] { return gCosHFT->stringValue(value, &length); });
    if (outLength) *outLength = length;
    return bytes;
}

void CCosArray::PutValue(int32_t index, CosObj value) {
    PutOrAlert([&] { gCosHFT->arrayPut(mCosObj, index, value); });
}

void CCosArray::InsertValue(int32_t index, CosObj value) {
    PutOrAlert([&] { gCosHFT->arrayInsert(mCosObj, index, value); });
}

CosObj CCosArray::MakeString(const char* text) const {
    if (!text) text = "";
    const auto length = static_cast<int32_t>(std::strlen(text));
    return CallHost([&] { return gCosHFT->newString(mCosDoc, false, text, length); });
}

void CCosArray::PutInteger(int32_t index, int32_t value) { PutValue(index, Make(CCosObj(mCosDoc, value))); }
void CCosArray::PutName(int32_t index, ASAtom value) { PutValue(index, Make(CCosObj(mCosDoc, value))); }
void CCosArray::PutBoolean(int32_t index, bool value) { PutValue(index, Make(CCosObj(mCosDoc, value))); }
void CCosArray::PutString(int32_t index, const char* text) { PutValue(index, MakeString(text)); }
void CCosArray::PutFloat(int32_t index, double value) { PutValue(index, Make(CCosObj(mCosDoc, value))); }

void CCosArray::InsertInteger(int32_t index, int32_t value) { InsertValue(index, Make(CCosObj(mCosDoc, value))); }
void CCosArray::InsertName(int32_t index, ASAtom value) { InsertValue(index, Make(CCosObj(mCosDoc, value))); }
void CCosArray::InsertBoolean(int32_t index, bool value) { InsertValue(index, Make(CCosObj(mCosDoc, value))); }
void CCosArray::InsertString(int32_t index, const char* text) { InsertValue(index, MakeString(text)); }
void CCosArray::InsertFloat(int32_t index, double value) { InsertValue(index, Make(CCosObj(mCosDoc, value))); }

void CCosArray::PutRect16(int32_t index, const Rect16& rect) {
    PutInteger(index, rect.left);
    PutInteger(index + 1, rect.top);
    PutInteger(index + 2, rect.right);
    PutInteger(index + 3, rect.bottom);
}

void CCosArray::InsertRect16(int32_t index, const Rect16& rect) {
    InsertInteger(index, rect.left);
    InsertInteger(index + 1, rect.top);
    InsertInteger(index + 2, rect.right);
    InsertInteger(index + 3, rect.bottom);
}

void CCosArray::RemoveValue(CosObj value) {
    CallHost([&] { gCosHFT->arrayRemove(mCosObj, value); });
}

void CCosArray::RemoveAt(int32_t index) {
    CallHost([&] { gCosHFT->arrayRemoveAt(mCosObj, index); });
}

CosObj CCosArray::Copy(bool indirect, bool share) {
    CCosCopyMemo memo;
    return Copy(indirect, share, memo);
}

CosObj CCosArray::Copy(bool indirect, bool share, CCosCopyMemo& memo) {
    const int32_t length = GetLength();
    CCosArray copy(mCosDoc, indirect, length);
    // Known before the elements are copied, so that a reference back here ends.
    if (IsIndirect()) memo.Add(mCosObj, copy.GetCosObj());
    for (int32_t i = 0; i < length; ++i)
        copy.PutValue(i, CCosObj(mCosDoc, GetValue(i)).Copy(share, memo));
    return copy.GetCosObj();
}

void CCosArray::Dump(FILE* file) const {
    std::fputs("[\n", file);
    const int32_t length = GetLength();
    for (int32_t i = 0; i < length; ++i) CCosObj(mCosDoc, GetValue(i)).Dump(file);
    std::fputs("]\n", file);
}
