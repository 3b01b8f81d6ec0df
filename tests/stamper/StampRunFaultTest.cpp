// A stamping run on an open document over a host that fails on demand: for
// key members of the tables a run stamps through, each call that a clean run
// makes is failed in turn. A run that fails says why (the message buffer,
// shown); whatever it stamped before the failure is a sound document, and
// undo takes it all back, leaving each page as it was or as the run's
// wrapping left it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "common/FaultInjectingHost.h"
#include "common/ImageFixtures.h"
#include "common/MemberFaultRow.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoController.h"
#include "stamper/StampKeys.h"
#include "stamper/StampingRun.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/HostVersion.h"

namespace {

using stamptest::AllPageStates;
using stamptest::PageState;
using stamptest::StampCab;

// The pages' states for a failure message: content pieces, resources, annotations.
std::string Describe(const std::vector<PageState>& pages) {
    std::ostringstream out;
    for (const PageState& page : pages) {
        out << "\n  contents:";
        for (const std::string& piece : page.contents) out << " [" << piece.substr(0, 30) << "]";
        out << " resources:";
        for (const std::string& name : page.resources) out << " " << name;
        out << " annotations: " << page.annotations.size();
    }
    return out.str();
}

// A visible image stamp of file, left points from the left and 36 from the top.
StampCab ImageStamp(const std::string& name, const std::string& file, double left) {
    StampCab cab;
    cab.Int(kKeyStampType, kStampTypeImage)
        .String(kKeyStampName, name)
        .Text(kKeySourceFile, file)
        .Int(kKeySourceSize, 100)
        .Int(kKeyOpacity, 100)
        .Bool(kKeyOverlay, true)
        .Int(kKeyUnit, 3)
        .Double(kKeyHorizontalOffset, left)
        .Double(kKeyVerticalOffset, 36);
    return cab;
}

class StampRunFault : public stamptest::StampRunTest {
protected:
    void SetUp() override {
        StampRunTest::SetUp();
        mInput = WritePdf("input.pdf", 3);
        const std::string logo = WritePdf("logo.pdf", 1);
        std::vector<StampCab> stamps;
        stamps.push_back(stamptest::VisibleTextStamp("Bates", "QM-$BatesNo[1]"));
        StampCab page;
        page.Int(kKeyStampType, kStampTypePDFPage)
            .String(kKeyStampName, "Logo")
            .Text(kKeySourceFile, logo)
            .Int(kKeySourcePage, 1)
            .Int(kKeySourceSize, 20)
            .Int(kKeyOpacity, 100)
            .Bool(kKeyOverlay, true)
            .Int(kKeyUnit, 3)
            .Double(kKeyHorizontalOffset, 200)
            .Double(kKeyVerticalOffset, 36);
        stamps.push_back(std::move(page));
        WriteProfile("Mixed", std::move(stamps));
        // What the pages are before a run and once a run has wrapped them:
        // what undo goes back to.
        qmtest::HostPath path(mInput);
        const PDDoc reference = gPDModelHFT->docOpen(path);
        mOriginal = AllPageStates(reference);
        CPDFDocument(reference).WrapAllPageContents();
        mWrapped = AllPageStates(reference);
        gPDModelHFT->docClose(reference);
    }

    // Stamps the active view with the profile; true when the run succeeded.
    static bool Run(const char* profile) {
        ClearErrorMessage();
        qmtest::TakeAlerts();
        return StampActiveDocumentWithProfile(profile);
    }

    // Runs the profile on a fresh view of the input once for each call of
    // each row's member that a clean run makes, failing that call, and checks
    // what the run left. expectStamped checks the saved file of a run that
    // did without the failed call; a failed run's message is failureMessage
    // when one is given.
    void FailEachCall(const char* profile, const std::vector<qmtest::MemberFaultRow>& rows,
                      void (*expectStamped)(const std::string& saved, const std::string& what),
                      const char* failureMessage = nullptr) {
        AVDoc view = nullptr;
        qmtest::FailedCallRoad road;
        road.prepare = [&] { view = OpenView(mInput); };
        road.run = [&] { return Run(profile) ? 0 : 1; };
        road.check = [&](const std::string& what, int status) {
            if (status != 0) {
                EXPECT_TRUE(HasErrorMessage()) << what;
                if (failureMessage) {
                    EXPECT_STREQ(GetErrorMessage(), failureMessage) << what;
                }
                // Shown last; a failed stream creation shows the host's text before it.
                const std::vector<std::string> alerts = qmtest::TakeAlerts();
                EXPECT_TRUE(!alerts.empty() && alerts.back() == GetErrorMessage())
                    << what << ": the reason shown: " << ::testing::PrintToString(alerts);
            }
            const std::string saved = Save(DocOf(view), "partly.pdf");
            EXPECT_EQ(qmtest::qpdfCheck(saved).status, 0) << what << ": what was stamped is a sound document";
            if (status == 0) expectStamped(saved, what);
            ExpectUndoneFully(view, what);
        };
        road.finish = [&] { gAppViewHFT->avDocClose(view, true); };
        for (const qmtest::MemberFaultRow& row : rows) qmtest::FailEachCall(row, road);
    }

