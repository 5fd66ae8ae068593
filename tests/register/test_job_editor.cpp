// The translation job editor over a migrated database, driven with real keys:
// what Clear keeps between jobs, the PM by mode, the question before saving a
// loss, the rating by visibility, rates of zero, failed saves and totals that
// agree with what the server stores.
#include "TestDatabase.h"
#include "controls/DataControl.h"
#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBDate.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/IBTime.h"
#include "controls/QDLBtn.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Clock.h"
#include "framework/MainConnection.h"
#include "sample/SampleData.h"
#include "register/fEPrekladyPridaj.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/QtPrinters.h"
#include "support/SavesUnchanged.h"
#include "support/Typing.h"

#include <QApplication>

#include <map>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Editor = TfrmEPrekladyPridaj;

const QDateTime kNow(QDate(2026, 3, 10), QTime(9, 30));

fb::Decimal dec(const char* text)
{
    return *fb::Decimal::fromString(QString::fromLatin1(text));
}

// The value of a money column as a Decimal (null: nothing).
std::optional<fb::Decimal> money(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    return v.value<fb::Decimal>();
}

// Leaves the control that has the focus with Tab.
void tab(QWidget* editor)
{
    press(editor, Qt::Key_Tab);
}

class JobEditorTest : public ::testing::Test {
protected:
    JobEditorTest()
    {
        Clock::pinClock(kNow);
        setMainConnection(&db.connection());
        rated = insertReturning("insert into jazykove_kombinacie (skratka, hodnoteny) values ('EN-SK', 1) returning jedin");
        unrated =
            insertReturning("insert into jazykove_kombinacie (skratka, hodnoteny) values ('DE-SK', 0) returning jedin");
        customer = insertReturning("insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
                                   "values (gen_id(adresar_id, 1), 0, 'Alfa', '', '', '', '') returning jedin");
        translator = insertReturning("insert into adresar (jedin, typ, meno, adresa, mesto, stat, sposob_platby) "
                                     "values (gen_id(adresar_id, 1), 1, 'Nováková', '', '', '', 'prevodom') "
                                     "returning jedin");
        unit = insertReturning("insert into merne_jednotky (skratka) values ('NS') returning jedin");
    }
    ~JobEditorTest() override
    {
        setMainConnection(nullptr);
        Clock::unpinClock();
    }

    qint64 insertReturning(const QString& sql)
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

    // A job as the register would have stored it.
    qint64 insertJob(const QString& pm = "ZZ", const QString& delivered = "null")
    {
        return insertReturning(
            QString("insert into preklady (jedin, znacka, nazov, pm, datum_prijatia, termin, "
                    "datum_zadania_prekladatelovi, datum_dodania_prekladu, jazykova_kombinacia, objednavatel, "
                    "obj_cena_mj, obj_mj, obj_mena, obj_kurz, obj_koeficient, obj_rozsah, obj_faktura, "
                    "prekladatel, pre_cena_mj, pre_mena, pre_kurz, pre_koeficient, pre_rozsah, pre_faktura, "
                    "poznamka, hodnoteny, hodnotenie) "
                    "values (gen_id(preklady_id, 1), '2026/007', 'Zmluva', '%1', '2026-03-02 08:15:00', "
                    "'2026-03-20 14:30:00', '2026-03-03', %2, %3, %4, 12.5, %5, 'EUR', 1, 100, 10, '', "
                    "%6, 8, 'EUR', 1, 100, 10, '', 'pozn', 1, 90) returning jedin")
                .arg(pm, delivered, QString::number(rated), QString::number(customer), QString::number(unit),
                     QString::number(translator)));
    }

    QVariantMap job(const QVariant& jedin)
    {
        fb::Transaction tr(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
        fb::Query q(tr);
        tr.start();
        q.setSql("select * from preklady where jedin=:J");
        q.setParam("J", jedin);
        QVariantMap row;
        if (q.executeAtMostOneRow())
            for (int i = 0; i < q.columnCount(); ++i)
                row[q.column(i).name] = q.value(i);
        tr.commit();
        return row;
    }

    int jobCount() { return db.scalar("select count(*) from preklady").toInt(); }

    // What every new job needs: the combination, the customer (as a picker
    // would set them) and, for a price, the loaded price per unit.
    void fillRequired(Editor* e, qint64 combination)
    {
        e->eDBJazykovaKombinacia->FindIt(combination);
        e->eDBObjednavatel->FindIt(customer);
    }

    // Runs `editor` with `d`; `step` drives it once it is shown. An editor the
    // step leaves open is cancelled afterwards.
    void run(Editor& editor, TFormDetails& d, const std::function<void(Editor*)>& step)
    {
        bool shown = false;
        onNextModal([&](QWidget* w) {
            shown = true;
            ASSERT_EQ(w, &editor);
            QApplication::setActiveWindow(&editor);
            step(&editor);
            if (editor.isVisible())
                editor.reject();
        });
        editor.SetDetails(d);
        EXPECT_TRUE(shown);
    }

    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript;
    qint64 rated = 0, unrated = 0, customer = 0, translator = 0, unit = 0;
};

}  // namespace

