#pragma once

#include "table/XArrayDBModel.h"

#include <QDateEdit>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QStyledItemDelegate>

class QLineEdit;
class QWindow;

// The pieces of the log window's grid and date boxes: a heading row with a filter bar under it,
// the row model with heading pictures, the button column, and a date box that can refuse to
// lose the focus.
namespace logviewer {

// A horizontal heading whose lower half is a filter bar: one text box under every column that
// takes a filter. The boxes follow the columns when they are resized, moved or scrolled, and
// Tab and Shift+Tab go from box to box.
class FilterHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit FilterHeader(QWidget* parent = nullptr);

    // One box for each of `count` columns, none under the columns in `without`.
    void SetFilterColumns(int count, const QList<int>& without);
    QLineEdit* Cell(int col) const;
    QString Text(int col) const;
    // Sets a box's text without reporting a change.
    void ClearText(int col);

    QSize sizeHint() const override;

public slots:
    void AdjustPositions();

signals:
    // The user changed the text of the box under `col`.
    void FilterChanged(int col);
    // A box got the focus.
    void FilterFocused(int col);

protected:
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int HeadingHeight() const;
    // Tab (next) or Shift+Tab from the box under `col`: the next or previous column's box in
    // the order the columns stand; past the last or before the first, on to the control that
    // the window's Tab order puts there.
    void TabFrom(int col, bool next);
    QList<QLineEdit*> m_cells;
};

// The log rows as the grid shows them, with a picture on the heading of the sorted column.
class LogGridModel : public platform::XArrayDBModel {
    Q_OBJECT
public:
    using platform::XArrayDBModel::XArrayDBModel;
    void SetHeadingPicture(int col, const QIcon& picture);  // a null icon removes it
    bool HasHeadingPicture(int col) const { return m_pictures.contains(col); }
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QHash<int, QIcon> m_pictures;
};

// Paints the cells of a column as push buttons carrying the cell's text.
class ButtonDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// A date box that asks, before it gives up the focus, whether it may. A refusal keeps the focus
// in the box: a click on another control of the window, or Tab, then does nothing, and a focus
// taken away some other way comes back to the box once. Controls marked with
// SetCausesValidation(control, false) (the window's Exit) take the focus without asking.
//
// The date changes only in the box with the focus, so that every change meets the check when
// the box is left: the wheel over a box without the focus does nothing. The box is typed part
// by part (day, month, year): digits replace the part that holds the caret, Left and Right (or
// a separator) move between the parts, and Tab leaves the box. It also takes a whole date typed
// over its selected text, with or without separators, and a two-digit year (20yy). What is
// typed is checked as one date when the entry ends, never a part against the others the box
// held before; an entry that gives no date is not taken, and the box says so (NotADate), keeps
// its date and keeps the focus.
class LogDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit LogDateEdit(QWidget* parent = nullptr);

    static void SetCausesValidation(QWidget* control, bool causes);
    static bool CausesValidation(const QWidget* control);

    // True while the box refuses to give up the focus: from a refusal until it has the focus
    // back, or, while it has the focus, when it would refuse to be left now.
    bool Refuses();

signals:
    void ValidateRequested(bool* cancel);
    // A whole text typed over the box gave no date; the box kept its date. Raised once the
    // handling of the key, click or focus move under way has ended.
    void NotADate(const QString& typed);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    QDateTime dateTimeFromText(const QString& text) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What is being typed into the box: nothing, a whole date over the selected text, or the
    // parts of a date (day, month, year) from a caret or a selected part.
    enum class Entry { None, Whole, Parts };

    QDate TypedDate(const QString& text) const;
    // Takes in what was typed and asks whether the focus may go.
    bool MayLeave();
    QWidget* FocusTargetAt(const QPointF& windowPos) const;
    void TakeFocusBack();
    void BeginEntry(Entry entry);
    void OpenCalendar();
    void WholeKey(QKeyEvent* event, bool plain);
    void PartsKey(QKeyEvent* event, bool plain);
    // Escape gives up the entry; any other key ends it and then does what it does.
    void OtherKeyInEntry(QKeyEvent* event);
    void AddTyped(QChar c);
    void ShowTyped();
    // A digit into the part being typed: a part that was reached just now starts again, and
    // one that can take no more digits moves on to the next part.
    void PartDigit(QChar c);
    void MoveToPart(int part);
    // The box's date follows the parts where they give one; the parts are shown as typed.
    void FollowParts();
    QString PartsText() const;
    // What the entry showed, so that a change made meanwhile by the program is seen.
    void RememberShown();
    void DropOvertakenEntry();
    static int PartWidth(int part);
    static int PartAt(int position);
    // Ends the entry: `take` takes the date it gives, else the box shows the date it had when
    // the entry began. False when the entry was to be taken but gave no date: the box says so.
    bool EndTyping(bool take);
    // Moves to the part before or after the one with the caret and selects it; at the first or
    // the last part the caret's part is selected.
    void StepPart(bool next);

    QPointer<QWindow> m_window;           // the window whose presses are looked at first
    Qt::MouseButtons m_swallowed;         // buttons whose press was refused: their release goes too
    bool m_takingFocusBack = false;
    Entry m_entry = Entry::None;
    QString m_typed;                      // a whole date as typed so far
    QString m_parts[3];                   // day, month and year as typed so far
    int m_part = 0;                       // the part being typed
    bool m_partFresh = true;              // reached just now: the next digit starts it again
    QDate m_dateBefore;                   // the date when the entry began
    QString m_shownText;
    int m_shownSelection = -1;
    int m_shownCursor = 0;
};

// The sort pictures, keyed "ImgSortAsc" and "ImgSortDesc", drawn once.
class ImageList {
public:
    ImageList();
    QIcon Picture(const QString& key) const { return m_pictures.value(key); }
    int Width(const QString& key) const;

private:
    QHash<QString, QIcon> m_pictures;
    int m_size = 16;
};

}  // namespace logviewer
