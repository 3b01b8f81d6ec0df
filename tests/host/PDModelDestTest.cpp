// PDModel view destinations: made, read back and resolved against a document.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

constexpr ASFixed kUnset = kPDViewDestNullZoom;  // also marks an unset coordinate

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class PDModelDest : public ::testing::Test {
protected:
    FixtureFolder folder;
    HostDoc doc = HostDoc::create();
    PDPage page = nullptr;
    std::string pageRef;  // "3 0 R"
    void SetUp() override {
        const ASFixedRect letter = fixedRect(0, 0, 612, 792);
        for (int i = 0; i < 3; ++i) pdT().pageRelease(pdT().docCreatePage(doc.pd(), i - 1, &letter));
        page = pdT().docAcquirePage(doc.pd(), 0);
        pageRef = unparsed(pdT().pageGetCosObj(page));
    }
    void TearDown() override { pdT().pageRelease(page); }
    CosObj pageDictAt(int32_t index) {
        PDPage other = pdT().docAcquirePage(doc.pd(), index);
        CosObj dict = pdT().pageGetCosObj(other);
        pdT().pageRelease(other);
        return dict;
    }
    // A destination array parsed from text, as an indirect object of doc.
    PDViewDestination parsedDest(const std::string& text) {
        qmhost::Document& document = *qmhost::documentOf(doc.pd());
        QPDFObjectHandle parsed = QPDFObjectHandle::parse(&document.qpdf(), text);
        return PDViewDestination{qmhost::handleFor(document, document.qpdf().makeIndirectObject(parsed))};
    }
};

struct DestCase {
    const char* name;
    const char* fit;
    ASFixedRect rect;  // left, top, right, bottom
    ASFixed zoom;
    const char* written;  // P stands for the page
};

// Rows print as their names in test output.
void PrintTo(const DestCase& row, std::ostream* out) { *out << row.name; }

class PDModelDestCreate : public PDModelDest, public ::testing::WithParamInterface<DestCase> {};

TEST_P(PDModelDestCreate, WritesTheValuesTheFitTypeNeeds) {
    const DestCase& c = GetParam();
    PDViewDestination dest = pdT().destCreate(doc.pd(), page, nameAtom(c.fit), &c.rect, c.zoom, 0);
    EXPECT_TRUE(pdT().destIsValid(dest));
    EXPECT_EQ(unparsed(dest.cos), replaced(c.written, "P", pageRef));
}

TEST_P(PDModelDestCreate, ReadsBackWhatWasWritten) {
    const DestCase& c = GetParam();
    PDViewDestination dest = pdT().destCreate(doc.pd(), page, nameAtom(c.fit), &c.rect, c.zoom, 0);
    int32_t number = 77;
    ASAtom fit = kASAtomNull;
    ASFixedRect rect{1, 1, 1, 1};
    ASFixed zoom = 5;
    pdT().destGetAttr(dest, doc.pd(), &number, &fit, &rect, &zoom);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(fit, nameAtom(c.fit));
    // Written again from what was read, the destination is the same.
    PDViewDestination again = pdT().destCreate(doc.pd(), page, fit, &rect, zoom, number);
    EXPECT_EQ(unparsed(again.cos), unparsed(dest.cos));
}

const ASFixedRect kRect{fixedOf(10), fixedOf(40), fixedOf(30), fixedOf(20)};
const ASFixedRect kUnsetRect{kUnset, kUnset, kUnset, kUnset};