// ---- the window --------------------------------------------------------------------

TEST_F(JobEditorTest, ControlsLookAsTheirRoleSays)
{
    Editor e("JN");
    EXPECT_EQ(e.size(), QSize(839, 500));
    EXPECT_EQ(e.minimumSize(), e.maximumSize());
    struct Case {
        QWidget* control;
        bool required, readOnly;
    } cases[] = {
        {e.eDBZnacka, false, false},           {e.eDBJazykovaKombinacia, true, false},
        {e.eDBTerminDate, true, false},        {e.eDBTerminTime, true, false},
        {e.eDBObjednavatel, true, false},      {e.eDBPrekladatel, false, false},
        {e.eDBDatumPrijatia, false, true},     {e.eDBDatumPrijatiaTime, false, true},
        {e.eDBObjCenaMJ, false, true},         {e.eDBObjMena, false, true},
        {e.eDBObjMJ, false, true},             {e.eObjCenaSpoluSKK, false, true},
        {e.eObjNeuhradene, false, true},       {e.eHodnoteniePriemerne, false, true},
        {e.eDBPreCenaMJ, false, true},         {e.eDBPreSposobPlatby, false, true},
        {e.ePreCenaSpolu, false, true},        {e.eDBObjKurz, false, false},
    };
    for (const Case& c : cases) {
        const std::string name = c.control->objectName().toStdString();
        DataControl* dc = DataControl::of(c.control);
        ASSERT_NE(dc, nullptr) << name;
        EXPECT_EQ(dc->Required(), c.required) << name;
        EXPECT_EQ(dc->ReadOnly(), c.readOnly) << name;
        const QColor expected = c.readOnly   ? DataControl::buttonFaceColour()
                                : c.required ? DataControl::requiredColour()
                                             : DataControl::windowColour();
        EXPECT_EQ(dc->stateColour(), expected) << name;
        EXPECT_EQ(bool(c.control->focusPolicy() & Qt::TabFocus), !c.readOnly) << name;
        EXPECT_EQ(c.control->font().pixelSize(), 13) << name;
        EXPECT_TRUE(c.control->font().family().startsWith("Courier")) << name;
    }
    EXPECT_EQ(e.eDBZnacka->maxLength(), 25);
    EXPECT_EQ(e.eDBPM->maxLength(), 2);
    EXPECT_EQ(e.eDBObjMena->maxLength(), 5);
    EXPECT_EQ(e.eDBObjFaktura->maxLength(), 15);
    EXPECT_EQ(e.eDBObjKurz->Decimals(), 3);
    EXPECT_EQ(e.eDBPreCenaMJ->Decimals(), 3);
    EXPECT_EQ(e.eHodnotenie->Decimals(), 0);
    EXPECT_EQ(e.eHodnotenie->maxLength(), 3);
    EXPECT_FALSE(e.btnObjKombinacie->focusPolicy() & Qt::TabFocus);
    EXPECT_FALSE(e.eDBPoznamka->focusPolicy() & Qt::TabFocus);
    for (TIBDate* d : {e.eDBDatumZadaniaPrekladatelovi, e.eDBDatumDodaniaPrekladu, e.eDBDatumOdoslaniaPrekladu})
        EXPECT_EQ(d->MaxDate().toDate(), kNow.date()) << d->objectName().toStdString();
}

// ---- Clear, PM and captions by mode -------------------------------------------------------

