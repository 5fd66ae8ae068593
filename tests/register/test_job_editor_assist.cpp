// The job editor's help over a migrated database: prices from the agreed
// rates (also through the rate editor), the last exchange rate, balances,
// the workload and duplicate-mark warnings, and the code-list windows, which
// are fakes here.
#include "TestDatabase.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBEdit.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/MainConnection.h"
#include "framework/SlotGuard.h"
#include "register/JobAssistSql.h"
#include "register/fEPrekladyPridaj.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/QtPrinters.h"
#include "support/Typing.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Editor = TfrmEPrekladyPridaj;

const QDateTime kNow(QDate(2026, 3, 10), QTime(9, 30));
const QString kWorkload = QStringLiteral("Zvolený prekladateľ má zadaný, ale neodovzdaný preklad. (%1)");
const QString kDuplicate = QStringLiteral("Bola zadaná duplicitná značka prekladu!");

fb::Decimal dec(const char* text)
{
    return *fb::Decimal::fromString(QString::fromLatin1(text));
}

void tab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}

class JobEditorAssistTest : public ::testing::Test {
protected:
    JobEditorAssistTest()
    {
        Clock::pinClock(kNow);
        setMainConnection(&db.connection());
        enSk = insert("insert into jazykove_kombinacie (skratka, hodnoteny) values ('EN-SK', 1) returning jedin");
        deSk = insert("insert into jazykove_kombinacie (skratka, hodnoteny) values ('DE-SK', 1) returning jedin");
        customer = contact(0, "Alfa");
        otherCustomer = contact(0, "Beta");
        translator = contact(1, "Nováková");
        unit = insert("insert into merne_jednotky (skratka) values ('NS') returning jedin");
    }
    ~JobEditorAssistTest() override
    {
        setMainConnection(nullptr);
        Clock::unpinClock();
    }

    qint64 insert(const QString& sql)
    {
        fb::Transaction tr(db.connection(), {"write", "nowait"});
        fb::Query q(tr);
        tr.start();
        q.setSql(sql);
        q.execute();
        const qint64 id = q.value(0).toLongLong();
        tr.commit();
        return id;
    }

    qint64 contact(int typ, const QString& meno)
    {
        return insert(QString("insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
                              "values (gen_id(adresar_id, 1), %1, '%2', '', '', '', 'prevodom') returning jedin")
                          .arg(typ)
                          .arg(meno));
    }

    qint64 rate(qint64 adresar, qint64 kombinacia, const char* cena, const char* mena)
    {
        return insert(QString("insert into kombinacie (jedin, adresar, jazykova_kombinacia, cena, mena, mj) "
                              "values (gen_id(kombinacie_id, 1), %1, %2, %3, '%4', %5) returning jedin")
                          .arg(adresar)
                          .arg(kombinacia)
                          .arg(cena, mena)
                          .arg(unit));
    }

    // A job by its dates and settlement; `values` overrides the columns named.
    qint64 job(const QMap<QString, QString>& values)
    {
        QMap<QString, QString> v = {
            {"jedin", "gen_id(preklady_id, 1)"},
            {"znacka", "''"},
            {"datum_prijatia", "'2026-03-02 08:00:00'"},
            {"termin", "'2026-03-20 12:00:00'"},
            {"jazykova_kombinacia", QString::number(enSk)},
            {"objednavatel", QString::number(customer)},
            {"obj_cena_mj", "10"},
            {"obj_mena", "'EUR'"},
            {"obj_kurz", "1"},
            {"obj_koeficient", "100"},
            {"obj_rozsah", "1"},
            {"obj_faktura", "''"},
            {"prekladatel", QString::number(translator)},
            {"pre_cena_mj", "4"},
            {"pre_mena", "'EUR'"},
            {"pre_kurz", "1"},
            {"pre_koeficient", "100"},
            {"pre_rozsah", "1"},
            {"pre_faktura", "''"},
        };
        for (auto it = values.begin(); it != values.end(); ++it)
            v[it.key()] = it.value();
        return insert(QString("insert into preklady (%1) values (%2) returning jedin")
                          .arg(v.keys().join(','), v.values().join(',')));
    }

