// The backup window over an embedded test database: the file name setting,
// the folder question, the restore's confirmation, refusal and safety copy,
// and the login after a restore through the main window.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/fMain.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/Dialogs.h"
#include "framework/UserSettings.h"
#include "maintenance/fZalohovanie.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class BackupWindowTest : public ::testing::Test {
protected:
    BackupWindowTest()
    {
        db.exec({"create table T (ID integer, TXT varchar(40))", "insert into T values (1, 'pôvodný')"});
        env.connection = &db.connection();
        env.databasePath = db.path();
        env.userName = TestDatabase::user;
        env.password = TestDatabase::password;
        env.backupsFolder = dir.filePath("Zalohy");
        env.closeConnection = [this] {
            ++closes;
            db.connection().close();
        };
        env.reopenConnection = [this] {
            ++reopens;
            db.connection().open(db.path(), TestDatabase::params());
        };
        Clock::pinClock(QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53)));
    }
    ~BackupWindowTest() override { Clock::unpinClock(); }

    QString text() { return db.scalar("select list(TXT, '|') from T").toString(); }
    QStringList texts()
    {
        QStringList out;
        for (const DialogRequest& r : transcript.requests())
            out << r.text;
        return out;
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    QTemporaryDir dir;
    DialogTranscript transcript;
    ZalohovanieEnvironment env;
    int closes = 0;
    int reopens = 0;
};

const QString kSafety = "Lindavo_pred_obnovenim_20260314_092653.fbk";

}  // namespace

TEST_F(BackupWindowTest, LayoutAndTheFileNameSetting)
{
    {
        TfrmZalohovanie w(env);
        EXPECT_EQ(w.windowTitle(), "Zálohovanie a obnovenie databázy programu");
        EXPECT_EQ(w.size(), QSize(513, 373));
        EXPECT_EQ(w.eAdresar->text(), QDir::toNativeSeparators(env.backupsFolder));
        EXPECT_TRUE(w.eAdresar->isReadOnly());
        EXPECT_EQ(w.eAdresar->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(w.eSubor->Required());
        EXPECT_EQ(w.eSubor->text(), "Lindavo.fbk");
        EXPECT_EQ(w.btnZalohuj->text(), "Zálohuj");
        EXPECT_EQ(w.btnObnov->text(), "Obnov");
        EXPECT_EQ(w.btnObnov->size(), QSize(108, 25));
        EXPECT_TRUE(w.btnObnov->font().bold());
        EXPECT_EQ(w.btnObnov->focusPolicy(), Qt::ClickFocus);
        EXPECT_TRUE(w.mPriebeh->isReadOnly());
        w.eSubor->setText("  moja.fbk ");
        w.move(40, 50);
    }
    // stored as typed, read trimmed; the position comes back
    EXPECT_EQ(readUserString(TfrmZalohovanie::settingsSection(), "VevavivaviBackup"), "  moja.fbk ");
    {
        TfrmZalohovanie w(env);
        EXPECT_EQ(w.eSubor->text(), "moja.fbk");
        EXPECT_EQ(w.pos(), QPoint(40, 50));
        EXPECT_EQ(w.size(), QSize(513, 373));
        w.eSubor->setText("   ");
    }
    TfrmZalohovanie w(env);
    EXPECT_EQ(w.eSubor->text(), "Lindavo.fbk");
}

TEST_F(BackupWindowTest, AMissingFolderAnsweredNoDoesNothing)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::No);
    w.Zalohuj();
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Gray);
    EXPECT_EQ(transcript.last().text, "Priečinok pre zálohovanie neexistuje. Mám ho vytvoriť?");
    EXPECT_EQ(transcript.last().defaultResult, msg::Yes);
    EXPECT_FALSE(QFileInfo::exists(env.backupsFolder));
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(db.connection().isOpen());
}

TEST_F(BackupWindowTest, AFolderThatCannotBeCreatedStopsTheBackup)
{
    QFile blocker(dir.filePath("subor"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    env.backupsFolder = dir.filePath("subor/Zalohy");
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_EQ(transcript.last().kind, DialogKind::Red);
    EXPECT_EQ(transcript.last().text,
              "Nastala chyba pri vytváraní priečinka pre záložný súbor. Zálohovanie bolo prerušené.");
    EXPECT_EQ(closes, 0);
}

TEST_F(BackupWindowTest, BackupCreatesTheFolderShowsTheLinesAndReopens)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    EXPECT_EQ(texts(), QStringList({"Priečinok pre zálohovanie neexistuje. Mám ho vytvoriť?",
                                    "Zálohovanie úspešne dokončené."}));
    EXPECT_EQ(transcript.last().kind, DialogKind::Plain);
    EXPECT_GT(QFileInfo(w.backupFile()).size(), 0);
    const QStringList lines = w.mPriebeh->toPlainText().split('\n');
    EXPECT_TRUE(lines.first().contains("readied database"));
    EXPECT_TRUE(lines.last().contains("closing file"));
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(reopens, 1);
    EXPECT_TRUE(w.isEnabled());
    EXPECT_TRUE(w.btnZalohuj->isEnabled());
}

TEST_F(BackupWindowTest, RestoreFromAMissingFileLeavesTheConnection)
{
    TfrmZalohovanie w(env);
    w.Obnov();
    EXPECT_EQ(texts(), QStringList{"Nie je možné vykonať obnovenie databázy, lebo záložný súbor nebol nájdený."});
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(db.connection().isOpen());
}

TEST_F(BackupWindowTest, RestoreAsksFirstAndNoIsTheDefault)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    transcript.clear();
    db.exec({"update T set TXT = 'zmenený'"});
    {
        QFile f(w.backupFile());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2026, 2, 1), QTime(8, 5)), QFileDevice::FileModificationTime));
    }

    transcript.answer(msg::No);
    w.Obnov();
    ASSERT_EQ(transcript.count(), 1);
    const DialogRequest& q = transcript.last();
    EXPECT_EQ(q.kind, DialogKind::Red);
    EXPECT_EQ(q.type, msg::Confirmation);
    EXPECT_EQ(q.defaultResult, msg::No);
    EXPECT_EQ(q.buttons, QList<int>({msg::Yes, msg::No}));
    EXPECT_TRUE(q.text.contains(QDir::toNativeSeparators(w.backupFile()) + "\r\nz 01.02.2026 08:05."))
        << q.text.toStdString();
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(text(), "zmenený");
}

