#include "stamper/CPageRange.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "stamper/LeadingInteger.h"
#include "stamper/PageRangeMessages.h"

CPageRange::CPageRange() = default;

CPageRange::CPageRange(int32_t first, int32_t last, int32_t step) {
    Set(first, last);
    mMessage.clear();
    mStep = std::max(step, 1);
    const int64_t span = (int64_t{mLast} - int64_t{mFirst}) / mStep * mStep;
    mLast = static_cast<int32_t>(int64_t{mFirst} + span);
}

CPageRange::~CPageRange() = default;

bool CPageRange::Set(int32_t first, int32_t last) {
    if (first < 1) {
        mMessage = kMsgStartBelowOne;
        return false;
    }
    mFirst = first;
    if (last < 1) {
        mMessage = kMsgEndBelowOne;
        return false;
    }
    mLast = last;
    return true;
}

bool CPageRange::Parse(std::string_view startText, std::string_view endText) {
    int32_t first = 0;
    int32_t last = 0;
    if (!ReadPage(startText, kMsgStartNotANumber, kMsgStartTextLeft, first)) return false;
    if (!ReadPage(endText, kMsgEndNotANumber, kMsgEndTextLeft, last)) return false;
    return Set(first, last);
}

bool CPageRange::ReadPage(std::string_view text, const char* notANumber, const char* textLeft,
                          int32_t& outPage) {
    const std::string_view trimmed = TrimBlanks(text);
    const LeadingInteger number = ReadLeadingIntegerParts(trimmed);
    if (!number.hasDigits) {
        mMessage = FormatRangeMessage(notANumber, trimmed);
        return false;
    }
    // What the user wrote behind the number is never dropped: "1 5" or "1;5"
    // is a typing slip, not page 1.
    if (!number.rest.empty()) {
        mMessage = FormatRangeMessage(textLeft, trimmed, TrimBlanks(number.rest));
        return false;
    }
    outPage = number.value;
    return true;
}

int32_t CPageRange::GetLowPage() const { return std::min(mFirst, mLast); }

int32_t CPageRange::GetHighPage() const { return std::max(mFirst, mLast); }

int32_t CPageRange::GetPageCount() const {
    // A range given high to low covers the same pages as its low-to-high twin;
    // last - first + 1 would count it as zero or fewer pages.
    const int64_t count = std::llabs(int64_t{mLast} - int64_t{mFirst}) / mStep + 1;
    return static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
}

bool CPageRange::ContainsPage(int32_t pageIndex) const {
    const int64_t page = int64_t{pageIndex} + 1;
    return page >= GetLowPage() && page <= GetHighPage() && (page - GetLowPage()) % mStep == 0;
}
