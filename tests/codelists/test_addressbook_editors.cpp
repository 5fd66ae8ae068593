// The contact editor and the rate editor over a migrated database, driven with
// real keys: the name's uniqueness per address type, what a new contact
// stores, the colour's way to FARBA and back, the mail buttons, a vanished
// row; the rate's price history (its side, its order, a job with a rate of 0)
// and saving a rate.
#include "TestDatabase.h"
#include "codelists/fCAdresarPridaj.h"
#include "codelists/fCKombinaciePridaj.h"
#include "sample/SampleData.h"
#include "controls/DbGridQDL.h"
#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/InnerButton.h"
#include "controls/QDLBtn.h"
#include "fb/Decimal.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "framework/UiHelpers.h"
#include "platform/MailLink.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/SavesUnchanged.h"
#include "support/TempSettings.h"
#include "support/Typing.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class EditorTest : public ::testing::Test {
protected:
    EditorTest()
    {
        setMainConnection(&db.connection());
        db.exec({"insert into adresar (jedin, typ, meno, sposob_platby, pravna_forma) values (1, 0, 'Alfa s.r.o.', '', 1)",
                 "insert into adresar (jedin, typ, meno, sposob_platby, farba, pravna_forma) values (2, 1, 'Beta', 'prevodom', 255, 3)",
                 "insert into jazykove_kombinacie (jedin, skratka) values (1, 'EN-SK')",
                 "insert into jazykove_kombinacie (jedin, skratka) values (2, 'DE-SK')",
                 "insert into merne_jednotky (jedin, skratka) values (1, 'NS')",
                 "alter sequence adresar_id restart with 100", "alter sequence kombinacie_id restart with 100"});
    }
    ~EditorTest() override { setMainConnection(nullptr); }

    // Runs `editor` with `d`; `step` drives it once shown. An editor the step
    // leaves open is cancelled afterwards. False when it never showed.
    template <class Editor>
    bool run(Editor& editor, TFormDetails& d, const std::function<void(Editor*)>& step)
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
        return shown;
    }

    QVariant value(const QString& sql) { return db.scalar(sql); }
    int count(const QString& sql) { return value(sql).toInt(); }
    bool saw(int message) const
    {
        const QString text = LoadMessageText(QStringLiteral("ERR%1").arg(message)).trimmed().section('\r', 0, 0);
        for (const DialogRequest& r : transcript.requests())
            if (r.text.contains(text))
                return true;
        return false;
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript;
};

// ---- contact editor ------------------------------------------------------------------

TEST_F(EditorTest, NameIsUniqueAmongContactsOfTheSameTypeIgnoringCase)
{
    struct Case {
        bool translator;
        const char* name;
        bool saved;
    } cases[] = {
        {false, "Beta", true},           // a translator's name for a customer
        {false, "ALFA S.R.O.", false},   // another customer's name in other letter case
        {true, "alfa s.r.o.", true},     // a customer's name for a translator
        {true, "bETA", false},
    };
    for (const Case& c : cases) {
        transcript.clear();
        const int before = count("select count(*) from adresar");
        TfrmCAdresarPridaj editor;
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert);
        d.Flag = c.translator;
        ASSERT_TRUE(run<TfrmCAdresarPridaj>(editor, d, [&](TfrmCAdresarPridaj* e) {
            typeInto(e->eDBMeno, QString::fromUtf8(c.name));
            if (c.translator)
                typeInto(e->eDBSposobPlatby, "hotovosť");
            press(e, Qt::Key_F12);
        }));
        EXPECT_EQ(d.result() == TFormDetails::ResultOk, c.saved) << c.name;
        EXPECT_EQ(count("select count(*) from adresar"), before + (c.saved ? 1 : 0)) << c.name;
        EXPECT_EQ(saw(1004), !c.saved) << c.name;
        if (c.saved) {
            EXPECT_EQ(count(QString("select typ from adresar where jedin=%1").arg(d.Current.toInt())),
                      c.translator ? 1 : 0);
        }
    }
}

