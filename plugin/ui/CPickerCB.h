// The common part of the owner-drawn picker combo boxes: the drop-down list
// and the closed box both show each item as the picker draws it (a colour
// swatch, a line), never as a plain word. A kind says how one item is drawn
// and how tall items are.
#pragma once

#include <QComboBox>

class QPainter;

class CPickerCB : public QComboBox {
    Q_OBJECT
public:
    explicit CPickerCB(QWidget* inParent = nullptr);

    // Draws item inIndex into inRect; inSelected: it is the highlighted item.
    // The rectangle is already filled with the item's background.
    virtual void PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool inSelected) const = 0;
    // The height of one item in pixels; 0 keeps the style's.
    virtual int ItemHeight() const { return 0; }
    // Whether a disabled picker still draws its items (the line pickers draw
    // nothing then).
    virtual bool DrawsWhenDisabled() const { return true; }

    // Fills inRect with the item background: the highlight colour when
    // selected, else the window colour; sets the pen to the matching text
    // colour.
    void FillItemBackground(QPainter& inPainter, const QRect& inRect, bool inSelected) const;

protected:
    void paintEvent(QPaintEvent* inEvent) override;
};