TEST_F(JobEditorTest, AddLoopKeepsMarkTitleDeadlineAndCustomerAfterNextAndAlwaysSetsThePm)
{
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    run(editor, d, [&](Editor* e) {
        EXPECT_EQ(e->windowTitle(), "Pridanie prekladu");
        EXPECT_EQ(e->eDBPM->text(), "JN");
        EXPECT_EQ(e->eDBTerminDate->date(), kNow.date().addDays(1));
        EXPECT_EQ(e->eDBTerminTime->time(), QTime(12, 0));
        EXPECT_EQ(e->eDBDatumPrijatia->date(), kNow.date());
        EXPECT_EQ(QApplication::focusWidget(), e->eDBZnacka);
        typeInto(e->eDBZnacka, "2026/001");
        typeInto(e->eDBNazov, "Kúpna zmluva");
        e->eDBPM->selectAll();
        typeInto(e->eDBPM, "xy");
        EXPECT_EQ(e->eDBPM->text(), "XY");
        fillRequired(e, rated);
        e->eDBPrekladatel->FindIt(translator);
        typeInto(e->eDBObjRozsah, "12");
        press(e, Qt::Key_F11);
    });
    ASSERT_EQ(d.result(), TFormDetails::ResultNext) << (transcript.count() ? transcript.last().text.toStdString() : "");
    const QVariant first = d.Current;
    EXPECT_EQ(job(first)["PM"].toString(), "XY");
    EXPECT_EQ(job(first)["DATUM_PRIJATIA"].toDateTime().date(), QDate::currentDate());  // the server's clock

    d.Current = QVariant();
    run(editor, d, [&](Editor* e) {
        EXPECT_EQ(e->eDBZnacka->text(), "2026/001");
        EXPECT_EQ(e->eDBNazov->toPlainText(), "Kúpna zmluva");
        EXPECT_EQ(e->eDBTerminDate->date(), kNow.date().addDays(1));
        EXPECT_EQ(e->eDBObjednavatel->keyValue(1).toLongLong(), customer);
        EXPECT_EQ(e->eDBPM->text(), "JN");  // a new job is the user's again
        EXPECT_TRUE(e->eDBJazykovaKombinacia->IsEmpty());
        EXPECT_TRUE(e->eDBPrekladatel->IsEmpty());
        EXPECT_EQ(e->eDBObjRozsah->Value(), 0);
        EXPECT_EQ(e->eDBObjKurz->Value(), 1);
        EXPECT_EQ(e->eDBPreKoeficient->Value(), 100);
        EXPECT_TRUE(e->nextInTabOrder());
        press(e, Qt::Key_Escape);
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);

    run(editor, d, [&](Editor* e) {  // after a cancel everything starts over
        EXPECT_EQ(e->eDBZnacka->text(), "");
        EXPECT_EQ(e->eDBNazov->toPlainText(), "");
        EXPECT_TRUE(e->eDBObjednavatel->IsEmpty());
        EXPECT_EQ(e->eDBPM->text(), "JN");
    });
    EXPECT_EQ(jobCount(), 1);
}

TEST_F(JobEditorTest, EditShowsTheJobAndCopySavesItAnewWithItsPm)
{
    const qint64 id = insertJob("ZZ", "'2026-03-06'");
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, id);
    run(editor, d, [&](Editor* e) {
        EXPECT_EQ(e->windowTitle(), "Oprava prekladu");
        EXPECT_EQ(e->eDBPM->text(), "ZZ");
        EXPECT_EQ(e->eDBDatumPrijatia->date(), QDate(2026, 3, 2));
        EXPECT_EQ(e->eDBDatumPrijatiaTime->time(), QTime(8, 15));
        EXPECT_EQ(e->eDBTerminDate->date(), QDate(2026, 3, 20));
        EXPECT_EQ(e->eDBTerminTime->time(), QTime(14, 30));
        EXPECT_EQ(e->eDBPreSposobPlatby->currentText(), "prevodom");
        EXPECT_EQ(e->eHodnotenie->Value(), 90);
        EXPECT_EQ(e->eObjCenaSpolu->Value(), 125);
        EXPECT_FALSE(e->eHodnoteny->isHidden());
        EXPECT_FALSE(e->eDBDatumOdoslaniaPrekladu->isHidden());
        press(e, Qt::Key_Escape);
    });

    // The original is settled and sent; its copy is a new job that is neither.
    db.exec({QStringLiteral("update preklady set obj_faktura='FV26/0099', pre_faktura='VY-3', "
                            "datum_odoslania_prekladu='2026-03-07' where jedin=%1")
                 .arg(id)});
    InitDetails(d, TFormDetails::Copy, {}, id);
    run(editor, d, [&](Editor* e) {
        EXPECT_EQ(e->windowTitle(), "Kópia prekladu");
        EXPECT_EQ(e->eDBPM->text(), "ZZ");
        press(e, Qt::Key_F12);
    });
    ASSERT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_NE(d.Current.toLongLong(), id);
    const QVariantMap copy = job(d.Current);
    EXPECT_EQ(copy["PM"].toString(), "ZZ");
    EXPECT_EQ(copy["ZNACKA"].toString(), "2026/007");
    EXPECT_EQ(copy["NAZOV"].toString(), "Zmluva");
    EXPECT_EQ(copy["OBJEDNAVATEL"].toLongLong(), customer);
    EXPECT_EQ(copy["PREKLADATEL"].toLongLong(), translator);
    EXPECT_EQ(money(copy["OBJ_CENA"]), money(job(id)["OBJ_CENA"]));
    EXPECT_EQ(copy["TERMIN"], job(id)["TERMIN"]);
    for (const char* empty : {"OBJ_FAKTURA", "PRE_FAKTURA"})
        EXPECT_EQ(copy[empty].toString(), "") << empty;
    for (const char* none : {"DATUM_ZADANIA_PREKLADATELOVI", "DATUM_DODANIA_PREKLADU", "DATUM_ODOSLANIA_PREKLADU",
                             "HODNOTENIE"})
        EXPECT_TRUE(copy[none].isNull()) << none;
    EXPECT_EQ(copy["DATUM_PRIJATIA"].toDateTime().date(), QDate::currentDate());
    EXPECT_EQ(job(id)["DATUM_PRIJATIA"].toDateTime(), QDateTime(QDate(2026, 3, 2), QTime(8, 15), Qt::UTC));
}

