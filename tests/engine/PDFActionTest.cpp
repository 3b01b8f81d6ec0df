// CPDFAction: view types, zoom, border, and building and resolving link
// actions in real documents of the host.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "engine/CPDFAction.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace {

ASAtom Atom(const char* inName) { return gCoreHFT->atomFromString(inName); }

class ActionTest : public testing::Test {
protected:
    void SetUp() override { qmtest::StartLinkedPlugin(); }
};

// --- view types

struct ViewTypeCase {
    const char* name;
    const char* viewType;
    ASFixed zoom;
    int32_t index;
};

class ViewTypeIndexTest : public ActionTest, public testing::WithParamInterface<ViewTypeCase> {};

TEST_P(ViewTypeIndexTest, FollowsTheTable) {
    const ViewTypeCase& c = GetParam();
    EXPECT_EQ(ViewTypeIndex(Atom(c.viewType), c.zoom), c.index);
}

INSTANTIATE_TEST_SUITE_P(
    CPDFAction, ViewTypeIndexTest,
    testing::Values(ViewTypeCase{"XYZUnsetZoom", "XYZ", kPDViewDestNullZoom, 0},
                    ViewTypeCase{"XYZWithZoom", "XYZ", 98304, 1},
                    ViewTypeCase{"XYZWithZeroZoom", "XYZ", 0, 1},
                    ViewTypeCase{"FitH", "FitH", kPDViewDestNullZoom, 2},
                    ViewTypeCase{"FitV", "FitV", 0, 3}, ViewTypeCase{"Fit", "Fit", 0, 4},
                    ViewTypeCase{"FitB", "FitB", 0, 5}, ViewTypeCase{"FitR", "FitR", 0, 6},
                    ViewTypeCase{"FitBH", "FitBH", 0, 7}, ViewTypeCase{"FitBV", "FitBV", 65536, 8},
                    ViewTypeCase{"Unknown", "QuillmarkNoView", 65536, 0}),
    [](const testing::TestParamInfo<ViewTypeCase>& row) { return std::string(row.param.name); });

TEST_F(ActionTest, NullAtomIsTheFirstViewType) { EXPECT_EQ(ViewTypeIndex(kASAtomNull, 65536), 0); }

TEST_F(ActionTest, DefaultsAreXYZWithoutZoomAndNoAction) {
    CPDFAction action;
    EXPECT_EQ(action.GetViewType(), Atom("XYZ"));
    EXPECT_EQ(action.GetZoom(), kPDViewDestNullZoom);
    EXPECT_FALSE(action.IsValid());
    EXPECT_EQ(action.GetDocument(), nullptr);
    EXPECT_EQ(action.GetBasePath(), nullptr);
    EXPECT_STREQ(action.GetErrorText(), "");
    PDLinkBorder border;
    std::memset(&border, 0x5A, sizeof border);
    action.GetBorder(border);
    EXPECT_EQ(border.width, 0);
    EXPECT_EQ(border.dashArrayLen, 0);
    EXPECT_EQ(border.hCornerRadius, 0);
}

TEST_F(ActionTest, SetViewTypeZeroUnsetsTheZoomOneKeepsItNineIsIgnored) {
    CPDFAction action;
    ASSERT_TRUE(action.SetZoom(2.0f));
    action.SetViewType(4);
    EXPECT_EQ(action.GetViewType(), Atom("Fit"));
    action.SetViewType(1);
    EXPECT_EQ(action.GetViewType(), Atom("XYZ"));
    EXPECT_EQ(action.GetZoom(), 2 * kASFixedOne);
    action.SetViewType(8);
    action.SetViewType(9);
    action.SetViewType(-1);
    EXPECT_EQ(action.GetViewType(), Atom("FitBV"));
    EXPECT_EQ(action.GetZoom(), 2 * kASFixedOne);
    action.SetViewType(0);
    EXPECT_EQ(action.GetViewType(), Atom("XYZ"));
    EXPECT_EQ(action.GetZoom(), kPDViewDestNullZoom);
}

TEST_F(ActionTest, SetZoomTakesOnlyPositiveValues) {
    CPDFAction action;
    EXPECT_TRUE(action.SetZoom(1.5f));
    EXPECT_EQ(action.GetZoom(), 98304);
    EXPECT_FALSE(action.SetZoom(0.0f));
    EXPECT_FALSE(action.SetZoom(-1.0f));
    EXPECT_FALSE(action.SetZoom(std::nanf("")));
    EXPECT_EQ(action.GetZoom(), 98304);
}

struct DashCase {
    int32_t style;
    int32_t count;
    ASFixed first, second;
};

class BorderDashTest : public ActionTest, public testing::WithParamInterface<DashCase> {};

