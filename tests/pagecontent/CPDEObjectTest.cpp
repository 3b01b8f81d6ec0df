// References of the page-content wrappers: owned or lent handles given back
// exactly once, page-content loans given back once with the page kept while
// lent, copies that own their reference; and the content wrapper's list
// operations and writing back through the plug-in.
#include <gtest/gtest.h>

#include "PageContentFixture.h"
#include "common/PageContentFixtures.h"
#include "common/PluginFixture.h"
#include "pagecontent/CPDEContent.h"
#include "pagecontent/CPDEElement.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"

namespace {

using pctest::counts;
using pctest::PageContentTest;

uintptr_t key(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }
int given(const void* handle) {
    auto it = counts().given.find(key(handle));
    return it == counts().given.end() ? 0 : it->second;
}

class CPDEObjectTest : public PageContentTest {
protected:
    AVDoc view = nullptr;
    void SetUp() override {
        PageContentTest::SetUp();
        path = folder.file("elements.pdf");
        qmtest::writeElementsPdf(path);
        view = OpenView(path);
    }
    std::string path;
};

TEST_F(CPDEObjectTest, ReferencesAreGivenBackOnlyWhenOwnedAndNotOnLoan) {
    CPDEContent page(view, 0);
    PDEElement line = page.GetElem(0);
    {
        CPDEElement borrowed(line, false);
        EXPECT_EQ(borrowed.GetType(), kPDEPath);
    }
    EXPECT_EQ(given(line), 0) << "a wrapper made without acquiring never releases";
    {
        CPDEElement owned(line, true);
    }
    EXPECT_EQ(given(line), 1) << "one made acquiring releases exactly once";
    {
        CPDEElement onLoan(line, true);
        onLoan.SetDoNotRelease(true);
        onLoan.Release();  // given back by hand, as a caller that marks it does
    }
    EXPECT_EQ(given(line), 2) << "and never again when do-not-release was set in between";
    {
        CPDEElement borrowed(line, false);
        borrowed.Attach(page.GetElem(1), true);  // the borrowed handle is not released
        EXPECT_EQ(given(line), 2);
    }
    CPDEElement empty;
    empty.Release();  // handle 0: nothing is called
}

TEST_F(CPDEObjectTest, ACopyOfALentWrapperOwnsItsOwnReference) {
    CPDEContent page(view, 0);
    PDEElement text = page.GetElem(2);
    CPDEElement original(text, true);
    original.SetDoNotRelease(true);
    {
        CPDEElement copy(original);
        EXPECT_FALSE(copy.IsDoNotRelease()) << "the copy took a reference of its own, so it gives it back";
    }
    EXPECT_EQ(given(text), 1);
    original.SetDoNotRelease(false);
}

TEST_F(CPDEObjectTest, APageContentLoanIsGivenBackOnceAndThePageKeptMeanwhile) {
    PDEContent lent = nullptr;
    {
        CPDEContent page(view, 0);
        lent = page.GetHandle();
        EXPECT_TRUE(page.IsDoNotRelease());
        ASSERT_EQ(counts().pagesTaken.size(), 1u);
        const uintptr_t pageKey = counts().pagesTaken.begin()->first;
        // The holder that found the page let it go; the content still holds it.
        EXPECT_EQ(counts().pagesTaken[pageKey] - counts().pagesGiven[pageKey], 1);
        EXPECT_EQ(page.GetNumElems(), 7);
        // Borrowing another page's content gives the first loan back first.
        page.SetFromPage(page.GetPage());
        EXPECT_EQ(counts().loansGiven[pageKey], 1);
    }
    EXPECT_EQ(given(lent), 0) << "a lent content is never released as an object";
    ExpectBalanced("after the content went");
}

TEST_F(CPDEObjectTest, ContentListOperations) {
    CPDEContent made;
    CPDEContent page(view, 0);
    PDEElement line = page.GetElem(0), text = page.GetElem(2);
    made.AddElem(line, kPDEAfterLast);
    made.AddElem(line, kPDEAfterLast);
    made.AddElem(text, kPDEAfterLast);
    made.AddElem(text, kPDEBeforeFirst);
    EXPECT_EQ(made.GetNumElems(), 4);
    EXPECT_EQ(made.IndexOfElem(line), 1);
    EXPECT_EQ(made.IndexOfElem(page.GetElem(1)), -1);
    made.RemoveElemByHandle(line);  // two in a row: both go
    EXPECT_EQ(made.GetNumElems(), 2);
    EXPECT_EQ(made.IndexOfElem(line), -1);
    EXPECT_EQ(made.Query(kPDEQueryModified, nullptr), 1);
    try {
        made.SetPageContent();
        FAIL() << "a content of no page cannot be set as a page's";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    qmtest::TakeAlerts();
    CosObj none{1, 1};
    try {
        CPDEElement(page.GetElem(3), true).GetCosObj(none);
        FAIL() << "a container has no Cos object of its own";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    EXPECT_EQ(none.a, 0u) << "the out value is the null object";
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_FALSE(alerts.empty());
    EXPECT_NE(alerts.back().find("Assertion '0' failed"), std::string::npos) << alerts.back();
}

TEST_F(CPDEObjectTest, ContentWrittenBackThroughThePluginDrawsTheSame) {
    const std::string out = folder.file("out.pdf");
    {
        CPDEContent page(view, 0);
        CPDEElement clipped(page.GetElem(1), true);
        // Transformed by the identity with its clip: nothing moves.
        clipped.Transform(CPDEMatrix().GetFixedMatrix(), true);
        EXPECT_EQ(page.SetPageContent(), 1);
    }
    SaveView(view, out);
    EXPECT_EQ(qmtest::qpdfCheck(out).status, 0);
    EXPECT_LT(qmtest::pixelDifference(path, out), 0.002);
}

TEST_F(CPDEObjectTest, TransformMovesTheElementAndItsClip) {
    const std::string out = folder.file("moved.pdf");
    {
        CPDEContent page(view, 0);
        CPDEElement square(page.GetElem(1), true);
        const CPDEMatrix up(1, 0, 0, 1, 0, 100);
        square.Transform(up.GetFixedMatrix(), true);
        const CPDEMatrix m(square.GetMatrix());
        EXPECT_DOUBLE_EQ(m.V(), 100);
        page.SetPageContent();
    }
    SaveView(view, out);
    const qmtest::Rgb moved = qmtest::pixelAt(out, 50, 150), left = qmtest::pixelAt(out, 50, 50);
    EXPECT_GT(moved.g, 200);
    EXPECT_LT(moved.r, 60) << "the clip went up with the square";
    EXPECT_GT(left.r, 200) << "nothing green stays below";
}

TEST_F(CPDEObjectTest, CopiedAttributesAndClipsAreOwnedOnce) {
    CPDEContent page(view, 0);
    CPDEElement square(page.GetElem(1), true), line(page.GetElem(0), true);
    square.CopyAttributesTo(line.GetHandle(), true, true);
    EXPECT_NE(line.GetClip(), nullptr);
    EXPECT_NE(line.GetClip(), square.GetClip()) << "a copy of the clip";
    PDEGraphicState state;
    line.GetGState(state);
    EXPECT_EQ(state.fill.count, 3) << "the square's green fill";
    line.ClearClip();
    EXPECT_NE(line.GetClip(), nullptr);
    EXPECT_EQ(gPDFEditReadHFT->clipGetNumElems(line.GetClip()), 0);
    ASFixedRect box = line.GetBBox();
    EXPECT_EQ(box.left, 10 << 16);
    EXPECT_EQ(line.HitTestRect(ASFixedRect{0, 20 << 16, 20 << 16, 0}), 1);
    EXPECT_EQ(line.HitTestRect(ASFixedRect{0, 200 << 16, 5 << 16, 190 << 16}), 0);
}

TEST_F(CPDEObjectTest, DumpWritesTheDescriptionToAFileOrAnAlert) {
    CPDEContent page(view, 0);
    const std::string dumpPath = folder.file("dump.txt");
    FILE* file = std::fopen(dumpPath.c_str(), "w");
    page.Dump(2, file);
    std::fclose(file);
    const std::string text = qmtest::readAll(dumpPath);
    EXPECT_NE(text.find("content of 7 elements"), std::string::npos) << text;
    EXPECT_NE(text.find("container"), std::string::npos) << text;
    qmtest::TakeAlerts();
    CPDEElement(page.GetElem(0), true).Dump(0, nullptr);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("path"), std::string::npos);
}

}  // namespace
