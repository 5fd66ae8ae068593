// The numeric and amount edits: the typing model as a table, the
// same keys through the widgets, the amount edit's checks and keys, the
// calculator, and the wait window.
#include "ControlsTestWindow.h"
#include "FireTimer.h"
#include "controls/Calculator.h"
#include "controls/IBCurrencyEdit.h"
#include "controls/NumberTyping.h"
#include "framework/WaitPlease.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/QtPrinters.h"

#include <QCloseEvent>
#include <QSignalSpy>

namespace {

NumberTyping::Settings twoDecimals()
{
    NumberTyping::Settings s;
    s.decimals = 2;
    s.decimalPoint = QLatin1Char(',');
    s.groupSeparator = QChar(0x00A0);
    return s;
}

// Keys: characters are typed; "<" is Backspace, ">" Delete, "|" selects all,
// "^" puts the caret at the start, "$" at the end. Returns the beeps.
int play(NumberTyping& m, const QString& keys)
{
    int beeps = 0;
    for (QChar c : keys) {
        bool ok = true;
        if (c == QLatin1Char('<'))
            ok = m.backspace();
        else if (c == QLatin1Char('>'))
            ok = m.del();
        else if (c == QLatin1Char('|'))
            m.setSelection(0, int(m.text().size()));
        else if (c == QLatin1Char('^'))
            m.setCaret(0);
        else if (c == QLatin1Char('$'))
            m.setCaret(int(m.text().size()));
        else
            ok = m.type(c);
        if (!ok)
            ++beeps;
    }
    return beeps;
}

}  // namespace

TEST(NumberTyping, TypingTable)
{
    struct Case {
        const char* name;
        int decimals;
        NumberTyping::Format format;
        double start;
        QString keys;
        QString text;
        int beeps;
    };
    using F = NumberTyping::Format;
    const QList<Case> cases = {
        {"12 , 5 -> 12,50", 2, F::Standard, 0, "|12,5", "12,50", 0},
        {"a third decimal beeps", 2, F::Standard, 0, "|12,567", "12,56", 1},
        {"separator jumps over", 2, F::Standard, 0, "|1,,2", "1,20", 0},
        {"lone leading zero replaced", 2, F::Standard, 0, "^7", "7,00", 0},
        {"sign toggles", 2, F::Standard, 0, "|12-", "-12,00", 0},
        {"sign toggles back", 2, F::Standard, 0, "|12--", "12,00", 0},
        {"backspace in decimals keeps length", 2, F::Standard, 12.34, "$<", "12,30", 0},
        {"backspace over separator moves", 2, F::Standard, 12.34, "$<<<", "12,00", 0},
        {"then removes integer digits", 2, F::Standard, 12.34, "$<<<<", "1,00", 0},
        {"last integer digit leaves 0", 2, F::Standard, 5, "$<<<<", "0,00", 0},
        {"sign stays", 2, F::Standard, -5, "$<<<<<", "-0,00", 1},
        {"delete keeps format", 2, F::Standard, 12.34, "^>>", "0,34", 0},
        {"delete jumps the separator, decimals shift", 2, F::Standard, 12.34, "^>>>>", "0,40", 0},
        {"only digits sign E and separator", 2, F::Standard, 0, "|1a.2", "12,00", 2},
        {"no decimals refuses the separator", 0, F::Standard, 0, "|12,3", "123", 1},
        {"free decimals", -1, F::Standard, 0, "|1,2345", "1,2345", 0},
        {"fifteen significant digits", -1, F::Standard, 0, "|1234567890123456", "123456789012345", 1},
        {"thousands regrouped", 2, F::Thousands, 0, "|1234567", "1\u00A0234\u00A0567,00", 0},
        {"thousands backspace", 2, F::Thousands, 1234, "^$<<<<", "123,00", 0},
        {"exponent", -1, F::Standard, 0, "|15E3", "15E3", 0},
        {"exponent sign", -1, F::Standard, 0, "|15E3-", "15E-3", 0},
        {"exponent above 4932 beeps", -1, F::Standard, 0, "|1E4933", "1E493", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NumberTyping::Settings s = twoDecimals();
        s.decimals = c.decimals;
        s.format = c.format;
        NumberTyping m(s);
        m.setValue(c.start);
        m.setCaret(int(m.text().size()));
        EXPECT_EQ(play(m, c.keys), c.beeps);
        EXPECT_EQ(m.text(), c.text);
    }
}

TEST(NumberTyping, FormatsAndValues)
{
    NumberTyping::Settings s = twoDecimals();
    EXPECT_EQ(NumberTyping::format(1234.5, s), QStringLiteral("1234,50"));
    EXPECT_EQ(NumberTyping::format(-0.004, s), QStringLiteral("0,00"));
    s.format = NumberTyping::Format::Thousands;
    EXPECT_EQ(NumberTyping::format(-1234567.891, s), QStringLiteral("-1\u00A0234\u00A0567,89"));
    s.format = NumberTyping::Format::Scientific;
    EXPECT_EQ(NumberTyping::format(12345, s), QStringLiteral("1,23E4"));
    s.format = NumberTyping::Format::Engineering;
    EXPECT_EQ(NumberTyping::format(12345, s), QStringLiteral("12,35E3"));
    s.format = NumberTyping::Format::Standard;
    s.decimals = -1;
    EXPECT_EQ(NumberTyping::format(0.1 + 0.2, s), QStringLiteral("0,3"));
    EXPECT_EQ(NumberTyping::format(123456789.123456789, s), QStringLiteral("123456789,123457"));
    NumberTyping m(twoDecimals());
    m.setText(QStringLiteral("1\u00A0234,5"));
    EXPECT_EQ(double(m.value()), 1234.5);
    m.setText(QStringLiteral("nonsense"));
    EXPECT_EQ(m.text(), QStringLiteral("0,00"));
}

class AmountTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        a = win.add<TIBCurrencyEdit>("eDBObjCenaMJ");
        win.open();
    }
    ControlsTestWindow win;
    TIBCurrencyEdit* a = nullptr;
};

