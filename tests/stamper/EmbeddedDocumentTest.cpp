// A whole PDF document kept as a binary cabinet value: stored, read back into
// a temporary file, read defensively (the stored length only, damaged bytes),
// and used as a stamp's link action.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "StampRunFixture.h"
#include "engine/CPDFElement.h"
#include "stamper/CCabinet.h"
#include "stamper/CTextStamp.h"
#include "stamper/RunWarnings.h"
#include "stamper/StampKeys.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"

namespace {

namespace fs = std::filesystem;
using stamptest::StampCab;

ASAtom Key(const char* name) { return gCoreHFT->atomFromString(name); }

// A document of pageCount pages whose first top-level bookmark carries the
// action that makeAction builds in it (none when makeAction is empty).
PDDoc MakeActionDocument(int pageCount, const std::function<PDAction(PDDoc)>& makeAction) {
    const PDDoc doc = gPDModelHFT->docCreate();
    const ASFixedRect box{0, 792 << 16, 612 << 16, 0};
    for (int i = 0; i < pageCount; ++i) gPDModelHFT->pageRelease(gPDModelHFT->docCreatePage(doc, i - 1, &box));
    if (!makeAction) return doc;
    const CosDoc cos = gPDModelHFT->docGetCosDoc(doc);
    const CosObj outlines = gCosHFT->newDict(cos, true, 3);
    const CosObj item = gCosHFT->newDict(cos, true, 3);
    gCosHFT->dictPut(item, Key("Title"), gCosHFT->newString(cos, false, "Link", 4));
    gCosHFT->dictPut(item, Key("Parent"), outlines);
    gCosHFT->dictPut(item, Key("A"), makeAction(doc).cos);
    gCosHFT->dictPut(outlines, Key("First"), item);
    gCosHFT->dictPut(outlines, Key("Last"), item);
    gCosHFT->dictPut(gCosHFT->docGetRoot(cos), Key("Outlines"), outlines);
    return doc;
}

// A "GoTo" action to [page /Fit], page given as a number.
PDAction GoToNumber(PDDoc doc, int32_t page) {
    const CosDoc cos = gPDModelHFT->docGetCosDoc(doc);
    const PDAction action = gPDModelHFT->actionNew(doc, Key("GoTo"));
    const CosObj dest = gCosHFT->newArray(cos, false, 2);
    gCosHFT->arrayPut(dest, 0, gCosHFT->newInteger(cos, false, page));
    gCosHFT->arrayPut(dest, 1, gCosHFT->newName(cos, false, Key("Fit")));
    gCosHFT->dictPut(action.cos, Key("D"), dest);
    return action;
}

// The page number that the destination of the first link annotation of page
// pageIndex leads to; -1 when it has none.
int32_t LinkTarget(PDDoc doc, int32_t pageIndex) {
    PDPage page = gPDModelHFT->docAcquirePage(doc, pageIndex);
    int32_t target = -1;
    for (int32_t i = 0; i < gPDModelHFT->pageGetNumAnnots(page) && target < 0; ++i) {
        const PDAnnot annot = gPDModelHFT->pageGetAnnot(page, i);
        if (gPDModelHFT->annotGetSubtype(annot) != Key("Link")) continue;
        const CosObj action = gCosHFT->dictGet(annot.cos, Key("A"));
        const CosObj dest = gCosHFT->dictGet(action, Key("D"));
        if (gCosHFT->objGetType(dest) == CosArray)
            target = gPDModelHFT->docGetPageNumberOfCosObj(doc, gCosHFT->arrayGet(dest, 0));
    }
    gPDModelHFT->pageRelease(page);
    return target;
}

class EmbeddedDocumentTest : public stamptest::StampRunTest {
protected:
    void SetUp() override {
        StampRunTest::SetUp();
        const char* old = std::getenv("TMPDIR");
        mOldTmp = old ? old : "";
        mHadTmp = old != nullptr;
        mTmp = mFolder.file("tmp");
        fs::create_directories(mTmp);
        setenv("TMPDIR", mTmp.c_str(), 1);
    }
    void TearDown() override {
        if (mHadTmp)
            setenv("TMPDIR", mOldTmp.c_str(), 1);
        else
            unsetenv("TMPDIR");
        StampRunTest::TearDown();
    }
    size_t TempFiles() const {
        size_t n = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(mTmp)) ++n;
        return n;
    }
    // Puts doc (then closed) under "kActionC" of cab.
    void Embed(CCabinet& cab, PDDoc doc) {
        ASSERT_TRUE(cab.PutEmbeddedDocument(kKeyAction, doc));
        gPDModelHFT->docClose(doc);
    }
    // Opens what cab holds, answers its page count (-1 for none) and cleans up.
    int32_t PagesOfEmbedded(const CCabinet& cab) {
        TFileSpecifier temp;
        const PDDoc doc = cab.GetEmbeddedDocument(kKeyAction, temp);
        if (!doc) {
            EXPECT_TRUE(temp.IsEmpty());
            return -1;
        }
        EXPECT_TRUE(fs::exists(temp.GetPath()));
        const int32_t pages = gPDModelHFT->docGetNumPages(doc);
        gPDModelHFT->docClose(doc);
        fs::remove(temp.GetPath());
        return pages;
    }

