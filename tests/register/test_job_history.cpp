// The change history of jobs: the rows the server's trigger writes for each
// kind of column, who it names, what survives a deletion, how a stored value
// reads, and the history window opened from the job editor (F9) and for the
// deleted jobs.
#include "TestDatabase.h"
#include "controls/IBEdit.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/MainConnection.h"
#include "framework/Session.h"
#include "register/HistoriaSql.h"
#include "register/fEPrekladyPridaj.h"
#include "register/fHistoriaPrekladu.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/QtPrinters.h"
#include "support/Typing.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct Stored {
    QString akcia, stlpec, stara, nova, kto;
    QDateTime kedy;
};

class JobHistoryTest : public ::testing::Test {
protected:
    JobHistoryTest()
    {
        Clock::pinClock(QDateTime(QDate(2026, 3, 10), QTime(9, 30)));
        setMainConnection(&db.connection());
        db.exec({"insert into jazykove_kombinacie (jedin, skratka, hodnoteny) values (1, 'EN-SK', 1)",
                 "insert into jazykove_kombinacie (jedin, skratka, hodnoteny) values (2, 'DE-SK', 1)",
                 "insert into merne_jednotky (jedin, skratka) values (1, 'ns')",
                 "insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby)"
                 " values (1, 0, 'Alfa', '', 'Žilina', '', '')",
                 "insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby)"
                 " values (2, 0, 'Beta', '', '', '', '')",
                 "insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby)"
                 " values (3, 1, 'Nováková', '', '', '', '')"});
    }
    ~JobHistoryTest() override
    {
        setMainConnection(nullptr);
        Clock::unpinClock();
    }

    void run(const QString& sql)
    {
        fb::Transaction tr(db.connection(), {"write", "read_committed", "rec_version", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql(sql);
        q.execute();
        tr.commit();
    }

    // A job as the editor stores one, record number 10.
    void insertJob()
    {
        run("insert into preklady (jedin, znacka, nazov, pm, datum_prijatia, termin, datum_zadania_prekladatelovi,"
            " jazykova_kombinacia, objednavatel, obj_cena_mj, obj_mj, obj_mena, obj_kurz, obj_koeficient,"
            " obj_rozsah, obj_faktura, prekladatel, pre_cena_mj, pre_mena, pre_kurz, pre_koeficient, pre_rozsah,"
            " pre_faktura, poznamka, hodnoteny, hodnotenie)"
            " values (10, '2026/007', 'Zmluva o dielo', 'AD', '2026-03-02 08:15:00', '2026-03-20 14:30:00',"
            " '2026-03-03', 1, 1, 12.5, 1, 'EUR', 1, 100, 10, '', 3, 8, 'EUR', 1, 100, 10, '', 'pozn', 1, 90)");
    }

    std::vector<Stored> history(const QString& where = "1=1")
    {
        std::vector<Stored> rows;
        fb::Transaction tr(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql("select akcia, stlpec, stara, nova, kto, kedy from historia_prekladov where " + where +
                 " order by jedin");
        q.execute();
        const auto text = [&](int i) { return q.value(i).isNull() ? QString("<null>") : q.value(i).toString(); };
        while (q.next())
            rows.push_back({text(0), text(1), text(2), text(3), text(4), q.value(5).toDateTime()});
        tr.commit();
        return rows;
    }

    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript;
};

}  // namespace

TEST_F(JobHistoryTest, EachChangedColumnGetsOneRowWithItsOldAndNewText)
{
    insertJob();
    {
        const auto rows = history();
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].akcia, "I");
        EXPECT_EQ(rows[0].stlpec, "<null>");
        EXPECT_EQ(rows[0].nova, "2026/007 Zmluva o dielo");
        // No user of the program set on this attachment: the database user.
        EXPECT_EQ(rows[0].kto, TestDatabase::user);
    }
    SetHistoryUser(db.connection(), "JN");

