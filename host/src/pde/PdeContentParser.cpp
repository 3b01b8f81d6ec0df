#include "pde/PdeContentParser.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QUtil.hh>

namespace qmhost {
namespace {

using Tokenizer = QPDFTokenizer;

// White space and delimiters as the tokenizer knows them.
bool isSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == '\0'; }
bool isDelimiter(char c) {
    switch (c) {
    case '(': case ')': case '<': case '>': case '[': case ']': case '{': case '}': case '/': case '%': case '\v':
        return true;
    default:
        return isSpace(c);
    }
}
bool isRegular(char c) { return !isDelimiter(c); }

// Tokens that viewers read a character at a time from one stream, so that they
// end with it; strings and inline image data run on into the next one.
bool endsWithItsStream(Tokenizer::token_type_e type) {
    switch (type) {
    case Tokenizer::tt_integer: case Tokenizer::tt_real: case Tokenizer::tt_name: case Tokenizer::tt_word:
    case Tokenizer::tt_bool: case Tokenizer::tt_null:
        return true;
    default:
        return false;
    }
}

class ContentParser {
public:
    ContentParser(std::vector<std::string> pieces, QPDF* owner, PdeContentSink& sink) : mOwner(owner), mSink(sink) {
        if (pieces.size() == 1) {
            mData = std::move(pieces[0]);
        } else {
            size_t size = 0;
            for (const std::string& piece : pieces) size += piece.size();
            mData.reserve(size);
            for (const std::string& piece : pieces) {
                if (piece.empty()) continue;
                // Only where pieces meet between characters that a token may hold can a token be cut.
                if (!mData.empty() && isRegular(mData.back()) && isRegular(piece.front())) mJoins.push_back(mData.size());
                mData += piece;
            }
        }
        mTokenizer.allowEOF();
        mBuffer = std::make_unique<Buffer>(reinterpret_cast<unsigned char*>(mData.data()), mData.size());
        mInput = std::make_shared<BufferInputSource>("content", mBuffer.get());
    }

    void run() {
        for (;;) {
            const Tokenizer::Token token = mTokenizer.readToken(mInput, "content", true);
            if (token.getType() == Tokenizer::tt_eof) return;
            const size_t start = static_cast<size_t>(mInput->getLastOffset());
            QPDFObjectHandle object;
            if (composite(token.getType())) {
                object = readComposite(start);
            } else if (const size_t join = firstJoin(start, static_cast<size_t>(mInput->tell()));
                       join && endsWithItsStream(token.getType())) {
                // A name, number or operator ends with its stream; what follows is read next.
                object = simpleObject(tokenIn(mData.substr(start, join - start)));
                mInput->seek(static_cast<qpdf_offset_t>(join), SEEK_SET);
            } else {
                if (!token.getErrorMessage().empty()) mSink.damaged(token.getErrorMessage());
                object = simpleObject(token);
            }
            mSink.object(object);
            if (object.isOperator() && object.getOperatorValue() == "ID") readInlineData();
        }
    }

private:
    static bool composite(Tokenizer::token_type_e type) {
        return type == Tokenizer::tt_array_open || type == Tokenizer::tt_dict_open;
    }

    // The first join inside from..to (exclusive), or 0 when there is none.
    size_t firstJoin(size_t from, size_t to) const {
        auto it = std::upper_bound(mJoins.begin(), mJoins.end(), from);
        return it != mJoins.end() && *it < to ? *it : 0;
    }

    static Tokenizer::Token tokenIn(const std::string& text) {
        Tokenizer tokenizer;
        tokenizer.allowEOF();
        return tokenizer.readToken(std::make_shared<BufferInputSource>("content", text), "content", true);
    }

