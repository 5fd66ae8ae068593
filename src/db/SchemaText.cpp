#include "db/SchemaText.h"

#include "db/SchemaVersion.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QRegularExpression>
#include <QStringList>

#include <functional>
#include <map>

namespace {

// The type of a column, domain or parameter whose field is aliased F.
const char* const kTypeText = R"(
  CASE
    WHEN F.RDB$FIELD_TYPE IN (7, 8, 16) AND (F.RDB$FIELD_SUB_TYPE IN (1, 2) OR F.RDB$FIELD_SCALE < 0)
      THEN IIF(F.RDB$FIELD_SUB_TYPE = 2, 'DECIMAL(', 'NUMERIC(')
           || F.RDB$FIELD_PRECISION || ',' || (-F.RDB$FIELD_SCALE) || ')'
    WHEN F.RDB$FIELD_TYPE = 7 THEN 'SMALLINT'
    WHEN F.RDB$FIELD_TYPE = 8 THEN 'INTEGER'
    WHEN F.RDB$FIELD_TYPE = 16 THEN 'BIGINT'
    WHEN F.RDB$FIELD_TYPE = 10 THEN 'FLOAT'
    WHEN F.RDB$FIELD_TYPE = 27 THEN 'DOUBLE PRECISION'
    WHEN F.RDB$FIELD_TYPE = 12 THEN 'DATE'
    WHEN F.RDB$FIELD_TYPE = 13 THEN 'TIME'
    WHEN F.RDB$FIELD_TYPE = 35 THEN 'TIMESTAMP'
    WHEN F.RDB$FIELD_TYPE = 23 THEN 'BOOLEAN'
    WHEN F.RDB$FIELD_TYPE = 14 THEN 'CHAR(' || F.RDB$CHARACTER_LENGTH || ')'
    WHEN F.RDB$FIELD_TYPE = 37 THEN 'VARCHAR(' || F.RDB$CHARACTER_LENGTH || ')'
    WHEN F.RDB$FIELD_TYPE = 261 AND F.RDB$FIELD_SUB_TYPE = 1 THEN 'BLOB SUB_TYPE TEXT'
    WHEN F.RDB$FIELD_TYPE = 261 THEN 'BLOB'
    ELSE 'TYPE ' || F.RDB$FIELD_TYPE
  END)";

QString trimmed(const QVariant& v)
{
    return v.toString().trimmed();
}

// Runs a query and hands each row to `row`.
void forEachRow(fb::Transaction& tr, const QString& sql, const std::function<void(fb::Query&)>& row)
{
    fb::Query q(tr);
    q.setSql(sql);
    q.execute();
    while (q.next())
        row(q);
    q.close();
}

// The body as the server keeps it, with its lines' trailing blanks dropped.
QString body(const QVariant& source)
{
    QStringList lines = source.toString().split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line.remove(QLatin1Char('\r'));
        while (line.endsWith(QLatin1Char(' ')) || line.endsWith(QLatin1Char('\t')))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(QLatin1Char('\n'));
}

QString section(const QString& title)
{
    return QStringLiteral("\n/* ---- %1 ---- */\n\n").arg(title);
}

}  // namespace

