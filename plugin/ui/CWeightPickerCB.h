// CWeightPickerCB: the border line-width picker; twelve widths from 0.1 to 6
// points, each shown as its label and one to eight lines.
#pragma once

#include "ui/CLinePickerCB.h"

class CWeightPickerCB : public CLinePickerCB {
    Q_OBJECT
public:
    static constexpr int kWeightCount = 12;
    explicit CWeightPickerCB(QWidget* inParent = nullptr);

    // The width of index inIndex in points; 0.0 outside 0..11.
    static double WeightOf(int inIndex);
    // The width of the selection; 0.0 when nothing is selected.
    double GetWeight() const;
    // Selects index 0, then the index whose width equals inWeight exactly;
    // any other value leaves 0.1 selected.
    void SetWeight(double inWeight);

    void PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool inSelected) const override;
};
