#include "controls/GridModel.h"

#include "framework/TextHelpers.h"

#include <QDateTime>

TGridModel::TGridModel(QObject* parent) : QAbstractTableModel(parent) {}
TGridModel::~TGridModel() = default;

int TGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_open ? 0 : m_table.rowCount();
}

int TGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TGridModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int field = m_fieldOf[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        if (field < 0)
            return {};
        return FormatDisplayValue(m_table.value(index.row(), field), m_columns[size_t(index.column())].DisplayFormat);
    case ValueRole:
        return field < 0 ? QVariant() : m_table.value(index.row(), field);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns[size_t(index.column())].Alignment | Qt::AlignVCenter);
    case MarkedRole:
        return isRowChecked(index.row());
    case KeyRole:
        return keyOfRow(index.row());
    default:
        return {};
    }
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount())
            return {};
        const TQDLColumn& c = m_columns[size_t(section)];
        if (role == Qt::DisplayRole)
            return c.TitleCaption;
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(c.TitleAlignment | Qt::AlignVCenter);
        return {};
    }
    if (section < 0 || section >= rowCount())
        return {};
    if (role == MarkedRole)
        return isRowChecked(section);
    return {};
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

// --- result -----------------------------------------------------------------

void TGridModel::setResult(fb::ResultTable table)
{
    beginResetModel();
    m_table = std::move(table);
    m_open = true;
    resolveFields();
    endResetModel();
}

void TGridModel::close()
{
    beginResetModel();
    m_table.clear();
    m_open = false;
    resolveFields();
    endResetModel();
}

void TGridModel::resolveFields()
{
    m_fieldOf.assign(m_columns.size(), -1);
    if (m_open)
        for (size_t i = 0; i < m_columns.size(); ++i)
            m_fieldOf[i] = m_table.columnIndex(m_columns[i].FieldName);
    m_keyFieldIndex = m_open && !m_keyField.isEmpty() ? m_table.columnIndex(m_keyField) : -1;
}

int TGridModel::fieldIndex(const QString& name) const
{
    return m_open ? m_table.columnIndex(name) : -1;
}

fb::ColumnType TGridModel::fieldType(const QString& name) const
{
    const int f = fieldIndex(name);
    return f < 0 ? fb::ColumnType::Other : m_table.columns()[size_t(f)].type;
}

QVariant TGridModel::fieldValue(int row, int field) const
{
    if (!m_open || row < 0 || row >= m_table.rowCount() || field < 0 || field >= m_table.columnCount())
        return {};
    return m_table.value(row, field);
}

QVariant TGridModel::fieldValue(int row, const QString& name) const
{
    return fieldValue(row, fieldIndex(name));
}

namespace {

bool sameValue(const QVariant& cell, const QVariant& wanted, bool caseInsensitive, bool partial)
{
    if (cell.isNull())
        return wanted.isNull();
    // A picked date matches a timestamp on the same day.
    if (wanted.metaType().id() == QMetaType::QDate && cell.metaType().id() == QMetaType::QDateTime)
        return cell.toDateTime().date() == wanted.toDate();
    const Qt::CaseSensitivity cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const QString text = VariantToText(cell);
    const QString want = VariantToText(wanted);
    if (partial)
        return text.startsWith(want, cs);
    if (cell.metaType().id() == QMetaType::QString || wanted.metaType().id() == QMetaType::QString)
        return text.compare(want, cs) == 0;
    return CompareVariants(cell, wanted) == 0;
}

}  // namespace

int TGridModel::findRow(const QString& field, const QVariant& value, bool caseInsensitive, bool partial,
                        int from) const
{
    const int f = fieldIndex(field);
    if (f < 0)
        return -1;
    for (int row = std::max(from, 0); row < m_table.rowCount(); ++row)
        if (sameValue(m_table.value(row, f), value, caseInsensitive, partial))
            return row;
    return -1;
}

// --- columns ----------------------------------------------------------------

void TGridModel::setColumns(std::vector<TQDLColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    resolveFields();
    endResetModel();
}

void TGridModel::addColumn(const TQDLColumn& column)
{
    const int at = columnCount();
    beginInsertColumns({}, at, at);
    m_columns.push_back(column);
    resolveFields();
    endInsertColumns();
}

void TGridModel::updateColumn(int i, const TQDLColumn& column)
{
    if (i < 0 || i >= columnCount())
        return;
    const bool fieldChanged = m_columns[size_t(i)].FieldName.compare(column.FieldName, Qt::CaseInsensitive) != 0;
    m_columns[size_t(i)] = column;
    if (fieldChanged) {
        resolveFields();
        if (rowCount() > 0)
            emit dataChanged(index(0, i), index(rowCount() - 1, i));
    }
    emit headerDataChanged(Qt::Horizontal, i, i);
}

