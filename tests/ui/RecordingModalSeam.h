// A modal seam for dialog tests: records every message box and file dialog and
// answers them with what the test queued (Ok and an empty path by default).
#pragma once

#include <deque>
#include <vector>

#include "ui/ModalSeam.h"

namespace qmtest {

class RecordingModalSeam final : public ui::ModalSeam {
public:
    RecordingModalSeam() { ui::SetModalSeam(this); }
    ~RecordingModalSeam() override { ui::SetModalSeam(nullptr); }

    QMessageBox::StandardButton MessageBox(QWidget*, const QString&, const QString& inText, QMessageBox::Icon,
                                           QMessageBox::StandardButtons) override {
        messages.push_back(inText);
        if (buttons.empty()) return QMessageBox::Ok;
        const QMessageBox::StandardButton answer = buttons.front();
        buttons.pop_front();
        return answer;
    }

    QString FileDialog(QWidget*, const ui::FileDialogRequest& inRequest) override {
        fileRequests.push_back(inRequest);
        if (paths.empty()) return QString();
        const QString answer = paths.front();
        paths.pop_front();
        return answer;
    }

    std::vector<QString> messages;
    std::vector<ui::FileDialogRequest> fileRequests;
    std::deque<QMessageBox::StandardButton> buttons;
    std::deque<QString> paths;
};

}  // namespace qmtest
