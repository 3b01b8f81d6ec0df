// CPDFTextElement: writing the text onto a page.
#include <cstring>

#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoData.h"
#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "engine/CPDFTextLayout.h"
#include "engine/EngineHostFrame.h"
#include "engine/TextContentWriter.h"
#include "support/ErrorMessage.h"
#include "support/FixedPoint.h"
#include "support/cos/PDFAtoms.h"
#include "support/ResourceStrings.h"

using engine::Atom;
using engine::HostFrame;

namespace {

// "本文档不能添加印章": the page cannot take the stamp.
constexpr uint32_t kStringCannotStamp = 212;
// A /Parent chain longer than this is a loop in a damaged file.
constexpr int kMaxTreeDepth = 64;

// The page's resources: its own, else the nearest inherited through
// /Parent (new entries then go there), else a new direct dictionary.
CosObj FindResources(CosDoc cosDoc, CosObj pageDict) {
    CosObj node = pageDict;
    for (int depth = 0; depth < kMaxTreeDepth; ++depth) {
        const CosObj resources = gCosHFT->dictGet(node, gAtomResources);
        if (gCosHFT->objGetType(resources) != CosNull) return resources;
        node = gCosHFT->dictGet(node, gAtomParent);
        if (gCosHFT->objGetType(node) != CosDict) break;
    }
    const CosObj made = gCosHFT->newDict(cosDoc, false, 2);
    gCosHFT->dictPut(pageDict, gAtomResources, made);
    return made;
}

// The sub-dictionary of that type, made (direct) when absent.
CosObj SubDict(CosDoc cosDoc, CosObj resources, ASAtom type) {
    CosObj dict = gCosHFT->dictGet(resources, type);
    if (gCosHFT->objGetType(dict) == CosNull) {
        dict = gCosHFT->newDict(cosDoc, false, 1);
        gCosHFT->dictPut(resources, type, dict);
    }
    return dict;
}

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

void CPDFTextElement::TakeErrorText() { SetErrorText(GetErrorMessage()); }

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
    if (!mPlacement || !mDocument || !mDocument->GetPDDoc()) return false;
    // Nothing to write (an empty text, a variable that expanded to nothing).
    if (SplitLines(mText).empty()) return true;
    if (!mFont) {
        FailWith(kStringCannotStamp);
        TakeErrorText();
        return false;
    }
    bool written = false;
    const bool ranThrough = HostFrame([&] {
        engine::PageRef page(mDocument->GetPDDoc(), pageIndex, true);
        written = WritePage(pageIndex, page);
    });
    if (ranThrough && written) return true;
    TakeErrorText();
    return false;
}

bool CPDFTextElement::WritePage(int32_t pageIndex, PDPage page) {
    mPlacement->mPage = page;
    const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(mDocument->GetPDDoc());
    const CosObj pageDict = gPDModelHFT->pageGetCosObj(page);

    CPDFTextLayout layout(*this, *mPlacement);
    if (!layout.Build(SplitLines(mText), mWordWrap)) return false;
    // Word wrap cut every line: nothing is added.
    if (layout.Lines().empty()) return true;

    const CosObj resources = FindResources(cosDoc, pageDict);
    const CosObj fontDict = SubDict(cosDoc, resources, gAtomFont);
    std::string fontName;
    // All 10000 names taken: the write fails; an existing entry is never replaced.
    if (!MakeResourceName(fontName, "NxF", fontDict)) {
        FailWith(kStringCannotStamp);
        return false;
    }
    const CosObj font = FontCopyFor(cosDoc);
    gCosHFT->dictPut(fontDict, Atom(fontName.c_str()), font);
    Record(pageIndex, kElementUndoFont, font, fontName.c_str(), kElementUndoNameFont);

    const CosObj gsDict = SubDict(cosDoc, resources, gAtomExtGState);
    std::string gsName;
    if (!MakeResourceName(gsName, "NxGS", gsDict)) {
        FailWith(kStringCannotStamp);
        return false;
    }
    // One graphics-state object per state and document, shared by the pages.
    const CosObj gs = OpacityStateFor(cosDoc);
    gCosHFT->dictPut(gsDict, Atom(gsName.c_str()), gs);
    Record(pageIndex, kElementUndoExtGState, gs, gsName.c_str(), kElementUndoNameExtGState);

    const CTextContentWriter writer(*this, layout, BytesPerCode());
    // Drawing order: background, text, underline, border.
    const std::string pieces[4] = {writer.Background(gsName), writer.TextBlock(fontName, gsName),
                                   writer.Underlines(gsName), writer.Border(gsName)};
    const bool atEnd = mContentPosition == kContentEnd;
    // At the front each piece goes to index 0, so they are put in reverse.
    for (int i = 0; i < 4; ++i) {
        const std::string& piece = pieces[atEnd ? i : 3 - i];
        if (piece.empty()) continue;
        if (!InsertPageContent(cosDoc, pageDict, piece, mContentPosition)) return false;
    }
    if (mAction && !AddLinkAnnot(layout.LinkRect(), page)) return false;
    return true;
}
