// What the dialogs bring to the plug-in's core, which links no Qt: Qt's event
// pump, so that a click on Cancel queued during a run counts, and the answer
// whether a desktop is there. Removing the dialogs takes both away.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMetaObject>

#include "common/PluginFixture.h"
#include "stamper/OpenFileSeam.h"
#include "support/io/UserCancel.h"
#include "ui/StamperDialogs.h"

namespace {

TEST(StamperDialogs, InstallQtsEventPumpAndDesktopUntilRemoved) {
    qmtest::StartLinkedPlugin();  // starts with the dialogs installed
    ASSERT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
    const struct {
        const char* name;
        void (*change)();
        bool installed;
    } rows[] = {
        {"started with the dialogs", [] {}, true},
        {"dialogs removed", [] { ui::RemoveStamperDialogs(); }, false},
        {"dialogs installed again", [] { ui::InstallStamperDialogs(); }, true},
    };
    for (const auto& row : rows) {
        row.change();
        SetUserCancelled(false);
        bool clicked = false;
        QMetaObject::invokeMethod(
            qApp,
            [&clicked] {
                clicked = true;
                SetUserCancelled(true);
            },
            Qt::QueuedConnection);
        EXPECT_EQ(IsUserCancelled(), row.installed) << row.name;
        EXPECT_EQ(HasDesktopDisplay(), row.installed) << row.name;
        EXPECT_TRUE(ui::HasWidgetApplication()) << row.name;
        QCoreApplication::processEvents();  // the click left waiting, handled before clicked goes
        EXPECT_TRUE(clicked) << row.name;
    }
    SetUserCancelled(false);
}

}  // namespace
