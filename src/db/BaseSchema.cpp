#include "db/BaseSchema.h"

#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QFile>
#include <QRegularExpression>

QStringList SplitSqlScript(const QString& script)
{
    QStringList statements;
    QStringList current;
    const auto flush = [&] {
        const QString text = current.join(QLatin1Char('\n')).trimmed();
        current.clear();
        // a statement made only of comments says nothing to the server
        QString meaningful = text;
        meaningful.remove(QRegularExpression(QStringLiteral("^\\s*--[^\\n]*$"),
                                             QRegularExpression::MultilineOption));
        if (!meaningful.trimmed().isEmpty())
            statements << text;
    };
    const QStringList lines = QString(script).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        if (t.startsWith(QLatin1String("SET TERM"), Qt::CaseInsensitive))
            continue;
        if (t == QLatin1String("^")) {
            flush();
            continue;
        }
        current << line;
    }
    flush();
    return statements;
}

QStringList BaseSchemaStatements()
{
    QFile f(QStringLiteral(":/schema/base.sql"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return SplitSqlScript(QString::fromUtf8(f.readAll()));
}

void ExecuteStatements(fb::Connection& connection, const QStringList& statements)
{
    fb::Transaction tr(connection, {QStringLiteral("write"), QStringLiteral("nowait")});
    fb::Query q(tr);
    q.setParamCheck(false);
    for (const QString& sql : statements) {
        tr.start();
        q.setSql(sql);
        q.execute();
        q.close();
        tr.commit();
    }
}

void CreateBaseDatabase(const QString& path, const QString& user, const QString& password)
{
    fb::Connection::createDatabase(path, user, password, 8192, QStringLiteral("WIN1250"));
    fb::Connection c;
    c.open(path, {QStringLiteral("USER_NAME=") + user, QStringLiteral("PASSWORD=") + password,
                  QStringLiteral("lc_ctype=WIN1250")});
    ExecuteStatements(c, BaseSchemaStatements());
    c.close();
}