TEST_P(BorderDashTest, SetsTheCountAndTheValuesInPoints) {
    const DashCase& c = GetParam();
    CPDFAction action;
    ASSERT_TRUE(action.SetBorderDash(4));  // something else first
    ASSERT_TRUE(action.SetBorderDash(c.style));
    PDLinkBorder border{};
    action.GetBorder(border);
    EXPECT_EQ(border.dashArrayLen, c.count);
    EXPECT_EQ(border.dashArray[0], c.count > 0 ? c.first : 0);
    EXPECT_EQ(border.dashArray[1], c.count > 1 ? c.second : 0);
}

INSTANTIATE_TEST_SUITE_P(CPDFAction, BorderDashTest,
                         testing::Values(DashCase{0, 0, 0, 0}, DashCase{1, 1, 3 << 16, 0},
                                         DashCase{2, 1, 2 << 16, 0}, DashCase{3, 2, 2 << 16, 1 << 16},
                                         DashCase{4, 2, 3 << 16, 5 << 16}, DashCase{5, 2, 2 << 16, 3 << 16}),
                         [](const testing::TestParamInfo<DashCase>& row) {
                             return "Style" + std::to_string(row.param.style);
                         });

TEST_F(ActionTest, UnknownDashStyleAndNegativeWidthChangeNothing) {
    CPDFAction action;
    ASSERT_TRUE(action.SetBorderDash(3));
    ASSERT_TRUE(action.SetBorderWidth(2 << 16));
    EXPECT_FALSE(action.SetBorderDash(6));
    EXPECT_FALSE(action.SetBorderDash(-1));
    EXPECT_FALSE(action.SetBorderWidth(-1));
    PDLinkBorder border{};
    action.GetBorder(border);
    EXPECT_EQ(border.dashArrayLen, 2);
    EXPECT_EQ(border.width, 2 << 16);
}

TEST_F(ActionTest, BasePathIsReplacedAndEmptyLeavesNone) {
    CPDFAction action;
    EXPECT_TRUE(action.SetBasePath("/tmp/quillmark/base.pdf"));
    ASSERT_NE(action.GetBasePath(), nullptr);
    char text[256] = {};
    gAppSupportHFT->pathGetText(action.GetBasePath(), text, sizeof text);
    EXPECT_STREQ(text, "/tmp/quillmark/base.pdf");
    EXPECT_TRUE(action.SetBasePath(""));
    EXPECT_EQ(action.GetBasePath(), nullptr);
    EXPECT_TRUE(action.SetBasePath(nullptr));
    EXPECT_EQ(action.GetBasePath(), nullptr);
}

TEST_F(ActionTest, BuildersWithoutDocumentOrPathAnswerFalse) {
    CPDFAction action;
    EXPECT_FALSE(action.MakeGoToAction(0));
    EXPECT_FALSE(action.MakeGoToRAction("/tmp/a.pdf", 0));
    EXPECT_FALSE(action.MakeLaunchAction("/tmp/a.pdf"));
    EXPECT_FALSE(action.MakeURIAction("https://example.org/"));
    EXPECT_FALSE(action.ResolveGoTo());
    qmtest::HostDoc doc = qmtest::HostDoc::create();
    action.SetDocument(doc.pd());
    EXPECT_FALSE(action.MakeGoToRAction("", 0));
    EXPECT_FALSE(action.MakeLaunchAction(nullptr));
    EXPECT_FALSE(action.MakeURIAction(""));
    EXPECT_FALSE(action.IsValid());
}

// --- building and resolving in documents

class ActionDocTest : public ActionTest {
protected:
    // A document of `pages` pages, held for the test.
    PDDoc OpenDoc(int inPages) {
        const std::string path = mFolder.file("doc" + std::to_string(mDocs.size()) + ".pdf");
        qmtest::writeSimplePdf(path, inPages);
        mDocs.push_back(std::make_unique<qmtest::HostDoc>(qmtest::HostDoc::open(path)));
        return mDocs.back()->pd();
    }
    CosDoc CosOf(PDDoc inDoc) { return gPDModelHFT->docGetCosDoc(inDoc); }
    CosObj PageObj(PDDoc inDoc, int32_t inPage) {
        PDPage page = gPDModelHFT->docAcquirePage(inDoc, inPage);
        const CosObj dict = gPDModelHFT->pageGetCosObj(page);
        gPDModelHFT->pageRelease(page);
        return dict;
    }
    // A "GoTo" action in inDoc whose /D is inDest.
    PDAction GoToWith(PDDoc inDoc, CosObj inDest) {
        const PDAction action = gPDModelHFT->actionNew(inDoc, Atom("GoTo"));
        gCosHFT->dictPut(action.cos, Atom("D"), inDest);
        return action;
    }
    CosObj DestArray(PDDoc inDoc, CosObj inFirst, const char* inFit) {
        const CosObj array = gCosHFT->newArray(CosOf(inDoc), false, 2);
        gCosHFT->arrayPut(array, 0, inFirst);
        gCosHFT->arrayPut(array, 1, gCosHFT->newName(CosOf(inDoc), false, Atom(inFit)));
        return array;
    }
    // The page number that the action's destination names in inDoc.
    int32_t TargetPage(const CPDFAction& inAction, PDDoc inDoc) {
        const PDViewDestination dest = gPDModelHFT->actionGetDest(inAction.GetAction());
        int32_t page = -2;
        ASAtom fit = kASAtomNull;
        ASFixedRect rect{};
        ASFixed zoom = 0;
        gPDModelHFT->destGetAttr(dest, inDoc, &page, &fit, &rect, &zoom);
        return page;
    }