void TGridModel::moveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= columnCount() || to >= columnCount())
        return;
    // Qt counts the destination before the move: moving right targets to + 1.
    beginMoveColumns({}, from, from, {}, to > from ? to + 1 : to);
    TQDLColumn c = std::move(m_columns[size_t(from)]);
    m_columns.erase(m_columns.begin() + from);
    m_columns.insert(m_columns.begin() + to, std::move(c));
    resolveFields();
    endMoveColumns();
}

int TGridModel::fieldOfColumn(int column) const
{
    return column >= 0 && column < int(m_fieldOf.size()) ? m_fieldOf[size_t(column)] : -1;
}

// --- marks ------------------------------------------------------------------

void TGridModel::setKeyField(const QString& field)
{
    m_keyField = field;
    resolveFields();
    allMarksChanged();
}

void TGridModel::setKeyFieldType(TGridKeyType type)
{
    if (type == m_keyType)
        return;
    m_keyType = type;
    m_checked.clear();
    m_checkedStrings.clear();
    allMarksChanged();
}

QVariant TGridModel::keyOfRow(int row) const
{
    if (m_keyFieldIndex < 0 || row < 0 || row >= rowCount())
        return {};
    return m_table.value(row, m_keyFieldIndex);
}

std::optional<std::int32_t> TGridModel::intKeyOfRow(int row) const
{
    const QVariant v = keyOfRow(row);
    if (v.isNull())
        return std::nullopt;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (!ok || n < INT32_MIN || n > INT32_MAX)
        return std::nullopt;
    return std::int32_t(n);
}

bool TGridModel::isRowChecked(int row) const
{
    if (m_keyType == gktInteger) {
        if (m_checked.isEmpty())
            return false;
        const auto key = intKeyOfRow(row);
        return key && m_checked.contains(*key);
    }
    if (m_checkedStrings.isEmpty())
        return false;
    const QVariant v = keyOfRow(row);
    return !v.isNull() && m_checkedStrings.GetChecked(v.toString());
}

void TGridModel::setRowChecked(int row, bool checked)
{
    bool changed = false;
    if (m_keyType == gktInteger) {
        const auto key = intKeyOfRow(row);
        if (key)
            changed = checked ? m_checked.insert(*key) : m_checked.remove(*key);
    } else {
        const QVariant v = keyOfRow(row);
        if (!v.isNull()) {
            changed = m_checkedStrings.GetChecked(v.toString()) != checked;
            m_checkedStrings.SetChecked(v.toString(), checked);
        }
    }
    if (changed)
        markChanged(row);
}

std::vector<int> TGridModel::checkAllRows()
{
    std::vector<int> rows;
    if (m_keyType != gktInteger)
        return rows;
    for (int row = 0; row < rowCount(); ++row) {
        const auto key = intKeyOfRow(row);
        if (key && m_checked.insert(*key))
            rows.push_back(row);
    }
    if (!rows.empty())
        allMarksChanged();
    return rows;
}

void TGridModel::uncheckAllRows()
{
    bool changed = false;
    for (int row = 0; row < rowCount(); ++row) {
        if (m_keyType == gktInteger) {
            if (m_checked.isEmpty())
                break;
            const auto key = intKeyOfRow(row);
            changed |= key && m_checked.remove(*key);
        } else {
            const QVariant v = keyOfRow(row);
            if (!v.isNull() && m_checkedStrings.GetChecked(v.toString())) {
                m_checkedStrings.SetChecked(v.toString(), false);
                changed = true;
            }
        }
    }
    if (changed)
        allMarksChanged();
}

void TGridModel::clearChecked()
{
    if (m_checked.isEmpty() && m_checkedStrings.isEmpty())
        return;
    m_checked.clear();
    m_checkedStrings.clear();
    allMarksChanged();
}

int TGridModel::checkedCount() const
{
    return int(m_keyType == gktInteger ? m_checked.count() : m_checkedStrings.count());
}

std::int32_t TGridModel::checkedKey(int index) const
{
    if (m_keyType != gktInteger || index < 0 || index >= checkedCount())
        return -1;
    return m_checked.at(index);
}

void TGridModel::markChanged(int row)
{
    if (columnCount() > 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1), {MarkedRole});
    emit headerDataChanged(Qt::Vertical, row, row);
}

void TGridModel::allMarksChanged()
{
    if (rowCount() == 0)
        return;
    if (columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {MarkedRole});
    emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
}
