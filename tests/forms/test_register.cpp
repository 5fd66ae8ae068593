// The register-window base over MERNE_JEDNOTKY: the standard statement, the
// toolbar keys in the grid, select mode, delete with the marked-only view,
// the remembered filter and slot bodies that fail.
#include "TestDatabase.h"
#include "controls/DbGridQDL.h"
#include "controls/RegisterRefresh.h"
#include "forms/FormRegister.h"
#include "framework/MainConnection.h"
#include "framework/SlotGuard.h"
#include "framework/TextHelpers.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/TempSettings.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TQDLColumn column(const char* field, const char* title, const char* orderBy)
{
    TQDLColumn c;
    c.FieldName = QString::fromUtf8(field);
    c.TitleCaption = QString::fromUtf8(title);
    c.OrderBy = QString::fromUtf8(orderBy);
    return c;
}

// A code list as small as they come: table, select list, columns, one filter
// line and the editor.
class TfrmTestJednotky : public TFormRegister {
    Q_OBJECT
public:
    TfrmTestJednotky()
        : TFormRegister({"merne_jednotky",
                         {"select a.jedin, a.skratka"},
                         {column("SKRATKA", "Skratka", "a.skratka"), column("JEDIN", "Číslo", "a.jedin")},
                         "Merné jednotky"})
    {
        eSkratka = new QLineEdit(pnlFilter);
        eSkratka->setObjectName("eSkratka");
        pnlFilter->layout()->addWidget(eSkratka);
        SetEditor([this](TFormDetails& d) {
            editorCalls << d;
            if (editorFails)
                throw std::runtime_error("editor failed");
            d.Result = TFormDetails::ResultCancel;
        });
    }

    QLineEdit* eSkratka;
    QList<TFormDetails> editorCalls;
    bool editorFails = false;

protected:
    void FilterLines(QStringList& lines, QVariantMap& params) override
    {
        if (IsBlank(eSkratka->text(), true))
            return;
        lines << "AND UPPERQDL2(A.SKRATKA) CONTAINING :SKRATKA";
        params.insert("SKRATKA", ToPlainUpper(eSkratka->text()));
    }
};

class RegisterTest : public ::testing::Test {
protected:
    RegisterTest()
    {
        setMainConnection(&db.connection());
        db.exec({"delete from merne_jednotky"});
        for (int i = 1; i <= 5; ++i)
            db.exec({QStringLiteral("insert into merne_jednotky (jedin, skratka) values (%1, 'j%1')").arg(i)});
    }
    ~RegisterTest() override { setMainConnection(nullptr); }

    // The window shown and filled, as its run would do before going modal.
    void open(TfrmTestJednotky& w)
    {
        w.Prepare();
        w.LoadSettings();
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        w.gr1->DisplayGrid();
        w.gr1->setFocus();
    }
    qlonglong count(const QString& sql) { return db.scalar(sql).toLongLong(); }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript{msg::No};
};

}  // namespace

TEST_F(RegisterTest, StandardStatement)
{
    TfrmTestJednotky w;
    open(w);
    const QStringList head{"select a.jedin, a.skratka", "from merne_jednotky a", "where 1=1"};
    const QStringList plain = head + QStringList{"order by", "a.skratka,a.jedin"};
    EXPECT_EQ(w.refresh().BuildSql(), plain);

    // The filter lines count only while the panel is shown.
    typeText(w.eSkratka, "Ľ");
    EXPECT_EQ(w.refresh().BuildSql(), plain);
    w.btnFilter->trigger();
    QVariantMap params;
    const QStringList filtered =
        head + QStringList{"AND UPPERQDL2(A.SKRATKA) CONTAINING :SKRATKA", "order by", "a.skratka,a.jedin"};
    EXPECT_EQ(w.refresh().BuildSql(&params), filtered);
    EXPECT_EQ(params, (QVariantMap{{"SKRATKA", "L"}}));
    w.btnFilter->trigger();

    // Marked only, descending, no active column.
    w.gr1->Locate("JEDIN", 4);
    w.gr1->CheckCurrent();
    w.gr1->Locate("JEDIN", 2);
    w.gr1->CheckCurrent();
    w.btnOznacene->trigger();
    w.btnSmer->trigger();
    w.gr1->SetActiveTitleIndex(0);
    const QStringList marked = head + QStringList{"and  a.jedin in (4,2)", "order by", "a.jedin DESC"};
    EXPECT_EQ(w.refresh().BuildSql(), marked);
    w.gr1->DisplayGrid();
    EXPECT_EQ(w.gr1->CountRecords(), 2);
    EXPECT_EQ(w.gr1->fieldValue("JEDIN").toInt(), 2) << "back on the record held";
    EXPECT_EQ(w.statusText(), "Záznamov: 2   Označených: 2");
}

