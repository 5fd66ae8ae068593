#pragma once

#include "fb/Statement.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace fb {
class Connection;
}

// The duplicate test of the data controls, one rule for the edit (TIBEdit)
// and the lookup combo box (TIBComboBox), kept apart from the widgets. Table
// and column names and the additional condition are program text; the typed
// text, the key value and the key of the record being edited travel as
// parameters (:UNIQUE_VALUE, :TEST_TEXT, :VALUE), never inside quotes.
struct UniqueTestSetup {
    QString tableName;           // UTableName
    QString testColumn;          // UTestColumn
    QString uniqueColumn;        // UniqueColumn
    QVariant uniqueColumnValue;  // UniqueColumnValue: the record being edited, or NULL
    bool useKeyValue = false;    // UniqueTestSKeyValue (combo box): compare key value 1 instead of the text
    QString keyField;            // UniqueTestSKeyField (combo box)
    QString additionalToWhere;   // UAdditionalToWhere, its own line when not blank
    bool bezDiakritiky = false;  // UBezDiakritiky: compare testColumn_X with the plain upper text
    bool onlyNumbers = false;    // the control's OnlyNumbers: compare as a number
};

// The statement and its parameter values; a row found is a duplicate. `key1`
// is the combo box's key value 1 (used with useKeyValue). Names that are not
// plain SQL identifiers are refused with std::invalid_argument.
fb::Statement BuildUniqueTestSql(const UniqueTestSetup& setup, const QString& text,
                                       const QVariant& key1 = QVariant());

// Runs the statement in a new read-only read-committed no-wait transaction on
// the connection: true when another row holds the text (a duplicate).
bool FindDuplicate(fb::Connection& connection, const UniqueTestSetup& setup, const QString& text);
