// Backup and restore over TCP against a private server on 127.0.0.1: the
// service manager is reached at the configured host and port and streams the
// backup to this program's folder, which the server's own user cannot even
// read. Skipped only when the server package is missing.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"

#include "FirebirdServer.h"

#include "app/Version.h"
#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"

#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Service.h"
#include "fb/Transaction.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/fZalohovanie.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

namespace {

class BackupServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString whyNot;
        server = FirebirdServer::instance(&whyNot);
        if (!server)
            GTEST_SKIP() << whyNot.toStdString();
        name = QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        path = server->connectionString(name + ".fdb");
        // the program's database, as the server holds it
        CreateBaseDatabase(path, server->user(), server->password());
        connection.open(path, params());
        MemTable package;
        QString error;
        ASSERT_TRUE(loadUpdatePackage(package, &error)) << error.toStdString();
        MigrationRunner runner(connection, package, SupportedVersion());
        runner.showError = [](const QString& t) { ADD_FAILURE() << t.toStdString(); };
        runner.showMessage = runner.showError;
        runner.RunPass();
        exec({"create table T (ID integer, TXT varchar(40))", "insert into T values (1, 'pôvodný')"});
    }
    void TearDown() override
    {
        if (!server)
            return;
        if (connection.isOpen())
            connection.close();
        try {
            fb::Connection::dropDatabase(path, server->user(), server->password());
        } catch (const fb::Error&) {
        }
    }

    QStringList params() const
    {
        return {"USER_NAME=" + server->user(), "PASSWORD=" + server->password(), "lc_ctype=WIN1250"};
    }
    void exec(const QStringList& statements)
    {
        for (const QString& sql : statements) {
            fb::Transaction t(connection, {"write", "nowait"});
            fb::Query q(t);
            t.start();
            q.setSql(sql);
            q.execute();
            t.commit();
        }
    }
    // Every row of the tables the test touches, in order, as one text.
    QString rows()
    {
        fb::Transaction t(connection, {"read", "nowait"});
        fb::Query q(t);
        t.start();
        q.setSql("select (select list(ID || ':' || TXT, '|') from (select ID, TXT from T order by ID)) || '#' || "
                 "(select list(JEDIN || ':' || MENO || ':' || PLATNY || ':' || SPRAVCA, '|') from "
                 "(select * from UZIVATELIA order by JEDIN)) || '#' || "
                 "(select max(VERSION) from DATABASE_UPDATES) from RDB$DATABASE");
        const QString s = q.executeScalar().toString();
        t.commit();
        return s;
    }
    QString text()
    {
        fb::Transaction t(connection, {"read", "nowait"});
        fb::Query q(t);
        t.start();
        q.setSql("select list(TXT, '|') from T");
        const QString s = q.executeScalar().toString();
        t.commit();
        return s;
    }
    ZalohovanieEnvironment environment()
    {
        ZalohovanieEnvironment env;
        env.connection = &connection;
        env.databasePath = path;
        env.userName = server->user();
        env.password = server->password();
        // a folder of this computer's user only: the files come and go through the stream
        env.backupsFolder = local.path();
        env.supportedVersion = SupportedVersion();
        env.loggedInUser = [] { return QVariant(1); };
        env.closeConnection = [this] { connection.close(); };
        env.reopenConnection = [this] { connection.open(path, params()); };
        return env;
    }

    FirebirdServer* server = nullptr;
    QString name;
    QString path;
    fb::Connection connection;
    QTemporaryDir local;
    TempSettings settings;
    DialogTranscript transcript;
};

}  // namespace

