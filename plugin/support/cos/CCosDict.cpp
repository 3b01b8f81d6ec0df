#include "support/cos/CCosDict.h"

#include <cstring>

#include "support/Assertion.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"
#include "support/cos/PDFAtoms.h"

namespace {
// Reads a value; a failure answers the default unless it is to be thrown on.
template <class T, class F>
T ReadOr(bool rethrow, T fallback, F&& read) {
    try {
        return read();
    } catch (ErrorCode) {
        if (rethrow) throw;
        return fallback;
    }
}
}  // namespace

CCosDict::CCosDict() : mWorkObj(CosNullObj()) {}

CCosDict::CCosDict(CosDoc doc, bool indirect, int32_t entryCount)
    : CCosObj(doc), mWorkObj(CosNullObj()) {
    Create(indirect, entryCount);
}

CCosDict::CCosDict(CosDoc doc, CosObj dict) : CCosObj(doc, dict), mWorkObj(CosNullObj()) {
    QM_ASSERT_TEXT(GetType() == CosDict, "CosObjGetType(inCosDict) == CosDict");
}

CCosDict::~CCosDict() = default;

void CCosDict::Create(bool indirect, int32_t entryCount) {
    QM_ASSERT_TEXT(mCosDoc != nullptr, "mCosDoc != NULL");
    mCosObj = CallHostOr(kErrCosObject, [&] { return gCosHFT->newDict(mCosDoc, indirect, entryCount); });
}

CosObj CCosDict::GetValue(ASAtom key, bool throwIfMissing) const {
    CosObj value = CosNullObj();
    try {
        value = CallHost([&] { return gCosHFT->dictGet(mCosObj, key); });
    } catch (ErrorCode) {
        value = CosNullObj();
    }
    if (throwIfMissing && gCosHFT->objEqual(value, gCosHFT->newNull())) ThrowErrorCode(kErrNotFound);
    return value;
}

bool CCosDict::GetBoolean(ASAtom key, bool rethrow) const {
    const CCosObj value(mCosDoc, GetValue(key, true));
    return ReadOr(rethrow, false, [&] { return value.GetBoolean(); });
}

int32_t CCosDict::GetInteger(ASAtom key, bool rethrow) const {
    const CCosObj value(mCosDoc, GetValue(key, true));
    return ReadOr(rethrow, int32_t{0}, [&] { return value.GetInteger(); });
}

ASFixed CCosDict::GetFixed(ASAtom key, bool rethrow) const {
    const CCosObj value(mCosDoc, GetValue(key, true));
    return ReadOr(rethrow, ASFixed{0}, [&] { return value.GetFixed(); });
}

ASAtom CCosDict::GetName(ASAtom key, bool rethrow) const {
    const CCosObj value(mCosDoc, GetValue(key, true));
    return ReadOr(rethrow, kASAtomNull, [&] { return value.GetName(); });
}

const char* CCosDict::GetString(ASAtom key, bool rethrow, int32_t* outLength) const {
    const CosObj value = GetValue(key, true);
    int32_t length = 0;
    const char* bytes = ReadOr(rethrow, static_cast<const char*>(nullptr), [&] {
        return CallHost([&] { return gCosHFT->stringValue(value, &length); });
    });
    if (outLength) *outLength = bytes ? length : 0;
    return bytes;
}

bool CCosDict::HasKey(ASAtom key) const {
    return CallHost([&] { return gCosHFT->dictKnown(mCosObj, key); });
}

void CCosDict::RemoveKey(ASAtom key, bool rethrow) {
    try {
        CallHostOr(kErrRemoveKey, [&] { gCosHFT->dictRemove(mCosObj, key); });
    } catch (ErrorCode) {
        if (rethrow) throw;
    }
}

void CCosDict::PutBoolean(ASAtom key, bool value, bool indirect) {
    CallHostOr(kErrCosObject, [&] {
        gCosHFT->dictPut(mCosObj, key, gCosHFT->newBoolean(mCosDoc, indirect, value));
    });
}

void CCosDict::PutInteger(ASAtom key, int32_t value, bool indirect) {
    CallHostOr(kErrCosObject, [&] {
        gCosHFT->dictPut(mCosObj, key, gCosHFT->newInteger(mCosDoc, indirect, value));
    });
}

void CCosDict::PutFloat(ASAtom key, double value, bool indirect) {
    const ASFixed fixed = FixedFromDouble(value);
    CallHostOr(kErrCosObject, [&] {
        gCosHFT->dictPut(mCosObj, key, gCosHFT->newFixed(mCosDoc, indirect, fixed));
    });
}

void CCosDict::PutName(ASAtom key, ASAtom value, bool indirect) {
    CallHostOr(kErrCosObject, [&] {
        gCosHFT->dictPut(mCosObj, key, gCosHFT->newName(mCosDoc, indirect, value));
    });
}

