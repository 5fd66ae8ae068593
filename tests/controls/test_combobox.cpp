// TIBComboBox: the statements it builds, and the control driven by real key
// events over a migrated database whose address book holds Slovak names.
#include "ControlsTestWindow.h"
#include "FireTimer.h"
#include "TestDatabase.h"
#include "controls/ComboBoxSql.h"
#include "controls/IBComboBox.h"
#include "controls/UniqueTest.h"
#include "fb/Error.h"
#include "framework/UserSettings.h"
#include "support/DialogTranscript.h"
#include "support/QtPrinters.h"
#include "support/Typing.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionComboBox>
#include <QTimer>

namespace {

ComboLookup contactLookup(bool basicAscii)
{
    ComboLookup cfg;
    cfg.tableName = "ADRESAR";
    cfg.appendFromField = "NAZOV_UPLNY";
    cfg.keyFields[0] = "JEDIN";
    cfg.keyFields[1] = "TYP";
    cfg.where = "TYP=1";
    cfg.orderBy = "NAZOV_UPLNY";
    cfg.useBasicAsciiColumn = basicAscii;
    return cfg;
}

QColor background(QWidget* w)
{
    return w->palette().color(QPalette::Active, QPalette::Base);
}

// The offscreen platform does not give the activation back when a list closes.
void reactivate(QWidget& win)
{
    QTest::qWait(20);
    QApplication::setActiveWindow(&win);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&win));
}

QStringList itemTexts(const TIBComboBox* c)
{
    QStringList texts;
    for (int i = 0; i < c->count(); ++i)
        texts << c->itemText(i);
    return texts;
}

}  // namespace

// ---- the statements, without a widget ---------------------------------------------

