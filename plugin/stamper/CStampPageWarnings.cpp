// The warnings of a stamp about the pages it goes on: a page selection that
// holds none of the document's pages, and pages where the stamp is placed
// beyond the part of the page that is shown. Either way the run goes on and
// succeeds, so the user is told rather than left with a stamp nobody sees.
#include <algorithm>
#include <string>
#include <vector>

#include "stamper/CPageRangeSet.h"
#include "stamper/CStamp.h"
#include "stamper/RunWarnings.h"
#include "stamper/StampKeys.h"
#include "support/CallbackGuard.h"

namespace {

// "page 2", "pages 1-3, 5" for 0-based page indexes.
std::string PagesText(std::vector<int32_t> inPages) {
    std::sort(inPages.begin(), inPages.end());
    inPages.erase(std::unique(inPages.begin(), inPages.end()), inPages.end());
    std::string text;
    for (size_t i = 0; i < inPages.size();) {
        size_t last = i;
        while (last + 1 < inPages.size() && inPages[last + 1] == inPages[last] + 1) ++last;
        text += (text.empty() ? "" : ", ") + std::to_string(int64_t{inPages[i]} + 1);
        if (last > i) text += "-" + std::to_string(int64_t{inPages[last]} + 1);
        i = last + 1;
    }
    return (inPages.size() == 1 ? "page " : "pages ") + text;
}

}  // namespace

void CStamp::WarnIfNoPageSelected() const {
    if (mNoLog || !mPageRanges || !mUsePageSelection || mPageRanges->GetCount() > 0) return;
    TrapRun([&] {
        // Only a page list or even pages of a one-page document select nothing:
        // the other choices hold a page of any document or are refused.
        std::string selection = "its choice of pages";
        if (CabInt(kKeyPages, kPagesByStampOn) == kPagesCustomList)
            selection = "its page list \"" + CabText(kKeyPageList) + "\"";
        else if (CabInt(kKeyStampOn, 0) == CPageRangeSet::kEvenPages)
            selection = "its choice of even pages";
        const int32_t count = mPageRanges->GetPageCount();
        WarnOncePerRun("no page " + GetName(), "the stamp \"" + GetName() + "\" is placed on no page: " + selection +
                                                   " selects none of the " + "document's " + std::to_string(count) +
                                                   (count == 1 ? " page" : " pages"));
    });
}

void CStamp::WarnOfPagesOffPage() {
    if (mPagesOffPage.empty()) return;
    const std::vector<int32_t> pages = std::move(mPagesOffPage);
    mPagesOffPage.clear();
    if (mNoLog) return;
    TrapRun([&] {
        WarnOncePerRun("off page " + GetName(), "the stamp \"" + GetName() + "\" lands on no visible part of " +
                                                    PagesText(pages) + ": it is placed beyond the page's edge");
    });
}
