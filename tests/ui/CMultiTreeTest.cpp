// The multi-selection tree driven with real mouse and key events on the
// offscreen platform: clicks with Ctrl and Shift, the rubber band (with
// autoscroll and Escape), the keyboard, the drag with its drop test, moves
// among siblings, collapse, and the objects the items own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <map>
#include <string>
#include <vector>

#include "ui/CMultiTree.h"

namespace {

// Counts live objects so that a test sees when items delete theirs.
struct Tracked {
    explicit Tracked(int* inLive) : live(inLive) { ++*live; }
    ~Tracked() { --*live; }
    int* live;
};

class MultiTreeTest : public ::testing::Test {
protected:
    // Two profiles A and B with stamps a1..a3 and b1..b3, all expanded:
    // display order A a1 a2 a3 B b1 b2 b3.
    void SetUp() override {
        mTree.resize(320, 400);
        for (const char* profile : {"A", "B"}) {
            auto* root = Add(nullptr, profile);
            for (int i = 1; i <= 3; ++i) Add(root, QString(profile).toLower() + QString::number(i));
        }
        mTree.expandAll();
        mTree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&mTree));
    }

    CMultiTreeItem* Add(QTreeWidgetItem* inParent, const QString& inName) {
        auto* item = new CMultiTreeItem(inName);
        item->SetObject(std::make_unique<Tracked>(&mLive));
        if (inParent)
            inParent->addChild(item);
        else
            mTree.addTopLevelItem(item);
        mItems[inName.toStdString()] = item;
        return item;
    }

    QTreeWidgetItem* Item(const std::string& inName) { return mItems.at(inName); }
    QPoint Label(const std::string& inName) {
        const QRect rect = mTree.visualItemRect(Item(inName));
        return QPoint(rect.left() + 4, rect.center().y());
    }
    // Right of every label, on the row of the item.
    QPoint Beside(const std::string& inName) { return QPoint(mTree.viewport()->width() - 6, Label(inName).y()); }

    void Send(QEvent::Type inType, QPoint inPos, Qt::MouseButton inButton, Qt::MouseButtons inButtons,
              Qt::KeyboardModifiers inMods = Qt::NoModifier) {
        QWidget* viewport = mTree.viewport();
        QMouseEvent event(inType, QPointF(inPos), QPointF(viewport->mapToGlobal(inPos)), inButton, inButtons, inMods);
        QApplication::sendEvent(viewport, &event);
    }
    void Press(QPoint inPos, Qt::KeyboardModifiers inMods = Qt::NoModifier, Qt::MouseButton inButton = Qt::LeftButton) {
        Send(QEvent::MouseButtonPress, inPos, inButton, inButton, inMods);
    }
    void Move(QPoint inPos, Qt::KeyboardModifiers inMods = Qt::NoModifier, Qt::MouseButton inButton = Qt::LeftButton) {
        Send(QEvent::MouseMove, inPos, Qt::NoButton, inButton, inMods);
    }
    void Release(QPoint inPos, Qt::KeyboardModifiers inMods = Qt::NoModifier,
                 Qt::MouseButton inButton = Qt::LeftButton) {
        Send(QEvent::MouseButtonRelease, inPos, inButton, Qt::NoButton, inMods);
    }
    void Click(const std::string& inName, Qt::KeyboardModifiers inMods = Qt::NoModifier,
               Qt::MouseButton inButton = Qt::LeftButton) {
        Press(Label(inName), inMods, inButton);
        Release(Label(inName), inMods, inButton);
    }
    void Drag(const std::string& inFrom, const std::string& inTo) {
        Press(Label(inFrom));
        Move(Label(inFrom) + QPoint(0, QApplication::startDragDistance() + 3));
        Move(Label(inTo));
        Release(Label(inTo));
    }
    void Key(int inKey, Qt::KeyboardModifiers inMods = Qt::NoModifier) {
        QTest::keyClick(&mTree, Qt::Key(inKey), inMods);
    }

    std::string Selected() {
        std::string names;
        for (QTreeWidgetItem* item : mTree.GetSelectedList())
            names += (names.empty() ? "" : " ") + item->text(0).toStdString();
        return names;
    }
    std::string Caret() { return mTree.currentItem() ? mTree.currentItem()->text(0).toStdString() : ""; }
    std::string Children(const std::string& inName) {
        std::string names;
        QTreeWidgetItem* item = Item(inName);
        for (int i = 0; i < item->childCount(); ++i)
            names += (names.empty() ? "" : " ") + item->child(i)->text(0).toStdString();
        return names;
    }

    int mLive = 0;
    CMultiTree mTree;
    std::map<std::string, QTreeWidgetItem*> mItems;
};

