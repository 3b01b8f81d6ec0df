// The values a profile from JSON may give the stamp keys: those the design
// dialogs let a user enter. A value outside them would be stored and then
// stamp nothing, or write what no PDF reader accepts.
//   numbers  kStampType 0..2, kUnitC 0..3 (the dialogs' inch, centimetre and
//            millimetre, and 3 for point, which the stamp reads any larger
//            value as), kHorizontalC and kVerticalC 0..2,
//            kHorizontalS and kVerticalS -99999..99999, kRotationS -360..360,
//            kOpacityS 0..100, kPages 0..2, kStampOnC 0..4, kFromPageE,
//            kEveryPageE and kPageNoS 1..1000000000, kSizeS 1..4800,
//            kLineSpacingC 0..2, kTypeC 0..1, kStyleStandardC 0..13, kSizeE 6..72,
//            kUnderlineC 0..6, kDashedC 0..4, kWeightC 0..6 (points),
//            the colours kColorC, kColorFontC and kFillColorC -1 (none) or
//            0..0xFFFFFF
//   texts    kStampNameE, kSelectFileE and kPagesE at most 256 characters,
//            kTextE at most 4000; kSelectFileE without control characters
//   kPagesE  a page list: items parted by ",", each a page ("3"), a range
//            ("2-9", "9-2"), a range of its odd or even pages ("2-9odd",
//            "2-9 even") or "odd" or "even" alone; blanks may stand around
//            numbers, nothing else may follow one.
#pragma once

#include <string>
#include <string_view>

#include "cabinet/Cabinet.h"

namespace qmcli {

struct ValueRange {
    double low;
    double high;
};

// The numbers a stamp key may hold; null for keys that take any number.
const ValueRange* StampValueRange(std::string_view key);

// Whether the stamp key may hold the value; *why (naming the value and what
// is allowed) when not. Keys without a range take any value of their kind.
bool CheckStampValue(std::string_view key, const qmhost::CabinetValue& value, std::string* why);

// The shortest text that reads back to the same double: a whole number that
// a double holds exactly without fraction ("2", "-99999"), others in the
// shorter of the fixed and exponent forms ("0.0001234", "1e+300"), the fixed
// one when both are as long; "null" for an infinite number or NaN. Profile
// JSON and the messages about numbers both write numbers so.
std::string NumberText(double number);

// Whether the text is a page list (see above); *why names the fault when not.
bool CheckPageList(std::string_view text, std::string* why);

}  // namespace qmcli
