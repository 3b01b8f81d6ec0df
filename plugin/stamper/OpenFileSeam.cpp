#include "stamper/OpenFileSeam.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

#include <cstdio>

namespace {

OpenFileHandler& Handler() {
    static OpenFileHandler handler;
    return handler;
}

void DefaultOpen(const std::string& inPath) {
    if (HasDesktopDisplay()) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(inPath)));
        return;
    }
    // No desktop: the user (or a script) gets the path to open it with.
    std::printf("%s\n", inPath.c_str());
    std::fflush(stdout);
}

}  // namespace

void OpenFileForUser(const std::string& inPath) noexcept {
    try {
        const OpenFileHandler& handler = Handler();
        if (handler)
            handler(inPath);
        else
            DefaultOpen(inPath);
    } catch (...) {
        // A viewer that cannot start is the desktop's matter, not a failed command.
    }
}

void SetOpenFileHandler(OpenFileHandler inHandler) { Handler() = std::move(inHandler); }

bool HasDesktopDisplay() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }
