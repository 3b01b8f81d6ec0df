// The picker combo boxes: their items, selection rules and drawing.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QImage>
#include <QPainter>

#include "UiTestSupport.h"
#include "ui/CColourPickerCB.h"
#include "ui/CDashedPickerCB.h"
#include "ui/CUnderlinePickerCB.h"
#include "ui/CWeightPickerCB.h"

namespace {

TEST(CColourPickerCB, HoldsTheColourTableThenCustom) {
    CColourPickerCB picker;
    const struct {
        const char* name;
        uint32_t colour;
    } expected[] = {{"(无)", 0x000000},    {"黑色", 0x000000}, {"白色", 0xFFFFFF}, {"灰色", 0x7F7F7F},
                    {"红色", 0x0000FF},    {"橙色", 0x007FFF}, {"黄色", 0x00FFFF}, {"绿色", 0x00FF00},
                    {"青色", 0xFFFF00},    {"蓝色", 0xFF0000}, {"紫红色 ", 0xFF00FF}, {"自定义...", 0xFFFFFF}};
    ASSERT_EQ(picker.count(), 12);
    for (int index = 0; index < 12; ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(picker.itemText(index), QString::fromUtf8(expected[index].name));
        EXPECT_EQ(picker.itemData(index).toUInt(), expected[index].colour);
    }
    EXPECT_EQ(picker.currentIndex(), 0);
}

TEST(CColourPickerCB, SetColourPicksTheFirstNamedMatchElseCustom) {
    const struct {
        uint32_t colour;
        int index;
    } rows[] = {{0x000000, 1}, {0xFFFFFF, 2}, {0xFF00FF, 10}, {0x0000FF, 4}, {0x123456, 11}, {0x7F7F7E, 11}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.colour);
        CColourPickerCB picker;
        picker.SetColour(row.colour);
        EXPECT_EQ(picker.currentIndex(), row.index);
        EXPECT_EQ(picker.GetColour(), row.colour);
    }
}

TEST(CColourPickerCB, CustomColourShowsInItsSwatch) {
    CColourPickerCB picker;
    picker.SetColour(0x123456);  // red 0x56, green 0x34, blue 0x12
    const QImage item = uitest::DrawPickerItem(picker, 11, false, 20);
    EXPECT_EQ(item.pixelColor(20, 10), QColor(0x56, 0x34, 0x12));
    // The swatch is framed in black and leaves the text its own place.
    EXPECT_EQ(item.pixelColor(2, 10), QColor(Qt::black));
    EXPECT_NE(item.pixelColor(120, 10), QColor(0x56, 0x34, 0x12));
    // "(无)" has no swatch.
    const QImage none = uitest::DrawPickerItem(picker, 0, false, 20);
    EXPECT_NE(none.pixelColor(20, 10), QColor(Qt::black));
}

TEST(CColourPickerCB, CustomEntryAsksForAColourOnlyWhenChosen) {
    uitest::ScriptedSeam seam;
    CColourPickerCB picker;
    picker.setCurrentIndex(4);
    picker.OnSelectCustom();
    EXPECT_EQ(seam.colourRequests, 0);

    picker.setCurrentIndex(11);
    seam.colours.push_back(QColor(0x10, 0x20, 0x30));
    picker.OnSelectCustom();
    EXPECT_EQ(seam.colourRequests, 1);
    EXPECT_EQ(picker.GetColour(), 0x302010u);

    // A cancelled dialog keeps the custom colour it had.
    picker.OnSelectCustom();
    EXPECT_EQ(seam.colourRequests, 2);
    EXPECT_EQ(picker.GetColour(), 0x302010u);
}

TEST(CColourPickerCB, CancelledCustomColourKeepsTheColourChosenBefore) {
    uitest::ScriptedSeam seam;  // answers no colour: the user cancels
    CColourPickerCB picker;
    picker.setCurrentIndex(4);  // red
    picker.setCurrentIndex(11);
    picker.OnSelectCustom();
    EXPECT_EQ(seam.colourRequests, 1);
    EXPECT_EQ(picker.currentIndex(), 4);
    EXPECT_EQ(picker.GetColour(), 0x0000FFu);
}

TEST(CWeightPickerCB, SetWeightTakesExactTableValuesOnly) {
    const struct {
        double weight;
        int index;
        double read;
    } rows[] = {{0.1, 0, 0.1}, {0.3, 0, 0.1}, {0.25, 1, 0.25}, {1.0, 4, 1.0}, {2.5, 7, 2.5},
                {3.0, 8, 3.0}, {6.0, 11, 6.0}, {0.0, 0, 0.1},  {7.0, 0, 0.1}, {-1.0, 0, 0.1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.weight);
        CWeightPickerCB picker;
        picker.setCurrentIndex(5);
        picker.SetWeight(row.weight);
        EXPECT_EQ(picker.currentIndex(), row.index);
        EXPECT_EQ(picker.GetWeight(), row.read);
    }
    CWeightPickerCB picker;
    picker.setCurrentIndex(-1);
    EXPECT_EQ(picker.GetWeight(), 0.0);
}

int ItemHeightOf(const CPickerCB& inPicker) {
    QStyleOptionViewItem option;
    return inPicker.itemDelegate()->sizeHint(option, inPicker.model()->index(0, 0)).height();
}

