// The form-member tree mirrors the page's nesting; searches by kind, backward
// and wrapping round; hit tests find elements under a point inside a rotated
// form; the placement of an image through the forms that wrap it.
#include <gtest/gtest.h>

#include <cmath>

#include "PageContentFixture.h"
#include "common/PageContentFixtures.h"
#include "pagecontent/CFormMember.h"
#include "pagecontent/FormMemberSearch.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace {

using pctest::PageContentTest;

// The tree as text: one letter per member (F form, C container), nested in brackets.
std::string shape(const CFormMemberList& list) {
    std::string text;
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        CFormMember* member = list.MemberAt(i);
        text += member->GetElement()->GetType() == kPDEForm ? "F" : "C";
        if (member->GetCount()) text += "[" + shape(*member) + "]";
    }
    return text;
}

ASFixedPoint at(double x, double y) { return {FixedFromDouble(x), FixedFromDouble(y)}; }

TEST_F(PageContentTest, TheTreeMatchesThePagesNesting) {
    struct Row {
        const char* what;
        std::string content, formA, formB;
        std::string shape;
    };
    const Row rows[] = {
        {"every kind of element", "", "", "", ""},
        {"a form in a container in a form", "/FmA Do", "/Tag BMC /FmB Do EMC", "0 0 1 1 re f", "F[C[F]]"},
        {"two containers and a form that places itself", "/A BMC EMC /B BMC /FmA Do EMC", "/FmA Do", "", "CC[F]"},
    };
    for (const Row& row : rows) {
        const std::string path = folder.file("tree.pdf");
        std::string expected = row.shape;
        if (row.content.empty()) {
            qmtest::writeElementsPdf(path);
            expected = "CCF[F]";  // the two containers, then Fm1 holding Fm2
        } else {
            qmtest::writeContentPdf(path, row.content, row.formA, row.formB);
        }
        AVDoc view = OpenView(path);
        CPageFormMembers tree(view, 0);
        EXPECT_EQ(shape(tree), expected) << row.what;
        EXPECT_EQ(tree.GetPageNumber(), 0);
        EXPECT_EQ(tree.GetAVDoc(), view);
    }
}

class FormMemberSearch : public PageContentTest {
protected:
    // A view of the file that holds every kind of element.
    AVDoc OpenElements() {
        const std::string path = folder.file("elements.pdf");
        qmtest::writeElementsPdf(path);
        return OpenView(path);
    }
};

TEST_F(FormMemberSearch, SearchesByKindBackwardAndWrappingRound) {
    AVDoc view = OpenElements();
    AVPageView pageView = gAppViewHFT->docGetPageView(view);
    CPageFormMembers tree(view, 0);
    CPDEContent& page = *tree.GetContent();
    CFormMember* member = reinterpret_cast<CFormMember*>(1);

    // Paths, forward: the line first; backward: the last path of the page's own content.
    EXPECT_EQ(tree.FindNextElement(kFindPath, true, view, 0, &member, nullptr, pageView, false), page.GetElem(0));
    EXPECT_EQ(member, nullptr) << "found in the page's own content";
    EXPECT_EQ(tree.FindNextElement(kFindPath, true, view, 0, &member, nullptr, pageView, true), page.GetElem(1));
    // After the last path of the page: the blue square inside Fm2, then round to the line.
    PDEElement inner = tree.FindNextElement(kFindPath, true, view, 0, &member, page.GetElem(1), pageView, false);
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(inner, member->GetContent()->GetElem(0));
    EXPECT_EQ(tree.FindNextElement(kFindPath, true, view, 0, &member, inner, pageView, false), page.GetElem(0))
        << "the search wraps round";
    EXPECT_EQ(tree.FindNextElement(kFindPath, false, view, 0, &member, page.GetElem(1), pageView, false),
              page.GetElem(0)) << "without recursion the page's own paths only";

    // Images: the inline image never matches; the XObject in the container and the one in Fm1 do.
    PDEElement image = tree.FindNextElement(kFindImage, true, view, 0, &member, nullptr, pageView, false);
    EXPECT_EQ(gPDFEditReadHFT->objectGetType(image), kPDEImage);
    EXPECT_TRUE(gPDFEditReadHFT->imageIsCosObj(image));
    EXPECT_EQ(tree.FindNextElement(kFindImage, false, view, 0, &member, nullptr, pageView, false), nullptr)
        << "the page's own image is inline";
    // The form wrapping images: as a form with 0x08, as an image with 0x44.
    EXPECT_EQ(tree.FindNextElement(kFindForm, false, view, 0, &member, nullptr, pageView, false), page.GetElem(5));
    EXPECT_EQ(tree.FindNextElement(kFindImage | kFindFormAsImage, false, view, 0, &member, nullptr, pageView, false),
              page.GetElem(5));
    EXPECT_EQ(tree.FindNextElement(kFindContainer, false, view, 0, &member, nullptr, pageView, true), page.GetElem(4));
    EXPECT_EQ(tree.FindNextElement(kFindText, true, view, 0, &member, page.GetElem(2), pageView, false),
              CPDEContent(CPDEContainer(page.GetElem(4)).GetContent()).GetElem(0));
}

