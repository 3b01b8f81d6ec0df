// A Qt menu that shows one menu of the host's menu model. Its actions are made
// afresh each time it is about to show, from the model as it is then: titles,
// separators, submenus (each another ModelMenu), marks, and the enabled state
// that each item's compute-enabled procedure answers (which may rebuild the
// item's own submenu first, as the plug-in's Stamp menu does). While the host
// is busy with a run every action is disabled. Actions are named after their
// items and menus after theirs, so tests and users find them by name.
#pragma once

#include <QMenu>
#include <QString>

#include "qmhost/AppViewTable.h"

namespace qmviewer {

class ModelMenu : public QMenu {
    Q_OBJECT
public:
    ModelMenu(AVMenu menu, const QString& title, QWidget* parent);
    AVMenu model() const { return mMenu; }
    // Builds the actions from the model now (what showing the menu does).
    void rebuild();

private:
    AVMenu mMenu;
};

// The title of a model item or menu for Qt: the text as the model holds it
// (the plug-in's "&" marks stay mnemonics).
QString modelTitle(const std::string& title);

}  // namespace qmviewer
