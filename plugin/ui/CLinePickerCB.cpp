#include "ui/CLinePickerCB.h"

#include <QPainter>

CLinePickerCB::CLinePickerCB(int inItemCount, QWidget* inParent) : CPickerCB(inParent) {
    for (int index = 0; index < inItemCount; ++index) addItem(QString::number(index));
    setCurrentIndex(0);
}

int CLinePickerCB::MiddleOf(const QRect& inRect) {
    // Edges as the item rectangle gives them: bottom is one past the last row.
    const int bottom = inRect.bottom() + 1;
    return inRect.top() + (bottom - inRect.top()) / 2;
}

void CLinePickerCB::DrawLine(QPainter& inPainter, const QRect& inPicture, int inY, Qt::PenStyle inStyle) {
    QPen pen(inPainter.pen().color());
    pen.setWidth(1);
    pen.setStyle(inStyle);
    inPainter.save();
    inPainter.setPen(pen);
    inPainter.drawLine(inPicture.left(), inY, inPicture.right(), inY);
    inPainter.restore();
}