    qmtest::FixtureFolder mFolder;
    std::vector<std::unique_ptr<qmtest::HostDoc>> mDocs;
};

TEST_F(ActionDocTest, URIActionHoldsTheURIAndResolvesUnchanged) {
    PDDoc doc = OpenDoc(1);
    CPDFAction action;
    action.SetDocument(doc);
    ASSERT_TRUE(action.MakeURIAction("https://example.org/a?b=1")) << action.GetErrorText();
    ASSERT_TRUE(action.IsValid());
    EXPECT_EQ(gPDModelHFT->actionGetSubtype(action.GetAction()), Atom("URI"));
    const CosObj uri = gCosHFT->dictGet(action.GetAction().cos, Atom("URI"));
    int32_t length = 0;
    const char* bytes = gCosHFT->stringValue(uri, &length);
    ASSERT_GE(length, 0);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(length)), "https://example.org/a?b=1");
    const PDAction before = action.GetAction();
    EXPECT_TRUE(action.ResolveGoTo());
    EXPECT_TRUE(gCosHFT->objEqual(action.GetAction().cos, before.cos));
}

TEST_F(ActionDocTest, LaunchActionNamesTheFileRelativeToTheBasePath) {
    PDDoc doc = OpenDoc(1);
    CPDFAction action;
    action.SetDocument(doc);
    ASSERT_TRUE(action.SetBasePath((mFolder.path() + "/doc0.pdf").c_str()));
    ASSERT_TRUE(action.MakeLaunchAction((mFolder.path() + "/sub/report.pdf").c_str()))
        << action.GetErrorText();
    EXPECT_EQ(gPDModelHFT->actionGetSubtype(action.GetAction()), Atom("Launch"));
    const PDFileSpec spec{gCosHFT->dictGet(action.GetAction().cos, Atom("F"))};
    char text[512] = {};
    gPDModelHFT->fileSpecGetText(spec, text, sizeof text);
    EXPECT_STREQ(text, "sub/report.pdf");
    const PDAction before = action.GetAction();
    EXPECT_TRUE(action.ResolveGoTo());
    EXPECT_TRUE(gCosHFT->objEqual(action.GetAction().cos, before.cos));
}

TEST_F(ActionDocTest, GoToRActionHoldsThePageAndFit) {
    PDDoc doc = OpenDoc(1);
    CPDFAction action;
    action.SetDocument(doc);
    ASSERT_TRUE(action.MakeGoToRAction((mFolder.path() + "/other.pdf").c_str(), 3))
        << action.GetErrorText();
    const CosObj cos = action.GetAction().cos;
    EXPECT_EQ(gPDModelHFT->actionGetSubtype(action.GetAction()), Atom("GoToR"));
    const CosObj dest = gCosHFT->dictGet(cos, Atom("D"));
    ASSERT_EQ(gCosHFT->objGetType(dest), CosArray);
    ASSERT_EQ(gCosHFT->arrayLength(dest), 2);
    EXPECT_EQ(gCosHFT->integerValue(gCosHFT->arrayGet(dest, 0)), 3);
    EXPECT_EQ(gCosHFT->nameValue(gCosHFT->arrayGet(dest, 1)), Atom("Fit"));
    EXPECT_TRUE(gPDModelHFT->fileSpecIsValid(PDFileSpec{gCosHFT->dictGet(cos, Atom("F"))}));
}

TEST_F(ActionDocTest, GoToActionPointsAtThePageOfTheDocument) {
    PDDoc doc = OpenDoc(3);
    CPDFAction action;
    action.SetDocument(doc);
    action.SetViewType(4);
    ASSERT_TRUE(action.MakeGoToAction(1)) << action.GetErrorText();
    EXPECT_EQ(gPDModelHFT->actionGetSubtype(action.GetAction()), Atom("GoTo"));
    EXPECT_EQ(TargetPage(action, doc), 1);
    EXPECT_TRUE(action.ResolveGoTo());
    EXPECT_EQ(TargetPage(action, doc), 1);
}