    template <class R>
    R read(const std::function<R(fb::Transaction&)>& work)
    {
        fb::Transaction tr(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
        tr.start();
        R r = work(tr);
        tr.commit();
        return r;
    }

    // Runs `editor` with `d`; `step` drives it once it is shown.
    void run(Editor& editor, TFormDetails& d, const std::function<void(Editor*)>& step)
    {
        bool shown = false;
        onNextModal([&](QWidget* w) {
            shown = true;
            QApplication::setActiveWindow(w);
            step(&editor);
            if (editor.isVisible())
                editor.reject();
        });
        editor.SetDetails(d);
        EXPECT_TRUE(shown);
    }

    void runNew(Editor& editor, const std::function<void(Editor*)>& step)
    {
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert);
        run(editor, d, step);
    }

    QStringList texts() const
    {
        QStringList all;
        for (const DialogRequest& r : transcript.requests())
            all << r.text;
        return all;
    }

    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript;
    qint64 enSk = 0, deSk = 0, customer = 0, otherCustomer = 0, translator = 0, unit = 0;
};

}  // namespace

// ---- the reads --------------------------------------------------------------------------

TEST_F(JobEditorAssistTest, TheLastRateComesFromTheNewestJobInThatCurrency)
{
    job({{"obj_mena", "'CZK'"}, {"obj_kurz", "24.5"}, {"datum_prijatia", "'2026-03-01 10:00:00'"}});
    // two jobs received at the same moment: the higher record number wins
    job({{"obj_mena", "'CZK'"}, {"obj_kurz", "25.1"}, {"datum_prijatia", "'2026-03-05 10:00:00'"}});
    job({{"obj_mena", "'CZK'"}, {"obj_kurz", "25.3"}, {"datum_prijatia", "'2026-03-05 10:00:00'"}});
    // an older job entered later does not count
    job({{"obj_mena", "'CZK'"}, {"obj_kurz", "23.9"}, {"datum_prijatia", "'2026-02-01 10:00:00'"}});
    job({{"pre_mena", "'USD'"}, {"pre_kurz", "1.08"}, {"obj_mena", "'USD'"}, {"obj_kurz", "1.1"}});

    struct Case {
        const char* name;
        JobSide side;
        QString mena;
        std::optional<fb::Decimal> rate;
    } cases[] = {
        {"customer CZK, tie", JobSide::Objednavatel, "CZK", dec("25.3")},
        {"translator side reads its own columns", JobSide::Prekladatel, "USD", dec("1.08")},
        {"customer USD", JobSide::Objednavatel, "USD", dec("1.1")},
        {"a currency nobody used", JobSide::Objednavatel, "HUF", std::nullopt},
        {"CZK never on the translator side", JobSide::Prekladatel, "CZK", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto got = read<std::optional<QVariant>>(
            [&](fb::Transaction& tr) { return ReadLastRate(tr, c.side, c.mena); });
        ASSERT_EQ(got.has_value(), c.rate.has_value()) << c.name;
        if (c.rate) {
            EXPECT_EQ(got->value<fb::Decimal>(), *c.rate) << c.name;
        }
    }

    // In the editor: the button fills the rate; an unused currency keeps it.
    Editor editor("JN");
    runNew(editor, [&](Editor* e) {
        e->eDBObjMena->setText("CZK");
        e->btnObjKurz->click();
        EXPECT_DOUBLE_EQ(e->eDBObjKurz->Value(), 25.3);
        e->eDBPreMena->setText("HUF");
        e->eDBPreKurz->setValue(7);
        e->btnPreKurz->click();
        EXPECT_DOUBLE_EQ(e->eDBPreKurz->Value(), 7);
    });
    EXPECT_EQ(transcript.count(), 0);
}

TEST_F(JobEditorAssistTest, BalancesCountOnlySentOrDeliveredJobsNotYetSettled)
{
    // customer side: only sent and not invoiced; translator side: only delivered and not paid
    job({{"obj_rozsah", "100"}, {"datum_odoslania_prekladu", "'2026-03-06'"},
         {"datum_zadania_prekladatelovi", "'2026-03-03'"}, {"datum_dodania_prekladu", "'2026-03-05'"},
         {"pre_rozsah", "100"}});                                               // 1000 / 400: both count
    job({{"obj_rozsah", "7"}, {"datum_odoslania_prekladu", "'2026-03-06'"}, {"obj_faktura", "'F-1'"},
         {"datum_zadania_prekladatelovi", "'2026-03-03'"}, {"datum_dodania_prekladu", "'2026-03-05'"},
         {"pre_rozsah", "7"}, {"pre_faktura", "'V-1'"}});                       // settled: neither
    job({{"obj_rozsah", "3"}, {"pre_rozsah", "3"}});                             // not sent, not delivered
    job({{"obj_rozsah", "2"}, {"obj_kurz", "2"}, {"datum_odoslania_prekladu", "'2026-03-07'"},
         {"datum_zadania_prekladatelovi", "'2026-03-03'"}, {"datum_dodania_prekladu", "'2026-03-05'"},
         {"pre_rozsah", "5"}, {"pre_kurz", "0.5"}});                            // 10 € / 40 €
    job({{"obj_rozsah", "1000"}, {"datum_odoslania_prekladu", "'2026-03-06'"},
         {"objednavatel", QString::number(otherCustomer)}});                    // someone else's

    struct Case {
        const char* name;
        JobSide side;
        QVariant adresar;
        fb::Decimal balance;
    } cases[] = {
        {"customer", JobSide::Objednavatel, customer, dec("1010")},
        {"translator", JobSide::Prekladatel, translator, dec("440")},
        {"no jobs of that kind", JobSide::Prekladatel, otherCustomer, dec("0")},
        {"no contact chosen", JobSide::Objednavatel, QVariant(), dec("0")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read<fb::Decimal>([&](fb::Transaction& tr) { return ReadOpenBalance(tr, c.side, c.adresar); }),
                  c.balance)
            << c.name;

    // The editor shows them for an existing job, with its stored values.
    const qint64 shown = job({{"obj_rozsah", "1"}});
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, shown);
    run(editor, d, [&](Editor* e) {
        EXPECT_DOUBLE_EQ(e->eObjNeuhradene->Value(), 1010);
        EXPECT_DOUBLE_EQ(e->ePreNeuhradene->Value(), 440);
        e->eDBObjRozsah->setValue(500);  // not stored: the balance stays
        e->ApplyVisibility();
        EXPECT_DOUBLE_EQ(e->eObjNeuhradene->Value(), 1010);
    });
}

TEST_F(JobEditorAssistTest, TheAverageRatingCountsRatedDeliveredJobsOfTheCombination)
{
    const auto delivered = [&](qint64 kombinacia, int hodnoteny, int hodnotenie, const char* dodanie) {
        job({{"jazykova_kombinacia", QString::number(kombinacia)}, {"hodnoteny", QString::number(hodnoteny)},
             {"hodnotenie", QString::number(hodnotenie)}, {"datum_zadania_prekladatelovi", "'2026-03-01'"},
             {"datum_dodania_prekladu", dodanie}});
    };
    delivered(enSk, 1, 90, "'2026-03-04'");
    delivered(enSk, 1, 75, "'2026-03-05'");
    delivered(enSk, 0, 10, "'2026-03-05'");  // not rated
    delivered(enSk, 1, 10, "null");          // not delivered
    delivered(deSk, 1, 20, "'2026-03-05'");  // another combination
    EXPECT_EQ(read<fb::Decimal>([&](fb::Transaction& tr) { return ReadAverageRating(tr, translator, enSk); }),
              dec("82.5"));
    EXPECT_EQ(read<fb::Decimal>([&](fb::Transaction& tr) { return ReadAverageRating(tr, otherCustomer, enSk); }),
              dec("0"));
}

TEST_F(JobEditorAssistTest, AReadThatFailsIsReportedAndTheEditorStaysOpen)
{
    // Two sent jobs whose € totals together overflow the sum's column type.
    for (int i = 0; i < 2; ++i)
        job({{"obj_cena_mj", "99999999"}, {"obj_rozsah", "500000000"}, {"datum_odoslania_prekladu", "'2026-03-06'"}});
    int unexpected = 0;
    setUnexpectedErrorHandler([&](std::exception_ptr) { ++unexpected; });
    Editor editor("JN");
    runNew(editor, [&](Editor* e) {
        e->eObjNeuhradene->setValue(1);
        e->eDBObjednavatel->FindIt(customer);
        e->ApplyVisibility();
        EXPECT_TRUE(e->isVisible());
        EXPECT_DOUBLE_EQ(e->eObjNeuhradene->Value(), 1);  // nothing half-shown
        // and it goes on working
        e->eDBObjednavatel->FindIt(otherCustomer);
        e->ApplyVisibility();
        EXPECT_DOUBLE_EQ(e->eObjNeuhradene->Value(), 0);
    });
    setUnexpectedErrorHandler({});
    // the server's code and message, once: what is shown is not raised again
    EXPECT_EQ(unexpected, 0);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().kind, DialogKind::Plain);
}

