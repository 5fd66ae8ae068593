// The main window: its layout, what each button opens with which call record,
// hiding while a window runs, and closing with and without ShiftForClose.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/LindavoApplication.h"
#include "app/UnexpectedError.h"
#include "app/Version.h"
#include "app/fMain.h"
#include "controls/QDLBtn.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"
#include "platform/SingleInstance.h"

#include <QDialog>
#include <QLabel>
#include <QProcess>
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
};

}  // namespace

TEST_F(MainWindowTest, LayoutHeadingAndButtonsWithoutTheirWindows)
{
    TfrmMain main(dir.filePath("Lindavo"));
    main.show();
    EXPECT_EQ(main.size(), QSize(349, 443));
    EXPECT_EQ(main.minimumSize(), main.maximumSize());
    EXPECT_EQ(main.palette().color(QPalette::Window), QColor(192, 220, 192));
    EXPECT_EQ(main.JvHotLinkApplicationName->text(), "Lindavo - verzia " + VersionText());
    EXPECT_EQ(main.lblUzivatel->text(), "Správca");
    const QList<TQDLBtn*> buttons = {main.btnPreklady,      main.btnObjednavatelia, main.btnPrekladatelia,
                                     main.btnJazykoveKombinacie, main.btnMerneJednotky, main.btnUzivatelia,
                                     main.btnZalohovanie};
    const QStringList captions = {"&Lindavo",
                                  "&Objednávatelia",
                                  "&Prekladatelia",
                                  "Číselník jazykových kombinácií",
                                  "Číselník merných jednotiek",
                                  "Používatelia",
                                  "&Zálohovanie databázy"};
    for (int i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(buttons[i]->text(), captions[i]);
        EXPECT_EQ(buttons[i]->geometry(), QRect(4, 112 + 44 * i, 341, 41)) << i;
        EXPECT_EQ(buttons[i]->iconSize(), QSize(32, 32));
        EXPECT_TRUE(buttons[i]->isVisible());
        EXPECT_FALSE(buttons[i]->isEnabled());  // no window installed
    }
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
                       main.btnMerneJednotky, main.btnUzivatelia, main.btnPreklady, main.btnZalohovanie})
        b->click();
    ASSERT_EQ(calls.size(), 7);
    const QStringList targets = {"adresar", "adresar", "jazykoveKombinacie", "merneJednotky", "uzivatelia",
                                 "preklady", "zalohovanie"};
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
        execOther({"delete from database_updates where version > 102",
                   "insert into temp_spracuj (jedin, cislo, zaradenie, connection_id)"
                   " values (gen_id(temp_spracuj_id, 1), 1, 'K', 1)"});
        if (newer)
            execOther({"insert into database_updates (version, updated) values (103, current_timestamp)"});
        transcript.clear();
        {
            TfrmMain main(dir.filePath("Lindavo"));
            EXPECT_EQ(main.terminated(), newer);
        }
        if (newer) {
            ASSERT_EQ(transcript.count(), 1);
            EXPECT_EQ(transcript.last().text, FormatMessageText(LoadMessageText("ERR3009"), {103, 102}));
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
                    execOther({"insert into database_updates (version, updated) values (103, current_timestamp)"});
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
            EXPECT_EQ(transcript.last().text, FormatMessageText(LoadMessageText("ERR3009"), {103, 102}));
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
