#include "support/DialogTranscript.h"
#include "TestDatabase.h"

#include "app/StartupChecks.h"
#include "db/SchemaVersion.h"
#include "app/Version.h"
#include "app/fMain.h"
#include "db/NewDatabase.h"
#include "db/fUpdate.h"
#include "fb/Error.h"
#include "fb/Transaction.h"
#include "framework/Messages.h"

#include <QFile>
#include <QLabel>
#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct StartupRun {
    StartupOutcome outcome;
    int migrations = 0;
    int logins = 0;
};

// Runs the steps after connecting on `db` with the given supported version.
StartupRun afterConnect(TestDatabase& db, unsigned short supported, std::function<void()> migrate = {})
{
    fb::Transaction tr(db.connection(), {"nowait"});
    fb::Query q(tr);
    StartupRun run{};
    AfterConnectSteps steps;
    steps.migrate = [&] {
        ++run.migrations;
        if (migrate)
            migrate();
        return true;
    };
    steps.login = [&] {
        ++run.logins;
        return true;
    };
    run.outcome = AfterConnect(tr, q, supported, steps);
    EXPECT_FALSE(tr.isActive());
    return run;
}

QString message(const char* name, qint64 a, qint64 b)
{
    return FormatMessageText(LoadMessageText(name), {a, b});
}

}  // namespace

TEST(Version, BuildNumbers)
{
    EXPECT_EQ(VersionText(), "1.4.103.29");
    EXPECT_EQ(SupportedVersion(), 103);
}

TEST(Startup, CurrentDatabaseGoesStraightToTheLogin)
{
    TestDatabase db(TestDatabase::Migrated);
    DialogTranscript transcript;
    const StartupRun run = afterConnect(db, 103);
    EXPECT_EQ(run.outcome, StartupOutcome::Continue);
    EXPECT_EQ(run.migrations, 0);
    EXPECT_EQ(run.logins, 1);
    EXPECT_EQ(transcript.count(), 0);
}

TEST(Startup, OlderDatabaseOpensTheMigrationAndEndsWhenStillOlder)
{
    TestDatabase db(TestDatabase::Base);
    DialogTranscript transcript;
    const StartupRun run = afterConnect(db, 103);
    EXPECT_EQ(run.outcome, StartupOutcome::Terminate);
    EXPECT_EQ(run.migrations, 1);
    EXPECT_EQ(run.logins, 0);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Red);
    EXPECT_EQ(transcript.last().text, message("ERR3010", 0, 103));
}

TEST(Startup, MigrationThatReachesTheVersionContinues)
{
    TestDatabase db(TestDatabase::Base);
    DialogTranscript transcript;
    const StartupRun run = afterConnect(db, 103, [&] {
        TfrmUpdate window(db.connection(), 103);
        window.btnGoClick();
    });
    EXPECT_EQ(run.outcome, StartupOutcome::Continue);
    EXPECT_EQ(run.logins, 1);
    EXPECT_EQ(db.scalar("select max(version) from database_updates").toInt(), 103);
}

TEST(Startup, NewerDatabaseEndsWithoutMigration)
{
    TestDatabase db(TestDatabase::Migrated);
    db.exec({"insert into database_updates (version, updated) values (104, current_timestamp)"});
    DialogTranscript transcript;
    const StartupRun run = afterConnect(db, 103);
    EXPECT_EQ(run.outcome, StartupOutcome::Terminate);
    EXPECT_EQ(run.migrations, 0);
    EXPECT_EQ(run.logins, 0);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, message("ERR3009", 104, 103));
    EXPECT_TRUE(transcript.last().text.contains("Verzia databázy: 104"));
}

