// PDModel docInsertPages: copies of pages of one document put into another,
// with what they inherit, their links between each other, their positions, and
// a source that stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

const ASFixedRect kLetter = fixedRect(0, 0, 612, 792);

QPDFObjectHandle pageObject(PDDoc doc, int32_t index) {
    PDPage page = pdT().docAcquirePage(doc, index);
    QPDFObjectHandle object = qmhost::objectOf(pdT().pageGetCosObj(page));
    pdT().pageRelease(page);
    return object;
}

// The text drawn by the page's content ("page N" of the fixtures, "x" for others).
std::string pageLabel(PDDoc doc, int32_t index) {
    QPDFObjectHandle contents = pageObject(doc, index).getKey("/Contents");
    if (!contents.isStream()) return "none";
    auto buffer = contents.getStreamData();
    const std::string data(reinterpret_cast<const char*>(buffer->getBuffer()), buffer->getSize());
    const auto at = data.find('(');
    return at == std::string::npos ? data : data.substr(at + 1, data.find(')', at) - at - 1);
}

std::vector<std::string> labels(PDDoc doc) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < pdT().docGetNumPages(doc); ++i) out.push_back(pageLabel(doc, i));
    return out;
}

class PDModelInsertPages : public ::testing::Test {
protected:
    FixtureFolder folder;
    HostDoc openSimple(const std::string& leaf, int pages) {
        const std::string path = folder.file(leaf);
        writeSimplePdf(path, pages);
        return HostDoc::open(path);
    }
};

TEST_F(PDModelInsertPages, AllPagesGoIntoANewDocumentInOrderAndStayWholeWhenTheSourceCloses) {
    HostDoc source = openSimple("source.pdf", 3);
    HostDoc dest = HostDoc::create();
    pdT().docInsertPages(dest.pd(), kPDInsertAfterLastPage, source.pd(), 0, 3);
    const std::vector<std::string> all{"page 1", "page 2", "page 3"};
    EXPECT_EQ(labels(dest.pd()), all);
    EXPECT_EQ(labels(source.pd()), all);
    source.close();
    const std::string saved = folder.file("alone.pdf");
    pdT().docSave(dest.pd(), HostPath(saved));
    EXPECT_EQ(qpdfCheck(saved).status, 0);
    EXPECT_EQ(labels(dest.pd()), all);
}

TEST_F(PDModelInsertPages, CopiesGoWhereAsked) {
    const struct {
        int32_t afterPage;
        std::vector<std::string> order;
    } rows[] = {{kPDInsertBeforeFirstPage, {"page 2", "page 3", "none", "none"}},
                {0, {"none", "page 2", "page 3", "none"}},
                {1, {"none", "none", "page 2", "page 3"}},
                {kPDInsertAfterLastPage, {"none", "none", "page 2", "page 3"}}};
    HostDoc source = openSimple("source.pdf", 3);
    for (const auto& row : rows) {
        HostDoc dest = HostDoc::create();
        for (int i = 0; i < 2; ++i) pdT().pageRelease(pdT().docCreatePage(dest.pd(), i - 1, &kLetter));
        pdT().docInsertPages(dest.pd(), row.afterPage, source.pd(), 1, 2);
        EXPECT_EQ(labels(dest.pd()), row.order) << "after page " << row.afterPage;
    }
}

TEST_F(PDModelInsertPages, CopiesTakeWhatThePagesInheritAndTheSourceIsNotChanged) {
    const std::string path = folder.file("inherit.pdf");
    FixtureTree tree;
    tree.inheritedRotate = 90;
    tree.nested = true;
    writeFixturePdf(path, {FixturePage{}, FixturePage{}}, tree);
    HostDoc source = HostDoc::open(path);
    HostDoc dest = HostDoc::create();
    pdT().docInsertPages(dest.pd(), kPDInsertAfterLastPage, source.pd(), 0, 2);
    for (int32_t i = 0; i < 2; ++i) {
        QPDFObjectHandle copy = pageObject(dest.pd(), i);
        EXPECT_EQ(copy.getKey("/Rotate").getIntValue(), 90);
        EXPECT_TRUE(copy.getKey("/MediaBox").isArray());
        EXPECT_TRUE(copy.getKey("/Resources").getKey("/Font").isDictionary());
        QPDFObjectHandle original = pageObject(source.pd(), i);
        EXPECT_FALSE(original.hasKey("/Rotate")) << "nothing is pushed down into the source's pages";
        EXPECT_FALSE(original.hasKey("/Resources"));
        EXPECT_FALSE(original.hasKey("/MediaBox"));
    }
    const std::string saved = folder.file("copy.pdf");
    pdT().docSave(dest.pd(), HostPath(saved));
    EXPECT_EQ(qpdfCheck(saved).status, 0) << qpdfCheck(saved).output;
}

