// Images and image XObjects: the image's extent on the page, a wrapping form
// answering for its image, replacing an element everywhere in its member's
// content, and moving an image out of its form with set-matrix.
#include <gtest/gtest.h>

#include "PageContentFixture.h"
#include "common/PageContentFixtures.h"
#include "pagecontent/CFormMember.h"
#include "pagecontent/CPDEImageXObject.h"
#include "support/HostTables.h"

namespace {

using pctest::PageContentTest;

const std::string kImage = "q 20 0 0 20 0 0 cm /Im1 Do Q ";

TEST_F(PageContentTest, AnImagesPageExtentIsTheLengthOfItsPlacedUnitEdges) {
    const std::string path = folder.file("image.pdf");
    qmtest::writeContentPdf(path, kImage);
    AVDoc view = OpenView(path);
    CPDEContent page(view, 0);
    CPDEImage placed(page.GetElem(0));
    CosObj stream;
    placed.GetCosObj(stream);
    struct Row {
        CPDEMatrix matrix;
        double width, height;
    };
    const Row rows[] = {{CPDEMatrix(0, 100, -50, 0, 10, 10), 100, 50}, {CPDEMatrix(30, 40, 0, 7, 0, 0), 50, 7}};
    for (const Row& row : rows) {
        CPDEImage image(stream, row.matrix.GetFixedMatrix(), nullptr, nullptr);
        EXPECT_NEAR(image.GetPageWidth(), row.width, 1e-3);
        EXPECT_NEAR(image.GetPageHeight(), row.height, 1e-3);
        EXPECT_EQ(image.GetWidth(), 2);
        EXPECT_EQ(image.GetComponentCount(false), 3);
        EXPECT_EQ(image.IsCosObj(), 1);
    }
}

TEST_F(PageContentTest, AFormWrappingAnImageAnswersForItsImage) {
    const std::string path = folder.file("wrapped.pdf");
    qmtest::writeContentPdf(path, "q 2 0 0 3 0 0 cm /FmA Do Q", kImage);
    AVDoc view = OpenView(path);
    CPDEContent page(view, 0);
    CPDEImageXObject wrapped(nullptr, view, 0, page.GetElem(0), nullptr);
    EXPECT_TRUE(wrapped.IsForm());
    EXPECT_EQ(wrapped.GetWidth(), 2) << "the image's width";
    EXPECT_EQ(wrapped.GetBitsPerComponent(), 8);
    EXPECT_EQ(wrapped.IsCosObj(), 1);
    EXPECT_NEAR(wrapped.GetPageWidth(), 20, 1e-3) << "the image placed in the form's own space";
    CosObj form;
    wrapped.GetCosObj(form);
    EXPECT_EQ(gCosHFT->objGetType(form), CosStream);
    EXPECT_EQ(wrapped.GetImageHandle(), CPDEForm(page.GetElem(0), true).FindImage());
    EXPECT_EQ(wrapped.GetImageOwnerHandle(), page.GetElem(0));

    // Not plain while it holds the image alone; once plain, the answer is kept.
    EXPECT_FALSE(wrapped.IsPlainFormCached());
    CPDEContent inner(CPDEForm(page.GetElem(0), true).GetContent());
    PDEElement image = inner.GetElem(0);
    CPDEElement copy;
    copy.Adopt(CPDEElement(image, true).Copy(0));
    inner.AddElem(copy.GetHandle(), kPDEAfterLast);
    EXPECT_TRUE(wrapped.IsPlainFormCached()) << "computed again while false";
    inner.RemoveElem(1);
    EXPECT_TRUE(wrapped.IsPlainFormCached()) << "kept once true";
}

TEST_F(PageContentTest, ReplaceElementReplacesEveryOccurrence) {
    const std::string path = folder.file("replace.pdf");
    qmtest::writeContentPdf(path, "/FmA Do", kImage);
    AVDoc view = OpenView(path);
    CPageFormMembers tree(view, 0);
    CFormMember* member = tree.MemberAt(0);
    CPDEContent* content = member->GetContent();
    PDEElement old = content->GetElem(0);
    content->AddElem(old, kPDEAfterLast);
    ASSERT_EQ(content->GetNumElems(), 2);
    CPDEImageXObject image(member, view, 0, old, nullptr);
    CPDEElement replacement;
    replacement.Adopt(CPDEElement(old, true).Copy(0));
    image.ReplaceElement(replacement.GetHandle());
    EXPECT_EQ(content->GetNumElems(), 1) << "both old places went";
    EXPECT_EQ(content->GetElem(0), replacement.GetHandle());
    EXPECT_EQ(image.GetHandle(), replacement.GetHandle());
}

TEST_F(PageContentTest, SetMatrixMovesTheImageIntoAFormOfItsOwnAndPlacesItThere) {
    const std::string path = folder.file("move.pdf"), out = folder.file("moved.pdf");
    qmtest::writeContentPdf(path, "q 1 0 0 1 100 100 cm /FmA Do Q", kImage);
    AVDoc view = OpenView(path);
    {
        CPageFormMembers tree(view, 0);
        auto* wrapping = dynamic_cast<CFormAndContentsFormMember*>(tree.MemberAt(0));
        ASSERT_NE(wrapping, nullptr);
        PDEElement element = wrapping->CFormMember::GetContent()->GetElem(0);
        CPDEImageXObject image(nullptr, view, 0, element, wrapping);
        image.SetPageMembers(&tree);
        const CPDEMatrix placed(40, 0, 0, 40, 10, 10);
        image.SetMatrix(placed.GetFixedMatrix());
        EXPECT_EQ(image.GetWrappingMember(), nullptr);
        CPDEContent& page = *tree.GetContent();
        ASSERT_EQ(page.GetNumElems(), 1) << "the old form went, the new one came";
        EXPECT_EQ(tree.GetCount(), 1);
        EXPECT_EQ(tree.MemberAt(0)->GetElementHandle(), page.GetElem(0));
        const CPDEMatrix set(image.GetMatrix());
        EXPECT_DOUBLE_EQ(set.A(), 40) << "the matrix given is set, not dropped";
        EXPECT_DOUBLE_EQ(set.H(), 10);
        page.SetPageContent();
    }
    SaveView(view, out);
    EXPECT_EQ(qmtest::qpdfCheck(out).status, 0);
    const qmtest::Rgb blue = qmtest::pixelAt(out, 15, 15), old = qmtest::pixelAt(out, 105, 105);
    EXPECT_GT(blue.b, 200) << "the image's lower left at (10, 10)";
    EXPECT_LT(blue.r, 60);
    EXPECT_GT(old.r + old.g + old.b, 700) << "nothing left where the old form drew";
}

}  // namespace