TEST_F(BackupServerTest, BackupAndRestoreThroughTheServer)
{
    EXPECT_EQ(ChooseServiceSite(path, connection.info().siteName, "elsewhere").server,
              "127.0.0.1/" + QString::number(server->port()));
    ASSERT_TRUE(QFile::setPermissions(local.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    exec({"insert into T values (2, 'Žltý kôň')", "insert into T values (3, 'O''Brien')"});
    const QString before = rows();
    TfrmZalohovanie w(environment());
    w.eSubor->setText(name + ".fbk");
    // another workstation works meanwhile: an online backup
    auto other = std::make_unique<fb::Connection>();
    other->open(path, params());
    w.Zalohuj();
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Zálohovanie úspešne dokončené.");
    // where the window says: in this computer's folder
    EXPECT_EQ(QFileInfo(w.backupFile()).path(), local.path());
    EXPECT_GT(QFileInfo(w.backupFile()).size(), 20000);
    EXPECT_FALSE(QFileInfo::exists(QDir(server->dataDir()).filePath(name + ".fbk")));
    EXPECT_TRUE(w.lblPrenos->text().startsWith("Prenesené: ")) << w.lblPrenos->text().toStdString();
    ASSERT_TRUE(connection.isOpen());

    exec({"update T set TXT = 'zmenený'", "delete from T where ID = 3"});
    other.reset();
    transcript.clear();
    transcript.answer(msg::Yes);
    w.Obnov();
    EXPECT_EQ(transcript.last().text, "Obnovenie databázy úspešne dokončené.");
    ASSERT_TRUE(connection.isOpen());
    EXPECT_EQ(rows(), before);
    EXPECT_TRUE(before.startsWith("1:pôvodný|2:Žltý kôň|3:O'Brien#1:Správca:1:1")) << before.toStdString();
    EXPECT_TRUE(w.mPriebeh->toPlainText().contains("restoring")) << w.mPriebeh->toPlainText().toStdString();
    EXPECT_FALSE(QDir(local.path()).entryList({"Lindavo_pred_obnovenim_*.fbk"}).isEmpty());
    // the trial database beside the live one is gone
    EXPECT_TRUE(QDir(server->dataDir()).entryList({"Lindavo_skuska_obnovenia_*"}).isEmpty());
}

// A backup that fails (here: this computer refuses to write more than 16 kB)
// leaves the earlier backup byte for byte and no other file.
TEST_F(BackupServerTest, AFailedBackupLeavesTheEarlierFileAsItWas)
{
    TfrmZalohovanie w(environment());
    w.eSubor->setText(name + ".fbk");
    w.Zalohuj();
    ASSERT_EQ(transcript.last().text, "Zálohovanie úspešne dokončené.");
    QFile f(w.backupFile());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    const QStringList filesBefore = QDir(local.path()).entryList(QDir::Files | QDir::Hidden);

    exec({"update T set TXT = 'zmenený'"});
    transcript.clear();
    {
        // the limit holds for this process only; the server goes on as it was
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 16 * 1024;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        w.Zalohuj();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Red);
    EXPECT_TRUE(transcript.last().text.startsWith("Zálohovanie zlyhalo: Zápis záložného súboru zlyhal"))
        << transcript.last().text.toStdString();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll() == before);
    EXPECT_EQ(QDir(local.path()).entryList(QDir::Files | QDir::Hidden), filesBefore);
    EXPECT_TRUE(connection.isOpen());
}

TEST_F(BackupServerTest, ARestoreWhileAnotherWorkstationIsAttachedIsRefused)
{
    TfrmZalohovanie w(environment());
    w.eSubor->setText(name + ".fbk");
    fb::Connection other;
    other.open(path, params());
    // an online backup: others working do not stop it
    w.Zalohuj();
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Zálohovanie úspešne dokončené.");
    transcript.clear();
    transcript.answer(msg::Yes);
    w.Obnov();
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_TRUE(transcript.last().text.startsWith("Databázu nie je možné obnoviť")) << transcript.last().text.toStdString();
    EXPECT_TRUE(connection.isOpen());

    // Should another one attach after that check, the server refuses, and the
    // program recognises it.
    connection.close();
    fb::Service service;
    try {
        RestoreFromFile(service, {{ServerOfDatabasePath(path)}, server->user(), server->password()},
                        w.backupFile(), FileOfDatabasePath(path), {}, {});
        FAIL() << "the server replaced a database in use";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(IsDatabaseInUseError(e)) << e.code() << " " << e.message().toStdString();
    }
    connection.open(path, params());
    EXPECT_EQ(text(), "pôvodný");
}