    std::string mTmp;
    std::string mOldTmp;
    bool mHadTmp = false;
};

TEST_F(EmbeddedDocumentTest, DocumentComesBackWholeAndNoTemporaryFileStays) {
    CCabinet cab;
    Embed(cab, MakeActionDocument(3, {}));
    int64_t size = 0;
    ASSERT_NE(cab.GetBinary(kKeyAction, &size), nullptr);
    EXPECT_GT(size, 0);
    EXPECT_EQ(gASExtraHFT->cabGetInt(cab.GetCab(), "kActionCFileSize", -1), size);
    EXPECT_EQ(TempFiles(), 0u) << "the saved copy is deleted";
    EXPECT_EQ(PagesOfEmbedded(cab), 3);
    EXPECT_EQ(TempFiles(), 0u);
}

TEST_F(EmbeddedDocumentTest, NoDocumentIsStoredForANullDocument) {
    CCabinet cab;
    EXPECT_FALSE(cab.PutEmbeddedDocument(kKeyAction, nullptr));
    EXPECT_FALSE(gASExtraHFT->cabKnown(cab.GetCab(), kKeyAction));
}

struct MissingRow {
    const char* name;
    std::function<void(ASCab)> fill;
};

class EmbeddedDocumentMissing : public EmbeddedDocumentTest, public testing::WithParamInterface<MissingRow> {};

