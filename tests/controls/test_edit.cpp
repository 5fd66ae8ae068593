// TIBEdit: character filters, keys, MinLength and the duplicate
// test against a table, with names that carry apostrophes.
#include "ControlsTestWindow.h"
#include "TestDatabase.h"
#include "controls/IBCheckBox.h"
#include "controls/IBComboBox.h"
#include "controls/IBEdit.h"
#include "controls/InnerButton.h"
#include "controls/IBMemo.h"
#include "support/DialogTranscript.h"
#include "support/QtPrinters.h"
#include "support/Typing.h"

#include <QSignalSpy>

TEST(IBEdit, FilterTable)
{
    struct Case {
        const char* name;
        bool onlyNumbers, withDecimals;
        QString onlyThese;
        QString typed;
        QString expected;
    };
    const QList<Case> cases = {
        {"free text", false, false, {}, QStringLiteral("Žofia 12,5"), QStringLiteral("Žofia 12,5")},
        {"digits only", true, false, {}, QStringLiteral("1a2,3.4-"), QStringLiteral("1234")},
        {"one decimal separator", true, true, {}, QStringLiteral("1,5."), QStringLiteral("1,5")},
        {"dot gives the locale separator", true, true, {}, QStringLiteral("1.5,"), QStringLiteral("1,5")},
        {"only these chars and slash", false, false, QStringLiteral("ABC"), QStringLiteral("AxB/Cd"),
         QStringLiteral("AB/C")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsTestWindow win;
        auto* e = win.add<TIBEdit>("e");
        e->setOnlyNumbers(c.onlyNumbers);
        e->setWithDecimals(c.withDecimals);
        e->setOnlyTheseChars(c.onlyThese);
        win.open();
        ControlsTestWindow::focus(e);
        typeText(e, c.typed);
        EXPECT_EQ(e->text(), c.expected);
        QTest::keyClick(e, Qt::Key_Backspace);
        EXPECT_EQ(e->text(), c.expected.chopped(1));
    }
}

TEST(IBEdit, CtrlEnterAndOnKeyDown)
{
    ControlsTestWindow win;
    auto* e = win.add<TIBEdit>("e");
    win.open();
    ControlsTestWindow::focus(e);
    QSignalSpy ctrl(e, &TIBEdit::OnCtrlEnter);
    QSignalSpy click(e, &TIBEdit::OnClickEnter);
    QTest::keyClick(e, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ctrl.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), e);
    QObject::connect(e, &TIBEdit::OnKeyDown, e, [](QKeyEvent* ev) {
        if (ev->key() == Qt::Key_X)
            ev->accept();
    });
    QTest::keyClicks(e, "axb");
    EXPECT_EQ(e->text(), QStringLiteral("ab"));
    QTest::keyClick(e, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(click.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
}

TEST(IBEdit, MinLength)
{
    ControlsTestWindow win;
    auto* e = win.add<TIBEdit>("e");
    e->setMinLength(3);
    win.open();
    ControlsTestWindow::focus(e);
    QTest::keyClicks(e, "ab");
    DialogTranscript transcript;
    QTest::keyClick(e, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, QStringLiteral("Zadajte minimálne 3 znakov"));
    EXPECT_EQ(transcript.last().type, msg::Information);
    EXPECT_EQ(QApplication::focusWidget(), e);
    e->clear();  // blank and optional: acceptable
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(transcript.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
}

TEST(IBEdit, ButtonAndReadOnly)
{
    ControlsTestWindow win;
    auto* e = win.add<TIBEdit>("eEmail");
    e->setButtonVisible(true);
    win.open();
    QSignalSpy clicks(e, &TIBEdit::OnButtonClick);
    EXPECT_TRUE(e->button()->isVisible());
    EXPECT_EQ(e->button()->width(), 16);
    QTest::mouseClick(e->button(), Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    e->setReadOnly(true);
    EXPECT_FALSE(e->button()->isVisible());
    e->setReadOnly(false);
    EXPECT_TRUE(e->button()->isVisible());
}

class IBEditUnique : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The address book of the migrated schema; NAZOV_UPLNY and its "_X"
        // form are filled by the table's trigger.
        db.exec({QStringLiteral("insert into ADRESAR (JEDIN, TYP, MENO, FARBA) values (1, 1, 'O''Brien', 10)"),
                 QStringLiteral("insert into ADRESAR (JEDIN, TYP, MENO, FARBA) values (2, 1, 'Žilinský', 1.5)"),
                 QStringLiteral("insert into ADRESAR (JEDIN, TYP, MENO, FARBA) values (3, 2, 'Novák', 30)")});
    }

    TIBEdit* addNameEdit(ControlsTestWindow& win)
    {
        auto* e = win.add<TIBEdit>("eDBMeno");
        e->setDatabase(&db.connection());
        e->setUniqueTest(true);
        e->setUTableName("adresar");
        e->setUTestColumn("meno");
        e->setUniqueColumn("jedin");
        e->setUAdditionalToWhere("and Typ=1");
        return e;
    }

    // Types the name and leaves with Tab: true when the edit refused it.
    bool refuses(ControlsTestWindow& win, TIBEdit* e, const QString& name, DialogTranscript& transcript)
    {
        ControlsTestWindow::focus(e);
        e->selectAll();
        typeText(e, name);
        const auto before = transcript.count();
        QTest::keyClick(e, Qt::Key_Tab);
        const bool refused = QApplication::focusWidget() == e;
        EXPECT_EQ(transcript.count() - before, refused ? 1 : 0);
        if (refused) {
            EXPECT_TRUE(transcript.last().text.startsWith(QStringLiteral("Hlásenie #1004\r\n\r\nTakáto položka už existuje!")));
        }
        ControlsTestWindow::focus(win.other);
        return refused;
    }

    TestDatabase db{TestDatabase::Migrated};
};

TEST_F(IBEditUnique, CaseInsensitiveWithApostropheAndTheRecordItself)
{
    ControlsTestWindow win;
    auto* e = addNameEdit(win);
    win.open();
    DialogTranscript transcript;
    EXPECT_TRUE(refuses(win, e, QStringLiteral("o'brien"), transcript));
    EXPECT_TRUE(refuses(win, e, QStringLiteral("ŽILINSKÝ"), transcript));
    EXPECT_FALSE(refuses(win, e, QStringLiteral("O'Briens"), transcript));
    EXPECT_FALSE(refuses(win, e, QStringLiteral("Novák"), transcript));  // another type
    EXPECT_FALSE(refuses(win, e, QStringLiteral("x' or 1=1 --"), transcript));
    e->setUniqueColumnValue(1);  // editing O'Brien himself
    EXPECT_FALSE(refuses(win, e, QStringLiteral("O'BRIEN"), transcript));
    e->setUniqueColumnValue(2);
    EXPECT_TRUE(refuses(win, e, QStringLiteral("O'BRIEN"), transcript));
}

TEST_F(IBEditUnique, WithoutDiacriticsAndNumbers)
{
    ControlsTestWindow win;
    auto* e = addNameEdit(win);
    e->setUBezDiakritiky(true);
    e->setUTestColumn("nazov_uplny");
    auto* n = win.add<TIBEdit>("eFarba");
    n->setDatabase(&db.connection());
    n->setUniqueTest(true);
    n->setOnlyNumbers(true);
    n->setUTableName("adresar");
    n->setUTestColumn("farba");
    n->setUniqueColumn("jedin");
    win.open();
    DialogTranscript transcript;
    EXPECT_TRUE(refuses(win, e, QStringLiteral("zilinsky"), transcript));
    EXPECT_FALSE(refuses(win, e, QStringLiteral("zilina"), transcript));
    EXPECT_TRUE(refuses(win, n, QStringLiteral("10"), transcript));
    EXPECT_FALSE(refuses(win, n, QStringLiteral("21"), transcript));
}

// The edit and the lookup combo box run one duplicate rule: configured alike,
// they must give the same answer for the same text.
TEST_F(IBEditUnique, EditAndComboBoxGiveTheSameAnswer)
{
    db.exec({QStringLiteral("insert into NASTAVENIA (PREMENNA, CISLO) values ('Skúšobná', 7)")});
    struct Case {
        const char* name;
        QString table, column, uniqueColumn, additional;
        bool bezDiakritiky, onlyNumbers;
        QVariant editing;  // UniqueColumnValue
        QString text;
        bool duplicate;
    };
    const QString typ1 = QStringLiteral("and Typ=1");
    const QList<Case> cases = {
        {"capitals with diacritics", "adresar", "meno", "jedin", typ1, false, false, {}, "ŽILINSKÝ", true},
        {"lower case with diacritics", "adresar", "meno", "jedin", typ1, false, false, {}, "žilinský", true},
        {"apostrophe", "adresar", "meno", "jedin", typ1, false, false, {}, "o'brien", true},
        {"the record itself", "adresar", "meno", "jedin", typ1, false, false, 2, "ŽILINSKÝ", false},
        {"another type of contact", "adresar", "meno", "jedin", typ1, false, false, {}, "NOVÁK", false},
        {"without diacritics", "adresar", "nazov_uplny", "jedin", typ1, true, false, {}, "zilinsky", true},
        {"number with the locale's decimal comma", "adresar", "farba", "jedin", typ1, false, true, {}, "1,5", true},
        {"another number", "adresar", "farba", "jedin", typ1, false, true, {}, "1,25", false},
        {"a table keyed by another column", "nastavenia", "premenna", "cislo", {}, false, false, {}, "SKÚŠOBNÁ",
         true},
    };
    DialogTranscript transcript;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlsTestWindow win;
        auto* edit = win.add<TIBEdit>("eDBMeno");
        auto* combo = win.add<TIBComboBox>("eDBNazov");
        edit->setDatabase(&db.connection());
        combo->setDatabase(&db.connection());
        combo->setUniqueErrorText(1004);
        edit->setUniqueTest(true);
        combo->setUniqueTest(true);
        edit->setUTableName(c.table);
        combo->setUTableName(c.table);
        edit->setUTestColumn(c.column);
        combo->setUTestColumn(c.column);
        edit->setUniqueColumn(c.uniqueColumn);
        combo->setUniqueColumn(c.uniqueColumn);
        edit->setUAdditionalToWhere(c.additional);
        combo->setUAdditionalToWhere(c.additional);
        edit->setUBezDiakritiky(c.bezDiakritiky);
        combo->setUBezDiakritiky(c.bezDiakritiky);
        edit->setOnlyNumbers(c.onlyNumbers);
        combo->setOnlyNumbers(c.onlyNumbers);
        edit->setUniqueColumnValue(c.editing);
        combo->setUniqueColumnValue(c.editing);
        edit->setText(c.text);
        combo->setEditText(c.text);
        const auto before = transcript.count();
        bool editAnswer = false, comboAnswer = false;
        EXPECT_NO_THROW(editAnswer = edit->CheckValue()) << "edit";
        EXPECT_NO_THROW(comboAnswer = combo->IsUnique()) << "combo box";
        EXPECT_EQ(editAnswer, c.duplicate) << "edit";
        EXPECT_EQ(comboAnswer, c.duplicate) << "combo box";
        EXPECT_EQ(transcript.count() - before, c.duplicate ? 2 : 0);
    }
}

TEST_F(IBEditUnique, ATextTheClientLayerRefusesIsReportedOnceAndRefused)
{
    ControlsTestWindow win;
    auto* e = addNameEdit(win);
    e->setText(QStringLiteral("Ωmega"));  // no such letter in WIN1250
    DialogTranscript transcript;
    bool refused = false;
    EXPECT_NO_THROW(refused = e->CheckValue());
    EXPECT_TRUE(refused);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.contains(QStringLiteral("WIN1250"))) << transcript.last().text.toStdString();
}

