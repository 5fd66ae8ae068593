// The date and time edits typed with real keys, and their parsing
// rules as plain functions.
#include "ControlsTestWindow.h"
#include "controls/DateInput.h"
#include "controls/IBDate.h"
#include "controls/IBTime.h"
#include "controls/InnerButton.h"
#include "controls/MonthCalendar.h"
#include "framework/Clock.h"
#include "framework/UserSettings.h"
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/QtPrinters.h"
#include "support/TempSettings.h"

#include <QCalendarWidget>
#include <QSignalSpy>
#include <QTableView>

namespace {

// Pins today to 15 March 2025, 10:42.
struct PinnedClock {
    PinnedClock() { Clock::pinClock(QDateTime(QDate(2025, 3, 15), QTime(10, 42, 17))); }
    ~PinnedClock() { Clock::unpinClock(); }
};

const QString unknownCommand = QStringLiteral("Neznámy príkaz!\r\n\r\nMusíte použiť napr. +13 alebo -7.");
const QString wrongDate = QStringLiteral("Nesprávny dátum! Opravte hodnotu.");
const QString required = QStringLiteral("Povinný údaj. Položka musí byť zadaná!");

}  // namespace

TEST(DateInput, ParsingTable)
{
    const QDate today(2025, 3, 15);
    struct Case {
        QString text;
        QDate shown;
        QDate expected;
        DateInputError error;
    };
    const QList<Case> cases = {
        {"150325", {}, QDate(2025, 3, 15), DateInputError::None},
        {"150330", {}, QDate(1930, 3, 15), DateInputError::None},
        {"150329", {}, QDate(2029, 3, 15), DateInputError::None},
        {"15032025", {}, QDate(2025, 3, 15), DateInputError::None},
        {"1503202", {}, QDate(202, 3, 15), DateInputError::None},
        {"07", QDate(2025, 3, 15), QDate(2025, 3, 7), DateInputError::None},
        {"0704", QDate(2024, 3, 15), QDate(2024, 4, 7), DateInputError::None},
        {"07", {}, QDate(2025, 3, 7), DateInputError::None},
        {"1", QDate(2025, 3, 15), QDate(2025, 3, 1), DateInputError::None},
        {"+20", QDate(2025, 3, 15), QDate(2025, 4, 4), DateInputError::None},
        {"-15", QDate(2025, 3, 15), QDate(2025, 2, 28), DateInputError::None},
        {"+", QDate(2025, 3, 15), QDate(2025, 3, 15), DateInputError::None},
        {"1+2", QDate(2025, 3, 15), {}, DateInputError::UnknownCommand},
        {"+2+", QDate(2025, 3, 15), {}, DateInputError::UnknownCommand},
        {"+-2", QDate(2025, 3, 15), {}, DateInputError::UnknownCommand},
        {"+7", {}, {}, DateInputError::NoDate},
        {"310225", {}, {}, DateInputError::ImpossibleDate},
        {"290225", {}, {}, DateInputError::ImpossibleDate},
        {"290224", {}, QDate(2024, 2, 29), DateInputError::None},
        {"3213", {}, {}, DateInputError::ImpossibleDate},
        {"00", {}, {}, DateInputError::ImpossibleDate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const DateInputResult r = ParseDateInput(c.text, c.shown, today);
        EXPECT_EQ(int(r.error), int(c.error));
        if (c.error == DateInputError::None) {
            EXPECT_EQ(r.date, c.expected);
        }
    }
    EXPECT_TRUE(IsPlausibleDate(QDate(1945, 1, 1), today));
    EXPECT_FALSE(IsPlausibleDate(QDate(1944, 12, 31), today));
    EXPECT_TRUE(IsPlausibleDate(QDate(2030, 12, 31), today));
    EXPECT_FALSE(IsPlausibleDate(QDate(2031, 1, 1), today));
}

TEST(DateInput, TimeParsingTable)
{
    struct Case {
        QString text;
        QTime shown;
        bool ok;
        QTime expected;
    };
    const QList<Case> cases = {
        {"0930", {}, true, QTime(9, 30)},  {"2359", {}, true, QTime(23, 59)},
        {"2575", {}, false, {}},           {"2400", {}, false, {}},
        {"0960", {}, false, {}},           {"12", QTime(8, 15), true, QTime(12, 15)},
        {"12", {}, true, QTime(12, 0)},    {"7", QTime(8, 15), true, QTime(7, 15)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const TimeInputResult r = ParseTimeInput(c.text, c.shown);
        EXPECT_EQ(r.ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(r.time, c.expected);
        }
    }
}

class IBDateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        d = win.add<TIBDate>("eDBDatumPrijatia");
        win.open();
    }

    // Focus, type (replacing the selection), leave with Tab.
    void typeAndLeave(const QString& typed)
    {
        ControlsTestWindow::focus(d);
        d->selectAll();
        QTest::keyClicks(d, typed);
        QTest::keyClick(d, Qt::Key_Tab);
    }

    PinnedClock clock;
    ControlsTestWindow win;
    TIBDate* d = nullptr;
};

