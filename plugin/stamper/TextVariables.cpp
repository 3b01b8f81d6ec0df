#include "stamper/TextVariables.h"

#include <algorithm>
#include <limits>

#include "stamper/DateVariables.h"
#include "stamper/DocumentVariables.h"
#include "stamper/LeadingInteger.h"
#include "stamper/NumberVariables.h"
#include "stamper/StampRunCounters.h"
#include "support/CallbackGuard.h"
#include "support/ResourceStrings.h"

namespace {

struct VariableEntry {
    const char* name;
    const char* label;
};

constexpr VariableEntry kVariables[kStampVariableCount] = {
    {"$PageNo[", "Page No. []"},
    {"$TotalPages", "Total pages"},
    {"$BatchPageNo[", "Batch Page No. []"},
    {"$BatchTotalPages", "Batch Total pages"},
    {"$BatesNo[", "Bates No. []"},
    {"$BatesTotalPages", "Bates Total pages"},
    {"$FileName", "File Name"},
    {"$FilePath", "File Path"},
    {"$Date", "Date"},
    {"$Time", "Time"},
    {"$Day", "Day"},
    {"$Month", "Month"},
    {"$Year", "Year"},
    {"$Hour", "Hour"},
    {"$Min", "Minute"},
    {"$Sec", "Second"},
    {"$PDInfoTitle", "Title"},
    {"$PDInfoSubject", "Subject"},
    {"$PDInfoAuthor", "Author"},
    {"$PDInfoKeywords", "Keywords"},
};

constexpr bool FitsField(const char* text) {
    size_t length = 0;
    while (text[length]) ++length;
    return length < kStampVariableFieldSize;
}
constexpr bool TableFitsFields() {
    for (const VariableEntry& entry : kVariables)
        if (!FitsField(entry.name) || !FitsField(entry.label)) return false;
    return true;
}
static_assert(TableFitsFields(), "variable names and labels must fit their 20-byte fields");

bool IsValidIndex(int index) { return index >= 0 && index < kStampVariableCount; }

bool IsBracketVariable(int index) {
    return index == kVarPageNo || index == kVarBatchPageNo || index == kVarBatesNo;
}

std::string NumberValue(int index) {
    const StampRunCounters& counters = GetStampRunCounters();
    const StampNumberPreferences preferences = GetStampNumberPreferences();
    int64_t number = 0;
    switch (index) {
        case kVarPageNo: number = StampPageNumber(counters); break;
        case kVarTotalPages: number = counters.pageCount; break;
        case kVarBatchPageNo:
        case kVarBatesNo: number = StampBatchPageNumber(counters); break;
        default: number = counters.batchTotalPages; break;  // batch and Bates totals
    }
    std::string text = FormatStampNumber(number, preferences.useRomanNumerals);
    if (index == kVarBatesNo || index == kVarBatesTotalPages)
        text = PadBatesNumber(std::move(text), preferences.batesFixedLength);
    return text;
}

std::string DocumentValue(int index) {
    const PDDoc document = GetStampRunCounters().currentDocument;
    if (!document) return {};
    StampDocumentReader& reader = GetStampDocumentReader();
    switch (index) {
        case kVarFileName: return StampFileNameOfPath(reader.GetFilePath(document));
        case kVarFilePath: return reader.GetFilePath(document);
        case kVarTitle: return reader.GetInfo(document, "Title");
        case kVarSubject: return reader.GetInfo(document, "Subject");
        case kVarAuthor: return reader.GetInfo(document, "Author");
        default: return reader.GetInfo(document, "Keywords");
    }
}

char TimeConversion(int index) {
    constexpr char kConversions[] = "xXdmyHMS";  // $Date .. $Sec
    return kConversions[index - kVarDate];
}

// n - 1 for the bracket text, kept inside the 32-bit counter.
int32_t BracketOffset(std::string_view bracketText) {
    const int64_t offset = int64_t{ReadLeadingInteger(bracketText)} - 1;
    return static_cast<int32_t>(std::max<int64_t>(offset, std::numeric_limits<int32_t>::min()));
}

// The text being expanded and, byte for byte, whether it came from a value
// (kFromValue): such bytes are never scanned for names again.
struct WorkingText {
    std::string text;
    std::string origin;  // kFromText or kFromValue per byte of text
};
constexpr char kFromText = 0;
constexpr char kFromValue = 1;

// The first occurrence of name at or behind `from` that lies wholly in the text
// the user wrote; npos when none.
size_t FindName(const WorkingText& working, std::string_view name, size_t from) {
    for (size_t at = working.text.find(name, from); at != std::string::npos;
         at = working.text.find(name, at + 1)) {
        const auto begin = working.origin.begin() + static_cast<std::ptrdiff_t>(at);
        if (std::find(begin, begin + static_cast<std::ptrdiff_t>(name.size()), kFromValue) ==
            begin + static_cast<std::ptrdiff_t>(name.size()))
            return at;
    }
    return std::string::npos;
}

// Replaces the occurrences of one variable, searching on behind each inserted
// value. `room` bounds the result: values are cut so that the text does not
// grow beyond it.
WorkingText ExpandOne(const WorkingText& working, int index, size_t room) {
    const std::string_view name = kVariables[index].name;
    const std::string& text = working.text;
    WorkingText out;
    size_t pos = 0;
    for (;;) {
        const size_t at = FindName(working, name, pos);
        if (at == std::string::npos) break;
        size_t behind = at + name.size();
        if (IsBracketVariable(index)) {
            GetStampRunCounters().bracketOffset = 0;
            const size_t close = text.find(']', behind);
            if (close == std::string::npos || close == behind) break;
            GetStampRunCounters().bracketOffset =
                BracketOffset(std::string_view(text).substr(behind, close - behind));
            behind = close + 1;
        }
        out.text.append(text, pos, at - pos);
        out.origin.append(working.origin, pos, at - pos);
        const std::string value = GetStampVariableValue(index);
        const size_t used = out.text.size() + (text.size() - behind);
        const size_t free = used < room ? room - used : 0;
        const size_t kept = Utf8Prefix(value.data(), value.size(), free);
        out.text.append(value, 0, kept);
        out.origin.append(kept, kFromValue);
        pos = behind;
    }
    out.text.append(text, pos);
    out.origin.append(working.origin, pos);
    return out;
}

}  // namespace

