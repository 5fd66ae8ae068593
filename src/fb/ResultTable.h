#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

namespace fb {

struct RowLayout;

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

// A whole result held in memory (grids keep it). Rows are kept as the bytes the
// server sent and a value is decoded when it is asked for, so holding 100 000
// rows costs one copy per row and painting decodes only the visible cells.
// Memo and binary BLOBs are read while fetching (their ids die with the
// transaction) and kept as values.
class ResultTable {
public:
    ResultTable();
    ~ResultTable();
    ResultTable(ResultTable&&) noexcept;
    ResultTable& operator=(ResultTable&&) noexcept;
    ResultTable(const ResultTable&) = delete;
    ResultTable& operator=(const ResultTable&) = delete;

    const std::vector<Column>& columns() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int columnIndex(const QString& name) const;  // case-insensitive, -1 when absent
    int rowCount() const { return int(m_order.size()); }

    QVariant value(int row, int column) const;
    bool isNull(int row, int column) const;
    // Replaces one value in memory (the database is not touched).
    void setValue(int row, int column, const QVariant& value);
    void removeRow(int row);
    void clear();

    // Used by fb::Query while fetching.
    void reset(std::vector<Column> columns, std::shared_ptr<const RowLayout> layout);
    // The server writes the next row straight into rawRowToFill();
    // commitRawRow() then makes it the table's last row.
    unsigned char* rawRowToFill();
    void commitRawRow();
    void setFetchedBlob(int row, int column, QVariant value);

private:
    const unsigned char* raw(int physicalRow) const;
    size_t cellKey(int physicalRow, int column) const { return size_t(physicalRow) * m_columns.size() + size_t(column); }

    static constexpr int kBlockRows = 1000;
    std::vector<Column> m_columns;
    std::shared_ptr<const RowLayout> m_layout;
    std::vector<std::unique_ptr<std::uint64_t[]>> m_blocks;  // 8-byte aligned message buffers
    size_t m_rowWords = 0;
    int m_physicalRows = 0;
    std::vector<int> m_order;  // row -> physical row (removing a row moves no bytes)
    QHash<size_t, QVariant> m_values;  // BLOB contents and replaced values
};

}  // namespace fb
