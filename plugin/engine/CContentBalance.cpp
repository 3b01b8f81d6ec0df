#include "engine/CContentBalance.h"

#include <array>
#include <cstring>
#include <string_view>

namespace {

enum CharClass : uint8_t { kRegular, kWhite, kDelimiter };

// The class of every byte, as PDF's lexical rules give it.
constexpr std::array<uint8_t, 256> kClasses = [] {
    std::array<uint8_t, 256> classes{};
    for (const char c : std::string_view(" \n\r\t\f\0", 6)) classes[static_cast<unsigned char>(c)] = kWhite;
    for (const char c : std::string_view("()<>[]{}/%")) classes[static_cast<unsigned char>(c)] = kDelimiter;
    return classes;
}();

bool IsWhite(unsigned char c) { return kClasses[c] == kWhite; }
bool IsRegular(unsigned char c) { return kClasses[c] == kRegular; }

const char* const kClosers[] = {"Q ", "ET ", "EMC "};

}  // namespace

void CContentBalance::Feed(const char* data, size_t size) {
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const auto* const end = p + size;
    // The states that most bytes are read in run in loops of their own.
    while (p < end) {
        switch (mState) {
            case kBetween:
                while (p < end && IsWhite(*p)) ++p;
                if (p < end) StepBetween(*p++);
                break;
            case kToken:
                p = ReadToken(p, end);
                break;
            case kName:
                while (p < end && IsRegular(*p)) ++p;
                if (p < end) mState = kBetween;
                break;
            case kString:
                p = ReadString(p, end);
                break;
            default:
                Step(*p++);
                break;
        }
    }
}

const unsigned char* CContentBalance::ReadToken(const unsigned char* p, const unsigned char* end) {
    for (; p < end && IsRegular(*p); ++p) {
        if (mTokenLength < sizeof mToken) mToken[mTokenLength] = static_cast<char>(*p);
        if (mTokenLength <= sizeof mToken) ++mTokenLength;
    }
    if (p == end) return p;
    mState = kBetween;
    return EndToken() ? p + 1 : p;
}

const unsigned char* CContentBalance::ReadString(const unsigned char* p, const unsigned char* end) {
    // Most strings hold no escape and no parenthesis before their end.
    if (!mEscape) {
        const auto* close = static_cast<const unsigned char*>(std::memchr(p, ')', static_cast<size_t>(end - p)));
        const auto* stop = close ? close : end;
        const auto length = static_cast<size_t>(stop - p);
        if (!std::memchr(p, '(', length) && !std::memchr(p, '\\', length)) {
            if (!close) return end;
            if (--mStringDepth == 0) mState = kBetween;
            return close + 1;
        }
    }
    while (p < end && mState == kString) Step(*p++);
    return p;
}

void CContentBalance::Finish() {
    if (mState == kToken) {
        EndToken();
        if (mState == kToken) mState = kBetween;
    }
}

bool CContentBalance::IsReadable() const {
    if (mOverflow || mBracketDepth > 0 || mInlineImage) return false;
    switch (mState) {
        case kString:
        case kHex:
        case kLess:
            return false;
        case kImageData:
            return mImageMatch == 3;
        default:
            return true;
    }
}

bool CContentBalance::IsBalanced() const { return mOpenCount == 0 && mUnmatchedRestores == 0 && !EndsInComment(); }

std::string CContentBalance::ClosingOperators() const {
    std::string out;
    size_t left[kKinds];
    for (int kind = 0; kind < kKinds; ++kind) left[kind] = mOpen[kind].size();
    // The newest open operator of the three kinds, again and again.
    for (size_t n = 0; n < mOpenCount; ++n) {
        int newest = -1;
        for (int kind = 0; kind < kKinds; ++kind)
            if (left[kind] > 0 && (newest < 0 || mOpen[kind][left[kind] - 1] > mOpen[newest][left[newest] - 1]))
                newest = kind;
        --left[newest];
        out += kClosers[newest];
    }
    return out;
}