QString SchemaText(fb::Connection& connection)
{
    QString out;
    {
        fb::Transaction versionRead(connection);
        fb::Query q(versionRead);
        const int version = ZistiVerziu(versionRead, q);
        out += QStringLiteral(
                   "/* The schema of a Lindavo database at update version %1, as the server holds it after\n"
                   "   every update script. Written by `dbinit FILE --migrate --schema current.sql`; the\n"
                   "   program does not read it, and a test checks that it matches a migrated database. */\n")
                   .arg(version);
    }

    fb::Transaction tr(connection, {QStringLiteral("concurrency"), QStringLiteral("read"), QStringLiteral("nowait")});
    tr.start();
    out += section(QStringLiteral("Domains"));
    forEachRow(tr,
               QStringLiteral("SELECT F.RDB$FIELD_NAME, %1, F.RDB$NULL_FLAG, F.RDB$DEFAULT_SOURCE, "
                              "F.RDB$VALIDATION_SOURCE, CO.RDB$COLLATION_NAME "
                              "FROM RDB$FIELDS F LEFT JOIN RDB$COLLATIONS CO "
                              "ON CO.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                              "AND CO.RDB$COLLATION_ID = COALESCE(F.RDB$COLLATION_ID, 0) "
                              "AND F.RDB$FIELD_TYPE IN (14, 37, 261) AND COALESCE(F.RDB$COLLATION_ID, 0) <> 0 "
                              "WHERE COALESCE(F.RDB$SYSTEM_FLAG, 0) = 0 AND F.RDB$FIELD_NAME NOT STARTING WITH 'RDB$' "
                              "ORDER BY 1")
                   .arg(QLatin1String(kTypeText)),
               [&](fb::Query& q) {
                   QString line = QStringLiteral("CREATE DOMAIN %1 AS %2").arg(trimmed(q.value(0)), trimmed(q.value(1)));
                   if (!q.value(3).isNull())
                       line += QLatin1Char(' ') + body(q.value(3)).simplified();
                   if (q.value(2).toInt() == 1)
                       line += QStringLiteral(" NOT NULL");
                   if (!q.value(4).isNull())
                       line += QLatin1Char(' ') + body(q.value(4)).simplified();
                   if (!trimmed(q.value(5)).isEmpty())
                       line += QStringLiteral(" COLLATE ") + trimmed(q.value(5));
                   out += line + QStringLiteral(";\n");
               });

    out += section(QStringLiteral("Sequences"));
    forEachRow(tr,
               QStringLiteral("SELECT RDB$GENERATOR_NAME FROM RDB$GENERATORS "
                              "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"),
               [&](fb::Query& q) { out += QStringLiteral("CREATE SEQUENCE %1;\n").arg(trimmed(q.value(0))); });

    out += section(QStringLiteral("Exceptions"));
    forEachRow(tr,
               QStringLiteral("SELECT RDB$EXCEPTION_NAME, RDB$MESSAGE FROM RDB$EXCEPTIONS "
                              "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1"),
               [&](fb::Query& q) {
                   out += QStringLiteral("CREATE EXCEPTION %1 '%2';\n")
                              .arg(trimmed(q.value(0)), q.value(1).toString().replace(QLatin1Char('\''), QStringLiteral("''")));
               });

    // Primary and unique keys, per table, in the order of their segments.
    std::map<QString, QStringList> keys;
    forEachRow(tr,
               QStringLiteral("SELECT RC.RDB$RELATION_NAME, RC.RDB$CONSTRAINT_NAME, RC.RDB$CONSTRAINT_TYPE, "
                              "(SELECT CAST(LIST(TRIM(X.RDB$FIELD_NAME), ', ') AS VARCHAR(1000)) FROM "
                              "(SELECT S.RDB$FIELD_NAME FROM RDB$INDEX_SEGMENTS S WHERE S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
                              "ORDER BY S.RDB$FIELD_POSITION) X) "
                              "FROM RDB$RELATION_CONSTRAINTS RC JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RC.RDB$RELATION_NAME "
                              "WHERE RC.RDB$CONSTRAINT_TYPE IN ('PRIMARY KEY', 'UNIQUE') AND COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 "
                              "ORDER BY 1, 3, 2"),
               [&](fb::Query& q) {
                   keys[trimmed(q.value(0))] << QStringLiteral("CONSTRAINT %1 %2 (%3)")
                                                     .arg(trimmed(q.value(1)), trimmed(q.value(2)), trimmed(q.value(3)));
               });

    out += section(QStringLiteral("Tables"));
    QString table;
    QStringList columns;
    const auto closeTable = [&] {
        if (table.isEmpty())
            return;
        columns += keys[table];
        out += QStringLiteral("CREATE TABLE %1 (\n    %2\n);\n\n").arg(table, columns.join(QStringLiteral(",\n    ")));
        columns.clear();
    };
    forEachRow(tr,
               QStringLiteral("SELECT RF.RDB$RELATION_NAME, RF.RDB$FIELD_NAME, "
                              "IIF(RF.RDB$FIELD_SOURCE STARTING WITH 'RDB$', %1, TRIM(RF.RDB$FIELD_SOURCE)), "
                              "IIF(COALESCE(RF.RDB$NULL_FLAG, 0) = 1 AND COALESCE(F.RDB$NULL_FLAG, 0) = 0, 1, 0), "
                              "RF.RDB$DEFAULT_SOURCE, IIF(RF.RDB$COLLATION_ID IS NOT NULL AND "
                              "RF.RDB$COLLATION_ID <> COALESCE(F.RDB$COLLATION_ID, 0), CO.RDB$COLLATION_NAME, NULL), "
                              "F.RDB$COMPUTED_SOURCE "
                              "FROM RDB$RELATION_FIELDS RF JOIN RDB$RELATIONS R ON R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
                              "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                              "LEFT JOIN RDB$COLLATIONS CO ON CO.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                              "AND CO.RDB$COLLATION_ID = RF.RDB$COLLATION_ID "
                              "WHERE COALESCE(R.RDB$SYSTEM_FLAG, 0) = 0 AND R.RDB$VIEW_BLR IS NULL "
                              "ORDER BY 1, RF.RDB$FIELD_POSITION")
                   .arg(QLatin1String(kTypeText)),
               [&](fb::Query& q) {
                   const QString name = trimmed(q.value(0));
                   if (name != table) {
                       closeTable();
                       table = name;
                   }
                   QString column = trimmed(q.value(1)) + QLatin1Char(' ');
                   if (!q.value(6).isNull())
                       column += QStringLiteral("COMPUTED BY ") + body(q.value(6)).simplified();
                   else
                       column += trimmed(q.value(2));
                   if (!q.value(4).isNull())
                       column += QLatin1Char(' ') + body(q.value(4)).simplified();
                   if (q.value(3).toInt() == 1)
                       column += QStringLiteral(" NOT NULL");
                   if (!trimmed(q.value(5)).isEmpty())
                       column += QStringLiteral(" COLLATE ") + trimmed(q.value(5));
                   columns << column;
               });
    closeTable();

    out += section(QStringLiteral("Foreign keys"));
    forEachRow(tr,
               QStringLiteral("SELECT RC.RDB$RELATION_NAME, RC.RDB$CONSTRAINT_NAME, "
                              "(SELECT CAST(LIST(TRIM(X.RDB$FIELD_NAME), ', ') AS VARCHAR(1000)) FROM "
                              "(SELECT S.RDB$FIELD_NAME FROM RDB$INDEX_SEGMENTS S WHERE S.RDB$INDEX_NAME = RC.RDB$INDEX_NAME "
                              "ORDER BY S.RDB$FIELD_POSITION) X), PK.RDB$RELATION_NAME, "
                              "(SELECT CAST(LIST(TRIM(X.RDB$FIELD_NAME), ', ') AS VARCHAR(1000)) FROM "
                              "(SELECT S.RDB$FIELD_NAME FROM RDB$INDEX_SEGMENTS S WHERE S.RDB$INDEX_NAME = PK.RDB$INDEX_NAME "
                              "ORDER BY S.RDB$FIELD_POSITION) X), REF.RDB$UPDATE_RULE, REF.RDB$DELETE_RULE "
                              "FROM RDB$RELATION_CONSTRAINTS RC "
                              "JOIN RDB$REF_CONSTRAINTS REF ON REF.RDB$CONSTRAINT_NAME = RC.RDB$CONSTRAINT_NAME "
                              "JOIN RDB$RELATION_CONSTRAINTS PK ON PK.RDB$CONSTRAINT_NAME = REF.RDB$CONST_NAME_UQ "
                              "WHERE RC.RDB$CONSTRAINT_TYPE = 'FOREIGN KEY' ORDER BY 1, 2"),
               [&](fb::Query& q) {
                   QString line = QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 FOREIGN KEY (%3) REFERENCES %4 (%5)")
                                      .arg(trimmed(q.value(0)), trimmed(q.value(1)), trimmed(q.value(2)),
                                           trimmed(q.value(3)), trimmed(q.value(4)));
                   // RESTRICT is what an unwritten rule is stored as.
                   if (trimmed(q.value(5)) != QLatin1String("RESTRICT"))
                       line += QStringLiteral(" ON UPDATE ") + trimmed(q.value(5));
                   if (trimmed(q.value(6)) != QLatin1String("RESTRICT"))
                       line += QStringLiteral(" ON DELETE ") + trimmed(q.value(6));
                   out += line + QStringLiteral(";\n");
               });

    out += section(QStringLiteral("Indexes"));
    forEachRow(tr,
               QStringLiteral("SELECT I.RDB$INDEX_NAME, I.RDB$RELATION_NAME, "
                              "(SELECT CAST(LIST(TRIM(X.RDB$FIELD_NAME), ', ') AS VARCHAR(1000)) FROM "
                              "(SELECT S.RDB$FIELD_NAME FROM RDB$INDEX_SEGMENTS S WHERE S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                              "ORDER BY S.RDB$FIELD_POSITION) X), COALESCE(I.RDB$UNIQUE_FLAG, 0), "
                              "COALESCE(I.RDB$INDEX_TYPE, 0), COALESCE(I.RDB$INDEX_INACTIVE, 0), I.RDB$EXPRESSION_SOURCE "
                              "FROM RDB$INDICES I WHERE COALESCE(I.RDB$SYSTEM_FLAG, 0) = 0 AND NOT EXISTS "
                              "(SELECT 1 FROM RDB$RELATION_CONSTRAINTS RC WHERE RC.RDB$INDEX_NAME = I.RDB$INDEX_NAME) "
                              "ORDER BY 1"),
               [&](fb::Query& q) {
                   QString line = QStringLiteral("CREATE ");
                   if (q.value(3).toInt() == 1)
                       line += QStringLiteral("UNIQUE ");
                   if (q.value(4).toInt() == 1)
                       line += QStringLiteral("DESCENDING ");
                   line += QStringLiteral("INDEX %1 ON %2 ").arg(trimmed(q.value(0)), trimmed(q.value(1)));
                   line += q.value(6).isNull() ? QStringLiteral("(%1)").arg(trimmed(q.value(2)))
                                               : QStringLiteral("COMPUTED BY %1").arg(body(q.value(6)).simplified());
                   if (q.value(5).toInt() == 1)
                       line += QStringLiteral(" /* inactive */");
                   out += line + QStringLiteral(";\n");
               });

    out += section(QStringLiteral("Views"));
    forEachRow(tr,
               QStringLiteral("SELECT RDB$RELATION_NAME, RDB$VIEW_SOURCE FROM RDB$RELATIONS "
                              "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$VIEW_BLR IS NOT NULL ORDER BY 1"),
               [&](fb::Query& q) {
                   out += QStringLiteral("CREATE VIEW %1 AS\n%2;\n\n").arg(trimmed(q.value(0)), body(q.value(1)));
               });

    // Parameters of the procedures, in order: inputs, then outputs.
    std::map<QString, std::pair<QStringList, QStringList>> parameters;
    forEachRow(tr,
               QStringLiteral("SELECT P.RDB$PROCEDURE_NAME, P.RDB$PARAMETER_NAME, P.RDB$PARAMETER_TYPE, "
                              "IIF(P.RDB$FIELD_SOURCE STARTING WITH 'RDB$', %1, TRIM(P.RDB$FIELD_SOURCE)) "
                              "FROM RDB$PROCEDURE_PARAMETERS P JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = P.RDB$FIELD_SOURCE "
                              "WHERE COALESCE(P.RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1, 3, P.RDB$PARAMETER_NUMBER")
                   .arg(QLatin1String(kTypeText)),
               [&](fb::Query& q) {
                   auto& p = parameters[trimmed(q.value(0))];
                   (q.value(2).toInt() == 0 ? p.first : p.second)
                       << trimmed(q.value(1)) + QLatin1Char(' ') + trimmed(q.value(3));
               });

    out += section(QStringLiteral("Procedures"));
    forEachRow(tr,
               QStringLiteral("SELECT RDB$PROCEDURE_NAME, RDB$PROCEDURE_SOURCE FROM RDB$PROCEDURES "
                              "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL ORDER BY 1"),
               [&](fb::Query& q) {
                   const QString name = trimmed(q.value(0));
                   const auto& p = parameters[name];
                   QString head = QStringLiteral("CREATE PROCEDURE ") + name;
                   if (!p.first.isEmpty())
                       head += QStringLiteral(" (") + p.first.join(QStringLiteral(", ")) + QLatin1Char(')');
                   if (!p.second.isEmpty())
                       head += QStringLiteral("\nRETURNS (") + p.second.join(QStringLiteral(", ")) + QLatin1Char(')');
                   out += head + QStringLiteral("\nAS\n") + body(q.value(1)) + QStringLiteral("^\n\n");
               });

    // Arguments of the functions; position 0 without a name is the result.
    std::map<QString, std::pair<QStringList, QString>> arguments;
    forEachRow(tr,
               QStringLiteral("SELECT A.RDB$FUNCTION_NAME, A.RDB$ARGUMENT_NAME, "
                              "IIF(A.RDB$FIELD_SOURCE STARTING WITH 'RDB$', %1, TRIM(A.RDB$FIELD_SOURCE)) "
                              "FROM RDB$FUNCTION_ARGUMENTS A JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = A.RDB$FIELD_SOURCE "
                              "WHERE A.RDB$PACKAGE_NAME IS NULL ORDER BY 1, A.RDB$ARGUMENT_POSITION")
                   .arg(QLatin1String(kTypeText)),
               [&](fb::Query& q) {
                   auto& a = arguments[trimmed(q.value(0))];
                   if (q.value(1).isNull())
                       a.second = trimmed(q.value(2));
                   else
                       a.first << trimmed(q.value(1)) + QLatin1Char(' ') + trimmed(q.value(2));
               });

    out += section(QStringLiteral("Functions"));
    forEachRow(tr,
               QStringLiteral("SELECT RDB$FUNCTION_NAME, RDB$MODULE_NAME, RDB$ENTRYPOINT, RDB$FUNCTION_SOURCE "
                              "FROM RDB$FUNCTIONS WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$PACKAGE_NAME IS NULL "
                              "ORDER BY 1"),
               [&](fb::Query& q) {
                   const auto& a = arguments[trimmed(q.value(0))];
                   if (!q.value(3).isNull())
                       out += QStringLiteral("CREATE FUNCTION %1 (%2) RETURNS %3\nAS\n%4^\n\n")
                                  .arg(trimmed(q.value(0)), a.first.join(QStringLiteral(", ")), a.second,
                                       body(q.value(3)));
                   else
                       out += QStringLiteral("DECLARE EXTERNAL FUNCTION %1 ENTRY_POINT '%2' MODULE_NAME '%3';\n")
                                  .arg(trimmed(q.value(0)), trimmed(q.value(2)), trimmed(q.value(1)));
               });

    out += section(QStringLiteral("Triggers"));
    forEachRow(tr,
               QStringLiteral("SELECT T.RDB$TRIGGER_NAME, T.RDB$RELATION_NAME, T.RDB$TRIGGER_TYPE, "
                              "T.RDB$TRIGGER_SEQUENCE, COALESCE(T.RDB$TRIGGER_INACTIVE, 0), T.RDB$TRIGGER_SOURCE "
                              "FROM RDB$TRIGGERS T WHERE COALESCE(T.RDB$SYSTEM_FLAG, 0) = 0 "
                              "AND NOT EXISTS (SELECT 1 FROM RDB$CHECK_CONSTRAINTS C WHERE C.RDB$TRIGGER_NAME = T.RDB$TRIGGER_NAME) "
                              "ORDER BY 2, 1"),
               [&](fb::Query& q) {
                   // The type packs up to three events after a before/after bit.
                   const qint64 type = q.value(2).toLongLong();
                   static const char* const events[] = {"", "INSERT", "UPDATE", "DELETE"};
                   const qint64 code = type + 1;
                   QStringList which;
                   for (int slot = 0; slot < 3; ++slot) {
                       const int e = int((code >> (1 + 2 * slot)) & 3);
                       if (e)
                           which << QLatin1String(events[e]);
                   }
                   const QString when = (code & 1) ? QStringLiteral("AFTER") : QStringLiteral("BEFORE");
                   out += QStringLiteral("CREATE TRIGGER %1 FOR %2 %3 %4 %5 POSITION %6\n%7^\n\n")
                              .arg(trimmed(q.value(0)), trimmed(q.value(1)),
                                   q.value(4).toInt() ? QStringLiteral("INACTIVE") : QStringLiteral("ACTIVE"), when,
                                   which.join(QStringLiteral(" OR ")), QString::number(q.value(3).toInt()),
                                   body(q.value(5)));
               });

    tr.commit();
    // Kinds this schema has none of are left out.
    static const QRegularExpression empty(QStringLiteral("\n/\\* ---- [A-Za-z ]+ ---- \\*/\n\n(?=\n/\\* ----|$)"));
    out.replace(empty, QString());
    return out;
}
