#include "ui/CMultiTree.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

namespace {

constexpr int kBandTimerMs = 75;

bool IsAncestorOf(const QTreeWidgetItem* inAncestor, const QTreeWidgetItem* inItem) {
    for (const QTreeWidgetItem* p = inItem ? inItem->parent() : nullptr; p; p = p->parent())
        if (p == inAncestor) return true;
    return false;
}

bool InSubtree(const QTreeWidgetItem* inRoot, const QTreeWidgetItem* inItem) {
    return inItem && (inItem == inRoot || IsAncestorOf(inRoot, inItem));
}

// A move that starts a drag or a rubber band: farther than the system's drag
// distance along either axis.
bool BeyondDragDistance(QPoint inFrom, QPoint inTo) {
    const QPoint delta = inTo - inFrom;
    const int distance = QApplication::startDragDistance();
    return std::abs(delta.x()) > distance || std::abs(delta.y()) > distance;
}

Qt::KeyboardModifiers ShiftCtrl(Qt::KeyboardModifiers inMods) {
    return inMods & (Qt::ShiftModifier | Qt::ControlModifier);
}

// The expansion of a subtree, in pre-order, so that a moved item shows as before.
void SaveExpansion(QTreeWidgetItem* inItem, QList<bool>& outStates) {
    outStates.append(inItem->isExpanded());
    for (int i = 0; i < inItem->childCount(); ++i) SaveExpansion(inItem->child(i), outStates);
}

void RestoreExpansion(QTreeWidgetItem* inItem, const QList<bool>& inStates, int& ioAt) {
    const bool expanded = ioAt < inStates.size() && inStates[ioAt];
    ++ioAt;
    for (int i = 0; i < inItem->childCount(); ++i) RestoreExpansion(inItem->child(i), inStates, ioAt);
    inItem->setExpanded(expanded);
}

}  // namespace

CMultiTreeItem::CMultiTreeItem(const QString& inText) : QTreeWidgetItem(QStringList{inText}) {}

CMultiTree::CMultiTree(QWidget* inParent) : QTreeWidget(inParent) {
    setObjectName(QStringLiteral("CMultiTree"));
    setColumnCount(1);
    header()->hide();
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    // The tree runs its own drag of one item; Qt's drag and drop stays off.
    setDragEnabled(false);
    setAcceptDrops(false);
    mBandTimer = new QTimer(this);
    mBandTimer->setInterval(kBandTimerMs);
    connect(mBandTimer, &QTimer::timeout, this, &CMultiTree::AutoScrollBand);
    connect(this, &QTreeWidget::itemCollapsed, this, &CMultiTree::OnCollapsed);
}

CMultiTree::~CMultiTree() = default;

