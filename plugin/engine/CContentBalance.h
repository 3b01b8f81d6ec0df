// CContentBalance: what a page's content leaves open at its end. It reads the
// content as PDF operators (bytes fed in any pieces: a token may be split
// between two streams of a "Contents" array, which are one content) and keeps
// the saves ("q"), text objects ("BT") and marked-content sequences ("BMC",
// "BDC") that are still open, in the order they were opened, and counts the
// restores ("Q") met when none of the content's own saves was open.
//
// Operators are read as viewers read them: not inside strings, hex strings,
// comments, arrays, dictionaries or inline images ("BI" ... "ID" data "EI").
// A closing operator closes the newest open one of its kind; one that closes
// nothing is ignored, as viewers ignore it, except a restore, which is counted.
// Memory is bounded: past kMaxOpen open or unmatched operators the content is
// given up (IsReadable answers false).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CContentBalance {
public:
    // The most operators kept open, and the most unmatched restores counted.
    static constexpr size_t kMaxOpen = size_t{1} << 16;

    // Reads the next bytes of the content.
    void Feed(const char* data, size_t size);
    // The content ends here: a token still being read is taken as whole.
    void Finish();

    // False when the content could not be followed to its end: it ends inside
    // a string, a hex string, an array, a dictionary or an inline image, or
    // more than kMaxOpen operators are open or unmatched. Valid after Finish.
    bool IsReadable() const;
    // True when a wrapper needs nothing beyond one save before and one restore
    // after the content: nothing open, no unmatched restore, and no comment
    // running at the end (which would swallow what follows).
    bool IsBalanced() const;
    // Restores met when no save of the content itself was open.
    size_t UnmatchedRestores() const { return mUnmatchedRestores; }
    // The operators that close what is open, newest first, each followed by a
    // blank ("EMC ET Q "); "" when nothing is open.
    std::string ClosingOperators() const;
    // The content ends inside a comment: what follows must start on a new line.
    bool EndsInComment() const { return mState == kComment; }

private:
    enum State : uint8_t { kBetween, kToken, kName, kComment, kString, kHex, kLess, kGreater, kImageData };
    enum Kind : uint8_t { kSave, kText, kMarked, kKinds };

    void Step(unsigned char c);
    // Read a token's or a string's bytes from p on; answer where reading stopped.
    const unsigned char* ReadToken(const unsigned char* p, const unsigned char* end);
    const unsigned char* ReadString(const unsigned char* p, const unsigned char* end);
    void StepBetween(unsigned char c);
    void StepImageData(unsigned char c);
    // A regular token ended; answers true when it consumed the byte that ended it.
    bool EndToken();
    void Operator();
    void Open(Kind kind);
    void Close(Kind kind);

    State mState = kBetween;
    // The token being read: its first three bytes, and its length (4: longer,
    // no operator looked for).
    char mToken[3] = {};
    size_t mTokenLength = 0;
    size_t mStringDepth = 0;
    bool mEscape = false;
    // Arrays and dictionaries open: operators inside them are not operators.
    size_t mBracketDepth = 0;
    // Between "BI" and "ID": the image's dictionary.
    bool mInlineImage = false;
    // Inline image data: 1 after a blank, 2 after a blank and "E", 3 after "EI".
    uint8_t mImageMatch = 0;
    bool mOverflow = false;

    // Per kind, the opening numbers of those open, oldest first.
    std::vector<uint64_t> mOpen[kKinds];
    uint64_t mOpened = 0;
    size_t mOpenCount = 0;
    size_t mUnmatchedRestores = 0;
};
