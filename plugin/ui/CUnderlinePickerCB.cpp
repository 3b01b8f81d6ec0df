#include "ui/CUnderlinePickerCB.h"

#include <QPainter>
#include <algorithm>

#include "ui/UiText.h"

CUnderlinePickerCB::CUnderlinePickerCB(QWidget* inParent) : CLinePickerCB(kUnderlineCount, inParent) {}

int CUnderlinePickerCB::ItemHeight() const {
    // The word is drawn one pixel down; a pixel more keeps it off the edge.
    return std::max<int>(kItemHeight, fontMetrics().height() + 2);
}

void CUnderlinePickerCB::PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool) const {
    const QRect picture = PictureRect(inRect);
    const int middle = MiddleOf(picture);
    switch (inIndex) {
        case 0:
            inPainter.drawText(picture.translated(0, 1), Qt::AlignVCenter | Qt::TextSingleLine,
                               ui::ResText(ui::kStrNone));
            return;
        case 1: DrawLine(inPainter, picture, middle, Qt::SolidLine); return;
        case 2:
            DrawLine(inPainter, picture, middle - 1, Qt::SolidLine);
            DrawLine(inPainter, picture, middle + 1, Qt::SolidLine);
            return;
        case 3:
            for (int row = middle - 1; row <= middle + 1; ++row) DrawLine(inPainter, picture, row, Qt::SolidLine);
            return;
        case 4: DrawLine(inPainter, picture, middle, Qt::DashLine); return;
        case 5: DrawLine(inPainter, picture, middle, Qt::DotLine); return;
        case 6: DrawLine(inPainter, picture, middle, Qt::DashDotLine); return;
        default: return;
    }
}
