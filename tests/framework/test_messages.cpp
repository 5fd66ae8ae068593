#include "framework/Messages.h"
#include "support/QtPrinters.h"
#include "support/DialogTranscript.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

// The stored texts keep their diacritics, escapes and CR LF line breaks.
TEST(MessageTable, TextsComeBackWhole)
{
    const std::pair<const char*, QString> cases[] = {
        {"ERR1001", "Povinný údaj. Položka musí byť zadaná!\r\n"},
        {"ERR1013", "Zadaný údaj sa nenachádza v číselníku!\r\n\r\nPridať nový záznam?"},
        {"ERR1043", "Hodnota nemôže byť nulová!"},
        {"ERR2002", "Nie je možné vymazať prekladateľa, lebo je naviazaný na existujúci preklad."},
        {"ERR3010",
         "Z dôvodu, že databáza nebola zaktualizovaná na podporovanú verziu,\r\nnie je možné pokračovať vo "
         "vykonávaní programu.\r\n\r\nVerzia databázy: %d\r\nPodpora databázy verzie: %d\r\n\r\nKontaktujte "
         "administrátora systému alebo autora programu.\r\n"},
        {"IBERR335544569", "Neplatný príkaz SQL.\r\n\r\nChybové hlásenie:\r\n-----------------\r\n\r\n"},
        {"ERR9999", ""},
        {"", ""},
    };
    for (const auto& [name, text] : cases)
        EXPECT_EQ(LoadMessageText(name), text) << name;
}

TEST(MessageTable, StartupMessagesTakeTwoNumbers)
{
    for (const char* name : {"ERR3009", "ERR3010", "ERR3020"}) {
        const QString text = LoadMessageText(name);
        EXPECT_EQ(text.count("%d"), 2) << name;
        EXPECT_FALSE(FormatMessageText(text, {102, 101}).contains('%')) << name;
    }
    EXPECT_TRUE(FormatMessageText(LoadMessageText("ERR3009"), {102, 101})
                    .contains("Verzia databázy: 102\r\nPodpora databázy verzie: 101\r\n"));
    EXPECT_TRUE(FormatMessageText(LoadMessageText("ERR3020"), {1, 4}).contains(" 1.4"));
    EXPECT_EQ(FormatMessageText("%d%% z %d", {5}), "5% z ");
}

TEST(NumberedMessages, ErrMessageShowsNumberEmptyLineAndText)
{
    DialogTranscript dialogs;
    EXPECT_EQ(ErrMessage(1012, msg::Information), msg::OK);
    ASSERT_EQ(dialogs.count(), 1);
    const DialogRequest& r = dialogs.last();
    EXPECT_EQ(r.kind, DialogKind::Standard);
    EXPECT_EQ(r.type, msg::Information);
    EXPECT_EQ(r.caption, "Informácia...");
    EXPECT_EQ(r.text, "Hlásenie #1012\r\n\r\nZáznam bol vymazaný iným užívateľom v sieti !\r\n");
    EXPECT_EQ(r.buttons, QList<int>{msg::OK});
}

TEST(NumberedMessages, MissingTextStillShowsTheNumber)
{
    DialogTranscript dialogs;
    ErrMessage(4711, msg::Warning);
    DbErrMessage(335544999, msg::Error, "   ");
    ASSERT_EQ(dialogs.count(), 2);
    EXPECT_EQ(dialogs.requests()[0].text, "Hlásenie #4711\r\n\r\n");
    EXPECT_EQ(dialogs.requests()[1].text, "Hlásenie #335544999\r\n\r\n");
}

TEST(NumberedMessages, DbErrMessageJoinsNumberTextAndServerMessage)
{
    DialogTranscript dialogs;
    DbErrMessage(335544569, msg::Error, "Dynamic SQL Error\nToken unknown - line 1, column 8");
    ASSERT_EQ(dialogs.count(), 1);
    const DialogRequest& r = dialogs.last();
    EXPECT_EQ(r.kind, DialogKind::Red);
    EXPECT_EQ(r.type, msg::Error);
    EXPECT_EQ(r.caption, "C H Y B A ...");
    EXPECT_EQ(r.text,
              "Hlásenie #335544569\r\n"
              "Neplatný príkaz SQL.\r\n\r\nChybové hlásenie:\r\n-----------------\r\n\r\n\r\n"
              "Dynamic SQL Error\nToken unknown - line 1, column 8\r\n");
    EXPECT_EQ(r.buttons, QList<int>{msg::OK});
    EXPECT_EQ(r.defaultResult, msg::OK);
}

TEST(NumberedMessages, ShortcutsPickKindTypeAndCaption)
{
    DialogTranscript dialogs;
    ErrorBox("Zlé");
    NoPrintData();
    GrayMessageDlg("Pokračovať?", msg::Confirmation, {msg::Yes, msg::No}, 12, msg::No);
    PlainMessageBox("Hotovo");
    ASSERT_EQ(dialogs.count(), 4);
    const auto& r = dialogs.requests();
    EXPECT_EQ(r[0].kind, DialogKind::Red);
    EXPECT_EQ(r[0].caption, "C H Y B A ...");
    EXPECT_EQ(r[1].kind, DialogKind::Gray);
    EXPECT_EQ(r[1].text, "Nie sú údaje pre tlač.");
    EXPECT_EQ(r[1].caption, "Informácia...");
    EXPECT_EQ(r[2].caption, "Potvrdenie...");
    EXPECT_EQ(r[2].buttons, (QList<int>{msg::Yes, msg::No}));
    EXPECT_EQ(r[2].defaultResult, msg::No);
    EXPECT_EQ(r[2].helpContext, 12);
    EXPECT_EQ(r[3].kind, DialogKind::Plain);
    EXPECT_EQ(r[3].caption, QGuiApplication::applicationDisplayName());
}
