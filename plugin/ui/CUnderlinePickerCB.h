// CUnderlinePickerCB: the text underline picker; index 0 none (shown as
// "(无)"), 1 single, 2 double (one pixel above and below the middle), 3 thick
// (three rows), 4 dashed, 5 dotted, 6 dash-dot. Its items are as high as the
// word "(无)" needs, and never less than the other line pickers' items.
#pragma once

#include "ui/CLinePickerCB.h"

class CUnderlinePickerCB : public CLinePickerCB {
    Q_OBJECT
public:
    static constexpr int kUnderlineCount = 7;
    explicit CUnderlinePickerCB(QWidget* inParent = nullptr);
    int ItemHeight() const override;
    void PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool inSelected) const override;
};
