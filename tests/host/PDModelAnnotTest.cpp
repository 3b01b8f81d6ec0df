// PDModel annotations: creating, listing, finding and removing them, link
// borders and actions.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <QJsonArray>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

class PDModelAnnot : public ::testing::Test {
protected:
    FixtureFolder folder;
    HostDoc doc = HostDoc::create();
    PDPage page = nullptr;
    void SetUp() override {
        const ASFixedRect letter = fixedRect(0, 0, 612, 792);
        page = pdT().docCreatePage(doc.pd(), -1, &letter);
    }
    void TearDown() override { pdT().pageRelease(page); }
    PDAnnot link(double left = 10, double bottom = 20, double right = 110, double top = 70) {
        const ASFixedRect r = fixedRect(left, bottom, right, top);
        return pdT().pageCreateAnnot(page, nameAtom("Link"), &r);
    }
    // The /Rect of each annotation in /Annots order, as its left edge.
    std::vector<int> annotLefts() {
        std::vector<int> lefts;
        for (int32_t i = 0; i < pdT().pageGetNumAnnots(page); ++i)
            lefts.push_back(static_cast<int>(
                qmhost::objectOf(pdT().pageGetAnnot(page, i).cos).getKey("/Rect").getArrayItem(0).getNumericValue()));
        return lefts;
    }
};

TEST_F(PDModelAnnot, CreatedAnnotationIsAnIndirectDictionaryNotYetOnThePage) {
    PDAnnot annot = link(110, 70, 10, 20.5);  // corners given the other way round
    EXPECT_TRUE(pdT().annotIsValid(annot));
    EXPECT_TRUE(cosT().objIsIndirect(annot.cos));
    EXPECT_EQ(pdT().annotGetSubtype(annot), nameAtom("Link"));
    const std::string written = unparsedValue(annot.cos);
    EXPECT_NE(written.find("/Rect [ 10 20.5 110 70 ]"), std::string::npos) << written;
    EXPECT_NE(written.find("/Type /Annot"), std::string::npos) << written;
    EXPECT_EQ(pdT().pageGetNumAnnots(page), 0);
    EXPECT_EQ(pdT().pageGetAnnotIndex(page, annot), -1);
    EXPECT_FALSE(cosT().dictKnown(pdT().pageGetCosObj(page), nameAtom("Annots")));
}

TEST_F(PDModelAnnot, AddCreatesAnnotsAndSetsTheParentPage) {
    PDAnnot annot = link();
    pdT().pageAddAnnot(page, 0, annot);  // after index 0 of an empty list: the only one
    EXPECT_EQ(pdT().pageGetNumAnnots(page), 1);
    EXPECT_EQ(pdT().pageGetAnnotIndex(page, annot), 0);
    EXPECT_TRUE(cosT().objEqual(cosT().dictGet(annot.cos, nameAtom("P")), pdT().pageGetCosObj(page)));
    EXPECT_TRUE(cosT().objEqual(pdT().pageGetAnnot(page, 0).cos, annot.cos));
}

struct AddCase {
    const char* name;
    int32_t addAfter;
    std::vector<int> expected;  // left edges; the new one has left 99
};

// Rows print as their names in test output.
void PrintTo(const AddCase& row, std::ostream* out) { *out << row.name; }

class PDModelAnnotAddAt : public PDModelAnnot, public ::testing::WithParamInterface<AddCase> {};

