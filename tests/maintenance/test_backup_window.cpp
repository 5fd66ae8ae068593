// The backup window over an embedded test database: the file name setting,
// the folder question, the restore's confirmation, refusal and safety copy,
// and the login after a restore through the main window.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/Version.h"
#include "app/fMain.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/Dialogs.h"
#include "framework/UserSettings.h"
#include "maintenance/BackupRestore.h"
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
        env.supportedVersion = SupportedVersion();
        env.loggedInUser = [] { return QVariant(1); };  // Správca
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
    // the backup streams to this computer without the service's lines: the
    // window tells where it goes, where it went and how much moved
    const QStringList lines = w.mPriebeh->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("Zálohovanie databázy ")) << lines[0].toStdString();
    EXPECT_EQ(lines[1], "do súboru " + w.backupFile());
    EXPECT_TRUE(lines[2].startsWith("Hotovo, záloha má ")) << lines[2].toStdString();
    EXPECT_TRUE(w.lblPrenos->text().startsWith("Prenesené: ")) << w.lblPrenos->text().toStdString();
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
    EXPECT_TRUE(memo.startsWith("Skúšobné obnovenie do dočasnej databázy ")) << memo.toStdString();
    EXPECT_TRUE(memo.contains("Záloha súčasnej databázy pred obnovením: " + QDir::toNativeSeparators(safety)));
    EXPECT_TRUE(memo.contains("restoring")) << memo.toStdString();
    // the trial database is gone again
    EXPECT_EQ(QDir(QFileInfo(db.path()).path()).entryList({"*.fdb"}), QStringList{"test.fdb"});
}