// ---- the price load ---------------------------------------------------------------------

TEST_F(JobEditorAssistTest, AFoundRateFillsPriceCurrencyUnitAndTheLastRate)
{
    rate(customer, enSk, "0.055", "CZK");
    job({{"obj_mena", "'CZK'"}, {"obj_kurz", "25.2"}});
    Editor editor("JN");
    runNew(editor, [&](Editor* e) {
        e->eDBJazykovaKombinacia->FindIt(enSk);
        e->eDBObjednavatel->FindIt(customer);
        e->eDBObjRozsah->setValue(1000);
        e->btnObjKombinacie->setFocus();
        e->btnObjKombinacie->click();
        EXPECT_DOUBLE_EQ(e->eDBObjCenaMJ->Value(), 0.055);
        EXPECT_EQ(e->eDBObjMena->text(), "CZK");
        EXPECT_EQ(e->eDBObjMJ->keyValue(1).toLongLong(), unit);
        EXPECT_DOUBLE_EQ(e->eDBObjKurz->Value(), 25.2);
        EXPECT_DOUBLE_EQ(e->eObjCenaSpolu->Value(), 55);
        EXPECT_DOUBLE_EQ(e->eObjCenaSpoluSKK->Value(), 2.18);
        // the focus went on to the rate, selected for typing over
        EXPECT_EQ(QApplication::focusWidget(), e->eDBObjKurz);
        EXPECT_EQ(e->eDBObjKurz->selectedText(), e->eDBObjKurz->text());
    });
    EXPECT_EQ(transcript.count(), 0);
}

