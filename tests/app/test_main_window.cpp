// The main window: its layout, what each button opens with which call record,
// hiding while a window runs, and closing with and without ShiftForClose.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/DeadlineCountsPanel.h"
#include "app/LindavoApplication.h"
#include "app/UnexpectedError.h"
#include "app/Version.h"
#include "app/fMain.h"
#include "controls/QDLBtn.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "platform/SingleInstance.h"

#include <QDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <stdexcept>

#include <gtest/gtest.h>

namespace {

struct Call {
    QString target;
    TFormDetails details;
    bool mainVisible;
};

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        path = db.path();
        db.connection().close();
        setIni("Database", path);
        startupCalls().login = [this](TfrmMain& main) {
            main.Uzivatel() = user;
            return true;
        };
    }
    ~MainWindowTest() override
    {
        startupCalls().login = nullptr;
        mainWindowTargets() = {};
        setUnexpectedErrorHandler({});
        db.connection().open(path, TestDatabase::params());
    }

    void setIni(const QString& key, const QVariant& value)
    {
        QSettings ini(dir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/" + key, value);
    }

    // Every target records how it was called and whether the main window was
    // visible meanwhile.
    void installTargets(TfrmMain*& main)
    {
        auto record = [this, &main](const char* name) {
            return [this, name, &main](TFormDetails& d) {
                calls << Call{name, d, main->isVisible()};
                d.Result = TFormDetails::ResultCancel;
            };
        };
        auto recordPlain = [this, &main](const char* name) {
            return [this, name, &main](TfrmMain& opener) {
                EXPECT_EQ(&opener, main);
                calls << Call{name, {}, main->isVisible()};
            };
        };
        MainWindowTargets& t = mainWindowTargets();
        t.preklady = recordPlain("preklady");
        t.adresar = record("adresar");
        t.jazykoveKombinacie = record("jazykoveKombinacie");
        t.merneJednotky = record("merneJednotky");
        t.uzivatelia = record("uzivatelia");
        t.uzivatelEditor = record("uzivatelEditor");
        t.zalohovanie = recordPlain("zalohovanie");
        t.prehlad = recordPlain("prehlad");
        t.prekladyPodlaTerminu = [this, &main](TfrmMain& opener, DeadlineFilter filter) {
            EXPECT_EQ(&opener, main);
            TFormDetails d;
            d.Value = int(filter);
            calls << Call{"prekladyPodlaTerminu", d, main->isVisible()};
            if (whileOpen)
                whileOpen();
        };
    }

    // Statements on a connection of its own (the fixture's is closed while
    // the main window holds the file).
    void execOther(const QStringList& statements)
    {
        auto c = db.openSecond();
        for (const QString& sql : statements) {
            fb::Transaction t(*c, {"write", "nowait"});
            fb::Query q(t);
            t.start();
            q.setSql(sql);
            q.execute();
            t.commit();
        }
    }
    qlonglong countOther(const QString& sql)
    {
        auto c = db.openSecond();
        fb::Transaction t(*c, {"read", "nowait"});
        fb::Query q(t);
        t.start();
        q.setSql(sql);
        const qlonglong n = q.executeScalar().toLongLong();
        t.commit();
        return n;
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    QString path;
    QTemporaryDir dir;
    DialogTranscript transcript;
    TUzivatel user{1, "Správca", "AD", true};
    QList<Call> calls;
    std::function<void()> whileOpen;  // runs inside the register opened by a count
};

}  // namespace

TEST_F(MainWindowTest, LayoutHeadingAndButtonsWithoutTheirWindows)
{
    TfrmMain main(dir.filePath("Lindavo"));
    main.show();
    EXPECT_EQ(main.size(), QSize(349, 531));  // the eight buttons and the backup line under them
    EXPECT_EQ(main.minimumSize(), main.maximumSize());
    EXPECT_EQ(main.palette().color(QPalette::Window), QColor(192, 220, 192));
    EXPECT_EQ(main.JvHotLinkApplicationName->text(), "Lindavo - verzia " + VersionText());
    EXPECT_EQ(main.lblUzivatel->text(), "Správca");
    const QList<TQDLBtn*> buttons = {main.btnPreklady,      main.btnObjednavatelia, main.btnPrekladatelia,
                                     main.btnJazykoveKombinacie, main.btnMerneJednotky, main.btnUzivatelia,
                                     main.btnZalohovanie, main.btnPrehlad};
    const QStringList captions = {"&Lindavo",
                                  "&Objednávatelia",
                                  "&Prekladatelia",
                                  "Číselník jazykových kombinácií",
                                  "Číselník merných jednotiek",
                                  "Používatelia",
                                  "&Zálohovanie databázy",
                                  "Prehľad &agentúry"};
    for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), captions[i]);
        EXPECT_EQ(buttons[i]->geometry(), QRect(4, 156 + 44 * i, 341, 41)) << i;
        EXPECT_EQ(buttons[i]->iconSize(), QSize(32, 32));
        EXPECT_TRUE(buttons[i]->isVisible());
        EXPECT_FALSE(buttons[i]->isEnabled());  // no window installed
    }
    // The deadline counts under the user, above the buttons.
    EXPECT_EQ(main.pnlTerminy->geometry(), QRect(4, 112, 341, 41));
    EXPECT_EQ(transcript.count(), 0);
}

