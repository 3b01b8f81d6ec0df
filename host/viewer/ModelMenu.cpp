#include "viewer/ModelMenu.h"

#include "view/CommandProcs.h"
#include "view/Menus.h"
#include "viewer/ViewerApp.h"

namespace qmviewer {
namespace {

constexpr int kMaxItems = 1000;  // a model menu never holds more; bounds a runaway procedure

}  // namespace

QString modelTitle(const std::string& title) { return QString::fromStdString(title); }

ModelMenu::ModelMenu(AVMenu menu, const QString& title, QWidget* parent) : QMenu(title, parent), mMenu(menu) {
    if (qmhost::menus().alive(menu)) setObjectName(QString::fromStdString(qmhost::menus().menu(menu).name));
    connect(this, &QMenu::aboutToShow, this, &ModelMenu::rebuild);
}

void ModelMenu::rebuild() {
    // Submenus made last time go with their actions.
    for (QAction* action : actions())
        if (QMenu* sub = action->menu()) sub->deleteLater();
    clear();
    qmhost::Menus& model = qmhost::menus();
    if (!model.alive(mMenu)) return;
    const bool idle = !ViewerApp::instance() || !ViewerApp::instance()->busy();
    for (int32_t i = 0; i < kMaxItems; ++i) {
        const AVMenuItem item = model.itemAt(mMenu, i);
        if (!item) break;
        const qmhost::MenuItemRecord record = model.item(item);  // a copy: procedures may change the model
        if (record.isSeparator()) {
            addSeparator()->setObjectName(QString::fromStdString(record.name));
            continue;
        }
        const bool enabled = idle && qmhost::computeEnabled(record.procs.enabled);
        const bool marked = qmhost::computeMarked(record.procs.marked);
        if (!model.alive(item) || !model.alive(mMenu)) break;  // the procedure took it away
        const qmhost::MenuItemRecord& now = model.item(item);
        QAction* action = nullptr;
        if (now.submenu) {
            auto* sub = new ModelMenu(now.submenu, modelTitle(now.title), this);
            action = addMenu(sub);
        } else {
            action = addAction(modelTitle(now.title));
            connect(action, &QAction::triggered, this, [item] {
                if (ViewerApp::instance()) ViewerApp::instance()->runMenuItem(item);
            });
        }
        action->setObjectName(QString::fromStdString(now.name));
        action->setEnabled(enabled);
        if (marked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

}  // namespace qmviewer
