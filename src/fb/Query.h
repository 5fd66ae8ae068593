#pragma once

#include "fb/ResultTable.h"
#include "fb/Statement.h"

#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <utility>

namespace fb {

class Transaction;

// One SQL statement on a transaction. The text is a list of lines with named
// parameters ":NAME" (case-insensitive; a name may occur several times; nothing
// inside quotes or comments counts). With paramCheck off the text goes to the
// server as it stands (DDL, PSQL bodies). A statement is prepared once and may be
// executed again with new values; changing the text unprepares it.
//
// Values are QVariants: SMALLINT/INTEGER -> int, BIGINT -> qlonglong,
// NUMERIC/DECIMAL -> fb::Decimal, DOUBLE/FLOAT -> double, DATE -> QDate,
// TIME -> QTime, TIMESTAMP -> QDateTime (wall clock, marked Qt::UTC: no zone rules), CHAR/VARCHAR and text BLOBs -> QString,
// binary BLOBs and OCTETS -> QByteArray, NULL -> an invalid QVariant.
class Query {
public:
    explicit Query(Transaction& transaction);
    ~Query();
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Transaction& transaction() const { return *m_transaction; }
    // Rebinds to another transaction (closes the cursor, keeps the text).
    void setTransaction(Transaction& transaction);

    void setSql(const QStringList& lines);
    void setSql(const QString& text) { setSql(QStringList{text}); }
    // The statement's lines and its parameter values.
    void setStatement(const Statement& statement);
    const QStringList& sql() const { return m_sql; }
    void setParamCheck(bool check);
    bool paramCheck() const { return m_paramCheck; }

    void prepare();
    bool isPrepared() const;
    // Parameter names in order of first occurrence (upper case); prepares if needed.
    QStringList paramNames();
    bool hasParam(const QString& name);
    // Throws fb::Error for a name the statement does not have. Values stay set
    // until changed, so a statement can run again with only some values new.
    void setParam(const QString& name, const QVariant& value);
    // Several at once: query.setParams({{"JEDIN", 5}, {"MENO", name}}).
    void setParams(std::initializer_list<std::pair<QString, QVariant>> values);
    void setParams(const QVariantMap& values);
    void clearParams();

    // Runs the statement. A SELECT opens its cursor before the first row;
    // anything else runs to completion. Closes a cursor left open before.
    void execute();
    bool next();           // the next row of an open cursor; false at the end
    void close();          // closes the cursor; the statement stays prepared
    bool isOpen() const;   // a cursor is open
    bool hasRow() const;   // next() delivered a row that value() reads
    std::int64_t rowsAffected() const;

    int columnCount();
    const Column& column(int index);
    int columnIndex(const QString& name);  // case-insensitive, -1 when absent
    QVariant value(int index) const;
    QVariant value(const QString& name) const;  // throws fb::Error for an unknown column

    // Reads every remaining row of the open cursor (after execute()) into `table`,
    // growing it in chunks of `chunkRows`; returns the number of rows read.
    int fetchAll(ResultTable& table, int chunkRows = 1000);
    // Reads at most `maxRows` more rows; returns how many were read (0 at the end).
    int fetchSome(ResultTable& table, int maxRows);

    // Convenience: execute, then the first column of the first row (invalid when no row).
    QVariant executeScalar();
    // Executes a SELECT and stands on its only row, which value() then reads.
    // No row or a second row is an fb::Error: a lookup by key that finds
    // nothing, or more than one record, is a fault to report, not to guess at.
    void executeOneRow();
    // The same where no row is a normal answer: false then.
    bool executeAtMostOneRow();

    struct Impl;

private:
    Transaction* m_transaction;
    QStringList m_sql;
    bool m_paramCheck = true;
    std::unique_ptr<Impl> d;
};

// Splits SQL text into the text sent to the server ("?" for each parameter) and the
// parameter names in order of occurrence. Exposed for tests and the grid.
struct ParsedSql {
    QString text;
    QStringList params;  // one entry per "?", upper case, may repeat
};
ParsedSql parseNamedParams(const QString& sql);

}  // namespace fb
