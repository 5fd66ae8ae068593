#pragma once

#include "fb/ResultTable.h"
#include "reportengine/ReportDataset.h"

namespace fb {
class Query;
}

// A query's result as a report dataset: the engine reads fb::ResultTable
// rows without knowing the database. The rows are read once, so groups and
// totals can look ahead.
class TReportQueryDataset : public report::Dataset {
public:
    TReportQueryDataset() = default;
    explicit TReportQueryDataset(fb::ResultTable table) : m_table(std::move(table)) {}

    // Executes the (prepared, parameterised) query and reads all its rows.
    void fill(fb::Query& query);
    const fb::ResultTable& table() const { return m_table; }

    int columnCount() const override { return m_table.columnCount(); }
    report::DatasetColumn column(int index) const override;
    int rowCount() const override { return m_table.rowCount(); }
    report::Value value(int row, int column) const override;

    // One database value as a report value (exact decimals stay exact).
    static report::Value toReportValue(const QVariant& value);

private:
    fb::ResultTable m_table;
};
