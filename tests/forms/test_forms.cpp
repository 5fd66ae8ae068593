// The window base classes: fitting to the screen, no-wait transactions,
// placement and settings across restarts, and the editor protocol driven with
// real keys through a small units editor over a migrated database.
#include "TestDatabase.h"
#include "controls/DbGridQDL.h"
#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/ListToolbar.h"
#include "controls/RegisterRefresh.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "forms/FormEditor.h"
#include "forms/FormViewer.h"
#include "framework/MainConnection.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"
#include "framework/WindowPlacement.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/TempSettings.h"
#include "support/Typing.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// ---- a small editor and register over MERNE_JEDNOTKY ---------------------------

class TfrmTestJednotka : public TFormEditor {
    Q_OBJECT
public:
    TfrmTestJednotka()
    {
        eSkratka = new TIBEdit(this);
        eSkratka->setObjectName(QStringLiteral("eSkratka"));
        eSkratka->setRequired(true);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(eSkratka);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(btnZapis);
        buttons->addWidget(btnDalsi);
        buttons->addWidget(btnNezapis);
        layout->addLayout(buttons);
        SetTabOrder({eSkratka, btnZapis, btnDalsi, btnNezapis});
    }

    TIBEdit* eSkratka;

protected:
    QString captionFor(std::uint8_t mode) const override
    {
        return mode == TFormDetails::Insert ? "Pridaj" : mode == TFormDetails::Copy ? "Kopíruj" : "Oprav";
    }
    bool LoadRecord(fb::Transaction& tr) override
    {
        fb::Query q(tr);
        q.setSql("select skratka from merne_jednotky where jedin=:JEDIN");
        q.setParam("JEDIN", Current);
        q.execute();
        if (!q.next())
            return false;
        eSkratka->setText(q.value(0).toString());
        return true;
    }
    void SaveRecord(fb::Transaction& tr, bool isNew) override
    {
        fb::Query q(tr);
        q.setSql(QString(isNew ? "insert into merne_jednotky (jedin, skratka) values (:JEDIN, :SKRATKA)"
                               : "update merne_jednotky set skratka=:SKRATKA where jedin=:JEDIN"));
        q.setParam("JEDIN", Current);
        q.setParam("SKRATKA", eSkratka->text());
        q.execute();
    }
    QString sequenceName() const override { return "MERNE_JEDNOTKY_ID"; }
};

class TTestViewer : public TFormViewer {
    Q_OBJECT
public:
    TTestViewer()
    {
        grid = new TDbGridQDL(this);
        grid->setObjectName("gr1");
        (new QVBoxLayout(this))->addWidget(grid);
        TQDLColumn jedin;
        jedin.FieldName = "JEDIN";
        jedin.TitleCaption = "Číslo";
        TQDLColumn skratka;
        skratka.FieldName = "SKRATKA";
        skratka.TitleCaption = "Skratka";
        grid->SetColumns({jedin, skratka});
        grid->SetActiveTitleIndex(1);
    }
    void Prepare() override
    {
        refresh = std::make_unique<TRegisterRefresh>(grid, QStringList{"select a.jedin, a.skratka"},
                                                     "merne_jednotky");
        grid->OnDisplayGrid = [this] { refresh->Refresh(); };
    }
    void SetDetails(TFormDetails& d) override
    {
        RunModal(
            d,
            [this] {
                grid->DisplayGrid();
                if (Current.isValid())
                    grid->Locate("JEDIN", Current);
            },
            [this] { return grid->fieldValue("JEDIN"); });
    }
    TDbGridQDL* grid;
    std::unique_ptr<TRegisterRefresh> refresh;
};