TEST_F(AmountTest, TypesWithRealKeys)
{
    EXPECT_EQ(a->text(), QStringLiteral("0,00"));
    ControlsTestWindow::focus(a);
    EXPECT_EQ(a->selectedText(), QStringLiteral("0,00"));
    QTest::keyClicks(a, "12");
    EXPECT_EQ(a->text(), QStringLiteral("12,00"));
    QTest::keyClick(a, Qt::Key_Comma, Qt::NoModifier);
    QTest::keyClicks(a, "5");
    EXPECT_EQ(a->text(), QStringLiteral("12,50"));
    EXPECT_EQ(a->beepCount(), 0);
    QTest::keyClicks(a, "67");  // the third decimal beeps
    EXPECT_EQ(a->text(), QStringLiteral("12,56"));
    EXPECT_EQ(a->beepCount(), 1);
    QTest::keyClicks(a, "-");
    EXPECT_EQ(a->text(), QStringLiteral("-12,56"));
    QTest::keyClick(a, Qt::Key_Backspace);
    EXPECT_EQ(a->text(), QStringLiteral("-12,50"));
    QTest::keyClick(a, Qt::Key_Up);
    EXPECT_EQ(a->selectedText(), QStringLiteral("-12,50"));
    QTest::keyClicks(a, "3.25");  // "." types the separator too
    EXPECT_EQ(a->text(), QStringLiteral("3,25"));
    EXPECT_DOUBLE_EQ(a->value(), 3.25);
    EXPECT_TRUE(a->isModified());
    QTest::keyClick(a, Qt::Key_V);
    EXPECT_EQ(a->text(), QStringLiteral("0,00"));
    EXPECT_EQ(a->selectedText(), QStringLiteral("0,00"));
    QTest::keyClicks(a, "7");
    QTest::keyClick(a, Qt::Key_F8);
    EXPECT_EQ(a->text(), QStringLiteral("0,00"));
}

