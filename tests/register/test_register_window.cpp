// The translation register over a few jobs: what the default filter lists,
// the exact sums, the state colours, clearing the filter, the marked-only
// view, delete and the keys.
#include "TestDatabase.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/QDLBtn.h"
#include "fb/Decimal.h"
#include "framework/MainConnection.h"
#include "register/fEPreklady.h"
#include "register/fEPrekladyUhrady.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "support/Modal.h"
#include "support/DialogTranscript.h"
#include "support/TempSettings.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// An editor that only records how it was called.
class TRecordingEditor : public TFormEditor {
public:
    explicit TRecordingEditor(QList<TFormDetails>* calls) : m_calls(calls) {}
    void SetDetails(TFormDetails& d) override
    {
        m_calls->append(d);
        d.Result = TFormDetails::ResultCancel;
    }

private:
    QList<TFormDetails>* m_calls;
};

class RegisterWindow : public ::testing::Test {
protected:
    RegisterWindow()
    {
        setMainConnection(&db.connection());
        const QDate today = QDate::currentDate();
        const auto day = [&](int days) { return "'" + today.addDays(days).toString("yyyy-MM-dd") + "'"; };
        db.exec({"insert into adresar (jedin, typ, meno, farba) values (1, 0, 'Objednávateľ', 255)",
                 "insert into adresar (jedin, typ, meno) values (2, 1, 'Prekladateľ')",
                 "insert into jazykove_kombinacie (jedin, skratka) values (1, 'SK-EN')"});
        // jedin, deadline, sent, invoice, customer price per unit (rate 1, 100 %, scope 1)
        struct Job {
            int jedin;
            int deadline;
            bool sent;
            const char* faktura;
            const char* cena;
        };
        const Job jobs[] = {{1, -3, false, "", "10.10"}, {2, 0, false, "F1", "20.20"}, {3, 1, false, "", "0.30"},
                            {4, 5, false, "", "1000.01"}, {5, 1, true, "F2", "99.99"}};
        for (const Job& j : jobs)
            db.exec({QStringLiteral("insert into preklady (jedin, znacka, objednavatel, prekladatel, jazykova_kombinacia,"
                                    " termin, datum_odoslania_prekladu, obj_faktura, pre_faktura, obj_cena_mj, obj_kurz,"
                                    " obj_koeficient, obj_rozsah, pre_cena_mj, pre_kurz, pre_koeficient, pre_rozsah)"
                                    " values (%1, 'Z%1', 1, 2, 1, %2, %3, '%4', '', %5, 1, 100, 1, 1, 1, 100, 1)")
                         .arg(j.jedin)
                         .arg(day(j.deadline))
                         .arg(j.sent ? day(0) : QStringLiteral("null"))
                         .arg(QString::fromLatin1(j.faktura))
                         .arg(QString::fromLatin1(j.cena))});
    }
    ~RegisterWindow() override { setMainConnection(nullptr); }

    TfrmEPreklady::Windows recording()
    {
        TfrmEPreklady::Windows w;
        w.editor = [this]() -> std::unique_ptr<TFormEditor> { return std::make_unique<TRecordingEditor>(&calls); };
        return w;
    }

