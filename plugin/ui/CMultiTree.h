// CMultiTree: a tree control in which the user selects several items with the
// mouse (click, Ctrl-click, Shift-click, a rubber band that scrolls the tree
// when it leaves it) and the keyboard, drags one item onto another, and moves
// an item among its siblings. Each item owns the object it holds (deleted with
// the item), and the objects move with their items.
//
// Selection is the view's selection of each item; the caret is the view's
// current item, kept apart from the selection (a caret may be unselected).
// Selection walks visit visible items only (items whose ancestors are all
// expanded), from the top in display order.
//
// Notifications: every change of one item's selection through SetItemState
// first emits selectionChanging (a slot may veto it) and then
// itemSelectChanged; itemSelectionChanged (the view's own) follows any change.
// A click ends with clicked (the button); a drag that starts emits beginDrag
// and then the tree runs the drag itself.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSet>
#include <QTreeWidget>
#include <functional>
#include <memory>

class QRubberBand;
class QTimer;

// An item of a CMultiTree: a tree widget item that owns its object.
class CMultiTreeItem : public QTreeWidgetItem {
public:
    explicit CMultiTreeItem(const QString& inText);
    // Takes ownership of inObject (any type; deleted with its own type).
    template <class T>
    void SetObject(std::unique_ptr<T> inObject) {
        mObject = std::shared_ptr<void>(std::move(inObject));
    }
    // The object held; null when none.
    void* GetObject() const { return mObject.get(); }
    template <class T>
    T* GetObjectAs() const {
        return static_cast<T*>(mObject.get());
    }

private:
    std::shared_ptr<void> mObject;
};

class CMultiTree : public QTreeWidget {
    Q_OBJECT
public:
    // Item state bits (a mask says which count).
    enum : unsigned {
        kStateCaret = 0x1,     // the item is the caret
        kStateSelected = 0x2,  // the item is selected
    };
    // Called after a drop or a move.
    typedef std::function<void()> AfterMoveCallback;
    // May change whether inDragged may be dropped on inTarget and whether it
    // goes in as inTarget's last child (else after inTarget).
    typedef std::function<void(QTreeWidgetItem* inDragged, QTreeWidgetItem* inTarget, bool* ioAllowed, bool* ioAsChild)>
        DropTestCallback;
    // Called after a right button release (its modifiers and position).
    typedef std::function<void(Qt::KeyboardModifiers, QPoint)> RightButtonUpCallback;

    // Multi-select on, no callbacks, not dragging, no anchor.
    explicit CMultiTree(QWidget* inParent = nullptr);
    ~CMultiTree() override;

    // Answers the old value. Switching it off keeps only the caret selected
    // (when it was); the tree then behaves as a plain tree.
    bool SetMultiSelect(bool inMulti);
    bool IsMultiSelect() const { return mMultiSelect; }

    bool IsSelected(QTreeWidgetItem* inItem) const;
    // The state bits of inItem within inMask.
    unsigned GetItemState(QTreeWidgetItem* inItem, unsigned inMask) const;
    // Sets the bits of inMask to those of inState. Changing the selection asks
    // selectionChanging first (a veto answers false, nothing changed).
    bool SetItemState(QTreeWidgetItem* inItem, unsigned inState, unsigned inMask);
    // Clears every selection; the item becomes the caret and selected.
    void SelectItem(QTreeWidgetItem* inItem);

    int GetSelectedCount() const;
    QTreeWidgetItem* GetFirstSelectedItem() const;
    QTreeWidgetItem* GetNextSelectedItem(QTreeWidgetItem* inItem) const;
    // The selected visible items in display order.
    QList<QTreeWidgetItem*> GetSelectedList() const;
    // Every visible item in display order.
    QList<QTreeWidgetItem*> GetVisibleItems() const;

    // Selects (true) or clears (false) every visible item.
    void SelectAll(bool inSelect);
    void ClearAll() { SelectAll(false); }
    // Clears every selection but inItem's.
    void ClearAllExcept(QTreeWidgetItem* inItem);
    // Selects the visible items from inFirst to inLast (either order),
    // clearing the rest when inClearRest.
    void SelectRange(QTreeWidgetItem* inFirst, QTreeWidgetItem* inLast, bool inClearRest);

    QTreeWidgetItem* GetAnchor() const { return mAnchor; }
    int CountChildren(QTreeWidgetItem* inItem) const { return inItem ? inItem->childCount() : 0; }

    // Moves inItem one place up or down among its siblings (nothing at the
    // edge), then runs the after-move callback and selects the item.
    void MoveItem(QTreeWidgetItem* inItem, bool inUp);
    // Deletes inItem, its descendants and their objects.
    void DeleteItem(QTreeWidgetItem* inItem);
    void DeleteAllItems();