TEST(IBEditUniqueSql, NamesAreProgramTextValuesAreParameters)
{
    UniqueTestSetup setup;
    setup.tableName = "adresar";
    setup.testColumn = "meno";
    setup.uniqueColumn = "jedin";
    setup.uniqueColumnValue = 7;
    setup.additionalToWhere = "and Typ=1";
    const auto st = BuildUniqueTestSql(setup, QStringLiteral("O'Brien"));
    EXPECT_EQ(st.lines.join('\n'),
              QStringLiteral("Select first 1 jedin from adresar where\njedin<>:UNIQUE_VALUE\n"
                             "and Upper(meno Collate PXW_CSY)=Upper(cast(:TEST_TEXT as varchar(7) character set "
                             "WIN1250) Collate PXW_CSY)\nand Typ=1"));
    EXPECT_EQ(st.params.value("TEST_TEXT").toString(), QStringLiteral("O'Brien"));
    EXPECT_EQ(st.params.value("UNIQUE_VALUE").toLongLong(), 7);
    setup.tableName = "adresar; drop table x";
    EXPECT_THROW(BuildUniqueTestSql(setup, "a"), std::invalid_argument);
}

TEST(IBMemo, EnterMovesCtrlEnterMakesANewLine)
{
    ControlsTestWindow win;
    auto* m = win.add<TIBMemo>("mPoznamka");
    win.open();
    ControlsTestWindow::focus(m);
    QSignalSpy exits(m, &TIBMemo::OnExit);
    typeText(m, QStringLiteral("Ďakujem"));
    QTest::keyClick(m, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(m, "x");
    EXPECT_EQ(m->toPlainText(), QStringLiteral("Ďakujem\nx"));
    QTest::keyClick(m, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(m->textCursor().selectedText().size(), 9);
    QTest::keyClick(m, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(m->toPlainText(), QStringLiteral("Ďakujem\nx"));
    m->setEnterKeyMovesFocus(false);
    ControlsTestWindow::focus(m);
    m->moveCursor(QTextCursor::End);
    QTest::keyClick(m, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), m);
    EXPECT_EQ(m->toPlainText(), QStringLiteral("Ďakujem\nx\n"));
}

TEST(IBCheckBox, KeypadDigitsToggleAndEnterFiresExitOnce)
{
    ControlsTestWindow win;
    auto* c = win.add<TIBCheckBox>("chbAktivny");
    win.open();
    ControlsTestWindow::focus(c);
    EXPECT_EQ(c->palette().color(QPalette::Active, QPalette::Window), QColor(0, 255, 255));
    EXPECT_EQ(c->CheckedValue(), 0);
    QTest::keyClick(c, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(c->CheckedValue(), 1);
    EXPECT_TRUE(c->isChecked());
    QTest::keyClick(c, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(c->CheckedValue(), 0);
    QTest::keyClick(c, Qt::Key_5);  // not the keypad
    EXPECT_EQ(c->CheckedValue(), 0);
    c->setCheckedValue(1);
    EXPECT_TRUE(c->isChecked());
    c->setCheckedValue(7);
    EXPECT_FALSE(c->isChecked());
    QSignalSpy exits(c, &TIBCheckBox::OnExit);
    QTest::keyClick(c, Qt::Key_Return);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
    EXPECT_NE(c->palette().color(QPalette::Active, QPalette::Window), QColor(0, 255, 255));
    QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(c->width() - 8, c->height() / 2));  // the box is on the right
    EXPECT_EQ(c->CheckedValue(), 1);
}
