// One range of pages, numbered from 1. The first page may be greater than the
// last: the range then runs downwards and still covers every page between the
// two, and it is stamped from its lowest page to its highest. A range with a
// step above 1 covers every step-th page from its first page on ("odd" pages
// are one range with step 2), so a long run of single pages costs one range.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CPageRange {
public:
    // First and last page 0, empty message.
    CPageRange();
    // Set(first, last), then an empty message (a refused bound stays as it was).
    // With a step above 1, last is moved towards first onto the last page the
    // steps reach, so both bounds are pages of the range.
    CPageRange(int32_t first, int32_t last, int32_t step = 1);
    virtual ~CPageRange();

    // first < 1: message "起始页必须大于或等于 1。", false, nothing changed.
    // Otherwise first is stored; then last < 1: message "结束页必须大于或等于 1。",
    // false; else last is stored, true.
    bool Set(int32_t first, int32_t last);
    // Trims white space on both sides of each text and reads each whole as a
    // decimal number (optional sign). A start without digits ("abc", ""):
    // "起始页 %s 必须是个数字。" with the trimmed start text, false; text behind
    // the start's number ("1 5", "1.5"): "起始页 %s 的数字后面有多余的文字 %s 。"
    // with the trimmed start text and what follows the number, false; the same
    // for the end with "结束页". Otherwise the answer of Set (so "0" is below 1).
    bool Parse(std::string_view startText, std::string_view endText);

    int32_t GetFirst() const { return mFirst; }
    int32_t GetLast() const { return mLast; }
    // 1 for a range of consecutive pages; 2 for every other page, and so on.
    int32_t GetStep() const { return mStep; }
    // The lower and the higher of first and last: the pages to stamp, in order.
    int32_t GetLowPage() const;
    int32_t GetHighPage() const;
    // The number of pages the range covers, |last - first| / step + 1, whichever
    // way it runs (clamped to the 32-bit range).
    int32_t GetPageCount() const;
    // True when the 0-based page index lies between first - 1 and last - 1 and
    // the steps from the first page reach it.
    bool ContainsPage(int32_t pageIndex) const;
    // The text of the last refusal; empty when none.
    const char* GetMessage() const { return mMessage.c_str(); }

private:
    // Reads one bound whole into outPage; false with the message otherwise.
    bool ReadPage(std::string_view text, const char* notANumber, const char* textLeft, int32_t& outPage);

    std::string mMessage;
    int32_t mFirst = 0;
    int32_t mLast = 0;
    int32_t mStep = 1;
};