TEST_F(ActionDocTest, FailedBuildKeepsTheActionAndStoresTheMessage) {
    PDDoc doc = OpenDoc(2);
    CPDFAction action;
    action.SetDocument(doc);
    ASSERT_TRUE(action.MakeURIAction("https://example.org/"));
    const PDAction before = action.GetAction();
    EXPECT_FALSE(action.MakeGoToAction(7));
    EXPECT_STRNE(action.GetErrorText(), "");
    EXPECT_TRUE(gCosHFT->objEqual(action.GetAction().cos, before.cos));
}

TEST_F(ActionDocTest, ResolveGoToTurnsAnIntegerPageIntoThatPage) {
    PDDoc carrier = OpenDoc(1);
    PDDoc target = OpenDoc(3);
    CPDFAction action;
    action.SetAction(GoToWith(carrier, DestArray(carrier, gCosHFT->newInteger(CosOf(carrier), false, 2), "Fit")));
    action.SetDocument(target);
    ASSERT_TRUE(action.ResolveGoTo()) << action.GetErrorText();
    EXPECT_EQ(gCosHFT->objGetDoc(action.GetAction().cos), CosOf(target));
    EXPECT_EQ(TargetPage(action, target), 2);
}

TEST_F(ActionDocTest, ResolveGoToFindsANamedDestinationOfTheDocument) {
    PDDoc carrier = OpenDoc(1);
    PDDoc target = OpenDoc(3);
    // /Dests << /Chapter [page 1 /Fit] >> in the target's catalog.
    const CosObj dests = gCosHFT->newDict(CosOf(target), true, 1);
    gCosHFT->dictPut(dests, Atom("Chapter"), DestArray(target, PageObj(target, 1), "Fit"));
    gCosHFT->dictPut(gCosHFT->docGetRoot(CosOf(target)), Atom("Dests"), dests);
    CPDFAction action;
    action.SetAction(GoToWith(carrier, gCosHFT->newName(CosOf(carrier), false, Atom("Chapter"))));
    action.SetDocument(target);
    ASSERT_TRUE(action.ResolveGoTo()) << action.GetErrorText();
    EXPECT_EQ(TargetPage(action, target), 1);
}

TEST_F(ActionDocTest, ResolveGoToOfAPageOfTheCarrierPointsToThatPageHere) {
    // A stored action's carrier document points at its own page 2; in the stamped
    // document it stands for page 2, and nothing of the carrier is taken over.
    PDDoc carrier = OpenDoc(3);
    PDDoc target = OpenDoc(3);
    CPDFAction action;
    action.SetAction(GoToWith(carrier, DestArray(carrier, PageObj(carrier, 2), "Fit")));
    action.SetDocument(target);
    ASSERT_TRUE(action.ResolveGoTo()) << action.GetErrorText();
    EXPECT_EQ(gCosHFT->objGetDoc(action.GetAction().cos), CosOf(target));
    EXPECT_EQ(TargetPage(action, target), 2);
}

TEST_F(ActionDocTest, ResolveGoToKeepsAPageOfTheDocumentItself) {
    PDDoc doc = OpenDoc(3);
    CPDFAction action;
    action.SetAction(GoToWith(doc, DestArray(doc, PageObj(doc, 2), "FitH")));
    action.SetDocument(doc);
    ASSERT_TRUE(action.ResolveGoTo()) << action.GetErrorText();
    EXPECT_EQ(TargetPage(action, doc), 2);
}

TEST_F(ActionDocTest, ResolveGoToOfAPageBeyondTheDocumentFails) {
    PDDoc carrier = OpenDoc(1);
    PDDoc target = OpenDoc(2);
    CPDFAction action;
    const PDAction original =
        GoToWith(carrier, DestArray(carrier, gCosHFT->newInteger(CosOf(carrier), false, 5), "Fit"));
    action.SetAction(original);
    action.SetDocument(target);
    EXPECT_FALSE(action.ResolveGoTo());
    EXPECT_TRUE(gCosHFT->objEqual(action.GetAction().cos, original.cos));
}

TEST_F(ActionDocTest, ResolveGoToWithoutDocumentFails) {
    PDDoc carrier = OpenDoc(1);
    CPDFAction action;
    action.SetAction(GoToWith(carrier, DestArray(carrier, gCosHFT->newInteger(CosOf(carrier), false, 0), "Fit")));
    ASSERT_TRUE(action.IsValid());
    EXPECT_FALSE(action.ResolveGoTo());
}

}  // namespace
