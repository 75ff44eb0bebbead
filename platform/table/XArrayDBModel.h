#pragma once

#include "XArrayDB.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QStringList>

namespace platform {

// A Qt table model over an XArrayDB, for the grids. The model does not own the table; the
// owner calls Rebind() after it changed the table behind the model's back. Boolean columns
// show as check boxes; editable columns write straight into the table.
class XArrayDBModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit XArrayDBModel(QObject* parent = nullptr);

    void SetTable(XArrayDB* table);
    XArrayDB* Table() const { return m_table; }
    void SetHeaders(const QStringList& headers);
    void SetBooleanColumns(const QSet<int>& columns);
    void SetEditableColumns(const QSet<int>& columns);
    void Rebind();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Text of a cell as the grid shows it (dates as yyyy-MM-dd, times added when not midnight).
    static QString DisplayText(const QVariant& value);

signals:
    void CellEdited(int row, int col);

private:
    XArrayDB* m_table = nullptr;
    QStringList m_headers;
    QSet<int> m_boolColumns;
    QSet<int> m_editable;
};

}  // namespace platform
