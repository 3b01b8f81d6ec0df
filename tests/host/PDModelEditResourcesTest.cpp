// PDModel resources: entries go into the page's effective resource dictionary,
// the same one that Cos edits of the page's (possibly inherited) /Resources reach.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

// The effective resources as the text element finds them through Cos: the
// page's /Resources, else the nearest one up the /Parent chain.
CosObj resourcesThroughCos(CosObj pageDict) {
    for (CosObj node = pageDict; cosT().objGetType(node) == CosDict;
         node = cosT().dictGet(node, nameAtom("Parent"))) {
        CosObj resources = cosT().dictGet(node, nameAtom("Resources"));
        if (cosT().objGetType(resources) == CosDict) return resources;
    }
    return cosT().newNull();
}

class PDModelResources : public ::testing::Test {
protected:
    FixtureFolder folder;
    HostDoc open(bool inherited, bool nested = false) {
        const std::string path = folder.file("resources.pdf");
        FixtureTree tree;
        tree.inheritedResources = inherited;
        tree.nested = nested;
        writeFixturePdf(path, std::vector<FixturePage>(2), tree);
        return HostDoc::open(path);
    }
    CosObj newFont(const HostDoc& doc) {
        CosObj font = cosT().newDict(doc.cos(), true, 3);
        cosT().dictPut(font, nameAtom("Type"), cosT().newName(doc.cos(), false, nameAtom("Font")));
        return font;
    }
};

TEST_F(PDModelResources, AddPutsTheEntryIntoThePagesOwnResources) {
    HostDoc doc = open(false);
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    CosObj font = newFont(doc);
    pdT().pageAddResource(page, "Font", "NxF0", font);
    CosObj own = cosT().dictGet(pdT().pageGetCosObj(page), nameAtom("Resources"));
    CosObj fonts = cosT().dictGet(own, nameAtom("Font"));
    EXPECT_TRUE(cosT().objEqual(cosT().dictGet(fonts, nameAtom("NxF0")), font));
    EXPECT_TRUE(cosT().dictKnown(fonts, nameAtom("F1")));  // what was there stays
    pdT().pageRelease(page);
}

struct InheritedCase {
    const char* name;
    bool nested;
};

// Rows print as their names in test output.
void PrintTo(const InheritedCase& row, std::ostream* out) { *out << row.name; }

class PDModelInheritedResources : public PDModelResources, public ::testing::WithParamInterface<InheritedCase> {};

TEST_P(PDModelInheritedResources, AddAndRemoveWorkOnTheInheritedDictionaryThatCosEditsReach) {
    HostDoc doc = open(true, GetParam().nested);
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    CosObj pageDict = pdT().pageGetCosObj(page);
    CosObj inherited = resourcesThroughCos(pageDict);
    ASSERT_EQ(cosT().objGetType(inherited), CosDict);

    // A Cos edit (as the text element makes) and a table add land in one dictionary.
    CosObj viaCos = newFont(doc);
    cosT().dictPut(cosT().dictGet(inherited, nameAtom("Font")), nameAtom("NxF0"), viaCos);
    CosObj viaTable = newFont(doc);
    pdT().pageAddResource(page, "Font", "NxF1", viaTable);
    EXPECT_FALSE(cosT().dictKnown(pageDict, nameAtom("Resources")));  // nothing new on the page
    CosObj fonts = cosT().dictGet(inherited, nameAtom("Font"));
    EXPECT_TRUE(cosT().objEqual(cosT().dictGet(fonts, nameAtom("NxF1")), viaTable));

    // Undo removes both by name from the same dictionary.
    pdT().pageRemoveResource(page, "Font", "NxF0");
    pdT().pageRemoveResource(page, "Font", "NxF1");
    EXPECT_FALSE(cosT().dictKnown(fonts, nameAtom("NxF0")));
    EXPECT_FALSE(cosT().dictKnown(fonts, nameAtom("NxF1")));
    EXPECT_TRUE(cosT().dictKnown(fonts, nameAtom("F1")));
    pdT().pageRelease(page);
}