TEST_F(MainWindowTest, ButtonsOpenTheirWindowsWithTheMainWindowHidden)
{
    TfrmMain* mainPtr = nullptr;
    installTargets(mainPtr);
    TfrmMain main(dir.filePath("Lindavo"));
    mainPtr = &main;
    main.show();
    for (TQDLBtn* b : main.findChildren<TQDLBtn*>())
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_EQ(main.focusWidget(), main.btnPreklady);

    for (TQDLBtn* b : {main.btnObjednavatelia, main.btnPrekladatelia, main.btnJazykoveKombinacie,
                       main.btnMerneJednotky, main.btnUzivatelia, main.btnPreklady, main.btnZalohovanie,
                       main.btnPrehlad})
        b->click();
    ASSERT_EQ(calls.size(), 8);
    const QStringList targets = {"adresar", "adresar", "jazykoveKombinacie", "merneJednotky", "uzivatelia",
                                 "preklady", "zalohovanie", "prehlad"};
    for (int i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].target, targets[i]);
        EXPECT_FALSE(calls[i].mainVisible) << i;
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(calls[i].details.Mode, TFormDetails::Browse) << i;
        EXPECT_FALSE(calls[i].details.Parent.isValid());
        EXPECT_FALSE(calls[i].details.Current.isValid());
    }
    EXPECT_FALSE(calls[0].details.Flag);  // customers
    EXPECT_TRUE(calls[1].details.Flag);   // translators
    EXPECT_TRUE(main.isVisible());
}

TEST_F(MainWindowTest, NonAdministratorGetsHisOwnUserRecord)
{
    user = TUzivatel{4, "Peter", "PB", false};
    TfrmMain* mainPtr = nullptr;
    installTargets(mainPtr);
    TfrmMain main(dir.filePath("Lindavo"));
    mainPtr = &main;
    main.show();
    main.btnUzivatelia->click();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].target, "uzivatelEditor");
    EXPECT_EQ(calls[0].details.Mode, TFormDetails::Edit);
    EXPECT_EQ(calls[0].details.Current, QVariant(4));
    EXPECT_FALSE(calls[0].details.Parent.isValid());
}

// The counts of jobs not yet sent by deadline, as of the program's clock: each
// opens the register on its jobs with the main window hidden, and they are
// read again when the main window comes back and on the timer.
TEST_F(MainWindowTest, DeadlineCountsOpenTheirJobsAndFollowChanges)
{
    Clock::pinClock(QDateTime(QDate(2026, 3, 10), QTime(23, 30), Qt::UTC));
    const auto job = [](int jedin, const char* termin, const char* sent) {
        return QStringLiteral("insert into preklady (jedin, znacka, objednavatel, jazykova_kombinacia, termin,"
                              " datum_odoslania_prekladu, obj_faktura, pre_faktura)"
                              " values (%1, 'Z%1', 1, 1, '%2', %3, '', '')")
            .arg(jedin)
            .arg(QLatin1String(termin), QLatin1String(sent));
    };
    execOther({"insert into adresar (jedin, typ, meno) values (1, 0, 'Alfa')",
               "insert into jazykove_kombinacie (jedin, skratka) values (1, 'SK-EN')",
               job(1, "2026-03-09 23:59", "null"), job(2, "2026-03-10 00:00", "null"),
               job(3, "2026-03-10 23:59", "null"), job(4, "2026-03-11 08:00", "null"),
               job(5, "2026-03-12 00:00", "null"), job(6, "2026-03-08 12:00", "'2026-03-08'")});
    TfrmMain* mainPtr = nullptr;
    installTargets(mainPtr);
    TfrmMain main(dir.filePath("Lindavo"));
    mainPtr = &main;
    main.show();
    DeadlineCountsPanel* panel = main.pnlTerminy;
    ASSERT_TRUE(panel->counts());
    EXPECT_EQ(*panel->counts(), (DeadlineCounts{1, 2, 1}));
    EXPECT_EQ(panel->btnPoTermine->text(), "Po &termíne: 1");
    EXPECT_EQ(panel->btnDnes->text(), "&Dnes: 2");
    EXPECT_EQ(panel->btnZajtra->text(), "Za&jtra: 1");
    EXPECT_TRUE(panel->btnPoTermine->styleSheet().contains("#ff0000"));
    EXPECT_TRUE(panel->btnZajtra->styleSheet().isEmpty());

    // A job sent meanwhile at another workstation counts no more once the
    // main window is back.
    whileOpen = [&] { execOther({"update preklady set datum_odoslania_prekladu='2026-03-10' where jedin=2"}); };
    const std::pair<QPushButton*, DeadlineFilter> buttons[] = {{panel->btnPoTermine, DeadlineFilter::Late},
                                                               {panel->btnDnes, DeadlineFilter::Today},
                                                               {panel->btnZajtra, DeadlineFilter::Tomorrow}};
    for (const auto& [button, filter] : buttons) {
        calls.clear();
        button->click();
        ASSERT_EQ(calls.size(), 1);
        EXPECT_EQ(calls[0].target, "prekladyPodlaTerminu");
        EXPECT_EQ(calls[0].details.Value, int(filter));
        EXPECT_FALSE(calls[0].mainVisible);
        EXPECT_TRUE(main.isVisible());
        whileOpen = nullptr;
    }
    EXPECT_EQ(*panel->counts(), (DeadlineCounts{1, 1, 1}));

    // Every five minutes while the main window is shown.
    EXPECT_EQ(panel->tmRefresh->interval(), 5 * 60 * 1000);
    EXPECT_TRUE(panel->tmRefresh->isActive());
    execOther({job(7, "2026-03-01 10:00", "null")});
    panel->tmRefresh->start(10);
    QTRY_COMPARE(panel->counts()->late, 2);
    EXPECT_EQ(transcript.count(), 0);
    Clock::unpinClock();
}

