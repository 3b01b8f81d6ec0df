// The common part of the three line pickers (line type, underline, line
// width): items 10 pixels high whose texts are their indices, drawn as lines;
// a disabled line picker draws nothing. The dialogs store the selection index
// (the width picker also has its value operations).
#pragma once

#include "ui/CPickerCB.h"

class CLinePickerCB : public CPickerCB {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 10;

    // Adds inItemCount items with the texts "0" to inItemCount - 1.
    CLinePickerCB(int inItemCount, QWidget* inParent);

    int ItemHeight() const override { return kItemHeight; }
    bool DrawsWhenDisabled() const override { return false; }

    // The picture's rectangle: the item's with 2 pixels off left and right.
    static QRect PictureRect(const QRect& inItemRect) { return inItemRect.adjusted(2, 0, -2, 0); }
    // The picture's middle row: top + (bottom - top) / 2 of the rectangle's edges.
    static int MiddleOf(const QRect& inRect);
    // A one-pixel line of inStyle across the picture at row inY, in the colour
    // of the painter's pen.
    static void DrawLine(QPainter& inPainter, const QRect& inPicture, int inY, Qt::PenStyle inStyle);
};
