#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace fb {
class Connection;
}

// The duplicate test of TIBEdit, kept apart from the
// widget. Table and column names and the additional condition are program
// text; the typed text and the key value of the record being edited travel as
// parameters (:UNIQUE_VALUE, :TEST_TEXT), never inside quotes.
struct UniqueTestSetup {
    QString tableName;           // UTableName
    QString testColumn;          // UTestColumn
    QString uniqueColumn;        // UniqueColumn
    QVariant uniqueColumnValue;  // UniqueColumnValue: the record being edited, or NULL
    QString additionalToWhere;   // UAdditionalToWhere, its own line when not blank
    bool bezDiakritiky = false;  // UBezDiakritiky: compare testColumn_X with the plain upper text
    bool onlyNumbers = false;    // the edit's OnlyNumbers: compare as a number
};

struct UniqueTestStatement {
    QStringList lines;
    QVariantMap params;
};

// The statement and its parameter values. Names that are not plain SQL
// identifiers are refused with std::invalid_argument.
UniqueTestStatement BuildUniqueTestSql(const UniqueTestSetup& setup, const QString& text);

// Runs the statement in a new read-only read-committed no-wait transaction on
// the connection: true when another row holds the text (a duplicate).
bool FindDuplicate(fb::Connection& connection, const UniqueTestSetup& setup, const QString& text);

// True for a plain identifier (letters, digits, "_", "$"; not starting with a digit).
bool IsPlainIdentifier(const QString& name);