TEST(ComboBoxSql, Statements)
{
    const ComboLookup ascii = contactLookup(true);
    const ComboLookup server = contactLookup(false);
    ComboLookup numbers = contactLookup(false);
    numbers.onlyNumbers = true;
    numbers.where.clear();
    ComboLookup distinct = contactLookup(false);
    distinct.distinct = true;
    distinct.keyFields = {};
    distinct.keyFields[0] = "JEDIN";
    distinct.keyFields[2] = "MESTO";  // a gap: key 2 unset

    struct Case {
        const char* name;
        fb::Statement st;
        QString sql;
        QVariantMap params;
    };
    const QList<Case> cases = {
        {"list, typed prefix on the _X column", BuildDropDownSql(ascii, "nov", 2, true),
         "Select\nNAZOV_UPLNY\n,JEDIN\n,TYP\nfrom ADRESAR\nwhere NAZOV_UPLNY_x starting :DATA\nand TYP=1\n"
         "order by NAZOV_UPLNY",
         {{"DATA", "NO"}}},
        {"list, containing words through UpperQDL2", BuildDropDownSql(server, "*ová* bra *", 0, true),
         "Select\nNAZOV_UPLNY\n,JEDIN\n,TYP\nfrom ADRESAR\nwhere UpperQDL2(NAZOV_UPLNY) containing :DATA1\n"
         "and UpperQDL2(NAZOV_UPLNY) containing :DATA2\nand TYP=1\norder by NAZOV_UPLNY",
         {{"DATA1", "OVA"}, {"DATA2", "BRA"}}},
        {"list, numbers compare as typed", BuildDropDownSql(numbers, "12", 2, true),
         "Select\nNAZOV_UPLNY\n,JEDIN\n,TYP\nfrom ADRESAR\nwhere NAZOV_UPLNY starting :DATA\norder by NAZOV_UPLNY",
         {{"DATA", "12"}}},
        {"list, nothing typed", BuildDropDownSql(distinct, "Nov", 3, false),
         "Select\nDistinct\nNAZOV_UPLNY\n,JEDIN\n,MESTO\nfrom ADRESAR\nwhere TYP=1\norder by NAZOV_UPLNY", {}},
        {"list, only asterisks", BuildDropDownSql(server, "**", 2, true),
         "Select\nNAZOV_UPLNY\n,JEDIN\n,TYP\nfrom ADRESAR\nwhere TYP=1\norder by NAZOV_UPLNY", {}},
        {"incremental search", BuildAppendTextSql(server, "Ďurč"),
         "Select First 1 NAZOV_UPLNY\n,JEDIN\n,TYP\nfrom ADRESAR where\nUpperQDL2(NAZOV_UPLNY) starting :DATA\n"
         "and TYP=1\norder by NAZOV_UPLNY",
         {{"DATA", "DURC"}}},
        {"strict lookup, apostrophe as a parameter", BuildIsNotExistSql(server, "O'Brien"),
         "Select NAZOV_UPLNY,JEDIN\n,TYP\nfrom ADRESAR\nwhere Upper(NAZOV_UPLNY COLLATE PXW_CSY)=UPPER(cast(:SWHERE "
         "as varchar(7) character set WIN1250) COLLATE PXW_CSY)\nand TYP=1",
         {{"SWHERE", "O'Brien"}}},
        {"strict lookup on the _X column", BuildIsNotExistSql(ascii, "Žilina"),
         "Select NAZOV_UPLNY,JEDIN\n,TYP\nfrom ADRESAR\nwhere NAZOV_UPLNY_X=:SWHERE\nand TYP=1",
         {{"SWHERE", "ZILINA"}}},
        {"strict lookup of a number", BuildIsNotExistSql(numbers, "042"),
         "Select NAZOV_UPLNY,JEDIN\n,TYP\nfrom ADRESAR\nwhere Cast(NAZOV_UPLNY as numeric)=:SWHERE",
         {{"SWHERE", "042"}}},
        {"stored reference", BuildFindItSql(server, "x' or 1=1 --"),
         "Select NAZOV_UPLNY\n,TYP\nfrom ADRESAR Where JEDIN=:SKEYVALUE\nand TYP=1\norder by NAZOV_UPLNY",
         {{"SKEYVALUE", "x' or 1=1 --"}}},
        {"stored reference by two keys", BuildFindIt2Sql(server, 4, 1),
         "Select First 1 NAZOV_UPLNY\n,TYP\nfrom ADRESAR Where JEDIN=:SKEYVALUE\nand TYP=:SKEYVALUE2\nand TYP=1\n"
         "order by NAZOV_UPLNY",
         {{"SKEYVALUE", 4}, {"SKEYVALUE2", 1}}},
        {"first row", BuildFindFirstSql(server), "Select JEDIN from ADRESAR\nWhere TYP=1\nOrder by NAZOV_UPLNY", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.st.lines.join('\n'), c.sql);
        EXPECT_EQ(c.st.params, c.params);
    }
    EXPECT_EQ(DropDownKeyColumns(distinct)[2], 2);
    EXPECT_EQ(DropDownKeyColumns(distinct)[1], -1);
    EXPECT_EQ(IsNotExistKeyColumns(server)[0], 1);
    EXPECT_EQ(FindItKeyColumns(server)[1], 1);
}

// The combo box's duplicate test is the data controls' one rule (UniqueTest.h).
TEST(ComboBoxSql, UniqueTestVariants)
{
    UniqueTestSetup cfg;
    cfg.tableName = "ADRESAR";
    cfg.testColumn = "NAZOV_UPLNY";
    cfg.uniqueColumn = "JEDIN";
    cfg.additionalToWhere = "and TYP=1";
    auto st = BuildUniqueTestSql(cfg, "O'Brien", {});
    EXPECT_EQ(st.lines.join('\n'), "Select first 1 JEDIN from ADRESAR where\nJEDIN is not null\n"
                                   "and Upper(NAZOV_UPLNY Collate PXW_CSY)=Upper(cast(:TEST_TEXT as varchar(7) "
                                   "character set WIN1250) Collate PXW_CSY)\nand TYP=1");
    EXPECT_EQ(st.params.value("TEST_TEXT"), QVariant("O'Brien"));
    cfg.uniqueColumnValue = 5;
    cfg.bezDiakritiky = true;
    st = BuildUniqueTestSql(cfg, "Ďurč", {});
    EXPECT_TRUE(st.lines.contains("JEDIN<>:UNIQUE_VALUE"));
    EXPECT_TRUE(st.lines.contains("and NAZOV_UPLNY_X=:TEST_TEXT"));
    EXPECT_EQ(st.params.value("TEST_TEXT"), QVariant("DURC"));
    cfg.useKeyValue = true;
    cfg.keyField = "OBJEDNAVATEL";
    st = BuildUniqueTestSql(cfg, "whatever", 42);
    EXPECT_TRUE(st.lines.contains("and OBJEDNAVATEL=:VALUE"));
    EXPECT_EQ(st.params.value("VALUE"), QVariant("42"));
    // Names are program text: anything but a plain identifier is refused.
    cfg.keyField = "OBJEDNAVATEL or 1=1";
    EXPECT_THROW(BuildUniqueTestSql(cfg, "whatever", 42), std::invalid_argument);
}