TEST_F(IBDateTest, StartsWithTodayShownAndTypingFormWhileFocused)
{
    EXPECT_EQ(d->date(), QDate(2025, 3, 15));
    EXPECT_EQ(d->text(), QStringLiteral("15.03.2025"));
    ControlsTestWindow::focus(d);
    EXPECT_EQ(d->text(), QStringLiteral("15032025"));
    EXPECT_EQ(d->selectedText(), QStringLiteral("15032025"));
    TIBDate loose;
    EXPECT_EQ(loose.width(), 105);
    EXPECT_EQ(loose.height(), 21);
}

TEST_F(IBDateTest, TypedInputTable)
{
    struct Case {
        QDate shown;
        QString typed;
        QString shownAfter;       // the text after leaving (or trying to)
        QString message;          // empty: none
        bool focusStays;
    };
    const QList<Case> cases = {
        {QDate(2025, 3, 15), "150325", "15.03.2025", {}, false},
        {QDate(2025, 3, 15), "150330", "15.03.1930", {}, false},
        {QDate(2025, 3, 15), "07", "07.03.2025", {}, false},
        {QDate(2025, 3, 15), "+20", "04.04.2025", {}, false},
        {QDate(2025, 3, 15), "-14", "01.03.2025", {}, false},
        {QDate(2025, 3, 15), "1+2", "15032025", unknownCommand, true},
        {QDate(2025, 3, 15), "310225", "15032025", wrongDate, true},
        {QDate(2024, 1, 10), "abc0/2", "02.01.2024", {}, false},  // letters and "/" cannot be typed
        {QDate(2024, 1, 10), "0102202599", "01.02.2025", {}, false},  // at most eight characters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ControlsTestWindow::focus(win.other);
        d->setDate(c.shown);
        DialogTranscript transcript;
        typeAndLeave(c.typed);
        EXPECT_EQ(d->text(), c.shownAfter);
        if (c.message.isEmpty()) {
            EXPECT_EQ(transcript.count(), 0);
        } else {
            ASSERT_EQ(transcript.count(), 1);
            EXPECT_EQ(transcript.last().text, c.message);
            EXPECT_EQ(transcript.last().kind, DialogKind::Plain);
        }
        EXPECT_EQ(QApplication::focusWidget() == d, c.focusStays);
    }
}

