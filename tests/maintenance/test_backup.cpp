// The service layer: backups and restores through the embedded service
// manager, and where a database path sends the services.
#include "TestDatabase.h"

#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Service.h"
#include "fb/Transaction.h"
#include "maintenance/BackupRestore.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

ServiceLogin embeddedLogin()
{
    return {{}, TestDatabase::user, TestDatabase::password};
}

QString readText(fb::Connection& c)
{
    fb::Transaction t(c, {"read", "nowait"});
    fb::Query q(t);
    t.start();
    q.setSql("select list(TXT, '|') from (select TXT from T order by ID)");
    const QString text = q.executeScalar().toString();
    t.commit();
    return text;
}

}  // namespace

TEST(BackupService, BackupLinesArriveInOrderAndTheFileRestoresToTheSameData)
{
    TestDatabase db(TestDatabase::Base);
    db.exec({"create table T (ID integer, TXT varchar(40))",
             "insert into T values (1, 'Žltý kôň')", "insert into T values (2, 'O''Brien')"});
    const QString fileName = db.connection().info().fileName;
    EXPECT_EQ(QFileInfo(fileName).canonicalFilePath(), QFileInfo(db.path()).canonicalFilePath());
    db.connection().close();

    QTemporaryDir dir;
    const QString backup = dir.filePath("a.fbk");
    fb::Service service;
    QStringList lines;
    RunBackupService(service, embeddedLogin(), fileName, backup, [&](const QString& l) { lines << l; });
    EXPECT_FALSE(service.isAttached());
    ASSERT_GT(lines.size(), 10);
    EXPECT_TRUE(lines.first().contains("readied database")) << lines.first().toStdString();
    EXPECT_TRUE(lines.last().contains("closing file")) << lines.last().toStdString();
    EXPECT_TRUE(lines.filter("T").size() > 0);
    EXPECT_GT(QFileInfo(backup).size(), 0);

    // change the data, then restore over it
    db.connection().open(db.path(), TestDatabase::params());
    db.exec({"delete from T"});
    db.connection().close();
    lines.clear();
    RunRestoreService(service, embeddedLogin(), backup, fileName, [&](const QString& l) { lines << l; });
    EXPECT_GT(lines.size(), 10);
    db.connection().open(db.path(), TestDatabase::params());
    EXPECT_EQ(readText(db.connection()), "Žltý kôň|O'Brien");
}

TEST(BackupService, ARestoreOfADamagedFileFailsAsAnError)
{
    TestDatabase db(TestDatabase::Base);
    const QString fileName = db.connection().info().fileName;
    db.connection().close();
    QTemporaryDir dir;
    const QString backup = dir.filePath("a.fbk");
    fb::Service service;
    RunBackupService(service, embeddedLogin(), fileName, backup, {});
    // a backup cut off half-way, as a full disk or a broken copy leaves it
    QFile f(backup);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
    f.close();
    // the service ends its output early without an error: the missing last
    // line tells
    EXPECT_THROW(RunRestoreService(service, embeddedLogin(), backup, fileName, {}), fb::Error);
}

TEST(BackupService, ARestoreOverADatabaseInUseIsRefused)
{
    TestDatabase db(TestDatabase::Base);
    const QString fileName = db.connection().info().fileName;
    QTemporaryDir dir;
    const QString backup = dir.filePath("a.fbk");
    fb::Service service;
    db.connection().close();
    RunBackupService(service, embeddedLogin(), fileName, backup, {});
    db.connection().open(db.path(), TestDatabase::params());
    // the fixture's connection is open: another workstation
    try {
        RunRestoreService(service, embeddedLogin(), backup, fileName, {});
        FAIL() << "the restore replaced a database in use";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(IsDatabaseInUseError(e)) << e.code() << " " << e.message().toStdString();
    }
    EXPECT_NO_THROW(db.scalar("select count(*) from rdb$database"));
}

TEST(BackupService, WhereTheServicesRun)
{
    struct Case {
        const char* path;
        const char* site;
        const char* computer;
        const char* server;  // empty: local
        const char* file;
    };
    const Case cases[] = {
        {"/data/Lindavo.fdb", "pc1", "PC1 ", "", "/data/Lindavo.fdb"},
        {"C:\\Data\\Lindavo.fdb", "pc1", "pc1", "", "C:\\Data\\Lindavo.fdb"},
        // an embedded connection whose engine reports another name: over TCP to it
        {"/data/Lindavo.fdb", "srv", "pc1", "srv", "/data/Lindavo.fdb"},
        {"srv:/data/Lindavo.fdb", "srv", "pc1", "srv", "/data/Lindavo.fdb"},
        {"srv/3051:/data/Lindavo.fdb", "srv", "pc1", "srv/3051", "/data/Lindavo.fdb"},
        // the server on this computer: still through the server, not in-process
        {"localhost:/data/Lindavo.fdb", "pc1", "pc1", "localhost", "/data/Lindavo.fdb"},
        {"127.0.0.1/3055:D:\\x.fdb", "pc1", "pc1", "127.0.0.1/3055", "D:\\x.fdb"},
        {"inet://srv:3051/data/x.fdb", "srv", "pc1", "srv/3051", "data/x.fdb"},
        {"./data/a:b.fdb", "pc1", "pc1", "", "./data/a:b.fdb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(ChooseServiceSite(c.path, c.site, c.computer).server, QString(c.server));
        EXPECT_EQ(FileOfDatabasePath(c.path), QString(c.file));
    }
    EXPECT_EQ(fb::Service::serviceManagerName(""), "service_mgr");
    EXPECT_EQ(fb::Service::serviceManagerName("srv/3051"), "srv/3051:service_mgr");
}
