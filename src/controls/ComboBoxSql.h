#pragma once

#include "fb/Statement.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <array>

// The statements of the lookup combo box, built without a widget so that
// tests and the benchmark can call them. Table, column and condition texts are
// program text set by the windows; whatever the user typed and every key value
// travels as a named parameter, never inside quotes.

// What the combo box searches: STableName, SAppendFromField, SKeyField to
// SKeyField9, SWhere, SOrderBy and the switches that change the statements.
struct ComboLookup {
    QString tableName;                // STableName
    QString appendFromField;          // SAppendFromField: the shown and matched column
    std::array<QString, 9> keyFields; // SKeyField .. SKeyField9; empty = not used
    QString where;                    // SWhere
    QString orderBy;                  // SOrderBy
    bool distinct = false;            // SDistinct
    bool useBasicAsciiColumn = false; // SUseBasicASCIIColumn: match appendFromField + "_X"
    bool onlyNumbers = false;         // OnlyNumbers
};

// Where each key value comes from in a result row: column index per key
// (0-based key number), -1 when that key column is not selected.
using ComboKeyColumns = std::array<int, 9>;

// The words of a containing search ("*ova*bra" -> OVA, BRA): split at every
// "*", trimmed, blank words dropped, in the diacritics-free upper-case form.
QStringList ContainingWords(const QString& text);

// The list load. `filtered`: the user typed something (the text is not empty
// and not wholly selected); then a text beginning with "*" searches for every
// word anywhere in the shown column, any other text for rows starting with its
// first `typedLength` characters. Columns: the shown one, then each set key.
fb::Statement BuildDropDownSql(const ComboLookup& cfg, const QString& text, int typedLength, bool filtered);
ComboKeyColumns DropDownKeyColumns(const ComboLookup& cfg);

// The incremental search: the first row whose shown column starts with the
// text (diacritics and case ignored). Columns as in the list load.
fb::Statement BuildAppendTextSql(const ComboLookup& cfg, const QString& text);

// The strict lookup: every row whose shown column equals the text ignoring
// case (diacritics too with the "_X" column). Columns: the shown one, SKeyField,
// then each further set key.
fb::Statement BuildIsNotExistSql(const ComboLookup& cfg, const QString& text);
ComboKeyColumns IsNotExistKeyColumns(const ComboLookup& cfg);

// Showing a stored reference: the row whose SKeyField equals the value.
// Columns: the shown one, then each set key from SKeyField2 on (key 1 is the
// value itself).
fb::Statement BuildFindItSql(const ComboLookup& cfg, const QVariant& value);
// The first row matching SKeyField and (when set) SKeyField2.
fb::Statement BuildFindIt2Sql(const ComboLookup& cfg, const QVariant& value1, const QVariant& value2);
ComboKeyColumns FindItKeyColumns(const ComboLookup& cfg);

// SKeyField of the rows in SOrderBy order (the caller takes the first).
fb::Statement BuildFindFirstSql(const ComboLookup& cfg);

// The duplicate test of the combo box is the data controls' one rule:
// BuildUniqueTestSql (UniqueTest.h).
