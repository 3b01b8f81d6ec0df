#include "stamper/CStampClipboard.h"

#include <string>

#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

CStampClipboard* gStampClipboard = nullptr;

namespace {

std::string StampKey(int32_t inIndex) { return kClipboardStampKey + std::to_string(inIndex); }

ASCab NewCab() {
    if (!gASExtraHFT) ThrowErrorCode(kErrNoMemory);
    return CallHost([] { return gASExtraHFT->cabNew(); });
}

// Puts a duplicate of inSource under the key; the duplicate is destroyed again
// when the put fails.
void PutDuplicate(ASCab inCab, const char* inKey, ASCab inSource) {
    CallHost([&] {
        ASCab copy = gASExtraHFT->cabDup(inSource);
        try {
            gASExtraHFT->cabPutCab(inCab, inKey, copy);
        } catch (const HostError&) {
            gASExtraHFT->cabDestroy(copy);
            throw;
        }
    });
}

}  // namespace

CStampClipboard::CStampClipboard() : mCab(NewCab()) {}

CStampClipboard::~CStampClipboard() {
    try {
        if (gASExtraHFT) gASExtraHFT->cabDestroy(mCab);
    } catch (const HostError&) {
        // A destructor cannot report it.
    }
}

void CStampClipboard::Clear() {
    ASCab fresh = NewCab();
    ASCab old = mCab;
    mCab = fresh;
    mState = kEmpty;
    CallHost([&] { gASExtraHFT->cabDestroy(old); });
}

bool CStampClipboard::SetProfile(ASCab inProfile) {
    PutDuplicate(mCab, kClipboardProfileKey, inProfile);
    mState = kProfile;
    return true;
}

bool CStampClipboard::AddStamp(ASCab inStamp) {
    if (mState == kProfile) Clear();
    const int32_t n = mState == kStamps ? GetNumberOfStamps() : 0;
    PutDuplicate(mCab, StampKey(n).c_str(), inStamp);
    CallHost([&] { gASExtraHFT->cabPutInt(mCab, kClipboardNumberOfStampsKey, n + 1); });
    mState = kStamps;
    return true;
}

ASCab CStampClipboard::GetProfile() const {
    if (mState != kProfile) return nullptr;
    return CallHost([&] { return gASExtraHFT->cabGetCab(mCab, kClipboardProfileKey); });
}

int32_t CStampClipboard::GetNumberOfStamps() const {
    if (mState != kStamps) return 0;
    return CallHost([&] { return gASExtraHFT->cabGetInt(mCab, kClipboardNumberOfStampsKey, 0); });
}

ASCab CStampClipboard::GetStamp(int32_t inIndex) const {
    if (mState != kStamps || inIndex < 0) return nullptr;
    const std::string key = StampKey(inIndex);
    return CallHost([&] { return gASExtraHFT->cabGetCab(mCab, key.c_str()); });
}
