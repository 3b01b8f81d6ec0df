// CPreviewViewWnd: the stamp manager's preview - draws page 0 of a document it
// is given (not owned) at a zoom, on the button-face colour. Without a document,
// or when the page cannot be drawn, only the background shows.
#pragma once

#include <QImage>
#include <QWidget>

class CPDFDocument;
class QPainter;

class CPreviewViewWnd : public QWidget {
public:
    // No document, scale 1.0.
    explicit CPreviewViewWnd(QWidget* inParent = nullptr);

    // The document to draw (not owned; null: none) and the zoom in percent
    // (100: one point is one pixel). The picture is drawn anew at the next paint.
    void SetDocument(CPDFDocument* inDocument);
    void SetScale(double inScale);
    CPDFDocument* GetDocument() const { return mDocument; }
    double GetScale() const { return mScale; }
    // Draws the page anew now (after its content changed).
    void Redraw();
    // The page as last drawn; null when none was drawn.
    const QImage& GetPageImage() const { return mImage; }

protected:
    void paintEvent(QPaintEvent* inEvent) override;
    void resizeEvent(QResizeEvent* inEvent) override;
    // Called after the page is drawn, for drawing on top; the base draws nothing.
    virtual void DrawHook(QPainter& inPainter);

private:
    void RenderPage();

    CPDFDocument* mDocument = nullptr;
    double mScale = 1.0;
    QImage mImage;
    bool mStale = true;
};
