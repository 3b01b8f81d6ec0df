#include "stamper/CPageRangeSet.h"

#include <exception>
#include <string>

#include "stamper/LeadingInteger.h"
#include "stamper/PageRangeMessages.h"

CPageRangeSet::CPageRangeSet(int32_t pageCount) : mPageCount(pageCount) { SetMode(kAllPages); }

CPageRangeSet::~CPageRangeSet() { Clear(); }

bool CPageRangeSet::SetMode(int32_t mode) {
    mMode = kAllPages;
    if (mode < kAllPages || mode > kCustomRanges) return false;
    mMode = mode;
    Clear();
    // A document without pages has no first or last page to name: no ranges,
    // rather than a range that reaches page 0.
    if (mPageCount < 1) return true;
    switch (mode) {
        case kAllPages: mRanges.push_back(std::make_unique<CPageRange>(1, mPageCount)); break;
        case kOddPages: AppendEveryNthPage(1, mPageCount, 2); break;
        case kEvenPages: AppendEveryNthPage(2, mPageCount, 2); break;
        case kFirstPage: AppendPage(1); break;
        case kLastPage: AppendPage(mPageCount); break;
        default: break;  // custom ranges: empty until a text is read
    }
    return true;
}

bool CPageRangeSet::SetCustomRanges(std::string_view text) {
    mMode = kCustomRanges;
    // The stamp's text is a C text: it ends at a NUL.
    return ParseList(text.substr(0, text.find('\0')));
}

bool CPageRangeSet::SetEveryNthPage(int32_t startPage, int32_t step) {
    mMode = kEveryNthPage;
    Clear();
    if (startPage > mPageCount) {
        mMessage = FormatRangeMessage(kMsgStartNumberBeyondDocument, startPage);
        return false;
    }
    // A step below 1 would never reach the end of the document, and a start
    // below 1 would name pages that do not exist: both are refused.
    if (startPage < 1) {
        mMessage = kMsgStartBelowOne;
        return false;
    }
    if (step < 1) {
        mMessage = FormatRangeMessage(kMsgBadRangeText, std::to_string(step));
        return false;
    }
    AppendEveryNthPage(startPage, mPageCount, step);
    return true;
}

std::unique_ptr<CPageRange> CPageRangeSet::AddRange(int32_t first, int32_t last) {
    auto range = std::make_unique<CPageRange>();
    // A refused bound ends the check: its message is the one that says what is wrong.
    if (!range->Set(first, last)) {
        mMessage = range->GetMessage();
        return nullptr;
    }
    if (first > mPageCount) {
        mMessage = FormatRangeMessage(kMsgStartNumberBeyondDocument, first);
        return nullptr;
    }
    if (last > mPageCount) {
        mMessage = FormatRangeMessage(kMsgEndNumberBeyondDocument, last);
        return nullptr;
    }
    return range;
}

std::unique_ptr<CPageRange> CPageRangeSet::AddRangeFromText(std::string_view startText,
                                                            std::string_view endText) {
    auto range = std::make_unique<CPageRange>();
    if (!range->Parse(startText, WithoutStepWord(endText))) {
        mMessage = range->GetMessage();
        return nullptr;
    }
    if (range->GetFirst() > mPageCount) {
        mMessage = FormatRangeMessage(kMsgStartTextBeyondDocument, startText);
        return nullptr;
    }
    if (range->GetLast() > mPageCount) {
        mMessage = FormatRangeMessage(kMsgEndTextBeyondDocument, endText);
        return nullptr;
    }
    return range;
}

const CPageRange* CPageRangeSet::GetRange(int32_t index) const {
    if (index < 0 || index >= GetCount()) return nullptr;
    return mRanges[static_cast<size_t>(index)].get();
}

bool CPageRangeSet::ContainsPage(int32_t pageIndex) const {
    for (const auto& range : mRanges)
        if (range->ContainsPage(pageIndex)) return true;
    return false;
}

void CPageRangeSet::Clear() {
    while (!mRanges.empty()) mRanges.pop_back();
}

bool CPageRangeSet::ParseList(std::string_view text) {
    Clear();
    bool result = true;
    try {
        size_t start = 0;
        while (result) {
            const size_t comma = text.find(',', start);
            const bool last = comma == std::string_view::npos;
            const std::string_view token = text.substr(start, last ? std::string_view::npos : comma - start);
            // An empty token ("1,,3", a trailing comma) is refused with the
            // whole text, so that every refusal says where it is.
            if (token.empty()) mMessage = FormatRangeMessage(kMsgBadRangeText, text);
            result = !token.empty() && ParseToken(token);
            if (last) break;
            start = comma + 1;
        }
    } catch (const std::exception&) {
        mMessage = FormatRangeMessage(kMsgBadRangeText, text);
        result = false;
    }
    return result;
}

bool CPageRangeSet::ParseToken(std::string_view token) {
    try {
        if (token.size() > kMaxTokenLength) {
            mMessage = FormatRangeMessage(kMsgBadRangeText, token);
            return false;
        }
        const size_t dash = token.find('-');
        if (dash != std::string_view::npos) return ParseTokenWithDash(token, dash);
        if (token.starts_with("odd") || token.starts_with("even")) {
            const bool odd = token.find("odd") != std::string_view::npos;
            AppendEveryNthPage(odd ? 1 : 2, mPageCount, 2);
            return true;
        }
        auto range = AddRangeFromText(token, token);
        if (!range) return false;
        mRanges.push_back(std::move(range));
        return true;
    } catch (const std::exception&) {
        mMessage = FormatRangeMessage(kMsgBadRangeText, token);
        return false;
    }
}

bool CPageRangeSet::ParseTokenWithDash(std::string_view token, size_t dash) {
    const std::string_view startText = token.substr(0, dash);
    const std::string_view endText = token.substr(dash + 1);
    auto range = AddRangeFromText(startText, endText);
    if (!range) return false;
    const std::string_view word = StepWordOf(endText);
    if (word.empty()) {
        mRanges.push_back(std::move(range));
        return true;
    }
    // The range only names the bounds: keep the odd (or even) pages between them,
    // starting from the first bound and moving towards the second.
    const bool odd = word == "odd";
    int32_t from = range->GetFirst();
    const int32_t to = range->GetLast();
    const bool upwards = from < to;
    const bool fromIsOdd = from % 2 != 0;
    if (odd != fromIsOdd) from += upwards ? 1 : -1;
    if (upwards ? from <= to : from >= to) mRanges.push_back(std::make_unique<CPageRange>(from, to, 2));
    return true;
}

std::string_view CPageRangeSet::StepWordOf(std::string_view endText) {
    const std::string_view trimmed = TrimBlanks(endText);
    for (std::string_view word : {"odd", "even"})
        if (trimmed.ends_with(word)) return word;
    return {};
}

std::string_view CPageRangeSet::WithoutStepWord(std::string_view endText) {
    const std::string_view trimmed = TrimBlanks(endText);
    return trimmed.substr(0, trimmed.size() - StepWordOf(trimmed).size());
}

void CPageRangeSet::AppendPage(int32_t page) {
    mRanges.push_back(std::make_unique<CPageRange>(page, page));
}

void CPageRangeSet::AppendEveryNthPage(int32_t from, int32_t to, int32_t step) {
    if (from <= to) mRanges.push_back(std::make_unique<CPageRange>(from, to, step));
}
