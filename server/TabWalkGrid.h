#pragma once

#include <QTableView>

class QKeyEvent;

// A grid of cells that are typed in, which Tab walks and then leaves, as Qt's own controls
// that take Tab let it go.
//
// Tab and Shift+Tab move cell by cell along a row and on to the next (or the previous) row, so
// that a row is typed in one go; an edit under way is kept and the next cell that can be typed
// in opens. Tab on the last cell and Shift+Tab on the first do not go round to the other end:
// they leave the grid for the next or the previous control of the window. Ctrl+Tab and
// Ctrl+Shift+Tab leave it from any cell. An edit under way is kept when the grid is left, and
// the current cell stays where it was.
class TabWalkGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Tab's way: forward or back, and whether Ctrl is held, which leaves from any cell.
    struct TabKey {
        bool isTab = false;
        bool next = true;
        bool leave = false;
    };
    static TabKey TabOf(const QKeyEvent* event);
    // True when a walk from the current cell would go round to the other end (or has nowhere
    // to go).
    bool AtEnd(bool next);
    // Gives the focus to the next or the previous control of the window.
    bool Leave(bool next);

    TabKey m_editorTab;  // the Tab pressed in the open cell editor, until the editor closes
};