// ---- the control ------------------------------------------------------------------

class ComboBox : public ::testing::Test {
protected:
    void SetUp() override
    {
        QStringList rows;
        const QList<std::tuple<int, int, QString, QString>> contacts = {
            {1, 1, "Novák Peter", ""},          {2, 1, "Nováková Jana", ""},
            {3, 1, "Abrahámová Eva", ""},       {4, 1, "Kováč Ján", "Bratislava"},
            {5, 1, "O'Brien Patrick", ""},      {6, 1, "Ďurčeková Ľubica", ""},
            {7, 1, "Brezová Anna", ""},         {8, 2, "Trnavský Marek", ""},
        };
        for (const auto& [id, typ, meno, mesto] : contacts)
            rows << QStringLiteral("insert into ADRESAR (JEDIN, TYP, MENO, MESTO) values (%1, %2, '%3', '%4')")
                        .arg(id)
                        .arg(typ)
                        .arg(QString(meno).replace("'", "''"), mesto);
        db.exec(rows);
    }

    // A customer lookup as the job editor sets it up.
    TIBComboBox* addContacts(ControlsTestWindow& win, const QString& name = "eDBObjednavatel", bool basicAscii = true)
    {
        auto* c = win.add<TIBComboBox>(name);
        c->setDatabase(&db.connection());
        c->setSAutoAppend(true);
        c->setSTableName("ADRESAR");
        c->setSAppendFromField("NAZOV_UPLNY");
        c->setSKeyField("JEDIN");
        c->setSKeyField2("TYP");
        c->setSWhere("TYP=1");
        c->setSOrderBy("NAZOV_UPLNY");
        c->setSUseBasicASCIIColumn(basicAscii);
        return c;
    }

    // The pause in typing is over: the search timer fires now instead of the
    // test sleeping for it.
    static void endPause(TIBComboBox* combo, QSignalSpy& searches, int count = 1)
    {
        EXPECT_TRUE(fireTimer(combo->searchTimer()));
        EXPECT_EQ(searches.count(), count);
    }

    TestDatabase db{TestDatabase::Migrated};
    DialogTranscript unexpected;  // answers any dialog a test does not script
};

TEST_F(ComboBox, TypingCompletesAfterAPauseIgnoringDiacriticsAndCase)
{
    struct Case {
        QString typed, text, selected;
        int key;
        QString canonical;
    };
    const QList<Case> cases = {
        {"nov", "novák Peter", "ák Peter", 1, "Novák Peter"},
        {"NOVÁK", "NOVÁK Peter", " Peter", 1, "Novák Peter"},
        {"novako", "novaková Jana", "vá Jana", 2, "Nováková Jana"},
        {"ďurč", "ďurčeková Ľubica", "eková Ľubica", 6, "Ďurčeková Ľubica"},
        {"kovac jan, b", "kovac jan, bratislava", "ratislava", 4, "Kováč Ján, Bratislava"},
        {"o'b", "o'brien Patrick", "rien Patrick", 5, "O'Brien Patrick"},
    };
    for (bool basicAscii : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE((basicAscii ? "_X column: " : "UpperQDL2: ") + c.typed.toStdString());
            ControlsTestWindow win;
            auto* combo = addContacts(win, "eDBObjednavatel", basicAscii);
            win.open();
            ControlsTestWindow::focus(combo);
            QSignalSpy searches(combo, &TIBComboBox::OnAfterSearch);
            typeText(combo, c.typed);
            endPause(combo, searches);
            EXPECT_EQ(combo->currentText(), c.text);
            EXPECT_EQ(combo->lineEdit()->selectedText(), c.selected);
            EXPECT_EQ(combo->lineEdit()->cursorPosition(), c.typed.size());
            EXPECT_EQ(combo->SKeyValue(), QVariant(c.key));
            EXPECT_EQ(combo->SKeyValue2(), QVariant(1));
            // Leaving shows the row's own text.
            QTest::keyClick(combo, Qt::Key_Tab);
            EXPECT_EQ(QApplication::focusWidget(), win.other);
            EXPECT_EQ(combo->SKeyValue(), QVariant(c.key));
            EXPECT_EQ(combo->currentText(), c.canonical);
        }
    }
}

