// Variables in stamp texts: fixed names beginning with "$" that stand for page
// numbers, totals, Bates numbers, the document's file name and path, parts of
// the date and time and the document's information entries.
//
// Values come from the run counters (StampRunCounters), the number preferences
// (NumberVariables.h), the clock (DateVariables.h) and the document reader
// (DocumentVariables.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The table, in expansion order. Names of the three bracket variables end in
// "[" and take a number up to a closing "]": «$PageNo[1]».
enum StampVariable : int {
    kVarPageNo = 0,          // "$PageNo["          page index - first stamped page + n
    kVarTotalPages,          // "$TotalPages"       pages of the current document
    kVarBatchPageNo,         // "$BatchPageNo["     batch offset + page number
    kVarBatchTotalPages,     // "$BatchTotalPages"  pages of the batch
    kVarBatesNo,             // "$BatesNo["         batch page number, padded
    kVarBatesTotalPages,     // "$BatesTotalPages"  batch total, padded
    kVarFileName,            // "$FileName"         file name with extension
    kVarFilePath,            // "$FilePath"         full path
    kVarDate,                // "$Date"             "%x"
    kVarTime,                // "$Time"             "%X"
    kVarDay,                 // "$Day"              "%d"
    kVarMonth,               // "$Month"            "%m"
    kVarYear,                // "$Year"             "%y"
    kVarHour,                // "$Hour"             "%H"
    kVarMinute,              // "$Min"              "%M" (also the front of "$Minute")
    kVarSecond,              // "$Sec"              "%S"
    kVarTitle,               // "$PDInfoTitle"      information entries of the
    kVarSubject,             // "$PDInfoSubject"    current document
    kVarAuthor,              // "$PDInfoAuthor"
    kVarKeywords,            // "$PDInfoKeywords"
    kStampVariableCount
};

// Names and labels fit fields of this many bytes, terminator included.
constexpr size_t kStampVariableFieldSize = 20;
// An expanded text never grows beyond this many bytes (or beyond the length of
// the text given, when that is longer): values that would pass it are cut at a
// character boundary.
constexpr size_t kMaxExpandedTextLength = 65536;

// The name ("$PageNo[") and the label shown to users ("Page No. []") of the
// variable at index; the empty text outside 0..19.
const char* GetStampVariableName(int index);
const char* GetStampVariableLabel(int index);

// The text with every variable replaced by its value. Names are looked for in
// table order; each occurrence of a name is replaced once. Values are never
// scanned again: a file name, path or information entry that holds a name
// ("x $Date.pdf") is inserted as it is. A bracket variable without a "]" behind it, or with nothing
// between "[" and "]", stays as written together with the rest of that name's
// occurrences. Sets the counters' bracketOffset. Never loops, never throws
// (memory exhaustion aside).
std::string ExpandStampVariables(std::string_view text);

// The value of the variable at index; the empty text outside 0..19, for the
// document values when there is no current document, and when reading the
// value fails.
std::string GetStampVariableValue(int index);

// True when the text names a variable whose value changes from page to page
// ("$PageNo[", "$BatchPageNo[" or "$BatesNo["): such a text must be expanded
// again for each page.
bool IsPageDependentText(std::string_view text);