    // obj_faktura and pre_faktura of jobs 1-4, "<null>" for null.
    QStringList invoices()
    {
        QStringList texts;
        for (int jedin = 1; jedin <= 4; ++jedin)
            for (const char* column : {"obj_faktura", "pre_faktura"}) {
                const QVariant v = db.scalar(QStringLiteral("select %1 from preklady where jedin=%2").arg(column).arg(jedin));
                texts << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
        return texts;
    }

    QList<int> listed(TfrmEPreklady& w)
    {
        QList<int> keys;
        for (int row = 0; row < w.gr1->CountRecords(); ++row)
            keys << w.gr1->gridModel()->keyOfRow(row).toInt();
        std::sort(keys.begin(), keys.end());
        return keys;
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    QList<TFormDetails> calls;
};

}  // namespace

TEST_F(RegisterWindow, ListsUnsentJobsWithExactSumsAndStandsOnTheLastRow)
{
    TfrmEPreklady w(recording());
    EXPECT_EQ(listed(w), QList<int>({1, 2, 3, 4}));  // the cleared filter: not yet sent
    EXPECT_EQ(w.totals().count, 4);
    EXPECT_EQ(w.totals().objCena.toString(), "1030.61");
    EXPECT_EQ(w.totals().objCenaEur.toString(), "1030.61");
    EXPECT_EQ(w.totals().preCena.toString(), "4.00");
    EXPECT_EQ(w.gr1->currentRow(), 3);
    EXPECT_EQ(w.sbPanels[0]->text(), "Počet prekladov: 4");
    EXPECT_TRUE(w.sbPanels[2]->text().endsWith(" €"));
    // sorted by the deadline: the first row is the overdue job
    EXPECT_EQ(w.gr1->gridModel()->keyOfRow(0).toInt(), 1);
    EXPECT_EQ(w.gr1->gridModel()->data(w.gr1->gridModel()->index(3, 10)).toString(), QStringLiteral("1\u00A0000,01"))
        << "OC v CM shown with thousands grouped";
}

// Crowns added to euros are no figure at all: with more than one currency
// listed, the panels of the prices in the jobs' currencies sum each apart.
TEST_F(RegisterWindow, PricesInTheJobsCurrenciesAreSummedPerCurrency)
{
    db.exec({"update preklady set obj_mena='EUR', pre_mena='EUR'",
             "update preklady set obj_mena='CZK', obj_kurz=25 where jedin=4"});
    TfrmEPreklady w(recording());
    EXPECT_EQ(w.sbPanels[1]->text(), QString::fromUtf8("OC v CM spolu: 30,60 EUR + 1\u00a0000,01 CZK"));
    EXPECT_EQ(w.sbPanels[2]->text(), QString::fromUtf8("OC spolu:     70,60 €"));  // 1 000,01 CZK at 25 per €
    EXPECT_EQ(w.sbPanels[3]->text(), QString::fromUtf8("PC v CM spolu:      4,00"));  // one currency: as it was
}

TEST(RegisterStateColour, ByDaysToTheDeadline)
{
    EXPECT_EQ(TfrmEPreklady::StateColour(QVariant(-2)), QColor(255, 0, 0));
    EXPECT_EQ(TfrmEPreklady::StateColour(QVariant(0)), QColor(255, 0, 0));
    EXPECT_EQ(TfrmEPreklady::StateColour(QVariant(1)), QColor(249, 200, 147));
    EXPECT_EQ(TfrmEPreklady::StateColour(QVariant(2)), std::nullopt);
    EXPECT_EQ(TfrmEPreklady::StateColour(QVariant(QMetaType::fromType<int>())), std::nullopt);  // sent
}

TEST_F(RegisterWindow, ClearingTheFilterKeepsTheCheckBoxes)
{
    TfrmEPreklady w(recording());
    w.eObjFaktura->setChecked(true);
    w.eText->setText("Z");
    w.eOdoslanie->FindIt(0);
    w.gr1->DisplayGrid();
    EXPECT_EQ(listed(w), QList<int>({1, 3, 4}));  // not invoiced, sent or not
    w.ClearFilter();
    EXPECT_TRUE(w.eObjFaktura->isChecked());
    EXPECT_TRUE(w.eText->text().isEmpty());
    EXPECT_EQ(w.eOdoslanie->SKeyValue().toInt(), 1);
    EXPECT_EQ(listed(w), QList<int>({1, 3, 4}));
}

// Opened from one of the main window's deadline counts, the register lists
// exactly those jobs; the filter panel offers the same choice, and clearing
// the filter drops it.
TEST_F(RegisterWindow, DeadlineFilterFromTheCountsAndFromThePanel)
{
    struct Case {
        std::optional<DeadlineFilter> filter;
        QList<int> jobs;
    };
    const Case cases[] = {{DeadlineFilter::Late, {1}},
                          {DeadlineFilter::Today, {2}},
                          {DeadlineFilter::Tomorrow, {3}},  // job 5 is due tomorrow but sent
                          {std::nullopt, {1, 2, 3, 4}}};
    for (const Case& c : cases) {
        TfrmEPreklady::Windows windows = recording();
        windows.termin = c.filter;
        TfrmEPreklady w(windows);
        EXPECT_EQ(listed(w), c.jobs);
        EXPECT_EQ(w.eTermin->currentText(), DeadlineFilterText(c.filter.value_or(DeadlineFilter::All)));
        // Another choice in the panel applies when the focus leaves it.
        w.show();
        QApplication::setActiveWindow(&w);
        w.eTermin->setFocus();
        w.eTermin->setCurrentIndex(int(DeadlineFilter::Late));
        w.gr1->setFocus();
        EXPECT_EQ(listed(w), QList<int>({1}));
        QTest::keyClick(w.gr1, Qt::Key_X);
        EXPECT_EQ(w.eTermin->currentIndex(), int(DeadlineFilter::All));
        EXPECT_EQ(listed(w), QList<int>({1, 2, 3, 4}));
    }
}

TEST_F(RegisterWindow, MarkedOnlyViewIsReleasedSilentlyWhenTheMarksAreGone)
{
    DialogTranscript dialogs;
    TfrmEPreklady w(recording());
    w.gr1->setCurrentRow(0);
    w.gr1->CheckCurrent();
    w.btnOznacene->trigger();
    EXPECT_EQ(listed(w), QList<int>({1}));
    w.gr1->UncheckAll();
    w.gr1->DisplayGrid();
    EXPECT_FALSE(w.btnOznacene->isChecked());
    EXPECT_EQ(listed(w), QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(dialogs.count(), 0);
}

TEST_F(RegisterWindow, DeletingTheCurrentJobLeavesTheCursorOnTheLastRow)
{
    DialogTranscript dialogs(msg::Yes);
    TfrmEPreklady w(recording());
    w.gr1->setCurrentRow(1);
    EXPECT_TRUE(w.DeleteAction());
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Naozaj vymazať označený záznam?"));
    EXPECT_EQ(w.gr1->CountRecords(), 3);
    EXPECT_EQ(w.totals().count, 3);
}

TEST_F(RegisterWindow, KeysActOnlyWithoutShiftCtrlAlt)
{
    TfrmEPreklady w(recording());
    w.show();
    for (Qt::KeyboardModifier m : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier})
        for (Qt::Key k : {Qt::Key_P, Qt::Key_F2, Qt::Key_O, Qt::Key_K})
            QTest::keyClick(w.gr1, k, m);
    EXPECT_TRUE(calls.isEmpty());
    QTest::keyClick(w.gr1, Qt::Key_P);
    QTest::keyClick(w.gr1, Qt::Key_F4);
    QTest::keyClick(w.gr1, Qt::Key_K);
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0].Mode, TFormDetails::Insert);
    EXPECT_EQ(calls[1].Mode, TFormDetails::Edit);
    EXPECT_EQ(calls[2].Mode, TFormDetails::Copy);
    EXPECT_EQ(calls[1].Current, w.gr1->fieldValue("JEDIN"));
}