void CContentBalance::Step(unsigned char c) {
    switch (mState) {
        case kBetween:
            break;
        case kToken:
            if (IsRegular(c)) {
                if (mTokenLength < sizeof mToken) mToken[mTokenLength] = static_cast<char>(c);
                if (mTokenLength <= sizeof mToken) ++mTokenLength;
                return;
            }
            mState = kBetween;
            if (EndToken()) return;
            break;
        case kName:
            if (IsRegular(c)) return;
            mState = kBetween;
            break;
        case kComment:
            if (c == '\r' || c == '\n') mState = kBetween;
            return;
        case kString:
            if (mEscape)
                mEscape = false;
            else if (c == '\\')
                mEscape = true;
            else if (c == '(')
                ++mStringDepth;
            else if (c == ')' && --mStringDepth == 0)
                mState = kBetween;
            return;
        case kLess:
            if (c == '<') {
                ++mBracketDepth;
                mState = kBetween;
                return;
            }
            mState = kHex;
            [[fallthrough]];
        case kHex:
            if (c == '>') mState = kBetween;
            return;
        case kGreater:
            mState = kBetween;
            if (c == '>') {
                if (mBracketDepth > 0) --mBracketDepth;
                return;
            }
            break;  // a lone ">": nothing
        case kImageData:
            StepImageData(c);
            return;
    }
    StepBetween(c);
}

void CContentBalance::StepBetween(unsigned char c) {
    if (IsWhite(c)) return;
    switch (c) {
        case '%':
            mState = kComment;
            return;
        case '(':
            mState = kString;
            mStringDepth = 1;
            mEscape = false;
            return;
        case '<':
            mState = kLess;
            return;
        case '>':
            mState = kGreater;
            return;
        case '[':
            ++mBracketDepth;
            return;
        case ']':
            if (mBracketDepth > 0) --mBracketDepth;
            return;
        case '/':
            mState = kName;
            return;
        case ')':
        case '{':
        case '}':
            return;
        default:
            mState = kToken;
            mToken[0] = static_cast<char>(c);
            mTokenLength = 1;
            return;
    }
}

// The data of an inline image runs to "EI" between a blank and a blank or
// delimiter (or the end of the content), as viewers that search for it read it.
void CContentBalance::StepImageData(unsigned char c) {
    if (mImageMatch == 3) {
        if (!IsRegular(c)) {
            mState = kBetween;
            StepBetween(c);
            return;
        }
        mImageMatch = 0;
    }
    if (IsWhite(c))
        mImageMatch = 1;
    else if (mImageMatch == 1 && c == 'E')
        mImageMatch = 2;
    else if (mImageMatch == 2 && c == 'I')
        mImageMatch = 3;
    else
        mImageMatch = 0;
}

bool CContentBalance::EndToken() {
    if (mTokenLength > 3 || mBracketDepth > 0) return false;
    if (mInlineImage) {
        if (mTokenLength != 2 || std::memcmp(mToken, "ID", 2) != 0) return false;
        // The one blank after "ID" belongs to it; the data follows.
        mInlineImage = false;
        mState = kImageData;
        mImageMatch = 1;
        return true;
    }
    Operator();
    return false;
}

void CContentBalance::Operator() {
    // Most tokens are numbers and other operators: told apart by a few bytes.
    const char* const t = mToken;
    switch (mTokenLength) {
        case 1:
            if (t[0] == 'q') Open(kSave);
            if (t[0] == 'Q') Close(kSave);
            return;
        case 2:
            if (t[1] == 'T' && t[0] == 'B') Open(kText);
            if (t[1] == 'T' && t[0] == 'E') Close(kText);
            if (t[1] == 'I' && t[0] == 'B') mInlineImage = true;
            return;
        case 3:
            if (t[2] != 'C') return;
            if ((t[0] == 'B' && t[1] == 'M') || (t[0] == 'B' && t[1] == 'D')) Open(kMarked);
            if (t[0] == 'E' && t[1] == 'M') Close(kMarked);
            return;
        default:
            return;
    }
}

void CContentBalance::Open(Kind kind) {
    if (mOpenCount >= kMaxOpen) {
        mOverflow = true;
        return;
    }
    mOpen[kind].push_back(mOpened++);
    ++mOpenCount;
}

void CContentBalance::Close(Kind kind) {
    if (!mOpen[kind].empty()) {
        mOpen[kind].pop_back();
        --mOpenCount;
    } else if (kind == kSave) {
        if (mUnmatchedRestores >= kMaxOpen)
            mOverflow = true;
        else
            ++mUnmatchedRestores;
    }
}