struct ClickStep {
    const char* item;  // null: a click beside the labels of a1 (empty space)
    Qt::KeyboardModifiers mods;
    Qt::MouseButton button;
};

struct ClickRow {
    const char* name;
    std::vector<ClickStep> steps;
    const char* selected;
    const char* caret;
};

TEST_F(MultiTreeTest, ClicksWithCtrlAndShiftSelectAsTheUserExpects) {
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const Qt::MouseButton left = Qt::LeftButton, right = Qt::RightButton;
    const std::vector<ClickRow> rows = {
        {"a click selects one item", {{"a2", none, left}}, "a2", "a2"},
        {"Ctrl-click on a selected item among three leaves two",
         {{"a1", none, left}, {"a3", shift, left}, {"a2", ctrl, left}},
         "a1 a3",
         "a2"},
        {"Shift-click after a click selects every visible item between, inclusive",
         {{"a2", none, left}, {"b1", shift, left}},
         "a2 a3 B b1",
         "b1"},
        {"Shift-click upwards keeps the first click as the anchor",
         {{"b1", none, left}, {"a3", shift, left}, {"b2", shift, left}},
         "b1 b2",
         "b2"},
        {"Ctrl-click adds an item", {{"a1", none, left}, {"b3", ctrl, left}}, "a1 b3", "b3"},
        {"Ctrl+Shift-click adds a range to the selection",
         {{"A", none, left}, {"b1", ctrl, left}, {"b3", ctrl | shift, left}},
         "A b1 b2 b3",
         "b3"},
        {"a plain click on one of several selected keeps only it",
         {{"a1", none, left}, {"a3", ctrl, left}, {"a3", none, left}},
         "a3",
         "a3"},
        {"a right click on an unselected item selects only it",
         {{"a1", none, left}, {"a2", ctrl, left}, {"b1", none, right}},
         "b1",
         "b1"},
        {"a right click on a selected item keeps the selection",
         {{"a1", none, left}, {"a2", ctrl, left}, {"a1", none, right}},
         "a1 a2",
         "a1"},
        {"a click on empty space clears the selection", {{"a1", none, left}, {nullptr, none, left}}, "", "a1"},
    };
    for (const ClickRow& row : rows) {
        SCOPED_TRACE(row.name);
        mTree.ClearAll();
        mTree.setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
        for (const ClickStep& step : row.steps) {
            if (step.item) {
                Click(step.item, step.mods, step.button);
            } else {
                Press(Beside("a1"), step.mods, step.button);
                Release(Beside("a1"), step.mods, step.button);
            }
        }
        EXPECT_EQ(Selected(), row.selected);
        EXPECT_EQ(Caret(), row.caret);
    }
}

