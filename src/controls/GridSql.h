#pragma once

#include "controls/GridModel.h"
#include "controls/QDLColumn.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include <vector>

// The SQL a record grid hands to its window: the ORDER BY list from the active
// column and the marked-records clause. Plain functions, so that the rules
// can be checked without a widget; TDbGridQDL calls them.

// --- ORDER BY -----------------------------------------------------------------

// One column's term: OrderBy (or FieldName when that is blank), trimmed, then
// the collation, " " + direction when there is one, and the NULL placement.
// Empty when the column takes no part in the ordering (osNone) or has no
// expression at all; `missingExpression` tells the latter apart.
QString ColumnOrderTerm(const TQDLColumn& column, const QString& direction, bool* missingExpression = nullptr);

struct TOrderBy {
    QString clause;                  // the terms joined by ","
    QStringList columnsWithoutTerm;  // titles of ordered columns without an expression
};

// The active column's term (`activeColumn` counts data columns from 0; -1 or
// beyond the columns: none) first, then the others left to right. The same
// direction goes on every term.
TOrderBy BuildOrderBy(const std::vector<TQDLColumn>& columns, int activeColumn, const QString& direction);

// --- marked records ------------------------------------------------------------

// Up to this many integer keys are written into the statement; beyond it they
// go through TEMP_SPRACUJ so that the statement stays short.
inline constexpr int kLiteralListLimit = 500;

struct TMarkedFilter {
    QString sql;                  // the clause; empty when there is nothing or it goes through TEMP_SPRACUJ
    QVariantMap params;           // text keys travel as parameters
    bool viaTempSpracuj = false;  // write the values to TEMP_SPRACUJ, then use TempSpracujFilter
};

// Whether `count` marks of this key type have to go through TEMP_SPRACUJ
// (which holds numbers, so text keys never do).
bool MarkedNeedTempSpracuj(qsizetype count, TGridKeyType keyType);

// " " + prefix + keyField + " in (...)" over the values in their order:
// integers in decimal, texts as parameters :MARKED0, :MARKED1, ... (a text
// never becomes part of the statement).
TMarkedFilter MarkedRecordsFilter(const QVariantList& values, const QString& prefix, const QString& keyField,
                                  TGridKeyType keyType);

// The clause over a set written to TEMP_SPRACUJ under `setKey` (a GUID made by
// the program, never user text).
QString TempSpracujFilter(const QString& prefix, const QString& keyField, const QString& setKey);
