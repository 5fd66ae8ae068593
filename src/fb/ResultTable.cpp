#include "fb/ResultTable.h"

#include "fb/RowLayout.h"

#include <cstring>

namespace fb {

ResultTable::ResultTable() = default;
ResultTable::~ResultTable() = default;
ResultTable::ResultTable(ResultTable&&) noexcept = default;
ResultTable& ResultTable::operator=(ResultTable&&) noexcept = default;

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
    m_layout.reset();
    m_blocks.clear();
    m_rowWords = 0;
    m_physicalRows = 0;
    m_order.clear();
    m_values.clear();
}

void ResultTable::reset(std::vector<Column> columns, std::shared_ptr<const RowLayout> layout)
{
    clear();
    m_columns = std::move(columns);
    m_layout = std::move(layout);
    m_rowWords = (m_layout->messageLength + 7) / 8;
}

unsigned char* ResultTable::rawRowToFill()
{
    if (size_t(m_physicalRows / kBlockRows) == m_blocks.size())
        m_blocks.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(kBlockRows * std::max<size_t>(m_rowWords, 1)));
    return const_cast<unsigned char*>(raw(m_physicalRows));
}

void ResultTable::commitRawRow()
{
    m_order.push_back(m_physicalRows++);
}

const unsigned char* ResultTable::raw(int physicalRow) const
{
    return reinterpret_cast<const unsigned char*>(m_blocks[size_t(physicalRow / kBlockRows)].get() +
                                                  size_t(physicalRow % kBlockRows) * m_rowWords);
}

void ResultTable::setFetchedBlob(int row, int column, QVariant value)
{
    m_values.insert(cellKey(m_order[size_t(row)], column), std::move(value));
}

QVariant ResultTable::value(int row, int column) const
{
    const int physical = m_order[size_t(row)];
    const auto it = m_values.constFind(cellKey(physical, column));
    if (it != m_values.constEnd())
        return *it;
    const FieldLayout& field = m_layout->fields[size_t(column)];
    if (isBlobField(field))
        return {};
    return decodeField(field, raw(physical));
}

bool ResultTable::isNull(int row, int column) const
{
    return value(row, column).isNull();
}

void ResultTable::setValue(int row, int column, const QVariant& value)
{
    m_values.insert(cellKey(m_order[size_t(row)], column), value);
}

void ResultTable::removeRow(int row)
{
    m_order.erase(m_order.begin() + row);
}

}  // namespace fb
