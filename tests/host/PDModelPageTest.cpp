// PDModel pages: acquiring and releasing, numbers, boxes and default matrices.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace {

using qmtest::FixturePage;
using qmtest::FixtureRect;
using qmtest::FixtureTree;
using qmtest::HostDoc;
using qmtest::hostErrorOf;
using qmtest::cos;
using qmtest::nameAtom;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }
const AppSupportTable& support() { return *qmhost::appSupportTable(); }

ASFixed fx(double value) { return static_cast<ASFixed>(value * 65536.0); }

ASFixedRect rect(double left, double bottom, double right, double top) {
    return ASFixedRect{fx(left), fx(top), fx(right), fx(bottom)};
}

::testing::AssertionResult sameRect(const ASFixedRect& actual, const ASFixedRect& expected) {
    if (actual.left == expected.left && actual.top == expected.top && actual.right == expected.right &&
        actual.bottom == expected.bottom)
        return ::testing::AssertionSuccess();
    auto text = [](const ASFixedRect& r) {
        return "[L " + std::to_string(r.left / 65536.0) + " B " + std::to_string(r.bottom / 65536.0) +
               " R " + std::to_string(r.right / 65536.0) + " T " + std::to_string(r.top / 65536.0) + "]";
    };
    return ::testing::AssertionFailure() << text(actual) << " != " << text(expected);
}

::testing::AssertionResult sameMatrix(const ASFixedMatrix& m, const ASFixedMatrix& e) {
    if (m.a == e.a && m.b == e.b && m.c == e.c && m.d == e.d && m.h == e.h && m.v == e.v)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "[" << m.a << " " << m.b << " " << m.c << " " << m.d << " " << m.h
                                         << " " << m.v << "] != [" << e.a << " " << e.b << " " << e.c << " " << e.d
                                         << " " << e.h << " " << e.v << "]";
}

class PDModelPage : public ::testing::Test {
protected:
    qmtest::FixtureFolder folder;
    HostDoc open(const std::vector<FixturePage>& pages, const FixtureTree& tree = {}) {
        const std::string path = folder.file("pages.pdf");
        qmtest::writeFixturePdf(path, pages, tree);
        return HostDoc::open(path);
    }
    ASFixedRect boxOf(const HostDoc& doc, int32_t index) {
        PDPage page = pd().docAcquirePage(doc.pd(), index);
        ASFixedRect box;
        pd().pageGetBox(page, &box);
        pd().pageRelease(page);
        return box;
    }
};

// --- acquiring

TEST_F(PDModelPage, AcquireOutsideThePagesRaisesBadIndex) {
    HostDoc doc = open(std::vector<FixturePage>(3));
    EXPECT_EQ(hostErrorOf([&] { pd().docAcquirePage(doc.pd(), -1); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { pd().docAcquirePage(doc.pd(), 3); }), kHostErrBadIndex);
    HostDoc empty = HostDoc::create();
    EXPECT_EQ(hostErrorOf([&] { pd().docAcquirePage(empty.pd(), 0); }), kHostErrBadIndex);
}

TEST_F(PDModelPage, PageKnowsItsDocumentNumberAndDictionary) {
    HostDoc doc = open(std::vector<FixturePage>(3));
    PDPage page = pd().docAcquirePage(doc.pd(), 2);
    EXPECT_EQ(pd().pageGetDoc(page), doc.pd());
    EXPECT_EQ(pd().pageGetNumber(page), 2);
    const CosObj dict = pd().pageGetCosObj(page);
    EXPECT_TRUE(cos().objIsIndirect(dict));
    EXPECT_EQ(cos().nameValue(cos().dictGet(dict, nameAtom("Type"))), nameAtom("Page"));
    pd().pageRelease(page);
}

TEST_F(PDModelPage, SamePageAcquiredTwiceGivesTheSameHandle) {
    HostDoc doc = open(std::vector<FixturePage>(2));
    PDPage first = pd().docAcquirePage(doc.pd(), 1);
    PDPage second = pd().docAcquirePage(doc.pd(), 1);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, pd().docAcquirePage(doc.pd(), 0));
    pd().pageRelease(pd().docAcquirePage(doc.pd(), 0));
    pd().pageRelease(pd().docAcquirePage(doc.pd(), 0));
    pd().pageRelease(first);
    pd().pageRelease(second);
}

