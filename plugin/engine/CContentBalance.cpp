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
    for (size_t i = 0; i < size; ++i) Step(static_cast<unsigned char>(data[i]));
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
    const std::string_view op(mToken, mTokenLength);
    if (op == "q")
        Open(kSave);
    else if (op == "Q")
        Close(kSave);
    else if (op == "BT")
        Open(kText);
    else if (op == "ET")
        Close(kText);
    else if (op == "BMC" || op == "BDC")
        Open(kMarked);
    else if (op == "EMC")
        Close(kMarked);
    else if (op == "BI")
        mInlineImage = true;
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