TEST_F(JobEditorAssistTest, WithoutContactOrCombinationThePriceLoadOnlySays)
{
    Editor editor("JN");
    runNew(editor, [&](Editor* e) {
        e->eDBPrekladatel->FindIt(translator);  // shows btnPreKombinacie
        e->btnObjKombinacie->click();
        EXPECT_EQ(QApplication::focusWidget(), e->eDBObjednavatel);
        e->btnPreKombinacie->click();
    });
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_EQ(transcript.requests()[0].text, "Zadajte objednávateľa!");
    EXPECT_EQ(transcript.requests()[0].kind, DialogKind::Gray);
    EXPECT_EQ(transcript.requests()[0].type, msg::Error);
    EXPECT_EQ(transcript.requests()[1].text, "Zadajte jazykovú kombináciu!");
}

TEST_F(JobEditorAssistTest, AMissingRateIsOfferedToTheRateEditorAndLoadedAfterItsOk)
{
    job({{"pre_mena", "'CZK'"}, {"pre_kurz", "24.8"}});
    struct Case {
        const char* name;
        int answer;
        bool editorSaves;
        double price;  // 0: none loaded
    } cases[] = {
        {"No: only the last rate", msg::No, false, 0},
        {"Yes, the editor cancelled", msg::Yes, false, 0},
        {"Yes, the editor saved: loaded", msg::Yes, true, 1.5},
    };
    for (const Case& c : cases) {
        db.exec({"delete from kombinacie"});
        transcript.clear();
        transcript.answer(c.answer);
        struct Call {
            QVariant contact;
            bool translator;
            QVariant combination;
        };
        QList<Call> calls;
        Editor::Windows windows;
        windows.defineRate = [&](const QVariant& contact, bool isTranslator, const QVariant& combination) {
            calls.append({contact, isTranslator, combination});
            if (c.editorSaves)
                rate(contact.toLongLong(), combination.toLongLong(), "1.5", "CZK");
            return c.editorSaves;
        };
        Editor editor("JN", windows);
        runNew(editor, [&](Editor* e) {
            e->eDBJazykovaKombinacia->FindIt(enSk);
            e->eDBPrekladatel->FindIt(translator);
            e->eDBPreMena->setText("CZK");  // as an earlier load left it
            e->btnPreKombinacie->click();
            EXPECT_DOUBLE_EQ(e->eDBPreCenaMJ->Value(), c.price) << c.name;
            EXPECT_DOUBLE_EQ(e->eDBPreKurz->Value(), 24.8) << c.name;
        });
        ASSERT_GE(transcript.count(), 1) << c.name;
        const DialogRequest& question = transcript.requests()[0];
        EXPECT_EQ(question.text, "Prekladateľ nemá zadanú cenu prekladu tejto jazykovej kombinácie.\r\n\r\n"
                                 "Chcete zadať definíciu jazykovej kombinácie?");
        EXPECT_EQ(question.kind, DialogKind::Standard);
        EXPECT_EQ(question.buttons, (QList<int>{msg::Yes, msg::No}));
        EXPECT_EQ(transcript.count(), 1) << c.name;  // after the save the rate is found
        ASSERT_EQ(calls.size(), c.answer == msg::Yes ? 1 : 0) << c.name;
        if (!calls.isEmpty()) {
            EXPECT_EQ(calls[0].contact.toLongLong(), translator);
            EXPECT_TRUE(calls[0].translator);
            EXPECT_EQ(calls[0].combination.toLongLong(), enSk);
        }
    }
}

