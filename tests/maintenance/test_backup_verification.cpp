// Backups that prove themselves: the trial restore and its comparison with the
// database, damaged files, changes during the backup, the state that the main
// window shows, and the daily run in a thread of its own.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/Version.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "fb/Query.h"
#include "fb/Service.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "maintenance/AutomaticBackup.h"
#include "maintenance/BackupState.h"
#include "maintenance/BackupStatusLabel.h"
#include "maintenance/BackupVerification.h"
#include "maintenance/fZalohovanie.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace {

DatabaseCounts counts(int version, std::initializer_list<std::pair<const char*, qint64>> rows)
{
    DatabaseCounts c;
    c.content = BackupContent::Ours;
    c.version = version;
    for (const auto& [table, n] : rows)
        c.rows.insert(table, n);
    return c;
}

class VerificationTest : public ::testing::Test {
protected:
    VerificationTest()
    {
        db.exec({"insert into ADRESAR (JEDIN, MENO) values (gen_id(ADRESAR_ID, 1), 'Prvý')",
                 "insert into ADRESAR (JEDIN, MENO) values (gen_id(ADRESAR_ID, 1), 'Druhý')"});
        job.login = {{}, TestDatabase::user, TestDatabase::password};
        job.databasePath = db.path();
        job.databaseFile = db.connection().info().fileName;
        job.params = TestDatabase::params();
        job.supportedVersion = SupportedVersion();
        folder = dir.filePath("Zalohy");
        QDir().mkpath(folder);
        target = QDir(folder).filePath("Lindavo.fbk");
        stateFile = dir.filePath("stav/Lindavo_Zalohy.ini");
    }

    qint64 live(const char* table) { return db.scalar(QString("select count(*) from ") + table).toLongLong(); }
    QStringList databaseFolder() { return QDir(QFileInfo(db.path()).path()).entryList({"*.fdb"}); }
    QStringList backupsFolder() { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    QTemporaryDir dir;
    BackupJob job;
    QString folder;
    QString target;
    QString stateFile;
    const QDateTime moment{QDate(2026, 3, 14), QTime(6, 30), Qt::UTC};
};

}  // namespace

// Each table of the copy must lie between the two snapshots around the
// backup's own; the update table must end at the live version.
TEST(BackupComparison, TheCopyMustHoldWhatTheDatabaseHeldAtTheBackup)
{
    const DatabaseCounts live = counts(102, {{"PREKLADY", 300}, {"ADRESAR", 500}});
    const DatabaseCounts grown = counts(102, {{"PREKLADY", 302}, {"ADRESAR", 500}});
    const struct {
        const char* name;
        DatabaseCounts restored;
        DatabaseCounts after;
        const char* problem;  // start of the text; empty: matches
    } cases[] = {
        {"unchanged", live, live, ""},
        {"jobs added during the backup, copy before", live, grown, ""},
        {"jobs added during the backup, copy after", grown, grown, ""},
        {"one between", counts(102, {{"PREKLADY", 301}, {"ADRESAR", 500}}), grown, ""},
        {"a row lost", counts(102, {{"PREKLADY", 299}, {"ADRESAR", 500}}), live,
         "Počty riadkov obnovenej kópie sa nezhodujú s databázou:\r\nPREKLADY: v obnovenej kópii 299 riadkov, v "
         "databáze 300."},
        {"a row lost while others came", counts(102, {{"PREKLADY", 299}, {"ADRESAR", 500}}), grown,
         "Počty riadkov obnovenej kópie sa nezhodujú s databázou:\r\nPREKLADY: v obnovenej kópii 299 riadkov, v "
         "databáze 300 až 302."},
        {"a table missing", counts(102, {{"PREKLADY", 300}}), live,
         "Počty riadkov obnovenej kópie sa nezhodujú s databázou:\r\nADRESAR: v obnovenej kópii tabuľka chýba."},
        {"an older update table", counts(101, {{"PREKLADY", 300}, {"ADRESAR", 500}}), live,
         "Tabuľka aktualizácií obnovenej kópie končí verziou 101, databáza verziou 102."},
        {"not this program's", DatabaseCounts{}, live, "Obnovená kópia nie je databázou tohto programu."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CompareWithLive(c.restored, live, c.after), QString(c.problem));
    }
}

