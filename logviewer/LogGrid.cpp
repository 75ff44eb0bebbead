#include "LogGrid.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>

namespace logviewer {

// --- filter bar ------------------------------------------------------------------------------

FilterHeader::FilterHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setSortIndicatorShown(false);
    connect(this, &QHeaderView::sectionResized, this, &FilterHeader::AdjustPositions);
    connect(this, &QHeaderView::sectionMoved, this, &FilterHeader::AdjustPositions);
    connect(this, &QHeaderView::geometriesChanged, this, &FilterHeader::AdjustPositions);
}

void FilterHeader::SetFilterColumns(int count, const QList<int>& without)
{
    qDeleteAll(m_cells);
    m_cells.clear();
    for (int col = 0; col < count; ++col) {
        if (without.contains(col)) {
            m_cells.append(nullptr);
            continue;
        }
        auto* cell = new QLineEdit(this);
        cell->setObjectName(QStringLiteral("FilterCell%1").arg(col));
        cell->setFrame(false);
        cell->setStyleSheet(QStringLiteral("QLineEdit { background: #fbfbea; border: 1px solid #d4d4d4; }"));
        cell->installEventFilter(this);
        connect(cell, &QLineEdit::textEdited, this, [this, col] { emit FilterChanged(col); });
        cell->show();
        m_cells.append(cell);
    }
    updateGeometries();
}

QLineEdit* FilterHeader::Cell(int col) const
{
    return col >= 0 && col < m_cells.size() ? m_cells.at(col) : nullptr;
}

QString FilterHeader::Text(int col) const
{
    const QLineEdit* cell = Cell(col);
    return cell ? cell->text() : QString();
}

void FilterHeader::ClearText(int col)
{
    if (QLineEdit* cell = Cell(col))
        cell->clear();
}

int FilterHeader::HeadingHeight() const
{
    return QHeaderView::sizeHint().height();
}

QSize FilterHeader::sizeHint() const
{
    QSize size = QHeaderView::sizeHint();
    for (const QLineEdit* cell : m_cells)
        if (cell) {
            size.setHeight(size.height() + cell->sizeHint().height());
            break;
        }
    return size;
}

void FilterHeader::updateGeometries()
{
    int barHeight = 0;
    for (const QLineEdit* cell : m_cells)
        if (cell) {
            barHeight = cell->sizeHint().height();
            break;
        }
    setViewportMargins(0, 0, 0, barHeight);
    QHeaderView::updateGeometries();
    AdjustPositions();
}

void FilterHeader::AdjustPositions()
{
    const int top = HeadingHeight();
    for (int col = 0; col < m_cells.size(); ++col) {
        QLineEdit* cell = m_cells.at(col);
        if (!cell)
            continue;
        const bool shown = col < count() && !isSectionHidden(col);
        cell->setVisible(shown);
        if (shown)
            cell->setGeometry(sectionViewportPosition(col), top, sectionSize(col), cell->sizeHint().height());
    }
}

bool FilterHeader::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        const int col = m_cells.indexOf(qobject_cast<QLineEdit*>(watched));
        if (col >= 0)
            emit FilterFocused(col);
    }
    return QHeaderView::eventFilter(watched, event);
}

// --- model -----------------------------------------------------------------------------------

void LogGridModel::SetHeadingPicture(int col, const QIcon& picture)
{
    if (picture.isNull())
        m_pictures.remove(col);
    else
        m_pictures.insert(col, picture);
    emit headerDataChanged(Qt::Horizontal, col, col);
}

QVariant LogGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DecorationRole)
        return m_pictures.contains(section) ? QVariant(m_pictures.value(section)) : QVariant();
    return platform::XArrayDBModel::headerData(section, orientation, role);
}

QVariant LogGridModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::ToolTipRole)
        return {};
    return platform::XArrayDBModel::data(index, role);
}

// --- button column ---------------------------------------------------------------------------

void ButtonDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionButton button;
    button.rect = option.rect.adjusted(1, 1, -1, -1);
    button.text = index.data(Qt::DisplayRole).toString();
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    button.fontMetrics = option.fontMetrics;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
}

// --- date box --------------------------------------------------------------------------------

LogDateEdit::LogDateEdit(QWidget* parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    setCalendarPopup(true);
}

void LogDateEdit::focusOutEvent(QFocusEvent* event)
{
    QDateEdit::focusOutEvent(event);  // takes in what was typed
    bool cancel = false;
    emit ValidateRequested(&cancel);
    if (cancel)
        QMetaObject::invokeMethod(this, [this] { setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
}

// --- pictures --------------------------------------------------------------------------------

ImageList::ImageList()
{
    for (const bool ascending : {true, false}) {
        QPixmap pixmap(m_size, m_size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath triangle;
        if (ascending) {
            triangle.moveTo(m_size / 2.0, 4);
            triangle.lineTo(m_size - 3, m_size - 5);
            triangle.lineTo(3, m_size - 5);
        } else {
            triangle.moveTo(3, 5);
            triangle.lineTo(m_size - 3, 5);
            triangle.lineTo(m_size / 2.0, m_size - 4);
        }
        triangle.closeSubpath();
        painter.fillPath(triangle, QColor(40, 70, 140));
        painter.end();
        m_pictures.insert(ascending ? QStringLiteral("ImgSortAsc") : QStringLiteral("ImgSortDesc"), QIcon(pixmap));
    }
}

int ImageList::Width(const QString& key) const
{
    return m_pictures.contains(key) ? m_size : 0;
}

}  // namespace logviewer
