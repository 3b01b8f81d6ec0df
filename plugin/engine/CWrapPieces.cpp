#include "engine/CWrapPieces.h"

#include "engine/CContentBalance.h"
#include "engine/CPDFElement.h"
#include "qmhost/HostError.h"
#include "support/HostTables.h"
#include "support/cos/CASStream.h"

namespace {

constexpr int32_t kReadPiece = 16 * 1024;

void FeedStream(CosObj stream, CContentBalance& balance) {
    CASStream data(gCosHFT->streamOpen(stream, kCosStreamDecoded));
    char piece[kReadPiece];
    for (int32_t got; (got = gAppSupportHFT->stmRead(piece, 1, kReadPiece, data)) > 0;)
        balance.Feed(piece, static_cast<size_t>(got));
}

}  // namespace

CWrapPieces::CWrapPieces(CosDoc cosDoc)
    : mCosDoc(cosDoc),
      mShared{CPDFElement::MakeContentStream(cosDoc, " q "), CPDFElement::MakeContentStream(cosDoc, " Q ")} {}

CWrapPieces::Pair CWrapPieces::For(CosObj contents) {
    CContentBalance balance;
    if (!Read(contents, balance)) return mShared;
    balance.Finish();
    if (!balance.IsReadable() || balance.IsBalanced()) return mShared;
    Pair pair = mShared;
    if (const size_t extra = balance.UnmatchedRestores(); extra > 0) {
        std::string save = " q";
        for (size_t i = 0; i < extra; ++i) save += " q";
        pair.save = Piece(save + " ");
    }
    const std::string closing = balance.ClosingOperators();
    if (!closing.empty() || balance.EndsInComment())
        pair.restore = Piece((balance.EndsInComment() ? "\n " : " ") + closing + "Q ");
    return pair;
}

CosObj CWrapPieces::Piece(const std::string& content) {
    const auto made = mMade.find(content);
    if (made != mMade.end()) return made->second;
    const CosObj stream = CPDFElement::MakeContentStream(mCosDoc, content);
    mMade.emplace(content, stream);
    return stream;
}

bool CWrapPieces::Read(CosObj contents, CContentBalance& balance) {
    // A page with a stream whose data does not decode keeps the plain pair.
    try {
        const int32_t type = gCosHFT->objGetType(contents);
        if (type == CosStream) {
            FeedStream(contents, balance);
        } else if (type == CosArray) {
            const int32_t length = gCosHFT->arrayLength(contents);
            for (int32_t i = 0; i < length; ++i) {
                const CosObj piece = gCosHFT->arrayGet(contents, i);
                if (gCosHFT->objGetType(piece) == CosStream) FeedStream(piece, balance);
            }
        }
        return true;
    } catch (const HostError&) {
        return false;
    }
}
