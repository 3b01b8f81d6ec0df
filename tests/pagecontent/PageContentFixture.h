// The page-content library's tests run on the linked plug-in over the real
// host, with the page-content tables wrapped by a counting host: every handle
// that the plug-in acquires or has made for it must be given back exactly once,
// every page-content loan and every page reference too.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/FaultInjectingHost.h"
#include "common/PdfFixtures.h"
#include "qmhost/QMBase.h"

namespace pctest {

// References the plug-in took (acquired or made) and gave back, per handle.
struct Counts {
    std::map<uintptr_t, int> taken, given;
    std::map<uintptr_t, int> loansTaken, loansGiven;  // by page handle
    std::map<uintptr_t, int> pagesTaken, pagesGiven;  // PDModel page references
    int releasesOfUnheld = 0;  // releases of a handle the plug-in never took
};
Counts& counts();

class PageContentTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Opens path as a document view, closed when the test ends.
    AVDoc OpenView(const std::string& path);
    // Saves the view's document to path.
    void SaveView(AVDoc view, const std::string& path);
    // Expects every count balanced (called by TearDown; tests may call it earlier).
    void ExpectBalanced(const char* when);

    qmtest::FixtureFolder folder;
    std::vector<AVDoc> views;
    size_t hostHeld = 0;
    // Wraps the page-content tables with the counting members while a test runs.
    std::unique_ptr<qmtest::FaultInjectingHost> countingHost;
};

}  // namespace pctest