TEST(CLinePickerCB, ItemsAreTheirIndicesTenPixelsHigh) {
    CDashedPickerCB dashed;
    CUnderlinePickerCB underline;
    CWeightPickerCB weight;
    const struct {
        CLinePickerCB* picker;
        int count;
    } rows[] = {{&dashed, 5}, {&underline, 7}, {&weight, 12}};
    for (const auto& row : rows) {
        ASSERT_EQ(row.picker->count(), row.count);
        for (int index = 0; index < row.count; ++index) EXPECT_EQ(row.picker->itemText(index), QString::number(index));
        // The underline picker's items are as tall as its word needs (below).
        if (row.picker != &underline) {
            EXPECT_EQ(ItemHeightOf(*row.picker), 10);
        }
    }
}

TEST(CUnderlinePickerCB, NoneIsDrawnWholeInItsItem) {
    CUnderlinePickerCB picker;
    const int height = ItemHeightOf(picker);
    EXPECT_GE(height, QFontMetrics(picker.font()).height());
    const QImage item = uitest::DrawPickerItem(picker, 0, false, height);
    EXPECT_FALSE(uitest::RowHasInk(item, 0, 0, 200));
    EXPECT_FALSE(uitest::RowHasInk(item, height - 1, 0, 200));
    int inked = 0;
    for (int y = 0; y < height; ++y) inked += uitest::RowHasInk(item, y, 0, 200) ? 1 : 0;
    EXPECT_GE(inked, QFontMetrics(picker.font()).ascent() / 2);
}

TEST(CLinePickerCB, DisabledPickerDrawsNothing) {
    CDashedPickerCB dashed;
    CUnderlinePickerCB underline;
    CWeightPickerCB weight;
    for (CLinePickerCB* picker : {static_cast<CLinePickerCB*>(&dashed), static_cast<CLinePickerCB*>(&underline),
                                  static_cast<CLinePickerCB*>(&weight)}) {
        EXPECT_TRUE(uitest::RowHasInk(uitest::DrawPickerItem(*picker, 4, false, 10), 5, 0, 200));
        picker->setEnabled(false);
        const QImage image = uitest::DrawPickerItem(*picker, 4, false, 10);
        for (int y = 0; y < 10; ++y) EXPECT_FALSE(uitest::RowHasInk(image, y, 0, 200)) << "row " << y;
    }
}

TEST(CUnderlinePickerCB, StylesDrawTheirRows) {
    // Item 10 pixels high: the middle row is 5.
    const struct {
        int index;
        bool rows[3];  // 4, 5, 6
    } cases[] = {{1, {false, true, false}}, {2, {true, false, true}}, {3, {true, true, true}},
                 {4, {false, true, false}}};
    CUnderlinePickerCB picker;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.index);
        const QImage image = uitest::DrawPickerItem(picker, row.index, false, 10);
        for (int offset = 0; offset < 3; ++offset)
            EXPECT_EQ(uitest::RowHasInk(image, 4 + offset, 0, 200), row.rows[offset]) << "row " << 4 + offset;
        // Lines start 2 pixels in.
        EXPECT_FALSE(uitest::RowHasInk(image, 5, 0, 2));
        EXPECT_FALSE(uitest::RowHasInk(image, 5, 198, 200));
    }
    // The dashed style leaves gaps that the solid one does not.
    auto gaps = [&](int index) {
        const QImage image = uitest::DrawPickerItem(picker, index, false, 10);
        int blank = 0;
        for (int x = 2; x < 198; ++x) blank += uitest::RowHasInk(image, 5, x, x + 1) ? 0 : 1;
        return blank;
    };
    EXPECT_EQ(gaps(1), 0);
    EXPECT_GT(gaps(4), 20);
    EXPECT_GT(gaps(5), 20);
}

TEST(CWeightPickerCB, WidthsDrawTheirLineCounts) {
    // Rows counted right of the label (x >= 42); the picture starts one row down.
    const struct {
        int index;
        int rows;
    } cases[] = {{0, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 3}, {8, 5}, {11, 8}};
    CWeightPickerCB picker;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.index);
        const QImage image = uitest::DrawPickerItem(picker, row.index, false, 10);
        int inked = 0;
        for (int y = 0; y < 10; ++y) inked += uitest::RowHasInk(image, y, 150, 190) ? 1 : 0;
        EXPECT_EQ(inked, row.rows);
        EXPECT_FALSE(uitest::RowHasInk(image, 5, 198, 200));
    }
    // 0.1 is light grey, 1 is black.
    const QImage thin = uitest::DrawPickerItem(picker, 0, false, 10);
    const QImage one = uitest::DrawPickerItem(picker, 4, false, 10);
    EXPECT_EQ(thin.pixelColor(100, 5), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(one.pixelColor(100, 5), QColor(Qt::black));
}

TEST(PickerScreenshots, EachDropDown) {
    CColourPickerCB colour;
    CDashedPickerCB dashed;
    CUnderlinePickerCB underline;
    CWeightPickerCB weight;
    const struct {
        CPickerCB* picker;
        const char* name;
    } rows[] = {{&colour, "picker-colour"}, {&dashed, "picker-dashed"}, {&underline, "picker-underline"},
                {&weight, "picker-weight"}};
    for (const auto& row : rows) {
        row.picker->resize(160, 24);
        row.picker->show();
        row.picker->setCurrentIndex(2);
        row.picker->showPopup();
        QWidget* popup = row.picker->view()->window();
        ASSERT_TRUE(popup->isVisible());
        uitest::SaveScreenshot(popup, QString::fromLatin1(row.name) + "-dropdown");
        row.picker->hidePopup();
        uitest::SaveScreenshot(row.picker, QString::fromLatin1(row.name));
    }
}

}  // namespace