TEST_F(MultiTreeTest, ClicksNotifyWhichButton) {
    QSignalSpy clicks(&mTree, &CMultiTree::clicked);
    Click("a1");
    Click("a2", Qt::NoModifier, Qt::RightButton);
    ASSERT_EQ(clicks.count(), 2);
    EXPECT_EQ(clicks[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(clicks[1][0].value<Qt::MouseButton>(), Qt::RightButton);
}

struct BandRow {
    const char* name;
    const char* before;  // items selected first (Ctrl-clicks)
    Qt::KeyboardModifiers mods;
    const char* selected;
};

TEST_F(MultiTreeTest, RubberBandSelectsTheItemsItMeets) {
    const std::vector<BandRow> rows = {
        {"a band from a1 to a3 selects them and clears the rest", "b2", Qt::NoModifier, "a1 a2 a3"},
        {"with Ctrl the band toggles the items selected before", "a2 b2", Qt::ControlModifier, "a1 a3 b2"},
        {"with Shift the band adds to the selection", "b2", Qt::ShiftModifier, "a1 a2 a3 b2"},
    };
    for (const BandRow& row : rows) {
        SCOPED_TRACE(row.name);
        mTree.ClearAll();
        for (const QString& name : QString(row.before).split(' ', Qt::SkipEmptyParts))
            Click(name.toStdString(), Qt::ControlModifier);
        Press(Beside("a1"), row.mods);
        Move(Beside("a2"), row.mods);
        Move(Beside("a3"), row.mods);
        EXPECT_TRUE(mTree.IsRubberBandShown());
        Release(Beside("a3"), row.mods);
        EXPECT_FALSE(mTree.IsRubberBandShown());
        EXPECT_EQ(Selected(), row.selected);
    }
}

TEST_F(MultiTreeTest, RubberBandShrinksWithTheMouseAndEscapeClearsEverything) {
    Press(Beside("a1"));
    Move(Beside("b1"));
    EXPECT_EQ(Selected(), "a1 a2 a3 B b1");
    Move(Beside("a2"));
    EXPECT_EQ(Selected(), "a1 a2") << "items the band leaves are cleared again";
    Key(Qt::Key_Escape);
    EXPECT_EQ(Selected(), "");
    EXPECT_FALSE(mTree.IsRubberBandShown());
    Release(Beside("a2"));
    EXPECT_EQ(Selected(), "") << "the release after Escape selects nothing";
}

TEST_F(MultiTreeTest, RubberBandNeedsTheDragDistanceBeforeItStarts) {
    Click("b1");
    Press(Beside("a1"), Qt::ShiftModifier);
    Move(Beside("a1") + QPoint(0, 1), Qt::ShiftModifier);
    EXPECT_FALSE(mTree.IsRubberBandShown());
    Release(Beside("a1") + QPoint(0, 1), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), "b1") << "a press with Shift and no movement keeps the selection";
}

TEST_F(MultiTreeTest, RubberBandScrollsTheTreeWhenTheMouseLeavesIt) {
    auto* many = Add(nullptr, "C");
    for (int i = 0; i < 60; ++i) Add(many, QString("c%1").arg(i));
    mTree.expandAll();
    mTree.resize(320, 160);
    QApplication::processEvents();
    QScrollBar* bar = mTree.verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    ASSERT_EQ(bar->value(), 0);
    Press(Beside("a1"));
    Move(QPoint(Beside("a1").x(), mTree.viewport()->height() + 20));
    QTest::qWait(600);
    EXPECT_GT(bar->value(), 0);
    Release(QPoint(Beside("a1").x(), mTree.viewport()->height() + 20));
    EXPECT_TRUE(mTree.IsSelected(Item("c0"))) << "items scrolled into the band are selected: " << Selected();
    EXPECT_TRUE(mTree.IsSelected(Item("a1")));
}

struct KeyStep {
    int key;
    Qt::KeyboardModifiers mods;
};

struct KeyRow {
    const char* name;
    const char* start;  // clicked first
    std::vector<KeyStep> keys;
    const char* selected;
    const char* caret;
};

TEST_F(MultiTreeTest, KeyboardMovesCaretAndSelection) {
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier;
    const std::vector<KeyRow> rows = {
        {"Down selects the next item only", "a1", {{Qt::Key_Down, none}}, "a2", "a2"},
        {"Up at the top stays on the first item", "A", {{Qt::Key_Up, none}}, "A", "A"},
        {"Shift+Down extends from the anchor", "a2", {{Qt::Key_Down, shift}, {Qt::Key_Down, shift}}, "a2 a3 B", "B"},
        {"Shift+Up after Shift+Down shrinks back to the anchor",
         "a2",
         {{Qt::Key_Down, shift}, {Qt::Key_Down, shift}, {Qt::Key_Up, shift}},
         "a2 a3",
         "a3"},
        {"Ctrl+Down moves only the caret", "a1", {{Qt::Key_Down, ctrl}, {Qt::Key_Down, ctrl}}, "a1", "a3"},
        {"Ctrl+A selects every visible item and keeps the caret",
         "a2",
         {{Qt::Key_A, ctrl}},
         "A a1 a2 a3 B b1 b2 b3",
         "a2"},
    };
    for (const KeyRow& row : rows) {
        SCOPED_TRACE(row.name);
        Click(row.start);
        for (const KeyStep& step : row.keys) Key(step.key, step.mods);
        EXPECT_EQ(Selected(), row.selected);
        EXPECT_EQ(Caret(), row.caret);
    }
}

TEST_F(MultiTreeTest, DropOfAStampAfterAnotherMovesItWithItsObject) {
    int moves = 0;
    mTree.SetAfterMoveCallback([&] { ++moves; });
    mTree.SetDropTestCallback([](QTreeWidgetItem* dragged, QTreeWidgetItem* target, bool* allowed, bool* asChild) {
        *allowed = dragged->parent() != nullptr;
        *asChild = target->parent() == nullptr;
    });
    void* object = static_cast<CMultiTreeItem*>(Item("a1"))->GetObject();
    QSignalSpy drags(&mTree, &CMultiTree::beginDrag);
    Drag("a1", "b2");
    EXPECT_EQ(drags.count(), 1);
    EXPECT_EQ(Children("A"), "a2 a3");
    EXPECT_EQ(Children("B"), "b1 b2 a1 b3");
    EXPECT_EQ(static_cast<CMultiTreeItem*>(Item("a1"))->GetObject(), object);
    EXPECT_EQ(Selected(), "a1");
    EXPECT_EQ(moves, 1);
    Drag("b1", "A");
    EXPECT_EQ(Children("A"), "a2 a3 b1") << "a drop on a profile makes the stamp its last child";
    EXPECT_EQ(moves, 2);
    EXPECT_EQ(mLive, 8) << "no object was lost or copied";
}

struct RefusedRow {
    const char* name;
    const char* ctrlClickFirst;  // a second item selected before the drag; may be null
    const char* from;
    const char* to;
};

TEST_F(MultiTreeTest, RefusedDropsMoveNothingAndShowTheNoEntryCursor) {
    int moves = 0;
    mTree.SetAfterMoveCallback([&] { ++moves; });
    const std::vector<RefusedRow> rows = {
        {"two items selected", "b1", "a1", "b2"},
        {"onto its own descendant", nullptr, "A", "a2"},
        {"onto its own parent as a child", nullptr, "a1", "A"},
        {"onto itself", nullptr, "a2", "a2"},
    };
    for (const RefusedRow& row : rows) {
        SCOPED_TRACE(row.name);
        mTree.ClearAll();
        if (row.ctrlClickFirst) {
            Click(row.from);
            Click(row.ctrlClickFirst, Qt::ControlModifier);
        }
        Press(Label(row.from));
        Move(Label(row.from) + QPoint(0, QApplication::startDragDistance() + 3));
        Move(Label(row.to));
        EXPECT_TRUE(mTree.IsDragging());
        EXPECT_EQ(mTree.viewport()->cursor().shape(), Qt::ForbiddenCursor);
        Release(Label(row.to));
        EXPECT_FALSE(mTree.IsDragging());
        EXPECT_EQ(Children("A"), "a1 a2 a3");
        EXPECT_EQ(Children("B"), "b1 b2 b3");
    }
    EXPECT_EQ(moves, 0);
}

TEST_F(MultiTreeTest, DropTestCanRefuseButNeverAllowWhatTheTreeRefuses) {
    mTree.SetDropTestCallback([](QTreeWidgetItem* dragged, QTreeWidgetItem*, bool* allowed, bool*) {
        *allowed = dragged->parent() != nullptr;  // stamps only: it would allow two selected
    });
    Drag("A", "b1");
    EXPECT_EQ(mTree.topLevelItemCount(), 2);
    EXPECT_EQ(Children("B"), "b1 b2 b3");
    Click("a1");
    Click("a2", Qt::ControlModifier);
    Press(Label("a2"));
    Move(Label("a2") + QPoint(0, QApplication::startDragDistance() + 3));
    Move(Label("B"));
    EXPECT_EQ(mTree.viewport()->cursor().shape(), Qt::ForbiddenCursor);
    Release(Label("B"));
    EXPECT_EQ(Children("B"), "b1 b2 b3");
}

TEST_F(MultiTreeTest, MoveItemAmongSiblings) {
    int moves = 0;
    mTree.SetAfterMoveCallback([&] { ++moves; });
    mTree.MoveItem(Item("a1"), true);
    EXPECT_EQ(Children("A"), "a1 a2 a3") << "the first stays first";
    EXPECT_EQ(moves, 0);
    mTree.MoveItem(Item("a2"), true);
    EXPECT_EQ(Children("A"), "a2 a1 a3");
    mTree.MoveItem(Item("a2"), false);
    mTree.MoveItem(Item("a2"), false);
    EXPECT_EQ(Children("A"), "a1 a3 a2");
    mTree.MoveItem(Item("a2"), false);
    EXPECT_EQ(Children("A"), "a1 a3 a2") << "the last stays last";
    EXPECT_EQ(moves, 3);
    EXPECT_EQ(Selected(), "a2");
    mTree.MoveItem(Item("B"), true);
    EXPECT_EQ(mTree.topLevelItem(0)->text(0), "B");
    EXPECT_TRUE(Item("B")->isExpanded()) << "a moved profile keeps its stamps shown";
}

TEST_F(MultiTreeTest, CollapsingAProfileDeselectsItsStamps) {
    Click("b1");
    Click("a1", Qt::ControlModifier);
    Click("a3", Qt::ControlModifier);
    Item("A")->setExpanded(false);
    EXPECT_EQ(Selected(), "b1");
    EXPECT_TRUE(mTree.selectedItems().contains(Item("b1")));
    EXPECT_EQ(mTree.selectedItems().size(), 1) << "no hidden item stays selected";
    EXPECT_EQ(Caret(), "") << "the caret was a hidden stamp of an unselected profile";
}

TEST_F(MultiTreeTest, SelectionChangesAreNotifiedAndCanBeVetoed) {
    QSignalSpy changed(&mTree, &CMultiTree::itemSelectChanged);
    QTreeWidgetItem* vetoed = Item("b2");
    QObject::connect(&mTree, &CMultiTree::selectionChanging,
                     [&](QTreeWidgetItem* item, bool, bool* veto) { *veto = item == vetoed; });
    Click("a1");
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<QTreeWidgetItem*>(), Item("a1"));
    EXPECT_TRUE(changed[0][1].toBool());
    EXPECT_FALSE(mTree.SetItemState(vetoed, CMultiTree::kStateSelected, CMultiTree::kStateSelected));
    EXPECT_FALSE(mTree.IsSelected(vetoed));
    mTree.SelectRange(Item("a1"), Item("b3"), true);
    EXPECT_EQ(Selected(), "a1 a2 a3 B b1 b3");
}

