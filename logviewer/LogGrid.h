#pragma once

#include "table/XArrayDBModel.h"

#include <QDateEdit>
#include <QHash>
#include <QHeaderView>
#include <QIcon>
#include <QList>
#include <QStyledItemDelegate>

class QLineEdit;

// The pieces of the log window's grid and date boxes: a heading row with a filter bar under it,
// the row model with heading pictures, the button column, and a date box that can refuse to
// lose the focus.
namespace logviewer {

// A horizontal heading whose lower half is a filter bar: one text box under every column that
// takes a filter. The boxes follow the columns when they are resized, moved or scrolled.
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

// A date box that asks, when it is about to lose the focus, whether it may; a refusal keeps
// the focus in the box.
class LogDateEdit : public QDateEdit {
    Q_OBJECT
public:
    explicit LogDateEdit(QWidget* parent = nullptr);

signals:
    void ValidateRequested(bool* cancel);

protected:
    void focusOutEvent(QFocusEvent* event) override;
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