TEST_F(JobEditorTest, AGoneJobIsReportedAndTheEditorNeverOpens)
{
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, 4711);
    editor.SetDetails(d);
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains("Záznam bol vymazaný iným užívateľom v sieti !"));
}

// ---- save ------------------------------------------------------------------------------

TEST_F(JobEditorTest, ATranslatorDearerThanTheCustomerAsksFirst)
{
    struct Case {
        const char* name;
        const char* preScope;
        std::optional<int> answer;  // nullopt: no question expected
        bool saved;
    } cases[] = {
        {"equal totals: no question", "10", std::nullopt, true},
        {"cheaper: no question", "9", std::nullopt, true},
        {"dearer, No", "11", msg::No, false},
        {"dearer, Yes", "11", msg::Yes, true},
    };
    for (const Case& c : cases) {
        transcript.clear();
        if (c.answer)
            transcript.answer(*c.answer);
        const int before = jobCount();
        Editor editor("JN");
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert);
        run(editor, d, [&](Editor* e) {
            fillRequired(e, rated);
            e->eDBPrekladatel->FindIt(translator);
            e->eDBObjCenaMJ->setValue(10);
            e->eDBPreCenaMJ->setValue(10);
            typeInto(e->eDBObjRozsah, "10");
            typeInto(e->eDBPreRozsah, c.preScope);
            press(e, Qt::Key_F12);
            EXPECT_EQ(e->isVisible(), !c.saved) << c.name;
        });
        EXPECT_EQ(jobCount() - before, c.saved ? 1 : 0) << c.name;
        if (c.answer) {
            ASSERT_EQ(transcript.count(), 1) << c.name;
            EXPECT_EQ(transcript.last().kind, DialogKind::Red);
            EXPECT_EQ(transcript.last().text, "Cena za preklad prevyšuje cenu pre objednávateľa!\r\n\r\n"
                                              "Želáte si uložiť preklad aj napriek tomu?");
            EXPECT_EQ(transcript.last().defaultResult, msg::No);
        } else {
            EXPECT_EQ(transcript.count(), 0) << c.name;
        }
    }
}

// A stored job at a loss is asked about when its prices change, not at every
// save of something else (its notes, its invoice number).
TEST_F(JobEditorTest, AnUnchangedLossOfAStoredJobIsNotAskedAboutAgain)
{
    const qint64 id = insertJob();
    db.exec({QStringLiteral("update preklady set pre_rozsah=20 where jedin=%1").arg(id)});  // 160 > 125
    for (const bool touchPrices : {false, true}) {
        SCOPED_TRACE(touchPrices ? "prices changed" : "notes changed");
        transcript.clear();
        transcript.answer(msg::Yes);
        Editor editor("JN");
        TFormDetails d;
        InitDetails(d, TFormDetails::Edit, {}, id);
        run(editor, d, [&](Editor* e) {
            if (touchPrices) {
                e->eDBPreRozsah->selectAll();
                typeInto(e->eDBPreRozsah, "21");
            } else {
                e->eDBPoznamka->selectAll();
                typeInto(e->eDBPoznamka, "iba poznámka");
            }
            press(e, Qt::Key_F12);
        });
        EXPECT_EQ(d.result(), TFormDetails::ResultOk);
        EXPECT_EQ(transcript.count(), touchPrices ? 1 : 0);
    }
}

