// PDModel page editing: creating and deleting pages, boxes, page numbers of
// page dictionaries and content-change notes.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include <QJsonArray>
#include <qpdf/Buffer.hh>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "pdmodel/DocumentChanges.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

const ASFixedRect kLetter = fixedRect(0, 0, 612, 792);

// The numbers written into each page's content ("page N"), in page order.
std::vector<std::string> pageLabels(PDDoc doc) {
    std::vector<std::string> labels;
    for (int32_t i = 0; i < pdT().docGetNumPages(doc); ++i) {
        PDPage page = pdT().docAcquirePage(doc, i);
        QPDFObjectHandle contents = qmhost::objectOf(pdT().pageGetCosObj(page)).getKey("/Contents");
        std::string label = "new";
        if (contents.isStream()) {
            auto buffer = contents.getStreamData();
            const std::string data(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
            const auto at = data.find("(page ");
            if (at != std::string::npos) label = data.substr(at + 6, data.find(')', at) - at - 6);
        }
        labels.push_back(label);
        pdT().pageRelease(page);
    }
    return labels;
}

class PDModelEditPage : public ::testing::Test {
protected:
    FixtureFolder folder;
    HostDoc openSimple(int pages) {
        const std::string path = folder.file("simple.pdf");
        writeSimplePdf(path, pages);
        return HostDoc::open(path);
    }
};

// --- creating pages

TEST_F(PDModelEditPage, NewDocumentGetsOneLetterPageAsItsOnlyPage) {
    HostDoc doc = HostDoc::create();
    PDPage page = pdT().docCreatePage(doc.pd(), -1, &kLetter);
    pdT().pageSetBox(page, &kLetter);
    ASFixedRect box;
    pdT().pageGetBox(page, &box);
    EXPECT_TRUE(sameFixedRect(box, kLetter));
    EXPECT_EQ(pdT().pageGetNumber(page), 0);
    pdT().pageRelease(page);
    EXPECT_EQ(pdT().docGetNumPages(doc.pd()), 1);

    const std::string path = folder.file("blank.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_EQ(qpdfCheck(path).status, 0) << qpdfCheck(path).output;
    SavedPdf saved(path);
    ASSERT_EQ(saved.pageCount(), 1);
    const QJsonObject pageDict = saved.object(saved.pageReference(0)).toObject();
    EXPECT_EQ(pageDict.value("/MediaBox").toArray(), (QJsonArray{0, 0, 612, 792}));
    EXPECT_EQ(pageDict.value("/CropBox").toArray(), (QJsonArray{0, 0, 612, 792}));
    EXPECT_TRUE(pageDict.value("/Resources").isObject());
}

struct InsertCase {
    const char* name;
    int32_t afterPage;
    std::vector<std::string> expected;
};

// Rows print as their names in test output.
void PrintTo(const InsertCase& row, std::ostream* out) { *out << row.name; }

class PDModelCreatePageAt : public PDModelEditPage, public ::testing::WithParamInterface<InsertCase> {};

TEST_P(PDModelCreatePageAt, NewPageStandsAfterTheGivenPage) {
    HostDoc doc = openSimple(3);
    PDPage page = pdT().docCreatePage(doc.pd(), GetParam().afterPage, &kLetter);
    EXPECT_EQ(pdT().pageGetNumber(page), GetParam().afterPage + 1);
    pdT().pageRelease(page);
    EXPECT_EQ(pageLabels(doc.pd()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, PDModelCreatePageAt,
                         ::testing::Values(InsertCase{"MinusOneIsFirst", -1, {"new", "1", "2", "3"}},
                                           InsertCase{"AfterFirst", 0, {"1", "new", "2", "3"}},
                                           InsertCase{"AfterLastAppends", 2, {"1", "2", "3", "new"}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PDModelEditPage, CreatePageOutsideTheDocumentRaisesBadIndex) {
    HostDoc doc = openSimple(2);
    EXPECT_EQ(hostErrorOf([&] { pdT().docCreatePage(doc.pd(), 2, &kLetter); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docCreatePage(doc.pd(), -2, &kLetter); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docCreatePage(doc.pd(), 0, nullptr); }), kHostErrBadParameter);
    EXPECT_EQ(pdT().docGetNumPages(doc.pd()), 2);
}

TEST_F(PDModelEditPage, CreatedPageHasTheMediaBoxNormalised) {
    HostDoc doc = HostDoc::create();
    const ASFixedRect upsideDown = fixedRect(200, 300, 10, 20.5);  // left > right, bottom > top
    PDPage page = pdT().docCreatePage(doc.pd(), -1, &upsideDown);
    QPDFObjectHandle dict = qmhost::objectOf(pdT().pageGetCosObj(page));
    EXPECT_EQ(dict.getKey("/MediaBox").unparse(), "[ 10 20.5 200 300 ]");
    EXPECT_FALSE(dict.hasKey("/CropBox"));
    EXPECT_EQ(dict.getKey("/Type").unparse(), "/Page");
    pdT().pageRelease(page);
}

// --- deleting pages

TEST_F(PDModelEditPage, DeletePagesRemovesTheInclusiveRange) {
    HostDoc doc = openSimple(5);
    pdT().docDeletePages(doc.pd(), 1, 3);
    EXPECT_EQ(pageLabels(doc.pd()), (std::vector<std::string>{"1", "5"}));
    const std::string path = folder.file("deleted.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_EQ(qpdfCheck(path).status, 0);
    EXPECT_EQ(SavedPdf(path).pageCount(), 2);
}

TEST_F(PDModelEditPage, DeleteAllPagesOfAnEmptyDocumentIsNoError) {
    HostDoc doc = HostDoc::create();
    EXPECT_EQ(hostErrorOf([&] { pdT().docDeletePages(doc.pd(), 0, -1); }), 0);
    EXPECT_EQ(pdT().docGetNumPages(doc.pd()), 0);
}

TEST_F(PDModelEditPage, DeleteThenAppendBlankPageLeavesOnlyTheBlankPage) {
    HostDoc doc = openSimple(3);
    pdT().docDeletePages(doc.pd(), 0, pdT().docGetNumPages(doc.pd()) - 1);
    PDPage page = pdT().docCreatePage(doc.pd(), -1, &kLetter);
    pdT().pageRelease(page);
    EXPECT_EQ(pageLabels(doc.pd()), (std::vector<std::string>{"new"}));
}

TEST_F(PDModelEditPage, DeleteOutsideTheDocumentRaisesBadIndexAndDeletesNothing) {
    HostDoc doc = openSimple(3);
    EXPECT_EQ(hostErrorOf([&] { pdT().docDeletePages(doc.pd(), 1, 3); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docDeletePages(doc.pd(), -1, 0); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docDeletePages(doc.pd(), 2, 0); }), kHostErrBadIndex);
    EXPECT_EQ(pdT().docGetNumPages(doc.pd()), 3);
}

TEST_F(PDModelEditPage, DeletedPageHasNoNumberAnyMore) {
    HostDoc doc = openSimple(2);
    PDPage page = pdT().docAcquirePage(doc.pd(), 1);
    CosObj dict = pdT().pageGetCosObj(page);
    pdT().docDeletePages(doc.pd(), 1, 1);
    EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), dict), -1);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageGetNumber(page); }), kHostErrNotFound);
    pdT().pageRelease(page);
}

// --- boxes

TEST_F(PDModelEditPage, SetBoxWritesMediaAndCropBoxAndOverridesInheritedOnes) {
    const std::string path = folder.file("boxes.pdf");
    writeFixturePdf(path, {FixturePage{std::nullopt, FixtureRect{10, 10, 500, 700}, std::nullopt,
                                       FixtureContents::OneStream}});
    HostDoc doc = HostDoc::open(path);
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    const ASFixedRect wanted = fixedRect(0, 0, 300.25, 400);
    pdT().pageSetBox(page, &wanted);
    ASFixedRect box;
    pdT().pageGetBox(page, &box);
    EXPECT_TRUE(sameFixedRect(box, wanted));
    QPDFObjectHandle dict = qmhost::objectOf(pdT().pageGetCosObj(page));
    EXPECT_EQ(dict.getKey("/MediaBox").unparse(), "[ 0 0 300.25 400 ]");
    EXPECT_EQ(dict.getKey("/CropBox").unparse(), "[ 0 0 300.25 400 ]");
    pdT().pageRelease(page);
}

// --- page numbers of page dictionaries

TEST_F(PDModelEditPage, PageNumberOfEachPageDictionary) {
    HostDoc doc = openSimple(3);
    for (int32_t i = 0; i < 3; ++i) {
        PDPage page = pdT().docAcquirePage(doc.pd(), i);
        EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), pdT().pageGetCosObj(page)), i);
        pdT().pageRelease(page);
    }
}

