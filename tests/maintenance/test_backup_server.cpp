// Backup and restore over TCP against a private server on 127.0.0.1: the
// service manager is reached at the configured host and port, and the server
// itself writes and reads the files. Skipped only when the server package is
// missing.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"

#include "FirebirdServer.h"

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
#include <QFileInfo>

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
        fb::Connection::createDatabase(path, server->user(), server->password());
        connection.open(path, params());
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
        // the server writes the files: a folder its user may write
        env.backupsFolder = server->dataDir();
        env.closeConnection = [this] { connection.close(); };
        env.reopenConnection = [this] { connection.open(path, params()); };
        return env;
    }

    FirebirdServer* server = nullptr;
    QString name;
    QString path;
    fb::Connection connection;
    TempSettings settings;
    DialogTranscript transcript;
};

}  // namespace

TEST_F(BackupServerTest, BackupAndRestoreThroughTheServer)
{
    EXPECT_EQ(ChooseServiceSite(path, connection.info().siteName, "elsewhere").server,
              "127.0.0.1/" + QString::number(server->port()));
    TfrmZalohovanie w(environment());
    w.eSubor->setText(name + ".fbk");
    w.Zalohuj();
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Zálohovanie úspešne dokončené.");
    EXPECT_TRUE(QFileInfo(w.backupFile()).isFile());
    EXPECT_TRUE(w.mPriebeh->toPlainText().contains("closing file"));
    ASSERT_TRUE(connection.isOpen());

    exec({"update T set TXT = 'zmenený'"});
    transcript.clear();
    transcript.answer(msg::Yes);
    w.Obnov();
    EXPECT_EQ(transcript.last().text, "Obnovenie databázy úspešne dokončené.");
    ASSERT_TRUE(connection.isOpen());
    EXPECT_EQ(text(), "pôvodný");
    QDir data(server->dataDir());
    EXPECT_FALSE(data.entryList({"Lindavo_pred_obnovenim_*.fbk"}).isEmpty());
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
        RunRestoreService(service, {{ServerOfDatabasePath(path)}, server->user(), server->password()},
                          w.backupFile(), FileOfDatabasePath(path), {});
        FAIL() << "the server replaced a database in use";
    } catch (const fb::Error& e) {
        EXPECT_TRUE(IsDatabaseInUseError(e)) << e.code() << " " << e.message().toStdString();
    }
    connection.open(path, params());
    EXPECT_EQ(text(), "pôvodný");
}
