#include "engine/CWrapPieces.h"

#include "engine/CContentBalance.h"
#include "engine/CPDFElement.h"

CWrapPieces::CWrapPieces(CosDoc cosDoc)
    : mCosDoc(cosDoc),
      mShared{CPDFElement::MakeContentStream(cosDoc, " q "), CPDFElement::MakeContentStream(cosDoc, " Q ")} {}

CWrapPieces::Pair CWrapPieces::For(CosObj contents) {
    CContentBalance balance;
    // A page with a stream whose data does not decode keeps the plain pair.
    if (!mReader.Read(contents, balance)) return mShared;
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