TEST_F(ComboBox, SearchWaitsForAPauseAndNeverRunsWhileTheListIsOpen)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    win.open();
    ControlsTestWindow::focus(combo);
    QSignalSpy searches(combo, &TIBComboBox::OnAfterSearch);
    QTimer* timer = combo->searchTimer();
    EXPECT_EQ(combo->STimerInterval(), 500);
    for (const char* key : {"n", "o", "v"}) {
        timer->start(60000);  // whatever was left of a pause
        QTest::keyClicks(combo, key);
        // Each key starts the whole pause again.
        EXPECT_TRUE(timer->isActive());
        EXPECT_EQ(timer->interval(), 500);
        EXPECT_LT(timer->remainingTime(), 1000);
    }
    EXPECT_EQ(searches.count(), 0);
    endPause(combo, searches);
    EXPECT_FALSE(timer->isActive()) << "one search per pause";
    EXPECT_EQ(combo->currentText(), "novák Peter");

    // Typing more, then opening the list before the pause is over.
    typeText(combo, "á");
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_TRUE(combo->isListOpen());
    timer->start();
    ASSERT_TRUE(fireTimer(timer));
    EXPECT_EQ(searches.count(), 1);
    EXPECT_TRUE(timer->isActive()) << "the next tick tries again";
    combo->hidePopup();
    endPause(combo, searches, 2);
}

TEST_F(ComboBox, ListFiltersByPrefixOrContainedWordsAndFallsBackToTheWholeList)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win, "eDBObjednavatel", false);
    win.open();
    ControlsTestWindow::focus(combo);
    QSignalSpy dropDowns(combo, &TIBComboBox::OnDropDown);

    typeText(combo, "*ova*bra");
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_TRUE(combo->isListOpen());
    EXPECT_EQ(itemTexts(combo), QStringList({"Abrahámová Eva", "Kováč Ján, Bratislava"}));
    EXPECT_EQ(combo->currentText(), "*ova*bra");
    EXPECT_EQ(dropDowns.count(), 1);
    // Typing goes on in the edit and closes the list.
    typeText(combo->view(), "x");
    EXPECT_FALSE(combo->isListOpen());
    EXPECT_EQ(combo->currentText(), "*ova*brax");
    combo->AppendText();  // finds nothing
    EXPECT_EQ(background(combo), QColor(0, 255, 255));  // a containing search is never red

    combo->lineEdit()->clear();
    typeText(combo, "nov");
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(itemTexts(combo), QStringList({"Novák Peter", "Nováková Jana"}));
    combo->hidePopup();

    combo->lineEdit()->clear();
    typeText(combo, "zz");
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->count(), 7);  // the whole list of customers
    EXPECT_EQ(combo->lineEdit()->selectedText(), "zz");
    combo->hidePopup();
}

TEST_F(ComboBox, PickingARowFromTheListKeepsThatRowAmongEqualNames)
{
    db.exec({"insert into ADRESAR (JEDIN, TYP, MENO) values (9, 1, 'Novák Peter')"});
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    win.open();
    ControlsTestWindow::focus(combo);
    typeText(combo, "novák p");
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(combo->count(), 2);
    const int second = combo->listModel()->item(0).keys[0] == QVariant(9) ? 0 : 1;
    combo->view()->setCurrentIndex(combo->model()->index(second, 0));
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_FALSE(combo->isListOpen());
    reactivate(win);
    EXPECT_EQ(combo->SKeyValue(), QVariant(9));
    combo->searchTimer()->start();  // the search timer runs meanwhile
    fireTimer(combo->searchTimer());
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
    EXPECT_EQ(combo->SKeyValue(), QVariant(9));
}

