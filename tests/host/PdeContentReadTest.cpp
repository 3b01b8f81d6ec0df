// Reading page content into the host's model: the elements of each kind in
// page order with their nesting, boxes, matrices, clips, images and colour
// spaces; hit tests inside a rotated form.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "PdeContentTestSupport.h"
#include "common/PageContentFixtures.h"
#include "core/AtomTable.h"
#include "pde/PdeModel.h"
#include "qmhost/HostError.h"
#include "support/FixedMath.h"

namespace {

using namespace pdetest;
using qmhost::fixedFromDouble;
using qmhost::fixedToDouble;

class PdeContentRead : public ::testing::Test {
protected:
    void SetUp() override {
        qmtest::writeElementsPdf(folder.file("elements.pdf"));
        held = qmhost::pdeHeldReferenceCount();
    }
    void TearDown() override { EXPECT_EQ(qmhost::pdeHeldReferenceCount(), held) << "a reference was not given back"; }
    qmtest::FixtureFolder folder;
    size_t held = 0;
};

std::string atomText(ASAtom atom) {
    const char* text = qmhost::atoms().text(atom);
    return text ? text : "(none)";
}

ASFixedRect box(PDEElement element) {
    ASFixedRect r;
    rd().elementGetBBox(element, &r);
    return r;
}

TEST_F(PdeContentRead, ElementsOfEachKindInPageOrderWithTheirNesting) {
    auto doc = qmtest::HostDoc::open(folder.file("elements.pdf"));
    LentPage lent(doc.pd(), 0);
    PDEContent page = lent.content();
    EXPECT_EQ(elementTypes(page), (std::vector<int32_t>{kPDEPath, kPDEPath, kPDEText, kPDEContainer, kPDEContainer,
                                                        kPDEForm, kPDEImage}));
    PDEElement span = rd().contentGetElem(page, 3), marked = rd().contentGetElem(page, 4);
    EXPECT_EQ(elementTypes(rd().containerGetContent(span)), std::vector<int32_t>{kPDEImage});
    EXPECT_EQ(elementTypes(rd().containerGetContent(marked)), std::vector<int32_t>{kPDEText});
    EXPECT_EQ(atomText(rd().containerGetMCTag(span)), "Span");
    EXPECT_EQ(atomText(rd().containerGetMCTag(marked)), "P");
    CosObj dict;
    bool isInline = false;
    EXPECT_TRUE(rd().containerGetDict(span, &dict, &isInline));
    EXPECT_TRUE(isInline);
    EXPECT_TRUE(rd().containerGetDict(marked, &dict, &isInline));
    EXPECT_FALSE(isInline) << "/P1 is named in /Properties";

    PDEForm fm1 = rd().contentGetElem(page, 5);
    PDEContent fm1Content = wr().formGetContent(fm1);
    EXPECT_EQ(elementTypes(fm1Content), (std::vector<int32_t>{kPDEImage, kPDEForm}));
    EXPECT_EQ(elementTypes(wr().formGetContent(rd().contentGetElem(fm1Content, 1))),
              (std::vector<int32_t>{kPDEPath, kPDEImage}));
    PDEContentAttrs attrs;
    rd().contentGetAttrs(fm1Content, &attrs, sizeof attrs);
    EXPECT_EQ(attrs.flags, kPDEContentIsForm);
    EXPECT_EQ(attrs.bbox.right, fixedFromDouble(80));
    EXPECT_EQ(attrs.matrix.a, fixedFromDouble(0.5));

    // Only the green square is clipped, by the one path of the clip.
    EXPECT_EQ(rd().elementGetClip(rd().contentGetElem(page, 0)), nullptr);
    PDEClip clip = rd().elementGetClip(rd().contentGetElem(page, 1));
    ASSERT_NE(clip, nullptr);
    ASSERT_EQ(rd().clipGetNumElems(clip), 1);
    EXPECT_EQ(rd().objectGetType(rd().clipGetElem(clip, 0)), kPDEPath);
    EXPECT_EQ(rd().contentQuery(page, kPDEQueryWarnings, nullptr), 0);
}

TEST_F(PdeContentRead, BoxesAndMatricesAreInTheHoldingContentsSpace) {
    auto doc = qmtest::HostDoc::open(folder.file("elements.pdf"));
    LentPage lent(doc.pd(), 0);
    PDEContent page = lent.content();
    struct Row {
        const char* what;
        PDEElement element;
        double left, bottom, right, top, tolerance;
    };
    PDEElement spanImage = rd().contentGetElem(rd().containerGetContent(rd().contentGetElem(page, 3)), 0);
    const double s = 40 * std::sqrt(0.5);  // a 40-unit edge of Fm1 after its /Matrix and the rotation
    const Row rows[] = {
        {"the stroked line (points, not stroke width)", rd().contentGetElem(page, 0), 10, 10, 190, 10, 0.01},
        {"the clipped square (its own path)", rd().contentGetElem(page, 1), 0, 0, 200, 200, 0.01},
        {"the text, from Helvetica's widths", rd().contentGetElem(page, 2), 100, 150 - 12 * 0.2, 100 + 12 * 2.279,
         150 + 12 * 0.8, 1.5},
        {"the image in the container", spanImage, 120, 20, 170, 70, 0.01},
        {"the rotated form's placed /BBox", rd().contentGetElem(page, 5), 100 - s, 80, 100 + s, 80 + 2 * s, 0.01},
        {"the inline image", rd().contentGetElem(page, 6), 10, 100, 40, 120, 0.01},
    };
    for (const Row& row : rows) {
        const ASFixedRect r = box(row.element);
        EXPECT_NEAR(fixedToDouble(r.left), row.left, row.tolerance) << row.what;
        EXPECT_NEAR(fixedToDouble(r.bottom), row.bottom, row.tolerance) << row.what;
        EXPECT_NEAR(fixedToDouble(r.right), row.right, row.tolerance) << row.what;
        EXPECT_NEAR(fixedToDouble(r.top), row.top, row.tolerance) << row.what;
    }
    ASFixedMatrix m;
    rd().elementGetMatrix(rd().contentGetElem(page, 5), &m);  // the CTM at Do after the form's /Matrix
    EXPECT_NEAR(fixedToDouble(m.a), 0.5 * std::sqrt(0.5), 1e-4);
    EXPECT_NEAR(fixedToDouble(m.c), -0.5 * std::sqrt(0.5), 1e-4);
    EXPECT_NEAR(fixedToDouble(m.h), 100, 1e-4);
    EXPECT_NEAR(fixedToDouble(m.v), 80, 1e-4);
}

TEST_F(PdeContentRead, HitTestsFollowTheRotatedFormNotItsBox) {
    auto doc = qmtest::HostDoc::open(folder.file("elements.pdf"));
    LentPage lent(doc.pd(), 0);
    PDEElement form = rd().contentGetElem(lent.content(), 5);
    PDEElement inlineImage = rd().contentGetElem(lent.content(), 6);
    struct Row {
        const char* what;
        PDEElement element;
        double x, y;
        bool atPoint, inRect;
    };
    const Row rows[] = {
        {"the form's middle", form, 100, 100, true, true},
        {"a corner of the form's box outside the rotated square", form, 127, 82, false, true},
        {"beside the form", form, 150, 100, false, false},
        {"inside the inline image", inlineImage, 20, 110, true, true},
        {"beside the inline image", inlineImage, 45, 110, false, false},
    };
    for (const Row& row : rows) {
        const ASFixed x = fixedFromDouble(row.x), y = fixedFromDouble(row.y);
        EXPECT_EQ(rd().elementIsAtPoint(row.element, x, y), row.atPoint) << row.what;
        EXPECT_EQ(rd().elementIsAtRect(row.element, x - 65536, y + 65536, x + 65536, y - 65536), row.inRect) << row.what;
    }
}

TEST_F(PdeContentRead, ImagesGiveTheirSamplesAttributesAndColourSpaces) {
    auto doc = qmtest::HostDoc::open(folder.file("elements.pdf"));
    LentPage lent(doc.pd(), 0);
    PDEElement xobject = rd().contentGetElem(rd().containerGetContent(rd().contentGetElem(lent.content(), 3)), 0);
    PDEElement inlineImage = rd().contentGetElem(lent.content(), 6);
    struct Row {
        const char* what;
        PDEImage image;
        bool external;
        const char* family;
        int comps;
        std::string samples;
    };
    const Row rows[] = {
        {"image XObject", xobject, true, "DeviceRGB", 3, std::string("\xff\0\0\0\xff\0\0\0\xff\xff\xff\xff", 12)},
        {"inline image (whitespace before EI left out)", inlineImage, false, "DeviceGray", 1,
         std::string("\x00\x80\xc0\xff", 4)},
    };
    for (const Row& row : rows) {
        PDEImageAttrs attrs;
        rd().imageGetAttrs(row.image, &attrs, sizeof attrs);
        EXPECT_EQ(attrs.width, 2) << row.what;
        EXPECT_EQ(attrs.height, 2) << row.what;
        EXPECT_EQ(attrs.bitsPerComponent, 8) << row.what;
        EXPECT_EQ((attrs.flags & kPDEImageExternal) != 0, row.external) << row.what;
        EXPECT_EQ(rd().imageIsCosObj(row.image), row.external) << row.what;
        CosObj cos = rd().imageGetCosObj(row.image);
        EXPECT_EQ(cos.a != 0, row.external) << row.what;
        PDEColorSpace space = rd().imageGetColorSpace(row.image);
        EXPECT_EQ(atomText(rd().colorSpaceGetName(space)), row.family) << row.what;
        EXPECT_EQ(rd().colorSpaceGetNumComps(space), row.comps) << row.what;
        ASSERT_EQ(rd().imageGetDataLen(row.image), static_cast<int32_t>(row.samples.size())) << row.what;
        std::string data(row.samples.size(), '\0');
        rd().imageGetData(row.image, 0, reinterpret_cast<uint8_t*>(data.data()));
        EXPECT_EQ(data, row.samples) << row.what;
    }
}

TEST_F(PdeContentRead, IndexedColourSpacesGiveTheirPalette) {
    const uint8_t palette[] = {255, 0, 0, 0, 0, 255};
    PDEIndexedColorData data{qmhost::atoms().intern("DeviceRGB"), 1, palette, 6};
    PDEColorSpace space = wr().colorSpaceCreate(qmhost::atoms().intern("Indexed"), &data);
    EXPECT_EQ(atomText(rd().colorSpaceGetName(space)), "Indexed");
    EXPECT_EQ(atomText(rd().colorSpaceGetBase(space)), "DeviceRGB");
    EXPECT_EQ(rd().colorSpaceGetHiVal(space), 1);
    EXPECT_EQ(rd().colorSpaceGetBaseNumComps(space), 3);
    EXPECT_EQ(rd().colorSpaceGetNumComps(space), 1);
    uint8_t got[4] = {};
    EXPECT_EQ(rd().colorSpaceGetLookup(space, got, sizeof got), 6) << "answers the full length, copies what fits";
    EXPECT_EQ(got[0], 255);
    EXPECT_EQ(got[3], 0);
    PDEIndexedColorData shortPalette{data.base, 200, palette, 6};
    EXPECT_THROW(wr().colorSpaceCreate(qmhost::atoms().intern("Indexed"), &shortPalette), HostError);
    rd().objectRelease(space);
}

TEST_F(PdeContentRead, GraphicStateRecordShowsTheStateAndRestoresItExactly) {
    auto doc = qmtest::HostDoc::open(folder.file("elements.pdf"));
    LentPage lent(doc.pd(), 0);
    PDEElement line = rd().contentGetElem(lent.content(), 0);
    PDEGraphicState state;
    rd().elementGetGState(line, &state, sizeof state);
    EXPECT_EQ(atomText(state.stroke.space), "DeviceRGB");
    ASSERT_EQ(state.stroke.count, 3);
    EXPECT_EQ(state.stroke.values[0], kASFixedOne);
    EXPECT_EQ(state.lineWidth, 2 * kASFixedOne);
    EXPECT_TRUE(state.setFields & kPDEGSLineWidth);
    EXPECT_FALSE(state.setFields & kPDEGSFill);
    EXPECT_THROW(rd().elementGetGState(line, &state, 100), HostError) << "a record of another size";

    // Given to another element, then changed: the line width follows the record.
    PDEElement square = rd().contentGetElem(lent.content(), 1);
    wr().elementSetGState(square, &state, sizeof state);
    PDEGraphicState copied;
    rd().elementGetGState(square, &copied, sizeof copied);
    EXPECT_EQ(copied.lineWidth, 2 * kASFixedOne);
    state.lineWidth = 5 * kASFixedOne;
    wr().elementSetGState(square, &state, sizeof state);
    rd().elementGetGState(square, &copied, sizeof copied);
    EXPECT_EQ(copied.lineWidth, 5 * kASFixedOne);
    EXPECT_EQ(atomText(copied.stroke.space), "DeviceRGB");
}

TEST_F(PdeContentRead, ReferencesAreCountedAndLoansShared) {
    auto doc = qmtest::HostDoc::open(folder.file("elements.pdf"));
    PDPage page = pdm().docAcquirePage(doc.pd(), 0);
    PDEContent first = loans().pageAcquirePDEContent(page, testExtension());
    PDEContent second = loans().pageAcquirePDEContent(page, testExtension());
    EXPECT_EQ(first, second) << "the same content while lent";
    PDEElement lentElement = rd().contentGetElem(first, 0);
    EXPECT_THROW(rd().objectRelease(lentElement), HostError) << "a lent element is not the caller's to release";
    EXPECT_THROW(rd().objectRelease(first), HostError) << "a lent content goes back through the page";
    rd().objectAcquire(lentElement);
    EXPECT_EQ(qmhost::pdeHeldReferenceCount(), held + 1);
    EXPECT_EQ(loans().pageReleasePDEContent(page, testExtension()), 1);
    EXPECT_EQ(loans().pageReleasePDEContent(page, testExtension()), 0);
    EXPECT_EQ(rd().objectGetType(lentElement), kPDEPath) << "the acquired element outlives the content";
    rd().objectRelease(lentElement);
    EXPECT_THROW(rd().objectGetType(lentElement), HostError) << "and goes with its last reference";
    EXPECT_THROW(loans().pageReleasePDEContent(page, testExtension()), HostError) << "no loan is out";
    pdm().pageRelease(page);
}

}  // namespace