TEST_F(EditorTest, NewCustomerStartsAsPrivatePersonWithoutPaymentMethodAndCutsTheGivenName)
{
    TfrmCAdresarPridaj editor;
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    d.Text = QString(60, QLatin1Char('N'));
    ASSERT_TRUE(run<TfrmCAdresarPridaj>(editor, d, [&](TfrmCAdresarPridaj* e) {
        EXPECT_EQ(e->windowTitle(), "Pridanie kontaktu");
        EXPECT_EQ(e->size(), QSize(501, 455));
        EXPECT_EQ(e->eDBMeno->text(), QString(50, QLatin1Char('N')));
        EXPECT_EQ(e->eDBPravnaForma->currentText(), "súkromná osoba");
        EXPECT_FALSE(e->eDBSposobPlatby->isVisible());
        EXPECT_FALSE(e->lblSposobPlatby->isVisible());
        EXPECT_FALSE(e->btnFarba->isVisible());
        EXPECT_FALSE(e->Shape1->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), e->eDBMeno);
        press(e, Qt::Key_F12);
    }));
    ASSERT_EQ(d.result(), TFormDetails::ResultOk);
    const QString row = QString(" from adresar where jedin=%1").arg(d.Current.toInt());
    EXPECT_EQ(value("select sposob_platby" + row).toString(), "");
    EXPECT_FALSE(value("select sposob_platby" + row).isNull());
    EXPECT_TRUE(value("select farba" + row).isNull());
    EXPECT_EQ(value("select pravna_forma" + row).toInt(), 1);
    EXPECT_EQ(value("select adresa" + row).toString(), "");
    EXPECT_FALSE(value("select adresa" + row).isNull());
}

TEST_F(EditorTest, ColourGoesToFarbaRedInTheLowestByteAndComesBack)
{
    const QColor chosen(200, 100, 50);
    const auto previous = TfrmCAdresarPridaj::colourChooser();
    QColor offered;
    TfrmCAdresarPridaj::colourChooser() = [&](const QColor& initial, QWidget*) {
        offered = initial;
        return chosen;
    };
    TfrmCAdresarPridaj editor;
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, 1);
    ASSERT_TRUE(run<TfrmCAdresarPridaj>(editor, d, [&](TfrmCAdresarPridaj* e) {
        EXPECT_EQ(e->windowTitle(), "Oprava kontaktu");
        EXPECT_FALSE(e->eDBFarba->isChecked());
        e->eDBFarba->setChecked(true);
        EXPECT_TRUE(e->btnFarba->isVisible());
        EXPECT_TRUE(e->Shape1->isVisible());
        e->btnFarba->click();
        EXPECT_EQ(offered, QColor(Qt::white));
        press(e, Qt::Key_F12);  // the name is unchanged: no duplicate of itself
    }));
    ASSERT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_FALSE(saw(1004));
    const int stored = value("select farba from adresar where jedin=1").toInt();
    EXPECT_EQ(stored, 50 << 16 | 100 << 8 | 200);
    // The register paints the contact's cells from the stored number.
    EXPECT_EQ(ColorFromDelphi(stored), chosen);

    TfrmCAdresarPridaj again;
    InitDetails(d, TFormDetails::Edit, {}, 1);
    ASSERT_TRUE(run<TfrmCAdresarPridaj>(again, d, [&](TfrmCAdresarPridaj* e) {
        EXPECT_TRUE(e->eDBFarba->isChecked());
        EXPECT_EQ(e->colour(), chosen);
        EXPECT_EQ(e->Shape1->palette().color(QPalette::Window), chosen);
        e->eDBFarba->setChecked(false);  // unticking removes the colour
        press(e, Qt::Key_F12);
    }));
    EXPECT_TRUE(value("select farba from adresar where jedin=1").isNull());
    TfrmCAdresarPridaj::colourChooser() = previous;
}

TEST_F(EditorTest, TickedWithoutChoosingStoresWhite)
{
    TfrmCAdresarPridaj editor;
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    d.Flag = true;
    ASSERT_TRUE(run<TfrmCAdresarPridaj>(editor, d, [&](TfrmCAdresarPridaj* e) {
        EXPECT_TRUE(e->eDBSposobPlatby->isVisible());
        typeInto(e->eDBMeno, "Gama");
        typeInto(e->eDBSposobPlatby, "prevodom");
        e->eDBFarba->setChecked(true);
        press(e, Qt::Key_F12);
    }));
    ASSERT_EQ(d.result(), TFormDetails::ResultOk);
    const QString row = QString(" from adresar where jedin=%1").arg(d.Current.toInt());
    EXPECT_EQ(value("select farba" + row).toInt(), 16777215);
    EXPECT_EQ(value("select sposob_platby" + row).toString(), "prevodom");
}

TEST_F(EditorTest, MailButtonOfAnEmptyFieldDoesNothing)
{
    QList<QUrl> opened;
    const MailOpener previous = setMailOpener([&](const QUrl& url) { opened << url; });
    TfrmCAdresarPridaj editor;
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert);
    run<TfrmCAdresarPridaj>(editor, d, [&](TfrmCAdresarPridaj* e) {
        typeInto(e->eDBMeno, "Novák");
        typeInto(e->eDBEmail, "novak@firma.sk");
        e->eDBEmail2->button()->click();
        EXPECT_TRUE(opened.isEmpty());
        e->eDBEmail->button()->click();
    });
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toString(QUrl::FullyEncoded), "mailto:%22Nov%C3%A1k%22%20%3Cnovak@firma.sk%3E");
    setMailOpener(previous);
}

