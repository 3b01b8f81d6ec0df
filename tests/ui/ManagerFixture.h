// The stamp manager's world in the dialog tests: the linked plug-in started,
// a private data folder with its Profiles folder, preferences of its own, the
// modal seam answering from a script, documents in views of the real host,
// and profiles written and read back key by key.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "UiTestSupport.h"
#include "common/PdfFixtures.h"
#include "qmhost/QMBase.h"

class CProfilesDlg;
class CStamperPreferences;
class QTreeWidgetItem;

namespace uitest {

// A text stamp: its name and the text it writes (12-point Helvetica, black,
// 36 points from the left edge and y points from the bottom edge).
struct StampSpec {
    std::string name;
    std::string text;
    double y = 36;
};

class ManagerTest : public ::testing::Test {
protected:
    ManagerTest();
    ~ManagerTest() override;
    void SetUp() override;
    void TearDown() override;

    // Writes Profiles/<name>.nxp with these stamps; answers its path.
    std::string WriteProfile(const std::string& inName, const std::vector<StampSpec>& inStamps);
    std::string ProfilePath(const std::string& inName) const;
    // The stamp names a profile file holds, in order; "<unreadable>" when it cannot be read.
    std::vector<std::string> StampNamesInFile(const std::string& inPath) const;
    // The leaf names in the Profiles folder, sorted.
    std::vector<std::string> ProfileFiles() const;

    // A view on a new fixture of inPages pages; it becomes the active view.
    AVDoc OpenDocument(const std::string& inLeaf, int inPages);
    // The pages (from 1) of the view's document whose text holds inText (pdftotext).
    std::vector<int> PagesWithText(AVDoc inView, const std::string& inText);

    // A manager (modeless unless inModal) over the folder as it is now.
    CProfilesDlg& OpenManager(bool inModal = false);
    // The manager's tree item of that path ("A" or "A/s1"); fails when missing.
    QTreeWidgetItem* Item(const std::string& inPath);
    // The tree's texts: "A[s1,s2] B[]" in display order.
    std::string TreeText();
    // Selects the items (paths) exactly, the first as the caret.
    void Select(const std::vector<std::string>& inPaths);
    void Click(const char* inId);
    bool Enabled(const char* inId);
    // Runs the rename of the selected item to inText as the item editor would.
    void Rename(const std::string& inPath, const std::string& inText);

    qmtest::FixtureFolder mFolder;
    std::string mDataFolder;
    std::string mProfiles;
    std::unique_ptr<CStamperPreferences> mPreferences;
    ScriptedSeam mSeam;
    CProfilesDlg* mManager = nullptr;
    std::unique_ptr<CProfilesDlg> mModal;

private:
    CStamperPreferences* mSavedPreferences = nullptr;
    std::string mSavedDataFolder;
};

}  // namespace uitest