INSTANTIATE_TEST_SUITE_P(
    FitTypes, PDModelDestCreate,
    ::testing::Values(DestCase{"XYZWithZoom", "XYZ", kRect, fixedOf(1.5), "[ P /XYZ 10 40 1.5 ]"},
                      DestCase{"XYZKeepsTheZoom", "XYZ", kRect, kUnset, "[ P /XYZ 10 40 null ]"},
                      DestCase{"XYZWithNothingSet", "XYZ", kUnsetRect, kUnset, "[ P /XYZ null null null ]"},
                      DestCase{"Fit", "Fit", kRect, fixedOf(2), "[ P /Fit ]"},
                      DestCase{"FitB", "FitB", kRect, kUnset, "[ P /FitB ]"},
                      DestCase{"FitHUsesTop", "FitH", kRect, kUnset, "[ P /FitH 40 ]"},
                      DestCase{"FitBHUsesTop", "FitBH", kRect, kUnset, "[ P /FitBH 40 ]"},
                      DestCase{"FitVUsesLeft", "FitV", kRect, kUnset, "[ P /FitV 10 ]"},
                      DestCase{"FitBVUsesLeft", "FitBV", kRect, kUnset, "[ P /FitBV 10 ]"},
                      DestCase{"FitRUsesLeftBottomRightTop", "FitR", kRect, kUnset, "[ P /FitR 10 20 30 40 ]"},
                      DestCase{"FitHWithUnsetTop", "FitH", kUnsetRect, kUnset, "[ P /FitH null ]"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PDModelDest, PageOfAnotherDocumentIsWrittenAsItsNumber) {
    HostDoc other = HostDoc::create();
    const ASFixedRect letter = fixedRect(0, 0, 612, 792);
    PDPage foreign = pdT().docCreatePage(other.pd(), -1, &letter);
    EXPECT_EQ(unparsed(pdT().destCreate(doc.pd(), foreign, nameAtom("Fit"), nullptr, kUnset, 4).cos), "[ 4 /Fit ]");
    EXPECT_EQ(unparsed(pdT().destCreate(doc.pd(), nullptr, nameAtom("Fit"), nullptr, kUnset, 2).cos), "[ 2 /Fit ]");
    pdT().pageRelease(foreign);
}

TEST_F(PDModelDest, UnknownFitTypeIsRefused) {
    EXPECT_EQ(hostErrorOf([&] { pdT().destCreate(doc.pd(), page, nameAtom("FitX"), &kRect, kUnset, 0); }),
              kHostErrBadParameter);
}

TEST_F(PDModelDest, ReadingAPageIndexDestinationKeepsUnsetValuesUnset) {
    PDViewDestination dest = parsedDest("[ 2 /XYZ null null null ]");
    int32_t number = -5;
    ASAtom fit = kASAtomNull;
    ASFixedRect rect;
    ASFixed zoom = 0;
    pdT().destGetAttr(dest, doc.pd(), &number, &fit, &rect, &zoom);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(fit, nameAtom("XYZ"));
    EXPECT_EQ(rect.left, kUnset);
    EXPECT_EQ(rect.top, kUnset);
    EXPECT_EQ(zoom, kUnset);
}

TEST_F(PDModelDest, PageThatIsNoLongerInTheDocumentReadsAsMinusOne) {
    PDViewDestination dest = parsedDest("[ " + unparsed(pageDictAt(2)) + " /Fit ]");
    pdT().docDeletePages(doc.pd(), 2, 2);
    int32_t number = 0;
    pdT().destGetAttr(dest, doc.pd(), &number, nullptr, nullptr, nullptr);
    EXPECT_EQ(number, -1);
}

// --- resolving

TEST_F(PDModelDest, PageIndexIsTurnedIntoThatPageOfTheDocument) {
    PDViewDestination resolved = pdT().destResolve(parsedDest("[ 2 /XYZ 5 6 null ]"), doc.pd());
    ASSERT_TRUE(pdT().destIsValid(resolved));
    EXPECT_EQ(unparsed(resolved.cos), "[ " + unparsed(pageDictAt(2)) + " /XYZ 5 6 null ]");
}

TEST_F(PDModelDest, PageIndexOutsideTheDocumentGivesNoDestination) {
    EXPECT_FALSE(pdT().destIsValid(pdT().destResolve(parsedDest("[ 3 /Fit ]"), doc.pd())));
    EXPECT_FALSE(pdT().destIsValid(pdT().destResolve(parsedDest("[ -1 /Fit ]"), doc.pd())));
    EXPECT_FALSE(pdT().destIsValid(pdT().destResolve(parsedDest("[ /Fit ]"), doc.pd())));
    EXPECT_FALSE(pdT().destIsValid(pdT().destResolve(parsedDest("[ ]"), doc.pd())));
    EXPECT_FALSE(pdT().destIsValid(pdT().destResolve(PDViewDestination{cosT().newNull()}, doc.pd())));
}

TEST_F(PDModelDest, DestinationToAPageOfTheDocumentIsKept) {
    PDViewDestination dest = pdT().destCreate(doc.pd(), page, nameAtom("FitH"), &kRect, kUnset, 0);
    PDViewDestination resolved = pdT().destResolve(dest, doc.pd());
    EXPECT_TRUE(cosT().objEqual(resolved.cos, dest.cos));
}

TEST_F(PDModelDest, PageIndexFromAnotherDocumentResolvesWithoutCarryingItsObjects) {
    HostDoc carrier = HostDoc::create();
    CosObj foreign = cosT().newArray(carrier.cos(), true, 2);
    cosT().arrayPut(foreign, 0, cosT().newInteger(carrier.cos(), false, 1));
    cosT().arrayPut(foreign, 1, cosT().newName(carrier.cos(), false, nameAtom("FitV")));
    cosT().arrayPut(foreign, 2, cosT().newFixed(carrier.cos(), false, fixedOf(72)));
    PDViewDestination resolved = pdT().destResolve(PDViewDestination{foreign}, doc.pd());
    ASSERT_TRUE(pdT().destIsValid(resolved));
    EXPECT_EQ(cosT().objGetDoc(resolved.cos), doc.cos());
    EXPECT_EQ(unparsed(resolved.cos), "[ " + unparsed(pageDictAt(1)) + " /FitV 72 ]");
}

TEST_F(PDModelDest, PageOfAnotherDocumentStandsForThePageWithTheSameNumber) {
    // The carrier of a stored action points at its own page 0; resolved here it is page 0 of doc.
    HostDoc other = HostDoc::create();
    const ASFixedRect letter = fixedRect(0, 0, 612, 792);
    PDPage foreign = pdT().docCreatePage(other.pd(), -1, &letter);
    PDViewDestination dest = pdT().destCreate(other.pd(), foreign, nameAtom("Fit"), nullptr, kUnset, 0);
    PDViewDestination resolved = pdT().destResolve(dest, doc.pd());
    ASSERT_TRUE(pdT().destIsValid(resolved));
    EXPECT_EQ(cosT().objGetDoc(resolved.cos), pdT().docGetCosDoc(doc.pd()));
    int32_t pageNumber = -2;
    ASAtom fit = kASAtomNull;
    ASFixedRect rect;
    ASFixed zoom;
    pdT().destGetAttr(resolved, doc.pd(), &pageNumber, &fit, &rect, &zoom);
    EXPECT_EQ(pageNumber, 0);
    EXPECT_EQ(fit, nameAtom("Fit"));
    pdT().pageRelease(foreign);
}

TEST_F(PDModelDest, PageOfAnotherDocumentBeyondThisOneGivesNoDestination) {
    HostDoc other = HostDoc::create();
    const ASFixedRect letter = fixedRect(0, 0, 612, 792);
    const int32_t count = pdT().docGetNumPages(doc.pd());
    PDPage foreign = nullptr;
    for (int32_t i = 0; i <= count; ++i) {
        if (foreign) pdT().pageRelease(foreign);
        foreign = pdT().docCreatePage(other.pd(), i - 1, &letter);
    }
    PDViewDestination dest = pdT().destCreate(other.pd(), foreign, nameAtom("Fit"), nullptr, kUnset, count);
    EXPECT_FALSE(pdT().destIsValid(pdT().destResolve(dest, doc.pd())));
    pdT().pageRelease(foreign);
}

struct NamedCase {
    const char* name;
    bool asString;  // the destination names it by a string (else by a name)
    const char* lookedUp;
};

// Rows print as their names in test output.
void PrintTo(const NamedCase& row, std::ostream* out) { *out << row.name; }

class PDModelNamedDest : public PDModelDest, public ::testing::WithParamInterface<NamedCase> {};

TEST_P(PDModelNamedDest, NamedDestinationIsLookedUpInTheDocument) {
    // /Dests holds "Old" as [page1 /Fit]; the /Names tree holds "Chapter" as << /D [page2 /FitH 500] >>.
    qmhost::Document& document = *qmhost::documentOf(doc.pd());
    QPDFObjectHandle root = document.qpdf().getRoot();
    QPDFObjectHandle dests = QPDFObjectHandle::newDictionary();
    dests.replaceKey("/Old", QPDFObjectHandle::parse(&document.qpdf(), "[ " + unparsed(pageDictAt(1)) + " /Fit ]"));
    root.replaceKey("/Dests", dests);
    QPDFObjectHandle tree = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle entries = QPDFObjectHandle::newArray();
    entries.appendItem(QPDFObjectHandle::newString("Chapter"));
    QPDFObjectHandle target = QPDFObjectHandle::newDictionary();
    target.replaceKey("/D", QPDFObjectHandle::parse(&document.qpdf(), "[ " + unparsed(pageDictAt(2)) + " /FitH 500 ]"));
    entries.appendItem(target);
    tree.replaceKey("/Names", entries);
    QPDFObjectHandle names = QPDFObjectHandle::newDictionary();
    names.replaceKey("/Dests", tree);
    root.replaceKey("/Names", names);

    const NamedCase& c = GetParam();
    CosObj key = c.asString ? cosT().newString(doc.cos(), false, c.name, static_cast<int32_t>(std::strlen(c.name)))
                            : cosT().newName(doc.cos(), false, nameAtom(c.name));
    PDViewDestination resolved = pdT().destResolve(PDViewDestination{key}, doc.pd());
    if (std::string(c.lookedUp).empty()) {
        EXPECT_FALSE(pdT().destIsValid(resolved));
        return;
    }
    ASSERT_TRUE(pdT().destIsValid(resolved));
    const std::string expected =
        replaced(replaced(c.lookedUp, "P1", unparsed(pageDictAt(1))), "P2", unparsed(pageDictAt(2)));
    EXPECT_EQ(unparsed(resolved.cos), expected);
}

INSTANTIATE_TEST_SUITE_P(Names, PDModelNamedDest,
                         ::testing::Values(NamedCase{"Old", false, "[ P1 /Fit ]"},
                                           NamedCase{"Chapter", true, "[ P2 /FitH 500 ]"},
                                           NamedCase{"Chapter", false, "[ P2 /FitH 500 ]"},
                                           NamedCase{"Missing", true, ""},
                                           NamedCase{"Missing", false, ""}),
                         [](const auto& row) {
                             return std::string(row.param.name) + (row.param.asString ? "ByString" : "ByName");
                         });

TEST_F(PDModelDest, ValidityNeverRaises) {
    EXPECT_FALSE(pdT().destIsValid(PDViewDestination{cosT().newNull()}));
    EXPECT_FALSE(pdT().destIsValid(PDViewDestination{CosObj{424242, 7}}));
    EXPECT_FALSE(pdT().destIsValid(PDViewDestination{cosT().newName(doc.cos(), false, nameAtom("Old"))}));
    EXPECT_FALSE(pdT().destIsValid(parsedDest("[ /Fit 1 ]")));
    EXPECT_TRUE(pdT().destIsValid(parsedDest("[ 0 /Fit ]")));
    EXPECT_TRUE(pdT().destIsValid(parsedDest("<< /D [ 0 /Fit ] >>")));
}

}  // namespace
