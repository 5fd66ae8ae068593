#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QVariant>

#include <array>
#include <vector>

// The items of the lookup combo box: the shown text of each row and its item
// object with the nine key values. A list of thousands of rows is replaced in
// one reset (a standard item model would signal every row). The usual
// QComboBox item calls (addItem, insertItem, removeItem, clear, setItemData)
// work on it too, for windows that fill a list themselves.
class ComboBoxModel : public QAbstractListModel {
    Q_OBJECT
public:
    struct Item {
        QString text;
        std::array<QVariant, 9> keys;  // the item object: key values 1 to 9
    };

    explicit ComboBoxModel(QObject* parent = nullptr);

    void replace(std::vector<Item> items);
    const Item& item(int row) const { return m_items[size_t(row)]; }
    const std::vector<Item>& items() const { return m_items; }

    // Qt::UserRole carries the keys as a QVariantList of nine values.
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

private:
    std::vector<Item> m_items;
};
