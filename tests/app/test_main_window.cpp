// The main window: its layout, what each button opens with which call record,
// hiding while a window runs, and closing with and without ShiftForClose.
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/Version.h"
#include "app/fMain.h"
#include "controls/QDLBtn.h"

#include <QLabel>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

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
            return [this, name, &main] { calls << Call{name, {}, main->isVisible()}; };
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
    EXPECT_EQ(main.size(), QSize(349, 421));
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
