// Writes a window's picture into the build folder's screenshots/, so that a
// person can look at what the dialogs show.
#pragma once

#include <QDir>
#include <QWidget>

namespace qmtest {

inline bool SaveScreenshot(QWidget& inWidget, const QString& inName) {
    inWidget.adjustSize();
    QDir().mkpath(QStringLiteral(QM_TEST_SCREENSHOT_DIR));
    return inWidget.grab().save(QStringLiteral(QM_TEST_SCREENSHOT_DIR "/") + inName + ".png");
}

}  // namespace qmtest
