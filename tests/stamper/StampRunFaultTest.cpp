// A stamping run on an open document over a host that fails on demand: for
// key members of the tables a run stamps through, each call that a clean run
// makes is failed in turn. A run that fails says why (the message buffer and
// one alert); whatever it stamped before the failure is a sound document, and
// undo takes it all back, leaving each page as it was or as the run's
// wrapping left it.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "common/FaultInjectingHost.h"
#include "common/MemberFaultRow.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoController.h"
#include "stamper/StampKeys.h"
#include "stamper/StampingRun.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"

namespace {

using qmtest::FaultInjectingHost;
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
    static bool Run() {
        ClearErrorMessage();
        qmtest::TakeAlerts();
        return StampActiveDocumentWithProfile("Mixed");
    }

    std::string mInput;
    std::vector<PageState> mOriginal;
    std::vector<PageState> mWrapped;
};

TEST_F(StampRunFault, AFailedHostCallEndsTheRunWithItsReasonAndUndoTakesItAllBack) {
    for (const qmtest::MemberFaultRow& row : qmtest::StampingRoadFaultRows()) {
        int64_t calls = 0;
        {
            const AVDoc view = OpenView(mInput);
            FaultInjectingHost host;
            row.count(host);
            ASSERT_TRUE(Run()) << row.member << ": the clean run: " << GetErrorMessage();
            calls = row.calls(host);
            gAppViewHFT->avDocClose(view, true);
        }
        ASSERT_GE(calls, 1) << row.member << ": a run never calls it";
        for (int64_t n : qmtest::CallsToFail(calls)) {
            const std::string what = std::string(row.member) + ", call " + std::to_string(n) + " of " +
                                     std::to_string(calls);
            const AVDoc view = OpenView(mInput);
            bool stamped = true;
            {
                FaultInjectingHost host;
                row.fail(host, n);
                stamped = Run();
            }
            if (!stamped) {
                EXPECT_TRUE(HasErrorMessage()) << what;
                EXPECT_EQ(qmtest::TakeAlerts().size(), 1u) << what << ": the reason shown once";
            }
            const std::string saved = Save(DocOf(view), "partly.pdf");
            EXPECT_EQ(qmtest::qpdfCheck(saved).status, 0) << what << ": what was stamped is a sound document";
            if (stamped) {
                // The plug-in did without the call: then every page has its stamp.
                const std::vector<stamptest::TextPage> pages = stamptest::ReadTextPages(saved);
                ASSERT_EQ(pages.size(), 3u) << what;
                for (size_t page = 0; page < pages.size(); ++page)
                    EXPECT_NE(pages[page].Joined().find("QM-00000" + std::to_string(page + 1)), std::string::npos)
                        << what << ": page " << page + 1 << ": " << pages[page].Joined();
            }
            EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr)) << what;
            // A run that failed while it wrapped the pages leaves some wrapped, some not.
            const std::vector<PageState> undone = AllPageStates(DocOf(view));
            ASSERT_EQ(undone.size(), mWrapped.size()) << what;
            for (size_t page = 0; page < undone.size(); ++page)
                EXPECT_TRUE(undone[page] == mWrapped[page] || undone[page] == mOriginal[page])
                    << what << ": undo leaves nothing of the run on page " << page + 1 << ":" << Describe(undone)
                    << "\nwrapped:" << Describe(mWrapped);
            gAppViewHFT->avDocClose(view, true);
        }
    }
}

}  // namespace
