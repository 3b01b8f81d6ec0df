// The world of the design-dialog tests: the linked plug-in started (so the
// dialogs reach the real host), a stand-in stamp manager with controls of its
// own, a scripted modal seam, and helpers that act as a user would (choose an
// entry, click, press OK) on controls found by their ids.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "UiTestSupport.h"
#include "stamper/CStamp.h"
#include "ui/CStampDlg.h"

namespace uitest {

class DesignDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens the design dialog of inStamp's kind over the manager.
    CStampDlg* Open(CStamp& inStamp, bool inEditing = false);
    // A new owned stamp of the kind.
    std::unique_ptr<CStamp> NewStamp(int32_t inType);

    template <class W>
    W* Control(const char* inId) const {
        W* control = mDialog ? mDialog->findChild<W*>(QString::fromLatin1(inId)) : nullptr;
        EXPECT_NE(control, nullptr) << "no control " << inId;
        return control;
    }
    // A user's choice of entry inIndex in combo inId.
    void Choose(const char* inId, int inIndex);
    // Presses OK (1) or Cancel (2) and lets deferred deletions run.
    void Press(const char* inId);
    // Alerts shown since the last call, as one text each.
    std::vector<std::string> Alerts();

    std::string mFolder;
    std::unique_ptr<QWidget> mManager;
    QAbstractButton* mManagerButton = nullptr;
    CStampDlg* mDialog = nullptr;
    std::optional<bool> mDone;  // the done callback's answer once it ran
    std::unique_ptr<ScriptedSeam> mSeam;
};

// The process's event queue drained of deferred deletions.
void FlushDeletes();

}  // namespace uitest
