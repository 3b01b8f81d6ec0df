// The stamp manager's tree icons, drawn: a profile is a folder, a text stamp a
// "T", an image stamp a landscape, a PDF-page stamp a page with a folded corner.
// The selected look is the same picture on the selection colour.
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "ui/ProfilesDlgSupport.h"

namespace {

constexpr int kSize = 16;

enum class Picture { kProfile, kText, kImage, kPage };

void Draw(QPainter& p, Picture inPicture) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (inPicture) {
        case Picture::kProfile:
            p.setPen(QColor(150, 110, 20));
            p.setBrush(QColor(240, 200, 80));
            p.drawRect(QRectF(1.5, 4.5, 13, 9));
            p.drawRect(QRectF(1.5, 2.5, 6, 2));
            break;
        case Picture::kText: {
            QFont font;
            font.setBold(true);
            font.setPixelSize(14);
            p.setFont(font);
            p.setPen(QColor(30, 60, 160));
            p.drawText(QRect(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("T"));
            break;
        }
        case Picture::kImage: {
            p.setPen(QColor(60, 60, 60));
            p.setBrush(QColor(170, 215, 250));
            p.drawRect(QRectF(1.5, 2.5, 13, 11));
            QPainterPath hill;
            hill.moveTo(2, 13);
            hill.lineTo(6, 7);
            hill.lineTo(9, 11);
            hill.lineTo(11, 9);
            hill.lineTo(14, 13);
            hill.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 150, 60));
            p.drawPath(hill);
            p.setBrush(QColor(250, 200, 40));
            p.drawEllipse(QPointF(11.5, 5.5), 1.5, 1.5);
            break;
        }
        case Picture::kPage: {
            QPainterPath page;
            page.moveTo(3.5, 1.5);
            page.lineTo(10.5, 1.5);
            page.lineTo(13.5, 4.5);
            page.lineTo(13.5, 14.5);
            page.lineTo(3.5, 14.5);
            page.closeSubpath();
            p.setPen(QColor(60, 60, 60));
            p.setBrush(Qt::white);
            p.drawPath(page);
            p.setPen(QColor(190, 30, 30));
            for (int y = 6; y <= 12; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(11.5, y + 0.5));
            break;
        }
    }
}

QIcon MakeIcon(Picture inPicture) {
    QPixmap normal(kSize, kSize);
    normal.fill(Qt::transparent);
    {
        QPainter p(&normal);
        Draw(p, inPicture);
    }
    QPixmap selected(kSize, kSize);
    selected.fill(QColor(0, 0, 0, 0));
    {
        QPainter p(&selected);
        p.fillRect(selected.rect(), QColor(51, 102, 204, 90));
        Draw(p, inPicture);
    }
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(selected, QIcon::Selected);
    return icon;
}

}  // namespace

// Made on each call: icons kept in statics would outlive the application.
QIcon ProfileIcon() { return MakeIcon(Picture::kProfile); }

QIcon StampIcon(int32_t inKind) {
    return MakeIcon(inKind == 1 ? Picture::kImage : inKind == 2 ? Picture::kPage : Picture::kText);
}
