#include "controls/ComboBoxModel.h"

ComboBoxModel::ComboBoxModel(QObject* parent) : QAbstractListModel(parent) {}

void ComboBoxModel::replace(std::vector<Item> items)
{
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

int ComboBoxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant ComboBoxModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_items.size()))
        return {};
    const Item& it = m_items[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return it.text;
    case Qt::UserRole: {
        QVariantList keys;
        for (const QVariant& k : it.keys)
            keys << k;
        return keys;
    }
    default:
        return {};
    }
}

bool ComboBoxModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= int(m_items.size()))
        return false;
    Item& it = m_items[size_t(index.row())];
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        it.text = value.toString();
    } else if (role == Qt::UserRole) {
        // A list of keys, or a single value taken as key value 1.
        it.keys = {};
        if (value.typeId() == QMetaType::QVariantList) {
            const QVariantList list = value.toList();
            for (qsizetype i = 0; i < list.size() && i < 9; ++i)
                it.keys[size_t(i)] = list.at(i);
        } else {
            it.keys[0] = value;
        }
    } else {
        return false;
    }
    emit dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags ComboBoxModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

bool ComboBoxModel::insertRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || row > int(m_items.size()) || count <= 0)
        return false;
    beginInsertRows(parent, row, row + count - 1);
    m_items.insert(m_items.begin() + row, size_t(count), Item{});
    endInsertRows();
    return true;
}

bool ComboBoxModel::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || row < 0 || count <= 0 || row + count > int(m_items.size()))
        return false;
    beginRemoveRows(parent, row, row + count - 1);
    m_items.erase(m_items.begin() + row, m_items.begin() + row + count);
    endRemoveRows();
    return true;
}