TEST_F(VerificationTest, AVerifiedBackupHoldsTheDatabaseAndLeavesNoTemporaryFiles)
{
    const VerifiedBackup result = MakeVerifiedBackup(job, target, 5, moment);
    EXPECT_TRUE(result.verified) << result.problem.toStdString();
    EXPECT_TRUE(result.backedUp);
    EXPECT_EQ(result.counts.version, SupportedVersion());
    EXPECT_EQ(result.counts.rows.keys(), QStringList({"ADRESAR", "JAZYKOVE_KOMBINACIE", "KOMBINACIE",
                                                      "MERNE_JEDNOTKY", "PREKLADY", "UZIVATELIA"}));
    EXPECT_EQ(result.counts.rows["ADRESAR"], live("ADRESAR"));
    EXPECT_EQ(result.counts.rows["UZIVATELIA"], live("UZIVATELIA"));
    EXPECT_EQ(result.size, QFileInfo(target).size());
    // the trial database lived beside the database and is gone; the folder has the backup only
    EXPECT_EQ(databaseFolder(), QStringList{"test.fdb"});
    EXPECT_EQ(backupsFolder(), QStringList{"Lindavo.fbk"});
}

// The copy is held against snapshots taken around the backup's own, not
// against the database after it: work that goes on meanwhile is no failure.
TEST_F(VerificationTest, TheDatabaseChangedDuringTheBackupStillVerifies)
{
    const qint64 contacts = live("ADRESAR");
    auto other = db.openSecond();
    int added = 0;
    job.onProgress = [&](qint64) {
        if (added)
            return;
        // another workstation saves contacts and removes a unit while the backup streams
        fb::Transaction t(*other, {"write", "nowait"});
        fb::Query q(t);
        t.start();
        for (int i = 0; i < 3; ++i) {
            q.setSql("insert into ADRESAR (JEDIN, MENO) values (gen_id(ADRESAR_ID, 1), 'Počas zálohy')");
            q.execute();
        }
        t.commit();
        added = 3;
    };
    const VerifiedBackup result = MakeVerifiedBackup(job, target, 5, moment);
    ASSERT_EQ(added, 3);
    EXPECT_TRUE(result.verified) << result.problem.toStdString();
    EXPECT_EQ(result.counts.rows["ADRESAR"], contacts);
    EXPECT_EQ(live("ADRESAR"), contacts + 3);
}

