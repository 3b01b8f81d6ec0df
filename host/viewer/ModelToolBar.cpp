#include "viewer/ModelToolBar.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QToolButton>

#include "core/AtomTable.h"
#include "qmhost/AVIconData.h"
#include "view/CommandProcs.h"
#include "view/Toolbars.h"
#include "viewer/ModelMenu.h"
#include "viewer/ViewerApp.h"

namespace qmviewer {
namespace {

// The button's image as Qt shows it; a null icon for none (or a damaged size).
QIcon iconOf(AVIcon handle) {
    const auto* icon = reinterpret_cast<const AVIconData*>(handle);
    if (!icon || !icon->pixels || icon->width <= 0 || icon->height <= 0 || icon->width > 256 || icon->height > 256)
        return QIcon();
    const QImage image(reinterpret_cast<const uchar*>(icon->pixels), icon->width, icon->height,
                       icon->width * static_cast<int>(sizeof(uint32_t)), QImage::Format_ARGB32);
    return QIcon(QPixmap::fromImage(image.copy()));
}

}  // namespace

ModelToolBar::ModelToolBar(AVToolBar bar, QWidget* parent) : QToolBar(parent), mBar(bar) {
    const qmhost::ToolBarRecord& record = qmhost::toolbars().toolBar(bar);
    setObjectName(QString::fromStdString(record.name));
    setWindowTitle(QString::fromStdString(record.title));
    // A button with an image shows it, one without shows its text.
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    rebuild();
}

void ModelToolBar::rebuild() {
    const qmhost::Toolbars& model = qmhost::toolbars();
    const std::vector<AVToolButton> buttons = model.toolBar(mBar).buttons;
    if (buttons == mShown && !actions().isEmpty()) return refresh();
    clear();
    mButtons.clear();
    mShown = buttons;
    for (AVToolButton button : buttons) {
        if (!model.alive(button)) continue;
        const qmhost::ToolButtonRecord& record = model.button(button);
        const char* name = qmhost::atoms().text(record.name);
        if (record.separator) {
            // The marker that ends the tools group has no place of its own on screen.
            if (!actions().isEmpty()) addSeparator()->setObjectName(QString::fromUtf8(name ? name : ""));
            continue;
        }
        const QString help = QString::fromStdString(record.helpText);
        QAction* action = addAction(help.isEmpty() ? QString::fromUtf8(name ? name : "") : help);
        action->setIcon(iconOf(record.icon));
        action->setObjectName(QString::fromUtf8(name ? name : ""));
        action->setToolTip(help);
        connect(action, &QAction::triggered, this, [button] {
            if (ViewerApp::instance()) ViewerApp::instance()->runToolButton(button);
        });
        if (record.menu) {
            auto* menu = new ModelMenu(record.menu, help, this);
            action->setMenu(menu);
            if (auto* tool = qobject_cast<QToolButton*>(widgetForAction(action)))
                tool->setPopupMode(QToolButton::MenuButtonPopup);
        }
        mButtons.emplace_back(action, button);
    }
    // A toolbar with nothing to press (the application's, before any tool is added) takes no room.
    setVisible(!mButtons.empty());
    refresh();
}

void ModelToolBar::refresh() {
    const qmhost::Toolbars& model = qmhost::toolbars();
    if (model.toolBar(mBar).buttons != mShown) return rebuild();
    const bool idle = !ViewerApp::instance() || !ViewerApp::instance()->busy();
    for (auto& [action, button] : mButtons) {
        if (!model.alive(button)) {
            action->setEnabled(false);
            continue;
        }
        const qmhost::CommandProcs procs = model.button(button).procs;
        action->setEnabled(idle && qmhost::computeEnabled(procs.enabled));
        const bool marked = qmhost::computeMarked(procs.marked);
        action->setCheckable(marked);
        action->setChecked(marked);
    }
}

}  // namespace qmviewer