TEST_F(ComboBox, LeavingChecksTheValue)
{
    struct Case {
        const char* name;
        QString typed;
        bool required, strict, setFocus;
        int message;      // 0: none
        bool stays;
        QVariant key;
    };
    const QList<Case> cases = {
        {"listed name", "Brezová Anna", false, true, true, 0, false, 7},
        {"apostrophe, typed in lower case", "o'brien patrick", false, true, true, 0, false, 5},
        {"unlisted name", "Horváth", false, true, true, 1019, true, {}},
        {"text that would break quoted SQL", "x' or 1=1 --", false, true, true, 1019, true, {}},
        {"another type of contact", "Trnavský Marek", false, true, true, 1019, true, {}},
        {"unlisted, focus not kept", "Horváth", false, true, false, 1019, false, {}},
        {"free text", "Horváth", false, false, true, 0, false, {}},
        {"required and blank", "", true, true, true, 1001, true, {}},
        {"optional and blank", "", false, true, true, 0, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsTestWindow win;
        auto* combo = addContacts(win, "eDBObjednavatel", false);
        combo->setSSearchIfFound(c.strict);
        combo->setSetFocusIfNotFound(c.setFocus);
        win.open();
        combo->setRequired(c.required);
        ControlsTestWindow::focus(combo);
        typeText(combo, c.typed);
        QSignalSpy exits(combo, &TIBComboBox::OnExit);
        DialogTranscript transcript;
        QColor during, textDuring;
        const DialogResponder previous = setDialogResponder([&](const DialogRequest& r) {
            during = background(combo);
            textDuring = combo->palette().color(QPalette::Active, QPalette::Text);
            EXPECT_EQ(r.type, msg::Warning);
            EXPECT_TRUE(r.text.startsWith(QStringLiteral("Hlásenie #%1\r\n\r\n").arg(c.message))) << r.text.toStdString();
            return msg::OK;
        });
        QTest::keyClick(combo, Qt::Key_Tab);
        setDialogResponder(previous);
        EXPECT_EQ(during.isValid(), c.message != 0);
        if (c.message) {
            EXPECT_EQ(during, QColor(255, 0, 0));
            EXPECT_EQ(textDuring, QColor(255, 255, 255));
        }
        EXPECT_EQ(QApplication::focusWidget() == combo, c.stays);
        EXPECT_EQ(exits.count(), c.stays ? 0 : 1);
        EXPECT_EQ(combo->SKeyValue(), c.key);
        if (c.stays) {
            // Focused again, the red of the failed search gone.
            EXPECT_EQ(background(combo), c.required ? QColor(0, 217, 255) : QColor(0, 255, 255));
            // Leaving for the editor's cancel button skips the check.
            ControlsTestWindow::focus(win.cancel);
            EXPECT_EQ(QApplication::focusWidget(), win.cancel);
            EXPECT_EQ(exits.count(), 0);
        }
    }
}

TEST_F(ComboBox, FailedSearchTurnsRedUntilTheTextIsFoundOrBackspaced)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    win.open();
    ControlsTestWindow::focus(combo);
    QSignalSpy searches(combo, &TIBComboBox::OnAfterSearch);
    typeText(combo, "novx");
    endPause(combo, searches);
    EXPECT_EQ(searches.last().at(0), QVariant(false));
    EXPECT_EQ(background(combo), QColor(255, 0, 0));
    EXPECT_FALSE(combo->SKeyValue().isValid());
    QTest::keyClick(combo, Qt::Key_Backspace);
    endPause(combo, searches, 2);
    EXPECT_EQ(background(combo), QColor(0, 255, 255));
    EXPECT_EQ(combo->currentText(), "nov");  // Backspace does not complete again
    typeText(combo, "a");
    endPause(combo, searches, 3);
    EXPECT_EQ(combo->currentText(), "nova" + QString("k Peter"));
    EXPECT_EQ(combo->SKeyValue(), QVariant(1));
}

TEST_F(ComboBox, EnterChecksOnceAndMovesOn)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    win.open();
    ControlsTestWindow::focus(combo);
    QSignalSpy exits(combo, &TIBComboBox::OnExit);
    QSignalSpy clickEnter(combo, &TIBComboBox::OnClickEnter);
    QSignalSpy ctrlEnter(combo, &TIBComboBox::OnCtrlEnter);
    DialogTranscript transcript;
    typeText(combo, "brez");
    QTest::keyClick(combo, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ctrlEnter.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), combo);
    QTest::keyClick(combo, Qt::Key_Enter, Qt::KeypadModifier);  // before the pause ends
    EXPECT_EQ(clickEnter.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
    EXPECT_EQ(combo->currentText(), "Brezová Anna");
    EXPECT_EQ(combo->SKeyValue(), QVariant(7));
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(transcript.count(), 0);
}

