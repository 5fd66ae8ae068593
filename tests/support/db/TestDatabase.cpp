#include "TestDatabase.h"

#include "fb/Query.h"
#include "fb/Transaction.h"

#include <gtest/gtest.h>

TestDatabase::TestDatabase() : m_path(m_dir.filePath(QStringLiteral("test.fdb")))
{
    fb::Connection::createDatabase(m_path, QString::fromLatin1(user), QString::fromLatin1(password));
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
    for (const QString& sql : statements) {
        fb::Transaction tr(*m_connection);
        tr.start();
        fb::Query q(tr);
        q.setParamCheck(false);
        q.setSql(sql);
        q.execute();
        tr.commit();
    }
}