    QPDFObjectHandle simpleObject(const Tokenizer::Token& token) {
        const std::string& value = token.getValue();
        switch (token.getType()) {
        case Tokenizer::tt_integer: return QPDFObjectHandle::newInteger(QUtil::string_to_ll(value.c_str()));
        case Tokenizer::tt_real: return QPDFObjectHandle::newReal(value);
        case Tokenizer::tt_name: return QPDFObjectHandle::newName(value);
        case Tokenizer::tt_string: return QPDFObjectHandle::newString(value);
        case Tokenizer::tt_bool: return QPDFObjectHandle::newBool(value == "true");
        case Tokenizer::tt_word: return QPDFObjectHandle::newOperator(value);
        case Tokenizer::tt_brace_open:
        case Tokenizer::tt_brace_close: mSink.damaged("a brace, read as null"); break;
        case Tokenizer::tt_array_close: mSink.damaged("] without [, read as null"); break;
        case Tokenizer::tt_dict_close: mSink.damaged(">> without <<, read as null"); break;
        default: break;  // null, and a damaged token (its message is reported)
        }
        return QPDFObjectHandle::newNull();
    }

    // An array or a dictionary, read by qpdf from its first token on. Where a
    // name or number in it runs over a join, it is read again from a copy with
    // a space at the join.
    QPDFObjectHandle readComposite(size_t start) {
        mInput->seek(static_cast<qpdf_offset_t>(start), SEEK_SET);
        bool empty = false;
        QPDFObjectHandle object = QPDFObjectHandle::parse(mInput, "content", mTokenizer, empty, nullptr, mOwner);
        const size_t end = static_cast<size_t>(mInput->tell());
        if (!firstJoin(start, end)) return object;
        const std::string cut = withCuts(start, end);
        if (cut.size() == end - start) return object;
        Tokenizer tokenizer;
        return QPDFObjectHandle::parse(std::make_shared<BufferInputSource>("content", cut), "content", tokenizer, empty,
                                       nullptr, mOwner);
    }

    // mData from `from` to `to` with a space at each join inside a name, number or operator.
    std::string withCuts(size_t from, size_t to) const {
        Tokenizer tokenizer;
        tokenizer.allowEOF();
        auto input = std::make_shared<BufferInputSource>("content", mData.substr(from, to - from));
        std::string cut;
        size_t copied = from;
        for (;;) {
            const Tokenizer::Token token = tokenizer.readToken(input, "content", true);
            if (token.getType() == Tokenizer::tt_eof) break;
            if (!endsWithItsStream(token.getType())) continue;
            const size_t start = from + static_cast<size_t>(input->getLastOffset()), end = from + static_cast<size_t>(input->tell());
            for (auto it = std::upper_bound(mJoins.begin(), mJoins.end(), start); it != mJoins.end() && *it < end; ++it) {
                cut.append(mData, copied, *it - copied).push_back(' ');
                copied = *it;
            }
        }
        return cut.append(mData, copied, to - copied);
    }

    void readInlineData() {
        char white;  // the one white-space character that ends ID
        mInput->read(&white, 1);
        const size_t dataStart = static_cast<size_t>(mInput->tell());
        // Unfiltered data is as long as the dictionary says: bytes that look like
        // EI inside it do not end it. Without EI after it, EI is looked for instead.
        const std::optional<size_t> length = mSink.inlineDataLength();
        if (length && *length <= mData.size() - dataStart) {
            size_t at = dataStart + *length;
            while (at < mData.size() && isSpace(mData[at])) ++at;
            if (mData.compare(at, 2, "EI") == 0 && (at + 2 == mData.size() || isDelimiter(mData[at + 2]))) {
                mSink.inlineData(mData.substr(dataStart, *length));
                mInput->seek(static_cast<qpdf_offset_t>(at), SEEK_SET);
                return;
            }
        }
        mTokenizer.expectInlineImage(mInput);
        const Tokenizer::Token token = mTokenizer.readToken(mInput, "content", true);
        if (token.getType() == Tokenizer::tt_bad) mSink.damaged("an inline image's data runs to the end without EI");
        else mSink.inlineData(token.getValue());
    }

    std::string mData;
    std::vector<size_t> mJoins;  // where pieces meet between characters a token may hold, in order (never 0)
    QPDF* mOwner;
    PdeContentSink& mSink;
    std::unique_ptr<Buffer> mBuffer;
    std::shared_ptr<InputSource> mInput;
    Tokenizer mTokenizer;
};

}  // namespace

void parsePdeContent(std::vector<std::string> pieces, QPDF* owner, PdeContentSink& sink) {
    ContentParser(std::move(pieces), owner, sink).run();
}

}  // namespace qmhost