TEST_F(PDModelEditPage, PageNumbersLeaveInheritedAttributesInThePageTreeAndFollowDeletions) {
    const std::string path = folder.file("inherited.pdf");
    FixtureTree tree;
    tree.nested = true;  // resources and media box two levels up
    writeFixturePdf(path, std::vector<FixturePage>(4), tree);
    HostDoc doc = HostDoc::open(path);
    std::vector<CosObj> dicts;
    for (int32_t i = 0; i < 4; ++i) {
        PDPage page = pdT().docAcquirePage(doc.pd(), i);
        dicts.push_back(pdT().pageGetCosObj(page));
        pdT().pageRelease(page);
    }
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), dicts[i]), static_cast<int32_t>(i));
    for (const CosObj dict : dicts) {
        EXPECT_FALSE(qmhost::objectOf(dict).hasKey("/Resources")) << "pushed down from the page tree";
        EXPECT_FALSE(qmhost::objectOf(dict).hasKey("/MediaBox")) << "pushed down from the page tree";
    }
    // The numbers follow a change of the page list.
    pdT().docDeletePages(doc.pd(), 0, 1);
    const int32_t expected[] = {-1, -1, 0, 1};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), dicts[i]), expected[i]) << i;
}

TEST_F(PDModelEditPage, PageNumberOfSomethingElseIsMinusOne) {
    HostDoc doc = openSimple(1);
    EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), cosT().newNull()), -1);
    EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), cosT().docGetRoot(doc.cos())), -1);
    EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), cosT().newDict(doc.cos(), false, 1)), -1);
    EXPECT_EQ(pdT().docGetPageNumberOfCosObj(doc.pd(), cosT().newInteger(doc.cos(), true, 0)), -1);
}

