#include "ui/CPreviewViewWnd.h"

#include <QPainter>

#include "engine/CPDFDocument.h"

CPreviewViewWnd::CPreviewViewWnd(QWidget* inParent) : QWidget(inParent) { setObjectName(QStringLiteral("1063")); }

void CPreviewViewWnd::SetDocument(CPDFDocument* inDocument) {
    mDocument = inDocument;
    mStale = true;
}

void CPreviewViewWnd::SetScale(double inScale) {
    mScale = inScale;
    mStale = true;
}

void CPreviewViewWnd::Redraw() {
    mStale = true;
    repaint();
}

void CPreviewViewWnd::resizeEvent(QResizeEvent*) { mStale = true; }

void CPreviewViewWnd::RenderPage() {
    mStale = false;
    mImage = QImage();
    if (!mDocument || width() <= 0 || height() <= 0) return;
    QImage page(size(), QImage::Format_ARGB32);
    page.fill(Qt::white);
    // A page that cannot be drawn leaves the background alone.
    if (mDocument->DrawPage(0, &page, static_cast<float>(mScale), 0, 0)) mImage = page;
}

void CPreviewViewWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (!mDocument) return;
    if (mStale) RenderPage();
    if (!mImage.isNull()) painter.drawImage(0, 0, mImage);
    DrawHook(painter);
}

void CPreviewViewWnd::DrawHook(QPainter&) {}
