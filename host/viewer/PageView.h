// The pages of one document in a continuously scrolled column, at the zoom
// chosen (fit page, fit width, 25-800 %). Only the visible pages (and one on
// either side) are drawn, off the user-interface thread, into a cache bounded
// in bytes; until a page is drawn its place shows blank (or its previous
// drawing, scaled), so opening or scrolling never waits for poppler.
#pragma once

#include <QAbstractScrollArea>
#include <memory>

#include "qmhost/QMBase.h"
#include "viewer/PageCache.h"
#include "viewer/PageLayout.h"

namespace Poppler {
class Document;
}

namespace qmviewer {

class PageDrawer;

class PageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PageView(QWidget* parent = nullptr);
    ~PageView() override;

    // Shows the document (null: nothing). False with *error set when its
    // pages cannot be read for drawing.
    bool setDocument(PDDoc doc, QString* error);
    PDDoc document() const { return mDoc; }
    int pageCount() const { return mLayout.pageCount(); }

    void setZoom(const Zoom& zoom);
    const Zoom& zoom() const { return mZoom; }
    double zoomPercent() const { return mLayout.percent(); }
    void zoomIn();
    void zoomOut();

    // 0-based; the page that fills most of the view.
    int currentPage() const;
    // Scrolls so that the page's top is at the view's top (clamped).
    void goToPage(int page);
    void nextPage() { goToPage(currentPage() + 1); }
    void previousPage() { goToPage(currentPage() - 1); }
    void firstPage() { goToPage(0); }
    void lastPage() { goToPage(pageCount() - 1); }

    // The document's contents changed (a stamp, an undo): draw it again. The
    // old drawings stay on screen until the new ones arrive.
    void contentsChanged();
    uint64_t shownGeneration() const { return mGeneration; }

    // True when every visible page shows a drawing of the current contents at
    // the current scale (tests and benchmarks wait for it).
    bool visiblePagesDrawn() const;
    // The page's drawing of the current contents, or null.
    QImage drawnPage(int page) const;
    const PageCache& cache() const { return mCache; }

signals:
    void currentPageChanged(int page, int count);
    void zoomChanged(double percent);
    void pageDrawn(int page);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void relayout(int keepPage);
    void updateScrollBars();
    std::pair<int, int> visiblePages() const;
    void requestVisible();
    void onPageDrawn(int page, double scale, quint64 generation, const QImage& image);
    void reportCurrentPage();

    PDDoc mDoc = nullptr;
    PageLayout mLayout;
    Zoom mZoom;
    PageCache mCache;
    uint64_t mGeneration = 0;
    int mReportedPage = -1;
    PageDrawer* mDrawer = nullptr;
};

}  // namespace qmviewer