TEST_P(EmbeddedDocumentMissing, GivesNoDocumentAndLeavesNoFile) {
    CCabinet cab;
    GetParam().fill(cab.GetCab());
    EXPECT_EQ(PagesOfEmbedded(cab), -1);
    EXPECT_EQ(TempFiles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Values, EmbeddedDocumentMissing,
    testing::Values(MissingRow{"NoKey", [](ASCab) {}},
                    MissingRow{"IntegerUnderTheKey", [](ASCab cab) { gASExtraHFT->cabPutInt(cab, kKeyAction, 7); }},
                    MissingRow{"EmptyBlock", [](ASCab cab) { gASExtraHFT->cabPutBinary(cab, kKeyAction, "", 0); }},
                    MissingRow{"NotAPdf",
                               [](ASCab cab) { gASExtraHFT->cabPutBinary(cab, kKeyAction, "hello, world", 12); }},
                    MissingRow{"SizeKeyWithoutBlock",
                               [](ASCab cab) { gASExtraHFT->cabPutInt(cab, "kActionCFileSize", 4096); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(EmbeddedDocumentTest, ForgedFileSizeIsNeverTrusted) {
    CCabinet cab;
    Embed(cab, MakeActionDocument(2, {}));
    for (int32_t forged : {1, 100, 0x7fffffff, -5}) {
        gASExtraHFT->cabPutInt(cab.GetCab(), "kActionCFileSize", forged);
        EXPECT_EQ(PagesOfEmbedded(cab), 2) << forged;
    }
    EXPECT_EQ(TempFiles(), 0u);
}

TEST_F(EmbeddedDocumentTest, DamagedBytesGiveADocumentOrNoneNeverACrash) {
    CCabinet cab;
    Embed(cab, MakeActionDocument(2, [](PDDoc doc) { return GoToNumber(doc, 1); }));
    int64_t size = 0;
    const auto* block = static_cast<const char*>(cab.GetBinary(kKeyAction, &size));
    const std::string original(block, static_cast<size_t>(size));
    const PDDoc target = DocOf(OpenView(WritePdf("target.pdf", 2)));
    uint32_t state = 0x2545F491u;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    int opened = 0;
    for (int round = 0; round < 150; ++round) {
        std::string bytes = original;
        const int edits = 1 + static_cast<int>(next() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = next() % bytes.size();
            switch (next() % 3) {
                case 0: bytes[at] = static_cast<char>(next()); break;
                case 1: bytes.resize(at + 1); break;
                default: bytes.insert(at, std::string(next() % 40, static_cast<char>(next()))); break;
            }
        }
        gASExtraHFT->cabPutBinary(cab.GetCab(), kKeyAction, bytes.data(), static_cast<int64_t>(bytes.size()));
        if (PagesOfEmbedded(cab) >= 0) ++opened;
        // A stamp with such an action is still built: at worst it has no link.
        CTextStamp stamp(cab.GetCab());
        stamp.SetNoLog(true);
        stamp.Build(target);
        EXPECT_TRUE(stamp.IsBuilt()) << "round " << round;
    }
    EXPECT_GT(opened, 0) << "some damage is repaired";
    EXPECT_EQ(TempFiles(), 0u);
}

// --- the stamp's link action

class StampActionTest : public EmbeddedDocumentTest {
protected:
    void SetUp() override {
        EmbeddedDocumentTest::SetUp();
        mTarget = DocOf(OpenView(WritePdf("target.pdf", 3)));
    }
    StampCab StampWithAction(PDDoc actionDoc) {
        StampCab cab = stamptest::VisibleTextStamp("Linked", "link here");
        CCabinet wrapper(cab.Get());
        Embed(wrapper, actionDoc);
        return cab;
    }
    PDDoc mTarget = nullptr;
};

TEST_F(StampActionTest, GoToActionLeadsToThePageOfTheTargetDocument) {
    StampCab cab = StampWithAction(MakeActionDocument(3, [](PDDoc doc) { return GoToNumber(doc, 2); }));
    CTextStamp stamp(cab.Get());
    EXPECT_TRUE(stamp.Apply(mTarget, false));
    for (int32_t page = 0; page < 3; ++page) EXPECT_EQ(LinkTarget(mTarget, page), 2) << page;
    EXPECT_EQ(TempFiles(), 0u);
}

TEST_F(StampActionTest, DestinationNamingAPageObjectOfTheActionDocumentStillResolves) {
    StampCab cab = StampWithAction(MakeActionDocument(2, [](PDDoc doc) {
        const PDAction action = GoToNumber(doc, 0);
        PDPage page = gPDModelHFT->docAcquirePage(doc, 1);
        gCosHFT->arrayPut(gCosHFT->dictGet(action.cos, Key("D")), 0, gPDModelHFT->pageGetCosObj(page));
        gPDModelHFT->pageRelease(page);
        return action;
    }));
    CTextStamp stamp(cab.Get());
    EXPECT_TRUE(stamp.Apply(mTarget, false));
    EXPECT_EQ(LinkTarget(mTarget, 0), 1);
}

// A link that cannot be made is a warning: the stamp is written without it,
// the run does not fail, and the log and the warning say which stamp and why.
TEST_F(StampActionTest, LinkThatCannotBeMadeIsAWarningAndTheStampStillWritten) {
    struct Row {
        const char* name;
        std::function<void(StampCab&)> action;
        const char* reason;
    };
    const Row rows[] = {
        {"GoToAPageTheTargetLacks",
         [&](StampCab& cab) {
             CCabinet wrapper(cab.Get());
             Embed(wrapper, MakeActionDocument(1, [](PDDoc doc) { return GoToNumber(doc, 7); }));
         },
         "destination"},
        {"ActionDocumentThatIsNoPdf",
         [](StampCab& cab) { gASExtraHFT->cabPutBinary(cab.Get(), kKeyAction, "not a pdf", 9); },
         "cannot be read"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PDDoc target = DocOf(OpenView(WritePdf(std::string(row.name) + ".pdf", 3)));
        StampCab cab = stamptest::VisibleTextStamp("Linked", "link here");
        row.action(cab);
        qmtest::TakeWarnings();
        BeginRunWarnings();
        ClearErrorMessage();
        CTextStamp stamp(cab.Get());
        EXPECT_TRUE(stamp.Apply(target, false)) << "a link that cannot be made fails nothing";
        EXPECT_FALSE(HasErrorMessage()) << GetErrorMessage();
        const std::vector<std::string> warnings = qmtest::TakeWarnings();
        ASSERT_EQ(warnings.size(), 1u);
        for (const char* part : {"\"Linked\"", "不能设置选择的动作", row.reason})
            EXPECT_NE(warnings[0].find(part), std::string::npos) << part << " in " << warnings[0];
        EXPECT_NE(LogText().find(warnings[0] + "\n"), std::string::npos) << LogText();
        for (int32_t page = 0; page < 3; ++page) {
            const stamptest::PageState state = stamptest::ReadPageState(target, page);
            EXPECT_GT(state.contents.size(), 1u) << "written without a link";
            EXPECT_TRUE(state.annotations.empty());
        }
        EXPECT_EQ(TempFiles(), 0u);
    }
}

TEST_F(StampActionTest, ActionDocumentWithoutBookmarkMeansNoLink) {
    StampCab cab = StampWithAction(MakeActionDocument(1, {}));
    CTextStamp stamp(cab.Get());
    EXPECT_TRUE(stamp.Apply(mTarget, false));
    EXPECT_FALSE(HasErrorMessage());
    EXPECT_TRUE(stamptest::ReadPageState(mTarget, 0).annotations.empty());
}

TEST_F(StampActionTest, OtherActionsAreCopiedAsTheyAre) {
    StampCab cab = StampWithAction(MakeActionDocument(1, [](PDDoc doc) {
        const PDAction action = gPDModelHFT->actionNew(doc, Key("URI"));
        gCosHFT->dictPut(action.cos, Key("URI"),
                         gCosHFT->newString(gPDModelHFT->docGetCosDoc(doc), false, "https://example.org", 19));
        return action;
    }));
    CTextStamp stamp(cab.Get());
    EXPECT_TRUE(stamp.Apply(mTarget, false));
    PDPage page = gPDModelHFT->docAcquirePage(mTarget, 1);
    ASSERT_EQ(gPDModelHFT->pageGetNumAnnots(page), 1);
    const CosObj action = gCosHFT->dictGet(gPDModelHFT->pageGetAnnot(page, 0).cos, Key("A"));
    int32_t length = 0;
    const char* uri = gCosHFT->stringValue(gCosHFT->dictGet(action, Key("URI")), &length);
    ASSERT_GE(length, 0);
    EXPECT_EQ(std::string(uri, static_cast<size_t>(length)), "https://example.org");
    gPDModelHFT->pageRelease(page);
}

}  // namespace
