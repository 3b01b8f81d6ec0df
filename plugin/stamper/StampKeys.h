// The keys of profile and stamp cabinets, their value kinds and what a reader
// takes when a key is missing. Every part of the plug-in that reads or writes a
// stamp uses these names; profiles on disk rely on them byte for byte.
//
// Kinds: int, double and bool are the cabinet's integer, floating-point and
// boolean values; string is the cabinet's string value; text is a host text
// object; binary is a binary block.
#pragma once

#include <cstdint>

#include "qmhost/ASExtraTable.h"

// --- profile cabinet
inline constexpr const char kKeyNumberOfStamps[] = "kNumberOfStamps";  // int, 0: stamps in the profile
// Prefix of the stamp sub-cabinets: "kStamp0", "kStamp1", ... in the order applied.
inline constexpr const char kKeyStampPrefix[] = "kStamp";

// --- every stamp
inline constexpr const char kKeyStampType[] = "kStampType";  // int, 0: 0 text, 1 image, 2 PDF page
inline constexpr const char kKeyStampName[] = "kStampNameE";  // string, none
// binary: a whole PDF document whose first top-level bookmark carries the
// stamp's link action; its length also under "kActionCFileSize" (int).
inline constexpr const char kKeyAction[] = "kActionC";
inline constexpr const char kKeyUnit[] = "kUnitC";              // int, 0: 0 in, 1 cm, 2 mm, other pt
inline constexpr const char kKeyHorizontalOffset[] = "kHorizontalS";  // double, 0, in the unit
inline constexpr const char kKeyHorizontalAlign[] = "kHorizontalC";   // int, 0: 0 left, 1 right, 2 centre
inline constexpr const char kKeyVerticalOffset[] = "kVerticalS";      // double, 0, in the unit
inline constexpr const char kKeyVerticalAlign[] = "kVerticalC";       // int, 0: 0 top, 1 bottom, 2 middle
inline constexpr const char kKeyRotation[] = "kRotationS";  // int, 0: degrees clockwise
inline constexpr const char kKeyOpacity[] = "kOpacityS";    // int, 0: percent
inline constexpr const char kKeyOverlay[] = "kOverlay";     // bool, false: false under the content
inline constexpr const char kKeyPages[] = "kPages";         // int, 0: 0 by kStampOnC, 1 list, 2 every n-th
inline constexpr const char kKeyStampOn[] = "kStampOnC";    // int, 0: 0 all, 1 odd, 2 even, 3 first, 4 last
inline constexpr const char kKeyEveryPage[] = "kEveryPageE";  // int, 1: the step
inline constexpr const char kKeyFromPage[] = "kFromPageE";    // int, 1: the first page, from 1
inline constexpr const char kKeyPageList[] = "kPagesE";       // text, empty: the page list
inline constexpr const char kKeyBorderDash[] = "kDashedC";    // int, 0: dash style 0..4
inline constexpr const char kKeyBorderColor[] = "kColorC";    // int, -1: 0x00BBGGRR, -1 none
inline constexpr const char kKeyBorderWidth[] = "kWeightC";   // double, 0: points
inline constexpr const char kKeySourceFile[] = "kSelectFileE";  // text, empty: image or PDF path
inline constexpr const char kKeySourceSize[] = "kSizeS";        // int, 100: percent
inline constexpr const char kKeySourcePage[] = "kPageNoS";      // int, 1: page of the source, from 1

// --- text stamps
inline constexpr const char kKeyText[] = "kTextE";  // string, empty: lines split by "\r\n"
inline constexpr const char kKeyLineSpacing[] = "kLineSpacingC";  // int, 0: 0 single, 1 1.5, 2 double
inline constexpr const char kKeyDynamicText[] = "kDynamicTextC";  // int: the dialog's choice; unread here
inline constexpr const char kKeyWordWrap[] = "kWordWrapCH";       // bool, false
inline constexpr const char kKeyUnderline[] = "kUnderlineC";      // int, 0: 0 none .. 6
inline constexpr const char kKeyFontColor[] = "kColorFontC";      // int, -1: 0x00BBGGRR, -1 none
inline constexpr const char kKeyFillColor[] = "kFillColorC";      // int, -1: 0x00BBGGRR, -1 none
inline constexpr const char kKeyFontType[] = "kTypeC";            // int, 0: 0 standard, other system
inline constexpr const char kKeyStandardFont[] = "kStyleStandardC";  // int, 0: index 0..13
inline constexpr const char kKeySystemFont[] = "kStyleSystemC";      // string, none
inline constexpr const char kKeyFontSize[] = "kSizeE";               // int, 12: points
inline constexpr const char kKeyEmbedFont[] = "kEmbedCH";            // bool, false
inline constexpr const char kKeyOutline[] = "kOutlineCH";            // bool, false