// What two pages inherit from their page tree, copied with them: rows of the
// kinds of value the deep copy treats differently.
struct InheritedRow {
    const char* name;
    const char* resources;  // the tree's /Resources, parsed ("R" stands for an indirect object)
    bool indirect;          // the tree holds the resources as an indirect object
    std::function<void(QPDFObjectHandle first, QPDFObjectHandle second)> check;
};

// n arrays around the integer 7.
std::string nested(int n) { return std::string(static_cast<size_t>(n), '[') + "7" + std::string(static_cast<size_t>(n), ']'); }

int depthOf(QPDFObjectHandle object) {
    int depth = 0;
    for (; object.isArray() && object.getArrayNItems() > 0; ++depth) object = object.getArrayItem(0);
    return object.isInteger() && object.getIntValue() == 7 ? depth : -1;
}

TEST_F(PDModelInsertPages, InheritedValuesOfEveryKindArriveWhole) {
    const std::string deep = "<< /QmDeep " + nested(400) + " >>";
    const InheritedRow rows[] = {
        // Nested as deep as a file may hold: copied whole, not refused.
        {"DeepDirectNesting", deep.c_str(), false,
         [](QPDFObjectHandle first, QPDFObjectHandle second) {
             EXPECT_EQ(depthOf(first.getKey("/Resources").getKey("/QmDeep")), 400);
             EXPECT_EQ(depthOf(second.getKey("/Resources").getKey("/QmDeep")), 400);
         }},
        {"NullsInArrays", "<< /QmList [1 null 2] /QmGone null >>", false,
         [](QPDFObjectHandle first, QPDFObjectHandle) {
             QPDFObjectHandle list = first.getKey("/Resources").getKey("/QmList");
             ASSERT_EQ(list.getArrayNItems(), 3);
             EXPECT_TRUE(list.getArrayItem(1).isNull());
             EXPECT_EQ(list.getArrayItem(2).getIntValue(), 2);
             EXPECT_FALSE(first.getKey("/Resources").hasKey("/QmGone"));
         }},
        // One resource dictionary shared through the tree stays one in the copy.
        {"SharedIndirectResources", "<< /QmShared true >>", true,
         [](QPDFObjectHandle first, QPDFObjectHandle second) {
             ASSERT_TRUE(first.getKey("/Resources").isIndirect());
             EXPECT_EQ(first.getKey("/Resources").getObjGen(), second.getKey("/Resources").getObjGen());
             EXPECT_TRUE(first.getKey("/Resources").getKey("/QmShared").getBoolValue());
         }},
    };
    for (const InheritedRow& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = folder.file(std::string(row.name) + ".pdf");
        writeBuiltPdf(path, [&](QPDF& pdf) {
            std::vector<QPDFObjectHandle> pages{appendPage(pdf, 612, 792, "BT (a) Tj ET"),
                                                appendPage(pdf, 612, 792, "BT (b) Tj ET")};
            QPDFObjectHandle resources = QPDFObjectHandle::parse(row.resources);
            if (row.indirect) resources = pdf.makeIndirectObject(resources);
            for (auto& page : pages) page.removeKey("/Resources");
            pdf.getRoot().getKey("/Pages").replaceKey("/Resources", resources);
        });
        HostDoc source = HostDoc::open(path);
        HostDoc dest = HostDoc::create();
        ASSERT_EQ(hostErrorOf([&] { pdT().docInsertPages(dest.pd(), kPDInsertAfterLastPage, source.pd(), 0, 2); }), 0);
        ASSERT_EQ(pdT().docGetNumPages(dest.pd()), 2);
        row.check(pageObject(dest.pd(), 0), pageObject(dest.pd(), 1));
        EXPECT_FALSE(pageObject(source.pd(), 0).hasKey("/Resources")) << "the source is not changed";
        const std::string saved = folder.file(std::string(row.name) + "-copy.pdf");
        pdT().docSave(dest.pd(), HostPath(saved));
        EXPECT_EQ(qpdfCheck(saved).status, 0) << qpdfCheck(saved).output;
    }
}

