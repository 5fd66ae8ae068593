#include "fb/Win1250.h"

#include <gtest/gtest.h>

TEST(Win1250, EveryByteSurvivesARoundTrip)
{
    QByteArray all(256, '\0');
    for (int b = 0; b < 256; ++b)
        all[b] = char(b);
    const QString text = text::fromWin1250(all);
    ASSERT_EQ(text.size(), 256);
    QByteArray back;
    ASSERT_TRUE(text::toWin1250(text, back));
    EXPECT_EQ(back, all);
}

TEST(Win1250, SlovakLettersMapToTheirCodePoints)
{
    const QString slovak = QStringLiteral("Žluťoučký kôň úpěl ďábelské ódy – ľščťžýáíéäňô €");
    QByteArray bytes;
    ASSERT_TRUE(text::toWin1250(slovak, bytes));
    EXPECT_EQ(bytes.size(), slovak.size());
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x8E);  // Ž
    EXPECT_EQ(static_cast<unsigned char>(bytes.back()), 0x80);  // €
    EXPECT_EQ(text::fromWin1250(bytes), slovak);
}

TEST(Win1250, RefusesCharactersItCannotHold)
{
    struct Case {
        const char* name;
        QString text;
        QString bad;
    };
    const Case cases[] = {
        {"cyrillic", QStringLiteral("abc Ж"), QStringLiteral("Ж")},
        {"cjk", QStringLiteral("名"), QStringLiteral("名")},
        {"emoji (surrogate pair)", QStringLiteral("ok 😀"), QStringLiteral("😀")},
        {"o with tilde", QStringLiteral("õ"), QStringLiteral("õ")},
    };
    for (const Case& c : cases) {
        QByteArray out;
        QString bad;
        EXPECT_FALSE(text::toWin1250(c.text, out, &bad)) << c.name;
        EXPECT_EQ(bad, c.bad) << c.name;
        EXPECT_FALSE(text::isWin1250(c.text)) << c.name;
    }
}