// The suffix of the key that repeats a binary value's length ("kActionCFileSize").
inline constexpr const char kFileSizeKeySuffix[] = "FileSize";

// A key of the profile or stamp cabinets and the cabinet value type it holds
// (kASCabValueInt ... kASCabValueBinary, as cabGetType answers them).
struct StampKeyKind {
    const char* key;
    int32_t valueType;
};

// Every key above with its kind, and the length key of the binary action
// ("kActionCFileSize"). What reads or writes stamps elsewhere (the command
// line's profile files) must agree with this table.
inline constexpr StampKeyKind kStampKeyKinds[] = {
    {kKeyNumberOfStamps, kASCabValueInt},
    {kKeyStampType, kASCabValueInt},
    {kKeyStampName, kASCabValueString},
    {kKeyAction, kASCabValueBinary},
    {"kActionCFileSize", kASCabValueInt},
    {kKeyUnit, kASCabValueInt},
    {kKeyHorizontalOffset, kASCabValueDouble},
    {kKeyHorizontalAlign, kASCabValueInt},
    {kKeyVerticalOffset, kASCabValueDouble},
    {kKeyVerticalAlign, kASCabValueInt},
    {kKeyRotation, kASCabValueInt},
    {kKeyOpacity, kASCabValueInt},
    {kKeyOverlay, kASCabValueBool},
    {kKeyPages, kASCabValueInt},
    {kKeyStampOn, kASCabValueInt},
    {kKeyEveryPage, kASCabValueInt},
    {kKeyFromPage, kASCabValueInt},
    {kKeyPageList, kASCabValueText},
    {kKeyBorderDash, kASCabValueInt},
    {kKeyBorderColor, kASCabValueInt},
    {kKeyBorderWidth, kASCabValueDouble},
    {kKeySourceFile, kASCabValueText},
    {kKeySourceSize, kASCabValueInt},
    {kKeySourcePage, kASCabValueInt},
    {kKeyText, kASCabValueString},
    {kKeyLineSpacing, kASCabValueInt},
    {kKeyDynamicText, kASCabValueInt},
    {kKeyWordWrap, kASCabValueBool},
    {kKeyUnderline, kASCabValueInt},
    {kKeyFontColor, kASCabValueInt},
    {kKeyFillColor, kASCabValueInt},
    {kKeyFontType, kASCabValueInt},
    {kKeyStandardFont, kASCabValueInt},
    {kKeySystemFont, kASCabValueString},
    {kKeyFontSize, kASCabValueInt},
    {kKeyEmbedFont, kASCabValueBool},
    {kKeyOutline, kASCabValueBool},
};

// Stamp kinds ("kStampType").
enum : int32_t {
    kStampTypeText = 0,
    kStampTypeImage = 1,
    kStampTypePDFPage = 2,
};

// Values of "kPages".
enum : int32_t {
    kPagesByStampOn = 0,
    kPagesCustomList = 1,
    kPagesEveryNth = 2,
};

// Defaults of the keys whose default is not 0, false or empty.
constexpr int32_t kNoColor = -1;           // "kColorC", "kColorFontC", "kFillColorC"
constexpr int32_t kDefaultEveryPage = 1;   // "kEveryPageE"
constexpr int32_t kDefaultFromPage = 1;    // "kFromPageE"
constexpr int32_t kDefaultSourceSize = 100;  // "kSizeS"
constexpr int32_t kDefaultSourcePage = 1;    // "kPageNoS"
constexpr int32_t kDefaultFontSize = 12;     // "kSizeE"

// Standard fonts by "kStyleStandardC" index; each name fits a field of this
// many bytes.
constexpr int32_t kStandardFontFieldSize = 30;
