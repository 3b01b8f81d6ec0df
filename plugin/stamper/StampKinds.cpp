#include "stamper/StampKinds.h"

#include "stamper/CStamp.h"
#include "stamper/CTextStamp.h"
#include "stamper/StampKeys.h"
#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

// The log line of a kind that is known but cannot be applied yet.
std::string UnsupportedKindNote(ASCab inStampCab, int32_t inType) {
    const char* name = CallHost([&] { return gASExtraHFT->cabGetString(inStampCab, kKeyStampName); });
    const char* kind = inType == kStampTypeImage ? "图像印章" : "PDF 页面印章";
    return std::string("跳过印章 ") + (name ? name : "") + "：本版本尚不能添加" + kind;
}

}  // namespace

std::unique_ptr<CStamp> MakeStampForCabinet(ASCab inStampCab, std::string& outNote) {
    outNote.clear();
    if (!gASExtraHFT) ThrowErrorCode(kErrNoMemory);
    const int32_t type =
        CallHost([&] { return gASExtraHFT->cabGetInt(inStampCab, kKeyStampType, kStampTypeText); });
    switch (type) {
        case kStampTypeText: return std::make_unique<CTextStamp>(inStampCab);
        case kStampTypeImage:
        case kStampTypePDFPage: outNote = UnsupportedKindNote(inStampCab, type); return nullptr;
        default: return nullptr;
    }
}

std::string StampCabinetKey(int32_t inIndex) { return kKeyStampPrefix + std::to_string(inIndex); }

std::string MissingStampMessage(const char* inProfileName, const std::string& inKey) {
    return std::string("描述文件 ") + (inProfileName ? inProfileName : "") + " 缺少印章 " + inKey;
}
