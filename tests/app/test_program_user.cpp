// The README's server set-up with the program's own Firebird user instead of
// SYSDBA (docs/program-user.sql, run with isql as the README says): the
// program opens the database, reads the register and saves jobs with it, and
// the user can do nothing beyond the program's objects.
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/TempSettings.h"

#include "FirebirdServer.h"

#include "app/Version.h"
#include "app/fMain.h"
#include "controls/IBMemo.h"
#include "db/BaseSchema.h"
#include "db/MemTable.h"
#include "db/MigrationRunner.h"
#include "db/UpdatePackage.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "forms/FormDetails.h"
#include "maintenance/fZalohovanie.h"
#include "register/EPrekladySql.h"
#include "register/fEPrekladyPridaj.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kUser = "LINDAVO";
const QString kPassword = "Prekladatel-77";

class ProgramUserTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QString whyNot;
        server = FirebirdServer::instance(&whyNot);
        if (!server)
            GTEST_SKIP() << whyNot.toStdString();
        path = server->connectionString("program_user.fdb");
        CreateBaseDatabase(path, server->user(), server->password());
        fb::Connection owner;
        owner.open(path, params(server->user(), server->password()));
        MemTable package;
        QString error;
        ASSERT_TRUE(loadUpdatePackage(package, &error)) << error.toStdString();
        MigrationRunner runner(owner, package, SupportedVersion());
        runner.showError = [](const QString& t) { ADD_FAILURE() << t.toStdString(); };
        runner.showMessage = runner.showError;
        runner.RunPass();
        job = insert(owner,
                     "insert into preklady (jedin, znacka, nazov, pm, datum_prijatia, termin, "
                     "datum_zadania_prekladatelovi, jazykova_kombinacia, objednavatel, obj_cena_mj, obj_mj, "
                     "obj_mena, obj_kurz, obj_koeficient, obj_rozsah, obj_faktura, prekladatel, pre_cena_mj, "
                     "pre_mj, pre_mena, pre_kurz, pre_koeficient, pre_rozsah, pre_faktura, poznamka, hodnoteny, "
                     "hodnotenie) values (gen_id(preklady_id, 1), '2026/0028', 'Zmluva', 'AD', "
                     "'2026-03-02 08:15:00', '2026-03-20 14:30:00', '2026-03-03', "
                     "(select jedin from jazykove_kombinacie where skratka = 'EN-SK'), "
                     "(select jedin from adresar where meno = 'Alfa'), 12.5, "
                     "(select jedin from merne_jednotky where skratka = 'NS'), 'EUR', 1, 100, 10, '', "
                     "(select jedin from adresar where meno = 'Nováková'), 8, "
                     "(select jedin from merne_jednotky where skratka = 'NS'), 'EUR', 1, 100, 10, '', 'pozn', 1, 90) "
                     "returning jedin",
                     {"insert into jazykove_kombinacie (skratka, hodnoteny) values ('EN-SK', 1)",
                      "insert into merne_jednotky (skratka) values ('NS')",
                      "insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
                      "values (gen_id(adresar_id, 1), 0, 'Alfa', '', '', '', '')",
                      "insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
                      "values (gen_id(adresar_id, 1), 1, 'Nováková', '', '', '', 'prevodom')"});
        owner.close();

        // the README's step, word for word, with a password of our own
        QFile script(QStringLiteral(LINDAVO_SOURCE_DIR "/docs/program-user.sql"));
        ASSERT_TRUE(script.open(QIODevice::ReadOnly));
        QFile mine(dir.filePath("program-user.sql"));
        ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
        mine.write(script.readAll().replace("HesloProgramu", kPassword.toUtf8()));
        mine.close();
        QProcess isql;
        isql.start("isql-fb", {"-user", server->user(), "-password", server->password(), "-q", "-i",
                               mine.fileName(), path});
        ASSERT_TRUE(isql.waitForFinished(60000));
        ASSERT_EQ(isql.exitCode(), 0) << isql.readAllStandardError().toStdString()
                                      << isql.readAllStandardOutput().toStdString();
    }
    void TearDown() override
    {
        if (!server)
            return;
        try {
            fb::Connection::dropDatabase(path, server->user(), server->password());
        } catch (const fb::Error&) {
        }
    }

    static QStringList params(const QString& user, const QString& password)
    {
        return {"USER_NAME=" + user, "PASSWORD=" + password, "lc_ctype=WIN1250"};
    }
    static QVariant insert(fb::Connection& c, const QString& returning, const QStringList& before = {})
    {
        fb::Transaction t(c, {"write", "nowait"});
        fb::Query q(t);
        t.start();
        for (const QString& sql : before) {
            q.setSql(sql);
            q.execute();
        }
        q.setSql(returning);
        q.execute();
        const QVariant v = q.value(0);
        t.commit();
        return v;
    }
    static QVariant scalar(fb::Connection& c, const QString& sql, const QVariantMap& values = {})
    {
        fb::Transaction t(c, {"read", "read_committed", "rec_version", "nowait"});
        fb::Query q(t);
        t.start();
        q.setSql(sql);
        q.setParams(values);
        const QVariant v = q.executeScalar();
        t.commit();
        return v;
    }

    FirebirdServer* server = nullptr;
    QString path;
    QVariant job;
    QTemporaryDir dir;
    TempSettings settings;
    DialogTranscript transcript;
};

}  // namespace