TEST_P(PDModelAnnotAddAt, NewAnnotationStandsAfterTheGivenIndex) {
    for (int left : {1, 2, 3}) pdT().pageAddAnnot(page, pdT().pageGetNumAnnots(page) - 1, link(left));
    pdT().pageAddAnnot(page, GetParam().addAfter, link(99));
    EXPECT_EQ(annotLefts(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, PDModelAnnotAddAt,
                         ::testing::Values(AddCase{"MinusOneIsFirst", -1, {99, 1, 2, 3}},
                                           AddCase{"BelowMinusOneIsFirst", -7, {99, 1, 2, 3}},
                                           AddCase{"AfterTheFirst", 0, {1, 99, 2, 3}},
                                           AddCase{"CountMinusOneIsLast", 2, {1, 2, 3, 99}},
                                           AddCase{"BeyondTheEndIsLast", 40, {1, 2, 3, 99}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PDModelAnnot, IndexIsFoundByIdentityNotByEqualContents) {
    PDAnnot first = link();
    PDAnnot twin = link();  // same subtype and rectangle
    pdT().pageAddAnnot(page, -1, first);
    pdT().pageAddAnnot(page, 0, twin);
    EXPECT_EQ(pdT().pageGetAnnotIndex(page, first), 0);
    EXPECT_EQ(pdT().pageGetAnnotIndex(page, twin), 1);
    EXPECT_EQ(pdT().pageGetAnnotIndex(page, PDAnnot{cosT().newNull()}), -1);
}

TEST_F(PDModelAnnot, AnnotationOfAnotherDocumentIsNotFoundOnThePage) {
    PDAnnot annot = link();
    pdT().pageAddAnnot(page, -1, annot);
    HostDoc other = HostDoc::create();
    const ASFixedRect letter = fixedRect(0, 0, 612, 792);
    PDPage otherPage = pdT().docCreatePage(other.pd(), -1, &letter);
    const ASFixedRect r = fixedRect(0, 0, 1, 1);
    PDAnnot foreign = pdT().pageCreateAnnot(otherPage, nameAtom("Link"), &r);  // same object number
    EXPECT_EQ(pdT().pageGetAnnotIndex(page, foreign), -1);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageAddAnnot(page, -1, foreign); }), kHostErrBadParameter);
    pdT().pageRelease(otherPage);
}

TEST_F(PDModelAnnot, RemoveTakesOutExactlyThatIndex) {
    PDAnnot a = link(1), b = link(2), c = link(3);
    for (PDAnnot annot : {a, b, c}) pdT().pageAddAnnot(page, 99, annot);
    pdT().pageRemoveAnnot(page, pdT().pageGetAnnotIndex(page, b));
    EXPECT_EQ(annotLefts(), (std::vector<int>{1, 3}));
    EXPECT_EQ(pdT().pageGetAnnotIndex(page, b), -1);
}

TEST_F(PDModelAnnot, IndicesOutsideTheListRaiseBadIndex) {
    EXPECT_EQ(hostErrorOf([&] { pdT().pageGetAnnot(page, 0); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageRemoveAnnot(page, 0); }), kHostErrBadIndex);
    pdT().pageAddAnnot(page, -1, link());
    EXPECT_EQ(hostErrorOf([&] { pdT().pageGetAnnot(page, 1); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageRemoveAnnot(page, -1); }), kHostErrBadIndex);
    EXPECT_EQ(pdT().pageGetNumAnnots(page), 1);
}

TEST_F(PDModelAnnot, ValidityNeverRaises) {
    EXPECT_FALSE(pdT().annotIsValid(PDAnnot{cosT().newNull()}));
    EXPECT_FALSE(pdT().annotIsValid(PDAnnot{cosT().newInteger(doc.cos(), false, 3)}));
    EXPECT_FALSE(pdT().annotIsValid(PDAnnot{CosObj{999999, 1}}));
    PDAnnot annot = link();
    EXPECT_TRUE(pdT().annotIsValid(annot));
    HostDoc other = HostDoc::create();
    CosObj stale = cosT().newDict(other.cos(), true, 1);
    other.close();
    EXPECT_FALSE(pdT().annotIsValid(PDAnnot{stale}));
}

// --- link borders and actions

struct BorderCase {
    const char* name;
    PDLinkBorder border;
    const char* written;
};

// Rows print as their names in test output.
void PrintTo(const BorderCase& row, std::ostream* out) { *out << row.name; }

class PDModelLinkBorder : public PDModelAnnot, public ::testing::WithParamInterface<BorderCase> {};

TEST_P(PDModelLinkBorder, BorderIsWrittenAsRadiiWidthAndDashes) {
    PDAnnot annot = link();
    pdT().linkAnnotSetBorder(annot, &GetParam().border);
    EXPECT_EQ(qmhost::objectOf(annot.cos).getKey("/Border").unparse(), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Borders, PDModelLinkBorder,
    ::testing::Values(BorderCase{"ZeroRecordIsNoVisibleBorder", PDLinkBorder{0, 0, 0, 0, {}}, "[ 0 0 0 ]"},
                      BorderCase{"SolidWidthOne", PDLinkBorder{0, 0, fixedOf(1), 0, {}}, "[ 0 0 1 ]"},
                      BorderCase{"DashedThree", PDLinkBorder{0, 0, fixedOf(1), 1, {fixedOf(3)}}, "[ 0 0 1 [ 3 ] ]"},
                      BorderCase{"RoundedHalfPointDashes",
                                 PDLinkBorder{fixedOf(2), fixedOf(4), fixedOf(0.5), 2, {fixedOf(3), fixedOf(5)}},
                                 "[ 2 4 0.5 [ 3 5 ] ]"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PDModelAnnot, BorderWithMoreThanTenDashesIsRefused) {
    PDAnnot annot = link();
    PDLinkBorder border{0, 0, fixedOf(1), 11, {}};
    EXPECT_EQ(hostErrorOf([&] { pdT().linkAnnotSetBorder(annot, &border); }), kHostErrBadParameter);
    border.dashArrayLen = -1;
    EXPECT_EQ(hostErrorOf([&] { pdT().linkAnnotSetBorder(annot, &border); }), kHostErrBadParameter);
    EXPECT_FALSE(cosT().dictKnown(annot.cos, nameAtom("Border")));
}

TEST_F(PDModelAnnot, SavedLinkGoesToTheRightPage) {
    const ASFixedRect letter = fixedRect(0, 0, 612, 792);
    PDPage second = pdT().docCreatePage(doc.pd(), 0, &letter);
    const ASFixedRect nothing{0, 0, 0, 0};
    PDViewDestination dest = pdT().destCreate(doc.pd(), second, nameAtom("Fit"), &nothing, kPDViewDestNullZoom, 1);
    PDAction action = pdT().actionNewFromDest(doc.pd(), dest, doc.pd());
    PDAnnot annot = link();
    const PDLinkBorder border{0, 0, 0, 0, {}};
    pdT().linkAnnotSetBorder(annot, &border);
    pdT().linkAnnotSetAction(annot, action);
    pdT().pageAddAnnot(page, pdT().pageGetNumAnnots(page) - 1, annot);
    pdT().pageRelease(second);

    const std::string path = folder.file("link.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_EQ(qpdfCheck(path).status, 0) << qpdfCheck(path).output;
    SavedPdf saved(path);
    const QJsonObject firstPage = saved.object(saved.pageReference(0)).toObject();
    const QJsonArray annots = saved.resolved(firstPage.value("/Annots")).toArray();
    ASSERT_EQ(annots.size(), 1);
    const QJsonObject savedLink = saved.resolved(annots.at(0)).toObject();
    EXPECT_EQ(savedLink.value("/Subtype").toString(), "/Link");
    EXPECT_EQ(savedLink.value("/P").toString().toStdString(), saved.pageReference(0));
    const QJsonObject savedAction = saved.resolved(savedLink.value("/A")).toObject();
    EXPECT_EQ(savedAction.value("/S").toString(), "/GoTo");
    const QJsonArray savedDest = saved.resolved(savedAction.value("/D")).toArray();
    ASSERT_EQ(savedDest.size(), 2);
    EXPECT_EQ(savedDest.at(0).toString().toStdString(), saved.pageReference(1));
    EXPECT_EQ(savedDest.at(1).toString(), "/Fit");
}

TEST_F(PDModelAnnot, NullActionRemovesTheLinksAction) {
    PDAnnot annot = link();
    PDAction action = pdT().actionNew(doc.pd(), nameAtom("URI"));
    pdT().linkAnnotSetAction(annot, action);
    EXPECT_TRUE(cosT().objEqual(cosT().dictGet(annot.cos, nameAtom("A")), action.cos));
    pdT().linkAnnotSetAction(annot, PDAction{cosT().newNull()});
    EXPECT_FALSE(cosT().dictKnown(annot.cos, nameAtom("A")));
}

TEST_F(PDModelAnnot, UndoOfAnAddedLinkRestoresThePagesAnnotations) {
    PDAnnot kept = link(1);
    pdT().pageAddAnnot(page, -1, kept);
    PDAnnot added = link(2);
    pdT().pageAddAnnot(page, pdT().pageGetNumAnnots(page) - 1, added);
    // What undo does: find the annotation by its object, remove it there.
    const PDAnnot fromRecord{added.cos};
    pdT().pageRemoveAnnot(page, pdT().pageGetAnnotIndex(page, fromRecord));
    EXPECT_EQ(annotLefts(), (std::vector<int>{1}));

    const std::string path = folder.file("undone.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_EQ(qpdfCheck(path).status, 0);
}

}  // namespace