TEST_F(JobEditorTest, TheRatingIsSavedOnlyWhereItIsShown)
{
    struct Case {
        const char* name;
        bool delivered;
        bool ratedCombination;
        bool checked;
        QVariant hodnoteny, hodnotenie;
    } cases[] = {
        {"not delivered: box checked with 100", false, true, true, 0, QVariant()},
        {"delivered, rated, checked", true, true, true, 1, 85},
        {"delivered, rated, unchecked", true, true, false, 0, QVariant()},
        {"delivered, combination not rated", true, false, true, 0, QVariant()},
    };
    for (const Case& c : cases) {
        Editor editor("JN");
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert);
        run(editor, d, [&](Editor* e) {
            fillRequired(e, c.ratedCombination ? rated : unrated);
            e->eDBPrekladatel->FindIt(translator);
            e->eDBDatumZadaniaPrekladatelovi->setDate(QDate(2026, 3, 3));
            if (c.delivered) {
                e->eDBDatumDodaniaPrekladu->setDate(QDate(2026, 3, 9));
                if (!e->eHodnotenie->isHidden()) {
                    e->eHodnotenie->setFocus();
                    typeInto(e->eHodnotenie, "85");
                }
            }
            if (!c.checked)
                e->eHodnoteny->setChecked(false);
            EXPECT_EQ(!e->eHodnotenie->isHidden(), c.delivered && c.ratedCombination && c.checked) << c.name;
            press(e, Qt::Key_F12);
        });
        ASSERT_EQ(d.result(), TFormDetails::ResultOk) << c.name;
        const QVariantMap row = job(d.Current);
        EXPECT_EQ(row["HODNOTENY"], c.hodnoteny) << c.name;
        EXPECT_EQ(row["HODNOTENIE"].isValid(), c.hodnotenie.isValid()) << c.name;
        if (c.hodnotenie.isValid()) {
            EXPECT_EQ(row["HODNOTENIE"].toInt(), c.hodnotenie.toInt()) << c.name;
        }
    }
}

TEST_F(JobEditorTest, AnEmptyTranslatorGroupSavesEvenWithARateOfZero)
{
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    run(editor, d, [&](Editor* e) {
        fillRequired(e, rated);
        e->eDBObjCenaMJ->setValue(20);
        typeInto(e->eDBObjRozsah, "3");
        typeInto(e->eDBPreKurz, "0");
        tab(e);
        EXPECT_EQ(e->eDBPreKurz->Value(), 0);
        press(e, Qt::Key_F12);
    });
    ASSERT_EQ(d.result(), TFormDetails::ResultOk) << (transcript.count() ? transcript.last().text.toStdString() : "");
    EXPECT_EQ(transcript.count(), 0);
    const QVariantMap row = job(d.Current);
    EXPECT_FALSE(row["PREKLADATEL"].isValid());
    EXPECT_EQ(money(row["PRE_KURZ"]), dec("0"));
    EXPECT_FALSE(money(row["PRE_CENA_SKK"]));
    EXPECT_EQ(money(row["OBJ_CENA_SKK"]), dec("60"));
    // texts left empty are stored empty, not null
    for (const char* column : {"ZNACKA", "NAZOV", "OBJ_MENA", "OBJ_FAKTURA", "PRE_MENA", "PRE_FAKTURA", "POZNAMKA"})
        EXPECT_EQ(row[column], QVariant(QString(""))) << column;
    EXPECT_FALSE(row["DATUM_ZADANIA_PREKLADATELOVI"].isValid());
    EXPECT_EQ(row["OBJ_UKONCENE"].toInt(), 0);
}

TEST_F(JobEditorTest, ARateOfZeroUnderAPriceIsRefusedBeforeAnythingIsSent)
{
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    run(editor, d, [&](Editor* e) {
        fillRequired(e, rated);
        e->eDBObjCenaMJ->setValue(20);
        typeInto(e->eDBObjRozsah, "3");
        typeInto(e->eDBObjKurz, "0");
        // No € figure without a rate: 60 in another currency is not 60 €.
        EXPECT_EQ(e->eObjCenaSpolu->Value(), 60);
        EXPECT_TRUE(e->eObjCenaSpoluSKK->text().isEmpty()) << e->eObjCenaSpoluSKK->text().toStdString();
        press(e, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), e->eDBObjKurz);
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
    EXPECT_EQ(jobCount(), 0);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, "Kurz meny nesmie byť nula.");
    EXPECT_EQ(transcript.last().type, msg::Error);
}

