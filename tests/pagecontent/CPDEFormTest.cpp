// Forms (plain or wrapping an image, the image found, the dump of nested
// forms), colour spaces and containers.
#include <gtest/gtest.h>

#include "PageContentFixture.h"
#include "common/PageContentFixtures.h"
#include "pagecontent/CPDEColorSpace.h"
#include "pagecontent/CPDEContainer.h"
#include "pagecontent/CPDEContent.h"
#include "pagecontent/CPDEForm.h"
#include "support/HostTables.h"

namespace {

using pctest::PageContentTest;

const std::string kImage = "q 20 0 0 20 0 0 cm /Im1 Do Q ";
const std::string kText = "BT /F1 12 Tf 10 10 Td (x) Tj ET ";

struct FormCase {
    const char* what;
    std::string formA, formB;
    bool plain;
    bool findsImage;     // FindImage of /FmA answers an image
    bool ownerIsInner;   // FindImageOwner answers /FmB
};

class CPDEFormCases : public PageContentTest, public ::testing::WithParamInterface<FormCase> {};

TEST_P(CPDEFormCases, PlainFormsAndTheImageAFormWraps) {
    const FormCase& c = GetParam();
    const std::string path = folder.file("forms.pdf");
    qmtest::writeContentPdf(path, "/FmA Do", c.formA, c.formB);
    AVDoc view = OpenView(path);
    CPDEContent page(view, 0);
    CPDEForm outer(page.GetElem(0), true);
    EXPECT_EQ(outer.IsPlainForm(), c.plain) << c.what;
    PDEImage image = outer.FindImage();
    EXPECT_EQ(image != nullptr, c.findsImage) << c.what;
    if (image) {
        EXPECT_EQ(gPDFEditReadHFT->objectGetType(image), kPDEImage);
    }
    PDEForm owner = outer.FindImageOwner();
    if (c.findsImage) {
        CPDEContent inner(outer.GetContent());
        const bool ownerIsOuter = owner == outer.GetHandle();
        EXPECT_EQ(!ownerIsOuter, c.ownerIsInner) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CPDEFormCases,
    ::testing::Values(FormCase{"an image alone", kImage, "", false, true, false},
                      FormCase{"an image and a text", kImage + kText, "", true, true, false},
                      FormCase{"a form holding one image", "/FmB Do", kImage, false, true, true},
                      FormCase{"an image, then a form without images", kImage + "/FmB Do", "0 0 5 5 re f", true,
                               false, false},
                      FormCase{"nothing", " ", "", true, false, false}),
    [](const ::testing::TestParamInfo<FormCase>& row) { return std::to_string(row.index); });

TEST_F(PageContentTest, DumpOfAFormWithTwoNestedFormsHasThreeHeadingsDepthFirst) {
    const std::string path = folder.file("dump.pdf");
    qmtest::writeContentPdf(path, "/FmA Do", "/FmB Do /FmB Do", "0 0 5 5 re f");
    AVDoc view = OpenView(path);
    // Name the forms, as the dump heads each with its /Name.
    PDDoc doc = gAppViewHFT->avDocGetPDDoc(view);
    PDPage pdPage = gPDModelHFT->docAcquirePage(doc, 0);
    const CosObj xobjects = gCosHFT->dictGet(
        gCosHFT->dictGet(gCosHFT->dictGet(gPDModelHFT->pageGetCosObj(pdPage), gCoreHFT->atomFromString("Resources")),
                         gCoreHFT->atomFromString("XObject")),
        gCoreHFT->atomFromString("FmA"));
    gCosHFT->dictPut(gCosHFT->streamDict(xobjects), gCoreHFT->atomFromString("Name"),
                     gCosHFT->newName(gPDModelHFT->docGetCosDoc(doc), false, gCoreHFT->atomFromString("Outer")));
    gPDModelHFT->pageRelease(pdPage);
    const std::string out = folder.file("dump.txt");
    {
        CPDEContent page(view, 0);
        CPDEForm(page.GetElem(0), true).DumpFormContents(out.c_str(), view, nullptr);
    }
    const std::string text = qmtest::readAll(out);
    size_t headings = 0;
    for (size_t at = text.find("STARTING FORM"); at != std::string::npos; at = text.find("STARTING FORM", at + 1))
        ++headings;
    EXPECT_EQ(headings, 3u) << text;
    EXPECT_EQ(text.find("STARTING FORM (Outer):\n\n/FmB Do /FmB Do"), 0u) << text;
    EXPECT_NE(text.find("0 0 5 5 re f"), std::string::npos);
    CPDEForm none;
    none.DumpFormContents("/nonexistent-folder/x.txt", view, nullptr);  // cannot open: nothing happens
}

TEST_F(PageContentTest, ColourSpacesCountPaletteEntries) {
    const uint8_t palette[256 * 3] = {};
    PDEIndexedColorData data{gCoreHFT->atomFromString("DeviceRGB"), 255, palette, sizeof palette};
    CPDEColorSpace indexed(gCoreHFT->atomFromString("Indexed"), &data);
    EXPECT_TRUE(indexed.IsIndexed());
    EXPECT_EQ(indexed.GetHiVal(), 256) << "the number of entries";
    EXPECT_EQ(indexed.GetBase(), gCoreHFT->atomFromString("DeviceRGB"));
    EXPECT_EQ(indexed.GetBaseNumComps(), 3);
    EXPECT_EQ(indexed.GetLookup(nullptr, 0), 768);
    CPDEColorSpace gray(gCoreHFT->atomFromString("DeviceGray"), nullptr);
    EXPECT_FALSE(gray.IsIndexed());
    EXPECT_EQ(gray.GetNumComps(), 1);
    EXPECT_EQ(gray.GetHiVal(), 0) << "no palette";
}

TEST_F(PageContentTest, ContainersKeepTagDictionaryAndContent) {
    const std::string path = folder.file("elements.pdf"), out = folder.file("out.pdf");
    qmtest::writeElementsPdf(path);
    AVDoc view = OpenView(path);
    {
        CPDEContent page(view, 0);
        CPDEContainer span(page.GetElem(3));
        EXPECT_EQ(span.GetMarkTag(), gCoreHFT->atomFromString("Span"));
        CosObj dict;
        bool isInline = false;
        EXPECT_EQ(span.GetDict(dict, isInline), 1);
        EXPECT_TRUE(isInline);
        EXPECT_EQ(CPDEContent(span.GetContent()).GetNumElems(), 1);
        // A new container around the text, named in /Properties.
        const CosDoc doc = gPDModelHFT->docGetCosDoc(gAppViewHFT->avDocGetPDDoc(view));
        const CosObj properties = gCosHFT->newDict(doc, true, 1);
        gCosHFT->dictPut(properties, gCoreHFT->atomFromString("MCID"), gCosHFT->newInteger(doc, false, 7));
        CPDEContainer made(gCoreHFT->atomFromString("Artifact"), properties, false);
        CPDEContent inner;
        inner.AddElem(page.GetElem(2), kPDEAfterLast);
        made.SetContent(inner.GetHandle());
        made.SetMarkTag(gCoreHFT->atomFromString("Note"));
        page.RemoveElem(2);
        page.AddElem(made.GetHandle(), 1);
        page.SetPageContent();
    }
    SaveView(view, out);
    EXPECT_EQ(qmtest::qpdfCheck(out).status, 0);
    EXPECT_LT(qmtest::pixelDifference(path, out), 0.002) << "the text is drawn as before";
    CPDEContent again(OpenView(out), 0);
    CPDEContainer note(again.GetElem(2));
    EXPECT_EQ(note.GetMarkTag(), gCoreHFT->atomFromString("Note"));
    CosObj dict;
    bool isInline = true;
    note.GetDict(dict, isInline);
    EXPECT_FALSE(isInline);
    EXPECT_EQ(gCosHFT->integerValue(gCosHFT->dictGet(dict, gCoreHFT->atomFromString("MCID"))), 7);
}

}  // namespace
