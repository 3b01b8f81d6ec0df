// A helper of scripts/bench: times the desktop host opening a long document
// (from the call that opens it until its first page is drawn) and watches the
// process's memory while every page is scrolled into view. Runs on Qt's
// offscreen platform unless another one is chosen.
//
//   qm_viewer_bench PLUGIN-DIR FILE.pdf [ZOOM-PERCENT]
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/HostOptions.h"
#include "viewer/DocumentWindow.h"
#include "viewer/PageView.h"
#include "viewer/ViewerApp.h"

namespace {

// The resident set size in KiB (VmRSS of /proc/self/status).
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

bool drawn(qmviewer::PageView* pages, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!pages->visiblePagesDrawn()) {
        if (timer.elapsed() > limitMs) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(200);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: qm_viewer_bench PLUGIN-DIR FILE.pdf [ZOOM-PERCENT]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    qmviewer::ViewerApp viewer;
    qmhost::HostOptions options;
    options.pluginDir = argv[1];
    QString error;
    if (!viewer.start(options, &error)) {
        std::fprintf(stderr, "qm_viewer_bench: %s\n", error.toLocal8Bit().constData());
        return 1;
    }
    const double zoom = argc > 3 ? std::atof(argv[3]) : 100.0;
    qmviewer::DocumentWindow* window = viewer.newWindow();
    window->resize(1000, 1000);
    QApplication::processEvents();
    const long before = residentKiB();

    QElapsedTimer timer;
    timer.start();
    if (!viewer.openFile(QString::fromLocal8Bit(argv[2]), window)) return 1;
    const qint64 opened = timer.elapsed();
    qmviewer::PageView* pages = window->pages();
    if (!drawn(pages, 60000)) return 1;
    const qint64 firstPage = timer.elapsed();
    const long afterOpen = residentKiB();

    pages->setZoom({qmviewer::ZoomMode::Percent, zoom});
    long peak = afterOpen;
    timer.restart();
    for (int page = 0; page < pages->pageCount(); ++page) {
        pages->goToPage(page);
        if (!drawn(pages, 60000)) return 1;
        if (page % 50 == 0) peak = std::max(peak, residentKiB());
    }
    const qint64 scrolled = timer.elapsed();
    peak = std::max(peak, residentKiB());

    std::printf("pages                                   %d\n", pages->pageCount());
    std::printf("open (document, view, window)           %lld ms\n", static_cast<long long>(opened));
    std::printf("first page drawn                        %lld ms\n", static_cast<long long>(firstPage));
    std::printf("every page scrolled into view, %3.0f %%   %lld ms (%.1f ms a page)\n", zoom,
                static_cast<long long>(scrolled), static_cast<double>(scrolled) / pages->pageCount());
    std::printf("resident memory before open             %ld MiB\n", before / 1024);
    std::printf("resident memory after the first page    %ld MiB\n", afterOpen / 1024);
    std::printf("resident memory, peak while scrolling   %ld MiB\n", peak / 1024);
    std::printf("page cache                              %lld of %lld MiB, %zu pages\n",
                static_cast<long long>(pages->cache().bytes() >> 20), static_cast<long long>(pages->cache().budget() >> 20),
                pages->cache().count());
    viewer.stop();
    return 0;
}