    // Undo leaves nothing of the run: each page as it was, or wrapped when a
    // failure kept the wrapping's undo from running.
    void ExpectUndoneFully(AVDoc view, const std::string& what) const {
        EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr)) << what;
        const std::vector<PageState> undone = AllPageStates(DocOf(view));
        ASSERT_EQ(undone.size(), mWrapped.size()) << what;
        for (size_t page = 0; page < undone.size(); ++page)
            EXPECT_TRUE(undone[page] == mWrapped[page] || undone[page] == mOriginal[page])
                << what << ": undo leaves nothing of the run on page " << page + 1 << ":" << Describe(undone)
                << "\nwrapped:" << Describe(mWrapped);
    }

    std::string mInput;
    std::vector<PageState> mOriginal;
    std::vector<PageState> mWrapped;
};

// Every page carries its Bates number.
void ExpectBatesOnEveryPage(const std::string& saved, const std::string& what) {
    const std::vector<stamptest::TextPage> pages = stamptest::ReadTextPages(saved);
    ASSERT_EQ(pages.size(), 3u) << what;
    for (size_t page = 0; page < pages.size(); ++page)
        EXPECT_NE(pages[page].Joined().find("QM-00000" + std::to_string(page + 1)), std::string::npos)
            << what << ": page " << page + 1 << ": " << pages[page].Joined();
}

// Every page draws both images.
void ExpectTwoImagesOnEveryPage(const std::string& saved, const std::string& what) {
    const stamptest::XObjectCensus census = stamptest::CountXObjects(saved);
    ASSERT_EQ(census.pageXObjects.size(), 3u) << what;
    for (size_t page = 0; page < census.pageXObjects.size(); ++page)
        EXPECT_EQ(census.pageXObjects[page].size(), 2u) << what << ": page " << page + 1;
}

// The host plays an older major version while it lives.
class OlderHost {
public:
    explicit OlderHost(int32_t major) { qmhost::setHostMajorVersion(major); }
    ~OlderHost() { qmhost::setHostMajorVersion(kDefaultHostMajorVersion); }
    OlderHost(const OlderHost&) = delete;
    OlderHost& operator=(const OlderHost&) = delete;
};

TEST_F(StampRunFault, AFailedHostCallEndsTheRunWithItsReasonAndUndoTakesItAllBack) {
    FailEachCall("Mixed", qmtest::StampingRoadFaultRows(), ExpectBatesOnEveryPage);
}

// The user cancels (the host's cancel question answers yes) at each of the
// run's checks in turn: the run ends with its message, and undo takes it back.
TEST_F(StampRunFault, ACancelAtAnyCheckEndsTheRunAndUndoTakesItBack) {
    const std::vector<qmtest::MemberFaultRow> rows = {
        qmtest::FaultRowAnswering<&AppViewTable::userWantsToCancel, int32_t{1}>("AppView userWantsToCancel"),
    };
    FailEachCall("Mixed", rows, ExpectBatesOnEveryPage, "进程被用户停止");
}

// On the older host image stamps are image elements read with libjpeg and
// libtiff, whose failures and the host's must not cross C frames.
TEST_F(StampRunFault, OnTheOlderHostAFailedCallOfTheImageRoadEndsTheRunCleanly) {
    imagetest::WriteJpeg(mFolder.file("photo.jpg"), imagetest::JpegColor::RGB, 40, 30);
    imagetest::WriteTiff(mFolder.file("scan.tif"), imagetest::TiffColor::Gray, 16, 10);
    std::vector<StampCab> stamps;
    stamps.push_back(ImageStamp("Photo", mFolder.file("photo.jpg"), 36));
    stamps.push_back(ImageStamp("Scan", mFolder.file("scan.tif"), 200));
    WriteProfile("Images", std::move(stamps));
    OlderHost older(5);
    const std::vector<qmtest::MemberFaultRow> rows = {
        qmtest::FaultRowOf<&AppSupportTable::fileStmOpen>("AppSupport fileStmOpen (an image file)"),
        qmtest::FaultRowOf<&CosTable::dictPut>("Cos dictPut (the image dictionary)"),
        qmtest::FaultRowOf<&CosTable::newStream>("Cos newStream (the image data)"),
        qmtest::FaultRowOf<&PDModelTable::pageAddResource>("PDModel pageAddResource"),
    };
    FailEachCall("Images", rows, ExpectTwoImagesOnEveryPage);
}

}  // namespace