// Drives the editors that open one after another: step i runs on the i-th.
class EditorScript {
public:
    using Step = std::function<void(TfrmTestJednotka*)>;
    explicit EditorScript(QList<Step> steps) : m_steps(std::move(steps)) { next(); }
    int ran() const { return m_ran; }

private:
    void next()
    {
        if (m_ran >= m_steps.size())
            return;
        onNextModal([this](QWidget* w) {
            auto* editor = qobject_cast<TfrmTestJednotka*>(w);
            ASSERT_NE(editor, nullptr);
            const Step step = m_steps[m_ran++];
            next();
            step(editor);
        });
    }
    QList<Step> m_steps;
    int m_ran = 0;
};

// A key to the editor's own focus widget, whether or not the editor is the active window.
void pressIn(QWidget* editor, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = editor->focusWidget() ? editor->focusWidget() : editor;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

class EditorTest : public ::testing::Test {
protected:
    EditorTest()
    {
        setMainConnection(&db.connection());
        db.exec({"delete from merne_jednotky"});
    }
    ~EditorTest() override { setMainConnection(nullptr); }

    QStringList units()
    {
        fb::Transaction tr(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
        fb::Query q(tr);
        tr.start();
        q.setSql("select skratka from merne_jednotky order by jedin");
        q.execute();
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        tr.commit();
        return out;
    }
    qint64 insertUnit(const QString& skratka)
    {
        fb::Transaction tr(db.connection(), {"write", "nowait"});
        fb::Query q(tr);
        tr.start();
        q.setSql("insert into merne_jednotky (skratka) values (:S) returning jedin");
        q.setParam("S", skratka);
        q.execute();
        const qint64 id = q.value(0).toLongLong();
        tr.commit();
        return id;
    }
    // Another workstation changes the unit and holds the row until release().
    struct RowLock {
        std::unique_ptr<fb::Connection> connection;
        std::unique_ptr<fb::Transaction> transaction;
        void release() { transaction->rollback(); }
    };
    RowLock lockUnit(qint64 id)
    {
        RowLock lock{db.openSecond(), nullptr};
        lock.transaction = std::make_unique<fb::Transaction>(*lock.connection, QStringList{"write", "nowait"});
        fb::Query q(*lock.transaction);
        lock.transaction->start();
        q.setSql("update merne_jednotky set skratka='x' where jedin=:J");
        q.setParam("J", id);
        q.execute();
        return lock;
    }
    // The register's list: standard refresh over the units.
    static void openList(TTestViewer& viewer)
    {
        viewer.Prepare();
        viewer.grid->DisplayGrid();
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript;
};

const auto runUnitEditor = [](TFormDetails& d) { RunEditor<TfrmTestJednotka>(d); };

}  // namespace

// ---- pure rules ---------------------------------------------------------------------

TEST(FitToScreen, ShrinksAndCentresOnlyWhatIsOff)
{
    const QSize screen(1024, 768);
    struct Case {
        const char* name;
        QRect in;
        QRect out;
    } cases[] = {
        {"inside stays", {10, 20, 400, 300}, {10, 20, 400, 300}},
        {"touching the right edge stays", {624, 0, 400, 768}, {624, 0, 400, 768}},
        {"too wide and high: screen size, at 0,0", {50, 50, 2000, 900}, {0, 0, 1024, 768}},
        {"negative left centred, top kept", {-5, 100, 400, 300}, {312, 100, 400, 300}},
        {"right edge beyond: centred", {700, 100, 400, 300}, {312, 100, 400, 300}},
        {"left beyond the screen", {5000, 5000, 400, 301}, {312, 233, 400, 301}},
        {"odd difference rounds toward zero", {-1, -1, 1023, 767}, {0, 0, 1023, 767}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitToScreen(c.in, screen), c.out) << c.name;
}

// The one placement store of the dialogs and small windows: a window left on a
// larger screen comes back onto this one; a size is used only where asked.
TEST(WindowPlacement, StoredPlacesComeBackOntoTheScreen)
{
    TempSettings settings;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QWidget window;
    window.resize(300, 200);
    EXPECT_FALSE(RestorePlacement(&window, "Okno"));  // nothing stored: left where it is

    window.move(40, 30);
    StorePlacement(&window, "Okno", Placement::PositionAndSize);
    QWidget again;
    again.resize(100, 100);
    EXPECT_TRUE(RestorePlacement(&again, "Okno"));
    EXPECT_EQ(again.pos(), QPoint(40, 30));
    EXPECT_EQ(again.size(), QSize(100, 100));  // only the position was asked for
    EXPECT_TRUE(RestorePlacement(&again, "Okno", Placement::PositionAndSize));
    EXPECT_EQ(again.size(), QSize(300, 200));

    writeUserInt("Okno", "Left", screen.width() + 500);  // a second monitor that is gone
    writeUserInt("Okno", "Width", 20);                   // a size nobody can use
    QWidget off;
    off.resize(300, 200);
    EXPECT_TRUE(RestorePlacement(&off, "Okno", Placement::PositionAndSize));
    EXPECT_EQ(off.size(), QSize(300, 200));
    EXPECT_EQ(off.geometry(), FitToScreen(QRect(QPoint(screen.width() + 500, 30), QSize(300, 200)), screen));
    EXPECT_TRUE(QRect(QPoint(0, 0), screen).contains(off.geometry()));
}

TEST(ForceNoWait, ParameterLines)
{
    struct Case {
        QStringList in;
        QStringList out;
    } cases[] = {
        {{"read_committed", "rec_version", "wait", "read"}, {"read_committed", "rec_version", "NOWAIT", "read"}},
        {{"read_committed", "rec_version", "read"}, {"read_committed", "rec_version", "read", "NOWAIT"}},
        {{}, {"NOWAIT"}},
        {{"write", "nowait"}, {"write", "nowait"}},
        {{"Wait", "lock_timeout=5"}, {"NOWAIT", "lock_timeout=5"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ForceNoWaitParams(c.in), c.out) << c.in.join(',').toStdString();
}

TEST_F(EditorTest, OwnedTransactionNeverWaitsForALock)
{
    const qint64 id = insertUnit("ks");
    RowLock lock = lockUnit(id);

    TTestViewer viewer;
    fb::Transaction tr(db.connection(), {"write", "wait"});
    viewer.OwnTransaction(tr);
    EXPECT_EQ(tr.params(), (QStringList{"write", "NOWAIT"}));
    fb::Query q(tr);
    tr.start();
    q.setSql("update merne_jednotky set skratka='y' where jedin=:J");
    q.setParam("J", id);
    EXPECT_THROW(q.execute(), std::exception);  // at once, not after the other commits
    tr.rollback();
    lock.release();
}

// ---- placement and settings -----------------------------------------------------------

TEST(Placement, SurvivesARestartAndOffScreenIsCentred)
{
    TempSettings settings;
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    {
        TTestViewer w;
        w.resize(300, 200);
        w.show();
        w.move(40, 50);
        w.resize(320, 210);
        w.WriteSetting("btnFilter.Down", 1);
        w.WriteSetting("eMeno", "Nováková");
        EXPECT_EQ(w.settingsSection(), "Software\\" + QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()
                                           + "\\TTestViewer");
    }
    {
        TTestViewer w;
        w.show();
        EXPECT_EQ(w.pos(), QPoint(40, 50));
        EXPECT_EQ(w.size(), QSize(320, 210));
        EXPECT_EQ(w.ReadSetting("btnFilter.Down", 0), 1);
        EXPECT_EQ(w.ReadSetting("eMeno", ""), "Nováková");
        EXPECT_EQ(w.ReadSetting("chýba", 7), 7);
        EXPECT_EQ(readUserInt(w.settingsSection(), "FormVersion", -1), 0);
        // moved off the screen before the next run
        writeUserInt(w.settingsSection(), "Left", screen.width() + 100);
        writeUserInt(w.settingsSection(), "Top", -30);
        w.hide();
    }
    {
        TTestViewer w;
        auto s = userSettings();
        s->beginGroup(settingsGroup(w.settingsSection()));
        s->setValue("Left", screen.width() + 100);
        s->setValue("Top", -30);
        s->sync();
        w.show();
        EXPECT_EQ(w.pos(), QPoint((screen.width() - 320) / 2, (screen.height() - 210) / 2));
    }
    {
        // larger than the screen: shrunk to it
        TTestViewer w;
        w.resize(screen.width() + 400, screen.height() + 300);
        auto s = userSettings();
        s->beginGroup(settingsGroup(w.settingsSection()));
        s->setValue("Width", screen.width() + 400);
        s->setValue("Height", screen.height() + 300);
        s->sync();
        w.show();
        EXPECT_EQ(w.size(), screen);
        EXPECT_EQ(w.pos(), QPoint(0, 0));
    }
}

TEST(Viewer, IsTheMainWindowWhileItExists)
{
    QWidget home;
    SetMainWindow(&home);
    {
        TTestViewer outer;
        EXPECT_EQ(MainWindow(), &outer);
        {
            TTestViewer inner;
            EXPECT_EQ(MainWindow(), &inner);
            EXPECT_EQ(inner.previousMainWindow(), &outer);
        }
        EXPECT_EQ(MainWindow(), &outer);
    }
    EXPECT_EQ(MainWindow(), &home);
    SetMainWindow(nullptr);
}

TEST(FormUni, ClearControlsFocusAndSelectNext)
{
    TFormUni w;
    auto* layout = new QVBoxLayout(&w);
    auto* label = new QLabel("x", &w);
    auto* edit = new TIBEdit(&w);
    auto* amount = new TIBCurrencyEdit(&w);
    auto* date = new TIBDate(&w);
    auto* memo = new TIBMemo(&w);
    auto* check = new TIBCheckBox(&w);
    auto* plain = new QLineEdit(&w);
    for (QWidget* c : std::initializer_list<QWidget*>{label, edit, amount, date, memo, check, plain})
        layout->addWidget(c);
    edit->setText("abc");
    amount->setValue(12.5L);
    date->setDate(QDate(2026, 12, 10));
    memo->setPlainText("poznámka");
    check->setChecked(true);
    plain->setText("x");
    w.ClearControls();
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(amount->Value(), 0);
    EXPECT_TRUE(date->IsEmpty()) << date->text().toStdString();
    EXPECT_EQ(memo->toPlainText(), "");
    EXPECT_FALSE(check->isChecked());
    EXPECT_EQ(plain->text(), "");

    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::focusWidget(), edit);  // the label takes no focus
    w.SelectNextFrom(edit);
    EXPECT_EQ(QApplication::focusWidget(), amount);
}

TEST(FormUni, MakeReadOnly)
{
    TFormEditor w;
    auto* layout = new QVBoxLayout(&w);
    auto* edit = new TIBEdit(&w);
    auto* combo = new TIBComboBox(&w);
    auto* check = new TIBCheckBox(&w);
    auto* tool = new QToolButton(&w);
    auto* other = new TQDLBtn("Tlač", &w);
    for (QWidget* c : std::initializer_list<QWidget*>{edit, combo, check, tool, other, w.btnZapis, w.btnDalsi,
                                                      w.btnNezapis})
        layout->addWidget(c);
    MakeReadOnly(&w);
    EXPECT_TRUE(edit->ReadOnly());
    EXPECT_TRUE(combo->ReadOnly());
    EXPECT_FALSE(check->isEnabled());
    EXPECT_FALSE(tool->isEnabled());
    EXPECT_FALSE(other->isEnabled());
    EXPECT_TRUE(w.btnZapis->isEnabled());
    EXPECT_TRUE(w.btnDalsi->isEnabled());
    EXPECT_TRUE(w.btnNezapis->isEnabled());
    EXPECT_TRUE(w.btnNezapis->isHidden());
}

// ---- the editor protocol -------------------------------------------------------------

TEST_F(EditorTest, RegisterInSelectModeReturnsTheChosenRow)
{
    insertUnit("a");
    const qint64 b = insertUnit("b");
    const qint64 c = insertUnit("c");
    TFormDetails d;
    InitDetails(d, TFormDetails::Select, {}, b);
    d.Text = "Výber jednotky";
    onNextModal([](QWidget* w) {
        auto* viewer = qobject_cast<TTestViewer*>(w);
        ASSERT_NE(viewer, nullptr);
        EXPECT_EQ(viewer->windowTitle(), "Výber jednotky");
        EXPECT_EQ(viewer->grid->fieldValue("SKRATKA").toString(), "b");  // positioned on Current
        viewer->grid->setCurrentRow(2);
        viewer->done(TFormDetails::ResultOk);
    });
    RunViewer<TTestViewer>(d);
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_EQ(d.Current, QVariant(c));

    onNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });  // the close box's way out
    RunViewer<TTestViewer>(d);
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
    EXPECT_EQ(d.Current, QVariant(c));
}

TEST_F(EditorTest, AddLoopWithNextCreatesRecordsUntilOk)
{
    TTestViewer viewer;
    viewer.Parent = 77;
    openList(viewer);
    QList<QVariant> parents;
    EditorScript script({
        [](TfrmTestJednotka* e) {
            EXPECT_EQ(e->windowTitle(), "Pridaj");
            EXPECT_EQ(e->focusWidget(), e->eSkratka) << e->focusWidget()->objectName().toStdString();
            EXPECT_FALSE(e->nextInTabOrder());
            typeText(e->eSkratka, "ks");
            pressIn(e, Qt::Key_F11);
        },
        [](TfrmTestJednotka* e) {
            EXPECT_EQ(e->eSkratka->text(), "");  // a fresh editor
            EXPECT_TRUE(e->nextInTabOrder());    // the state travels on
            typeText(e->eSkratka, "hod");
            e->btnDalsi->click();
        },
        [](TfrmTestJednotka* e) {
            typeText(e->eSkratka, "strana");
            pressIn(e, Qt::Key_F12);
        },
    });
    AddRecords(viewer, viewer.grid, runUnitEditor, [&](TFormDetails& d) { parents << d.Parent; });
    EXPECT_EQ(script.ran(), 3);
    EXPECT_EQ(units(), (QStringList{"ks", "hod", "strana"}));
    EXPECT_EQ(parents, (QList<QVariant>{77, 77, 77}));
    EXPECT_EQ(viewer.grid->fieldValue("SKRATKA").toString(), "strana");  // on the last saved record
    EXPECT_EQ(transcript.count(), 0);
}

TEST_F(EditorTest, EditLoopWithNextWalksTheListAndEndsOnTheLastRow)
{
    for (const char* s : {"a", "b", "c"})
        insertUnit(s);
    TTestViewer viewer;
    openList(viewer);
    viewer.grid->setCurrentRow(0);
    EditorScript script({
        [](TfrmTestJednotka* e) {
            EXPECT_EQ(e->windowTitle(), "Oprav");
            EXPECT_EQ(e->eSkratka->text(), "a");
            e->eSkratka->selectAll();
            typeText(e->eSkratka, "a2");
            pressIn(e, Qt::Key_F11);
        },
        [](TfrmTestJednotka* e) {
            EXPECT_EQ(e->eSkratka->text(), "b");
            pressIn(e, Qt::Key_F11);
        },
        [](TfrmTestJednotka* e) {
            EXPECT_EQ(e->eSkratka->text(), "c");
            e->eSkratka->selectAll();
            typeText(e->eSkratka, "c2");
            pressIn(e, Qt::Key_F11);  // the last row: no further editor
        },
    });
    int runs = 0;
    EditRecords(viewer, viewer.grid, [&](TFormDetails& d) {
        if (++runs > 3) {
            ADD_FAILURE() << "an editor past the last row";
            d.Result = 2;
            return;
        }
        runUnitEditor(d);
    });
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(units(), (QStringList{"a2", "b", "c2"}));
}

TEST_F(EditorTest, KeysCancelCheckAndSwallowedEnter)
{
    const qint64 id = insertUnit("ks");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, id);
    d.ShowNext = false;
    bool sawEditor = false;
    EditorScript script({[&](TfrmTestJednotka* e) {
        sawEditor = true;
        EXPECT_TRUE(e->btnDalsi->isHidden());
        e->eSkratka->selectAll();
        typeText(e->eSkratka, "kus");
        pressIn(e, Qt::Key_F11);  // hidden: nothing
        pressIn(e, Qt::Key_Return);
        pressIn(e, Qt::Key_F12, Qt::ShiftModifier);
        pressIn(e, Qt::Key_Escape, Qt::ControlModifier);
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(e->focusWidget(), e->eSkratka);  // Enter did not move on
        e->eSkratka->clear();
        pressIn(e, Qt::Key_F12);  // required: refused, stays open
        EXPECT_TRUE(e->isVisible());
        pressIn(e, Qt::Key_Escape);
    }});
    RunEditor<TfrmTestJednotka>(d);
    EXPECT_TRUE(sawEditor);
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
    EXPECT_FALSE(d.Current.isValid());
    EXPECT_EQ(units(), QStringList{"ks"});
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains("Povinný údaj")) << transcript.last().text.toStdString();
}

