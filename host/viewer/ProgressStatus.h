// The host's progress monitor in a window's status bar: the monitor's text
// and a bar (a busy bar while no duration is set), shown while a run is under
// way and hidden when it ends.
#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace qmviewer {

class ProgressStatus : public QWidget {
    Q_OBJECT
public:
    explicit ProgressStatus(QWidget* parent = nullptr);
    // Shows the application's monitor as it is now.
    void showMonitor();
    QProgressBar* bar() const { return mBar; }

private:
    QLabel* mText;
    QProgressBar* mBar;
};

}  // namespace qmviewer
