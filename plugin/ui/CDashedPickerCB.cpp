#include "ui/CDashedPickerCB.h"

#include <QPainter>

CDashedPickerCB::CDashedPickerCB(QWidget* inParent) : CLinePickerCB(kLineTypeCount, inParent) {}

Qt::PenStyle CDashedPickerCB::PenStyleOf(int inIndex) {
    static constexpr Qt::PenStyle kStyles[kLineTypeCount] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                                             Qt::DashDotLine, Qt::DashDotDotLine};
    return inIndex >= 0 && inIndex < kLineTypeCount ? kStyles[inIndex] : Qt::SolidLine;
}

void CDashedPickerCB::PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool) const {
    const QRect picture = PictureRect(inRect);
    DrawLine(inPainter, picture, MiddleOf(picture), PenStyleOf(inIndex));
}
