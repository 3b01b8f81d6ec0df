// CColourPickerCB: the colour picker of the design dialogs. Its items are the
// process-wide colour table's eleven entries ("(无)" first, which stands for
// no colour) and "自定义...", whose colour the user picks; each item's data is
// its colour as 0x00BBGGRR. Each item shows its name beside a swatch.
#pragma once

#include <cstdint>

#include "ui/CPickerCB.h"

// One entry of the colour table.
struct PickerColour {
    uint32_t colorRef;  // 0x00BBGGRR
    uint32_t nameId;    // the name's string-table id
};
// The colour table: 11 entries, index 0 "(无)" (no colour), then black,
// white, grey, red, orange, yellow, green, cyan, blue, magenta.
constexpr int kPickerColourCount = 11;
const PickerColour& GetPickerColour(int inIndex);
// 0x00BBGGRR to a Qt colour and back.
QColor ColorRefToQColor(uint32_t inColorRef);
uint32_t QColorToColorRef(const QColor& inColour);

class CColourPickerCB : public CPickerCB {
    Q_OBJECT
public:
    // Filled with the table's entries and "自定义..." (0xFFFFFF); item 0 selected.
    explicit CColourPickerCB(QWidget* inParent = nullptr);

    // Adds an item with that text and colour.
    void AddColour(const QString& inName, uint32_t inColorRef);
    // The colour of the selected item (0 when none is selected). The caller
    // tells "(无)" by the selection index.
    uint32_t GetColour() const;
    // Selects the first item from index 1 on with that colour; when none
    // before the last matches, selects "自定义..." and makes it that colour.
    // Never selects "(无)".
    virtual void SetColour(uint32_t inColorRef);
    // When "自定义..." is selected: asks for a colour (through the modal seam,
    // starting at black); a chosen colour becomes the item's colour. A
    // cancelled dialog selects again the item chosen before.
    void OnSelectCustom();

    void PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool inSelected) const override;

private:
    // The selection and the one before it; after a colour is set or picked
    // both are that colour's item.
    int mSelected = 0;
    int mPrevious = 0;
};