TEST(Startup, LibraryCheck)
{
    struct Case {
        const char* text;
        bool accepted;
    };
    const Case cases[] = {{"1.4", true},  {"1.10", true}, {"2.0", true},  {"1.4.0", true}, {"1.3", false},
                          {"0.9", false}, {"", false},    {"abc", false}, {"1", false}};
    for (const Case& c : cases)
        EXPECT_EQ(IsLibraryVersionAccepted(c.text), c.accepted) << c.text;

    // A database at version 2 whose library is missing ends with ERR3020;
    // with a supported version of 1 the check is skipped.
    for (unsigned short supported : {2, 1}) {
        TestDatabase db(TestDatabase::Base);
        db.exec({"drop function kovra_udf_version",
                 "insert into database_updates (version, updated) values (1, current_timestamp)"});
        if (supported == 2)
            db.exec({"insert into database_updates (version, updated) values (2, current_timestamp)"});
        DialogTranscript transcript;
        const StartupRun run = afterConnect(db, supported);
        if (supported == 2) {
            EXPECT_EQ(run.outcome, StartupOutcome::Terminate);
            ASSERT_EQ(transcript.count(), 1);
            EXPECT_EQ(transcript.last().text, message("ERR3020", 1, 4));
        } else {
            EXPECT_EQ(run.outcome, StartupOutcome::Continue);
            EXPECT_EQ(transcript.count(), 0);
        }
    }
}

TEST(Startup, VersionOfAnEmptyOrMissingTableIsZero)
{
    TestDatabase db(TestDatabase::Empty);
    fb::Transaction tr(db.connection(), {"nowait"});
    fb::Query q(tr);
    EXPECT_EQ(ZistiVerziu(tr, q), 0);
    EXPECT_FALSE(tr.isActive());
    TestDatabase base(TestDatabase::Base);
    fb::Transaction tr2(base.connection(), {"nowait"});
    fb::Query q2(tr2);
    EXPECT_EQ(ZistiVerziu(tr2, q2), 0);
}

TEST(MainWindow, StartsOnTheConfiguredDatabaseOrOpensWithNobodyLoggedIn)
{
    TestDatabase db(TestDatabase::Migrated);
    const QString path = db.path();
    db.connection().close();

    QTemporaryDir dir;
    const QString exe = dir.filePath("Lindavo");
    {
        QSettings ini(dir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/Database", path);
    }
    DialogTranscript transcript;
    bool loggedIn = false;
    startupCalls().login = [&](TfrmMain& main) {
        loggedIn = true;
        main.Uzivatel().Jedin = 1;
        main.Uzivatel().Meno = "Správca";
        return true;
    };
    {
        TfrmMain main(exe);
        EXPECT_FALSE(main.terminated());
        EXPECT_TRUE(loggedIn);
        EXPECT_TRUE(main.IBDatabase().isOpen());
        EXPECT_EQ(main.findChild<QLabel*>("lblUzivatel")->text(), "Správca");
        EXPECT_EQ(transcript.count(), 0);
    }
    {
        QSettings ini(dir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/Database", dir.filePath("missing.fdb"));
    }
    loggedIn = false;
    {
        TfrmMain main(exe);
        EXPECT_FALSE(main.terminated());
        EXPECT_FALSE(loggedIn);
        EXPECT_FALSE(main.IBDatabase().isOpen());
        EXPECT_EQ(main.findChild<QLabel*>("lblUzivatel")->text(), "Žiadny užívateľ nie je prihlásený.");
        ASSERT_EQ(transcript.count(), 1);
        // In Slovak: what, why and where the setting is; no raw server text.
        EXPECT_TRUE(transcript.last().text.startsWith("Databázu sa nepodarilo otvoriť.")) << transcript.last().text.toStdString();
        EXPECT_TRUE(transcript.last().text.contains("Dôvod: Súbor databázy neexistuje."));
        EXPECT_TRUE(transcript.last().text.contains(QDir::toNativeSeparators(dir.filePath("Lindavo.ini"))));
        EXPECT_FALSE(transcript.last().text.contains("335544344"));
        // Nothing to open without a database: no button raises "no connection".
        for (QPushButton* b : main.findChildren<QPushButton*>())
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    }
    startupCalls().login = nullptr;
    db.connection().open(path, TestDatabase::params());
}

TEST(Startup, AnUnopenableDatabaseIsExplainedInSlovak)
{
    struct Case {
        const char* name;
        long code;
        const char* database;
        const char* reason;
    };
    const Case cases[] = {
        {"no such file", fb::codes::IoError, "/nikde/Lindavo.fdb", "Súbor databázy neexistuje."},
        {"server down", fb::codes::NetworkError, "server:/data/Lindavo.fdb", "Server databázy neodpovedá."},
        {"login refused", fb::codes::LoginRefused, "server:/data/Lindavo.fdb", "Server odmietol prihlásenie"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fb::Error error(QStringLiteral("raw English text"), {c.code});
        const QString text = DatabaseOpenFailureText(error, QString::fromUtf8(c.database), "/home/a/Lindavo.ini");
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.reason))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.database)));
        EXPECT_TRUE(text.contains("/home/a/Lindavo.ini"));
        EXPECT_FALSE(text.contains("raw English text"));
    }
}