TEST_F(AmountTest, NegativeRefusedWith1036AndFocusStays)
{
    a->setAllowNegative(false);
    ControlsTestWindow::focus(a);
    QTest::keyClicks(a, "5-");
    EXPECT_EQ(a->text(), QStringLiteral("-5,00"));
    QColor during;
    DialogTranscript transcript;
    setDialogResponder([&](const DialogRequest& r) {
        during = a->palette().color(QPalette::Active, QPalette::Base);
        EXPECT_TRUE(r.text.startsWith(QStringLiteral("Hlásenie #1036\r\n\r\nHodnota nemôže byť záporná!")));
        return msg::OK;
    });
    QSignalSpy exits(a, &TIBCurrencyEdit::OnExit);
    QTest::keyClick(a, Qt::Key_Tab);
    setDialogResponder({});
    EXPECT_EQ(during, QColor(255, 0, 0));
    EXPECT_EQ(QApplication::focusWidget(), a);
    EXPECT_EQ(a->selectedText(), QStringLiteral("-5,00"));
    EXPECT_EQ(exits.count(), 0);
    // The cancel button skips it.
    ControlsTestWindow::focus(win.cancel);
    EXPECT_EQ(QApplication::focusWidget(), win.cancel);
    // CheckControls does not.
    DialogTranscript t2;
    EXPECT_TRUE(CheckControls(&win));
    EXPECT_EQ(t2.count(), 1);
}

