// CNumberField: the number fields of the dialogs (a spin box). The field takes
// whatever number is typed, inside its range or not, and keeps it as typed;
// the dialog checks it at OK (AcceptNumber), which shows the range and leaves
// the user's text for correction. Nothing is ever cut or put back silently. A
// blank field holds no number and is refused the same way. The arrows step
// inside the range.
#pragma once

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>
#include <limits>

#include "ui/UiText.h"

// What a dialog asks of any number field.
class INumberField {
public:
    virtual ~INumberField() = default;
    // Whether the field holds a number inside its range.
    virtual bool HoldsNumberInRange() const = 0;
    // The message that names the range.
    virtual QString RangeMessage() const = 0;
    virtual QAbstractSpinBox& Box() = 0;
};

template <class SpinBox, class Number>
class CNumberField : public SpinBox, public INumberField {
public:
    CNumberField(Number inMinimum, Number inMaximum) {
        // The box itself takes every number; the range is this field's own.
        SpinBox::setRange(kBlank, kWidest);
        SetRange(inMinimum, inMaximum);
    }

    // The range OK accepts and the arrows step in. A number above the new
    // maximum becomes the maximum.
    void SetRange(Number inMinimum, Number inMaximum) {
        mMinimum = inMinimum;
        mMaximum = inMaximum;
        if (this->value() != kBlank && this->value() > mMaximum) this->setValue(mMaximum);
    }
    Number Minimum() const { return mMinimum; }
    Number Maximum() const { return mMaximum; }

    bool HoldsNumberInRange() const override {
        return this->value() != kBlank && this->value() >= mMinimum && this->value() <= mMaximum;
    }
    QString RangeMessage() const override {
        return ui::ResTextWith(std::numeric_limits<Number>::is_integer ? ui::kStrEnterIntegerInRange
                                                                        : ui::kStrEnterNumberInRange,
                               {QString::number(mMinimum), QString::number(mMaximum)});
    }
    QAbstractSpinBox& Box() override { return *this; }

    QSize sizeHint() const override { return Narrowed(SpinBox::sizeHint()); }
    QSize minimumSizeHint() const override { return Narrowed(SpinBox::minimumSizeHint()); }

protected:
    QValidator::State validate(QString& ioText, int& ioPos) const override {
        return IsBlank(ioText) ? QValidator::Acceptable : SpinBox::validate(ioText, ioPos);
    }
    Number valueFromText(const QString& inText) const override {
        return IsBlank(inText) ? kBlank : SpinBox::valueFromText(inText);
    }
    QString textFromValue(Number inValue) const override {
        return inValue == kBlank ? QString() : SpinBox::textFromValue(inValue);
    }
    void stepBy(int inSteps) override {
        const Number from = this->value() == kBlank ? mMinimum : this->value();
        this->setValue(std::clamp<Number>(from + static_cast<Number>(inSteps) * this->singleStep(), mMinimum,
                                          mMaximum));
        this->selectAll();
    }
    QAbstractSpinBox::StepEnabled stepEnabled() const override {
        if (this->isReadOnly()) return QAbstractSpinBox::StepNone;
        const Number value = this->value();
        QAbstractSpinBox::StepEnabled enabled = QAbstractSpinBox::StepNone;
        if (value == kBlank || value < mMaximum) enabled |= QAbstractSpinBox::StepUpEnabled;
        if (value == kBlank || value > mMinimum) enabled |= QAbstractSpinBox::StepDownEnabled;
        return enabled;
    }

private:
    // The numbers the box itself takes; its lowest stands for the blank field.
    static constexpr Number kWidest = std::numeric_limits<Number>::is_integer ? std::numeric_limits<Number>::max()
                                                                              : Number(1e15);
    static constexpr Number kBlank = -kWidest;

    bool IsBlank(const QString& inText) const {
        const QString bare = this->cleanTextOf(inText);
        return bare.isEmpty() || bare == QLatin1String("-") || bare == QLatin1String("+");
    }
    QString cleanTextOf(QString inText) const {
        if (inText.startsWith(this->prefix())) inText.remove(0, this->prefix().size());
        if (inText.endsWith(this->suffix())) inText.chop(this->suffix().size());
        return inText.trimmed();
    }
    // The box measures itself for its own widest number; the field is as wide
    // as its range needs.
    QSize Narrowed(QSize inHint) const {
        const QFontMetrics metrics = this->fontMetrics();
        const int boxText =
            metrics.horizontalAdvance(SpinBox::textFromValue(kWidest).left(18));
        const int rangeText = std::max(metrics.horizontalAdvance(SpinBox::textFromValue(mMinimum)),
                                       metrics.horizontalAdvance(SpinBox::textFromValue(mMaximum)));
        inHint.setWidth(inHint.width() - boxText + rangeText);
        return inHint;
    }

    Number mMinimum = 0;
    Number mMaximum = 0;
};

using CIntField = CNumberField<QSpinBox, int>;
using CDoubleField = CNumberField<QDoubleSpinBox, double>;

namespace ui {

// True when inField is disabled, hidden or holds a number in its range.
// Otherwise shows its range message through inShow, puts the focus back in the
// field with its text selected, and answers false.
template <class Show>
bool AcceptNumber(INumberField& inField, Show&& inShow) {
    QAbstractSpinBox& box = inField.Box();
    if (!box.isEnabled() || box.isHidden() || inField.HoldsNumberInRange()) return true;
    inShow(inField.RangeMessage());
    box.setFocus();
    box.selectAll();
    return false;
}

}  // namespace ui