TEST_F(ComboBox, NotFoundEventLetsTheWindowAddTheValue)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    combo->setSetFocusIfNotFound(false);
    combo->setSNotFoundErrorText(0);
    win.open();
    int added = 0;
    QObject::connect(combo, &TIBComboBox::OnNotFound, combo, [&] {
        ++added;
        db.exec({"insert into ADRESAR (JEDIN, TYP, MENO) values (20, 1, 'Horváth Imrich')"});
        combo->FindIt(20);
    });
    ControlsTestWindow::focus(combo);
    typeText(combo, "Horváth Imrich");
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(combo->SKeyValue(), QVariant(20));
    // A listed name does not fire it.
    ControlsTestWindow::focus(combo);
    typeText(combo, "Brezová Anna");
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(added, 1);
}

TEST_F(ComboBox, UniqueTestExcludesTheRecordBeingEdited)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win, "eDBNazov", false);
    combo->setSSearchIfFound(false);
    combo->setUniqueTest(true);
    combo->setUTableName("ADRESAR");
    combo->setUTestColumn("NAZOV_UPLNY");
    combo->setUniqueColumn("JEDIN");
    combo->setUAdditionalToWhere("and TYP=1");
    combo->setUniqueErrorText(1004);
    win.open();
    DialogTranscript transcript;
    auto refuses = [&](const QVariant& editing, const QString& text) {
        combo->setUniqueColumnValue(editing);
        ControlsTestWindow::focus(combo);
        combo->lineEdit()->selectAll();
        typeText(combo, text);
        const auto before = transcript.count();
        QTest::keyClick(combo, Qt::Key_Tab);
        const bool refused = QApplication::focusWidget() == combo;
        EXPECT_EQ(transcript.count() - before, refused ? 1 : 0);
        if (refused) {
            EXPECT_TRUE(transcript.last().text.startsWith("Hlásenie #1004\r\n\r\nTakáto položka už existuje!"));
        }
        ControlsTestWindow::focus(win.other);
        return refused;
    };
    EXPECT_TRUE(refuses(QVariant(), "O'Brien Patrick"));
    EXPECT_FALSE(refuses(5, "O'Brien Patrick"));  // its own name
    EXPECT_TRUE(refuses(1, "O'Brien Patrick"));
    EXPECT_FALSE(refuses(1, "O'Brien Paul"));  // a prefix would be completed to the listed name
    EXPECT_FALSE(refuses(1, "Trnavský Marek"));   // another type
}

