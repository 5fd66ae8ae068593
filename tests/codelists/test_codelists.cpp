// Language combinations and units of measure: the folded filter, the filter
// panel across openings, the add loop with "Ď&alší", marked delete, the
// refusal to delete what a job or a rate still uses, the pick and the add
// entries other windows call.
#include "TestDatabase.h"
#include "codelists/fCJazykoveKombinacie.h"
#include "codelists/fCJazykoveKombinaciePridaj.h"
#include "codelists/fCMerneJednotky.h"
#include "codelists/fCMerneJednotkyPridaj.h"
#include "controls/DbGridQDL.h"
#include "controls/IBCheckBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "controls/RegisterRefresh.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/ErrorTranslation.h"
#include "framework/MainConnection.h"
#include "framework/SlotGuard.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/QtPrinters.h"
#include "support/TempSettings.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CodeListTest : public ::testing::Test {
protected:
    CodeListTest()
    {
        setMainConnection(&db.connection());
        setUnexpectedErrorHandler([this](std::exception_ptr) { ++unexpected; });
        db.exec({"delete from merne_jednotky", "delete from jazykove_kombinacie"});
    }
    ~CodeListTest() override
    {
        setUnexpectedErrorHandler({});
        setMainConnection(nullptr);
    }

    // The window shown and filled, as its run would do before going modal.
    void open(TFormRegister& w)
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
    QStringList column(TDbGridQDL* grid, const QString& field)
    {
        QStringList out;
        for (int row = 0; row < grid->CountRecords(); ++row)
            out << grid->gridModel()->fieldValue(row, field).toString();
        return out;
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript{msg::Yes};
    int unexpected = 0;
};

}  // namespace

TEST_F(CodeListTest, CombinationFilterFoldsCaseAndDiacriticsOnBothSides)
{
    db.exec(
        {"insert into jazykove_kombinacie (jedin, skratka, skupina, hodnoteny) values (1, 'ČS-EN', "
         "'slovanské', 1)",
         "insert into jazykove_kombinacie (jedin, skratka, skupina, hodnoteny) values (2, 'cs-de', "
         "'Západné', 0)",
         "insert into jazykove_kombinacie (jedin, skratka, skupina, hodnoteny) values (3, 'EN-DE', "
         "'západné', 0)"});
    TfrmCJazykoveKombinacie w;
    open(w);
    EXPECT_EQ(w.windowTitle(), "Číselník jazykových kombinácií");
    EXPECT_EQ(w.gr1->CountRecords(), 3);
    w.gr1->Locate("JEDIN", 1);
    EXPECT_EQ(w.gr1->fieldValue("HODNOTENY").toString(), "Áno");
    w.gr1->Locate("JEDIN", 2);
    EXPECT_EQ(w.gr1->fieldValue("HODNOTENY").toString(), "Nie");

    w.btnFilter->trigger();
    typeText(w.eSkratka, "cs");
    QVariantMap params;
    const QStringList sql = w.refresh().BuildSql(&params);
    EXPECT_TRUE(sql.contains("AND UPPERQDL2(A.SKRATKA) CONTAINING :SKRATKA")) << sql.join('\n').toStdString();
    EXPECT_EQ(params, (QVariantMap{{"SKRATKA", "CS"}}));
    w.gr1->DisplayGrid();
    QStringList found = column(w.gr1, "SKRATKA");
    found.sort();
    EXPECT_EQ(found, (QStringList{"cs-de", "ČS-EN"}));

    // Both lines together; the group is folded the same way.
    w.eSkratka->clear();
    typeText(w.eSkupina, "ZAPAD");
    w.gr1->DisplayGrid();
    EXPECT_EQ(w.gr1->CountRecords(), 2);
    typeText(w.eSkratka, "č");
    w.gr1->DisplayGrid();
    EXPECT_EQ(column(w.gr1, "SKRATKA"), QStringList{"cs-de"});
}