    const QString longNote(1100, QChar(u'ž'));
    struct Case {
        const char* set;
        const char* column;
        QString stara, nova;
    } cases[] = {
        {"znacka = '2026/008'", "ZNACKA", "2026/007", "2026/008"},
        {"obj_kurz = 1.255", "OBJ_KURZ", "1.000", "1.255"},
        {"pre_rozsah = 12.5", "PRE_ROZSAH", "10.00", "12.50"},
        {"hodnotenie = 75", "HODNOTENIE", "90", "75"},
        {"datum_zadania_prekladatelovi = '2026-03-05'", "DATUM_ZADANIA_PREKLADATELOVI", "2026-03-03", "2026-03-05"},
        {"termin = '2026-03-21 09:05:00'", "TERMIN", "2026-03-20 14:30:00", "2026-03-21 09:05:00"},
        {"objednavatel = 2", "OBJEDNAVATEL", "Alfa, Žilina", "Beta"},
        {"jazykova_kombinacia = 2", "JAZYKOVA_KOMBINACIA", "EN-SK", "DE-SK"},
        {"obj_mj = null", "OBJ_MJ", "<null>", "<null>"},  // filled in below: ns -> null
        {"datum_dodania_prekladu = '2026-03-09'", "DATUM_DODANIA_PREKLADU", "<null>", "2026-03-09"},
        {"poznamka = 'Poznámka: ďakujeme'", "POZNAMKA", "pozn", "Poznámka: ďakujeme"},
        {"nazov = '' || rpad('', 1100, 'ž')", "NAZOV", "Zmluva o dielo", longNote.left(997) + "..."},
    };
    cases[8].stara = "ns";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.column);
        const size_t before = history().size();
        run(QString("update preklady set %1 where jedin = 10").arg(c.set));
        const auto rows = history();
        // The trigger's derived totals and flags changed too; only the column itself is recorded.
        ASSERT_EQ(rows.size(), before + 1);
        const Stored& r = rows.back();
        EXPECT_EQ(r.akcia, "U");
        EXPECT_EQ(r.stlpec, c.column);
        EXPECT_EQ(r.stara, c.stara);
        EXPECT_EQ(r.nova, c.nova);
        EXPECT_EQ(r.kto, "JN");
    }
}

TEST_F(JobHistoryTest, AnUnchangedSaveWritesNothingAndOneSaveSharesItsMoment)
{
    insertJob();
    // The editor sends every column, the memos as new blobs of the same text.
    run("update preklady set znacka = '2026/007', nazov = 'Zmluva o dielo', poznamka = 'pozn', obj_kurz = 1.000,"
        " datum_dodania_prekladu = null, termin = '2026-03-20 14:30:00' where jedin = 10");
    EXPECT_EQ(history().size(), 1u);

    run("update preklady set obj_faktura = 'F-1', pre_faktura = 'V-1', pm = 'JN' where jedin = 10");
    const auto rows = history("akcia = 'U'");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].kedy, rows[2].kedy);
    // In the editor's order: the PM before the customer's invoice before the translator's.
    EXPECT_EQ(rows[0].stlpec, "PM");
    EXPECT_EQ(rows[1].stlpec, "OBJ_FAKTURA");
    EXPECT_EQ(rows[2].stlpec, "PRE_FAKTURA");
}

TEST_F(JobHistoryTest, ADeletedJobKeepsItsHistoryAndTheUserClearedIsTheDatabaseUserAgain)
{
    SetHistoryUser(db.connection(), "JN");
    insertJob();
    run("update preklady set znacka = 'X-1' where jedin = 10");
    SetHistoryUser(db.connection(), "");
    run("delete from preklady where jedin = 10");

    std::vector<HistoryRow> job, deleted;
    fb::Transaction tr(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
    tr.start();
    job = ReadJobHistory(tr, 10);
    deleted = ReadDeletedJobs(tr);
    tr.commit();

    ASSERT_EQ(job.size(), 3u);
    EXPECT_EQ(job[0].akcia, "D");  // newest first
    EXPECT_EQ(job[0].kto, TestDatabase::user);
    EXPECT_EQ(job[0].stara.toString(), "X-1 Zmluva o dielo");
    EXPECT_EQ(job[1].akcia, "U");
    EXPECT_EQ(job[1].kto, "JN");
    EXPECT_EQ(job[2].akcia, "I");
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].preklad.toInt(), 10);
    EXPECT_EQ(deleted[0].stara.toString(), "X-1 Zmluva o dielo");
}

TEST_F(JobHistoryTest, TheUserBelongsToTheAttachment)
{
    SetHistoryUser(db.connection(), "JN");
    // Another workstation (or this program after a reconnect) starts without it.
    const std::unique_ptr<fb::Connection> other = db.openSecond();
    insertJob();
    {
        fb::Transaction tr(*other, {"write", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql("update preklady set pm = 'XY' where jedin = 10");
        q.execute();
        tr.commit();
    }
    const auto rows = history();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].kto, "JN");
    EXPECT_EQ(rows[1].kto, TestDatabase::user);
}