TEST_F(BackupWindowTest, RestoreWhileAnotherWorkstationIsAttachedIsRefusedAndKeepsTheConnection)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    transcript.clear();
    auto other = db.openSecond();
    transcript.answer(msg::Yes);
    w.Obnov();
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_EQ(transcript.last().text, "Databázu nie je možné obnoviť, lebo je k nej pripojených ďalších 1 "
                                      "používateľov.\r\nPožiadajte ich, aby program ukončili, a obnovenie "
                                      "zopakujte.");
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(db.connection().isOpen());
    EXPECT_FALSE(QFileInfo::exists(QDir(env.backupsFolder).filePath(kSafety)));
}

TEST_F(BackupWindowTest, RestoreBacksTheDatabaseUpFirstAndBringsTheDataBack)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    db.exec({"update T set TXT = 'zmenený'"});
    transcript.clear();
    transcript.answer(msg::Yes);
    w.Obnov();
    EXPECT_EQ(transcript.last().text, "Obnovenie databázy úspešne dokončené.");
    EXPECT_EQ(transcript.count(), 2);
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(reopens, 2);
    EXPECT_EQ(text(), "pôvodný");
    const QString safety = QDir(env.backupsFolder).filePath(kSafety);
    EXPECT_TRUE(QFileInfo::exists(safety));
    const QString memo = w.mPriebeh->toPlainText();
    EXPECT_TRUE(memo.startsWith("Záloha súčasnej databázy pred obnovením: " + QDir::toNativeSeparators(safety)));
    EXPECT_TRUE(memo.contains("restoring")) << memo.toStdString();
}

TEST_F(BackupWindowTest, AFailedRestoreNamesTheSafetyCopyWhichHoldsTheDatabase)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    db.exec({"update T set TXT = 'posledný stav'"});
    QFile f(w.backupFile());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() / 2));
    f.close();

    transcript.clear();
    transcript.answer(msg::Yes);
    try {
        w.Obnov();
    } catch (const fb::Error&) {
        // not one the translation knows: it goes on to the exception dialog
    }
    const QString safety = QDir::toNativeSeparators(QDir(env.backupsFolder).filePath(kSafety));
    ASSERT_TRUE(QFileInfo::exists(safety));
    bool named = false;
    for (const DialogRequest& r : transcript.requests())
        named = named || (r.kind == DialogKind::Red && r.text.startsWith("Obnovenie databázy zlyhalo.") &&
                          r.text.contains(safety));
    EXPECT_TRUE(named) << texts().join("\n---\n").toStdString();
    EXPECT_TRUE(w.isEnabled());

    // whatever the failed restore left behind, the safety copy brings the data back
    if (db.connection().isOpen())
        db.connection().close();
    env.connection = &db.connection();
    w.eSubor->setText(kSafety);
    transcript.clear();
    transcript.answer(msg::Yes);
    w.Obnov();
    EXPECT_EQ(transcript.last().text, "Obnovenie databázy úspešne dokončené.");
    EXPECT_EQ(text(), "posledný stav");
}

// Through the main window: the restore closes its connection and the whole
// start-up runs again, the login among it.
TEST_F(BackupWindowTest, AfterARestoreTheLoginIsShownAgain)
{
    db.connection().close();
    QTemporaryDir exeDir;
    {
        QSettings ini(exeDir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/Database", db.path());
        ini.setValue("Settings/User_Name", TestDatabase::user);
        ini.setValue("Settings/Password", TestDatabase::password);
        ini.setValue("Settings/Backups", env.backupsFolder);
    }
    int logins = 0;
    startupCalls().login = [&](TfrmMain& main) {
        ++logins;
        main.Uzivatel() = TUzivatel{1, "Správca", "AD", true};
        return true;
    };
    {
        TfrmMain main(exeDir.filePath("Lindavo"));
        ASSERT_EQ(logins, 1);
        ZalohovanieEnvironment e;
        e.connection = &main.IBDatabase();
        e.databasePath = main.settings().database;
        e.userName = main.settings().userName;
        e.password = main.settings().password;
        e.backupsFolder = main.settings().backups;
        e.closeConnection = [&main] { main.CloseConnection(); };
        e.reopenConnection = [&main] { main.Reconnect(); };
        TfrmZalohovanie w(e);
        transcript.answer(msg::Yes);
        w.Zalohuj();
        EXPECT_EQ(logins, 2);
        transcript.answer(msg::Yes);
        w.Obnov();
        EXPECT_EQ(logins, 3);
        EXPECT_TRUE(main.IBDatabase().isOpen());
        EXPECT_EQ(main.lblUzivatel->text(), "Správca");
        EXPECT_EQ(transcript.last().text, "Obnovenie databázy úspešne dokončené.");
    }
    startupCalls().login = nullptr;
    db.connection().open(db.path(), TestDatabase::params());
}