TEST_F(CodeListTest, FilterPanelAndTextsSurviveReopening)
{
    {
        TfrmCJazykoveKombinacie w;
        open(w);
        EXPECT_TRUE(w.pnlFilter->isHidden());
        w.btnFilter->trigger();
        typeText(w.eSkratka, "Šk");
        typeText(w.eSkupina, "g1");
        w.SaveSettings();
    }
    TfrmCJazykoveKombinacie w;
    open(w);
    EXPECT_TRUE(w.btnFilter->isChecked());
    EXPECT_FALSE(w.pnlFilter->isHidden());
    EXPECT_EQ(w.eSkratka->text(), "Šk");
    EXPECT_EQ(w.eSkupina->text(), "g1");

    // The units keep their own.
    TfrmCMerneJednotky units;
    open(units);
    EXPECT_TRUE(units.pnlFilter->isHidden());
    EXPECT_EQ(units.eSkratka->text(), "");
}

TEST_F(CodeListTest, ThreeUnitsWithNextThenCancelLeaveThreeOnTheThird)
{
    TfrmCMerneJednotky w;
    open(w);
    const QStringList typed = {"ks", "hod", "strana"};
    int editors = 0;
    std::function<void(QWidget*)> drive = [&](QWidget* modal) {
        auto* e = qobject_cast<TfrmCMerneJednotkyPridaj*>(modal);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->windowTitle(), "Pridanie mernej jednotky");
        EXPECT_EQ(e->eSkratka->text(), "") << "a new unit starts empty";
        const int n = editors++;
        if (n < typed.size()) {
            onNextModal(drive);
            typeText(e->eSkratka, typed[n]);
            QTest::keyClick(e->eSkratka, Qt::Key_F11);
        } else {
            QTest::keyClick(e->eSkratka, Qt::Key_Escape);
        }
    };
    onNextModal(drive);
    QTest::keyClick(w.gr1, Qt::Key_P);
    EXPECT_EQ(editors, 4);
    EXPECT_EQ(count("select count(*) from merne_jednotky"), 3);
    EXPECT_EQ(w.gr1->CountRecords(), 3);
    EXPECT_EQ(w.gr1->fieldValue("SKRATKA").toString(), "strana");
    EXPECT_EQ(unexpected, 0);
}

TEST_F(CodeListTest, EditingAUnitAndACombination)
{
    db.exec(
        {"insert into merne_jednotky (jedin, skratka) values (7, 'NS')",
         "insert into jazykove_kombinacie (jedin, skratka, skupina, hodnoteny) values (8, 'EN-SK', 'g', 0)"});
    TfrmCMerneJednotky units;
    open(units);
    onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<TfrmCMerneJednotkyPridaj*>(modal);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->windowTitle(), "Oprava mernej jednotky");
        EXPECT_EQ(e->eSkratka->text(), "NS");
        e->eSkratka->setText("NS 1800");
        QTest::keyClick(e->eSkratka, Qt::Key_F12);
    });
    QTest::keyClick(units.gr1, Qt::Key_F4);
    EXPECT_EQ(db.scalar("select skratka from merne_jednotky where jedin=7").toString(), "NS 1800");

    TfrmCJazykoveKombinacie combinations;
    open(combinations);
    onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<TfrmCJazykoveKombinaciePridaj*>(modal);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->windowTitle(), "Oprava jazykovej kombinácie");
        EXPECT_EQ(e->eSkupina->text(), "g");
        EXPECT_FALSE(e->eHodnoteny->isChecked());
        e->eHodnoteny->setChecked(true);
        e->eSkupina->clear();
        QTest::keyClick(e->eSkratka, Qt::Key_F12);
    });
    QTest::keyClick(combinations.gr1, Qt::Key_O);
    EXPECT_EQ(db.scalar("select hodnoteny from jazykove_kombinacie where jedin=8").toInt(), 1);
    EXPECT_EQ(db.scalar("select skupina is not null from jazykove_kombinacie where jedin=8").toBool(), true)
        << "an empty field is stored as '', not null";
    EXPECT_EQ(combinations.gr1->fieldValue("HODNOTENY").toString(), "Áno");
}