// A backup that is not whole, not this program's or from a newer program is
// found in the trial restore: refused before anything is replaced.
TEST_F(BackupWindowTest, ABackupThatCannotBeUsedIsRefusedAndNothingChanges)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    const QString good = w.backupFile();
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();

    // another program's database, and this program's from a newer version
    const QString foreign = QDir(env.backupsFolder).filePath("ina.fbk");
    const QString newer = QDir(env.backupsFolder).filePath("novsia.fbk");
    {
        TestDatabase other(TestDatabase::Empty);
        other.exec({"create table FAKTURY (ID integer)"});
        ZalohovanieEnvironment e = env;
        e.connection = &other.connection();
        e.databasePath = other.path();
        e.closeConnection = [&] { other.connection().close(); };
        e.reopenConnection = [&] { other.connection().open(other.path(), TestDatabase::params()); };
        TfrmZalohovanie wo(e);
        wo.eSubor->setText("ina.fbk");
        wo.Zalohuj();
        TestDatabase later(TestDatabase::Migrated);
        later.exec({QString("insert into DATABASE_UPDATES (VERSION) values (%1)").arg(SupportedVersion() + 1)});
        e.connection = &later.connection();
        e.databasePath = later.path();
        e.closeConnection = [&] { later.connection().close(); };
        e.reopenConnection = [&] { later.connection().open(later.path(), TestDatabase::params()); };
        TfrmZalohovanie wn(e);
        wn.eSubor->setText("novsia.fbk");
        wn.Zalohuj();
    }
    ASSERT_TRUE(QFileInfo::exists(foreign));
    ASSERT_TRUE(QFileInfo::exists(newer));
    QFile cut(QDir(env.backupsFolder).filePath("polovica.fbk"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(whole.left(whole.size() / 2));
    cut.close();
    QFile junk(QDir(env.backupsFolder).filePath("nezmysel.fbk"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();

    db.exec({"update T set TXT = 'posledný stav'"});
    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"polovica.fbk", "Záložný súbor je neúplný, poškodený alebo nie je zálohou databázy programu"},
        {"nezmysel.fbk", "Záložný súbor je neúplný, poškodený alebo nie je zálohou databázy programu"},
        {"ina.fbk", "Záložný súbor nie je zálohou databázy tohto programu"},
        {"novsia.fbk", "Záložný súbor je z novšej verzie programu (verzia databázy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        transcript.clear();
        transcript.answer(msg::Yes);
        const int closesBefore = closes;
        w.eSubor->setText(c.file);
        w.Obnov();
        ASSERT_GE(transcript.count(), 2);
        EXPECT_EQ(transcript.last().kind, DialogKind::Red);
        EXPECT_TRUE(transcript.last().text.startsWith(c.message)) << transcript.last().text.toStdString();
        EXPECT_TRUE(transcript.last().text.contains("Databáza zostala nezmenená."));
        EXPECT_EQ(closes, closesBefore);
        ASSERT_TRUE(db.connection().isOpen());
        EXPECT_EQ(text(), "posledný stav");
        EXPECT_FALSE(QFileInfo::exists(QDir(env.backupsFolder).filePath(kSafety)));
        EXPECT_EQ(QDir(QFileInfo(db.path()).path()).entryList({"*.fdb"}), QStringList{"test.fdb"});
        EXPECT_TRUE(w.isEnabled());
    }
}

// Only a valid administrator, logged in now, may replace everybody's data.
TEST_F(BackupWindowTest, RestoreRunsOnlyForAValidAdministratorWhoIsConnected)
{
    TfrmZalohovanie w(env);
    transcript.answer(msg::Yes);
    w.Zalohuj();
    db.exec({"update T set TXT = 'zmenený'"});
    const QString refused = "Databázu môže obnoviť len správca programu s platným prístupom, prihlásený k databáze.";
    const struct {
        const char* name;
        std::function<void()> arrange;
    } cases[] = {
        {"nobody logged in", [&] { env.loggedInUser = [] { return QVariant(); }; }},
        {"rights taken meanwhile", [&] { db.exec({"update UZIVATELIA set SPRAVCA = 0 where JEDIN = 1"}); }},
        {"access taken meanwhile", [&] { db.exec({"update UZIVATELIA set PLATNY = 0 where JEDIN = 1"}); }},
        {"not connected", [&] { db.connection().close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        TfrmZalohovanie r(env);
        transcript.clear();
        transcript.answer(msg::Yes);
        r.Obnov();
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_TRUE(transcript.last().text.startsWith(refused)) << transcript.last().text.toStdString();
        EXPECT_EQ(closes, 1);
        if (!db.connection().isOpen())
            db.connection().open(db.path(), TestDatabase::params());
        db.exec({"update UZIVATELIA set SPRAVCA = 1, PLATNY = 1 where JEDIN = 1"});
        env.loggedInUser = [] { return QVariant(1); };
    }
    EXPECT_EQ(text(), "zmenený");
}

// The name is a file of the backups folder, never a way out of it nor the database.
TEST_F(BackupWindowTest, AFileNameThatIsNotAPlainNameIsRefused)
{
    const QString dbFolder = QFileInfo(db.path()).path();
    const struct {
        const char* name;
        bool databaseFolder;
        const char* message;
    } cases[] = {
        {"../Lindavo.fbk", false, "Názov záložného súboru môže byť len názov súboru"},
        {"..", false, "Názov záložného súboru môže byť len názov súboru"},
        {"zalohy/Lindavo.fbk", false, "Názov záložného súboru môže byť len názov súboru"},
        {"/tmp/Lindavo.fbk", false, "Názov záložného súboru môže byť len názov súboru"},
        {"C:\\Lindavo.fbk", false, "Názov záložného súboru môže byť len názov súboru"},
        {"test.fdb", true, "Záložný súbor nemôže byť samotná databáza programu."},
    };
    for (const auto& c : cases) {
        for (const bool restore : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (restore ? " restore" : " backup"));
            env.backupsFolder = c.databaseFolder ? dbFolder : dir.filePath("Zalohy");
            QDir().mkpath(env.backupsFolder);
            TfrmZalohovanie w(env);
            w.eSubor->setText(c.name);
            transcript.clear();
            transcript.answer(msg::Yes);
            restore ? w.Obnov() : w.Zalohuj();
            ASSERT_EQ(transcript.count(), 1);
            EXPECT_EQ(transcript.last().kind, DialogKind::Red);
            EXPECT_TRUE(transcript.last().text.startsWith(c.message)) << transcript.last().text.toStdString();
            EXPECT_EQ(closes, 0);
            EXPECT_TRUE(db.connection().isOpen());
        }
    }
    EXPECT_EQ(text(), "pôvodný");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("Lindavo.fbk")));
}

// A new backup never destroys the one before: the replaced file keeps a dated
// name, the newest few of those stay.
TEST_F(BackupWindowTest, TheReplacedBackupIsKeptUnderADatedNameAndOnlyTheNewestStay)
{
    env.keepCopies = 2;
    QDir().mkpath(env.backupsFolder);
    // files of the folder that are not dated copies of this name stay, however many
    const QStringList others = {"Lindavo_pred_obnovenim_20260101_000000.fbk", "Lindavo_20260101.fbk",
                                "Ina_20260101_000000.fbk", "Lindavo_20260101_000000.fdb"};
    for (const QString& name : others) {
        QFile f(QDir(env.backupsFolder).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    // what interrupted backups left: an old one goes, a fresh one may be another workstation's
    const QString stale = QDir(env.backupsFolder).filePath(".Lindavo.fbk.7.part");
    const QString fresh = QDir(env.backupsFolder).filePath(".Lindavo.fbk.8.part");
    for (const QString& part : {stale, fresh}) {
        QFile f(part);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        if (part == stale) {
            ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime));
        }
    }
    TfrmZalohovanie w(env);
    const QString named = w.backupFile();
    QStringList dated;
    QList<QByteArray> contents;
    for (int i = 0; i < 4; ++i) {
        Clock::pinClock(QDateTime(QDate(2026, 3, 14), QTime(10, i, 0)));
        db.exec({QString("update T set TXT = 'stav %1'").arg(i)});
        transcript.clear();
        w.Zalohuj();
        ASSERT_EQ(transcript.last().text, "Zálohovanie úspešne dokončené.");
        QFile f(named);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        contents << f.readAll();
    }
    // three replaced files, the newest two kept, each the backup it was
    const QStringList copies = DatedCopies(named);
    ASSERT_EQ(copies.size(), 2);
    EXPECT_EQ(QFileInfo(copies[0]).fileName(), "Lindavo_20260314_100300.fbk");
    EXPECT_EQ(QFileInfo(copies[1]).fileName(), "Lindavo_20260314_100200.fbk");
    for (int i = 0; i < 2; ++i) {
        QFile f(copies[i]);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), contents[2 - i]) << i;
    }
    EXPECT_TRUE(w.mPriebeh->toPlainText().contains("Doterajšia záloha zostáva uložená v súbore " +
                                                   QDir::toNativeSeparators(copies[0])));
    // no temporary file is left beside them
    EXPECT_FALSE(QFileInfo::exists(stale));
    ASSERT_TRUE(QFile::remove(fresh));
    EXPECT_EQ(QDir(env.backupsFolder).entryList(QDir::Files | QDir::Hidden).size(), 3 + others.size());
    for (const QString& name : others)
        EXPECT_TRUE(QFileInfo::exists(QDir(env.backupsFolder).filePath(name))) << name.toStdString();
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
        e.supportedVersion = SupportedVersion();
        e.loggedInUser = [&main] { return main.Uzivatel().Jedin; };
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
