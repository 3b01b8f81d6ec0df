// One range of pages, numbered from 1. The first page may be greater than the
// last: the range then runs downwards and still covers every page between the
// two, and it is stamped from its lowest page to its highest.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CPageRange {
public:
    // First and last page 0, empty message.
    CPageRange();
    // Set(first, last), then an empty message (a refused bound stays as it was).
    CPageRange(int32_t first, int32_t last);
    virtual ~CPageRange();

    // first < 1: message "起始页必须大于或等于 1。", false, nothing changed.
    // Otherwise first is stored; then last < 1: message "结束页必须大于或等于 1。",
    // false; else last is stored, true.
    bool Set(int32_t first, int32_t last);
    // Trims white space on both sides of each text and reads each as atoi does
    // (see ReadLeadingInteger). A start that reads as 0 (so also "0" and "abc"):
    // "起始页 %s 必须是个数字。" with the trimmed start text, false; an end that
    // reads as 0: "结束页 %s 必须是个数字。" with the trimmed end text, false.
    // Otherwise the answer of Set.
    bool Parse(std::string_view startText, std::string_view endText);

    int32_t GetFirst() const { return mFirst; }
    int32_t GetLast() const { return mLast; }
    // The lower and the higher of first and last: the pages to stamp, in order.
    int32_t GetLowPage() const;
    int32_t GetHighPage() const;
    // The number of pages the range covers, |last - first| + 1, whichever way it
    // runs (clamped to the 32-bit range).
    int32_t GetPageCount() const;
    // True when the 0-based page index lies between first - 1 and last - 1.
    bool ContainsPage(int32_t pageIndex) const;
    // The text of the last refusal; empty when none.
    const char* GetMessage() const { return mMessage.c_str(); }

private:
    std::string mMessage;
    int32_t mFirst = 0;
    int32_t mLast = 0;
};