// No database at the default path of the embedded engine: the program asks,
// and Yes makes one at the current schema with the administrator, as
// dbinit --migrate does; No goes on to the usual error of a missing file.
TEST(MainWindow, AFirstStartOffersANewDatabaseAtTheDefaultPath)
{
    struct Case {
        int answer;
        bool created;
    };
    for (const Case c : {Case{msg::Yes, true}, Case{msg::No, false}}) {
        SCOPED_TRACE(c.answer);
        QTemporaryDir dir;
        const QString exe = dir.filePath("Lindavo");
        const QString database = dir.filePath("Data/Lindavo.fdb");
        DialogTranscript transcript;
        transcript.answer(c.answer);
        bool loggedIn = false;
        startupCalls().login = [&](TfrmMain&) { return loggedIn = true; };
        {
            TfrmMain main(exe);
            EXPECT_EQ(main.settings().database, database);
            ASSERT_GE(transcript.count(), 1);
            EXPECT_EQ(transcript.requests().first().text, "Databáza ešte neexistuje. Vytvoriť novú?");
            EXPECT_EQ(transcript.requests().first().buttons, QList<int>({msg::Yes, msg::No}));
            EXPECT_EQ(loggedIn, c.created);
            EXPECT_EQ(main.IBDatabase().isOpen(), c.created);
            EXPECT_EQ(QFile::exists(database), c.created);
            if (c.created) {
                EXPECT_EQ(transcript.count(), 1);
                fb::Transaction tr(main.IBDatabase(), {"read", "nowait"});
                fb::Query q(tr);
                EXPECT_EQ(ZistiVerziu(tr, q), SupportedVersion());
                tr.start();
                q.setSql("select count(*) from UZIVATELIA where SPRAVCA = 1 and PLATNY = 1");
                EXPECT_EQ(q.executeScalar().toInt(), 1);
                tr.commit();
            } else {
                // the missing file's error, as without the offer
                ASSERT_EQ(transcript.count(), 2);
                EXPECT_TRUE(transcript.last().text.contains("Súbor databázy neexistuje."));
            }
        }
        startupCalls().login = nullptr;
    }
}

TEST(MainWindow, ADatabaseElsewhereIsNeverCreated)
{
    EXPECT_TRUE(IsLocalDatabasePath("/home/eva/Lindavo.fdb"));
    EXPECT_TRUE(IsLocalDatabasePath("Data/Lindavo.fdb"));
    EXPECT_TRUE(IsLocalDatabasePath("C:\\Lindavo\\Data\\Lindavo.fdb"));
    EXPECT_TRUE(IsLocalDatabasePath("/data/odd:name.fdb"));
    EXPECT_FALSE(IsLocalDatabasePath("server:/var/lib/firebird/3.0/data/Lindavo.fdb"));
    EXPECT_FALSE(IsLocalDatabasePath("server/3051:/data/Lindavo.fdb"));
    EXPECT_FALSE(IsLocalDatabasePath("s:Lindavo"));

    // A configured path that leads nowhere is reported, not filled.
    QTemporaryDir dir;
    {
        QSettings ini(dir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/Database", dir.filePath("Data/Typo.fdb"));
    }
    DialogTranscript transcript(msg::Yes);
    {
        TfrmMain main(dir.filePath("Lindavo"));
        EXPECT_FALSE(main.IBDatabase().isOpen());
    }
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains("Súbor databázy neexistuje.")) << transcript.last().text.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("Data/Typo.fdb")));
}