TEST_F(MainWindowTest, EscapeAndShiftForClose)
{
    struct Case {
        bool shiftForClose;
        Qt::KeyboardModifiers modifiers;
        bool closes;
    } cases[] = {
        {false, Qt::NoModifier, true},
        {true, Qt::NoModifier, false},  // minimised instead
        {true, Qt::ShiftModifier, true},
        {false, Qt::ControlModifier, false},  // not the close key
    };
    for (const Case& c : cases) {
        setIni("ShiftForClose", c.shiftForClose ? 1 : 0);
        TfrmMain main(dir.filePath("Lindavo"));
        QSignalSpy closed(&main, &TfrmMain::closed);
        main.show();
        QTest::keyClick(main.btnPreklady, Qt::Key_Escape, c.modifiers);
        EXPECT_EQ(closed.count(), c.closes ? 1 : 0) << c.shiftForClose << " " << c.modifiers;
        EXPECT_EQ(main.isVisible(), !c.closes);
        EXPECT_EQ(main.isMinimized(), c.shiftForClose && !c.closes && c.modifiers == Qt::NoModifier);
    }
}

TEST_F(MainWindowTest, AnErrorInAButtonsWindowIsShownOnceAndTheMainWindowStaysUsable)
{
    InstallUnexpectedErrorHandler();
    struct Case {
        std::function<void()> fail;
        QString shown;
    } cases[] = {
        {[] { throw std::runtime_error("disk full"); }, "Neočakávaná chyba:\r\n\r\ndisk full"},
        {[] { throw fb::Error("connection lost", {335544721}); },
         "Neočakávaná chyba databázy (335544721):\r\n\r\nconnection lost"},
        {[] { throw 42; }, "Neočakávaná chyba:\r\n\r\nneznáma výnimka"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.toStdString());
        TfrmMain* mainPtr = nullptr;
        installTargets(mainPtr);
        mainWindowTargets().merneJednotky = [&](TFormDetails&) { c.fail(); };
        TfrmMain main(dir.filePath("Lindavo"));
        mainPtr = &main;
        main.show();
        transcript.clear();
        calls.clear();
        main.btnMerneJednotky->click();
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_EQ(transcript.last().text, c.shown);
        EXPECT_TRUE(main.isVisible());
        // still usable: the next button opens its window
        QTest::mouseClick(main.btnJazykoveKombinacie, Qt::LeftButton);
        ASSERT_EQ(calls.size(), 1);
        EXPECT_EQ(calls[0].target, "jazykoveKombinacie");
        EXPECT_TRUE(main.isVisible());
        EXPECT_EQ(transcript.count(), 1);
    }
}