// The bulk invoice and payment entry from btnFaktura: which jobs get the text,
// what a settled job in the batch does, and that the marks go only when the
// dialog closed with OK.
TEST_F(RegisterWindow, BulkEntryWritesTheTextIntoTheMarkedJobsOrTheCurrentOne)
{
    // Before each case: job 3's payment text is null, job 2 is invoiced ("F1").
    const QStringList before = {"", "", "F1", "", "", "<null>", "", ""};
    struct Case {
        const char* name;
        QList<int> markedRows;  // rows of the list sorted by the deadline: jobs 1, 2, 3, 4
        int typ;
        const char* text;
        QStringList after;
        bool warned;
    };
    const Case cases[] = {
        {"marked jobs, customer", {0, 2}, 0, "F9", {"F9", "", "F1", "", "F9", "<null>", "", ""}, false},
        {"a settled job blocks the batch", {0, 1}, 0, "F9", before, true},
        {"no marks: the current job only", {}, 1, "P7", {"", "", "F1", "", "", "<null>", "", "P7"}, false},
        {"null counts as unsettled; an empty text is written", {0, 2}, 1, "", {"", "", "F1", "", "", "", "", ""}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.exec({"update preklady set obj_faktura='', pre_faktura='' where jedin in (1, 3, 4)",
                 "update preklady set pre_faktura=null where jedin=3"});
        DialogTranscript dialogs;
        bool shown = false;
        TfrmEPreklady::Windows windows = recording();
        // The dialog itself, driven through its keys once it is on screen.
        windows.bulkEntry = [&] {
            TfrmEPrekladyUhrady d;
            onNextModal([&](QWidget* window) {
                if (window != &d) {
                    ADD_FAILURE() << "another window opened first";
                    d.reject();
                    return;
                }
                shown = true;
                QApplication::setActiveWindow(&d);
                EXPECT_EQ(d.windowTitle(), "Hromadná zmena úhrady objednávateľom alebo prekladateľom");
                d.eAdresarTyp->FindIt(c.typ);
                d.eFaktura->setText(QString::fromUtf8(c.text));
                QTest::keyClick(&d, Qt::Key_F12);
                if (d.isVisible()) {
                    ADD_FAILURE() << "F12 left the dialog open";
                    d.reject();
                }
            });
            return d.Run();
        };
        TfrmEPreklady w(windows);
        w.show();
        for (int row : c.markedRows) {
            w.gr1->setCurrentRow(row);
            w.gr1->CheckCurrent();
        }
        w.gr1->setCurrentRow(3);
        QTest::keyClick(w.gr1, Qt::Key_H);
        EXPECT_TRUE(shown);
        EXPECT_EQ(invoices(), c.after);
        EXPECT_EQ(w.gr1->CheckedCount(), 0) << "the register unmarks after OK";
        EXPECT_EQ(dialogs.count(), c.warned ? 1 : 0) << (dialogs.count() ? dialogs.last().text.toStdString() : "");
        if (c.warned) {
            EXPECT_EQ(dialogs.last().text, "Medzi označenými záznamami je aspoň jeden záznam, ktorý už bol uhradený. "
                                           "Úhrada sa nevykoná.\n\nUž uhradené: Z2");
        }
        db.exec({"update preklady set obj_faktura='F1' where jedin=2"});
    }
}

// After the bulk entry and its "already settled" warning the register has the
// keyboard again: its grid is focused and its keys work without a click.
TEST_F(RegisterWindow, TheGridHasTheKeyboardAgainAfterTheDialogsItOpened)
{
    bool warned = false;
    TfrmEPreklady::Windows windows = recording();
    windows.bulkEntry = [&] {
        TfrmEPrekladyUhrady d;
        onNextModal([&](QWidget*) {
            QApplication::setActiveWindow(&d);
            d.eAdresarTyp->FindIt(0);
            d.eFaktura->setText("F9");
            // The real warning, not a transcript: it takes the focus away.
            onNextModal([&](QWidget* warning) {
                warned = true;
                qobject_cast<QDialog*>(warning)->accept();
            });
            QTest::keyClick(&d, Qt::Key_F12);
        });
        return d.Run();
    };
    TfrmEPreklady w(windows);
    w.show();
    QApplication::setActiveWindow(&w);
    w.gr1->setFocus();
    for (int row : {0, 1}) {  // job 2 is invoiced already
        w.gr1->setCurrentRow(row);
        w.gr1->CheckCurrent();
    }
    QTest::keyClick(w.gr1, Qt::Key_H);
    ASSERT_TRUE(warned);
    QTest::qWait(50);  // the window system's activation arrives as an event
    EXPECT_EQ(QApplication::activeWindow(), &w);
    EXPECT_EQ(QApplication::focusWidget(), w.gr1);
    // Its keys work: Enter opens the editor on the current job.
    calls.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(calls.size(), 1);
}

// The update of the bulk entry writes only jobs still unsettled when it runs:
// a job another workstation settled after the check is left out, and the
// count tells the entry to write nothing (it rolls back and names the job).
TEST_F(RegisterWindow, TheBulkUpdateLeavesOutAJobSettledAfterTheCheck)
{
    db.exec({"update preklady set obj_faktura='' where jedin in (1, 3)"});
    fb::Transaction tr(db.connection(), {"write", "read_committed", "rec_version", "nowait"});
    tr.start();
    fb::Query mark(tr);
    mark.setSql(QStringLiteral("insert into temp_spracuj (jedin, cislo, zaradenie, connection_id) "
                               "values (gen_id(temp_spracuj_id, 1), :C, :Z, current_connection)"));
    for (int job : {1, 3}) {
        mark.setParams({{"C", job}, {"Z", kUhradyZaradenie}});
        mark.execute();
    }
    fb::Query check(tr);
    check.setSql(UhradySettledSql(0));
    EXPECT_FALSE(check.executeAtMostOneRow()) << "both unsettled when checked";
    check.close();
    {
        auto other = db.openSecond();  // settles job 3 now
        fb::Transaction t(*other, {"write", "nowait"});
        t.start();
        fb::Query q(t);
        q.setSql("update preklady set obj_faktura='FV-INÝ' where jedin=3");
        q.execute();
        t.commit();
    }
    fb::Query count(tr);
    count.setSql(UhradyCountSql());
    EXPECT_EQ(count.executeScalar().toInt(), 2);
    count.close();
    fb::Query update(tr);
    update.setSql(UhradyUpdateSql(0));
    update.setParam("FAKTURA", "F9");
    update.execute();
    EXPECT_EQ(update.rowsAffected(), 1) << "job 3 is left out";
    update.close();
    tr.rollback();
    // The program commits the marks before the entry; here they went with the
    // rollback, so they are written again to name the settled jobs.
    fb::Transaction again(db.connection(), {"write", "read_committed", "rec_version", "nowait"});
    again.start();
    fb::Query remark(again);
    remark.setSql(QStringLiteral("insert into temp_spracuj (jedin, cislo, zaradenie, connection_id) "
                                 "values (gen_id(temp_spracuj_id, 1), :C, :Z, current_connection)"));
    for (int job : {1, 3}) {
        remark.setParams({{"C", job}, {"Z", kUhradyZaradenie}});
        remark.execute();
    }
    fb::Query names(again);
    names.setSql(UhradySettledNamesSql(0));
    names.execute();
    ASSERT_TRUE(names.next());
    EXPECT_EQ(names.value(0).toString(), "Z3");
    EXPECT_FALSE(names.next());
    names.close();
    again.rollback();
    EXPECT_EQ(db.scalar("select obj_faktura from preklady where jedin=3").toString(), QString::fromUtf8("FV-INÝ"));
}

// Another workstation holds one job of the batch: nothing of the batch is
// written, the dialog stays open, and the marks stay for a retry.
TEST_F(RegisterWindow, BulkEntryMeetingALockChangesNothingAndKeepsTheMarks)
{
    auto other = db.openSecond();
    fb::Transaction held(*other, {"write", "nowait"});
    held.start();
    fb::Query lock(held);
    lock.setSql(QStringLiteral("update preklady set znacka='held' where jedin=3"));
    lock.execute();

    DialogTranscript dialogs;
    int stillOpen = -1;
    TfrmEPreklady::Windows windows = recording();
    windows.bulkEntry = [&] {
        TfrmEPrekladyUhrady d;
        d.ClearControls();
        d.eAdresarTyp->FindIt(0);
        d.eFaktura->setText("F9");
        d.btnZapis->click();
        stillOpen = d.result() == 0;
        return d.result() == 0 ? int(TFormDetails::ResultCancel) : d.result();
    };
    TfrmEPreklady w(windows);
    w.show();
    for (int row : {0, 2}) {
        w.gr1->setCurrentRow(row);
        w.gr1->CheckCurrent();
    }
    w.btnFaktura->trigger();
    EXPECT_EQ(stillOpen, 1);
    EXPECT_GE(dialogs.count(), 1) << "the lock is reported";
    EXPECT_EQ(w.gr1->CheckedCount(), 2);
    held.rollback();
    EXPECT_EQ(invoices(), QStringList({"", "", "F1", "", "", "", "", ""}));
}
