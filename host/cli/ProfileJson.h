// Profiles as JSON documents, so that a profile can be written without the
// desktop dialogs. A profile is one JSON object with the cabinet keys of the
// stamp model: "kNumberOfStamps" and one object "kStamp0", "kStamp1", ... per
// stamp holding its keys ("kStampType", "kTextE", "kSizeE", "kUnitC", ...).
//
// Each known key has its kind (keyKind) and a JSON type:
//   integer keys  a JSON number without fraction, within 32 bits
//   double keys   a JSON number
//   boolean keys  true or false
//   string keys   a JSON string ("kTextE": line breaks become "\r\n" in the
//                 cabinet and "\n" in JSON)
//   text keys     a JSON string ("kPagesE", "kSelectFileE": host texts)
//   binary keys   a base64 JSON string ("kActionC", the embedded action
//                 document; "kActionCFileSize" is set to its decoded length)
// Unknown keys keep what JSON gives: a number without fraction is an integer,
// one with a fraction a double, a string a string, an object a sub-cabinet,
// except an object {"$base64": "..."}, which is a binary value.
//
// A profile from JSON is checked: every "kStamp<i>" for i below
// "kNumberOfStamps" is an object, and none lies beyond it (without
// "kNumberOfStamps" it is the count of "kStamp0", "kStamp1", ... given); stamp
// names ("kStampNameE") may not be empty or leave the Profiles folder; stamp
// keys hold the values the design dialogs allow (ProfileJsonValues.h); no key
// is given twice in one object; keys are 1 to 1024 bytes without NUL; strings
// hold no NUL; nesting is at most 32 levels deep.
//
// A stamp that leaves "kOpacityS" out is read with 100, the dialogs' default
// (a stored stamp without it stamps with 0, invisibly); written out, every
// stamp has its opacity.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cabinet/Cabinet.h"

namespace qmcli {

enum class KeyKind { Unknown, Int, Double, Bool, String, Text, Binary };

// The kind of a stamp or profile key; Unknown for keys outside the stamp model.
KeyKind keyKind(std::string_view key);
// Every key of the stamp model with its kind, in byte order.
const std::map<std::string_view, KeyKind>& knownKeyKinds();

// The profile of a JSON document; null with *error set (naming the key) when
// the document is not a valid profile (not JSON: the line and column of the
// fault). A UTF-8 byte-order mark before the document is skipped; a control
// character standing raw in a string (a tab, a line break) is read as if
// escaped, and a number may have a bare decimal point (".5", "2."). An
// unknown escape ("\x")
// and an unpaired surrogate ("\ud800") are refused. Keys that no stamp reads (a
// misspelt key, say) are kept and their paths ("kStamp1.kRotateS") put into
// *unknownKeys.
std::unique_ptr<qmhost::Cabinet> ProfileFromJson(std::string_view json, std::string* error,
                                                 std::vector<std::string>* unknownKeys = nullptr);

// The profile as an indented JSON document (keys in byte order, four spaces a
// level, a line feed at the end); a stamp without "kOpacityS" is written with
// the 0 it stamps with. Whole doubles up to 2^53 are written without
// fraction, others in the shorter of the fixed and exponent forms that reads
// back to the same double; an infinite or NaN double is written as null. Text
// that is not UTF-8 has its faulty bytes replaced by U+FFFD; U+FEFF is written
// as its escape "\ufeff"; control characters (C0, DEL and C1) as theirs
// ("\u001b", "\u007f", "\u009b"), so that no text of a profile acts on a
// terminal that shows it.
std::string ProfileToJson(const qmhost::Cabinet& profile);

}  // namespace qmcli