// The stale marked-record rows are removed only from a database the program
// accepted: a newer one is refused untouched.
TEST_F(MainWindowTest, StaleRowsAreCleanedOnlyAfterTheVersionIsAccepted)
{
    for (bool newer : {true, false}) {
        SCOPED_TRACE(newer ? "newer database" : "current database");
        execOther({"delete from database_updates where version > 103",
                   "insert into temp_spracuj (jedin, cislo, zaradenie, connection_id)"
                   " values (gen_id(temp_spracuj_id, 1), 1, 'K', 1)"});
        if (newer)
            execOther({"insert into database_updates (version, updated) values (104, current_timestamp)"});
        transcript.clear();
        {
            TfrmMain main(dir.filePath("Lindavo"));
            EXPECT_EQ(main.terminated(), newer);
        }
        if (newer) {
            ASSERT_EQ(transcript.count(), 1);
            EXPECT_EQ(transcript.last().text, FormatMessageText(LoadMessageText("ERR3009"), {104, 103}));
        }
        EXPECT_EQ(countOther("select count(*) from temp_spracuj where connection_id = 1"), newer ? 1 : 0);
    }
}

// After the program runs, a reconnect (after a restore) goes through the
// start-up checks again; when they end the application, the event loop ends
// with exit code 1 and the main window does not stay on screen.
TEST_F(MainWindowTest, AReconnectThatEndsTheStartUpEndsTheProgram)
{
    const QString exe = dir.filePath("Lindavo");
    for (bool newerVersion : {false, true}) {
        SCOPED_TRACE(newerVersion ? "newer version after the reconnect"
                                  : "login cancelled after the reconnect");
        SingleInstance instance(exe);
        ASSERT_TRUE(instance.claim());
        int logins = 0;
        bool visibleAtTheEnd = true;
        QObject context;
        startupCalls().login = [&](TfrmMain& main) {
            if (++logins > 1)
                return false;
            main.Uzivatel() = user;
            QTimer::singleShot(0, &main, [&] {
                if (newerVersion)
                    execOther({"insert into database_updates (version, updated) values (104, current_timestamp)"});
                main.Reconnect();
                visibleAtTheEnd = main.isVisible();
            });
            // Without an end, closing the window ends the run with 0.
            QTimer::singleShot(5000, &context, [&main] { main.close(); });
            return true;
        };
        transcript.clear();
        EXPECT_EQ(RunMainWindow(instance, exe), 1);
        EXPECT_EQ(logins, newerVersion ? 1 : 2);
        EXPECT_FALSE(visibleAtTheEnd);
        if (newerVersion) {
            ASSERT_EQ(transcript.count(), 1);
            EXPECT_EQ(transcript.last().text, FormatMessageText(LoadMessageText("ERR3009"), {104, 103}));
        }
    }
}

// A second start while the first is still starting (the login dialog is
// open, here minimised) brings that dialog to the front.
TEST_F(MainWindowTest, ASecondStartDuringTheLoginRaisesTheLoginDialog)
{
    const QString exe = dir.filePath("Lindavo");
    SingleInstance instance(exe);
    ASSERT_TRUE(instance.claim());
    bool restored = false;
    startupCalls().login = [&](TfrmMain&) {
        QDialog login;
        QTimer::singleShot(0, &login, [&] {
            login.showMinimized();
            QProcess second;
            second.start(PROBE_PATH, {exe});
            EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
            EXPECT_EQ(second.readAllStandardOutput().trimmed(), "second");
            restored = QTest::qWaitFor([&] { return !login.isMinimized(); }, 5000);
            login.reject();
        });
        login.exec();
        return false;  // cancelled: the program ends
    };
    EXPECT_EQ(RunMainWindow(instance, exe), 1);
    EXPECT_TRUE(restored);
}

// The job history names the logged-in user by the abbreviation the program
// sets on its attachment: after the login, on the attachment a lost link is
// replaced with, and for whoever logs in again.
TEST_F(MainWindowTest, TheHistoryUserFollowsTheLoginAndTheAttachment)
{
    TfrmMain main(dir.filePath("Lindavo"));
    const auto state = [&main] {
        fb::Transaction t(main.IBDatabase(), {"read", "nowait"});
        fb::Query q(t);
        t.start();
        q.setSql("select rdb$get_context('USER_SESSION', 'LINDAVO_KTO'), current_connection from rdb$database");
        q.executeOneRow();
        const auto result = std::make_pair(q.value(0).toString(), q.value(1).toLongLong());
        q.close();
        t.commit();
        return result;
    };
    const auto [afterLogin, firstAttachment] = state();
    EXPECT_EQ(afterLogin, "AD");

    main.ReopenAfterLoss();
    const auto [afterReopen, secondAttachment] = state();
    EXPECT_NE(secondAttachment, firstAttachment);
    EXPECT_EQ(afterReopen, "AD");

    user = TUzivatel{4, "Peter", "PB", false};
    main.LoginAgain();
    EXPECT_EQ(state().first, "PB");
}