// The editors' check before saving refuses a value but leaves the chosen row's
// keys alone; only leaving the control drops them.
TEST_F(ComboBox, RefusalInCheckControlsKeepsTheChosenRow)
{
    struct Case {
        const char* name;
        int minLength;
        QVariant editing;  // UniqueColumnValue
        QString message;
    };
    const QList<Case> cases = {
        {"duplicate", 0, 1, "Hlásenie #1004\r\n\r\nTakáto položka už existuje!"},
        {"too short", 20, 5, "Zadajte minimálne 20 znakov"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsTestWindow win;
        auto* combo = addContacts(win, "eDBNazov", false);
        combo->setSSearchIfFound(false);
        combo->setMinLength(c.minLength);
        combo->setUniqueTest(true);
        combo->setUTableName("ADRESAR");
        combo->setUTestColumn("NAZOV_UPLNY");
        combo->setUniqueColumn("JEDIN");
        combo->setUAdditionalToWhere("and TYP=1");
        combo->setUniqueErrorText(1004);
        combo->setUniqueColumnValue(c.editing);
        win.open();
        combo->FindIt(5);  // the stored reference
        DialogTranscript transcript;
        EXPECT_TRUE(CheckControls(&win));
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_TRUE(transcript.last().text.startsWith(c.message)) << transcript.last().text.toStdString();
        EXPECT_EQ(QApplication::focusWidget(), combo);
        EXPECT_EQ(combo->SKeyValue(), QVariant(5));
        EXPECT_EQ(combo->SKeyValue2(), QVariant(1));
        EXPECT_EQ(combo->currentText(), "O'Brien Patrick");

        QTest::keyClick(combo, Qt::Key_Tab);  // the exit processing refuses it too
        EXPECT_EQ(transcript.count(), 2);
        EXPECT_EQ(QApplication::focusWidget(), combo);
        EXPECT_FALSE(combo->SKeyValue().isValid());
    }
}

// A letter WIN1250 lacks: the client layer refuses the lookups before they
// reach the server. Leaving tells the user once, and the value is refused.
TEST_F(ComboBox, ATextTheClientLayerRefusesIsReportedOnce)
{
    for (bool pause : {true, false}) {
        SCOPED_TRACE(pause ? "a pause, then Tab" : "Tab at once");
        ControlsTestWindow win;
        auto* combo = addContacts(win);
        win.open();
        ControlsTestWindow::focus(combo);
        DialogTranscript transcript;
        typeText(combo, QStringLiteral("Ωmega"));
        if (pause) {
            // The search while typing finds nothing; leaving tells why.
            EXPECT_NO_THROW(fireTimer(combo->searchTimer()));
            EXPECT_EQ(transcript.count(), 0);
            EXPECT_EQ(background(combo), QColor(255, 0, 0));
        }
        EXPECT_NO_THROW(QTest::keyClick(combo, Qt::Key_Tab));
        ASSERT_EQ(transcript.count(), 1);
        EXPECT_EQ(transcript.last().kind, DialogKind::Red);
        EXPECT_TRUE(transcript.last().text.contains("WIN1250")) << transcript.last().text.toStdString();
        EXPECT_EQ(QApplication::focusWidget(), combo);
        EXPECT_FALSE(combo->SKeyValue().isValid());
        // Leaving again is a new attempt, reported again.
        EXPECT_NO_THROW(QTest::keyClick(combo, Qt::Key_Tab));
        EXPECT_EQ(transcript.count(), 2);
        // The lookups still work afterwards.
        combo->FindIt(7);
        EXPECT_EQ(combo->currentText(), "Brezová Anna");
    }
}

TEST_F(ComboBox, ListSizeIsRememberedPerWindowClassAndControl)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    combo->setDropDownCount(4);
    win.open();
    ControlsTestWindow::focus(combo);
    const QString key = combo->dropDownSettingsKey();
    EXPECT_EQ(key, "Software\\Kovra s.r.o.\\" + applicationTitle() + "\\ComboBox Settings\\QWidget");
    const Qt::KeyboardModifiers ctrlPad = Qt::ControlModifier | Qt::KeypadModifier;
    QTest::keyClick(combo, Qt::Key_Minus, ctrlPad);
    EXPECT_EQ(combo->DropDownCount(), 3);
    QTest::keyClick(combo, Qt::Key_Minus, ctrlPad);  // below 4: only a beep
    EXPECT_EQ(combo->DropDownCount(), 3);
    EXPECT_EQ(readUserInt(key, "eDBObjednavatel.DropDownCount", 0), 3);
    QTest::keyClick(combo, Qt::Key_Plus, ctrlPad);
    EXPECT_EQ(readUserInt(key, "eDBObjednavatel.DropDownCount", 0), 4);
    EXPECT_EQ(combo->currentText(), "");  // the keys typed nothing

    // Another control of the same name in a window of the same class reads it on opening.
    ControlsTestWindow win2;
    auto* again = addContacts(win2);
    win2.open();
    EXPECT_EQ(again->DropDownCount(), 30);
    again->DropDown();
    EXPECT_EQ(again->DropDownCount(), 4);
}

TEST_F(ComboBox, ReadOnlyIsAPlainEditThatKeepsItsText)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    win.open();
    combo->FindIt(4);
    EXPECT_EQ(combo->currentText(), "Kováč Ján, Bratislava");
    combo->setReadOnly(true);
    EXPECT_EQ(background(combo), DataControl::buttonFaceColour());
    EXPECT_FALSE(combo->focusPolicy() & Qt::TabFocus);
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = true;
    EXPECT_TRUE(combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo).isEmpty());
    ControlsTestWindow::focus(combo);
    typeText(combo, "xyz");
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_FALSE(combo->isListOpen());
    EXPECT_EQ(combo->currentText(), "Kováč Ján, Bratislava");
    DialogTranscript transcript;
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(transcript.count(), 0);
    EXPECT_EQ(combo->SKeyValue(), QVariant(4));
    combo->setReadOnly(false);
    EXPECT_FALSE(combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, combo).isEmpty());
}