INSTANTIATE_TEST_SUITE_P(Trees, PDModelInheritedResources,
                         ::testing::Values(InheritedCase{"FromTheParent", false},
                                           InheritedCase{"FromTwoLevelsUp", true}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PDModelResources, SharedResourcesAreEditedInPlaceForEveryPage) {
    const std::string path = folder.file("shared.pdf");
    writeBuiltPdf(path, [](QPDF& pdf) {
        QPDFObjectHandle shared = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /Font << >> >>"));
        appendPage(pdf, 612, 792).replaceKey("/Resources", shared);
        appendPage(pdf, 612, 792).replaceKey("/Resources", shared);
    });
    HostDoc doc = HostDoc::open(path);
    PDPage first = pdT().docAcquirePage(doc.pd(), 0);
    PDPage second = pdT().docAcquirePage(doc.pd(), 1);
    pdT().pageAddResource(first, "XObject", "NxI0", newFont(doc));
    CosObj seen = cosT().dictGet(pdT().pageGetCosObj(second), nameAtom("Resources"));
    EXPECT_TRUE(cosT().dictKnown(cosT().dictGet(seen, nameAtom("XObject")), nameAtom("NxI0")));
    pdT().pageRemoveResource(second, "XObject", "NxI0");
    CosObj fromFirst = cosT().dictGet(pdT().pageGetCosObj(first), nameAtom("Resources"));
    EXPECT_FALSE(cosT().dictKnown(cosT().dictGet(fromFirst, nameAtom("XObject")), nameAtom("NxI0")));
    pdT().pageRelease(first);
    pdT().pageRelease(second);
}

TEST_F(PDModelResources, PageWithoutAnyResourcesGetsItsOwn) {
    HostDoc doc = HostDoc::create();
    const ASFixedRect letter = fixedRect(0, 0, 612, 792);
    PDPage page = pdT().docCreatePage(doc.pd(), -1, &letter);
    CosObj pageDict = pdT().pageGetCosObj(page);
    cosT().dictRemove(pageDict, nameAtom("Resources"));
    CosObj gs = cosT().newDict(doc.cos(), true, 1);
    pdT().pageAddResource(page, "ExtGState", "NxGS0", gs);
    CosObj resources = cosT().dictGet(pageDict, nameAtom("Resources"));
    ASSERT_EQ(cosT().objGetType(resources), CosDict);
    EXPECT_FALSE(cosT().objIsIndirect(resources));
    CosObj states = cosT().dictGet(resources, nameAtom("ExtGState"));
    EXPECT_TRUE(cosT().objEqual(cosT().dictGet(states, nameAtom("NxGS0")), gs));

    const std::string path = folder.file("added.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_EQ(qpdfCheck(path).status, 0);
    pdT().pageRelease(page);
}

TEST_F(PDModelResources, RemovingWhatIsAbsentChangesNothing) {
    HostDoc doc = open(false);
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    CosObj pageDict = pdT().pageGetCosObj(page);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageRemoveResource(page, "Font", "Missing"); }), 0);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageRemoveResource(page, "Pattern", "P0"); }), 0);
    cosT().dictRemove(pageDict, nameAtom("Resources"));
    EXPECT_EQ(hostErrorOf([&] { pdT().pageRemoveResource(page, "Font", "F1"); }), 0);
    EXPECT_FALSE(cosT().dictKnown(pageDict, nameAtom("Resources")));  // removing creates nothing
    pdT().pageRelease(page);
}

TEST_F(PDModelResources, ValueOfAnotherDocumentIsRefused) {
    HostDoc doc = open(false);
    HostDoc other = HostDoc::create();
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageAddResource(page, "Font", "NxF0", newFont(other)); }),
              kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageAddResource(page, "", "NxF0", newFont(doc)); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageAddResource(page, "Font", nullptr, newFont(doc)); }),
              kHostErrBadParameter);
    pdT().pageRelease(page);
}

}  // namespace