TEST_F(RegisterTest, ToolbarKeysInTheGrid)
{
    TfrmTestJednotky w;
    open(w);
    const auto press = [&](int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(w.gr1, Qt::Key(key), mods);
    };
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        int editorMode;  // 0: no editor
    };
    const Case cases[] = {
        {"P adds", Qt::Key_P, Qt::NoModifier, TFormDetails::Insert},
        {"F2 adds", Qt::Key_F2, Qt::NoModifier, TFormDetails::Insert},
        {"Ctrl+P does not", Qt::Key_P, Qt::ControlModifier, 0},
        {"Shift+F2 does not", Qt::Key_F2, Qt::ShiftModifier, 0},
        {"O edits", Qt::Key_O, Qt::NoModifier, TFormDetails::Edit},
        {"F4 edits", Qt::Key_F4, Qt::NoModifier, TFormDetails::Edit},
        {"Enter edits outside select mode", Qt::Key_Return, Qt::NoModifier, TFormDetails::Edit},
        {"Alt+O does not", Qt::Key_O, Qt::AltModifier, 0},
        {"K: no copy button in this window", Qt::Key_K, Qt::NoModifier, 0},
    };
    for (const Case& c : cases) {
        w.editorCalls.clear();
        press(c.key, c.mods);
        if (c.editorMode == 0) {
            EXPECT_TRUE(w.editorCalls.isEmpty()) << c.name;
        } else {
            ASSERT_EQ(w.editorCalls.size(), 1) << c.name;
            EXPECT_EQ(w.editorCalls[0].Mode, c.editorMode) << c.name;
        }
    }

    // Only while the button is enabled.
    w.btnPridaj->setEnabled(false);
    w.editorCalls.clear();
    press(Qt::Key_P);
    EXPECT_TRUE(w.editorCalls.isEmpty());

    press(Qt::Key_A);
    EXPECT_EQ(w.refresh().direction, " DESC");
    press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w.refresh().direction, " DESC");

    press(Qt::Key_F);
    EXPECT_TRUE(w.btnFilter->isChecked());
    EXPECT_FALSE(w.pnlFilter->isHidden());
    w.btnFilter->trigger();
    w.gr1->setFocus();

    db.exec({"insert into merne_jednotky (jedin, skratka) values (6, 'j6')"});
    press(Qt::Key_R);
    EXPECT_EQ(w.gr1->CountRecords(), 6);

    w.gr1->CheckCurrent();
    press(Qt::Key_Asterisk, Qt::KeypadModifier);
    EXPECT_TRUE(w.btnOznacene->isChecked());
    EXPECT_EQ(w.gr1->CountRecords(), 1);
    press(Qt::Key_Slash, Qt::KeypadModifier);
    EXPECT_FALSE(w.btnOznacene->isChecked());
    EXPECT_EQ(w.gr1->CountRecords(), 6);

    w.gr1->ClearChecked();
    transcript.clear();
    press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(transcript.count(), 0);
    press(Qt::Key_F8);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Naozaj vymazať označený záznam?");  // answered No
    w.btnVymaz->setEnabled(false);
    press(Qt::Key_Delete);
    EXPECT_EQ(transcript.count(), 1);
}