TEST_F(EditorTest, GoneRecordCopyAndFailedSave)
{
    const qint64 id = insertUnit("ks");

    // deleted by someone else before the editor opens
    TFormDetails gone;
    InitDetails(gone, TFormDetails::Edit, {}, id + 100);
    RunEditor<TfrmTestJednotka>(gone);
    EXPECT_NE(gone.result(), TFormDetails::ResultOk);
    EXPECT_FALSE(gone.Current.isValid());
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().type, msg::Information);
    EXPECT_TRUE(transcript.last().text.contains("Záznam bol vymazaný iným užívateľom v sieti !"));
    transcript.clear();

    // copy: the loaded values saved under a new number from the sequence
    TFormDetails copy;
    InitDetails(copy, TFormDetails::Copy, {}, id);
    EditorScript copyScript({[](TfrmTestJednotka* e) {
        EXPECT_EQ(e->windowTitle(), "Kopíruj");
        pressIn(e, Qt::Key_F12);
    }});
    RunEditor<TfrmTestJednotka>(copy);
    EXPECT_EQ(copy.result(), TFormDetails::ResultOk);
    EXPECT_GT(copy.Current.toLongLong(), id);
    EXPECT_EQ(units(), (QStringList{"ks", "ks"}));

    // a save that meets a lock: reported, nothing lost, the editor stays open
    RowLock lock = lockUnit(id);
    TFormDetails edit;
    InitDetails(edit, TFormDetails::Edit, {}, id);
    EditorScript editScript({[&](TfrmTestJednotka* e) {
        e->eSkratka->selectAll();
        typeText(e->eSkratka, "kus");
        pressIn(e, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(e->eSkratka->text(), "kus");
        EXPECT_EQ(e->Current, QVariant(id));
        lock.release();
        pressIn(e, Qt::Key_F12);  // now it goes through
    }});
    RunEditor<TfrmTestJednotka>(edit);
    EXPECT_EQ(edit.result(), TFormDetails::ResultOk);
    EXPECT_EQ(edit.Current, QVariant(id));
    EXPECT_EQ(units(), (QStringList{"kus", "ks"}));
    ASSERT_EQ(transcript.count(), 1);  // the conflict, in Slovak
}


#include "test_forms.moc"
