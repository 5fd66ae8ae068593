#pragma once

#include "controls/MarkedRecords.h"
#include "controls/QDLColumn.h"
#include "fb/ResultTable.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

enum TGridKeyType { gktInteger, gktString };

// The rows of a record grid: the whole result of the window's statement (held
// by fb::ResultTable, decoded when a cell is asked for) shown through the grid's
// columns in their present order, and the marked-record sets, which survive a
// new result because they hold keys, not row positions.
//
// Views never change rows or marks by hand; they call the operations below,
// which emit the narrowest change (one row for a mark, the header of that row
// for the indicator).
class TGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        MarkedRole = Qt::UserRole + 1,  // bool: the row's key is marked
        KeyRole,                        // the row's key value
        ValueRole,                      // the cell's value as the database gave it
    };

    explicit TGridModel(QObject* parent = nullptr);
    ~TGridModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // --- result -------------------------------------------------------------
    // Takes a freshly fetched result; the dataset counts as open afterwards.
    void setResult(fb::ResultTable table);
    void close();
    bool isOpen() const { return m_open; }
    const fb::ResultTable& result() const { return m_table; }
    int fieldIndex(const QString& name) const;   // -1 when the result has no such field
    fb::ColumnType fieldType(const QString& name) const;
    QVariant fieldValue(int row, int field) const;
    QVariant fieldValue(int row, const QString& name) const;
    // First row at or after `from` whose field matches; -1 when none.
    // partial: the text begins with the value; caseInsensitive: letter case ignored.
    int findRow(const QString& field, const QVariant& value, bool caseInsensitive, bool partial, int from = 0) const;

    // --- columns ------------------------------------------------------------
    const std::vector<TQDLColumn>& columns() const { return m_columns; }
    const TQDLColumn& column(int i) const { return m_columns[size_t(i)]; }
    void setColumns(std::vector<TQDLColumn> columns);
    void addColumn(const TQDLColumn& column);
    // Changes attributes that do not move the column (width, title, order ...).
    void updateColumn(int i, const TQDLColumn& column);
    void moveColumn(int from, int to);
    int fieldOfColumn(int column) const;  // index into the result, -1 when absent

    // --- marks --------------------------------------------------------------
    void setKeyField(const QString& field);
    const QString& keyField() const { return m_keyField; }
    // Changing the key type drops every mark.
    void setKeyFieldType(TGridKeyType type);
    TGridKeyType keyFieldType() const { return m_keyType; }

    QVariant keyOfRow(int row) const;
    std::optional<std::int32_t> intKeyOfRow(int row) const;
    bool isRowChecked(int row) const;
    void setRowChecked(int row, bool checked);
    // Marks every row not yet marked; returns the rows that became marked.
    std::vector<int> checkAllRows();
    // Unmarks every row of the result; marks of keys not in the result stay.
    void uncheckAllRows();
    void clearChecked();
    int checkedCount() const;
    // The index-th marked integer key in marking order; -1 for text keys.
    std::int32_t checkedKey(int index) const;
    const TCheckedList& checkedList() const { return m_checked; }
    const TCheckedStringList& checkedStrings() const { return m_checkedStrings; }

private:
    void resolveFields();
    void markChanged(int row);
    void allMarksChanged();

    fb::ResultTable m_table;
    bool m_open = false;
    std::vector<TQDLColumn> m_columns;
    std::vector<int> m_fieldOf;  // grid column -> result field
    QString m_keyField;
    int m_keyFieldIndex = -1;
    TGridKeyType m_keyType = gktInteger;
    TCheckedList m_checked;
    TCheckedStringList m_checkedStrings;
};