TEST_F(MultiTreeTest, ItemStateKeepsCaretAndSelectionApart) {
    mTree.SelectItem(Item("a1"));
    EXPECT_EQ(mTree.GetItemState(Item("a1"), CMultiTree::kStateCaret | CMultiTree::kStateSelected),
              unsigned(CMultiTree::kStateCaret | CMultiTree::kStateSelected));
    mTree.SetItemState(Item("a2"), CMultiTree::kStateCaret, CMultiTree::kStateCaret);
    EXPECT_EQ(Selected(), "a1") << "the caret moved without selecting";
    EXPECT_EQ(mTree.GetItemState(Item("a2"), CMultiTree::kStateCaret), unsigned(CMultiTree::kStateCaret));
    EXPECT_EQ(mTree.GetItemState(Item("a1"), CMultiTree::kStateCaret), 0u);
    EXPECT_EQ(mTree.GetNextSelectedItem(Item("A")), Item("a1"));
    EXPECT_EQ(mTree.GetNextSelectedItem(Item("a1")), nullptr);
    mTree.SelectAll(true);
    EXPECT_EQ(mTree.SetMultiSelect(false), true);
    EXPECT_EQ(Selected(), "a2") << "switching multi-select off keeps only the caret selected";
}

TEST_F(MultiTreeTest, NameCutOffShowsWholeAsTooltip) {
    const QString longName = QStringLiteral("一个很长很长的描述文件名称") + QString(40, QChar('x'));
    Add(nullptr, longName);
    auto tooltipOver = [&](const std::string& inName) {
        const QPoint at = Label(inName);
        QHelpEvent help(QEvent::ToolTip, at, mTree.viewport()->mapToGlobal(at));
        QApplication::sendEvent(mTree.viewport(), &help);
        return QToolTip::text();
    };
    EXPECT_EQ(tooltipOver("A"), QString());
    EXPECT_EQ(tooltipOver(longName.toStdString()), longName);
    QToolTip::hideText();
}

TEST_F(MultiTreeTest, ItemsDeleteTheirObjects) {
    EXPECT_EQ(mLive, 8);
    mTree.DeleteItem(Item("A"));
    EXPECT_EQ(mLive, 4) << "a profile goes with its stamps and all their objects";
    mTree.DeleteAllItems();
    EXPECT_EQ(mLive, 0);
}

}  // namespace
