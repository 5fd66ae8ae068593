#include "fb/ResultTable.h"

namespace fb {

int ResultTable::columnIndex(const QString& name) const
{
    for (int i = 0; i < int(m_columns.size()); ++i)
        if (m_columns[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void ResultTable::clear()
{
    m_columns.clear();
    m_columnsCount = 0;
    m_values.clear();
}

void ResultTable::setColumns(std::vector<Column> columns)
{
    m_values.clear();
    m_columns = std::move(columns);
    m_columnsCount = m_columns.size();
}

QVariant* ResultTable::appendRows(int rows)
{
    const size_t old = m_values.size();
    m_values.resize(old + size_t(rows) * m_columnsCount);
    return m_values.data() + old;
}

void ResultTable::truncateRows(int rows)
{
    m_values.resize(size_t(rows) * m_columnsCount);
}

void ResultTable::removeRow(int row)
{
    const auto first = m_values.begin() + std::ptrdiff_t(size_t(row) * m_columnsCount);
    m_values.erase(first, first + std::ptrdiff_t(m_columnsCount));
}

}  // namespace fb
