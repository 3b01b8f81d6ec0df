// Which stamp object a stamp cabinet becomes, by its "kStampType".
#pragma once

#include <memory>
#include <string>

#include "qmhost/QMBase.h"

class CStamp;

// The stamp of the right kind over inStampCab (not owned by the stamp): a
// CTextStamp for type 0 (also when the key is missing), a CImageStamp for
// type 1, a CPDFPageStamp for type 2. Null for every other type: such stamps
// are skipped without a word. Host errors leave as their 16-bit codes.
std::unique_ptr<CStamp> MakeStampForCabinet(ASCab inStampCab);

// The message of a profile that counts a stamp it does not hold.
std::string MissingStampMessage(const char* inProfileName, const std::string& inKey);

// The key of stamp inIndex in a profile cabinet: "kStamp" followed by the index.
std::string StampCabinetKey(int32_t inIndex);