// A file cut short or with a flipped byte fails its check, whether the
// restore notices (a damaged header) or only the recorded content does.
TEST_F(VerificationTest, ADamagedBackupFailsItsCheck)
{
    const VerifiedBackup made = MakeVerifiedBackup(job, target, 5, moment);
    ASSERT_TRUE(made.verified) << made.problem.toStdString();
    BackupStateFile state(stateFile, db.path());
    state.recordAutomatic(made, moment.date());
    fb::Service service;
    const std::function<DatabaseCounts()> liveCounts = [&] {
        fb::Transaction t(db.connection(), {"read", "concurrency"});
        t.start();
        return ReadDatabaseCounts(t, SupportedVersion());
    };
    const BackupFileCheck good = CheckBackupFile(job, service, target, moment, state, liveCounts);
    EXPECT_EQ(good.verdict, BackupFileCheck::Verified) << good.text.toStdString();
    EXPECT_TRUE(good.text.startsWith("Záloha z 14.03.2026 06:30 je v poriadku")) << good.text.toStdString();

    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();
    const auto damaged = [&](const char* name, QByteArray bytes) {
        const QString path = QDir(folder).filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    };
    QByteArray flippedHeader = whole;
    flippedHeader[0] = char(flippedHeader[0] ^ 0xFF);
    // one bit of a contact's name: the restore takes it as it is
    QByteArray flippedText = whole;
    const qsizetype name = whole.indexOf("Druh");
    ASSERT_GT(name, 0);
    flippedText[name + 3] = char(flippedText[name + 3] ^ 0x01);
    const struct {
        const char* name;
        QString file;
        const char* text;
    } cases[] = {
        {"truncated", damaged("polovica.fbk", whole.left(whole.size() / 2)), "Záložný súbor sa nepodarilo obnoviť"},
        {"flipped header", damaged("hlavicka.fbk", flippedHeader), "Záložný súbor sa nepodarilo obnoviť"},
        // the same name as the verified backup, one bit different in its data
        {"flipped in place", damaged("Lindavo.fbk", flippedText), "Záložný súbor sa od overenia 14.03.2026 06:30 zmenil"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BackupFileCheck check = CheckBackupFile(job, service, c.file, moment, state, liveCounts);
        EXPECT_EQ(check.verdict, BackupFileCheck::Failed);
        EXPECT_TRUE(check.text.startsWith(c.text)) << check.text.toStdString();
        EXPECT_EQ(databaseFolder(), QStringList{"test.fdb"});
    }
}

// What the main window shows: a plain date up to seven days, red after that,
// red without any verified backup and red after a failed check.
TEST(BackupStatusLine, RedAfterSevenDaysWithoutABackupOrAfterAFailedCheck)
{
    const QDate today(2026, 3, 14);
    const auto at = [](const QDate& d) { return QDateTime(d, QTime(7, 0), Qt::UTC); };
    const struct {
        const char* name;
        BackupStatus status;
        bool red;
        const char* text;
    } cases[] = {
        {"none", {}, true, "Posledná overená záloha: žiadna"},
        {"today", {at(today), "a", at(today), false, {}, today}, false, "Posledná overená záloha: 14.03.2026"},
        {"seven days", {at(today.addDays(-7)), "a", {}, false, {}, {}}, false, "Posledná overená záloha: 07.03.2026"},
        {"eight days", {at(today.addDays(-8)), "a", {}, false, {}, {}}, true, "Posledná overená záloha: 06.03.2026"},
        {"failed today", {at(today.addDays(-1)), "a", at(today), true, "x", today}, true,
         "Posledná overená záloha: 13.03.2026, kontrola zlyhala"},
    };
    TBackupStatusLabel label;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(BackupStatusAlarming(c.status, today), c.red);
        label.showStatus(c.status, today);
        EXPECT_EQ(label.text(), c.text);
        EXPECT_EQ(label.alarming(), c.red);
        EXPECT_EQ(label.styleSheet().contains("color"), c.red);
    }
}

// The failure of the newest backup stays until a later backup verifies; a
// replaced file's record follows it to its dated name.
TEST_F(VerificationTest, TheStateFollowsTheBackupsOfItsDatabase)
{
    BackupStateFile state(stateFile, db.path());
    EXPECT_TRUE(state.automaticDue(moment.date()));
    VerifiedBackup ok;
    ok.moment = moment;
    ok.file = target;
    ok.backedUp = ok.verified = true;
    ok.digest = "abc";
    ok.counts = counts(102, {{"PREKLADY", 1}});
    state.recordAutomatic(ok, moment.date());
    EXPECT_FALSE(state.automaticDue(moment.date()));
    EXPECT_TRUE(state.automaticDue(moment.date().addDays(1)));
    // another database has its own section
    EXPECT_TRUE(BackupStateFile(stateFile, dir.filePath("ina.fdb")).automaticDue(moment.date()));

    VerifiedBackup failed = ok;
    failed.moment = moment.addDays(1);
    failed.verified = false;
    failed.problem = "Počty riadkov...";
    const QString dated = QDir(folder).filePath("Lindavo_20260315_063000.fbk");
    state.recordAutomatic(failed, failed.moment.date(), dated);
    BackupStatus s = state.status();
    EXPECT_EQ(s.lastVerified, moment);
    EXPECT_EQ(s.lastVerifiedFile, dated);
    EXPECT_TRUE(s.lastCheckFailed);
    EXPECT_EQ(state.recordByDigest("abc")->file, dated);
    // a good check of the older file does not hide the failure of the newer one
    state.recordCheck(dated, true, {}, failed.moment);
    EXPECT_TRUE(state.status().lastCheckFailed);
    // a failed check of the newest verified backup shows
    VerifiedBackup next = ok;
    next.moment = moment.addDays(2);
    state.recordAutomatic(next, next.moment.date());
    EXPECT_FALSE(state.status().lastCheckFailed);
    state.recordCheck(target, false, "poškodený", next.moment);
    s = state.status();
    EXPECT_TRUE(s.lastCheckFailed);
    EXPECT_EQ(s.lastProblem, "poškodený");
}

