#include "engine/CPDFTextLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "engine/PdfNumber.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace {

double Points(ASFixed value) { return FixedToDouble(value); }
double Width(const ASFixedRect& box) { return Points(box.right) - Points(box.left); }

// The end of the UTF-8 character that starts at pos (a stray continuation
// byte counts as one character, so the scan always moves on).
size_t NextCharEnd(const std::string& text, size_t pos) {
    size_t end = pos + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end;
}

}  // namespace

// The prefix ends that word wrap tries for the rest of a line from start on
// (positions in the line, each end exclusive): up to each blank that follows
// at least one character, then the whole rest; a rest without such a blank
// grows one character at a time. Found as they are asked for, so that a long
// line costs its length once, not once per break.
class CWrapCandidates {
public:
    // byCharacter: the rest is known to hold no blank after its first
    // character (it is what is left of a line that had none).
    CWrapCandidates(const std::string& line, size_t start, bool byCharacter)
        : mLine(line), mStart(start), mByCharacter(byCharacter) {
        if (!mByCharacter) {
            mNextBlank = line.find(' ', start + 1);
            mByCharacter = mNextBlank == std::string::npos;
        }
    }
    bool ByCharacter() const { return mByCharacter; }
    // The end of candidate index, or npos when there are not that many.
    size_t At(size_t index) {
        while (mEnds.size() <= index && !mComplete) Extend();
        return index < mEnds.size() ? mEnds[index] : std::string::npos;
    }
    // How many there are (all of them found).
    size_t Count() {
        while (!mComplete) Extend();
        return mEnds.size();
    }

private:
    void Extend() {
        if (mByCharacter) {
            const size_t from = mEnds.empty() ? mStart : mEnds.back();
            if (from >= mLine.size()) {
                mComplete = true;
                return;
            }
            mEnds.push_back(NextCharEnd(mLine, from));
        } else if (mNextBlank != std::string::npos) {
            mEnds.push_back(mNextBlank);
            mNextBlank = mLine.find(' ', mNextBlank + 1);
        } else {
            mEnds.push_back(mLine.size());
            mComplete = true;
        }
    }

    const std::string& mLine;
    size_t mStart;
    bool mByCharacter;
    size_t mNextBlank = std::string::npos;
    std::vector<size_t> mEnds;
    bool mComplete = false;
};

