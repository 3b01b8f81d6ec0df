#include "ui/CPickerCB.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

// Draws the drop-down list's items through the picker.
class PickerDelegate final : public QStyledItemDelegate {
public:
    explicit PickerDelegate(CPickerCB* inPicker) : QStyledItemDelegate(inPicker), mPicker(inPicker) {}

    void paint(QPainter* inPainter, const QStyleOptionViewItem& inOption,
               const QModelIndex& inIndex) const override {
        inPainter->save();
        const bool selected = inOption.state & QStyle::State_Selected;
        if (mPicker->isEnabled() || mPicker->DrawsWhenDisabled()) {
            mPicker->FillItemBackground(*inPainter, inOption.rect, selected);
            mPicker->PaintItem(*inPainter, inOption.rect, inIndex.row(), selected);
        }
        if (inOption.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.rect = inOption.rect;
            focus.state = inOption.state;
            mPicker->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, inPainter);
        }
        inPainter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& inOption, const QModelIndex& inIndex) const override {
        QSize size = QStyledItemDelegate::sizeHint(inOption, inIndex);
        if (mPicker->ItemHeight() > 0) size.setHeight(mPicker->ItemHeight());
        return size;
    }

private:
    CPickerCB* mPicker;
};

}  // namespace

CPickerCB::CPickerCB(QWidget* inParent) : QComboBox(inParent) {
    setItemDelegate(new PickerDelegate(this));
}

void CPickerCB::FillItemBackground(QPainter& inPainter, const QRect& inRect, bool inSelected) const {
    const QPalette& colours = palette();
    inPainter.fillRect(inRect, colours.color(inSelected ? QPalette::Highlight : QPalette::Base));
    inPainter.setPen(colours.color(inSelected ? QPalette::HighlightedText : QPalette::Text));
}

void CPickerCB::paintEvent(QPaintEvent*) {
    // The frame and arrow as the style draws them, then the current item drawn
    // by the picker in the field, where the style would write its text.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0 || (!isEnabled() && !DrawsWhenDisabled())) return;
    QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // An item of its own height, in the middle of the field.
    if (ItemHeight() > 0 && ItemHeight() < field.height())
        field = QRect(field.left(), field.top() + (field.height() - ItemHeight()) / 2, field.width(), ItemHeight());
    painter.save();
    painter.setClipRect(field);
    FillItemBackground(painter, field, false);
    PaintItem(painter, field, currentIndex(), false);
    painter.restore();
}