const char* GetStampVariableName(int index) {
    return IsValidIndex(index) ? kVariables[index].name : "";
}

const char* GetStampVariableLabel(int index) {
    return IsValidIndex(index) ? kVariables[index].label : "";
}

std::string ExpandStampVariables(std::string_view text) {
    WorkingText working{std::string(text), std::string(text.size(), kFromText)};
    // The bound is checked against the text given, so a long text is never cut;
    // it keeps many long values (a file path named a thousand times) from
    // growing a text without end.
    const size_t room = std::max(kMaxExpandedTextLength, working.text.size());
    for (int index = 0; index < kStampVariableCount; ++index)
        if (FindName(working, kVariables[index].name, 0) != std::string::npos)
            working = ExpandOne(working, index, room);
    return std::move(working.text);
}

std::string GetStampVariableValue(int index) {
    if (!IsValidIndex(index)) return {};
    // Whatever goes wrong while a value is read, the stamp shows nothing for it.
    return TrapOr(std::string(), [&] {
        if (index <= kVarBatesTotalPages) return NumberValue(index);
        if (index <= kVarFilePath || index >= kVarTitle) return DocumentValue(index);
        return FormatStampTime(GetStampClockTime(), TimeConversion(index));
    });
}

bool IsPageDependentText(std::string_view text) {
    for (int index : {kVarPageNo, kVarBatchPageNo, kVarBatesNo})
        if (text.find(kVariables[index].name) != std::string_view::npos) return true;
    return false;
}