    void SetAfterMoveCallback(AfterMoveCallback inCallback) { mAfterMove = std::move(inCallback); }
    void SetDropTestCallback(DropTestCallback inCallback) { mDropTest = std::move(inCallback); }
    void SetRightButtonUpCallback(RightButtonUpCallback inCallback) { mRightButtonUp = std::move(inCallback); }
    // With drag disabled a drag selects the item but does not start.
    void SetDragDisabled(bool inDisabled) { mDragDisabled = inDisabled; }

    // The drag in progress (for tests and painting).
    bool IsDragging() const { return mDragging; }
    QTreeWidgetItem* GetDropTarget() const { return mDropTarget; }
    bool IsRubberBandShown() const;

    // Closes an item's label editor without taking its text, as Esc in the
    // editor does; false when no label is being edited.
    bool CancelLabelEdit();

signals:
    void selectionChanging(QTreeWidgetItem* inItem, bool inSelecting, bool* outVeto);
    void itemSelectChanged(QTreeWidgetItem* inItem, bool inSelected);
    void clicked(Qt::MouseButton inButton);
    void beginDrag(Qt::MouseButton inButton, QPoint inPoint);

protected:
    void mousePressEvent(QMouseEvent* inEvent) override;
    void mouseMoveEvent(QMouseEvent* inEvent) override;
    void mouseReleaseEvent(QMouseEvent* inEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* inEvent) override;
    void keyPressEvent(QKeyEvent* inEvent) override;
    using QTreeWidget::edit;
    // Remembers the item whose label editor opens.
    bool edit(const QModelIndex& inIndex, EditTrigger inTrigger, QEvent* inEvent) override;
    void drawRow(QPainter* inPainter, const QStyleOptionViewItem& inOption, const QModelIndex& inIndex) const override;
    // A name the row cuts off ("…") shows whole as the row's tooltip.
    bool viewportEvent(QEvent* inEvent) override;

private:
    enum class Press { kNone, kItem, kBand };

    QTreeWidgetItem* Caret() const { return currentItem(); }
    bool IsTextCut(const QModelIndex& inIndex) const;
    void SetCaret(QTreeWidgetItem* inItem);
    // Where a press lands: on the item's icon or label (the item), elsewhere
    // (null, the rubber band), or on an expand button (handled by the base).
    bool IsOnExpandButton(QTreeWidgetItem* inItem, QPoint inPos) const;
    bool IsOnLabel(QTreeWidgetItem* inItem, QPoint inPos) const;
    bool SetSelected(QTreeWidgetItem* inItem, bool inSelected);

    void PressSelection(QTreeWidgetItem* inItem, Qt::MouseButton inButton, Qt::KeyboardModifiers inMods);
    void EndClick(QMouseEvent* inEvent);
    void StartDrag(QPoint inPos);

    void StartBand(QMouseEvent* inEvent);
    void UpdateBand(QPoint inViewportPos);
    void EndBand(bool inEscape);
    void AutoScrollBand();
    QPoint ContentOffset() const;

    void DragOver(QPoint inPos);
    bool DropAllowed(QTreeWidgetItem* inTarget, bool* outAsChild) const;
    void Drop(QPoint inPos);
    // Moves inItem (with its subtree, objects and expansion) to inParent (null:
    // the top level) at inIndex, or right after inAfter when it is given.
    void Relocate(QTreeWidgetItem* inItem, QTreeWidgetItem* inParent, int inIndex, QTreeWidgetItem* inAfter = nullptr);
    void OnCollapsed(QTreeWidgetItem* inItem);

    bool mMultiSelect = true;
    bool mDragDisabled = false;
    QTreeWidgetItem* mAnchor = nullptr;
    bool mNotifying = false;
    AfterMoveCallback mAfterMove;
    DropTestCallback mDropTest;
    RightButtonUpCallback mRightButtonUp;

    // The press being followed: on an item (click or drag) or a rubber band.
    Press mPress = Press::kNone;
    Qt::MouseButton mPressButton = Qt::NoButton;
    Qt::KeyboardModifiers mPressMods;
    QPoint mPressPos;  // viewport coordinates
    QTreeWidgetItem* mPressItem = nullptr;

    // Dragging.
    bool mDragging = false;
    bool mDropAsChild = true;
    QTreeWidgetItem* mDraggedItem = nullptr;
    QTreeWidgetItem* mDropTarget = nullptr;

    // Rubber band: the press point in content coordinates (so that it stays
    // put while the tree scrolls), the selection remembered with Shift or
    // Ctrl, and the timer that scrolls while the cursor is outside.
    QPoint mBandOrigin;
    QPoint mBandLast;
    bool mBandMoved = false;
    QSet<QTreeWidgetItem*> mRemembered;
    QRubberBand* mBand = nullptr;
    QTimer* mBandTimer = nullptr;

    // The item whose label editor was opened last.
    QPersistentModelIndex mEdited;
};