namespace {

class AutomaticBackupTest : public VerificationTest {
protected:
    AutomaticBackupTest()
    {
        a.job = job;
        a.target = target;
        a.keepCopies = 3;
        a.stateFile = stateFile;
        env.connection = &db.connection();
        env.databasePath = db.path();
        env.userName = TestDatabase::user;
        env.password = TestDatabase::password;
        env.backupsFolder = folder;
        env.supportedVersion = SupportedVersion();
        env.stateFile = stateFile;
    }
    AutomaticBackupSettings a;
    ZalohovanieEnvironment env;
};

}  // namespace

// The program stays usable meanwhile, and a second start of the same day
// makes no second backup; the backup window waits for it.
TEST_F(AutomaticBackupTest, RunsBesideTheProgramOncePerDay)
{
    TAutomaticBackup runner;
    TAutomaticBackup::setInstance(&runner);
    std::atomic<bool> gate{false};
    std::atomic<bool> reached{false};
    a.job.onProgress = [&](qint64) {
        reached = true;
        while (!gate)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    QSignalSpy finished(&runner, &TAutomaticBackup::finished);
    ASSERT_TRUE(runner.startIfDue(a, moment.date(), moment));
    EXPECT_TRUE(runner.running());
    // the backup is held inside its stream; this thread works on
    QElapsedTimer waited;
    waited.start();
    while (!reached && waited.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(reached);
    EXPECT_EQ(db.scalar("select count(*) from ADRESAR").toInt(), 2);
    {
        TfrmZalohovanie w(env);
        EXPECT_FALSE(w.btnZalohuj->isEnabled());
        EXPECT_FALSE(w.btnObnov->isEnabled());
        EXPECT_FALSE(w.btnOver->isEnabled());
        EXPECT_TRUE(w.mPriebeh->toPlainText().startsWith("Práve prebieha automatické zálohovanie"));
        // a second start meanwhile starts nothing
        EXPECT_FALSE(runner.startIfDue(a, moment.date(), moment));
        gate = true;
        ASSERT_TRUE(finished.wait(60000));
        EXPECT_TRUE(w.btnOver->isEnabled());
        EXPECT_TRUE(w.btnObnov->isEnabled());
    }
    EXPECT_FALSE(runner.running());
    EXPECT_TRUE(finished.first().first().value<VerifiedBackup>().verified);
    const BackupStatus s = BackupStateFile(stateFile, db.path()).status();
    EXPECT_EQ(s.lastVerified, moment);
    EXPECT_FALSE(s.lastCheckFailed);

    // the same day again: nothing; the next day: a new backup, the old one dated
    EXPECT_FALSE(runner.startIfDue(a, moment.date(), moment.addSecs(3600)));
    EXPECT_FALSE(runner.running());
    EXPECT_EQ(backupsFolder(), QStringList{"Lindavo.fbk"});
    ASSERT_TRUE(runner.startIfDue(a, moment.date().addDays(1), moment.addDays(1)));
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(backupsFolder(), QStringList({"Lindavo.fbk", "Lindavo_20260315_063000.fbk"}));
    TAutomaticBackup::setInstance(nullptr);
}

// Closing the program during the backup stops it at once: no file under the
// backup's name, no temporary file or database left, and the day still due.
TEST_F(AutomaticBackupTest, StoppedDuringTheBackupLeavesNothingHalfWritten)
{
    std::atomic<int> calls{0};
    auto runner = std::make_unique<TAutomaticBackup>();
    // the worker asks the object itself: reset() clears the pointer before it destroys
    TAutomaticBackup* const running = runner.get();
    a.job.onProgress = [&calls, running](qint64) {
        ++calls;
        while (!running->stopRequested())
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    ASSERT_TRUE(runner->startIfDue(a, moment.date(), moment));
    QElapsedTimer waited;
    waited.start();
    while (calls == 0 && waited.elapsed() < 30000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(calls, 1);
    QElapsedTimer stopping;
    stopping.start();
    runner.reset();
    EXPECT_LT(stopping.elapsed(), 10000);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(backupsFolder(), QStringList());
    EXPECT_EQ(databaseFolder(), QStringList{"test.fdb"});
    EXPECT_TRUE(BackupStateFile(stateFile, db.path()).automaticDue(moment.date()));
}

// The window's check of a chosen file, its message, and the main window's
// state when the newest verified backup fails it.
TEST_F(AutomaticBackupTest, TheWindowChecksAChosenFile)
{
    DialogTranscript transcript;
    BackupStateFile state(stateFile, db.path());
    const VerifiedBackup made = MakeVerifiedBackup(job, target, 5, moment);
    ASSERT_TRUE(made.verified);
    state.recordAutomatic(made, moment.date());
    Clock::pinClock(moment.addSecs(600));
    QStringList logged;
    env.logProblem = [&](const QString& text) { logged << text; };
    TfrmZalohovanie w(env);
    w.Over();
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Plain);
    EXPECT_TRUE(transcript.last().text.startsWith("Záloha z 14.03.2026 06:30 je v poriadku")) << transcript.last().text.toStdString();
    EXPECT_TRUE(w.mPriebeh->toPlainText().contains("  PREKLADY: 0 riadkov"));
    EXPECT_FALSE(state.status().lastCheckFailed);

    // a backup of the window replaces the file: the record follows the old
    // one to its dated name, the new file is held against the database now
    // (saved meanwhile, so that the new file differs from the verified one even
    // when both are made within the same second)
    db.exec({"insert into merne_jednotky (skratka) values ('zmena')"});
    transcript.clear();
    w.Zalohuj();
    ASSERT_EQ(transcript.last().text, "Zálohovanie úspešne dokončené.");
    const QString dated = state.status().lastVerifiedFile;
    EXPECT_TRUE(QFileInfo(dated).fileName().startsWith("Lindavo_20260314_")) << dated.toStdString();
    EXPECT_TRUE(QFileInfo::exists(dated));
    transcript.clear();
    w.Over();
    EXPECT_EQ(transcript.last().text, "Záloha je v poriadku: obnovila sa a zhoduje sa so súčasnou databázou.");
    w.eSubor->setText(QFileInfo(dated).fileName());
    transcript.clear();
    w.Over();
    EXPECT_TRUE(transcript.last().text.startsWith("Záloha z 14.03.2026 06:30 je v poriadku")) << transcript.last().text.toStdString();

    QFile f(dated);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(f.size() - 100));
    f.close();
    transcript.clear();
    w.Over();
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Red);
    // cut short: the restore refuses it, or (when the cut spares what a restore
    // needs) its content no longer is what was verified
    const QString failed = transcript.last().text;
    EXPECT_TRUE(failed.startsWith("Kontrola zálohy zlyhala.\r\nZáložný súbor sa nepodarilo obnoviť") ||
                failed.startsWith("Kontrola zálohy zlyhala.\r\nZáložný súbor sa od overenia"))
        << failed.toStdString();
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(state.status().lastCheckFailed);
    EXPECT_TRUE(BackupStatusAlarming(state.status(), moment.date()));
    EXPECT_TRUE(w.btnOver->isEnabled());
    EXPECT_TRUE(db.connection().isOpen());
    Clock::unpinClock();
}
