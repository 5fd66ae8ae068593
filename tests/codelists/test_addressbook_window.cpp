// The address book over a few customers, translators, rates and jobs: what
// each list shows, the ranking of translators for a combination, the tabs and
// their captions, the filter strip, deleting referenced contacts, picking,
// and what the add and edit loops hand their editors.
#include "TestDatabase.h"
#include "codelists/fCAdresar.h"
#include "controls/DbGridQDL.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "fb/Decimal.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/TempSettings.h"
#include "support/Typing.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Window = TfrmCAdresar;

class AddressBookTest : public ::testing::Test {
protected:
    AddressBookTest()
    {
        setMainConnection(&db.connection());
        db.exec({"insert into jazykove_kombinacie (jedin, skratka) values (1, 'EN-SK')",
                 "insert into jazykove_kombinacie (jedin, skratka) values (2, 'DE-SK')",
                 "insert into merne_jednotky (jedin, skratka) values (1, 'NS')"});
        const char* contacts[] = {
            "1, 0, 'Alfa'", "2, 0, 'Delta'", "8, 0, 'Omega'",                     // customers
            "3, 1, 'Nováková'", "4, 1, 'Horák'", "5, 1, 'Kováč'", "6, 1, 'Zeman'", "7, 1, 'Bezák'",  // translators
        };
        for (const char* c : contacts)
            db.exec({QString("insert into adresar (jedin, typ, meno) values (%1)").arg(QString::fromUtf8(c))});
        const char* rates[] = {
            "1, 1, 1, 20", "2, 1, 2, 21", "3, 2, 1, 22",               // customers
            "4, 3, 1, 10", "5, 4, 1, 9", "6, 5, 1, 8", "7, 6, 2, 7",   // translators
        };
        for (const char* r : rates)
            db.exec({QString("insert into kombinacie (jedin, adresar, jazykova_kombinacia, cena, mena, mj) "
                             "values (%1, 'EUR', 1)")
                         .arg(QString::fromLatin1(r))});
        // jedin, combination, customer, translator, delivered, sent, rated, rating
        const char* jobs[] = {
            "1, 1, 1, 3, '2026-03-01', '2026-03-05', 1, 80",
            "2, 1, 1, 3, '2026-02-01', '2026-02-02', 1, 100",
            "3, 2, 1, 3, '2026-04-01', null, 1, 10",     // another combination, the latest delivery
            "4, 1, 1, 4, '2026-01-15', '2026-01-20', 1, 60",
            "5, 1, 1, 5, '2026-01-10', null, 0, null",  // not rated
        };
        db.exec({"alter trigger preklady_biu inactive"});
        for (const char* j : jobs)
            db.exec({QString("insert into preklady (jedin, jazykova_kombinacia, objednavatel, prekladatel, "
                             "datum_dodania_prekladu, datum_odoslania_prekladu, hodnoteny, hodnotenie) values (%1)")
                         .arg(QString::fromLatin1(j))});
        db.exec({"alter trigger preklady_biu active"});
    }
    ~AddressBookTest() override { setMainConnection(nullptr); }

    // Runs the address book with `d`; `step` drives it once shown and closes
    // it (Esc when it is still open).
    void run(TFormDetails& d, const std::function<void(Window*)>& step, Window::Editors editors = {})
    {
        bool shown = false;
        onNextModal([&](QWidget* w) {
            shown = true;
            auto* window = qobject_cast<Window*>(w);
            ASSERT_NE(window, nullptr);
            QApplication::setActiveWindow(window);
            QApplication::processEvents();
            step(window);
            if (window->isVisible())
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
        });
        RunViewer<Window>(d, std::move(editors));
        EXPECT_TRUE(shown);
    }

    static QList<int> keys(TDbGridQDL* grid)
    {
        QList<int> out;
        for (int row = 0; row < grid->CountRecords(); ++row)
            out << grid->gridModel()->keyOfRow(row).toInt();
        return out;
    }
    static QVariant cell(TDbGridQDL* grid, int key, const char* field)
    {
        for (int row = 0; row < grid->CountRecords(); ++row)
            if (grid->gridModel()->keyOfRow(row).toInt() == key)
                return grid->gridModel()->fieldValue(row, QString::fromLatin1(field));
        return QVariant();
    }
    static void key(QWidget* w, int k)
    {
        QTest::keyClick(w, Qt::Key(k));
        QApplication::processEvents();
    }
    static TFormDetails details(std::uint8_t mode, bool translators, const QVariant& value = {},
                                const QVariant& current = {})
    {
        TFormDetails d;
        InitDetails(d, mode, {}, current);
        d.Flag = translators;
        d.Value = value;
        return d;
    }

