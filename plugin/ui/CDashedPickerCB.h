// CDashedPickerCB: the border line-type picker; index 0 solid, 1 dash, 2 dot,
// 3 dash-dot, 4 dash-dot-dot, each drawn as a line of that pattern.
#pragma once

#include "ui/CLinePickerCB.h"

class CDashedPickerCB : public CLinePickerCB {
    Q_OBJECT
public:
    static constexpr int kLineTypeCount = 5;
    explicit CDashedPickerCB(QWidget* inParent = nullptr);
    // The pen style of line type inIndex (solid outside 0..4).
    static Qt::PenStyle PenStyleOf(int inIndex);
    void PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool inSelected) const override;
};
