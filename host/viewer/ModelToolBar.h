// A Qt toolbar that shows one toolbar of the host's model: a tool button per
// model button (its image, or its help text when it has none; the help text as
// tip; its drop-down menu as a
// ModelMenu behind the button's arrow), separators where the model has them.
// refresh() asks every button's compute-enabled and compute-marked procedures
// again; the window calls it when the front document changes, after a command
// and when a run ends. rebuild() follows changes of the model's buttons.
#pragma once

#include <QToolBar>

#include "qmhost/AppViewTable.h"

namespace qmviewer {

class ModelToolBar : public QToolBar {
    Q_OBJECT
public:
    ModelToolBar(AVToolBar bar, QWidget* parent);
    AVToolBar model() const { return mBar; }
    void rebuild();
    void refresh();

private:
    AVToolBar mBar;
    std::vector<std::pair<QAction*, AVToolButton>> mButtons;
    std::vector<AVToolButton> mShown;  // the model's buttons when last built
};

}  // namespace qmviewer