TEST_F(IBDateTest, ImplausibleDateIsRedButAccepted)
{
    typeAndLeave("150330");
    EXPECT_EQ(d->date(), QDate(1930, 3, 15));
    EXPECT_EQ(d->palette().color(QPalette::Active, QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(QApplication::focusWidget(), win.other);
    EXPECT_TRUE(d->isModified());
    typeAndLeave("150325");
    EXPECT_EQ(d->palette().color(QPalette::Active, QPalette::Base), DataControl::windowColour());
}

TEST_F(IBDateTest, RedWhileTheMessageIsShown)
{
    QColor during;
    DialogTranscript transcript;
    setDialogResponder([&](const DialogRequest&) {
        during = d->palette().color(QPalette::Active, QPalette::Base);
        return msg::OK;
    });
    typeAndLeave("310225");
    setDialogResponder({});
    EXPECT_EQ(during, QColor(255, 0, 0));
    EXPECT_EQ(d->palette().color(QPalette::Active, QPalette::Base), QColor(0, 255, 255));
}

TEST_F(IBDateTest, EmptyOptionalIsNullEmptyRequiredIsRefused)
{
    DialogTranscript transcript;
    ControlsTestWindow::focus(d);
    QTest::keyClick(d, Qt::Key_Backspace);
    QTest::keyClick(d, Qt::Key_Tab);
    EXPECT_TRUE(d->IsEmpty());
    EXPECT_FALSE(d->Date().isValid());
    EXPECT_EQ(d->text(), QString());
    EXPECT_EQ(transcript.count(), 0);

    d->setRequired(true);
    ControlsTestWindow::focus(d);
    QTest::keyClick(d, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, required);
    EXPECT_EQ(QApplication::focusWidget(), d);
    // The cancel button skips the check.
    ControlsTestWindow::focus(win.cancel);
    EXPECT_EQ(transcript.count(), 1);
    EXPECT_EQ(QApplication::focusWidget(), win.cancel);
    // CheckControls refuses it again.
    EXPECT_TRUE(CheckControls(&win));
    EXPECT_EQ(transcript.count(), 2);
    EXPECT_EQ(QApplication::focusWidget(), d);
}

// An empty text stands for no date: interpreting it, or opening the calendar
// on it and cancelling, leaves the date empty rather than today.
TEST_F(IBDateTest, AnEmptyTextIsNoDate)
{
    TempSettings settings;
    d->Clear();
    EXPECT_FALSE(d->ApplyText(true));
    EXPECT_TRUE(d->IsEmpty());
    EXPECT_FALSE(d->Date().isValid());
    EXPECT_EQ(d->text(), QString());

    onNextModal([](QWidget* w) {
        auto* cal = qobject_cast<TfrmMonthCalendar*>(w);
        ASSERT_NE(cal, nullptr);
        EXPECT_EQ(cal->date(), QDate(2025, 3, 15));  // opens on today
        QTest::keyClick(cal->calendar()->findChild<QTableView*>(), Qt::Key_Escape);
    });
    EXPECT_FALSE(d->OpenCalendar());
    EXPECT_TRUE(d->IsEmpty());
    EXPECT_EQ(d->text(), QString());
    QTest::keyClick(d, Qt::Key_Tab);
    EXPECT_FALSE(d->Date().isValid());
    EXPECT_EQ(d->text(), QString());
}

TEST_F(IBDateTest, Bounds)
{
    d->setMinDate(QDate(2025, 3, 1));
    d->setMaxDate(QDate(2025, 3, 31));
    DialogTranscript transcript;
    typeAndLeave("280225");
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.startsWith(QStringLiteral("Zadaný dátum je menší ako je povolené! (")));
    EXPECT_TRUE(transcript.last().text.contains(QLocale().toString(QDate(2025, 3, 1), QLocale::ShortFormat)));
    EXPECT_EQ(QApplication::focusWidget(), d);
    d->selectAll();
    QTest::keyClicks(d, "010425");
    QTest::keyClick(d, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_TRUE(transcript.last().text.startsWith(QStringLiteral("Zadaný dátum je väčší ako je povolené! (")));
    d->selectAll();
    QTest::keyClicks(d, "310325");
    QTest::keyClick(d, Qt::Key_Tab);
    EXPECT_EQ(transcript.count(), 2);
    EXPECT_EQ(d->date(), QDate(2025, 3, 31));
}

TEST_F(IBDateTest, F5AndDoubleClickGiveToday)
{
    d->setDate(QDate(2020, 1, 1));
    ControlsTestWindow::focus(d);
    QTest::keyClick(d, Qt::Key_F5);
    EXPECT_EQ(d->text(), QStringLiteral("15032025"));
    EXPECT_EQ(d->selectedText(), QStringLiteral("15032025"));
    EXPECT_EQ(d->Date().toDateTime().time(), QTime(10, 42, 17));  // date and time until the exit check
    QTest::keyClick(d, Qt::Key_Tab);
    EXPECT_EQ(d->Date().toDateTime().time(), QTime(0, 0));
    d->setDate(QDate(2020, 1, 1));
    ControlsTestWindow::focus(d);
    QTest::mouseDClick(d, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(d->text(), QStringLiteral("15032025"));
    // Connected OnDblClick replaces it.
    int dbl = 0;
    QObject::connect(d, &TIBDate::OnDblClick, d, [&] { ++dbl; });
    d->setDate(QDate(2020, 1, 1));
    QTest::mouseDClick(d, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(dbl, 1);
    EXPECT_EQ(d->date(), QDate(2020, 1, 1));
}

TEST_F(IBDateTest, ReadOnlyHidesTheButtonAndLeavesTheTabOrder)
{
    EXPECT_TRUE(d->button()->isVisible());
    d->setReadOnly(true);
    EXPECT_FALSE(d->button()->isVisible());
    EXPECT_FALSE(d->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(d->palette().color(QPalette::Active, QPalette::Base), DataControl::buttonFaceColour());
}

TEST_F(IBDateTest, CalendarPicksWithKeysAndRemembersItsPlace)
{
    TempSettings settings;
    d->setDate(QDate(2025, 3, 15));
    ControlsTestWindow::focus(d);
    onNextModal([](QWidget* w) {
        auto* cal = qobject_cast<TfrmMonthCalendar*>(w);
        ASSERT_NE(cal, nullptr);
        EXPECT_EQ(cal->windowTitle(), QStringLiteral("Zvoľte dátum..."));
        EXPECT_EQ(cal->calendar()->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
        EXPECT_EQ(cal->date(), QDate(2025, 3, 15));
        QWidget* view = cal->calendar()->findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Down);
        EXPECT_EQ(cal->date(), QDate(2025, 3, 23));
        cal->move(33, 44);
        QTest::keyClick(view, Qt::Key_Return);
    });
    QTest::keyClick(d, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(d->date(), QDate(2025, 3, 23));
    EXPECT_EQ(d->text(), QStringLiteral("23032025"));
    EXPECT_EQ(d->selectedText(), QStringLiteral("23032025"));
    EXPECT_EQ(readUserInt(TfrmMonthCalendar::settingsKey(), "Left", -1), 33);
    EXPECT_EQ(readUserInt(TfrmMonthCalendar::settingsKey(), "Top", -1), 44);
    TfrmMonthCalendar again;
    EXPECT_EQ(again.pos(), QPoint(33, 44));

    // Esc cancels; an unreadable text opens on today.
    d->setText("3102");
    onNextModal([](QWidget* w) {
        auto* cal = qobject_cast<TfrmMonthCalendar*>(w);
        ASSERT_NE(cal, nullptr);
        EXPECT_EQ(cal->date(), QDate(2025, 3, 15));
        QTest::keyClick(cal->calendar()->findChild<QTableView*>(), Qt::Key_Escape);
    });
    QTest::mouseClick(d->button(), Qt::LeftButton);
    EXPECT_EQ(d->date(), QDate(2025, 3, 23));
}

class IBTimeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        t = win.add<TIBTime>("eDBTerminCas");
        win.open();
    }
    PinnedClock clock;
    ControlsTestWindow win;
    TIBTime* t = nullptr;
};

TEST_F(IBTimeTest, F5TypingAndImpossibleTimes)
{
    DialogTranscript transcript;
    ControlsTestWindow::focus(t);
    QTest::keyClick(t, Qt::Key_F5);
    EXPECT_EQ(t->text(), QStringLiteral("1042"));
    EXPECT_EQ(t->selectedText(), QStringLiteral("1042"));
    QTest::keyClick(t, Qt::Key_Tab);
    EXPECT_EQ(t->text(), QStringLiteral("10:42"));
    EXPECT_EQ(t->time(), QTime(10, 42));

    ControlsTestWindow::focus(t);
    EXPECT_EQ(t->text(), QStringLiteral("1042"));
    t->selectAll();
    QTest::keyClicks(t, "2575");
    QTest::keyClick(t, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, QStringLiteral("Nesprávny čas! Opravte hodnotu."));
    EXPECT_EQ(QApplication::focusWidget(), t);
    EXPECT_EQ(t->text(), QStringLiteral("1042"));  // the previous time again

    t->selectAll();
    QTest::keyClicks(t, "09a:305");  // only digits, four at most
    EXPECT_EQ(t->text(), QStringLiteral("0930"));
    QTest::keyClick(t, Qt::Key_Tab);
    EXPECT_EQ(t->text(), QStringLiteral("09:30"));
}

TEST_F(IBTimeTest, TheCancelButtonDoesNotSkipTheCheck)
{
    DialogTranscript transcript;
    t->setRequired(true);
    ControlsTestWindow::focus(t);
    ControlsTestWindow::focus(win.cancel);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, required);
    EXPECT_EQ(QApplication::focusWidget(), t);
    EXPECT_FALSE(CheckControls(&win));  // time edits take no part
}

TEST_F(IBTimeTest, Bounds)
{
    t->setMinTime(QTime(8, 0));
    t->setMaxTime(QTime(16, 0));
    DialogTranscript transcript;
    ControlsTestWindow::focus(t);
    QTest::keyClicks(t, "0745");
    QTest::keyClick(t, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_TRUE(transcript.last().text.startsWith(QStringLiteral("Zadaný čas je menší ako je povolené! (")));
    t->selectAll();
    QTest::keyClicks(t, "1601");
    QTest::keyClick(t, Qt::Key_Tab);
    ASSERT_EQ(transcript.count(), 2);
    EXPECT_TRUE(transcript.last().text.startsWith(QStringLiteral("Zadaný čas je väčší ako je povolené! (")));
    t->selectAll();
    QTest::keyClicks(t, "1600");
    QTest::keyClick(t, Qt::Key_Tab);
    EXPECT_EQ(transcript.count(), 2);
    EXPECT_EQ(t->text(), QStringLiteral("16:00"));
}
