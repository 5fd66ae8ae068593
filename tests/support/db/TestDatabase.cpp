#include "TestDatabase.h"

#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// Any message while the template is made means a script failed: say so and go on.
void reportMessage(const QString& text)
{
    ADD_FAILURE() << "message while preparing the test database: " << text.toStdString();
}

// Makes a template at path: the version-0 schema, and for Migrated every script.
void makeTemplate(TestDatabase::Kind kind, const QString& path)
{
    CreateBaseDatabase(path, QString::fromLatin1(TestDatabase::user), QString::fromLatin1(TestDatabase::password));
    if (kind != TestDatabase::Migrated)
        return;
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

// Every test runs in its own process, so a template made per process cost each
// database test the whole migration. When the build names a folder
// (LINDAVO_TEST_TEMPLATES), the templates are kept there under a name derived
// from the base schema and the update package, so a changed script makes a new
// one; a template appears under its final name only once it is complete.
QString sharedTemplatePath(TestDatabase::Kind kind)
{
#ifndef LINDAVO_TEST_TEMPLATES
    return {};
#else
    const QString folder = QStringLiteral(LINDAVO_TEST_TEMPLATES);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(BaseSchemaStatements().join(QChar(u'\n')).toUtf8());
    if (kind == TestDatabase::Migrated)
        hash.addData(embeddedUpdatePackage());
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return {};
    const QString name = (kind == TestDatabase::Base ? QStringLiteral("base-") : QStringLiteral("migrated-")) +
                         QString::fromLatin1(hash.result().toHex().left(16)) + QStringLiteral(".fdb");
    const QString path = dir.filePath(name);
    if (QFile::exists(path))
        return path;
    const QString partial = path + QStringLiteral(".%1.part").arg(QCoreApplication::applicationPid());
    QFile::remove(partial);
    makeTemplate(kind, partial);
    // A template whose making failed is this program's only: the failure shows here, and
    // the next program tries again.
    if (::testing::Test::HasFailure())
        return partial;
    // Templates of earlier scripts are of no more use.
    const QString prefix = name.left(name.indexOf(u'-') + 1);
    for (const QString& old : dir.entryList({prefix + QStringLiteral("*.fdb")}, QDir::Files))
        if (old != name)
            QFile::remove(dir.filePath(old));
    // Another test program may have finished the same template meanwhile: either copy is whole.
    if (!QFile::rename(partial, path))
        QFile::remove(partial);
    return QFile::exists(path) ? path : QString();
#endif
}

const QString& templatePath(TestDatabase::Kind kind)
{
    static QTemporaryDir dir;
    static QString paths[3];
    QString& path = paths[kind];
    if (!path.isEmpty())
        return path;
    path = sharedTemplatePath(kind);
    if (!path.isEmpty())
        return path;
    path = dir.filePath(kind == TestDatabase::Base ? QStringLiteral("base.fdb") : QStringLiteral("migrated.fdb"));
    makeTemplate(kind, path);
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