TEST_F(ProgramUserTest, TheProgramOpensReadsTheRegisterAndSavesJobsAsTheProgramUser)
{
    {
        QSettings ini(dir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/Database", path);
        ini.setValue("Settings/User_Name", kUser);
        ini.setValue("Settings/Password", kPassword);
        ini.setValue("Settings/Backups", dir.filePath("Zalohy"));
    }
    startupCalls().login = [](TfrmMain& main) {
        main.Uzivatel() = TUzivatel{1, "Správca", "AD", true};
        return true;
    };
    {
        // open: the version and server function checks, the login
        TfrmMain main(dir.filePath("Lindavo"));
        ASSERT_TRUE(main.IBDatabase().isOpen()) << transcript.requests().size();
        EXPECT_EQ(transcript.count(), 0) << transcript.last().text.toStdString();
        EXPECT_EQ(main.IBDatabase().attachedUsers().value(0).trimmed().toUpper(), kUser);

        // the register statement as the register sends it
        PrekladyFilter filter;
        filter.odoslanie = 0;
        filter.text = "zmluva";
        const fb::Statement statement = PrekladyRefreshStatement(filter, {}, "a.JEDIN");
        {
            fb::Transaction t(main.IBDatabase(), {"read", "read_committed", "rec_version", "nowait"});
            fb::Query q(t);
            t.start();
            q.setStatement(statement);
            q.execute();
            int rows = 0;
            while (q.next())
                ++rows;
            EXPECT_EQ(rows, 1);
            t.commit();
        }

        // save a job through the editor: an edit and a copy
        for (const auto mode : {TFormDetails::Edit, TFormDetails::Copy}) {
            TfrmEPrekladyPridaj editor("AD");
            TFormDetails d;
            InitDetails(d, mode, {}, job);
            bool shown = false;
            onNextModal([&](QWidget* w) {
                shown = true;
                QApplication::setActiveWindow(w);
                editor.eDBNazov->setPlainText(mode == TFormDetails::Edit ? "Zmluva o dielo" : "Kópia zmluvy");
                editor.eDBNazov->setFocus();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_F12);
                if (editor.isVisible())
                    editor.reject();
            });
            editor.SetDetails(d);
            ASSERT_TRUE(shown);
            EXPECT_EQ(d.result(), TFormDetails::ResultOk) << transcript.last().text.toStdString();
        }
        EXPECT_EQ(scalar(main.IBDatabase(), "select nazov from preklady where jedin = :J", {{"J", job}}).toString(),
                  "Zmluva o dielo");
        EXPECT_EQ(scalar(main.IBDatabase(), "select count(*) from preklady where nazov = 'Kópia zmluvy'").toInt(), 1);

        // a backup needs more than the program's objects: refused in Slovak, saying who may
        {
            ZalohovanieEnvironment e;
            e.connection = &main.IBDatabase();
            e.databasePath = path;
            e.userName = kUser;
            e.password = kPassword;
            e.backupsFolder = dir.path();
            e.closeConnection = [&main] { main.CloseConnection(); };
            e.reopenConnection = [&main] { main.Reconnect(); };
            TfrmZalohovanie w(e);
            transcript.clear();
            w.Zalohuj();
            ASSERT_EQ(transcript.count(), 1);
            EXPECT_TRUE(transcript.last().text.startsWith(
                "Zálohovanie zlyhalo, lebo používateľ z konfigurácie programu (User_Name v Lindavo.ini) na to nemá "
                "na serveri právo."))
                << transcript.last().text.toStdString();
            EXPECT_TRUE(QDir(dir.path()).entryList({"*.fbk", ".*part"}, QDir::Files | QDir::Hidden).isEmpty());
            ASSERT_TRUE(main.IBDatabase().isOpen());
        }

        // nothing beyond the program's objects
        fb::Transaction t(main.IBDatabase(), {"write", "nowait"});
        fb::Query q(t);
        t.start();
        q.setSql("create table CUDZIA (ID integer)");
        EXPECT_THROW(q.execute(), fb::Error);
        t.rollback();
    }
    startupCalls().login = nullptr;
}
