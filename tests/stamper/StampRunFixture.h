// The world of the stamp and stamping-run tests: the linked plug-in started,
// a private data folder (log, Profiles), preferences installed with logging on,
// an undo controller, documents in views of the real host, stamp and profile
// cabinets built key by key, and readings of the results with pdftotext.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/FaultInjectingHost.h"
#include "common/PdfFixtures.h"
#include "qmhost/QMBase.h"

class CPDFElementUndoController;
class CStamperPreferences;

namespace stamptest {

// A stamp cabinet made key by key; owned until handed to a profile.
class StampCab {
public:
    StampCab();
    ~StampCab();
    StampCab(StampCab&& other) noexcept;
    StampCab(const StampCab&) = delete;
    StampCab& operator=(const StampCab&) = delete;

    StampCab& Int(const char* key, int32_t value);
    StampCab& Double(const char* key, double value);
    StampCab& Bool(const char* key, bool value);
    StampCab& String(const char* key, const std::string& value);
    StampCab& Text(const char* key, const std::string& value);
    ASCab Get() const { return mCab; }
    // Gives the cabinet away (the caller owns it now).
    ASCab Release();

private:
    ASCab mCab;
};

// A visible text stamp: the text in 12-point Helvetica, opacity 100, at
// (x, y) points from the left and the given vertical edge (0 top, 1 bottom).
StampCab VisibleTextStamp(const std::string& name, const std::string& text, double x = 36,
                          double y = 36, int32_t verticalEdge = 1);

// One word of pdftotext -bbox, in points from the page's top-left corner.
struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;
};
struct TextPage {
    double width = 0, height = 0;
    std::vector<Word> words;
    // The words joined by blanks.
    std::string Joined() const;
};
std::vector<TextPage> ReadTextPages(const std::string& pdfPath);
// The first word of the page that reads text, into out; false when none does.
bool FindWord(const TextPage& page, const std::string& text, Word& out);

// What undo must put back on a page, read through the host's tables.
struct PageState {
    std::vector<std::string> contents;  // decoded content pieces in order
    std::vector<std::string> resources;  // "Font/NxF0", ... sorted
    std::vector<std::string> annotations;  // subtypes in order
    bool operator==(const PageState&) const = default;
};
PageState ReadPageState(PDDoc doc, int32_t pageIndex);
// Every page's state, first page first.
std::vector<PageState> AllPageStates(PDDoc doc);

// What a saved file holds: its form and image XObjects, and for each page the
// objects its XObject resources name.
struct XObjectCensus {
    int forms = 0;
    int images = 0;
    std::vector<std::set<std::string>> pageXObjects;  // "obj gen" per page
};

XObjectCensus CountXObjects(const std::string& path);

// A progress monitor whose calls the test sees; onValue runs at each new value.
struct RecordingMonitor {
    std::vector<std::string> calls;
    std::function<void(int32_t)> onValue;
};

class StampRunTest : public ::testing::Test {
protected:
    StampRunTest();
    ~StampRunTest() override;
    void SetUp() override;
    void TearDown() override;

    // A fixture file of count pages (one content stream each) in the folder.
    std::string WritePdf(const std::string& leaf, int count);
    // Opens a view on the file; it becomes the active view.
    AVDoc OpenView(const std::string& path);
    PDDoc DocOf(AVDoc view) const;
    // Writes a profile of these stamps (given away) to Profiles/<name>.nxp.
    std::string WriteProfile(const std::string& name, std::vector<StampCab> stamps);
    // Saves the document to the folder under leaf and answers the path.
    std::string Save(PDDoc doc, const std::string& leaf);
    // The log file's text ("" when there is none).
    std::string LogText() const;
    // The log's lines after the last header rule of 74 "=" (the last run).
    std::vector<std::string> LastRunLog() const;
    // Routes the host's progress monitor to monitor for the rest of the test
    // (through a fault-injecting host, so the test cannot make another).
    void UseMonitor(RecordingMonitor& monitor);

    qmtest::FixtureFolder mFolder;
    std::string mDataFolder;
    std::unique_ptr<CStamperPreferences> mPreferences;
    std::unique_ptr<CPDFElementUndoController> mUndo;
    std::vector<AVDoc> mViews;

private:
    std::unique_ptr<qmtest::FaultInjectingHost> mMonitorHost;
    std::unique_ptr<struct MonitorRecord> mPatchedMonitor;
};

// Page pageIndex's /Contents becomes an integer, to which no element can add.
void BreakPage(PDDoc doc, int32_t pageIndex);

// A view on a fresh fixture of six pages, and what the stamps did to its pages.
class OneDocumentTest : public StampRunTest {
protected:
    void SetUp() override;
    // True when a stamp added content to the page (it then has more than its one stream).
    bool Stamped(int32_t page) const;
    // The numbers (from 1) of the stamped pages.
    std::vector<int32_t> StampedPages() const;

    AVDoc mView = nullptr;
    PDDoc mDoc = nullptr;
};

}  // namespace stamptest
