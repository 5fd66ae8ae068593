#pragma once

#include "reportengine/ReportValue.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace report {

enum class ColumnType { Integer, Decimal, Float, Date, DateTime, Text, Bool, Other };

struct DatasetColumn {
    QString name;
    ColumnType type = ColumnType::Text;
    int scale = 0;   // decimals of a Decimal column
};

// What a layout reads: named, typed columns and rows with random access
// (a group's total stands in its header, so the engine looks ahead).
class Dataset {
public:
    virtual ~Dataset() = default;
    virtual int columnCount() const = 0;
    virtual DatasetColumn column(int index) const = 0;
    virtual int rowCount() const = 0;
    virtual Value value(int row, int column) const = 0;

    int columnIndex(const QString& name) const;  // case-insensitive, -1 when absent
    QStringList columnNames() const;
};

// Rows held in memory: tests, the grid's listing, generated data.
class MemoryDataset : public Dataset {
public:
    MemoryDataset() = default;
    explicit MemoryDataset(std::vector<DatasetColumn> columns) : m_columns(std::move(columns)) {}

    void addColumn(DatasetColumn column) { m_columns.push_back(std::move(column)); }
    void addRow(std::vector<Value> row);
    void reserve(int rows) { m_rows.reserve(size_t(rows)); }

    int columnCount() const override { return int(m_columns.size()); }
    DatasetColumn column(int index) const override { return m_columns.at(size_t(index)); }
    int rowCount() const override { return int(m_rows.size()); }
    Value value(int row, int column) const override;

private:
    std::vector<DatasetColumn> m_columns;
    std::vector<std::vector<Value>> m_rows;
};

}  // namespace report