TEST_F(EditorTest, ContactDeletedByAnotherWorkstationIsReportedAndCancelled)
{
    TfrmCAdresarPridaj editor;
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, {}, 99);
    editor.SetDetails(d);  // closes itself without showing
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
    EXPECT_TRUE(saw(1012));

    // Deleted while the editor is open: the save does not pass for one.
    transcript.clear();
    InitDetails(d, TFormDetails::Edit, {}, 1);
    TfrmCAdresarPridaj open;
    run<TfrmCAdresarPridaj>(open, d, [&](TfrmCAdresarPridaj* e) {
        db.exec({"delete from adresar where jedin=1"});
        press(e, Qt::Key_F12);
        EXPECT_TRUE(e->isVisible());
    });
    EXPECT_NE(d.result(), TFormDetails::ResultOk);
    EXPECT_EQ(count("select count(*) from adresar where jedin=1"), 0);
}

// ---- rate editor ----------------------------------------------------------------------

class RateEditorTest : public EditorTest {
protected:
    RateEditorTest()
    {
        // Jobs as older data may hold them: the server's job trigger would
        // refuse a price with an exchange rate of 0, so it is off while they
        // are written.
        db.exec({"alter trigger preklady_biu inactive"});
        const char* jobs[] = {
            // jedin, received, combination, customer price/rate, translator price/rate
            "1, '2026-01-10', 1, 20, 1, 10, 2",
            "2, '2026-02-10', 1, 30, 1, 0, 1",   // no translator price: not listed for him
            "3, '2026-03-10', 1, 40, 0, 8, 0",   // rates of 0: no euro price, no failure
            "4, '2026-04-10', 2, 50, 1, 9, 1",   // another combination
        };
        for (const char* j : jobs)
            db.exec({QString("insert into preklady (jedin, datum_prijatia, jazykova_kombinacia, obj_cena_mj, obj_kurz, "
                             "pre_cena_mj, pre_kurz, objednavatel, prekladatel, obj_mj, pre_mj, obj_mena, pre_mena) "
                             "values (%1, 1, 2, 1, 1, 'EUR', 'CZK')")
                         .arg(QString::fromLatin1(j))});
        db.exec({"alter trigger preklady_biu active"});
    }

    static QList<int> keys(TDbGridQDL* grid)
    {
        QList<int> out;
        for (int row = 0; row < grid->CountRecords(); ++row)
            out << grid->gridModel()->keyOfRow(row).toInt();
        return out;
    }
};

TEST_F(RateEditorTest, HistoryListsTheContactsSideNewestFirstWithoutZeroPrices)
{
    struct Case {
        bool translator;
        int contact;
        QList<int> jobs;
        const char* price;  // of job 1
        const char* currency;
    } cases[] = {
        {true, 2, {3, 1}, "10.000", "CZK"},
        {false, 1, {3, 2, 1}, "20.000", "EUR"},
    };
    for (const Case& c : cases) {
        TfrmCKombinaciePridaj editor;
        TFormDetails d;
        InitDetails(d, TFormDetails::Insert, c.contact);
        d.Flag = c.translator;
        ASSERT_TRUE(run<TfrmCKombinaciePridaj>(editor, d, [&](TfrmCKombinaciePridaj* e) {
            EXPECT_EQ(e->windowTitle(), "Pridanie ceny");
            EXPECT_FALSE(e->grCeny->isOpen() && !e->grCeny->isEmpty());
            typeInto(e->eDBNazov, "EN-SK");
            press(e, Qt::Key_Tab);
            EXPECT_EQ(keys(e->grCeny), c.jobs);
            const TGridModel* m = e->grCeny->gridModel();
            const int job1 = int(c.jobs.size()) - 1, job3 = 0;
            EXPECT_EQ(m->fieldValue(job1, QStringLiteral("OBJ_CENA_MJ")).value<fb::Decimal>().toString(), c.price);
            EXPECT_EQ(m->fieldValue(job1, QStringLiteral("OBJ_MENA")).toString(), c.currency);
            EXPECT_EQ(m->fieldValue(job1, QStringLiteral("OBJ_MJ")).toString(), "NS");
            EXPECT_TRUE(m->fieldValue(job3, QStringLiteral("OBJ_CENA_MJ_EUR")).isNull());
        }));
        EXPECT_TRUE(transcript.requests().isEmpty()) << transcript.last().text.toStdString();
    }
}

