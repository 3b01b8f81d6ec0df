// CPDFTextElement: writing the text onto a page.
#include <cstring>

#include "engine/CPDFDocument.h"
#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "engine/CPDFTextLayout.h"
#include "engine/ElementPageWriter.h"
#include "engine/TextContentWriter.h"
#include "support/ErrorMessage.h"
#include "engine/EngineHostFrame.h"
#include "support/ResourceStrings.h"

namespace {

// "本文档不能添加印章": the page cannot take the stamp.
constexpr uint32_t kStringCannotStamp = 212;

void FailWith(uint32_t id) { SetErrorMessage(LoadResString(id)); }

}  // namespace

std::vector<std::string> CPDFTextElement::SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    for (;;) {
        const size_t lineFeed = text.find('\n', pos);
        if (lineFeed == std::string::npos) {
            if (pos < text.size()) lines.push_back(text.substr(pos));
            return lines;
        }
        size_t end = lineFeed;
        if (end > pos && text[end - 1] == '\r') --end;
        std::string line = text.substr(pos, end - pos);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(std::move(line));
        pos = lineFeed + 1;
    }
}

void CPDFTextElement::AppendStringOperand(std::string& out, const std::string& codes,
                                          int32_t bytesPerCode) {
    if (bytesPerCode == 2) {
        static constexpr char kHex[] = "0123456789ABCDEF";
        out += '<';
        for (const char c : codes) {
            const auto byte = static_cast<unsigned char>(c);
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
        out += '>';
        return;
    }
    out += '(';
    for (const char c : codes) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '(': out += "\\("; break;
            case ')': out += "\\)"; break;
            // A bare line end inside a literal string is read back as a line feed.
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c; break;
        }
    }
    out += ')';
}


CosObj CPDFTextElement::FontCopyFor(CosDoc cosDoc) {
    const auto found = mFontCopies.find(cosDoc);
    if (found != mFontCopies.end()) {
        // An undo may have destroyed the copy since; then it is made again.
        try {
            if (gCosHFT->objGetType(found->second) == CosDict) return found->second;
        } catch (const HostError&) {
        }
        mFontCopies.erase(found);
    }
    const CosObj source = gPDFEditReadHFT->fontGetCosObj(mFont);
    const CosObj copy = gCosHFT->objCopy(source, cosDoc);
    mFontCopies[cosDoc] = copy;
    return copy;
}

bool CPDFTextElement::Write(int32_t pageIndex) {
    mLastFit = Fit::kWhole;
    if (!mPlacement || !mDocument || !mDocument->GetPDDoc()) return false;
    // Nothing to write (an empty text, a variable that expanded to nothing).
    if (SplitLines(mText).empty()) return true;
    if (!mFont) {
        FailWith(kStringCannotStamp);
        TakeErrorText();
        return false;
    }
    return CElementPageWriter::Run(*this, pageIndex, [&](PDPage page) { return WritePage(pageIndex, page); });
}

bool CPDFTextElement::WritePage(int32_t pageIndex, PDPage page) {
    mPlacement->SetPage(page);
    CElementPageWriter writer(*this, pageIndex, page, CElementPageWriter::NewDicts::kDirect);

    CPDFTextLayout layout(*this, *mPlacement);
    if (!layout.Build(SplitLines(mText), mWordWrap)) return false;
    mLastFit = layout.GetFit();
    // Word wrap cut every line: nothing is added, nothing placed.
    if (layout.Lines().empty()) {
        mPlacement->ForgetPlacedBox();
        return true;
    }

    std::string fontName;
    if (!writer.AddResource(kFontResource, FontCopyFor(writer.GetCosDoc()), fontName)) return false;
    std::string gsName;
    // One graphics-state object per state and document, shared by the pages.
    if (!writer.AddResource(kStateResource, OpacityStateFor(writer.GetCosDoc()), gsName)) return false;

    const CTextContentWriter content(*this, layout, BytesPerCode());
    const std::string background = content.Background(gsName);
    const std::string block = content.TextBlock(fontName, gsName);
    const std::string underlines = content.Underlines(gsName);
    const std::string border = content.Border(gsName);
    if (!writer.InsertPieces({background, block, underlines, border})) return false;
    if (mAction && !AddLinkAnnot(layout.LinkRect(), page)) return false;
    return true;
}
