#include "stamper/StampKinds.h"

#include "stamper/CImageStamp.h"
#include "stamper/CPDFPageStamp.h"
#include "stamper/CStamp.h"
#include "stamper/CTextStamp.h"
#include "stamper/StampKeys.h"
#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

std::unique_ptr<CStamp> MakeStampForCabinet(ASCab inStampCab) {
    if (!gASExtraHFT) ThrowErrorCode(kErrNoMemory);
    const int32_t type =
        CallHost([&] { return gASExtraHFT->cabGetInt(inStampCab, kKeyStampType, kStampTypeText); });
    switch (type) {
        case kStampTypeText: return std::make_unique<CTextStamp>(inStampCab);
        case kStampTypeImage: return std::make_unique<CImageStamp>(inStampCab);
        case kStampTypePDFPage: return std::make_unique<CPDFPageStamp>(inStampCab);
        default: return nullptr;
    }
}

std::string StampCabinetKey(int32_t inIndex) { return kKeyStampPrefix + std::to_string(inIndex); }

std::string MissingStampMessage(const char* inProfileName, const std::string& inKey) {
    return std::string("描述文件 ") + (inProfileName ? inProfileName : "") + " 缺少印章 " + inKey;
}
