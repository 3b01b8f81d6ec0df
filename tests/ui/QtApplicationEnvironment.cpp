// The dialogs' tests run on Qt's offscreen platform inside one QApplication,
// as the plug-in's dialogs do inside the desktop host's.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "widgets/ActionPropertiesDialogs.h"

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        mApp = std::make_unique<QApplication>(argc, argv);
        // The link-action handlers ask in the host's dialogs, as in the desktop host.
        qmhost::installActionPropertiesDialogs();
    }
    void TearDown() override { mApp.reset(); }

private:
    std::unique_ptr<QApplication> mApp;
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