void CCosDict::PutString(ASAtom key, const char* bytes, int32_t length, bool indirect) {
    CallHostOr(kErrCosObject, [&] {
        gCosHFT->dictPut(mCosObj, key, gCosHFT->newString(mCosDoc, indirect, bytes, length));
    });
}

void CCosDict::PutString(ASAtom key, const char* text, bool indirect) {
    PutString(key, text ? text : "", static_cast<int32_t>(text ? std::strlen(text) : 0), indirect);
}

void CCosDict::PutValue(ASAtom key, CosObj value) {
    CallHostOr(kErrCosObject, [&] { gCosHFT->dictPut(mCosObj, key, value); });
}

bool CCosDict::EnumerateIn(Mode mode) {
    mMode = mode;
    return Enumerate();
}

int32_t CCosDict::CountKeys() {
    mCounter = 0;
    EnumerateIn(kCount);
    return mCounter;
}

int32_t CCosDict::IndexOfKey(ASAtom key) {
    mCounter = 0;
    mKeyAtom = key;
    if (EnumerateIn(kFindKey)) ThrowErrorCode(kErrNotFound);
    return mCounter;
}

int32_t CCosDict::IndexOfValue(CosObj value) {
    mCounter = 0;
    mWorkObj = value;
    const bool ranToEnd = EnumerateIn(kFindValue);
    mWorkObj = CosNullObj();
    if (ranToEnd) ThrowErrorCode(kErrNotFound);
    return mCounter;
}

ASAtom CCosDict::KeyAt(int32_t position) {
    mCounter = position;
    mKeyAtom = kASAtomNull;
    if (position < 0 || EnumerateIn(kKeyAtPosition)) ThrowErrorCode(kErrNotFound);
    return mKeyAtom;
}

CosObj CCosDict::Copy(bool indirect, bool share) {
    CCosCopyMemo memo;
    return Copy(indirect, share, memo);
}

CosObj CCosDict::Copy(bool indirect, bool share, CCosCopyMemo& memo) {
    CCosDict copy;
    copy.SetCosDoc(mCosDoc);
    copy.Create(indirect, 1);
    // Known before the entries are copied, so that an entry leading back here
    // finds this copy instead of starting another.
    if (IsIndirect()) memo.Add(mCosObj, copy.GetCosObj());
    CopyEntriesInto(copy.GetCosObj(), share, memo, false);
    return copy.GetCosObj();
}

void CCosDict::CopyEntriesInto(CosObj target, bool share, CCosCopyMemo& memo, bool skipLength) {
    mWorkObj = target;
    mMemo = &memo;
    mSkipLength = skipLength;
    const auto done = OnScopeExit([this] {
        mWorkObj = CosNullObj();
        mMemo = nullptr;
    });
    EnumerateIn(share ? kCopyShared : kCopyDeep);
}

void CCosDict::CopyEntry(ASAtom key, CosObj value) {
    const bool isLength = key == gAtomLength;
    if (isLength && mSkipLength) return;
    const bool share = mMode == kCopyShared;
    // "Length" goes the other way: a shared copy gets a direct length of its
    // own, a deep copy keeps an indirect length object.
    const CosObj copy = CCosObj(mCosDoc, value).Copy(isLength ? !share : share, *mMemo);
    CallHostOr(kErrCosObject, [&] { gCosHFT->dictPut(mWorkObj, key, copy); });
}

void CCosDict::Dump(FILE* file) {
    std::fputs("<<\n", file);
    {
        mDumpFile = file;
        const auto done = OnScopeExit([this] { mDumpFile = nullptr; });
        EnumerateIn(kDump);
    }
    std::fputs(">>\n", file);
}

bool CCosDict::OnEnumEntry(CosObj key, CosObj value) {
    switch (mMode) {
    case kCount:
        ++mCounter;
        return true;
    case kFindKey:
        if (CallHost([&] { return gCosHFT->nameValue(key); }) == mKeyAtom) return false;
        ++mCounter;
        return true;
    case kFindValue:
        if (gCosHFT->objEqual(value, mWorkObj)) return false;
        ++mCounter;
        return true;
    case kKeyAtPosition:
        // Tested before counting down, so that position 0 is the first key.
        if (mCounter == 0) {
            mKeyAtom = CallHost([&] { return gCosHFT->nameValue(key); });
            return false;
        }
        --mCounter;
        return true;
    case kCopyShared:
    case kCopyDeep:
        CopyEntry(CallHost([&] { return gCosHFT->nameValue(key); }), value);
        return true;
    case kDump: {
        const ASAtom atom = CallHost([&] { return gCosHFT->nameValue(key); });
        std::fprintf(mDumpFile, "%s : ", CallHost([&] { return gCoreHFT->atomGetString(atom); }));
        CCosObj(mCosDoc, value).Dump(mDumpFile);
        return true;
    }
    }
    return true;
}