TEST(HistoryValueText, StoredValuesReadAsTheProgramShowsThem)
{
    struct Case {
        const char* column;
        QVariant stored;
        const char* shown;
    } cases[] = {
        {"DATUM_ZADANIA_PREKLADATELOVI", "2026-03-05", "05.03.2026"},
        {"TERMIN", "2026-03-21 09:05:00", "21.03.2026 09:05"},
        {"DATUM_PRIJATIA", "2026-03-02 08:15:00", "02.03.2026 08:15"},
        {"OBJ_KURZ", "1.255", "1,255"},
        {"PRE_ROZSAH", "-12.50", "-12,50"},
        {"ZNACKA", "2026.7", "2026.7"},          // a mark stays as typed
        {"OBJ_FAKTURA", "2026-03-05", "2026-03-05"},
        {"HODNOTENY", "1", "áno"},
        {"HODNOTENY", "0", "nie"},
        {"HODNOTENIE", "75", "75"},
        {"OBJ_MJ", QVariant(), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HistoryValueText(c.column, c.stored), QString::fromUtf8(c.shown)) << c.column;
}

// ---- the windows -------------------------------------------------------------------------

TEST_F(JobHistoryTest, F9InTheEditorListsTheChangesNewestFirstAndEscClosesIt)
{
    insertJob();
    SetHistoryUser(db.connection(), "JN");
    run("update preklady set znacka = '2026/008', obj_rozsah = 12.5 where jedin = 10");

    TfrmEPrekladyPridaj editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, 10);
    QStringList seen;
    bool closedByEsc = false;
    onNextModal([&](QWidget* w) {
        QApplication::setActiveWindow(w);
        EXPECT_TRUE(editor.btnHistoria->isEnabled());
        onNextModal([&](QWidget* h) {
            auto* window = qobject_cast<TfrmHistoriaPrekladu*>(h);
            ASSERT_NE(window, nullptr);
            EXPECT_EQ(window->windowTitle(), "História prekladu č. 10 (2026/008)");
            QTableWidget* g = window->grHistoria;
            for (int r = 0; r < g->rowCount(); ++r) {
                QStringList cells;
                for (int c = 1; c < g->columnCount(); ++c)
                    cells << g->item(r, c)->text();
                seen << cells.join(" | ");
            }
            EXPECT_TRUE(window->eDetail->toPlainText().contains("2026/007 → 2026/008"));
            QTest::keyClick(g, Qt::Key_Escape);
            closedByEsc = !window->isVisible();
        });
        QTest::keyClick(editor.eDBZnacka, Qt::Key_F9);
        editor.reject();
    });
    editor.SetDetails(d);
    EXPECT_TRUE(closedByEsc);
    EXPECT_EQ(seen, (QStringList{"JN | Značka | 2026/007 | 2026/008",
                                 "JN | Objednávateľ: rozsah | 10,00 | 12,50",
                                 QString("%1 | (preklad vytvorený) |  | 2026/007 Zmluva o dielo").arg(TestDatabase::user)}));
}

TEST_F(JobHistoryTest, ANewJobHasNoHistoryToShow)
{
    TfrmEPrekladyPridaj editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert, {});
    bool enabled = true;
    onNextModal([&](QWidget* w) {
        enabled = editor.btnHistoria->isEnabled();
        // F9 opens nothing: the next line would hang on a modal window otherwise.
        QTest::keyClick(editor.eDBZnacka, Qt::Key_F9);
        static_cast<QDialog*>(w)->reject();
    });
    editor.SetDetails(d);
    EXPECT_FALSE(enabled);
}

TEST_F(JobHistoryTest, TheDeletedJobsOpenTheirOwnHistoryWithEnter)
{
    insertJob();
    run("insert into preklady (jedin, znacka, nazov, objednavatel, jazykova_kombinacia, obj_kurz, pre_kurz)"
        " values (11, 'B', 'Druhý', 1, 1, 1, 1)");
    run("delete from preklady where jedin = 10");
    run("delete from preklady where jedin = 11");

    QStringList listed;
    QString opened;
    onNextModal([&](QWidget* w) {
        auto* window = qobject_cast<TfrmHistoriaPrekladu*>(w);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->windowTitle(), "História vymazaných prekladov");
        QTableWidget* g = window->grHistoria;
        for (int r = 0; r < g->rowCount(); ++r)
            listed << g->item(r, 2)->text() + " " + g->item(r, 3)->text();
        QTest::keyClick(g, Qt::Key_Down);
        onNextModal([&](QWidget* h) {
            opened = h->windowTitle() + ": " +
                     QString::number(qobject_cast<TfrmHistoriaPrekladu*>(h)->grHistoria->rowCount());
            QTest::keyClick(h, Qt::Key_Escape);
        });
        QTest::keyClick(g, Qt::Key_Return);
        QTest::keyClick(g, Qt::Key_Escape);
    });
    EXPECT_TRUE(ShowDeletedJobs(nullptr));
    EXPECT_EQ(listed, (QStringList{"11 B Druhý", "10 2026/007 Zmluva o dielo"}));
    EXPECT_EQ(opened, "História vymazaného prekladu č. 10: 2");
}