// A unit deleted by another workstation while it is being edited is reported
// and never brought back by the save.
TEST_F(CodeListTest, AUnitDeletedDuringItsEditIsNotBroughtBack)
{
    db.exec({"insert into merne_jednotky (jedin, skratka) values (7, 'NS')"});
    auto other = db.openSecond();
    DialogTranscript dialogs;
    TfrmCMerneJednotky units;
    open(units);
    bool stillOpen = false;
    onNextModal([&](QWidget* modal) {
        auto* e = qobject_cast<TfrmCMerneJednotkyPridaj*>(modal);
        ASSERT_NE(e, nullptr);
        fb::Transaction t(*other, {"write", "nowait"});
        t.start();
        fb::Query q(t);
        q.setSql("delete from merne_jednotky where jedin=7");
        q.execute();
        t.commit();
        e->eSkratka->setText("NS 1800");
        QTest::keyClick(e->eSkratka, Qt::Key_F12);
        stillOpen = e->isVisible();
        e->reject();
    });
    QTest::keyClick(units.gr1, Qt::Key_F4);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(db.scalar("select count(*) from merne_jednotky where jedin=7").toInt(), 0);
    ASSERT_GE(dialogs.count(), 1);
    EXPECT_TRUE(dialogs.requests().front().text.contains(QStringLiteral("vymazaný iným užívateľom")))
        << dialogs.requests().front().text.toStdString();
}

TEST_F(CodeListTest, MarkedDeleteOfTwoUnitsAsksOnceForAll)
{
    db.exec({"insert into merne_jednotky (jedin, skratka) values (1, 'a')",
             "insert into merne_jednotky (jedin, skratka) values (2, 'b')",
             "insert into merne_jednotky (jedin, skratka) values (3, 'c')"});
    TfrmCMerneJednotky w;
    open(w);
    for (int key : {1, 3}) {
        w.gr1->Locate("JEDIN", key);
        w.gr1->CheckCurrent();
    }
    QTest::keyClick(w.gr1, Qt::Key_Delete);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Naozaj vymazať všetky označené záznamy?");
    EXPECT_EQ(column(w.gr1, "SKRATKA"), QStringList{"b"});
    EXPECT_EQ(count("select count(*) from merne_jednotky"), 1);
}

TEST_F(CodeListTest, DeletingWhatAJobOrARateUsesIsRefusedWithAMessage)
{
    db.exec(
        {"insert into merne_jednotky (jedin, skratka) values (1, 'NS')",
         "insert into merne_jednotky (jedin, skratka) values (2, 'hod')",
         "insert into jazykove_kombinacie (jedin, skratka, hodnoteny) values (1, 'EN-SK', 0)",
         "insert into jazykove_kombinacie (jedin, skratka, hodnoteny) values (2, 'DE-SK', 0)",
         "insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
         "values (1, 0, 'Alfa', '', '', '', '')",
         // Unit 1 and combination 1 by a job, unit 2 and combination 2 by a rate.
         "insert into preklady (jedin, znacka, nazov, pm, datum_prijatia, termin, jazykova_kombinacia, "
         "objednavatel, obj_mj, obj_mena, obj_kurz, obj_koeficient, obj_rozsah) values (1, 'z', 'n', 'AD', "
         "'2026-03-02', '2026-03-20', 1, 1, 1, 'EUR', 1, 100, 1)",
         "insert into kombinacie (jedin, jazykova_kombinacia, adresar, cena, mena, mj) "
         "values (1, 2, 1, 10, 'EUR', 2)"});
    struct Case {
        const char* name;
        bool units;
        int key;
        int message;
    };
    const Case cases[] = {
        {"unit used by a job", true, 1, 2004},
        {"unit used by a rate", true, 2, 2004},
        {"combination used by a job", false, 1, 2003},
        {"combination used by a rate", false, 2, 2003},
    };
    for (const Case& c : cases) {
        transcript.clear();
        std::unique_ptr<TFormRegister> w;
        if (c.units)
            w = std::make_unique<TfrmCMerneJednotky>();
        else
            w = std::make_unique<TfrmCJazykoveKombinacie>();
        open(*w);
        ASSERT_TRUE(w->gr1->Locate("JEDIN", c.key)) << c.name;
        QTest::keyClick(w->gr1, Qt::Key_Delete);
        ASSERT_EQ(transcript.count(), 2) << c.name;
        EXPECT_TRUE(transcript.last().text.startsWith(QString("Hlásenie #%1").arg(c.message))) << c.name;
        EXPECT_EQ(transcript.last().type, msg::Warning) << c.name;
        EXPECT_EQ(w->gr1->CountRecords(), 2) << c.name;
        EXPECT_EQ(w->gr1->fieldValue("JEDIN").toInt(), c.key) << c.name;
    }
    EXPECT_EQ(unexpected, 0) << "an everyday refusal, not an unexpected error";
    EXPECT_EQ(count("select count(*) from merne_jednotky"), 2);
    EXPECT_EQ(count("select count(*) from jazykove_kombinacie"), 2);

    // The other direction (a job pointing at a combination that is gone) is
    // not "cannot delete": left to the unexpected-error handling.
    fb::Transaction tr(db.connection(), {"write", "nowait"});
    fb::Query q(tr);
    tr.start();
    q.setSql("update preklady set jazykova_kombinacia=99 where jedin=1");
    try {
        q.execute();
        ADD_FAILURE() << "the server accepted a missing combination";
    } catch (const fb::Error& e) {
        transcript.clear();
        EXPECT_EQ(TranslateDbError(e), 0);
        EXPECT_EQ(transcript.count(), 0);
    }
    tr.rollback();
}