TEST_F(ComboBox, StoredReferencesAndTheFirstRow)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    win.open();
    QSignalSpy changes(combo, &TIBComboBox::OnChange);
    combo->FindIt(5);
    EXPECT_EQ(combo->currentText(), "O'Brien Patrick");
    EXPECT_EQ(combo->SKeyValue2(), QVariant(1));
    combo->FindIt2(6, 1);
    EXPECT_EQ(combo->currentText(), "Ďurčeková Ľubica");
    combo->FindIt2(6, 2);
    EXPECT_EQ(combo->currentText(), "");
    EXPECT_FALSE(combo->SKeyValue().isValid());
    combo->FindFirst();
    EXPECT_EQ(combo->currentText(), "Abrahámová Eva");
    EXPECT_EQ(combo->SKeyValue(), QVariant(3));
    combo->FindIt(QVariant());
    EXPECT_EQ(combo->currentText(), "");
    EXPECT_FALSE(combo->SKeyValue().isValid());
    EXPECT_EQ(changes.count(), 5);
}

TEST_F(ComboBox, LookupsRunInOnePrivateReadOnlyTransaction)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    win.open();
    combo->FindIt(1);
    combo->FindIt(2);
    const QVariant transactions = db.scalar(
        "select list(mon$isolation_mode || '/' || mon$read_only || '/' || mon$lock_timeout) from mon$transactions "
        "where mon$attachment_id = current_connection and mon$transaction_id <> current_transaction");
    EXPECT_EQ(transactions.toString(), "2/1/0");  // read committed record version, read only, no wait
}

TEST_F(ComboBox, DatabaseErrorsAreReportedWithTheStatement)
{
    ControlsTestWindow win;
    auto* combo = addContacts(win);
    combo->setSTableName("NO_SUCH_TABLE");
    win.open();
    DialogTranscript transcript;
    combo->FindIt(1);  // reported, not raised
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_EQ(transcript.requests().at(0).kind, DialogKind::Plain);
    EXPECT_EQ(transcript.requests().at(0).text, "eDBObjednavatel: Error in \"FindIt\" procedure");
    EXPECT_TRUE(transcript.requests().at(1).text.contains("from NO_SUCH_TABLE Where JEDIN=:SKEYVALUE"));
    transcript.clear();
    EXPECT_THROW(combo->DropDown(), fb::Error);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.startsWith("eDBObjednavatel: Error in \"DropDown\" event\r\n\r\nSelect\r\n"));
    // The transaction still serves the next lookup.
    combo->setSTableName("ADRESAR");
    combo->FindIt(1);
    EXPECT_EQ(combo->currentText(), "Novák Peter");
}

TEST_F(ComboBox, AutoCompleteFromListItems)
{
    ControlsTestWindow win;
    auto* combo = win.add<TIBComboBox>("eJazyk");
    combo->setAutoComplete(true);
    combo->addItem("slovenský", 1);
    combo->addItem("slovinský", 2);
    combo->addItem("anglický", 3);
    win.open();
    ControlsTestWindow::focus(combo);
    typeText(combo, "ANG");
    EXPECT_EQ(combo->currentText(), "anglický");
    EXPECT_EQ(combo->lineEdit()->selectedText(), "lický");
    EXPECT_EQ(combo->SKeyValue(), QVariant(3));
    QTest::keyClick(combo, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
}

TEST_F(ComboBox, CharacterFiltersAndCase)
{
    ControlsTestWindow win;
    auto* numbers = win.add<TIBComboBox>("eCislo");
    numbers->setOnlyNumbers(true);
    auto* upper = win.add<TIBComboBox>("eMena");
    upper->setCharCase(TIBComboBox::ecUpperCase);
    upper->setOnlyTheseChars("EURCZK");
    win.open();
    ControlsTestWindow::focus(numbers);
    typeText(numbers, "1a2 3");
    EXPECT_EQ(numbers->currentText(), "123");
    ControlsTestWindow::focus(upper);
    typeText(upper, "eurx/");
    EXPECT_EQ(upper->currentText(), "EUR/");
    QTest::keyClick(upper, Qt::Key_Backspace);
    EXPECT_EQ(upper->currentText(), "EUR");
}
