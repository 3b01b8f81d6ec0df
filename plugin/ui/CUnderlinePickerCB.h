// CUnderlinePickerCB: the text underline picker; index 0 none (shown as
// "(无)"), 1 single, 2 double (one pixel above and below the middle), 3 thick
// (three rows), 4 dashed, 5 dotted, 6 dash-dot.
#pragma once

#include "ui/CLinePickerCB.h"

class CUnderlinePickerCB : public CLinePickerCB {
    Q_OBJECT
public:
    static constexpr int kUnderlineCount = 7;
    explicit CUnderlinePickerCB(QWidget* inParent = nullptr);
    void PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool inSelected) const override;
};
