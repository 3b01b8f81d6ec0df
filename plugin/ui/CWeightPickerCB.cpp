#include "ui/CWeightPickerCB.h"

#include <QPainter>

namespace {

constexpr double kWeights[CWeightPickerCB::kWeightCount] = {0.1, 0.25, 0.5, 0.75, 1.0, 1.5,
                                                            2.0, 2.5, 3.0, 4.0, 5.0, 6.0};
const char* const kLabels[CWeightPickerCB::kWeightCount] = {"0.1", "0.25", "0.5", "0.75", "1", "1.5",
                                                            "2",   "2.5",  "3",   "4",    "5", "6"};
const QColor kLight(0xC0, 0xC0, 0xC0);
const QColor kGrey(0x7F, 0x7F, 0x7F);

void Row(QPainter& inPainter, int inLeft, int inRight, int inY, const QColor& inColour) {
    inPainter.setPen(QPen(inColour, 1));
    inPainter.drawLine(inLeft, inY, inRight, inY);
}

}  // namespace

CWeightPickerCB::CWeightPickerCB(QWidget* inParent) : CLinePickerCB(kWeightCount, inParent) {}

double CWeightPickerCB::WeightOf(int inIndex) {
    return inIndex >= 0 && inIndex < kWeightCount ? kWeights[inIndex] : 0.0;
}

double CWeightPickerCB::GetWeight() const { return WeightOf(currentIndex()); }

void CWeightPickerCB::SetWeight(double inWeight) {
    setCurrentIndex(0);
    for (int index = 1; index < kWeightCount; ++index) {
        if (kWeights[index] == inWeight) {
            setCurrentIndex(index);
            return;
        }
    }
}

void CWeightPickerCB::PaintItem(QPainter& inPainter, const QRect& inRect, int inIndex, bool) const {
    if (inIndex < 0 || inIndex >= kWeightCount) return;
    const QRect picture = PictureRect(inRect).adjusted(0, 1, 0, 0);
    const int middle = MiddleOf(picture);
    const int left = picture.left() + 40;
    const int right = picture.right();
    QFont font = inPainter.font();
    font.setPixelSize(kItemHeight - 1);
    inPainter.setFont(font);
    inPainter.drawText(QRect(picture.left() + 10, picture.top(), 30, picture.height()),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, QString::fromLatin1(kLabels[inIndex]));
    switch (inIndex) {
        case 0:
        case 1: Row(inPainter, left, right, middle, kLight); return;
        case 2:
        case 3: Row(inPainter, left, right, middle, kGrey); return;
        case 4: Row(inPainter, left, right, middle, Qt::black); return;
        case 5:
            Row(inPainter, left, right, middle, kGrey);
            Row(inPainter, left, right, middle + 1, Qt::black);
            return;
        case 6:
            Row(inPainter, left, right, middle, Qt::black);
            Row(inPainter, left, right, middle + 1, Qt::black);
            return;
        case 7:
            Row(inPainter, left, right, middle - 1, kGrey);
            Row(inPainter, left, right, middle, Qt::black);
            Row(inPainter, left, right, middle + 1, Qt::black);
            return;
        default: {
            // index - 3 black rows, the lowest at middle + (index - 5) / 2.
            const int lowest = middle + (inIndex - 5) / 2;
            for (int row = 0; row < inIndex - 3; ++row) Row(inPainter, left, right, lowest - row, Qt::black);
            return;
        }
    }
}
