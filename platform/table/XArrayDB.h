#pragma once

#include <QVariant>
#include <vector>

namespace platform {

// The two-dimensional table of variants that holds every list of the system (mobiles,
// companies, log rows, login records). Dimension 1 is the rows, dimension 2 the columns; both
// have a lower and an upper bound, and a table without rows has the row bounds 0 and -1.
class XArrayDB {
public:
    enum SortOrder { XORDER_ASCEND = 0, XORDER_DESCEND = 1 };
    // Comparison used by QuickSort: 0 by the values' own kind (numbers as numbers, dates as
    // dates, else text, case-sensitive), 4 as dates, 9 as text without regard to case.
    enum SortType { XTYPE_DEFAULT = 0, XTYPE_DATE = 4, XTYPE_STRING = 9 };

    XArrayDB() = default;
    XArrayDB(int rowLow, int rowHigh, int colLow, int colHigh) { ReDim(rowLow, rowHigh, colLow, colHigh); }

    // New bounds; values whose row and column lie inside both the old and the new bounds stay.
    void ReDim(int rowLow, int rowHigh, int colLow, int colHigh);
    int LowerBound(int dimension) const;
    int UpperBound(int dimension) const;
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    int ColumnCount() const { return m_colCount; }

    // Out-of-bounds access is a run-time error 9 (subscript out of range).
    const QVariant& Value(int row, int col) const;
    void SetValue(int row, int col, const QVariant& value);
    QVariant operator()(int row, int col) const { return Value(row, col); }

    // Inserts `count` empty rows (dimension 1) or columns (dimension 2) before `index`; an
    // index one past the upper bound appends.
    void Insert(int dimension, int index, int count = 1);
    void Delete(int dimension, int index, int count = 1);
    // Appends one empty row and returns its index.
    int AppendRow();
    // Removes every row, keeping the columns.
    void Clear();

    // The first row from `startRow` on whose column `col` equals `value` (text compared with
    // or without regard to case); -1 when none.
    int Find(int startRow, int col, const QVariant& value, bool caseSensitive = false) const;

    // Sorts rows rowFirst..rowLast on one column; rows that compare equal keep their order.
    void QuickSort(int rowFirst, int rowLast, int col, SortOrder order, SortType type);

    static int Compare(const QVariant& a, const QVariant& b, SortType type);

private:
    void checkRow(int row) const;
    void checkCol(int col) const;

    int m_rowLow = 0;
    int m_colLow = 0;
    int m_colCount = 0;
    std::vector<std::vector<QVariant>> m_rows;
};

}  // namespace platform
