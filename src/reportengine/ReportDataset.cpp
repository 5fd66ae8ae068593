#include "reportengine/ReportDataset.h"

namespace report {

int Dataset::columnIndex(const QString& name) const
{
    for (int i = 0; i < columnCount(); ++i)
        if (column(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList Dataset::columnNames() const
{
    QStringList names;
    for (int i = 0; i < columnCount(); ++i)
        names << column(i).name;
    return names;
}

void MemoryDataset::addRow(std::vector<Value> row)
{
    row.resize(m_columns.size());
    m_rows.push_back(std::move(row));
}

Value MemoryDataset::value(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return m_rows[size_t(row)][size_t(column)];
}

}  // namespace report
