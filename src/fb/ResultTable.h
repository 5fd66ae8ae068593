#pragma once

#include <QString>
#include <QVariant>

#include <vector>

namespace fb {

// The declared kind of a result column, reduced to what callers need.
enum class ColumnType { Integer, BigInt, Decimal, Double, Date, Time, Timestamp, Text, Blob, Boolean, Other };

struct Column {
    QString name;      // alias as the statement names it (upper case unless quoted)
    QString field;     // underlying field name, empty for expressions
    QString relation;  // table name, empty for expressions
    ColumnType type = ColumnType::Other;
    int scale = 0;     // decimal places of NUMERIC / DECIMAL
    int length = 0;    // characters of CHAR / VARCHAR
    bool nullable = true;
};

// A whole result held in memory, row-major in one vector (grids keep it).
class ResultTable {
public:
    const std::vector<Column>& columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int columnIndex(const QString& name) const;  // case-insensitive, -1 when absent
    int rowCount() const { return m_columnsCount ? int(m_values.size() / m_columnsCount) : 0; }

    const QVariant& value(int row, int column) const { return m_values[size_t(row) * m_columnsCount + column]; }
    QVariant& value(int row, int column) { return m_values[size_t(row) * m_columnsCount + column]; }

    void clear();
    void setColumns(std::vector<Column> columns);
    // Space for `rows` more rows; returns a pointer to the first new value.
    QVariant* appendRows(int rows);
    void truncateRows(int rows);
    void removeRow(int row);

private:
    std::vector<Column> m_columns;
    size_t m_columnsCount = 0;
    std::vector<QVariant> m_values;
};

}  // namespace fb