TEST_F(PDModelPage, PageStaysValidUntilItsLastReferenceIsGivenBack) {
    HostDoc doc = open(std::vector<FixturePage>(1));
    PDPage page = pd().docAcquirePage(doc.pd(), 0);
    pd().pageAcquire(page);
    pd().pageRelease(page);
    EXPECT_EQ(pd().pageGetNumber(page), 0);  // one reference left
    pd().pageRelease(page);
    EXPECT_EQ(hostErrorOf([&] { pd().pageGetNumber(page); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { pd().pageAcquire(page); }), kHostErrBadHandle);
}

TEST_F(PDModelPage, ReleaseOfNullStaleOrClosedPagesIsIgnored) {
    HostDoc doc = open(std::vector<FixturePage>(1));
    PDPage page = pd().docAcquirePage(doc.pd(), 0);
    EXPECT_NO_THROW(pd().pageRelease(nullptr));
    doc.close();
    EXPECT_NO_THROW(pd().pageRelease(page));
    EXPECT_NO_THROW(pd().pageRelease(reinterpret_cast<PDPage>(uintptr_t{0x123456789})));
    EXPECT_EQ(hostErrorOf([&] { pd().pageGetCosObj(page); }), kHostErrBadHandle);
}

// --- boxes

TEST_F(PDModelPage, BoxIsTheNearestCropOrMediaBoxNormalisedElseLetter) {
    FixtureTree nested;
    nested.nested = true;
    nested.inheritedMediaBox = FixtureRect{0, 0, 420, 595};
    FixtureTree bare;
    bare.inheritedMediaBox.reset();
    FixturePage ownMedia, crop, inverted;
    ownMedia.mediaBox = FixtureRect{0, 0, 300, 400};
    crop.cropBox = FixtureRect{36.5, 72, 576, 720.25};
    inverted.mediaBox = FixtureRect{612, 792, 10, 20};
    const struct {
        const char* name;
        std::vector<FixturePage> pages;
        FixtureTree tree;
        int32_t index;
        ASFixedRect expected;
    } rows[] = {
        {"media box inherited through two levels", std::vector<FixturePage>(2), nested, 1, rect(0, 0, 420, 595)},
        {"the inherited media box", {FixturePage{}, ownMedia}, {}, 0, rect(0, 0, 612, 792)},
        {"the page's own media box over the inherited one", {FixturePage{}, ownMedia}, {}, 1, rect(0, 0, 300, 400)},
        {"crop box over the media box", {crop}, {}, 0, rect(36.5, 72, 576, 720.25)},
        {"inverted box normalised", {inverted}, {}, 0, rect(10, 20, 612, 792)},
        {"no box at all: US Letter", {FixturePage{}}, bare, 0, rect(0, 0, 612, 792)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        HostDoc doc = open(row.pages, row.tree);
        EXPECT_TRUE(sameRect(boxOf(doc, row.index), row.expected));
    }
}

// A box that is not an array of four numbers does not count: a bad crop box
// gives way to the media box, a bad media box to US Letter; a crop box on the
// page tree above the page counts as the page's own.
struct BoxRow {
    const char* name;
    std::vector<double> crop;       // empty: none; 3 numbers: a bad one
    bool cropOnParent;              // the crop box sits on the page tree node
    std::vector<double> media;      // the page's own media box; empty: none
    std::vector<double> expected;   // left, bottom, right, top
};

CosObj numbers(CosDoc doc, const std::vector<double>& values) {
    const CosObj array = cos().newArray(doc, false, static_cast<int32_t>(values.size()));
    for (size_t i = 0; i < values.size(); ++i)
        cos().arrayPut(array, static_cast<int32_t>(i), cos().newFixed(doc, false, fx(values[i])));
    return array;
}

TEST_F(PDModelPage, MalformedBoxesGiveWayInOrder) {
    const std::vector<BoxRow> rows = {
        {"good crop box", {10, 20, 300, 400}, false, {0, 0, 500, 600}, {10, 20, 300, 400}},
        {"crop box of three numbers", {10, 20, 300}, false, {0, 0, 500, 600}, {0, 0, 500, 600}},
        {"crop box on the page tree", {5, 6, 200, 300}, true, {0, 0, 500, 600}, {5, 6, 200, 300}},
        {"bad crop box, bad media box", {1, 2}, false, {0, 0, 500}, {0, 0, 612, 792}},
    };
    for (const BoxRow& row : rows) {
        SCOPED_TRACE(row.name);
        FixtureTree tree;
        tree.inheritedMediaBox.reset();
        HostDoc doc = open({FixturePage{}}, tree);
        PDPage page = pd().docAcquirePage(doc.pd(), 0);
        const CosObj dict = pd().pageGetCosObj(page);
        const CosObj cropHolder = row.cropOnParent ? cos().dictGet(dict, nameAtom("Parent")) : dict;
        if (!row.crop.empty()) cos().dictPut(cropHolder, nameAtom("CropBox"), numbers(doc.cos(), row.crop));
        if (!row.media.empty()) cos().dictPut(dict, nameAtom("MediaBox"), numbers(doc.cos(), row.media));
        ASFixedRect box;
        pd().pageGetBox(page, &box);
        pd().pageRelease(page);
        const auto& e = row.expected;
        EXPECT_TRUE(sameRect(box, rect(e[0], e[1], e[2], e[3])));
    }
}

TEST_F(PDModelPage, PagesWithoutOrWithSeveralContentStreamsOpen) {
    HostDoc doc = open({FixturePage{std::nullopt, std::nullopt, std::nullopt, qmtest::FixtureContents::None},
                        FixturePage{std::nullopt, std::nullopt, std::nullopt, qmtest::FixtureContents::StreamArray}});
    PDPage bare = pd().docAcquirePage(doc.pd(), 0);
    PDPage parts = pd().docAcquirePage(doc.pd(), 1);
    EXPECT_FALSE(cos().dictKnown(pd().pageGetCosObj(bare), nameAtom("Contents")));
    const CosObj contents = cos().dictGet(pd().pageGetCosObj(parts), nameAtom("Contents"));
    ASSERT_EQ(cos().objGetType(contents), CosArray);
    EXPECT_EQ(cos().arrayLength(contents), 3);
    pd().pageRelease(bare);
    pd().pageRelease(parts);
}

// --- default matrix

struct RotationRow {
    const char* name;
    int rotate;       // as written in the file
    bool inherited;   // on the page tree instead of the page
    ASFixedMatrix expected;  // for the crop box [50 60 350 560]
};

// Crop box L 50, B 60, R 350, T 560: width 300, height 500.
constexpr ASFixed kOne = kASFixedOne;
constexpr ASFixed L = 50 * kOne, B = 60 * kOne, R = 350 * kOne, T = 560 * kOne;

class PDModelPageRotation : public ::testing::TestWithParam<RotationRow> {
protected:
    qmtest::FixtureFolder folder;
};

TEST_P(PDModelPageRotation, DefaultMatrixPutsTheDisplayedBoxAtTheOrigin) {
    FixturePage page;
    page.cropBox = FixtureRect{50, 60, 350, 560};
    FixtureTree tree;
    if (GetParam().inherited)
        tree.inheritedRotate = GetParam().rotate;
    else
        page.rotate = GetParam().rotate;
    const std::string path = folder.file("rotated.pdf");
    qmtest::writeFixturePdf(path, {page}, tree);
    HostDoc doc = HostDoc::open(path);
    PDPage handle = pd().docAcquirePage(doc.pd(), 0);
    ASFixedMatrix m;
    pd().pageGetDefaultMatrix(handle, &m);
    ASFixedRect box;
    pd().pageGetBox(handle, &box);
    pd().pageRelease(handle);

    EXPECT_TRUE(sameMatrix(m, GetParam().expected));

    ASFixedRect shown;
    support().fixedMatrixTransformRect(&shown, &m, &box);
    const int quarter = ((GetParam().rotate % 360) + 360) % 360;
    const bool sideways = quarter == 90 || quarter == 270;
    EXPECT_TRUE(sameRect(shown, sideways ? rect(0, 0, 500, 300) : rect(0, 0, 300, 500)));

    // The box's top-left corner goes where a clockwise turn puts it on screen.
    const ASFixedPoint topLeft{L, T};
    ASFixedPoint onScreen;
    support().fixedMatrixTransform(&onScreen, &m, &topLeft);
    const ASFixedPoint expectedCorner[] = {{0, 500 * kOne}, {500 * kOne, 300 * kOne}, {300 * kOne, 0}, {0, 0}};
    EXPECT_EQ(onScreen.h, expectedCorner[quarter / 90].h);
    EXPECT_EQ(onScreen.v, expectedCorner[quarter / 90].v);
}

INSTANTIATE_TEST_SUITE_P(
    Rotations, PDModelPageRotation,
    ::testing::Values(RotationRow{"Upright", 0, false, {kOne, 0, 0, kOne, -L, -B}},
                      RotationRow{"Quarter", 90, false, {0, -kOne, kOne, 0, -B, R}},
                      RotationRow{"Half", 180, false, {-kOne, 0, 0, -kOne, R, T}},
                      RotationRow{"ThreeQuarters", 270, false, {0, kOne, -kOne, 0, T, -L}},
                      RotationRow{"MinusQuarterIsThreeQuarters", -90, false, {0, kOne, -kOne, 0, T, -L}},
                      RotationRow{"FullTurnAndAQuarter", 450, false, {0, -kOne, kOne, 0, -B, R}},
                      RotationRow{"MinusThreeQuartersIsQuarter", -270, false, {0, -kOne, kOne, 0, -B, R}},
                      RotationRow{"InheritedQuarter", 90, true, {0, -kOne, kOne, 0, -B, R}},
                      RotationRow{"InheritedThreeQuarters", 270, true, {0, kOne, -kOne, 0, T, -L}}),
    [](const auto& row) { return std::string(row.param.name); });

// The box and the rotation are looked up together in one walk up the page
// tree: each entry must still come from the nearest node that has it, and a
// damaged tree whose /Parent chain loops must end the walk, not hang.
struct InheritedRow {
    const char* name;
    std::optional<FixtureRect> pageCrop, pageMedia;
    std::optional<int> pageRotate, treeRotate;
    bool cropOnMiddleNode;  // a crop box [5 6 200 300] on the node between page and root
    bool rootPointsAtPage;  // the root's /Parent is the page: a loop
    std::vector<double> box;  // expected left, bottom, right, top
    int quarter;              // expected rotation / 90
};

TEST_F(PDModelPage, BoxAndRotationComeFromTheNearestNodeThatHasThem) {
    const std::vector<InheritedRow> rows = {
        {"rotation two levels up, crop box on the page", FixtureRect{50, 60, 350, 560}, std::nullopt,
         std::nullopt, 90, false, false, {50, 60, 350, 560}, 1},
        {"the page's own rotation over the tree's", std::nullopt, FixtureRect{0, 0, 300, 400}, 180, 90, false,
         false, {0, 0, 300, 400}, 2},
        {"crop box half way up over the page's own media box", std::nullopt, FixtureRect{0, 0, 300, 400},
         std::nullopt, 270, true, false, {5, 6, 200, 300}, 3},
        {"the crop box on the page over the one half way up", FixtureRect{1, 2, 100, 200}, std::nullopt,
         std::nullopt, std::nullopt, true, false, {1, 2, 100, 200}, 0},
        {"a looping tree ends the walk", std::nullopt, std::nullopt, std::nullopt, std::nullopt, false, true,
         {0, 0, 420, 595}, 0},
    };
    for (const InheritedRow& row : rows) {
        SCOPED_TRACE(row.name);
        FixturePage fixture;
        fixture.cropBox = row.pageCrop;
        fixture.mediaBox = row.pageMedia;
        fixture.rotate = row.pageRotate;
        FixtureTree tree;
        tree.nested = true;
        tree.inheritedMediaBox = FixtureRect{0, 0, 420, 595};
        tree.inheritedRotate = row.treeRotate;
        HostDoc doc = open({fixture}, tree);
        PDPage page = pd().docAcquirePage(doc.pd(), 0);
        const CosObj dict = pd().pageGetCosObj(page);
        const CosObj middle = cos().dictGet(dict, nameAtom("Parent"));
        if (row.cropOnMiddleNode) cos().dictPut(middle, nameAtom("CropBox"), numbers(doc.cos(), {5, 6, 200, 300}));
        if (row.rootPointsAtPage) cos().dictPut(cos().dictGet(middle, nameAtom("Parent")), nameAtom("Parent"), dict);
        ASFixedRect box;
        pd().pageGetBox(page, &box);
        ASFixedMatrix m;
        pd().pageGetDefaultMatrix(page, &m);
        pd().pageRelease(page);
        const auto& e = row.box;
        EXPECT_TRUE(sameRect(box, rect(e[0], e[1], e[2], e[3])));
        // The default matrix shows the same box, turned by the rotation found.
        const ASFixedMatrix turns[] = {{kOne, 0, 0, kOne, -box.left, -box.bottom},
                                       {0, -kOne, kOne, 0, -box.bottom, box.right},
                                       {-kOne, 0, 0, -kOne, box.right, box.top},
                                       {0, kOne, -kOne, 0, box.top, -box.left}};
        EXPECT_TRUE(sameMatrix(m, turns[row.quarter]));
    }
}

TEST_F(PDModelPage, NullResultPointersAreRefused) {
    HostDoc doc = open(std::vector<FixturePage>(1));
    PDPage page = pd().docAcquirePage(doc.pd(), 0);
    EXPECT_EQ(hostErrorOf([&] { pd().pageGetBox(page, nullptr); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pd().pageGetDefaultMatrix(page, nullptr); }), kHostErrBadParameter);
    pd().pageRelease(page);
}

}  // namespace