TEST_F(RegisterTest, SelectModeReturnsTheChosenJedin)
{
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers mods;
        int result;
        QVariant current;
    };
    const Case cases[] = {
        {"Enter", Qt::Key_Return, Qt::NoModifier, TFormDetails::ResultOk, 4},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, TFormDetails::ResultOk, 4},
        {"F12", Qt::Key_F12, Qt::NoModifier, TFormDetails::ResultOk, 4},
        {"Esc", Qt::Key_Escape, Qt::NoModifier, TFormDetails::ResultCancel, 2},
    };
    for (const Case& c : cases) {
        TFormDetails d;
        InitDetails(d, TFormDetails::Select, {}, 2);
        bool ran = false;
        onNextModal([&](QWidget* modal) {
            auto* w = qobject_cast<TfrmTestJednotky*>(modal);
            ASSERT_NE(w, nullptr);
            ran = true;
            EXPECT_EQ(w->gr1->fieldValue("JEDIN").toInt(), 2) << "on Current";
            w->gr1->Locate("JEDIN", 4);
            w->gr1->setFocus();
            QTest::keyClick(w->gr1, Qt::Key(c.key), c.mods);
            if (w->isVisible()) {
                ADD_FAILURE() << c.name << " left the window open";
                w->done(TFormDetails::ResultCancel);
            }
        });
        RunViewer<TfrmTestJednotky>(d);
        EXPECT_TRUE(ran) << c.name;
        EXPECT_EQ(d.result(), c.result) << c.name;
        EXPECT_EQ(d.Current.toInt(), c.current.toInt()) << c.name;
    }
}

TEST_F(RegisterTest, DeleteReleasesTheMarkedOnlyView)
{
    TfrmTestJednotky w;
    open(w);
    for (int key : {2, 5}) {
        w.gr1->Locate("JEDIN", key);
        w.gr1->CheckCurrent();
    }
    w.btnOznacene->trigger();
    ASSERT_EQ(w.gr1->CountRecords(), 2);
    DialogTranscript yes(msg::Yes);
    EXPECT_TRUE(w.DeleteAction());
    EXPECT_EQ(count("select count(*) from merne_jednotky"), 3);
    EXPECT_FALSE(w.btnOznacene->isChecked());
    EXPECT_EQ(ActionImage(w.btnOznacene), 7);
    EXPECT_EQ(w.gr1->CountRecords(), 3) << "the whole list again";
    EXPECT_EQ(yes.count(), 1) << "no notice about missing marks";

    // Nothing deleted (answered No): the view stays.
    w.gr1->Locate("JEDIN", 3);
    w.gr1->CheckCurrent();
    w.btnOznacene->trigger();
    DialogTranscript no(msg::No);
    EXPECT_FALSE(w.DeleteAction());
    EXPECT_TRUE(w.btnOznacene->isChecked());
}

TEST_F(RegisterTest, FilterPanelIsRemembered)
{
    {
        TfrmTestJednotky w;
        open(w);
        EXPECT_FALSE(w.btnFilter->isChecked());
        EXPECT_TRUE(w.pnlFilter->isHidden());
        w.btnFilter->trigger();
        typeText(w.eSkratka, "j3");
        w.SaveSettings();
    }
    TfrmTestJednotky w;
    open(w);
    EXPECT_EQ(w.ReadSetting("btnFilter.Down", 0), 1);
    EXPECT_TRUE(w.btnFilter->isChecked());
    EXPECT_EQ(ActionImage(w.btnFilter), 18);
    EXPECT_FALSE(w.pnlFilter->isHidden());
    EXPECT_EQ(w.eSkratka->text(), "j3");
    EXPECT_EQ(w.gr1->CountRecords(), 1) << "the filter is in force";

    w.btnFilter->trigger();
    w.SaveSettings();
    EXPECT_EQ(w.ReadSetting("btnFilter.Down", 1), 0);
}

TEST_F(RegisterTest, AFailingActionGoesToTheUnexpectedErrorHandler)
{
    QList<QString> errors;
    setUnexpectedErrorHandler([&](std::exception_ptr e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            errors << QString::fromUtf8(x.what());
        }
    });
    TfrmTestJednotky w;
    open(w);
    w.editorFails = true;
    QTest::keyClick(w.gr1, Qt::Key_P);
    w.btnOprav->trigger();
    EXPECT_EQ(errors, (QList<QString>{"editor failed", "editor failed"}));
    EXPECT_EQ(w.gr1->CountRecords(), 5) << "the window goes on";
    setUnexpectedErrorHandler({});
}

#include "test_register.moc"