TEST_F(CodeListTest, PickingACombinationReturnsItsJedin)
{
    for (int i = 1; i <= 3; ++i)
        db.exec({QString("insert into jazykove_kombinacie (jedin, skratka, hodnoteny) values (%1, 'K%1', 0)")
                     .arg(i)});
    struct Case {
        const char* name;
        int key;
        QVariant expected;
    };
    const Case cases[] = {
        {"Enter on the next row", Qt::Key_Return, 3},
        {"F12 on the next row", Qt::Key_F12, 3},
        {"Esc", Qt::Key_Escape, QVariant()},
    };
    for (const Case& c : cases) {
        onNextModal([&](QWidget* modal) {
            auto* w = qobject_cast<TfrmCJazykoveKombinacie*>(modal);
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->gr1->fieldValue("JEDIN").toInt(), 2) << "on the caller's combination";
            w->gr1->setFocus();
            QTest::keyClick(w->gr1, Qt::Key_Down);
            QTest::keyClick(w->gr1, Qt::Key(c.key));
        });
        const QVariant chosen = PickJazykovaKombinacia(2);
        EXPECT_EQ(chosen.isValid(), c.expected.isValid()) << c.name;
        EXPECT_EQ(chosen.toInt(), c.expected.toInt()) << c.name;
    }
}

TEST_F(CodeListTest, AddingACombinationTypedElsewhere)
{
    onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<TfrmCJazykoveKombinaciePridaj*>(modal);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->windowTitle(), "Pridanie jazykovej kombinácie");
        EXPECT_EQ(e->eSkratka->text(), "ABCDEFGHIJKLMNO") << "the first 15 characters";
        EXPECT_TRUE(e->btnDalsi->isHidden());
        QTest::keyClick(e->eSkratka, Qt::Key_F11);
        EXPECT_TRUE(e->isVisible()) << "no save-and-next here";
        QTest::keyClick(e->eSkratka, Qt::Key_F12);
    });
    const QVariant added = PridajJazykovuKombinaciu("ABCDEFGHIJKLMNOPQR");
    ASSERT_TRUE(added.isValid());
    EXPECT_EQ(db.scalar(QString("select skratka from jazykove_kombinacie where jedin=%1").arg(added.toInt()))
                  .toString(),
              "ABCDEFGHIJKLMNO");

    // An empty abbreviation is refused and nothing is saved; cancel gives null.
    onNextModal([](QWidget* modal) {
        auto* e = qobject_cast<TfrmCJazykoveKombinaciePridaj*>(modal);
        ASSERT_NE(e, nullptr);
        QTest::keyClick(e->eSkratka, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible());
        QTest::keyClick(e->eSkratka, Qt::Key_Escape);
    });
    EXPECT_FALSE(PridajJazykovuKombinaciu("").isValid());
    EXPECT_TRUE(transcript.last().text.contains("Povinný údaj"));
    EXPECT_EQ(count("select count(*) from jazykove_kombinacie"), 1);
}