namespace {

ASFixedMatrix Concat(const ASFixedMatrix& first, const ASFixedMatrix& second) {
    ASFixedMatrix result;
    gAppSupportHFT->fixedMatrixConcat(&result, &first, &second);
    return result;
}

ASFixedRect Union(const ASFixedRect& a, const ASFixedRect& b) {
    return {std::min(a.left, b.left), std::max(a.top, b.top), std::max(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

void AppendMatrix(std::string& out, const ASFixedMatrix& m) {
    for (const ASFixed value : {m.a, m.b, m.c, m.d, m.h, m.v}) AppendPdfFixed(out, value);
}

}  // namespace

CPDFTextLayout::CPDFTextLayout(const CPDFTextElement& element, CPDFPlacement& placement)
    : mElement(element), mPlacement(placement) {}

void CPDFTextLayout::RestorePlacement() {
    mPlacement.SetScale(mSize, mSize);
    mPlacement.SetOffset(mOffsetX, mOffsetY);
}

bool CPDFTextLayout::Build(std::vector<std::string> lines, bool wordWrap) {
    mSize = mPlacement.GetScaleY();
    mOffsetX = mPlacement.GetOffsetX();
    mOffsetY = mPlacement.GetOffsetY();
    mSampleBox = mElement.SampleBox(mSize);
    mDescent = Points(mSampleBox.bottom);
    mWordWrap = wordWrap;
    mFit = CPDFTextElement::Fit::kWhole;
    if (wordWrap) {
        // The wrap reads the page's box from the placement.
        if (!mPlacement.Compute()) return false;
        bool cut = false;
        const bool wrapped =
            mPlacement.GetRotation() != 0.0 ? WrapRotated(lines) : Wrap(lines, SIZE_MAX, cut);
        RestorePlacement();
        if (!wrapped) return false;
        if (cut)
            mFit = CPDFTextElement::Fit::kLeftOut;
        else if (mWordRunsOff && mPlacement.GetRotation() == 0.0)
            mFit = CPDFTextElement::Fit::kRunsOff;  // the rotated wrap judges its own lines
    }
    mLines.clear();
    for (const std::string& text : lines) {
        CTextLine line;
        line.codes = mElement.EncodeText(text);
        mElement.MeasureText(line.codes, line.box, mSize);
        mLines.push_back(std::move(line));
    }
    if (mLines.empty()) return true;
    mPerLineMatrix = wordWrap && mPlacement.GetRotation() != 0.0;
    const bool laidOut = mPerLineMatrix ? LayOutRotated() : LayOutStandard();
    RestorePlacement();
    return laidOut;
}

bool CPDFTextLayout::PrefixFits(const std::string& text, size_t lineIndex, bool& outFits) {
    // The block is at least as wide as this line, whatever was assumed.
    if (mWrapRotated)
        return RotatedLineFits(text, static_cast<int32_t>(std::min<size_t>(lineIndex, INT32_MAX)), mAssumedLines,
                               std::max(mAssumedWidth, mWrappedWidest), outFits);
    ASFixedRect box;
    mElement.MeasureText(mElement.EncodeText(text), box, mSize);
    mPlacement.SetScale(1.0, 1.0);
    mPlacement.SetOffset(mOffsetX, mOffsetY - mDescent);
    mPlacement.mElementBox = box;
    const bool computed = mPlacement.Compute();
    if (computed) {
        gAppSupportHFT->fixedMatrixTransformRect(&mPlacement.mElementBox, &mPlacement.mMatrix, &box);
        ASFixed left, top, right, bottom;
        outFits = mPlacement.FitsOnPage(left, top, right, bottom);
    }
    RestorePlacement();
    return computed;
}

bool CPDFTextLayout::RotatedLineFits(const std::string& text, int32_t k, int32_t n, double wMaxPoints,
                                     bool& outFits) {
    ASFixedRect box;
    mElement.MeasureText(mElement.EncodeText(text), box, mSize);
    const double w = Width(box);
    ASFixedMatrix lineMatrix;
    const bool computed = RotatedLineMatrix(k, n, std::max(wMaxPoints, w), w, lineMatrix);
    if (computed) {
        gAppSupportHFT->fixedMatrixTransformRect(&mPlacement.mElementBox, &lineMatrix, &box);
        ASFixed left, top, right, bottom;
        outFits = mPlacement.FitsOnPage(left, top, right, bottom);
    }
    RestorePlacement();
    return computed;
}

bool CPDFTextLayout::FirstMisfit(const std::string& line, size_t start, size_t lineIndex, CWrapCandidates& ends,
                                 size_t& outMisfit) {
    // A prefix never reaches further than a longer one, so the prefixes that
    // fit come first: the first misfit is found by doubling steps and then
    // halving, with prefixes measured up to twice the break's length, where
    // trying them one by one from the start would measure each break's line
    // over and over (and a whole long rest after each break).
    size_t fitBelow = 0;  // every candidate below fits
    size_t misfit = std::string::npos;
    for (size_t probe = 0;; probe = 2 * probe + 1) {
        size_t end = ends.At(probe);
        if (end == std::string::npos) {
            const size_t count = ends.Count();
            if (count == fitBelow) {
                outMisfit = std::string::npos;
                return true;
            }
            probe = count - 1;
            end = ends.At(probe);
        }
        bool fits = true;
        if (!PrefixFits(line.substr(start, end - start), lineIndex, fits)) return false;
        if (!fits) {
            misfit = probe;
            break;
        }
        fitBelow = probe + 1;
    }
    while (fitBelow < misfit) {
        const size_t middle = fitBelow + (misfit - fitBelow) / 2;
        bool fits = true;
        if (!PrefixFits(line.substr(start, ends.At(middle) - start), lineIndex, fits)) return false;
        if (fits)
            fitBelow = middle + 1;
        else
            misfit = middle;
    }
    outMisfit = misfit;
    return true;
}

bool CPDFTextLayout::Wrap(std::vector<std::string>& lines, size_t maxLines, bool& outCut) {
    outCut = false;
    mWordRunsOff = false;
    mWrappedWidest = 0;
    std::vector<std::string> wrapped;
    // A rotated block is as wide as its widest line so far: the next lines
    // are tested in a block that wide.
    auto push = [&](std::string text) {
        if (mWrapRotated) mWrappedWidest = std::max(mWrappedWidest, Widest({text}));
        wrapped.push_back(std::move(text));
    };
    for (const std::string& line : lines) {
        // The rest of the line still to place starts at start.
        size_t start = 0;
        bool byCharacter = false;
        for (;;) {
            if (wrapped.size() > maxLines) {
                lines = std::move(wrapped);
                return true;
            }
            CWrapCandidates ends(line, start, byCharacter);
            byCharacter = ends.ByCharacter();
            size_t misfit = 0;
            if (!FirstMisfit(line, start, wrapped.size(), ends, misfit)) return false;
            if (misfit == std::string::npos) {  // the rest fits (or it is empty)
                push(line.substr(start));
                break;
            }
            if (misfit == 0 && byCharacter) {
                // Not even the first character fits: the text is cut here.
                lines = std::move(wrapped);
                outCut = true;
                return true;
            }
            // A first word that does not fit stands alone (and runs off the
            // page); otherwise the line breaks before the word (or character)
            // that did not fit.
            if (misfit == 0) mWordRunsOff = true;
            const size_t breakAt = misfit == 0 ? ends.At(0) : ends.At(misfit - 1);
            std::string shortened = line.substr(start, breakAt - start);
            if (!shortened.empty() && shortened.back() == ' ') shortened.pop_back();
            push(std::move(shortened));
            const bool atBlank = breakAt < line.size() && line[breakAt] == ' ';
            // Each break consumes at least one character, so the loop ends.
            start = atBlank ? breakAt + 1 : breakAt;
            if (start >= line.size()) break;
        }
    }
    lines = std::move(wrapped);
    return true;
}

double CPDFTextLayout::Widest(const std::vector<std::string>& lines) const {
    double widest = 0;
    for (const std::string& text : lines) {
        ASFixedRect box;
        mElement.MeasureText(mElement.EncodeText(text), box, mSize);
        widest = std::max(widest, Width(box));
    }
    return widest;
}

bool CPDFTextLayout::WrapRotated(std::vector<std::string>& lines) {
    // Testing every line at the first line's place let the lines further down
    // the block run off the page (at 45 degrees a 24-point line ended 10
    // points past the right edge): each line is tested where it will stand.
    // Where that is depends on the block's line count (the line at the
    // aligned edge may be the last one) and its widest line, so the text is
    // wrapped as a block of n lines for n = 1, 2, ... (the widest line
    // carried from wrap to wrap) until a wrap keeps the whole text in lines
    // that, laid out as the block they make, all lie on the page. Re-wrapping
    // only under the last wrap's count can run away instead: more lines push
    // the first one further from the edge, which breaks more lines.
    // When no block keeps the whole text, the one that keeps most of it on
    // the page wins (the rest is cut, as an unrotated text that cannot start
    // on the page is); when none lies on the page at all (a first word longer
    // than the page stands alone), the first wrap that settled.
    const std::vector<std::string> given = std::move(lines);
    // No block of more lines than fit along the page's diagonal lies on the
    // page, so no more are tried (a text that needs more is cut anyway).
    const double height = Points(mPlacement.mPageBox.top) - Points(mPlacement.mPageBox.bottom);
    const double step = mElement.GetLineSpacing() * mSize;
    size_t limit = std::min<size_t>(Characters(given) + given.size(), kMaxRotatedLines);
    if (step > 0) limit = std::min<size_t>(limit, static_cast<size_t>(std::hypot(Width(mPlacement.mPageBox), height) / step) + 1);
    mWrapRotated = true;
    std::vector<std::string> cutBest;
    std::vector<std::string> settled;
    bool haveSettled = false;
    bool found = false;
    bool computed = true;
    for (size_t n = 1; n <= limit && computed && !found; ++n) {
        // The block is at least as wide as the widest line before the one
        // tested; when a wider line after it moves it off the page, the wrap
        // is tried again with the block that wide from the start.
        double width = 0;
        for (int round = 0; round < kMaxWidthRounds; ++round) {
            mAssumedLines = static_cast<int32_t>(n);
            mAssumedWidth = width;
            std::vector<std::string> trial = given;
            bool cut = false;
            computed = Wrap(trial, n, cut);
            if (!computed) break;
            // A text that needs more lines: its first n, the rest cut, may
            // still be the most of it that the page holds.
            const bool truncated = trial.size() > n;
            if (truncated) trial.resize(n);
            const double widest = Widest(trial);
            bool onPage = false;
            computed = BlockFits(trial, widest, onPage);
            if (!computed) break;
            if (onPage && !cut && !truncated) {
                lines = std::move(trial);
                found = true;
                break;
            }
            if (!onPage || cut || truncated) {
                computed = KeepMostOnPage(trial, cutBest);
                if (!computed) break;
            }
            if (onPage || widest == width) {
                if (!haveSettled && !truncated) {
                    settled = std::move(trial);
                    haveSettled = true;
                }
                break;
            }
            width = widest;
        }
    }
    if (computed && !found && cutBest.empty() && !haveSettled) {
        // More text than any block on the page holds: the lines are tested
        // where the largest such block puts them, so that as many as the
        // page holds are on it; the rest is cut where not even a character
        // fits, or runs off, as an unrotated text's last lines do.
        mAssumedLines = static_cast<int32_t>(limit);
        mAssumedWidth = 0;
        std::vector<std::string> all = given;
        bool cut = false;
        computed = Wrap(all, SIZE_MAX, cut);
        mWrapRotated = false;
        lines = std::move(all);
        mFit = cut ? CPDFTextElement::Fit::kLeftOut : CPDFTextElement::Fit::kRunsOff;
        return computed;
    }
    mWrapRotated = false;
    if (!computed) return false;
    if (found) return true;
    // The most of the text that lies on the page has lost lines; a wrap kept
    // whole did not fit.
    const bool keepPart = !cutBest.empty() || !haveSettled;
    mFit = keepPart ? CPDFTextElement::Fit::kLeftOut : CPDFTextElement::Fit::kRunsOff;
    lines = std::move(keepPart ? cutBest : settled);
    return true;
}

bool CPDFTextLayout::KeepMostOnPage(const std::vector<std::string>& trial, std::vector<std::string>& ioBest) {
    // The longest run of first lines that lies on the page as a block of its
    // own, when it keeps more of the text than ioBest; shorter runs keep less
    // text, so the search stops at the first that lies on the page or can
    // no longer beat ioBest.
    std::vector<std::string> head = trial;
    while (!head.empty() && Characters(head) > Characters(ioBest)) {
        bool onPage = false;
        if (!BlockFits(head, Widest(head), onPage)) return false;
        if (onPage) {
            ioBest = std::move(head);
            return true;
        }
        head.pop_back();
    }
    return true;
}

size_t CPDFTextLayout::Characters(const std::vector<std::string>& lines) {
    size_t count = 0;
    for (const std::string& line : lines) count += line.size();
    return count;
}

bool CPDFTextLayout::BlockFits(const std::vector<std::string>& lines, double widest, bool& outFits) {
    outFits = true;
    const auto n = static_cast<int32_t>(lines.size());
    for (int32_t k = 0; k < n && outFits; ++k) {
        const std::string& line = lines[static_cast<size_t>(k)];
        if (line.empty()) continue;  // draws nothing
        if (!RotatedLineFits(line, k, n, widest, outFits)) return false;
    }
    return true;
}

bool CPDFTextLayout::RotatedLineMatrix(int32_t k, int32_t n, double wMaxPoints, double w,
                                       ASFixedMatrix& outMatrix) {
    const double step = mElement.GetLineSpacing() * mSize;
    const double theta = mPlacement.GetRotation() * std::numbers::pi / 180.0;
    // From one line to the next: "down" in the text's own direction, in the
    // page as displayed.
    const double ux = step * std::sin(theta);
    const double uy = -step * std::cos(theta);
    const int32_t hAlign = mPlacement.GetHorizontalAlignment();
    const int32_t vAlign = mPlacement.GetVerticalAlignment();
    // The line that stands at the aligned edge, per axis, so that the others
    // follow away from that edge (centred blocks around the middle line).
    auto anchor = [&](int32_t align, int32_t nearCode, int32_t farCode, double u) {
        if (align == nearCode) return u >= 0 ? 0.0 : n - 1.0;
        if (align == farCode) return u <= 0 ? 0.0 : n - 1.0;
        return (n - 1) / 2.0;
    };
    const double ax = anchor(hAlign, CPDFPlacement::kAlignLeft, CPDFPlacement::kAlignRight, ux);
    const double ay = anchor(vAlign, CPDFPlacement::kAlignBottom, CPDFPlacement::kAlignTop, uy);
    const double dx = (k - ax) * ux;
    const double dy = (k - ay) * uy;

    // Every line is placed with the same box (the widest line's width, the
    // font's ascent and descent), so that the lines stand at equal steps
    // whatever their lengths; a shorter line is then moved along its
    // baseline by the horizontal alignment.
    mPlacement.SetAlignRotatedBox(true);
    mPlacement.SetOffset(mOffsetX + (hAlign == CPDFPlacement::kAlignRight ? -dx : dx),
                         mOffsetY + (vAlign == CPDFPlacement::kAlignTop ? -dy : dy));
    mPlacement.SetScale(1.0, 1.0);
    mPlacement.mElementBox = {0, mSampleBox.top, FixedFromDouble(wMaxPoints), mSampleBox.bottom};
    if (!mPlacement.Compute()) return false;
    double along = 0;
    if (hAlign == CPDFPlacement::kAlignRight)
        along = wMaxPoints - w;
    else if (hAlign != CPDFPlacement::kAlignLeft)
        along = (wMaxPoints - w) / 2;
    // The box is placed with its lower edge (the descent) at the origin;
    // the baseline stands the descent above it.
    const ASFixedMatrix toBaseline{kASFixedOne, 0, 0, kASFixedOne, FixedFromDouble(along),
                                   FixedFromDouble(-mDescent)};
    outMatrix = Concat(mPlacement.mMatrix, toBaseline);
    return true;
}

bool CPDFTextLayout::LayOutStandard() {
    const double size = mSize;
    const double s = mElement.GetLineSpacing();
    const auto n = static_cast<int32_t>(mLines.size());
    double wMaxPoints = 0;
    for (const CTextLine& line : mLines) wMaxPoints = std::max(wMaxPoints, Width(line.box));

    // Text placement: the font at size 1, the matrix carries size, rotation
    // and position; the text's lowest point sits at the placed origin.
    mPlacement.SetAlignRotatedBox(true);
    mPlacement.SetScale(size, size);
    const ASFixedRect textBox{0, FixedFromDouble(size + mDescent), FixedFromDouble(wMaxPoints),
                              FixedFromDouble((1 - n) * s * size + mDescent)};
    mPlacement.mElementBox = textBox;
    if (!mPlacement.Compute()) return false;
    mTextMatrix = mPlacement.mMatrix;

    // The same placement at scale 1, in points: each underline goes 2 points
    // under its own baseline whatever the line spacing.
    mPlacement.SetScale(1.0, 1.0);
    mPlacement.mElementBox = textBox;
    if (!mPlacement.Compute()) return false;
    const ASFixedMatrix pointMatrix = mPlacement.mMatrix;
    if (mWordWrap && mFit == CPDFTextElement::Fit::kWhole && !StandardBlockOnPage(textBox, pointMatrix))
        mFit = CPDFTextElement::Fit::kRunsOff;

    const int32_t align = mPlacement.GetHorizontalAlignment();
    const double wMax = wMaxPoints / size;
    auto shiftOf = [&](int32_t i) {
        const double wPrevious = i == 0 ? wMax : Width(mLines[static_cast<size_t>(i) - 1].box) / size;
        const double shift = wPrevious - Width(mLines[static_cast<size_t>(i)].box) / size;
        if (align == CPDFPlacement::kAlignLeft) return 0.0;
        if (align == CPDFPlacement::kAlignRight) return shift;
        return shift / 2;
    };
    const ASFixedRect& last = mLines.back().box;
    for (int32_t i = 0; i < n; ++i) {
        CTextLine& line = mLines[static_cast<size_t>(i)];
        double x = shiftOf(i);
        double y = -s;
        if (i == 0) {
            x += -Points(last.left) / size;
            y = -Points(last.bottom) / size + (n - 1) * s;
        }
        line.positioning.clear();
        AppendPdfShortReal(line.positioning, x, 6, " ");
        AppendPdfShortReal(line.positioning, y, 6, " Td ");

        const double w = Width(line.box);
        const double below = (n - 1 - i) * s * size;
        double left = Points(line.box.left);
        if (align == CPDFPlacement::kAlignRight)
            left = wMaxPoints - w;
        else if (align != CPDFPlacement::kAlignLeft)
            left = (wMaxPoints - w) / 2;
        line.underlineBox = {FixedFromDouble(left), FixedFromDouble(below + size),
                             FixedFromDouble(left + w), FixedFromDouble(below)};
        line.underlineMatrix = pointMatrix;
    }

    // Frame placement for the border, the background and the link.
    mFrameBox = {0, FixedFromDouble(n * s * size), FixedFromDouble(wMaxPoints), 0};
    mPlacement.mElementBox = mFrameBox;
    mPlacement.SetScale(1.0, 1.0);
    if (!mPlacement.Compute()) return false;
    mFrameMatrix = mPlacement.mMatrix;
    gAppSupportHFT->fixedMatrixTransformRect(&mLinkRect, &mFrameMatrix, &mFrameBox);
    return true;
}

bool CPDFTextLayout::StandardBlockOnPage(const ASFixedRect& textBox, const ASFixedMatrix& pointMatrix) {
    // Within a hundredth of a point: the wrap placed each line with boxes
    // of its own, rounded differently.
    constexpr ASFixed kTolerance = kASFixedOne / 100;
    gAppSupportHFT->fixedMatrixTransformRect(&mPlacement.mElementBox, &pointMatrix, &textBox);
    ASFixed left, top, right, bottom;
    mPlacement.FitsOnPage(left, top, right, bottom);
    return top <= kTolerance && bottom <= kTolerance;
}

bool CPDFTextLayout::LayOutRotated() {
    const double size = mSize;
    const auto n = static_cast<int32_t>(mLines.size());
    double wMaxPoints = 0;
    for (const CTextLine& line : mLines) wMaxPoints = std::max(wMaxPoints, Width(line.box));

    const ASFixedMatrix sizeMatrix{FixedFromDouble(size), 0, 0, FixedFromDouble(size), 0, 0};
    bool first = true;
    for (int32_t k = 0; k < n; ++k) {
        CTextLine& line = mLines[static_cast<size_t>(k)];
        ASFixedMatrix lineMatrix;
        if (!RotatedLineMatrix(k, n, wMaxPoints, Width(line.box), lineMatrix)) return false;
        line.positioning.clear();
        AppendMatrix(line.positioning, Concat(lineMatrix, sizeMatrix));
        line.positioning += "Tm ";
        line.underlineBox = {line.box.left, FixedFromDouble(size + mDescent), line.box.right,
                             line.box.bottom};
        line.underlineMatrix = lineMatrix;
        ASFixedRect placed;
        gAppSupportHFT->fixedMatrixTransformRect(&placed, &lineMatrix, &line.box);
        mFrameBox = first ? placed : Union(mFrameBox, placed);
        first = false;
    }
    mFrameMatrix = {kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    mLinkRect = mFrameBox;
    mPlacement.mElementBox = mFrameBox;
    // The block stands where its lines do, not where the last one alone does.
    mPlacement.SetPlacedBox(mFrameBox);
    return true;
}