TEST_F(AmountTest, ZeroAndRangeChecks)
{
    DialogTranscript transcript;
    a->setAllowZero(false);
    ControlsTestWindow::focus(a);
    QTest::keyClick(a, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.startsWith(QStringLiteral("Hlásenie #1043\r\n\r\nHodnota nemôže byť nulová!")));
    a->setAllowZero(true);
    a->setMaxValue(1000);
    QTest::keyClicks(a, "1500");
    QTest::keyClick(a, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_EQ(transcript.last().text, QStringLiteral("Zadaná hodnota je väčšia ako povolená. (MaxValue=1\u00A0000,00)"));
    a->setMinValue(10);
    QTest::keyClick(a, Qt::Key_Up);
    QTest::keyClicks(a, "5");
    QTest::keyClick(a, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 3);
    EXPECT_EQ(transcript.last().text, QStringLiteral("Zadaná hodnota je menšia ako povolená. (MinValue=10,00)"));
    QTest::keyClick(a, Qt::Key_Up);
    QTest::keyClicks(a, "50");
    QTest::keyClick(a, Qt::Key_Tab);
    EXPECT_EQ(transcript.count(), 3);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
}

TEST_F(AmountTest, EnterRunsTheExitOnceAndMovesOn)
{
    ControlsTestWindow::focus(a);
    QSignalSpy exits(a, &TIBCurrencyEdit::OnExit);
    QSignalSpy clicks(a, &TIBCurrencyEdit::OnClickEnter);
    QSignalSpy ctrl(a, &TIBCurrencyEdit::OnCtrlEnter);
    QTest::keyClicks(a, "42");
    QTest::keyClick(a, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(ctrl.count(), 1);
    QTest::keyClick(a, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(exits.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), win.other);
    EXPECT_EQ(a->text(), QStringLiteral("42,00"));
}

TEST_F(AmountTest, ColoursAndReadOnly)
{
    auto base = [&] { return a->palette().color(QPalette::Active, QPalette::Base); };
    a->setMoneyColor(true);
    EXPECT_EQ(base(), QColor(99, 255, 47));
    ControlsTestWindow::focus(a);
    EXPECT_EQ(base(), QColor(0, 255, 255));
    a->setRequired(true);
    EXPECT_EQ(base(), QColor(0, 217, 255));
    ControlsTestWindow::focus(win.other);
    EXPECT_EQ(base(), QColor(99, 255, 47));
    a->setMoneyColor(false);
    EXPECT_EQ(base(), QColor(255, 255, 0));
    a->setReadOnly(true);
    EXPECT_EQ(base(), DataControl::buttonFaceColour());
    EXPECT_TRUE(a->isReadOnly());
    QTest::keyClicks(a, "9");
    EXPECT_EQ(a->text(), QStringLiteral("0,00"));
}

TEST_F(AmountTest, CalculatorWithK)
{
    a->setValue(12);
    ControlsTestWindow::focus(a);
    onNextModal([](QWidget* w) {
        auto* calc = qobject_cast<TfrmCalculator*>(w);
        ASSERT_NE(calc, nullptr);
        EXPECT_EQ(calc->windowTitle(), QStringLiteral("Kalkulačka..."));
        EXPECT_DOUBLE_EQ(calc->value(), 12);
        QTest::keyClicks(calc, "*3+1,5");
        QTest::keyClick(calc, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(calc->value(), 37.5);
        QTest::keyClick(calc, Qt::Key_Escape);
    });
    QTest::keyClick(a, Qt::Key_K);
    EXPECT_EQ(a->text(), QStringLiteral("37,50"));
}

TEST(PBNumEdit, AloneClampsToTheRangeWithABeepOrCallsOnInvalidEntry)
{
    ControlsTestWindow win;
    auto* n = win.add<TPBNumEdit>("eNum");
    n->setDecimals(0);
    n->setMinValue(1);
    n->setMaxValue(10);
    n->setValue(5);
    win.open();
    ControlsTestWindow::focus(n);
    QTest::keyClicks(n, "25");
    EXPECT_EQ(n->text(), QStringLiteral("25"));
    EXPECT_EQ(n->beepCount(), 0);
    ControlsTestWindow::focus(win.other);
    EXPECT_EQ(n->text(), QStringLiteral("10"));
    EXPECT_EQ(n->beepCount(), 1);
    EXPECT_EQ(QApplication::focusWidget(), n);
    int invalid = 0;
    QObject::connect(n, &TPBNumEdit::OnInvalidEntry, n, [&] { ++invalid; });
    n->selectAll();
    QTest::keyClicks(n, "0");
    ControlsTestWindow::focus(win.other);
    EXPECT_EQ(invalid, 1);
    EXPECT_EQ(n->text(), QStringLiteral("0"));
    EXPECT_EQ(QApplication::focusWidget(), win.other);
}

TEST(Calculator, Engine)
{
    CalculatorEngine e(10);
    e.operation('/');
    e.digit(4);
    e.equals();
    EXPECT_DOUBLE_EQ(e.value(), 2.5);
    e.operation('/');
    e.digit(0);
    e.equals();
    EXPECT_TRUE(e.hasError());
    e.clear();
    e.digit(7);
    e.negate();
    EXPECT_DOUBLE_EQ(e.value(), -7);
}

TEST(WaitPlease, OneWindowRefreshedEvery500msThatTheUserCannotClose)
{
    WaitPleaseShow(100);
    TfrmWaitPlease* w = WaitPleaseWindow();
    ASSERT_NE(w, nullptr);
    WaitPleaseShow(0);
    EXPECT_EQ(WaitPleaseWindow(), w);
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return w->isVisible(); }, 10000));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Čakajte prosím, pracujem..."));
    EXPECT_EQ(w->size(), QSize(491, 60));
    // The refresh: a repeating 500 ms timer, fired here rather than waited for.
    auto* refresh = w->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->interval(), 500);
    EXPECT_FALSE(refresh->isSingleShot());
    const int before = w->refreshCount();
    EXPECT_TRUE(fireTimer(refresh));
    EXPECT_TRUE(fireTimer(refresh));
    EXPECT_EQ(w->refreshCount(), before + 2);
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->close());
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
    WaitPleaseHide();
    EXPECT_EQ(WaitPleaseWindow(), nullptr);
    WaitPleaseHide();
}
