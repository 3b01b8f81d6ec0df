// Draws pages off the user-interface thread: one worker draws one page at a
// time from the current snapshot; the view says which pages it wants (the
// visible ones first) and the worker takes the next wanted page when it is
// free, so pages scrolled past before their turn are never drawn.
#pragma once

#include <QImage>
#include <QObject>
#include <QThreadPool>
#include <cstdint>
#include <deque>
#include <memory>

namespace Poppler {
class Document;
}

namespace qmviewer {

class PageDrawer : public QObject {
    Q_OBJECT
public:
    explicit PageDrawer(QObject* parent = nullptr);
    ~PageDrawer() override;

    // What to draw from now on; pending requests are dropped.
    void setSource(std::shared_ptr<Poppler::Document> source, uint64_t generation);
    uint64_t generation() const { return mGeneration; }
    // Replaces the wanted pages (drawn in this order) at scale pixels per point.
    void want(const std::vector<int>& pages, double scale);
    // True while a page is being drawn or wanted.
    bool busy() const { return mInFlight || !mWanted.empty(); }

signals:
    // A page drawn at scale from the contents of generation (null image: it failed).
    void pageDrawn(int page, double scale, quint64 generation, const QImage& image);

private:
    void startNext();
    void finished(int page, double scale, uint64_t generation, const QImage& image);

    std::shared_ptr<Poppler::Document> mSource;
    uint64_t mGeneration = 0;
    std::deque<int> mWanted;
    double mScale = 1.0;
    bool mInFlight = false;
    QThreadPool mPool;  // last member: its destructor waits for the drawing in flight
};

}  // namespace qmviewer