bool CMultiTree::SetMultiSelect(bool inMulti) {
    const bool old = mMultiSelect;
    mMultiSelect = inMulti;
    if (!inMulti) {
        QTreeWidgetItem* caret = Caret();
        for (QTreeWidgetItem* item : selectedItems())
            if (item != caret) SetSelected(item, false);
        setSelectionMode(QAbstractItemView::SingleSelection);
    } else {
        setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    return old;
}

bool CMultiTree::IsSelected(QTreeWidgetItem* inItem) const {
    return inItem && selectionModel()->isSelected(indexFromItem(inItem));
}

unsigned CMultiTree::GetItemState(QTreeWidgetItem* inItem, unsigned inMask) const {
    unsigned state = 0;
    if (inItem && inItem == Caret()) state |= kStateCaret;
    if (IsSelected(inItem)) state |= kStateSelected;
    return state & inMask;
}

void CMultiTree::SetCaret(QTreeWidgetItem* inItem) {
    // The caret moves without touching the selection.
    selectionModel()->setCurrentIndex(inItem ? indexFromItem(inItem) : QModelIndex(), QItemSelectionModel::NoUpdate);
}

bool CMultiTree::SetSelected(QTreeWidgetItem* inItem, bool inSelected) {
    if (!inItem || IsSelected(inItem) == inSelected) return true;
    bool veto = false;
    mNotifying = true;
    emit selectionChanging(inItem, inSelected, &veto);
    mNotifying = false;
    if (veto) return false;
    selectionModel()->select(
        indexFromItem(inItem),
        (inSelected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows);
    mNotifying = true;
    emit itemSelectChanged(inItem, inSelected);
    mNotifying = false;
    return true;
}

bool CMultiTree::SetItemState(QTreeWidgetItem* inItem, unsigned inState, unsigned inMask) {
    if (!inItem) return false;
    if (inMask & kStateCaret) {
        if (inState & kStateCaret) {
            if (Caret() != inItem) SetCaret(inItem);
        } else if (Caret() == inItem) {
            SetCaret(nullptr);
        }
    }
    if (!(inMask & kStateSelected)) return true;
    return SetSelected(inItem, (inState & kStateSelected) != 0);
}

void CMultiTree::SelectItem(QTreeWidgetItem* inItem) {
    if (!inItem) return;
    ClearAllExcept(inItem);
    SetItemState(inItem, kStateCaret | kStateSelected, kStateCaret | kStateSelected);
    scrollToItem(inItem);
}

QList<QTreeWidgetItem*> CMultiTree::GetVisibleItems() const {
    QList<QTreeWidgetItem*> items;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        if (item->isHidden()) return;
        items.append(item);
        if (item->isExpanded())
            for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < topLevelItemCount(); ++i) walk(topLevelItem(i));
    return items;
}

QList<QTreeWidgetItem*> CMultiTree::GetSelectedList() const {
    QList<QTreeWidgetItem*> selected;
    for (QTreeWidgetItem* item : GetVisibleItems())
        if (IsSelected(item)) selected.append(item);
    return selected;
}

int CMultiTree::GetSelectedCount() const { return static_cast<int>(GetSelectedList().size()); }

QTreeWidgetItem* CMultiTree::GetFirstSelectedItem() const {
    const QList<QTreeWidgetItem*> selected = GetSelectedList();
    return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* CMultiTree::GetNextSelectedItem(QTreeWidgetItem* inItem) const {
    const QList<QTreeWidgetItem*> visible = GetVisibleItems();
    for (qsizetype i = visible.indexOf(inItem) + 1; i > 0 && i < visible.size(); ++i)
        if (IsSelected(visible[i])) return visible[i];
    return nullptr;
}

void CMultiTree::SelectAll(bool inSelect) {
    for (QTreeWidgetItem* item : GetVisibleItems()) SetSelected(item, inSelect);
    // Hidden items (under collapsed ones) are never left selected by a clear.
    if (!inSelect)
        for (QTreeWidgetItem* item : selectedItems()) SetSelected(item, false);
}

void CMultiTree::ClearAllExcept(QTreeWidgetItem* inItem) {
    for (QTreeWidgetItem* item : selectedItems())
        if (item != inItem) SetSelected(item, false);
}

void CMultiTree::SelectRange(QTreeWidgetItem* inFirst, QTreeWidgetItem* inLast, bool inClearRest) {
    const QList<QTreeWidgetItem*> visible = GetVisibleItems();
    qsizetype a = visible.indexOf(inFirst), b = visible.indexOf(inLast);
    if (a < 0 || b < 0) return;
    if (a > b) std::swap(a, b);
    for (qsizetype i = 0; i < visible.size(); ++i) {
        if (i >= a && i <= b)
            SetSelected(visible[i], true);
        else if (inClearRest)
            SetSelected(visible[i], false);
    }
}

// --- moving and deleting

void CMultiTree::Relocate(QTreeWidgetItem* inItem, QTreeWidgetItem* inParent, int inIndex, QTreeWidgetItem* inAfter) {
    QList<bool> expansion;
    SaveExpansion(inItem, expansion);
    QTreeWidgetItem* oldParent = inItem->parent();
    if (oldParent)
        oldParent->takeChild(oldParent->indexOfChild(inItem));
    else
        takeTopLevelItem(indexOfTopLevelItem(inItem));
    // Counted once the item is out: the index of inAfter changes when it followed the item.
    if (inAfter) inIndex = (inParent ? inParent->indexOfChild(inAfter) : indexOfTopLevelItem(inAfter)) + 1;
    if (inParent)
        inParent->insertChild(inIndex, inItem);
    else
        insertTopLevelItem(inIndex, inItem);
    int at = 0;
    RestoreExpansion(inItem, expansion, at);
}

void CMultiTree::MoveItem(QTreeWidgetItem* inItem, bool inUp) {
    if (!inItem) return;
    QTreeWidgetItem* parent = inItem->parent();
    const int index = parent ? parent->indexOfChild(inItem) : indexOfTopLevelItem(inItem);
    const int count = parent ? parent->childCount() : topLevelItemCount();
    const int target = inUp ? index - 1 : index + 1;
    if (target < 0 || target >= count) return;
    Relocate(inItem, parent, target);
    if (mAfterMove) mAfterMove();
    SelectItem(inItem);
}

void CMultiTree::DeleteItem(QTreeWidgetItem* inItem) {
    if (!inItem) return;
    if (InSubtree(inItem, mAnchor)) mAnchor = nullptr;
    if (InSubtree(inItem, mPressItem)) mPressItem = nullptr, mPress = Press::kNone;
    if (InSubtree(inItem, mDraggedItem)) mDraggedItem = nullptr, mDragging = false;
    if (InSubtree(inItem, mDropTarget)) mDropTarget = nullptr;
    mRemembered.clear();
    // The item's destructor deletes its children; each item's object goes with it.
    delete inItem;
}

void CMultiTree::DeleteAllItems() {
    mAnchor = mPressItem = mDraggedItem = mDropTarget = nullptr;
    mPress = Press::kNone;
    mDragging = false;
    mRemembered.clear();
    clear();
}

// --- mouse

bool CMultiTree::IsOnExpandButton(QTreeWidgetItem* inItem, QPoint inPos) const {
    const QRect rect = visualItemRect(inItem);
    const bool hasButton = inItem->childCount() > 0 || inItem->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
    return hasButton && inPos.x() < rect.left() && inPos.x() >= rect.left() - indentation();
}

bool CMultiTree::IsOnLabel(QTreeWidgetItem* inItem, QPoint inPos) const {
    const QRect rect = visualItemRect(inItem);
    int width =
        fontMetrics().horizontalAdvance(inItem->text(0)) + 2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 6;
    if (!inItem->icon(0).isNull()) width += iconSize().width() + 4;
    return inPos.x() >= rect.left() && inPos.x() < rect.left() + width && inPos.y() >= rect.top() &&
           inPos.y() <= rect.bottom();
}

void CMultiTree::PressSelection(QTreeWidgetItem* inItem, Qt::MouseButton inButton, Qt::KeyboardModifiers inMods) {
    const bool shift = inMods & Qt::ShiftModifier, ctrl = inMods & Qt::ControlModifier;
    if (inButton == Qt::RightButton) {
        if (!shift && !ctrl) {
            if (!IsSelected(inItem)) ClearAllExcept(inItem);
            SetItemState(inItem, kStateCaret | kStateSelected, kStateCaret | kStateSelected);
        } else if (ctrl && !shift) {
            mAnchor = inItem;
        }
        return;
    }
    if (shift) {
        QTreeWidgetItem* anchor = mAnchor ? mAnchor : Caret();
        if (!anchor) anchor = inItem;
        SelectRange(anchor, inItem, !ctrl);
        mAnchor = anchor;
        SetCaret(inItem);
        return;
    }
    if (!ctrl && !IsSelected(inItem)) {
        ClearAllExcept(inItem);
        SetItemState(inItem, kStateCaret | kStateSelected, kStateCaret | kStateSelected);
    }
    mAnchor = nullptr;
}

void CMultiTree::mousePressEvent(QMouseEvent* inEvent) {
    const Qt::MouseButton button = inEvent->button();
    if (!mMultiSelect || (button != Qt::LeftButton && button != Qt::RightButton) || mPress != Press::kNone ||
        mDragging) {
        if (!mMultiSelect) QTreeWidget::mousePressEvent(inEvent);
        return;
    }
    const QPoint pos = inEvent->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    if (item && button == Qt::LeftButton && IsOnExpandButton(item, pos)) {
        QTreeWidget::mousePressEvent(inEvent);
        return;
    }
    mPressButton = button;
    mPressMods = ShiftCtrl(inEvent->modifiers());
    mPressPos = pos;
    if (item && IsOnLabel(item, pos)) {
        PressSelection(item, button, mPressMods);
        mPress = Press::kItem;
        mPressItem = item;
        return;
    }
    StartBand(inEvent);
}

void CMultiTree::mouseMoveEvent(QMouseEvent* inEvent) {
    if (!mMultiSelect) {
        QTreeWidget::mouseMoveEvent(inEvent);
        return;
    }
    const QPoint pos = inEvent->position().toPoint();
    if (mDragging) {
        DragOver(pos);
    } else if (mPress == Press::kItem) {
        if (BeyondDragDistance(mPressPos, pos)) StartDrag(pos);
    } else if (mPress == Press::kBand) {
        mBandLast = pos;
        UpdateBand(pos);
    }
}

void CMultiTree::mouseReleaseEvent(QMouseEvent* inEvent) {
    if (!mMultiSelect) {
        QTreeWidget::mouseReleaseEvent(inEvent);
        return;
    }
    const QPoint pos = inEvent->position().toPoint();
    if (mDragging) {
        Drop(pos);
    } else if (mPress == Press::kItem && inEvent->button() == mPressButton) {
        EndClick(inEvent);
    } else if (mPress == Press::kBand && inEvent->button() == mPressButton) {
        mBandLast = pos;
        UpdateBand(pos);
        EndBand(false);
    }
    if (inEvent->button() == Qt::RightButton && mRightButtonUp) mRightButtonUp(inEvent->modifiers(), pos);
}

void CMultiTree::mouseDoubleClickEvent(QMouseEvent* inEvent) {
    // The first click chose the selection; the second only opens or closes the item.
    if (!mMultiSelect) {
        QTreeWidget::mouseDoubleClickEvent(inEvent);
        return;
    }
    QTreeWidgetItem* item = itemAt(inEvent->position().toPoint());
    if (item && inEvent->button() == Qt::LeftButton && item->childCount() > 0) item->setExpanded(!item->isExpanded());
}

void CMultiTree::EndClick(QMouseEvent* inEvent) {
    QTreeWidgetItem* item = mPressItem;
    const Qt::MouseButton button = mPressButton;
    mPress = Press::kNone;
    mPressItem = nullptr;
    if (!item) return;
    if (button == Qt::LeftButton && !(mPressMods & Qt::ShiftModifier)) {
        if (mPressMods & Qt::ControlModifier) {
            const bool select = !IsSelected(item);
            SetItemState(item, kStateCaret | (select ? kStateSelected : 0u), kStateCaret | kStateSelected);
        } else {
            ClearAllExcept(item);
            SetItemState(item, kStateCaret | kStateSelected, kStateCaret | kStateSelected);
        }
    }
    Q_UNUSED(inEvent);
    setFocus(Qt::MouseFocusReason);
    emit clicked(button);
}

// --- dragging

void CMultiTree::StartDrag(QPoint inPos) {
    QTreeWidgetItem* item = mPressItem;
    const Qt::MouseButton button = mPressButton;
    mPress = Press::kNone;
    mPressItem = nullptr;
    if (!item) return;
    SetItemState(item, kStateCaret | kStateSelected, kStateCaret | kStateSelected);
    if (mDragDisabled) return;
    emit beginDrag(button, mPressPos);
    mDragging = true;
    mDraggedItem = item;
    mDropTarget = nullptr;
    mDropAsChild = true;
    DragOver(inPos);
}

bool CMultiTree::DropAllowed(QTreeWidgetItem* inTarget, bool* outAsChild) const {
    // The tree's own test first; the callback can refuse a drop or say where it
    // goes, but never allow what the tree refuses.
    const bool base = mDraggedItem && GetSelectedCount() == 1 && inTarget && inTarget != mDraggedItem &&
                      !IsAncestorOf(mDraggedItem, inTarget);
    bool allowed = base;
    bool asChild = true;
    if (mDropTest) mDropTest(mDraggedItem, inTarget, &allowed, &asChild);
    allowed = allowed && base;
    if (asChild && mDraggedItem && inTarget == mDraggedItem->parent()) allowed = false;
    *outAsChild = asChild;
    return allowed;
}

void CMultiTree::DragOver(QPoint inPos) {
    QTreeWidgetItem* target = itemAt(inPos);
    const bool allowed = DropAllowed(target, &mDropAsChild);
    viewport()->setCursor(!allowed ? Qt::ForbiddenCursor : mDropAsChild ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    if (target != mDropTarget) {
        mDropTarget = target;
        viewport()->update();
    }
}

void CMultiTree::Drop(QPoint inPos) {
    mDragging = false;
    QTreeWidgetItem* dragged = mDraggedItem;
    QTreeWidgetItem* target = itemAt(inPos);
    bool asChild = true;
    const bool allowed = DropAllowed(target, &asChild);
    if (allowed) {
        if (asChild)
            Relocate(dragged, target, target->childCount());
        else
            Relocate(dragged, target->parent(), 0, target);
        if (mAfterMove) mAfterMove();
    } else {
        QApplication::beep();
    }
    mDraggedItem = nullptr;
    mDropTarget = nullptr;
    viewport()->unsetCursor();
    viewport()->update();
    if (dragged) SelectItem(dragged);
}

void CMultiTree::drawRow(QPainter* inPainter, const QStyleOptionViewItem& inOption, const QModelIndex& inIndex) const {
    if (mDropTarget && inIndex == indexFromItem(mDropTarget)) {
        QStyleOptionViewItem option(inOption);
        option.state |= QStyle::State_Selected;
        QTreeWidget::drawRow(inPainter, option, inIndex);
        return;
    }
    QTreeWidget::drawRow(inPainter, inOption, inIndex);
}

bool CMultiTree::viewportEvent(QEvent* inEvent) {
    if (inEvent->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(inEvent);
        const QModelIndex index = indexAt(help->pos());
        if (index.isValid() && index.data(Qt::ToolTipRole).isNull() && IsTextCut(index)) {
            QToolTip::showText(help->globalPos(), index.data().toString(), viewport(), visualRect(index));
            return true;
        }
    }
    return QTreeWidget::viewportEvent(inEvent);
}

bool CMultiTree::IsTextCut(const QModelIndex& inIndex) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    return itemDelegateForIndex(inIndex)->sizeHint(option, inIndex).width() > visualRect(inIndex).width();
}

// --- rubber band

QPoint CMultiTree::ContentOffset() const { return QPoint(horizontalScrollBar()->value(), verticalOffset()); }

bool CMultiTree::IsRubberBandShown() const { return mBand && mBand->isVisible(); }

void CMultiTree::StartBand(QMouseEvent* inEvent) {
    setFocus(Qt::MouseFocusReason);
    mPress = Press::kBand;
    mBandOrigin = mPressPos + ContentOffset();
    mBandLast = mPressPos;
    mBandMoved = false;
    mRemembered.clear();
    if (mPressMods)
        for (QTreeWidgetItem* item : selectedItems()) mRemembered.insert(item);
    Q_UNUSED(inEvent);
    mBandTimer->start();
}

void CMultiTree::UpdateBand(QPoint inViewportPos) {
    if (!mBandMoved) {
        if (!BeyondDragDistance(mPressPos, inViewportPos)) return;
        mBandMoved = true;
        if (!mPressMods) ClearAll();
        if (!mBand) mBand = new QRubberBand(QRubberBand::Rectangle, viewport());
    }
    const QPoint offset = ContentOffset();
    const QRect band = QRect(mBandOrigin, inViewportPos + offset).normalized();
    mBand->setGeometry(band.translated(-offset).intersected(viewport()->rect()));
    mBand->show();
    const bool ctrl = mPressMods & Qt::ControlModifier, shift = mPressMods & Qt::ShiftModifier;
    for (QTreeWidgetItem* item : GetVisibleItems()) {
        const bool inBand = visualItemRect(item).translated(offset).intersects(band);
        const bool remembered = mRemembered.contains(item);
        if (inBand && remembered && ctrl) {
            SetSelected(item, false);
        } else if (inBand) {
            if (remembered && shift) mRemembered.remove(item);
            SetSelected(item, true);
        } else {
            SetSelected(item, remembered);
        }
    }
}

void CMultiTree::AutoScrollBand() {
    if (mPress != Press::kBand || !mBandMoved) return;
    const QRect area = viewport()->rect();
    QScrollBar* vertical = verticalScrollBar();
    QScrollBar* horizontal = horizontalScrollBar();
    if (mBandLast.y() < area.top()) vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    if (mBandLast.y() > area.bottom()) vertical->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (mBandLast.x() < area.left()) horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    if (mBandLast.x() > area.right()) horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    UpdateBand(mBandLast);
}

void CMultiTree::EndBand(bool inEscape) {
    mBandTimer->stop();
    if (mBand) mBand->hide();
    if (inEscape || (!mBandMoved && !mPressMods)) ClearAll();
    mRemembered.clear();
    mPress = Press::kNone;
    emit clicked(mPressButton);
}

// --- keyboard and collapse

bool CMultiTree::edit(const QModelIndex& inIndex, EditTrigger inTrigger, QEvent* inEvent) {
    const bool opened = QTreeWidget::edit(inIndex, inTrigger, inEvent);
    if (opened) mEdited = inIndex;
    return opened;
}

bool CMultiTree::CancelLabelEdit() {
    QWidget* editor = state() == EditingState && mEdited.isValid() ? indexWidget(mEdited) : nullptr;
    if (!editor) return false;
    closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    return true;
}

void CMultiTree::keyPressEvent(QKeyEvent* inEvent) {
    // Esc while a label is edited ends the editing only, wherever the key lands.
    if (inEvent->key() == Qt::Key_Escape && CancelLabelEdit()) return;
    if (!mMultiSelect) {
        QTreeWidget::keyPressEvent(inEvent);
        return;
    }
    const int key = inEvent->key();
    const Qt::KeyboardModifiers mods = ShiftCtrl(inEvent->modifiers());
    if (key == Qt::Key_Escape && mPress == Press::kBand) {
        EndBand(true);
        return;
    }
    if (key == Qt::Key_Escape && mDragging) {
        mDragging = false;
        mDraggedItem = mDropTarget = nullptr;
        viewport()->unsetCursor();
        viewport()->update();
        return;
    }
    if (key == Qt::Key_A && mods == Qt::ControlModifier) {
        // Select every visible item; the caret stays where it is.
        SelectAll(true);
        return;
    }
    if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_A) {
        QTreeWidget::keyPressEvent(inEvent);
        return;
    }
    QTreeWidgetItem* old = Caret();
    if (!mAnchor) mAnchor = old;
    if (!mods) {
        mAnchor = nullptr;
        ClearAll();
    }
    if (key == Qt::Key_A) {
        // Type-ahead: the item whose text starts with the letter.
        QTreeWidget::keyPressEvent(inEvent);
        return;
    }
    const QList<QTreeWidgetItem*> visible = GetVisibleItems();
    if (visible.isEmpty()) return;
    qsizetype at = visible.indexOf(old);
    if (at < 0)
        at = 0;
    else
        at = key == Qt::Key_Up ? std::max<qsizetype>(0, at - 1) : std::min(visible.size() - 1, at + 1);
    QTreeWidgetItem* next = visible[at];
    if (mods & Qt::ShiftModifier) {
        SelectRange(mAnchor ? mAnchor : next, next, true);
        SetCaret(next);
    } else if (mods & Qt::ControlModifier) {
        SetCaret(next);
    } else {
        SetItemState(next, kStateCaret | kStateSelected, kStateCaret | kStateSelected);
    }
    scrollToItem(next);
}

void CMultiTree::OnCollapsed(QTreeWidgetItem* inItem) {
    bool caretHidden = false;
    std::function<void(QTreeWidgetItem*)> clear = [&](QTreeWidgetItem* item) {
        for (int i = 0; i < item->childCount(); ++i) {
            QTreeWidgetItem* child = item->child(i);
            SetSelected(child, false);
            if (child == Caret()) caretHidden = true;
            if (child->isExpanded()) clear(child);
        }
    };
    clear(inItem);
    if (caretHidden && !IsSelected(inItem)) SetCaret(nullptr);
}