TEST_F(RateEditorTest, AddFromTheJobEditorPresetsTheCombinationAndReturnsTheNewRow)
{
    TfrmCKombinaciePridaj editor;
    TFormDetails d;
    InitDetails(d, TFormDetails::Insert, 2);
    d.Flag = true;
    d.Value = 1;
    d.ShowNext = false;
    ASSERT_TRUE(run<TfrmCKombinaciePridaj>(editor, d, [&](TfrmCKombinaciePridaj* e) {
        EXPECT_EQ(e->size(), QSize(660, 243));
        EXPECT_FALSE(e->btnDalsi->isVisible());
        EXPECT_EQ(e->eDBNazov->currentText(), "EN-SK");
        EXPECT_EQ(keys(e->grCeny), (QList<int>{3, 1}));
        typeInto(e->eDBCena, "12,5");
        typeInto(e->eDBMena, "eur");
        typeInto(e->eDBMJ, "NS");
        press(e, Qt::Key_F12);
    }));
    ASSERT_EQ(d.result(), TFormDetails::ResultOk) << (transcript.count() ? transcript.last().text.toStdString() : "");
    const QString row = QString(" from kombinacie where jedin=%1").arg(d.Current.toInt());
    EXPECT_EQ(value("select adresar" + row).toInt(), 2);
    EXPECT_EQ(value("select jazykova_kombinacia" + row).toInt(), 1);
    EXPECT_EQ(value("select cena" + row).value<fb::Decimal>().toString(), "12.500");
    EXPECT_EQ(value("select mena" + row).toString(), "EUR");
    EXPECT_EQ(value("select mj" + row).toInt(), 1);
}

TEST_F(RateEditorTest, EditingToACombinationTheContactHasIsAcceptedAndKeepsTheOwner)
{
    db.exec({"insert into kombinacie (jedin, adresar, jazykova_kombinacia, cena, mena, mj) values (1, 2, 1, 10, 'EUR', 1)",
             "insert into kombinacie (jedin, adresar, jazykova_kombinacia, cena, mena, mj) values (2, 2, 2, 11, 'EUR', 1)"});
    TfrmCKombinaciePridaj editor;
    TFormDetails d;
    InitDetails(d, TFormDetails::Edit, 1, 2);  // a wrong Parent must not move the row
    d.Flag = true;
    ASSERT_TRUE(run<TfrmCKombinaciePridaj>(editor, d, [&](TfrmCKombinaciePridaj* e) {
        EXPECT_EQ(e->windowTitle(), "Oprava ceny");
        EXPECT_EQ(e->eDBNazov->currentText(), "DE-SK");
        EXPECT_EQ(e->eDBMena->currentText(), "EUR");
        e->eDBNazov->lineEdit()->selectAll();
        typeInto(e->eDBNazov, "EN-SK");
        press(e, Qt::Key_F12);
    }));
    ASSERT_EQ(d.result(), TFormDetails::ResultOk) << (transcript.count() ? transcript.last().text.toStdString() : "");
    EXPECT_EQ(count("select count(*) from kombinacie where adresar=2 and jazykova_kombinacia=1"), 2);
    EXPECT_EQ(value("select adresar from kombinacie where jedin=2").toInt(), 2);
}

}  // namespace

// ---- the sample agency ------------------------------------------------------------------


// The sample agency's contacts (names up to the column's 75 characters with
// their address) and rates (several currencies) all save unchanged.
TEST(AddressBookOnTheSample, EveryContactAndRateSavesUnchangedWithoutAQuestion)
{
    TestDatabase db(TestDatabase::Migrated);
    FillSampleData(db.connection(), 30);
    setMainConnection(&db.connection());
    ASSERT_GT(db.scalar("select max(char_length(nazov_uplny)) from adresar").toInt(), 50) << "long names";
    ASSERT_GT(db.scalar("select count(distinct mena) from kombinacie").toInt(), 1) << "several currencies";
    TfrmCAdresarPridaj contactEditor;
    ExpectEveryRowSavesUnchanged(db, "adresar", contactEditor, [](TFormDetails& d, const QVariantMap& row) {
        d.Flag = row.value("TYP").toInt() == 1;
    });
    const std::map<qint64, QVariantMap> contacts = db.rows("adresar");
    TfrmCKombinaciePridaj rateEditor;
    ExpectEveryRowSavesUnchanged(db, "kombinacie", rateEditor, [&](TFormDetails& d, const QVariantMap& row) {
        d.Parent = row.value("ADRESAR");
        d.Flag = contacts.at(row.value("ADRESAR").toLongLong()).value("TYP").toInt() == 1;
    });
    setMainConnection(nullptr);
}
