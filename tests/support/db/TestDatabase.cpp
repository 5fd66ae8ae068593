#include "TestDatabase.h"

#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// Any message while the template is made means a script failed: say so and go on.
void reportMessage(const QString& text)
{
    ADD_FAILURE() << "message while preparing the test database: " << text.toStdString();
}

const QString& templatePath(TestDatabase::Kind kind)
{
    static QTemporaryDir dir;
    static QString paths[3];
    QString& path = paths[kind];
    if (!path.isEmpty())
        return path;
    path = dir.filePath(kind == TestDatabase::Base ? QStringLiteral("base.fdb") : QStringLiteral("migrated.fdb"));
    CreateBaseDatabase(path, QString::fromLatin1(TestDatabase::user), QString::fromLatin1(TestDatabase::password));
    if (kind == TestDatabase::Migrated) {
        MemTable package;
        QString error;
        if (!loadUpdatePackage(package, &error))
            ADD_FAILURE() << "update package: " << error.toStdString();
        fb::Connection c;
        c.open(path, TestDatabase::params());
        MigrationRunner runner(c, package, package.recordCount());
        runner.showError = reportMessage;
        runner.showMessage = reportMessage;
        runner.RunPass();
        c.close();
    }
    return path;
}

}  // namespace

TestDatabase::TestDatabase(Kind kind) : m_path(m_dir.filePath(QStringLiteral("test.fdb")))
{
    if (kind == Empty)
        fb::Connection::createDatabase(m_path, QString::fromLatin1(user), QString::fromLatin1(password));
    else if (!QFile::copy(templatePath(kind), m_path))
        throw std::runtime_error("cannot copy the template database");
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
    m_connection = std::make_unique<fb::Connection>();
    m_connection->open(m_path, params());
}

TestDatabase::~TestDatabase()
{
    try {
        m_connection->close();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "closing the test database: " << e.what();
    }
}

QStringList TestDatabase::params()
{
    return {QStringLiteral("USER_NAME=") + QLatin1String(user), QStringLiteral("PASSWORD=") + QLatin1String(password),
            QStringLiteral("lc_ctype=WIN1250")};
}

std::unique_ptr<fb::Connection> TestDatabase::openSecond() const
{
    auto c = std::make_unique<fb::Connection>();
    c->open(m_path, params());
    return c;
}

void TestDatabase::exec(const QStringList& statements)
{
    ExecuteStatements(*m_connection, statements);
}

QVariant TestDatabase::scalar(const QString& sql)
{
    fb::Transaction tr(*m_connection, {QStringLiteral("read_committed"), QStringLiteral("rec_version"),
                                       QStringLiteral("read"), QStringLiteral("nowait")});
    tr.start();
    fb::Query q(tr);
    q.setSql(sql);
    const QVariant v = q.executeScalar();
    q.close();
    tr.commit();
    return v;
}

std::map<qint64, QVariantMap> TestDatabase::rows(const QString& table)
{
    fb::Transaction tr(*m_connection, {QStringLiteral("concurrency"), QStringLiteral("read"), QStringLiteral("nowait")});
    tr.start();
    fb::Query q(tr);
    q.setSql(QStringLiteral("select * from %1").arg(table));
    q.execute();
    std::map<qint64, QVariantMap> all;
    while (q.next()) {
        QVariantMap row;
        for (int i = 0; i < q.columnCount(); ++i)
            row[q.column(i).name] = q.value(i);
        all[row.value(QStringLiteral("JEDIN")).toLongLong()] = row;
    }
    q.close();
    tr.commit();
    return all;
}