    TempSettings settings;
    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript transcript{msg::Yes};
};

TEST_F(AddressBookTest, TranslatorsWithoutCombinationShowTheirLatestDeliveryAndNoRate)
{
    TFormDetails d = details(TFormDetails::Browse, true);
    run(d, [&](Window* w) {
        EXPECT_EQ(w->windowTitle(), "Zoznam prekladateľov");
        EXPECT_EQ(w->minimumSize(), QSize(1061, 431));
        EXPECT_EQ(w->pc1->currentWidget(), w->tabAdresar);
        EXPECT_EQ(keys(w->gr1), (QList<int>{7, 4, 5, 3, 6}));  // by name
        EXPECT_EQ(cell(w->gr1, 3, "DATUM_DODANIA_PREKLADU").toDate(), QDate(2026, 4, 1));
        EXPECT_TRUE(cell(w->gr1, 7, "DATUM_DODANIA_PREKLADU").isNull());
        for (const char* empty : {"CENA", "MENA", "MJ", "HODNOTENIE"})
            EXPECT_TRUE(cell(w->gr1, 3, empty).isNull()) << empty;
        EXPECT_EQ(w->sb1Panel->text(), "Počet záznamov: 5");
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultCancel);
}

TEST_F(AddressBookTest, CustomersReadTheLatestSentDate)
{
    TFormDetails d = details(TFormDetails::Browse, false);
    run(d, [&](Window* w) {
        EXPECT_EQ(w->windowTitle(), "Zoznam objednávateľov");
        EXPECT_EQ(cell(w->gr1, 1, "DATUM_DODANIA_PREKLADU").toDate(), QDate(2026, 3, 5));
    });
}

TEST_F(AddressBookTest, PickingATranslatorForACombinationRanksRatedOnesFirst)
{
    TFormDetails d = details(TFormDetails::Select, true, 1, 4);
    run(d, [&](Window* w) {
        EXPECT_EQ(w->eJazykovaKombinacia->currentText(), "EN-SK");
        EXPECT_EQ(w->gr1->Columns()[0].FieldName, "HODNOTENIE");
        EXPECT_EQ(w->gr1->Columns()[1].FieldName, "DATUM_DODANIA_PREKLADU");
        EXPECT_EQ(w->direction(), " DESC ");
        // Average rating in the combination, best first; unrated last.
        EXPECT_EQ(keys(w->gr1), (QList<int>{3, 4, 5}));
        EXPECT_EQ(cell(w->gr1, 3, "HODNOTENIE").value<fb::Decimal>().toString(), "90.00");
        EXPECT_TRUE(cell(w->gr1, 5, "HODNOTENIE").isNull());
        EXPECT_EQ(cell(w->gr1, 3, "DATUM_DODANIA_PREKLADU").toDate(), QDate(2026, 3, 1));  // in EN-SK
        EXPECT_EQ(cell(w->gr1, 4, "CENA").value<fb::Decimal>().toString(), "9.000");
        EXPECT_EQ(cell(w->gr1, 4, "MJ").toString(), "NS");
        EXPECT_EQ(w->gr1->fieldValue("JEDIN").toInt(), 4);  // Current
        key(w->gr1, Qt::Key_Return);
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_EQ(d.Current.toInt(), 4);
}

TEST_F(AddressBookTest, RatesTabCarriesTheContactInTheCaptionAndPicksTheContact)
{
    TFormDetails d = details(TFormDetails::Select, false, {}, 2);
    run(d, [&](Window* w) {
        key(w->gr1, Qt::Key_Right);
        ASSERT_EQ(w->pc1->currentWidget(), w->tabKombinacie);
        EXPECT_EQ(w->windowTitle(), "Zoznam objednávateľov - Delta");
        EXPECT_EQ(keys(w->gr2), (QList<int>{3}));
        key(w->gr2, Qt::Key_Left);
        EXPECT_EQ(w->windowTitle(), "Zoznam objednávateľov");
        key(w->gr1, Qt::Key_Up);
        key(w->gr1, Qt::Key_Right);
        EXPECT_EQ(w->windowTitle(), "Zoznam objednávateľov - Alfa");
        EXPECT_EQ(keys(w->gr2), (QList<int>{2, 1}));  // DE-SK before EN-SK
        key(w->gr2, Qt::Key_Return);  // the contact is picked, not the rate
    });
    EXPECT_EQ(d.result(), TFormDetails::ResultOk);
    EXPECT_EQ(d.Current.toInt(), 1);
}

TEST_F(AddressBookTest, FilterStripListsContactsWithARateForMatchingCombinations)
{
    TFormDetails d = details(TFormDetails::Browse, false);
    run(d, [&](Window* w) {
        const int rates = w->pc1->indexOf(w->tabKombinacie);
        struct Case {
            const char* text;
            QList<int> listed;
        } cases[] = {{"de", {1}}, {"en", {1, 2}}, {"xx", {}}};
        for (const Case& c : cases) {
            w->eJazykovaKombinaciaText->setFocus();
            w->eJazykovaKombinaciaText->clear();
            typeText(w->eJazykovaKombinaciaText, QString::fromLatin1(c.text));
            w->gr1->setFocus();  // leaving the strip applies it
            QApplication::processEvents();
            EXPECT_EQ(keys(w->gr1), c.listed) << c.text;
            EXPECT_EQ(w->pc1->isTabVisible(rates), !c.listed.isEmpty()) << c.text;
        }
        EXPECT_EQ(w->sb1Panel->text(), "Počet záznamov: 0");
        w->btnFilterZrus->trigger();
        EXPECT_EQ(keys(w->gr1), (QList<int>{1, 2, 8}));
    });
}

TEST_F(AddressBookTest, ReferencedCustomersAreNotDeletedAndKeepTheirRates)
{
    TFormDetails d = details(TFormDetails::Browse, false);
    run(d, [&](Window* w) {
        w->gr1->Locate("JEDIN", 1);
        key(w->gr1, Qt::Key_Delete);
        EXPECT_TRUE(transcript.last().text.contains("Nie je možné vymazať objednávateľa"));
        // One referenced among the marked: none goes.
        w->gr1->CheckAll();
        key(w->gr1, Qt::Key_Delete);
        EXPECT_EQ(keys(w->gr1), (QList<int>{1, 2, 8}));
        w->gr1->UncheckAll();
        w->gr1->Locate("JEDIN", 2);
        key(w->gr1, Qt::Key_Delete);  // no jobs: deleted with its rate
        EXPECT_EQ(keys(w->gr1), (QList<int>{1, 8}));
    });
    EXPECT_EQ(db.scalar("select count(*) from kombinacie where adresar=1").toInt(), 2);
    EXPECT_EQ(db.scalar("select count(*) from kombinacie where adresar=2").toInt(), 0);
    EXPECT_EQ(db.scalar("select count(*) from adresar where typ=0").toInt(), 2);
}

TEST_F(AddressBookTest, EditorsGetTheAddressTypeAndTheContactOfTheRates)
{
    QList<TFormDetails> contactCalls, rateCalls;
    Window::Editors editors;
    editors.contact = [&](TFormDetails& e) {
        contactCalls << e;
        e.Result = TFormDetails::ResultCancel;
    };
    editors.rate = [&](TFormDetails& e) {
        rateCalls << e;
        e.Result = TFormDetails::ResultCancel;
    };
    TFormDetails d = details(TFormDetails::Browse, true, {}, 4);
    run(d, [&](Window* w) {
        key(w->gr1, Qt::Key_P);
        key(w->gr1, Qt::Key_F4);
        key(w->gr1, Qt::Key_Right);
        key(w->gr2, Qt::Key_F2);
        key(w->gr2, Qt::Key_O);
    }, editors);
    ASSERT_EQ(contactCalls.size(), 2);
    EXPECT_EQ(contactCalls[0].Mode, TFormDetails::Insert);
    EXPECT_TRUE(contactCalls[0].Flag);
    EXPECT_FALSE(contactCalls[0].Current.isValid());
    EXPECT_EQ(contactCalls[1].Mode, TFormDetails::Edit);
    EXPECT_EQ(contactCalls[1].Current.toInt(), 4);
    ASSERT_EQ(rateCalls.size(), 2);
    EXPECT_EQ(rateCalls[0].Mode, TFormDetails::Insert);
    EXPECT_EQ(rateCalls[0].Parent.toInt(), 4);
    EXPECT_TRUE(rateCalls[0].Flag);
    EXPECT_EQ(rateCalls[1].Mode, TFormDetails::Edit);
    EXPECT_EQ(rateCalls[1].Parent.toInt(), 4);
    EXPECT_EQ(rateCalls[1].Current.toInt(), 5);
}

}  // namespace