TEST_F(PDModelEditPage, PageOfAnotherDocumentWithTheSameObjectNumberIsNoPageHere) {
    HostDoc first = openSimple(2);
    const std::string other = folder.file("other.pdf");
    writeSimplePdf(other, 2);
    HostDoc second = HostDoc::open(other);  // the same layout, so the same object numbers
    PDPage page = pdT().docAcquirePage(second.pd(), 1);
    CosObj dict = pdT().pageGetCosObj(page);
    EXPECT_EQ(pdT().docGetPageNumberOfCosObj(second.pd(), dict), 1);
    EXPECT_EQ(pdT().docGetPageNumberOfCosObj(first.pd(), dict), -1);
    pdT().pageRelease(page);
}

// --- change notes

TEST_F(PDModelEditPage, ContentChangeMarksTheDocumentModified) {
    HostDoc doc = openSimple(1);
    qmhost::Document& document = *qmhost::documentOf(doc.pd());
    EXPECT_FALSE(qmhost::documentModified(document));
    const uint64_t before = qmhost::documentChangeCount(document);
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    pdT().pageNotifyContentsDidChange(page);
    pdT().pageRelease(page);
    EXPECT_TRUE(qmhost::documentModified(document));
    EXPECT_GT(qmhost::documentChangeCount(document), before);

    const std::string path = folder.file("saved.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_FALSE(qmhost::documentModified(document));
}

TEST_F(PDModelEditPage, ReleasedPageCannotBeEdited) {
    HostDoc doc = openSimple(1);
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    pdT().pageRelease(page);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageNotifyContentsDidChange(page); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { pdT().pageSetBox(page, &kLetter); }), kHostErrBadHandle);
}

}  // namespace
