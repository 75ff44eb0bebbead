#include "TabWalkGrid.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <utility>

TabWalkGrid::TabKey TabWalkGrid::TabOf(const QKeyEvent* event)
{
    TabKey tab;
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return tab;
    // The window system gives Shift+Tab as Backtab; Tab with Shift held is read the same way.
    tab.isTab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    tab.next = event->key() == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier);
    tab.leave = modifiers & Qt::ControlModifier;
    return tab;
}

bool TabWalkGrid::AtEnd(bool next)
{
    const QModelIndex current = currentIndex();
    const QModelIndex to = moveCursor(next ? MoveNext : MovePrevious, Qt::NoModifier);
    if (!to.isValid())
        return true;
    if (!current.isValid())
        return false;  // the walk starts at the first cell
    // The walk goes round at the last cell (the first, going back): it would land on a cell that
    // stands before this one on the screen (after it), or stay where it is.
    const auto place = [this](const QModelIndex& index) {
        return std::pair(verticalHeader()->visualIndex(index.row()), horizontalHeader()->visualIndex(index.column()));
    };
    return next ? place(to) <= place(current) : place(to) >= place(current);
}

bool TabWalkGrid::Leave(bool next)
{
    // The window's own walk, from this grid to the control beside it.
    return QAbstractScrollArea::focusNextPrevChild(next);
}

bool TabWalkGrid::focusNextPrevChild(bool next)
{
    if (!tabKeyNavigation() || AtEnd(next))
        return Leave(next);
    return QTableView::focusNextPrevChild(next);
}

void TabWalkGrid::keyPressEvent(QKeyEvent* event)
{
    // Plain Tab comes through focusNextPrevChild; with Ctrl held it comes here, and the table
    // would walk the cells with it.
    const TabKey tab = TabOf(event);
    if (tab.isTab && tab.leave) {
        Leave(tab.next);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

bool TabWalkGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (!QTableView::edit(index, trigger, event))
        return false;
    // Tab in an open editor goes to the delegate, which only knows how to walk on; the grid
    // watches the editor to know which Tab it was when the delegate ends the edit.
    if (QWidget* editor = indexWidget(index))
        editor->installEventFilter(this);
    return true;
}

bool TabWalkGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched != this && watched != viewport())
        m_editorTab = TabOf(static_cast<QKeyEvent*>(event));
    return QTableView::eventFilter(watched, event);
}

void TabWalkGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const TabKey tab = std::exchange(m_editorTab, TabKey());
    if (hint != QAbstractItemDelegate::EditNextItem && hint != QAbstractItemDelegate::EditPreviousItem) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    // The delegate has written the edit into the model before it asked to walk on.
    const bool next = tab.isTab ? tab.next : hint == QAbstractItemDelegate::EditNextItem;
    if (tab.leave || AtEnd(next)) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        Leave(next);
        return;
    }
    QTableView::closeEditor(editor, next ? QAbstractItemDelegate::EditNextItem : QAbstractItemDelegate::EditPreviousItem);
}
