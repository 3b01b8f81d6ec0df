// The pages a stamp goes on, computed from the stamp's page settings and
// checked against the page count of the document. When it refuses a setting it
// keeps a message (Chinese) that the stamp shows inside its own error text.
//
// Pages are numbered from 1 in ranges and texts; ContainsPage takes a 0-based
// page index. The set owns its ranges.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "stamper/CPageRange.h"

class CPageRangeSet {
public:
    enum : int32_t {
        kAllPages = 0,       // one range 1..page count
        kOddPages = 1,       // pages 1, 3, 5, ... (one range, step 2)
        kEvenPages = 2,      // pages 2, 4, 6, ... (one range, step 2)
        kFirstPage = 3,      // 1..1
        kLastPage = 4,       // page count..page count
        kCustomRanges = 5,   // ranges read from a text (SetCustomRanges)
        kEveryNthPage = 6,   // pages m, m + n, ... (one range, step n; SetEveryNthPage)
    };
    // Longest token of a custom text, and longest side of a "-" in a token.
    static constexpr size_t kMaxTokenLength = 255;

    // A set of all pages of a document with pageCount pages.
    explicit CPageRangeSet(int32_t pageCount);
    virtual ~CPageRangeSet();
    CPageRangeSet(const CPageRangeSet&) = delete;
    CPageRangeSet& operator=(const CPageRangeSet&) = delete;

    // Sets the mode to 0 first; a mode outside 0..5 answers false and leaves the
    // ranges alone. Otherwise stores the mode, clears the ranges and makes those
    // of modes 0..4 (none when the page count is below 1); mode 5 leaves the set
    // empty. True.
    bool SetMode(int32_t mode);
    // Mode 5, then the ranges of the text up to a NUL in it (grammar below). On failure the ranges
    // read before the failing token stay and the message says why (an empty
    // token: "必须适当定义页面范围 %s 。" with the whole text).
    //   list  = token *("," token)          tokens are read in order until one fails
    //   token = start "-" end [odd|even]    both bounds; "odd"/"even" at the end of the
    //                                       end text keeps only those pages between
    //                                       them (one range of step 2)
    //         | ("odd"|"even") ...          at the first character: all odd pages
    //                                       (when the token holds "odd") or all even
    //         | number                      one page
    // Numbers are decimal with an optional sign, blanks around them allowed,
    // read whole: other text behind a number is refused (CPageRange::Parse);
    // 0 is below 1. Repeated tokens add one range each, whatever the page count.
    // A token or a side of "-" longer than kMaxTokenLength is refused with
    // "必须适当定义页面范围 %s 。" showing the token.
    bool SetCustomRanges(std::string_view text);
    // Mode 6: pages startPage, startPage + step, ... up to the page count (one range).
    // startPage above the page count: "起始页 %d 超出了文档页码。"; startPage below
    // 1: "起始页必须大于或等于 1。"; step below 1: "必须适当定义页面范围 %s 。" with
    // the step. Each of those answers false with no ranges.
    bool SetEveryNthPage(int32_t startPage, int32_t step);

    // A new range first..last checked against the page count, not yet in the set:
    // null (message set from the range or "起始页 %d 超出了文档页码。" /
    // "结束页 %d 超出了文档页码。") when it is refused.
    std::unique_ptr<CPageRange> AddRange(int32_t first, int32_t last);
    // The same from texts (CPageRange::Parse; an "odd" or "even" at the end of
    // the end text is not part of its number); the out-of-range messages are
    // "起始页 %s 超出了文档页码。" / "结束页 %s 超出了文档页码。" with the texts as
    // given, untrimmed.
    std::unique_ptr<CPageRange> AddRangeFromText(std::string_view startText,
                                                 std::string_view endText);

    int32_t GetCount() const { return static_cast<int32_t>(mRanges.size()); }
    // The range at index (in the order added), null outside the set.
    const CPageRange* GetRange(int32_t index) const;
    // True when some range covers the 0-based page index; false for an empty set.
    bool ContainsPage(int32_t pageIndex) const;
    int32_t GetMode() const { return mMode; }
    int32_t GetPageCount() const { return mPageCount; }
    // The text of the most recent refusal; empty until the first. Never emptied.
    const char* GetMessage() const { return mMessage.c_str(); }
    // Deletes the ranges, the last first.
    void Clear();

private:
    bool ParseList(std::string_view text);
    bool ParseToken(std::string_view token);
    bool ParseTokenWithDash(std::string_view token, size_t dash);
    // "odd" or "even" when the trimmed end text ends with it, else empty.
    static std::string_view StepWordOf(std::string_view endText);
    // The trimmed end text without that word.
    static std::string_view WithoutStepWord(std::string_view endText);
    void AppendPage(int32_t page);
    // One range of the pages from, from + step, ... up to `to`; nothing when
    // `from` is already past `to`.
    void AppendEveryNthPage(int32_t from, int32_t to, int32_t step);

    std::string mMessage;
    int32_t mMode = kAllPages;
    int32_t mPageCount;
    std::vector<std::unique_ptr<CPageRange>> mRanges;
};
