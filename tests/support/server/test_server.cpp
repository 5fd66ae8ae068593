#include "FirebirdServer.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

struct IsqlResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// A client isql talking to the server over TCP, as another workstation would.
IsqlResult runIsql(const QStringList& args, const QString& script)
{
    IsqlResult result;
    const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
    if (isql.isEmpty()) {
        result.err = QStringLiteral("isql-fb not found");
        return result;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"FIREBIRD", "ISC_USER", "ISC_PASSWORD"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(isql, QStringList{QStringLiteral("-q")} + args);
    if (!process.waitForStarted(10000)) {
        result.err = process.errorString();
        return result;
    }
    process.write(script.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        result.err = QStringLiteral("isql did not finish");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.err = QString::fromLocal8Bit(process.readAllStandardError());
    return result;
}

QStringList login(const FirebirdServer& server, const QString& password)
{
    return {QStringLiteral("-user"), server.user(), QStringLiteral("-password"), password};
}

QString createDatabase(const QString& connectionString)
{
    return QStringLiteral("create database '%1';\n").arg(connectionString);
}

const QString kWhoAmI = QStringLiteral(
    "select mon$remote_protocol, mon$remote_address from mon$attachments "
    "where mon$attachment_id = current_connection;\n");

class FirebirdServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString whyNot;
        server = FirebirdServer::instance(&whyNot);
        if (!server)
            GTEST_SKIP() << whyNot.toStdString();
    }

    FirebirdServer* server = nullptr;
};

TEST_F(FirebirdServerTest, CreatesDatabaseAndAnswersOverLoopbackTcp)
{
    EXPECT_EQ(server->host(), QStringLiteral("127.0.0.1"));
    EXPECT_NE(server->port(), 3050) << "must not take the port of a system-wide server";

    const IsqlResult r =
        runIsql(login(*server, server->password()),
                createDatabase(server->connectionString(QStringLiteral("created.fdb"))) + kWhoAmI);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("TCPv4"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("127.0.0.1/"))) << r.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(server->dataDir() + QStringLiteral("/created.fdb")));
}

TEST_F(FirebirdServerTest, RefusesWrongPassword)
{
    const QString database = server->connectionString(QStringLiteral("login.fdb"));
    const IsqlResult created = runIsql(login(*server, server->password()), createDatabase(database));
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();

    const IsqlResult r = runIsql(login(*server, server->password() + QStringLiteral("x")) << database,
                                 QStringLiteral("select 1 from rdb$database;\n"));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Your user name and password are not defined")))
        << r.err.toStdString();
}

TEST_F(FirebirdServerTest, StopEndsServerAndRemovesItsFoldersAndALaterStartWorks)
{
    const QString dataDir = server->dataDir();
    const QString database = server->connectionString(QStringLiteral("after-stop.fdb"));
    const QString password = server->password();
    server->stop();

    EXPECT_FALSE(QFileInfo::exists(dataDir));
    const IsqlResult refused = runIsql(login(*server, password), createDatabase(database));
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Unable to complete network request")))
        << refused.err.toStdString();

    QString whyNot;
    FirebirdServer* again = FirebirdServer::instance(&whyNot);
    ASSERT_NE(again, nullptr) << whyNot.toStdString();
    const IsqlResult r =
        runIsql(login(*again, again->password()),
                createDatabase(again->connectionString(QStringLiteral("restarted.fdb"))) + kWhoAmI);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("TCPv4"))) << r.out.toStdString();
}

}  // namespace
