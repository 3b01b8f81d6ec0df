#include "ui/PluginDialogLanguage.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>

#include "ui/QtTextsInPluginLanguage.h"

namespace ui {
namespace {

const char* const kPluginDialog = "quillmarkPluginDialog";
const char* const kHoldName = "quillmarkLanguageHold";

// The plug-in's language held for a raised window while it is shown; it goes
// when the window hides or goes.
class LanguageHold final : public QObject {
public:
    explicit LanguageHold(QWidget* inWindow) : QObject(inWindow) {
        setObjectName(QString::fromLatin1(kHoldName));
        // Its standard buttons and labels were made in the host's language.
        QEvent changed(QEvent::LanguageChange);
        QCoreApplication::sendEvent(inWindow, &changed);
    }

private:
    QtTextsInPluginLanguage mLanguage;
};

LanguageHold* HoldOf(const QObject* inWindow) {
    return inWindow->findChild<LanguageHold*>(QString::fromLatin1(kHoldName), Qt::FindDirectChildrenOnly);
}

// A dialog of the plug-in or a window that holds its language, or within one.
bool SpeaksPluginLanguage(const QWidget* inWidget) {
    for (const QWidget* each = inWidget; each; each = each->parentWidget())
        if (each->property(kPluginDialog).toBool() || HoldOf(each)) return true;
    return false;
}

// A modal dialog shown over (or while the active window is) a window that
// speaks the plug-in's language.
bool RaisedByPluginDialog(QWidget* inWindow) {
    if (inWindow->property(kPluginDialog).toBool() || !qobject_cast<QDialog*>(inWindow) || !inWindow->isModal())
        return false;
    const QWidget* active = QApplication::activeWindow();
    return SpeaksPluginLanguage(inWindow->parentWidget()) ||
           (active && active != inWindow && SpeaksPluginLanguage(active));
}

class RaisedWindowsWatch final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* inObject, QEvent* inEvent) override {
        if (inEvent->type() != QEvent::Show && inEvent->type() != QEvent::Hide) return false;
        auto* window = qobject_cast<QWidget*>(inObject);
        if (!window || !window->isWindow()) return false;
        LanguageHold* hold = HoldOf(window);
        if (inEvent->type() == QEvent::Hide)
            delete hold;
        else if (!hold && RaisedByPluginDialog(window))
            new LanguageHold(window);
        return false;
    }
};

// The application's filter, while there is one: it goes with the
// application or when the plug-in stops.
QPointer<RaisedWindowsWatch> sWatch;

}  // namespace

void MarkAsPluginDialog(QWidget* inDialog) {
    if (!sWatch && qApp) {
        sWatch = new RaisedWindowsWatch(qApp);
        qApp->installEventFilter(sWatch);
    }
    inDialog->setProperty(kPluginDialog, true);
}

void StopWatchingRaisedWindows() noexcept { delete sWatch.data(); }

}  // namespace ui