TEST_F(JobEditorAssistTest, AChangedCustomerLoadsItsPriceOnLeavingTheCombo)
{
    rate(customer, enSk, "12", "EUR");
    rate(otherCustomer, enSk, "14", "EUR");
    Editor editor("JN");
    runNew(editor, [&](Editor* e) {
        e->eDBJazykovaKombinacia->FindIt(enSk);
        focusOn(e->eDBObjednavatel);
        typeText(e->eDBObjednavatel, "Alfa");
        tab();
        EXPECT_DOUBLE_EQ(e->eDBObjCenaMJ->Value(), 12);
        e->eDBObjCenaMJ->setValue(99);
        // entered and left unchanged: nothing loaded
        focusOn(e->eDBObjednavatel);
        tab();
        EXPECT_DOUBLE_EQ(e->eDBObjCenaMJ->Value(), 99);
    });
    EXPECT_EQ(transcript.count(), 0) << (transcript.count() ? transcript.last().text.toStdString() : "");
}

// ---- the translator's workload ----------------------------------------------------------

TEST_F(JobEditorAssistTest, TheWorkloadCountsOtherAssignedUndeliveredJobs)
{
    const qint64 busy = job({{"datum_zadania_prekladatelovi", "'2026-03-03'"}});
    job({{"datum_zadania_prekladatelovi", "'2026-03-04'"}});
    job({{"datum_zadania_prekladatelovi", "'2026-03-04'"}, {"datum_dodania_prekladu", "'2026-03-05'"}});
    job({});  // not assigned
    EXPECT_EQ(read<qint64>([&](fb::Transaction& tr) { return CountWorkload(tr, translator, QVariant()); }), 2);
    EXPECT_EQ(read<qint64>([&](fb::Transaction& tr) { return CountWorkload(tr, translator, busy); }), 1);

    const auto leaveTranslator = [](Editor* e) {
        focusOn(e->eDBPrekladatel);
        tab();
    };
    Editor added("JN");
    runNew(added, [&](Editor* e) {
        e->eDBJazykovaKombinacia->FindIt(enSk);
        e->eDBPrekladatel->FindIt(translator);
        leaveTranslator(e);
        EXPECT_EQ(e->eDBPreSposobPlatby->currentText(), "prevodom");
    });
    ASSERT_GE(transcript.count(), 1);
    EXPECT_EQ(transcript.requests()[0].text, kWorkload.arg(2));
    EXPECT_EQ(transcript.requests()[0].kind, DialogKind::Plain);

    transcript.clear();
    Editor edited("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, busy);
    run(edited, d, [&](Editor* e) { leaveTranslator(e); });
    EXPECT_EQ(texts(), QStringList{kWorkload.arg(1)});
}

// ---- the duplicate mark -----------------------------------------------------------------

TEST_F(JobEditorAssistTest, ADuplicateMarkIsFoundInAnyLetterCaseButNotOnTheJobItself)
{
    const qint64 own = job({{"znacka", "'Zml-7b'"}});
    EXPECT_TRUE(read<bool>([&](fb::Transaction& tr) { return HasDuplicateMark(tr, "  zML-7B ", QVariant()); }));
    EXPECT_FALSE(read<bool>([&](fb::Transaction& tr) { return HasDuplicateMark(tr, "zml-7b", own); }));
    EXPECT_FALSE(read<bool>([&](fb::Transaction& tr) { return HasDuplicateMark(tr, "   ", QVariant()); }));

    Editor added("JN");
    runNew(added, [&](Editor* e) {
        focusOn(e->eDBZnacka);
        typeText(e->eDBZnacka, "zml-7B");
        tab();
        EXPECT_EQ(QApplication::focusWidget(), e->eDBZnacka);  // back for a correction
        EXPECT_EQ(texts(), QStringList{kDuplicate});
        EXPECT_EQ(transcript.last().kind, DialogKind::Red);
        // leaving the same mark again goes on without a second message
        tab();
        EXPECT_NE(QApplication::focusWidget(), e->eDBZnacka);
        EXPECT_EQ(transcript.count(), 1);
    });

    transcript.clear();
    Editor edited("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, own);
    run(edited, d, [&](Editor* e) {
        focusOn(e->eDBZnacka);
        tab();
        EXPECT_EQ(transcript.count(), 0);
    });
}

// ---- the code lists ---------------------------------------------------------------------

TEST_F(JobEditorAssistTest, AnUnknownCustomerIsAddedFromTheEditor)
{
    QStringList names;
    Editor::Windows windows;
    windows.addContact = [&](bool isTranslator, const QString& name) -> QVariant {
        EXPECT_FALSE(isTranslator);
        names << name;
        return contact(0, name);
    };
    Editor editor("JN", windows);
    runNew(editor, [&](Editor* e) {
        focusOn(e->eDBObjednavatel);
        typeText(e->eDBObjednavatel, "Gama s.r.o.");
        tab();
        EXPECT_FALSE(e->eDBObjednavatel->keyValue(1).isNull());
        EXPECT_EQ(e->eDBObjednavatel->currentText(), "Gama s.r.o.");
    });
    EXPECT_EQ(names, QStringList{"Gama s.r.o."});
    ASSERT_GE(transcript.count(), 1);
    const DialogRequest& offer = transcript.requests()[0];
    EXPECT_EQ(offer.kind, DialogKind::Gray);
    EXPECT_EQ(offer.text, "Hlásenie #1013\r\n\r\nZadaný údaj sa nenachádza v číselníku!\r\n\r\nPridať nový záznam?");
    EXPECT_EQ(offer.buttons, (QList<int>{msg::Yes, msg::No}));
    EXPECT_EQ(offer.defaultResult, msg::Yes);
    EXPECT_EQ(db.scalar("select count(*) from adresar where meno='Gama s.r.o.' and typ=0").toInt(), 1);
}

TEST_F(JobEditorAssistTest, ANameNeitherFoundNorAddedIsNeverSaved)
{
    int offered = 0;
    Editor::Windows windows;
    windows.addContact = [&](bool, const QString&) -> QVariant {
        ++offered;
        return {};  // the contact editor cancelled
    };
    Editor editor("JN", windows);
    runNew(editor, [&](Editor* e) {
        e->eDBJazykovaKombinacia->FindIt(enSk);
        e->eDBObjednavatel->FindIt(customer);
        transcript.answer(msg::No);
        focusOn(e->eDBPrekladatel);
        typeText(e->eDBPrekladatel, "Neznámy");
        tab();
        EXPECT_EQ(QApplication::focusWidget(), e->eDBPrekladatel);
        transcript.answer(msg::Yes);
        QTest::keyClick(e, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), e->eDBPrekladatel);
    });
    EXPECT_EQ(offered, 1);  // No asked nothing of the contact editor
    EXPECT_EQ(db.scalar("select count(*) from preklady").toInt(), 0);
}

TEST_F(JobEditorAssistTest, PickersOpenTheCodeListsWithTheJobsValues)
{
    struct Pick {
        bool translator;
        QVariant current, combination;
    };
    QList<Pick> picks;
    QVariant next;  // what the fake list returns
    Editor::Windows windows;
    windows.pickContact = [&](bool isTranslator, const QVariant& current, const QVariant& combination) {
        picks.append({isTranslator, current, combination});
        return next;
    };
    windows.pickCombination = [&](const QVariant& current) {
        picks.append({false, current, QVariant()});
        return next;
    };
    Editor editor("JN", windows);
    runNew(editor, [&](Editor* e) {
        EXPECT_FALSE(e->btnPrekladatel->isHidden());
        next = deSk;
        e->btnDBJazykovaKombinacia->click();
        EXPECT_EQ(e->eDBJazykovaKombinacia->currentText(), "DE-SK");

        next = translator;
        focusOn(e->eDBPrekladatel);
        QTest::keyClick(e->eDBPrekladatel, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_EQ(e->eDBPrekladatel->keyValue(1).toLongLong(), translator);
        EXPECT_NE(QApplication::focusWidget(), e->eDBPrekladatel);  // left: its exit ran
        EXPECT_EQ(e->eDBPreSposobPlatby->currentText(), "prevodom");

        next = QVariant();  // cancelled
        e->btnObjednavatel->click();
        EXPECT_TRUE(e->eDBObjednavatel->IsEmpty());
        EXPECT_EQ(QApplication::focusWidget(), e->eDBObjednavatel);
    });
    ASSERT_EQ(picks.size(), 3);
    EXPECT_FALSE(picks[0].current.isValid() && !picks[0].current.isNull());
    EXPECT_TRUE(picks[1].translator);
    EXPECT_EQ(picks[1].combination.toLongLong(), deSk);
    EXPECT_FALSE(picks[2].translator);
    EXPECT_FALSE(picks[2].combination.isValid());

    // Without the windows the "..." buttons are not offered.
    Editor bare("JN");
    EXPECT_TRUE(bare.btnObjednavatel->isHidden());
    EXPECT_TRUE(bare.btnDBJazykovaKombinacia->isHidden());
}
