#include "framework/Clock.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"
#include "framework/WaitPlease.h"
#include "support/QtPrinters.h"
#include "support/TempSettings.h"
#include "support/Typing.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QStatusBar>

#include <gtest/gtest.h>

TEST(FitStatusPanels, EachPanelAsWideAsItsTextPlusSix)
{
    QStatusBar bar;
    QFont font = bar.font();
    font.setPointSize(font.pointSize() + 5);
    bar.setFont(font);
    auto* sum = new QLabel("Suma: 1 234,50 €");
    auto* empty = new QLabel;
    bar.addWidget(sum);
    bar.addPermanentWidget(empty);
    FitStatusPanels(&bar);

    EXPECT_FALSE(bar.isSizeGripEnabled());
    EXPECT_EQ(sum->width(), QFontMetrics(font).horizontalAdvance(sum->text()) + 6);
    EXPECT_EQ(sum->minimumWidth(), sum->maximumWidth());
    EXPECT_EQ(empty->width(), 6);
}

TEST(CopyToClipboard, PlainTextWithTheLocale)
{
    CopyToClipboard("Žltá ťava\t12,50");
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), "Žltá ťava\t12,50");
    EXPECT_EQ(QString::fromUtf8(data->data(localeMimeType())), QLocale::system().name());
}

TEST(WaitPlease, AtMostOneWindowThatTheUserCannotClose)
{
    WaitPleaseShow(0);
    QWidget* first = WaitPleaseWindow();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->windowTitle(), "Čakajte prosím, pracujem...");
    WaitPleaseShow(0);
    EXPECT_EQ(WaitPleaseWindow(), first);
    first->close();
    EXPECT_TRUE(first->isVisible());
    WaitPleaseHide();
    EXPECT_EQ(WaitPleaseWindow(), nullptr);
    WaitPleaseHide();  // nothing to hide is fine

    // With a delay the window waits for the event loop; hidden before that, it never shows.
    WaitPleaseShow(50);
    ASSERT_NE(WaitPleaseWindow(), nullptr);
    EXPECT_FALSE(WaitPleaseWindow()->isVisible());
    WaitPleaseHide();
    EXPECT_EQ(WaitPleaseWindow(), nullptr);
}

TEST(Clock, PinnedMomentUntilUnpinned)
{
    const QDateTime moment(QDate(2024, 2, 29), QTime(23, 59));
    Clock::pinClock(moment);
    EXPECT_EQ(Clock::now(), moment);
    EXPECT_EQ(Clock::today(), QDate(2024, 2, 29));
    Clock::unpinClock();
    EXPECT_LE(qAbs(Clock::now().secsTo(QDateTime::currentDateTime())), 5);
}

TEST(UserSettings, KeyPathsBecomeGroupsInTheRedirectedFile)
{
    TempSettings settings;
    writeUserInt("Software\\Kovra s.r.o.\\Combo", "Width", 321);
    writeUserString("Software\\Lindavo", "Order", "Ťava;Znacka");
    bool found = false;
    EXPECT_EQ(readUserInt("Software/Kovra s.r.o./Combo", "Width", 0, &found), 321);
    EXPECT_TRUE(found);
    EXPECT_EQ(readUserString("Software\\Lindavo", "Order"), "Ťava;Znacka");
    EXPECT_EQ(readUserInt("Software\\Lindavo", "Missing", -5, &found), -5);
    EXPECT_FALSE(found);
    EXPECT_EQ(userSettingsFile(), settings.settingsFile());
    EXPECT_TRUE(QFile::exists(settings.settingsFile()));
}

TEST(TypeText, SlovakLettersArriveAsTyped)
{
    QLineEdit edit;
    typeText(&edit, "Žltá ťava, Ďaleko 12");
    EXPECT_EQ(edit.text(), "Žltá ťava, Ďaleko 12");
}

// The test programs run in the C locale and are made Slovak only by the
// program's own set-up, as a desktop with another language would be.
TEST(SlovakUserInterface, NumbersDatesAndQtsOwnButtonsAreSlovakInTheCLocale)
{
    EXPECT_EQ(qgetenv("LC_ALL"), "C");
    const QLocale locale;
    EXPECT_EQ(locale.toString(1080.72, 'f', 2), QString::fromUtf8("1\u00a0080,72"));
    EXPECT_EQ(locale.toString(0.12, 'f', 3), "0,120");
    EXPECT_EQ(locale.toString(QDate(2026, 3, 5), QLocale::ShortFormat), "5. 3. 2026");
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Open);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("Zrušiť"));
}
