#include "XArrayDB.h"

#include "core/RuntimeError.h"

#include <QDateTime>
#include <algorithm>

namespace platform {

namespace {
[[noreturn]] void Subscript()
{
    throw RuntimeError(err::SubscriptOutOfRange, QStringLiteral("Subscript out of range"), QStringLiteral("XArrayDB"));
}

bool IsNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Short: case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool IsDate(const QVariant& v)
{
    return v.typeId() == QMetaType::QDateTime || v.typeId() == QMetaType::QDate;
}

QDateTime AsDateTime(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().startOfDay();
    const QString text = v.toString().trimmed();
    for (const char* format : {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd", "MM/dd/yyyy HH:mm:ss", "MM/dd/yyyy", "M/d/yyyy h:mm:ss AP", "M/d/yyyy"}) {
        const QDateTime dt = QDateTime::fromString(text, QLatin1String(format));
        if (dt.isValid())
            return dt;
    }
    return {};
}

template <typename T>
int Sign(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

void XArrayDB::checkRow(int row) const
{
    if (row < m_rowLow || row >= m_rowLow + RowCount())
        Subscript();
}

void XArrayDB::checkCol(int col) const
{
    if (col < m_colLow || col >= m_colLow + m_colCount)
        Subscript();
}

void XArrayDB::ReDim(int rowLow, int rowHigh, int colLow, int colHigh)
{
    const int rows = std::max(0, rowHigh - rowLow + 1);
    const int cols = std::max(0, colHigh - colLow + 1);
    std::vector<std::vector<QVariant>> next(static_cast<size_t>(rows), std::vector<QVariant>(static_cast<size_t>(cols)));
    for (int r = 0; r < rows; ++r) {
        const int oldRow = rowLow + r - m_rowLow;
        if (oldRow < 0 || oldRow >= RowCount())
            continue;
        for (int c = 0; c < cols; ++c) {
            const int oldCol = colLow + c - m_colLow;
            if (oldCol >= 0 && oldCol < m_colCount)
                next[static_cast<size_t>(r)][static_cast<size_t>(c)] = m_rows[static_cast<size_t>(oldRow)][static_cast<size_t>(oldCol)];
        }
    }
    m_rows = std::move(next);
    m_rowLow = rowLow;
    m_colLow = colLow;
    m_colCount = cols;
}

int XArrayDB::LowerBound(int dimension) const
{
    if (dimension == 1)
        return m_rowLow;
    if (dimension == 2)
        return m_colLow;
    Subscript();
}

int XArrayDB::UpperBound(int dimension) const
{
    if (dimension == 1)
        return m_rowLow + RowCount() - 1;
    if (dimension == 2)
        return m_colLow + m_colCount - 1;
    Subscript();
}

const QVariant& XArrayDB::Value(int row, int col) const
{
    checkRow(row);
    checkCol(col);
    return m_rows[static_cast<size_t>(row - m_rowLow)][static_cast<size_t>(col - m_colLow)];
}

void XArrayDB::SetValue(int row, int col, const QVariant& value)
{
    checkRow(row);
    checkCol(col);
    m_rows[static_cast<size_t>(row - m_rowLow)][static_cast<size_t>(col - m_colLow)] = value;
}

void XArrayDB::Insert(int dimension, int index, int count)
{
    if (count <= 0)
        return;
    if (dimension == 1) {
        const int at = index - m_rowLow;
        if (at < 0 || at > RowCount())
            Subscript();
        m_rows.insert(m_rows.begin() + at, static_cast<size_t>(count), std::vector<QVariant>(static_cast<size_t>(m_colCount)));
    } else if (dimension == 2) {
        const int at = index - m_colLow;
        if (at < 0 || at > m_colCount)
            Subscript();
        for (auto& row : m_rows)
            row.insert(row.begin() + at, static_cast<size_t>(count), QVariant());
        m_colCount += count;
    } else {
        Subscript();
    }
}

void XArrayDB::Delete(int dimension, int index, int count)
{
    if (count <= 0)
        return;
    if (dimension == 1) {
        const int at = index - m_rowLow;
        if (at < 0 || at + count > RowCount())
            Subscript();
        m_rows.erase(m_rows.begin() + at, m_rows.begin() + at + count);
    } else if (dimension == 2) {
        const int at = index - m_colLow;
        if (at < 0 || at + count > m_colCount)
            Subscript();
        for (auto& row : m_rows)
            row.erase(row.begin() + at, row.begin() + at + count);
        m_colCount -= count;
    } else {
        Subscript();
    }
}

int XArrayDB::AppendRow()
{
    m_rows.emplace_back(static_cast<size_t>(m_colCount));
    return UpperBound(1);
}

void XArrayDB::Clear()
{
    m_rows.clear();
}

int XArrayDB::Find(int startRow, int col, const QVariant& value, bool caseSensitive) const
{
    checkCol(col);
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int row = std::max(startRow, m_rowLow); row <= UpperBound(1); ++row) {
        const QVariant& cell = Value(row, col);
        if (IsNumber(cell) && IsNumber(value)) {
            if (cell.toDouble() == value.toDouble())
                return row;
        } else if (cell.toString().compare(value.toString(), cs) == 0) {
            return row;
        }
    }
    return -1;
}

int XArrayDB::Compare(const QVariant& a, const QVariant& b, SortType type)
{
    if (type == XTYPE_DATE) {
        const QDateTime da = AsDateTime(a), db = AsDateTime(b);
        if (da.isValid() && db.isValid())
            return Sign(da, db);
        if (da.isValid() != db.isValid())
            return da.isValid() ? 1 : -1;
        return 0;
    }
    if (type == XTYPE_STRING)
        return a.toString().compare(b.toString(), Qt::CaseInsensitive) < 0 ? -1
             : (a.toString().compare(b.toString(), Qt::CaseInsensitive) > 0 ? 1 : 0);
    // Default: by the values' own kind. Empty values sort first.
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull() ? 0 : (a.isNull() ? -1 : 1);
    if (IsNumber(a) && IsNumber(b))
        return Sign(a.toDouble(), b.toDouble());
    if (IsDate(a) && IsDate(b))
        return Sign(AsDateTime(a), AsDateTime(b));
    if (a.typeId() == QMetaType::Bool && b.typeId() == QMetaType::Bool)
        return Sign(a.toBool(), b.toBool());
    const int c = a.toString().compare(b.toString(), Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

void XArrayDB::QuickSort(int rowFirst, int rowLast, int col, SortOrder order, SortType type)
{
    if (RowCount() == 0 || rowLast < rowFirst)
        return;
    checkRow(rowFirst);
    checkRow(rowLast);
    checkCol(col);
    const size_t c = static_cast<size_t>(col - m_colLow);
    const size_t first = static_cast<size_t>(rowFirst - m_rowLow);
    const size_t n = static_cast<size_t>(rowLast - rowFirst) + 1;
    const auto cell = [&](size_t i) -> const QVariant& { return m_rows[first + i][c]; };

    // The rows are ordered through an index over sort keys taken once per row, so that a
    // comparison does not convert its two values again (the lists may hold 100,000 rows).
    std::vector<size_t> index(n);
    for (size_t i = 0; i < n; ++i)
        index[i] = i;
    const auto sortBy = [&](const auto& less) {
        std::stable_sort(index.begin(), index.end(),
                         [&](size_t x, size_t y) { return order == XORDER_ASCEND ? less(x, y) : less(y, x); });
    };
    if (type == XTYPE_STRING) {
        std::vector<QString> keys(n);
        for (size_t i = 0; i < n; ++i)
            keys[i] = cell(i).toString().toCaseFolded();
        sortBy([&](size_t x, size_t y) { return keys[x] < keys[y]; });
    } else if (type == XTYPE_DATE) {
        // Values that are not dates sort before every date. Local times order by their wall
        // clock, which needs no time-zone look-up per value.
        std::vector<QDateTime> dates(n);
        bool allLocal = true;
        for (size_t i = 0; i < n; ++i) {
            dates[i] = AsDateTime(cell(i));
            allLocal = allLocal && (!dates[i].isValid() || dates[i].timeSpec() == Qt::LocalTime);
        }
        std::vector<qint64> keys(n);
        std::vector<bool> valid(n);
        for (size_t i = 0; i < n; ++i) {
            valid[i] = dates[i].isValid();
            if (valid[i])
                keys[i] = allLocal ? dates[i].date().toJulianDay() * 86400000LL + dates[i].time().msecsSinceStartOfDay()
                                   : dates[i].toMSecsSinceEpoch();
        }
        sortBy([&](size_t x, size_t y) {
            if (valid[x] != valid[y])
                return !valid[x];
            return valid[x] && keys[x] < keys[y];
        });
    } else {
        sortBy([&](size_t x, size_t y) { return Compare(cell(x), cell(y), type) < 0; });
    }
    std::vector<std::vector<QVariant>> sorted;
    sorted.reserve(n);
    for (size_t i = 0; i < n; ++i)
        sorted.push_back(std::move(m_rows[first + index[i]]));
    for (size_t i = 0; i < n; ++i)
        m_rows[first + i] = std::move(sorted[i]);
}

}  // namespace platform
