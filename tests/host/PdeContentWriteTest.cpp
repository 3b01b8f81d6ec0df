// Writing page content back: the page draws the same and stays a sound file,
// damaged content loses nothing that was read, and added, removed and copied
// elements (also into a new form) are drawn where they were put.
#include <gtest/gtest.h>

#include <string>

#include "PdeContentTestSupport.h"
#include "common/PageContentFixtures.h"
#include "core/AtomTable.h"
#include "pde/PageContentTables.h"
#include "pde/PdeModel.h"
#include "qmhost/HostError.h"
#include "support/FixedMath.h"

namespace {

using namespace pdetest;
using qmhost::fixedFromDouble;

class PdeContentWrite : public ::testing::Test {
protected:
    void SetUp() override { held = qmhost::pdeHeldReferenceCount(); }
    void TearDown() override {
        EXPECT_EQ(qmhost::pdeHeldReferenceCount(), held) << "a reference was not given back";
        EXPECT_EQ(qmhost::pageContentLoanCount(), 0u) << "a page content loan was not given back";
    }
    // Opens in, lets edit change the lent page content, writes it back and saves to out.
    template <class F>
    void rewrite(const std::string& in, const std::string& out, F&& edit) {
        auto doc = qmtest::HostDoc::open(in);
        {
            LentPage lent(doc.pd(), 0);
            edit(lent.content());
            ASSERT_TRUE(loans().pageSetPDEContent(lent.page(), testExtension()));
        }
        saveDoc(doc.pd(), out);
    }
    void expectSound(const std::string& path) {
        const auto check = qmtest::qpdfCheck(path);
        EXPECT_EQ(check.status, 0) << check.output;
        EXPECT_EQ(check.output.find("WARNING"), std::string::npos) << check.output;
    }
    qmtest::FixtureFolder folder;
    size_t held = 0;
};

ASFixedMatrix fixedMatrix(double a, double b, double c, double d, double h, double v) {
    return {fixedFromDouble(a), fixedFromDouble(b), fixedFromDouble(c), fixedFromDouble(d), fixedFromDouble(h),
            fixedFromDouble(v)};
}

TEST_F(PdeContentWrite, ReadAndWrittenBackThePageDrawsTheSame) {
    const std::string in = folder.file("elements.pdf"), plain = folder.file("plain.pdf"),
                      forms = folder.file("forms.pdf");
    qmtest::writeElementsPdf(in);
    rewrite(in, plain, [](PDEContent) {});
    // The same with the nested forms marked changed, so that their streams are written too.
    rewrite(in, forms, [](PDEContent page) {
        PDEContent fm1 = wr().formGetContent(rd().contentGetElem(page, 5));
        PDEContent fm2 = wr().formGetContent(rd().contentGetElem(fm1, 1));
        for (PDEContent content : {fm1, fm2}) {
            PDEElement first = rd().contentGetElem(content, 0);
            ASFixedMatrix m;
            rd().elementGetMatrix(first, &m);
            wr().elementSetMatrix(first, &m);
        }
        EXPECT_EQ(rd().contentQuery(page, kPDEQueryModified, nullptr), 1);
    });
    for (const std::string& out : {plain, forms}) {
        expectSound(out);
        EXPECT_LT(qmtest::pixelDifference(in, out, 72), 0.002) << out;
    }
    // The drawing is really there: green inside the clip only, blue in the nested form.
    const qmtest::Rgb green = qmtest::pixelAt(forms, 50, 50), outside = qmtest::pixelAt(forms, 150, 120);
    EXPECT_GT(green.g, 200);
    EXPECT_LT(green.r, 60);
    EXPECT_GT(outside.g, 200);
    EXPECT_GT(outside.r, 200) << "the clip keeps the square out of (150, 120)";
}

struct DamagedCase {
    const char* name;
    std::string content, formA, formB;
    std::vector<int32_t> types;
    bool warns;
};

class PdeDamagedContent : public PdeContentWrite, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(PdeDamagedContent, IsReadAsFarAsItGoesAndWrittenBackWhole) {
    const DamagedCase& c = GetParam();
    const std::string in = folder.file("in.pdf"), out = folder.file("out.pdf");
    qmtest::writeContentPdf(in, c.content, c.formA, c.formB);
    std::vector<int32_t> nested;
    rewrite(in, out, [&](PDEContent page) {
        EXPECT_EQ(elementTypes(page), c.types);
        EXPECT_EQ(rd().contentQuery(page, kPDEQueryWarnings, nullptr) > 0, c.warns);
        // Walk every form to the bottom: a cycle must end.
        std::vector<PDEContent> todo{page};
        for (size_t k = 0; k < todo.size() && k < 100; ++k)
            for (int32_t i = 0; i < rd().contentGetNumElems(todo[k]); ++i) {
                PDEElement e = rd().contentGetElem(todo[k], i);
                if (rd().objectGetType(e) == kPDEForm) todo.push_back(wr().formGetContent(e));
            }
        EXPECT_LT(todo.size(), 100u);
    });
    expectSound(out);
    auto doc = qmtest::HostDoc::open(out);
    LentPage again(doc.pd(), 0);
    EXPECT_EQ(elementTypes(again.content()), c.types) << "what was read is written back";
}

const std::string kBrokenInline = "q 10 0 0 10 0 0 cm BI /W 2 /H 2 /BPC 8 /CS /G ID " + std::string("\x01", 1);

INSTANTIATE_TEST_SUITE_P(
    Cases, PdeDamagedContent,
    ::testing::Values(
        DamagedCase{"UnbalancedQ", "Q Q 0 0 10 10 re f", "", "", {kPDEPath}, true},
        DamagedCase{"UnclosedQ", "q 0 0 10 10 re f", "", "", {kPDEPath}, false},
        DamagedCase{"UnknownOperator", "1 2 frob 0 0 10 10 re f", "", "", {kPDEUnknown, kPDEPath}, true},
        DamagedCase{"MissingFont", "BT /F9 12 Tf (x) Tj ET", "", "", {kPDEText}, true},
        DamagedCase{"MissingXObject", "/Nope Do 0 0 1 1 re f", "", "", {kPDEUnknown, kPDEPath}, true},
        DamagedCase{"BrokenInlineImage", kBrokenInline, "", "", {kPDEImage}, true},
        DamagedCase{"FormPlacingItself", "/FmA Do", "/FmA Do 0 0 5 5 re f", "", {kPDEForm}, false},
        DamagedCase{"FormsPlacingEachOther", "/FmA Do", "/FmB Do", "/FmA Do", {kPDEForm}, false},
        DamagedCase{"EmcWithoutBdc", "EMC 0 0 1 1 re f", "", "", {kPDEPath}, true},
        DamagedCase{"UnclosedMarkedContent", "/Tag BMC 0 0 1 1 re f", "", "", {kPDEContainer}, true},
        DamagedCase{"MarkedPoints", "/Tag MP /Tag <</A 1>> DP", "", "", {kPDEPlace, kPDEPlace}, false}),
    [](const ::testing::TestParamInfo<DamagedCase>& row) { return std::string(row.param.name); });

TEST_F(PdeContentWrite, RemovedCopiedAndMovedElementsAreDrawnWhereTheyWerePut) {
    const std::string in = folder.file("elements.pdf"), out = folder.file("edited.pdf");
    qmtest::writeElementsPdf(in);
    rewrite(in, out, [](PDEContent page) {
        wr().contentRemoveElem(page, 1);  // the clipped green square
        PDEElement image = rd().contentGetElem(rd().containerGetContent(rd().contentGetElem(page, 2)), 0);
        PDEElement copy = wr().elementCopy(image, 0);
        const ASFixedMatrix placed = fixedMatrix(40, 0, 0, 40, 10, 130);
        wr().elementSetMatrix(copy, &placed);
        wr().contentAddElem(page, kPDEAfterLast, copy);
        rd().objectRelease(copy);
        EXPECT_THROW(wr().contentRemoveElem(page, 99), HostError);
    });
    expectSound(out);
    const qmtest::Rgb cleared = qmtest::pixelAt(out, 50, 50), blue = qmtest::pixelAt(out, 20, 140),
                      red = qmtest::pixelAt(out, 20, 160);
    EXPECT_GT(cleared.r + cleared.g + cleared.b, 700) << "the square is gone";
    EXPECT_GT(blue.b, 200);
    EXPECT_LT(blue.r, 60);
    EXPECT_GT(red.r, 200);
    EXPECT_LT(red.b, 60);
}

TEST_F(PdeContentWrite, ContentWrittenAsAFormIsPlacedLikeAnyForm) {
    const std::string in = folder.file("elements.pdf"), out = folder.file("form.pdf");
    qmtest::writeElementsPdf(in);
    auto doc = qmtest::HostDoc::open(in);
    {
        LentPage lent(doc.pd(), 0);
        // A new form holding a copy of the red line and of the image, placed 100 up.
        PDEContent made = wr().contentCreate();
        for (PDEElement source : {rd().contentGetElem(lent.content(), 0),
                                  rd().contentGetElem(rd().containerGetContent(rd().contentGetElem(lent.content(), 3)), 0)}) {
            PDEElement copy = wr().elementCopy(source, 0);
            wr().contentAddElem(made, kPDEAfterLast, copy);
            rd().objectRelease(copy);
        }
        CosObj stream, resources;
        PDEContentAttrs attrs{};
        attrs.flags = kPDEContentIsForm;
        attrs.formType = 1;
        attrs.bbox = {0, fixedFromDouble(200), fixedFromDouble(200), 0};
        attrs.matrix = fixedMatrix(1, 0, 0, 1, 0, 0);
        wr().contentToCosObj(made, kPDEContentToForm, &attrs, sizeof attrs, pdm().docGetCosDoc(doc.pd()), nullptr,
                             &stream, &resources);
        const ASFixedMatrix up = fixedMatrix(1, 0, 0, 1, 0, 100);
        PDEForm form = wr().formCreateFromCosObj(&stream, &resources, &up);
        wr().contentAddElem(lent.content(), kPDEAfterLast, form);
        rd().objectRelease(form);
        rd().objectRelease(made);
        ASSERT_TRUE(loans().pageSetPDEContent(lent.page(), testExtension()));
    }
    saveDoc(doc.pd(), out);
    expectSound(out);
    const qmtest::Rgb image = qmtest::pixelAt(out, 130, 130), line = qmtest::pixelAt(out, 100, 110);
    EXPECT_GT(image.b, 200) << "the image's lower left, 100 up";
    EXPECT_LT(image.r, 60);
    EXPECT_GT(line.r, 200) << "the red line, 100 up";
    EXPECT_LT(line.g, 80);
}

TEST_F(PdeContentWrite, ElementsOfAnotherDocumentAreCopiedIn) {
    const std::string source = folder.file("source.pdf"), target = folder.file("target.pdf"),
                      out = folder.file("out.pdf");
    qmtest::writeElementsPdf(source);
    qmtest::writeContentPdf(target, "");
    auto from = qmtest::HostDoc::open(source);
    LentPage lent(from.pd(), 0);
    rewrite(target, out, [&](PDEContent page) {
        for (int32_t i = 0; i < rd().contentGetNumElems(lent.content()); ++i)
            wr().contentAddElem(page, kPDEAfterLast, rd().contentGetElem(lent.content(), i));
    });
    expectSound(out);
    EXPECT_LT(qmtest::pixelDifference(source, out, 72), 0.002);
}

}  // namespace
