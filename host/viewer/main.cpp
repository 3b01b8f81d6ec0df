// quillmark-viewer: the desktop host. It loads the Quillmark plug-in from a
// plug-ins folder (as `quillmark` does) into its QApplication and opens the
// files named on the command line, each in a window of its own.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <string>
#include <vector>

#include "app/HostOptions.h"
#include "viewer/DocumentWindow.h"
#include "viewer/ViewerApp.h"

namespace {

const char* kUsage =
    "usage: quillmark-viewer [--plugin-dir DIR] [--host-version N] [FILE.pdf...]\n"
    "\n"
    "  --plugin-dir DIR    the plug-ins folder, where the plug-in keeps its settings,\n"
    "                      log and profiles (default: a per-user folder into which\n"
    "                      the bundled plug-in is installed on first run)\n"
    "  --host-version N    the host's major version (8 by default; 5 for the older road)\n";

struct CommandLine {
    qmhost::HostOptions options;
    std::vector<QString> files;
    bool help = false;
};

bool parse(int argc, char** argv, CommandLine* line, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line->help = true;
        } else if (qmhost::takeHostOption(argc, argv, &i, &line->options, error)) {
            if (!error->empty()) return false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + arg;
            return false;
        } else {
            line->files.push_back(QString::fromLocal8Bit(argv[i]));
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine line;
    std::string error;
    if (!parse(argc, argv, &line, &error)) {
        std::fprintf(stderr, "quillmark-viewer: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (line.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    // The one application object; the plug-in's dialogs live in it too.
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmark"));
    QApplication::setQuitOnLastWindowClosed(false);
    qmviewer::ViewerApp viewer;
    QString failure;
    if (!viewer.start(line.options, &failure)) {
        std::fprintf(stderr, "quillmark-viewer: %s\n", failure.toLocal8Bit().constData());
        QMessageBox::critical(nullptr, QStringLiteral("Quillmark"),
                              QStringLiteral("The Quillmark plug-in could not be loaded.\n\n%1").arg(failure));
        return 1;
    }
    qmviewer::DocumentWindow* first = viewer.newWindow();
    for (const QString& file : line.files) viewer.openFile(file, first);
    const int status = application.exec();
    viewer.stop();
    return status;
}