TEST_F(JobEditorTest, ASaveThatMeetsALockKeepsTheEditorOpenWithTheUsersValues)
{
    const qint64 id = insertJob();
    auto second = db.openSecond();
    auto hold = std::make_unique<fb::Transaction>(*second, QStringList{"write", "nowait"});
    hold->start();
    {
        fb::Query q(*hold);
        q.setSql("update preklady set znacka='iný' where jedin=:J");
        q.setParam("J", id);
        q.execute();
    }
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, id);
    run(editor, d, [&](Editor* e) {
        e->eDBZnacka->selectAll();
        typeInto(e->eDBZnacka, "2026/008");
        press(e, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible());
        EXPECT_EQ(e->eDBZnacka->text(), "2026/008");
        EXPECT_EQ(e->Current, QVariant(id));
        EXPECT_EQ(transcript.count(), 1);
        hold->rollback();
        press(e, Qt::Key_F12);
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_EQ(job(id)["ZNACKA"].toString(), "2026/008");
}

TEST_F(JobEditorTest, SavingAJobDeletedMeanwhileIsReportedAndNothingClosesAsSaved)
{
    const qint64 id = insertJob();
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, id);
    run(editor, d, [&](Editor* e) {
        db.exec({QStringLiteral("delete from preklady where jedin=%1").arg(id)});  // another workstation
        press(e, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible());
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_TRUE(transcript.last().text.contains(QStringLiteral("vymazaný iným užívateľom")))
            << transcript.last().text.toStdString();
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
    EXPECT_EQ(jobCount(), 0);
}

// Two workstations on one job: an edit saves only over the row it loaded.
// Another workstation's change is never overwritten unseen; the user sees it,
// may take it over for the fields he left alone, and loses nothing he typed.
TEST_F(JobEditorTest, AnEditNeverOverwritesWhatAnotherWorkstationSavedMeanwhile)
{
    struct Case {
        const char* name;
        const char* theirs;                   // the other workstation's update, committed while the editor is open
        std::function<void(Editor*)> mine;    // what the user types
        int answer;                           // to the conflict question
        QStringList mentioned;                // in the question
        QVariantMap stored;                   // the row afterwards
        bool closed;
    };
    const auto notes = [](const char* text) {
        return [text](Editor* e) {
            e->eDBPoznamka->selectAll();
            typeInto(e->eDBPoznamka, QString::fromUtf8(text));
        };
    };
    const Case cases[] = {
        {"title there, scope here: both kept", "update preklady set nazov='Zmluva o dielo' where jedin=:J",
         [](Editor* e) {
             e->eDBObjRozsah->selectAll();
             typeInto(e->eDBObjRozsah, "12");
         },
         msg::Yes, {"Názov: „Zmluva“ → „Zmluva o dielo“", "Objednávateľ: rozsah"},
         {{"NAZOV", "Zmluva o dielo"}, {"OBJ_ROZSAH", "12.00"}}, true},
        {"an invoice entered there, notes here: the invoice stays",
         "update preklady set obj_faktura='FV26/0099' where jedin=:J", notes("volal klient"), msg::Yes,
         {"Faktúra: (prázdne) → „FV26/0099“", "Poznámka"}, {{"OBJ_FAKTURA", "FV26/0099"}, {"POZNAMKA", "volal klient"}},
         true},
        {"the same field in both: nothing written until the user decides",
         "update preklady set poznamka='ich poznámka' where jedin=:J", notes("moja poznámka"), msg::No,
         {"Poznámka: „pozn“ → „ich poznámka“  (zmenili ste aj vy)"}, {{"POZNAMKA", "ich poznámka"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db.exec({"delete from preklady"});  // one job at a time: its mark is no duplicate
        const qint64 id = insertJob();
        auto other = db.openSecond();
        DialogTranscript answers;
        answers.answer(c.answer);
        Editor editor("JN");
        TFormDetails d;
        InitDetails(d, TFormDetails::Edit, {}, id);
        run(editor, d, [&](Editor* e) {
            fb::Transaction t(*other, {"write", "nowait"});
            t.start();
            fb::Query q(t);
            q.setSql(QString::fromUtf8(c.theirs));
            q.setParam("J", id);
            q.execute();
            t.commit();
            c.mine(e);
            press(e, Qt::Key_F12);
            EXPECT_EQ(e->isVisible(), !c.closed);
        });
        QStringList texts;
        for (const DialogRequest& r : answers.requests())
            texts << r.text;
        ASSERT_EQ(answers.count(), 1) << texts.join("\n----\n").toStdString();
        for (const QString& m : c.mentioned)
            EXPECT_TRUE(answers.last().text.contains(m)) << answers.last().text.toStdString() << "\nlacks " << m.toStdString();
        const QVariantMap row = job(id);
        for (auto it = c.stored.begin(); it != c.stored.end(); ++it)
            EXPECT_EQ(row[it.key()].toString(), it.value().toString()) << it.key().toStdString();
        EXPECT_EQ(d.result(), c.closed ? TFormDetails::ResultOk : TFormDetails::ResultCancel);
    }
}

// "Try again" after a lock conflict is no licence to overwrite: the change the
// other workstation committed meanwhile is found and shown, then kept.
TEST_F(JobEditorTest, TheRetryAfterALockConflictKeepsThePaymentEnteredMeanwhile)
{
    const qint64 id = insertJob();
    auto other = db.openSecond();
    fb::Transaction held(*other, {"write", "nowait"});
    held.start();
    fb::Query q(held);
    q.setSql("update preklady set pre_faktura='VY-7' where jedin=:J");
    q.setParam("J", id);
    q.execute();
    DialogTranscript answers;
    answers.answer(msg::OK).answer(msg::Yes);
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, id);
    run(editor, d, [&](Editor* e) {
        e->eDBPoznamka->selectAll();
        typeInto(e->eDBPoznamka, "nová");
        press(e, Qt::Key_F12);  // the lock
        EXPECT_TRUE(e->isVisible());
        held.commit();
        press(e, Qt::Key_F12);  // the retry the message asks for
    });
    ASSERT_EQ(answers.count(), 2);
    EXPECT_TRUE(answers.last().text.contains("Vyplatené: (prázdne) → „VY-7“")) << answers.last().text.toStdString();
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_EQ(job(id)["PRE_FAKTURA"].toString(), "VY-7");
    EXPECT_EQ(job(id)["POZNAMKA"].toString(), "nová");
}

TEST_F(JobEditorTest, TotalsWhileTypingEqualWhatTheServerStores)
{
    struct Case {
        double objPrice, prePrice;
        const char *objRate, *objCoef, *objScope, *preRate, *preCoef, *preScope;
    } cases[] = {
        {12.345, 7.5, "30.126", "87.5", "13.33", "1", "100", "13.33"},
        {0.333, 0.111, "3", "33.33", "3", "0.7", "150", "1.01"},
        {-10, 4.445, "1", "100", "2.5", "25.5", "12.25", "99"},
    };
    for (const Case& c : cases) {
        transcript.answer(msg::Yes);  // whatever the relation of the totals
        Editor editor("JN");
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert);
        PriceTotals obj, pre;
        run(editor, d, [&](Editor* e) {
            fillRequired(e, rated);
            e->eDBPrekladatel->FindIt(translator);
            e->eDBObjCenaMJ->setValue(c.objPrice);
            e->eDBPreCenaMJ->setValue(c.prePrice);
            const auto typeNumber = [&](TIBCurrencyEdit* edit, const char* text) {
                typeInto(edit, QString::fromLatin1(text));
                tab(e);
            };
            typeNumber(e->eDBObjKurz, c.objRate);
            typeNumber(e->eDBObjKoeficient, c.objCoef);
            typeNumber(e->eDBObjRozsah, c.objScope);
            typeNumber(e->eDBPreKurz, c.preRate);
            typeNumber(e->eDBPreKoeficient, c.preCoef);
            typeNumber(e->eDBPreRozsah, c.preScope);
            obj = {*fb::Decimal::fromString(e->eObjCenaSpolu->text().remove(QChar(0xA0)).remove(' ')),
                   *fb::Decimal::fromString(e->eObjCenaSpoluSKK->text().remove(QChar(0xA0)).remove(' '))};
            pre = {*fb::Decimal::fromString(e->ePreCenaSpolu->text().remove(QChar(0xA0)).remove(' ')),
                   *fb::Decimal::fromString(e->ePreCenaSpoluSKK->text().remove(QChar(0xA0)).remove(' '))};
            press(e, Qt::Key_F12);
        });
        ASSERT_EQ(d.result(), TFormDetails::ResultOk);
        const QVariantMap row = job(d.Current);
        // what was typed arrived
        EXPECT_EQ(money(row["OBJ_KURZ"]), dec(c.objRate));
        EXPECT_EQ(money(row["PRE_KOEFICIENT"]), dec(c.preCoef));
        EXPECT_EQ(money(row["PRE_ROZSAH"]), dec(c.preScope));
        EXPECT_EQ(money(row["OBJ_CENA"]), obj.total) << c.objRate;
        EXPECT_EQ(money(row["OBJ_CENA_SKK"]), obj.totalEur.value()) << c.objRate;
        EXPECT_EQ(money(row["PRE_CENA"]), pre.total) << c.preRate;
        EXPECT_EQ(money(row["PRE_CENA_SKK"]), pre.totalEur.value()) << c.preRate;
    }
}

// ---- visibility ----------------------------------------------------------------------

TEST_F(JobEditorTest, DatesFollowTheWorkflow)
{
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    run(editor, d, [&](Editor* e) {
        EXPECT_TRUE(e->eDBDatumDodaniaPrekladu->isHidden());
        EXPECT_TRUE(e->eDBDatumOdoslaniaPrekladu->isHidden());
        EXPECT_TRUE(e->btnPreKombinacie->isHidden());
        focusOn(e->eDBDatumZadaniaPrekladatelovi);
        EXPECT_TRUE(e->eDBDatumZadaniaPrekladatelovi->IsEmpty());  // no translator yet

        e->eDBPrekladatel->FindIt(translator);
        EXPECT_FALSE(e->btnPreKombinacie->isHidden());
        focusOn(e->eDBPrekladatel);
        focusOn(e->eDBDatumZadaniaPrekladatelovi);
        EXPECT_EQ(e->eDBDatumZadaniaPrekladatelovi->date(), kNow.date());
        tab(e);
        EXPECT_FALSE(e->eDBDatumDodaniaPrekladu->isHidden());

        // tomorrow is refused
        focusOn(e->eDBDatumDodaniaPrekladu);
        typeText(e->eDBDatumDodaniaPrekladu, "11032026");
        tab(e);
        EXPECT_EQ(QApplication::focusWidget(), e->eDBDatumDodaniaPrekladu);
        EXPECT_GE(transcript.count(), 1);
        transcript.clear();
        e->eDBDatumDodaniaPrekladu->selectAll();
        typeText(e->eDBDatumDodaniaPrekladu, "10032026");
        tab(e);
        EXPECT_EQ(transcript.count(), 0);
        EXPECT_EQ(e->eDBDatumDodaniaPrekladu->date(), kNow.date());
        EXPECT_FALSE(e->eDBDatumOdoslaniaPrekladu->isHidden());
        EXPECT_TRUE(e->eHodnoteny->isHidden());  // no combination chosen
    });
}

TEST_F(JobEditorTest, TabFromTheDeliveryDateGoesToTheRatingItReveals)
{
    Editor editor("JN");
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    run(editor, d, [&](Editor* e) {
        fillRequired(e, rated);
        e->eDBPrekladatel->FindIt(translator);
        focusOn(e->eDBDatumZadaniaPrekladatelovi);
        tab(e);
        ASSERT_EQ(QApplication::focusWidget(), e->eDBDatumDodaniaPrekladu);
        typeText(e->eDBDatumDodaniaPrekladu, "10032026");
        tab(e);
        EXPECT_EQ(QApplication::focusWidget(), e->eHodnoteny);
        tab(e);
        EXPECT_EQ(QApplication::focusWidget(), e->eHodnotenie);
        // A rating is 0 to 100: a negative one is refused where it was typed.
        e->eHodnotenie->selectAll();
        typeText(e->eHodnotenie, "50-");
        EXPECT_EQ(e->eHodnotenie->Value(), -50);
        transcript.clear();
        tab(e);
        EXPECT_EQ(QApplication::focusWidget(), e->eHodnotenie);
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_TRUE(transcript.last().text.contains("Hodnota nemôže byť záporná!"));
    });
}

// ---- the sample agency ------------------------------------------------------------------

// Every job of the sample agency (long names, several currencies, settled
// jobs) opened and saved unchanged: no question, no message, the row as it
// was. A cut name, a rounded price or a lookup that misses its own row shows
// up here as a dialog or a changed column.
TEST(JobEditorOnTheSample, EveryJobSavesUnchangedWithoutAQuestion)
{
    TestDatabase db(TestDatabase::Migrated);
    FillSampleData(db.connection(), 300);
    Clock::pinClock(QDateTime(SampleReferenceDate(), QTime(12, 0)));
    setMainConnection(&db.connection());
    ASSERT_GE(db.scalar("select count(*) from preklady").toInt(), 300);
    ASSERT_GT(db.scalar("select count(distinct obj_mena) from preklady").toInt(), 1) << "several currencies";
    ASSERT_GT(db.scalar("select max(char_length(nazov_uplny)) from adresar").toInt(), 50) << "long names";

    Editor editor("JN");
    ExpectEveryRowSavesUnchanged(db, "preklady", editor);
    setMainConnection(nullptr);
    Clock::unpinClock();
}
