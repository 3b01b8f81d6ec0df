#include "ui/CColourPickerCB.h"

#include <QPainter>

#include "ui/ModalSeam.h"
#include "ui/UiText.h"

namespace {

constexpr PickerColour kColours[kPickerColourCount] = {
    {0x000000, 1300}, {0x000000, 1301}, {0xFFFFFF, 1302}, {0x7F7F7F, 1303}, {0x0000FF, 1304}, {0x007FFF, 1305},
    {0x00FFFF, 1306}, {0x00FF00, 1307}, {0xFFFF00, 1308}, {0xFF0000, 1309}, {0xFF00FF, 1310},
};

constexpr uint32_t kCustomStart = 0xFFFFFF;

}  // namespace

const PickerColour& GetPickerColour(int inIndex) { return kColours[inIndex]; }

QColor ColorRefToQColor(uint32_t inColorRef) {
    return QColor(static_cast<int>(inColorRef & 0xFF), static_cast<int>((inColorRef >> 8) & 0xFF),
                  static_cast<int>((inColorRef >> 16) & 0xFF));
}

uint32_t QColorToColorRef(const QColor& inColour) {
    return static_cast<uint32_t>(inColour.red()) | (static_cast<uint32_t>(inColour.green()) << 8) |
           (static_cast<uint32_t>(inColour.blue()) << 16);
}

CColourPickerCB::CColourPickerCB(QWidget* inParent) : CPickerCB(inParent) {
    for (const PickerColour& colour : kColours) AddColour(ui::ResText(colour.nameId), colour.colorRef);
    AddColour(ui::ResText(ui::kStrCustomColour), kCustomStart);
    setCurrentIndex(0);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int inIndex) {
        mPrevious = mSelected;
        mSelected = inIndex;
    });
}

void CColourPickerCB::AddColour(const QString& inName, uint32_t inColorRef) {
    addItem(inName, QVariant::fromValue(inColorRef));
}

uint32_t CColourPickerCB::GetColour() const {
    const int index = currentIndex();
    return index < 0 ? 0 : itemData(index).toUInt();
}

void CColourPickerCB::SetColour(uint32_t inColorRef) {
    const int last = count() - 1;
    int index = 1;
    while (index < last && itemData(index).toUInt() != inColorRef) ++index;
    if (index == last) setItemData(last, QVariant::fromValue(inColorRef));
    setCurrentIndex(index);
    mPrevious = index;
}

void CColourPickerCB::OnSelectCustom() {
    const int index = currentIndex();
    if (index < 0 || itemText(index) != ui::ResText(ui::kStrCustomColour)) return;
    const QColor chosen = ui::GetModalSeam().ColourDialog(this, Qt::black);
    if (chosen.isValid()) {
        setItemData(index, QVariant::fromValue(QColorToColorRef(chosen)));
        update();
    } else {
        // Cancel keeps the colour chosen before: taking the entry as it is
        // would give its white placeholder to a user who chose nothing.
        setCurrentIndex(mPrevious);
    }
    mPrevious = currentIndex();
}

void CColourPickerCB::PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool inSelected) const {
    const int swatchWidth = inRect.width() / 4;
    QColor textColour = inPainter.pen().color();
    // The selected item's text is the window text inverted, as on the
    // highlight of the system this picker was first drawn for.
    if (inSelected) {
        const QRgb windowText = palette().color(QPalette::Text).rgb();
        textColour = QColor(QRgb(~windowText & 0xFFFFFF));
    }
    QColor swatchColour = ColorRefToQColor(itemData(inIndex).toUInt());
    if (!isEnabled()) {
        textColour = palette().color(QPalette::Disabled, QPalette::Text);
        swatchColour = textColour;
    }
    inPainter.setPen(textColour);
    const QString text = itemText(inIndex);
    const QFontMetrics metrics(inPainter.font());
    if (inIndex == 0) {
        inPainter.drawText(QPoint(inRect.left() + 2, inRect.top() + 2 + metrics.ascent()), text);
        return;
    }
    const QRect swatch(QPoint(inRect.left() + 2, inRect.top() + 2),
                       QPoint(inRect.left() + swatchWidth, inRect.bottom() - 2));
    inPainter.drawText(QPoint(inRect.left() + swatchWidth + 2, inRect.top() + 2 + metrics.ascent()), text);
    inPainter.fillRect(swatch, swatchColour);
    inPainter.setPen(Qt::black);
    inPainter.drawRect(swatch.adjusted(0, 0, -1, -1));
}
