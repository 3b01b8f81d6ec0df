#include "stamper/CPageRange.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "stamper/LeadingInteger.h"
#include "stamper/PageRangeMessages.h"

CPageRange::CPageRange() = default;

CPageRange::CPageRange(int32_t first, int32_t last) {
    Set(first, last);
    mMessage.clear();
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
    const std::string_view start = TrimBlanks(startText);
    const std::string_view end = TrimBlanks(endText);
    const int32_t first = ReadLeadingInteger(start);
    if (first == 0) {
        mMessage = FormatRangeMessage(kMsgStartNotANumber, start);
        return false;
    }
    const int32_t last = ReadLeadingInteger(end);
    if (last == 0) {
        mMessage = FormatRangeMessage(kMsgEndNotANumber, end);
        return false;
    }
    return Set(first, last);
}

int32_t CPageRange::GetLowPage() const { return std::min(mFirst, mLast); }

int32_t CPageRange::GetHighPage() const { return std::max(mFirst, mLast); }

int32_t CPageRange::GetPageCount() const {
    // A range given high to low covers the same pages as its low-to-high twin;
    // last - first + 1 would count it as zero or fewer pages.
    const int64_t count = std::llabs(int64_t{mLast} - int64_t{mFirst}) + 1;
    return static_cast<int32_t>(std::min<int64_t>(count, std::numeric_limits<int32_t>::max()));
}

bool CPageRange::ContainsPage(int32_t pageIndex) const {
    const int64_t page = int64_t{pageIndex} + 1;
    return page >= GetLowPage() && page <= GetHighPage();
}