TEST_F(PDModelInsertPages, LinksBetweenCopiedPagesLeadToTheCopies) {
    const std::string path = folder.file("links.pdf");
    writeBuiltPdf(path, [](QPDF& pdf) {
        std::vector<QPDFObjectHandle> pages;
        for (int i = 1; i <= 3; ++i) pages.push_back(appendPage(pdf, 612, 792, "BT (p" + std::to_string(i) + ") Tj ET"));
        auto link = [&](QPDFObjectHandle from, QPDFObjectHandle to, bool asAction) {
            QPDFObjectHandle annot = QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Link /Rect [0 0 10 10] >>");
            QPDFObjectHandle dest = QPDFObjectHandle::newArray();
            dest.appendItem(to);
            dest.appendItem(QPDFObjectHandle::newName("/Fit"));
            if (asAction) {
                QPDFObjectHandle action = QPDFObjectHandle::parse("<< /S /GoTo >>");
                action.replaceKey("/D", dest);
                annot.replaceKey("/A", action);
            } else {
                annot.replaceKey("/Dest", dest);
            }
            annot.replaceKey("/P", from);
            from.replaceKey("/Annots", QPDFObjectHandle::newArray({pdf.makeIndirectObject(annot)}));
        };
        link(pages[0], pages[2], false);  // forward, as a destination
        link(pages[2], pages[0], true);   // backward, as an action
    });
    HostDoc source = HostDoc::open(path);
    HostDoc dest = HostDoc::create();
    pdT().docInsertPages(dest.pd(), kPDInsertAfterLastPage, source.pd(), 0, 3);
    auto target = [&](int32_t page, bool asAction) {
        QPDFObjectHandle annot = pageObject(dest.pd(), page).getKey("/Annots").getArrayItem(0);
        QPDFObjectHandle d = asAction ? annot.getKey("/A").getKey("/D") : annot.getKey("/Dest");
        return pdT().docGetPageNumberOfCosObj(dest.pd(), qmhost::handleFor(*qmhost::documentOf(dest.pd()), d.getArrayItem(0)));
    };
    EXPECT_EQ(target(0, false), 2);
    EXPECT_EQ(target(2, true), 0);
    QPDFObjectHandle sourceDest = pageObject(source.pd(), 0).getKey("/Annots").getArrayItem(0).getKey("/Dest");
    EXPECT_EQ(sourceDest.getArrayItem(0).getObjGen(), pageObject(source.pd(), 2).getObjGen())
        << "the source's link is untouched";
}

// A preview inserts the front page, stamps the copy, deletes it and inserts the
// page again: each insertion shows the page as the source has it now.
TEST_F(PDModelInsertPages, InsertingAPageAgainCopiesItAnewNotTheCopyChangedSince) {
    HostDoc source = openSimple("source.pdf", 2);
    HostDoc dest = HostDoc::create();
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        pdT().docInsertPages(dest.pd(), kPDInsertBeforeFirstPage, source.pd(), 0, 1);
        ASSERT_EQ(pdT().docGetNumPages(dest.pd()), 1);
        QPDFObjectHandle copy = pageObject(dest.pd(), 0);
        EXPECT_EQ(pageLabel(dest.pd(), 0), "page 1");
        EXPECT_FALSE(copy.getKey("/Resources").hasKey("/QmStamp")) << "no stamp of an earlier round";
        copy.getKey("/Contents").replaceStreamData("BT (stamped) Tj ET", QPDFObjectHandle::newNull(),
                                                   QPDFObjectHandle::newNull());
        copy.getKey("/Resources").replaceKey("/QmStamp", QPDFObjectHandle::newBool(true));
        pdT().docDeletePages(dest.pd(), 0, 0);
    }
    EXPECT_EQ(labels(source.pd()), (std::vector<std::string>{"page 1", "page 2"}));
}

TEST_F(PDModelInsertPages, BadArgumentsRaiseAndChangeNothing) {
    HostDoc source = openSimple("source.pdf", 2);
    HostDoc dest = HostDoc::create();
    pdT().pageRelease(pdT().docCreatePage(dest.pd(), -1, &kLetter));
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(source.pd(), -2, source.pd(), 0, 1); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(dest.pd(), -2, source.pd(), 0, -1); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(dest.pd(), -2, source.pd(), 1, 2); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(dest.pd(), -2, source.pd(), -1, 1); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(dest.pd(), 1, source.pd(), 0, 1); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(dest.pd(), -3, source.pd(), 0, 1); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(nullptr, -2, source.pd(), 0, 1); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { pdT().docInsertPages(dest.pd(), -2, source.pd(), 2, 0); }), 0) << "count 0";
    EXPECT_EQ(pdT().docGetNumPages(dest.pd()), 1);
}

}  // namespace
