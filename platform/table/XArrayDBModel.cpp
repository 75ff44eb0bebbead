#include "XArrayDBModel.h"

#include <QDateTime>

namespace platform {

XArrayDBModel::XArrayDBModel(QObject* parent) : QAbstractTableModel(parent) {}

void XArrayDBModel::SetTable(XArrayDB* table)
{
    beginResetModel();
    m_table = table;
    endResetModel();
}

void XArrayDBModel::SetHeaders(const QStringList& headers)
{
    m_headers = headers;
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

void XArrayDBModel::SetBooleanColumns(const QSet<int>& columns)
{
    m_boolColumns = columns;
}

void XArrayDBModel::SetEditableColumns(const QSet<int>& columns)
{
    m_editable = columns;
}

void XArrayDBModel::Rebind()
{
    beginResetModel();
    endResetModel();
}

int XArrayDBModel::rowCount(const QModelIndex& parent) const
{
    return (parent.isValid() || !m_table) ? 0 : m_table->RowCount();
}

int XArrayDBModel::columnCount(const QModelIndex& parent) const
{
    return (parent.isValid() || !m_table) ? 0 : m_table->ColumnCount();
}

QString XArrayDBModel::DisplayText(const QVariant& value)
{
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    return value.toString();
}

QVariant XArrayDBModel::data(const QModelIndex& index, int role) const
{
    if (!m_table || !index.isValid() || index.row() >= m_table->RowCount() || index.column() >= m_table->ColumnCount())
        return {};
    const QVariant& value = m_table->Value(m_table->LowerBound(1) + index.row(), m_table->LowerBound(2) + index.column());
    if (m_boolColumns.contains(index.column())) {
        if (role == Qt::CheckStateRole)
            return value.toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    if (role == Qt::DisplayRole)
        return DisplayText(value);
    if (role == Qt::EditRole)
        return value;
    return {};
}

bool XArrayDBModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!m_table || !index.isValid() || !m_editable.contains(index.column()))
        return false;
    const int row = m_table->LowerBound(1) + index.row();
    const int col = m_table->LowerBound(2) + index.column();
    if (m_boolColumns.contains(index.column())) {
        if (role != Qt::CheckStateRole)
            return false;
        m_table->SetValue(row, col, value.toInt() == Qt::Checked);
    } else {
        if (role != Qt::EditRole)
            return false;
        m_table->SetValue(row, col, value.toString());
    }
    emit dataChanged(index, index);
    emit CellEdited(index.row(), index.column());
    return true;
}

QVariant XArrayDBModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return section < m_headers.size() ? m_headers.at(section) : QVariant(section);
    return section + 1;
}

Qt::ItemFlags XArrayDBModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (!index.isValid() || !m_editable.contains(index.column()))
        return f;
    if (m_boolColumns.contains(index.column()))
        return f | Qt::ItemIsUserCheckable;
    return f | Qt::ItemIsEditable;
}

}  // namespace platform