TEST_F(FormMemberSearch, HitTestsFindTheElementUnderAPointInsideARotatedForm) {
    AVDoc view = OpenElements();
    AVPageView pageView = gAppViewHFT->docGetPageView(view);
    CPageFormMembers tree(view, 0);
    CPDEContent& page = *tree.GetContent();
    PDEElement fm1 = page.GetElem(5);
    // Fm1 is turned 45 degrees about (100, 80) and halved; its image spans 20 units from there,
    // the blue square of Fm2 10 units.
    const double r = std::sqrt(0.5);
    struct Row {
        const char* what;
        double x, y;
        uint32_t kinds;
        bool found;
        bool inForm;  // found in a member, not the page's own content
    };
    const Row rows[] = {
        {"the middle of Fm1's image, as an image", 100, 80 + 10 * 2 * r, kFindImage | kFindFormAsImage, true, false},
        {"inside Fm1's box but off its turned image", 100, 120, kFindImage | kFindFormAsImage, false, false},
        {"the blue square inside Fm2 inside Fm1", 100, 80 + 5 * 2 * r, kFindPath, true, true},
        {"beside the blue square", 100 + 8, 80 + 1, kFindPath, false, false},
        {"the text in the marked content", 25, 183, kFindText, true, true},
    };
    for (const Row& row : rows) {
        CFormMember* member = nullptr;
        PDEElement found = tree.FindElementAtPoint(at(row.x, row.y), row.kinds, view, 0, true, &member, nullptr, pageView);
        EXPECT_EQ(found != nullptr, row.found) << row.what;
        EXPECT_EQ(member != nullptr, row.inForm) << row.what;
        if (row.found && !row.inForm && row.kinds & kFindFormAsImage) {
            EXPECT_EQ(found, fm1) << row.what;
        }
    }
    // The outline follows the form's matrix: the image's centre is inside, the box's corner is not.
    CPDEElement form(fm1, true);
    EXPECT_EQ(form.HitTest(at(100, 80 + 20 * r), view, 0, pageView), 1);
    EXPECT_EQ(form.HitTest(at(100 + 14, 80 + 2), view, 0, pageView), 0);
}

TEST_F(PageContentTest, AnImageTwoFormsDeepIsPlacedThroughBothForms) {
    const std::string path = folder.file("deep.pdf");
    qmtest::writeContentPdf(path, "q 2 0 0 2 10 10 cm /FmA Do Q", "q 1 0 0 1 5 5 cm /FmB Do Q",
                            "q 20 0 0 20 0 0 cm /Im1 Do Q");
    AVDoc view = OpenView(path);
    CPDEContent page(view, 0);
    CPDEMatrix m(9, 9, 9, 9, 9, 9);
    FindImageInForm(page, page.GetElem(0), m);
    // image, then the inner form, then the outer: 20 x 2 = 40 wide at (5 x 2 + 10).
    EXPECT_NEAR(m.A(), 40, 1e-3);
    EXPECT_NEAR(m.D(), 40, 1e-3);
    EXPECT_NEAR(m.H(), 20, 1e-3);
    EXPECT_NEAR(m.V(), 20, 1e-3);
    CPDEMatrix none(9, 9, 9, 9, 9, 9);
    FindImageInForm(page, nullptr, none);
    EXPECT_DOUBLE_EQ(none.A(), 1) << "no such form: the identity";
}

TEST_F(PageContentTest, MembersReplaceAndRemoveTheirElements) {
    const std::string path = folder.file("members.pdf");
    qmtest::writeContentPdf(path, "/FmA Do", "/FmB Do 0 0 5 5 re f /FmB Do", "0 0 1 1 re f");
    AVDoc view = OpenView(path);
    CPageFormMembers tree(view, 0);
    CFormMember* formA = tree.MemberAt(0);
    ASSERT_NE(formA, nullptr);
    ASSERT_EQ(formA->GetCount(), 2);
    CPDEContent* content = formA->GetContent();
    PDEElement fmB = content->GetElem(0), path0 = content->GetElem(1);
    formA->RemoveElem(fmB);  // the first place of /FmB, and the member that stood for it
    EXPECT_EQ(content->GetNumElems(), 2);
    ASSERT_EQ(formA->GetCount(), 1) << "the member of the other place stays";
    EXPECT_EQ(formA->MemberAt(0)->GetElementHandle(), content->GetElem(1));
    CPDEElement copy;
    copy.Adopt(CPDEElement(path0, true).Copy(0));
    formA->ReplaceElem(path0, copy.GetHandle());
    EXPECT_EQ(content->GetNumElems(), 2);
    EXPECT_EQ(content->GetElem(0), copy.GetHandle());
}

}  // namespace
