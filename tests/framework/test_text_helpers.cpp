#include "fb/Decimal.h"
#include "framework/TextHelpers.h"
#include "framework/TransactionHelpers.h"
#include "support/QtPrinters.h"
#include "support/DialogTranscript.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(TransactionParams, EveryCombinationIsNoWait)
{
    struct Case {
        bool readOnly, readCommitted;
        QStringList lines;
    };
    const Case cases[] = {
        {true, true, {"read_committed", "rec_version", "read", "nowait"}},
        {true, false, {"read", "nowait"}},
        {false, true, {"read_committed", "rec_version", "write", "nowait"}},
        {false, false, {"write", "nowait"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TransactionParams(c.readOnly, c.readCommitted), c.lines) << c.readOnly << c.readCommitted;
}

TEST(WhereOrAnd, CountsTheFirstWordCaseInsensitively)
{
    struct Case {
        const char* sql;
        int n;
        const char* expected;
    };
    const Case cases[] = {
        {"select * from preklady", 1, " where "},
        {"select * from preklady\nWhere a.znacka='X'", 1, " and "},
        {"select * from preklady where jedin in (select cislo from t where z=1)", 1, " and "},
        {"select * from preklady p\njoin (select x from t where z=1) s on s.x=p.jedin", 2, " where "},
        {"select * from preklady where jedin in (select cislo from t where z=1)", 2, " and "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WhereOrAnd(c.sql, "where", "and", c.n), QString(c.expected)) << c.sql;
    // The first word is trimmed before counting, the returned words are used as given.
    EXPECT_EQ(WhereOrAnd("x WHERE y", "  where ", "and", 1), " and ");
}

TEST(ToPlainUpper, MapsTheListedLettersOnly)
{
    const std::pair<QString, QString> cases[] = {
        {"Žltá ťava", "ZLTA TAVA"},
        {"ŠśŤťŽźŁłĽľĹĺŔŕŘř", "SSTTZZLLLLLLRRRR"},
        {"ÁáÄäČčÉéĚěÍíĎďŇň", "AAAACCEEEEIIDDNN"},
        {"ÓóÔôŐőÖöŮůÚúŰűÜüÝý", "OOOOOOOOUUUUUUUUYY"},
        {"Čísla 0-9, (a) & b.; 'x'", "CISLA 0-9, (A) & B.; 'X'"},
        // Letters outside the list keep their own form and case.
        {"ćĆęĘąĄçÇß", "ćĆęĘąĄçÇß"},
        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(ToPlainUpper(in), out) << in.toStdString();
}

TEST(IsBlank, TrimTreatsSpacesAndControlCharactersAsBlank)
{
    EXPECT_TRUE(IsBlank("", false));
    EXPECT_TRUE(IsBlank("", true));
    EXPECT_FALSE(IsBlank(" \t\r\n", false));
    EXPECT_TRUE(IsBlank(" \t\r\n\x01", true));
    EXPECT_FALSE(IsBlank("  x ", true));
    EXPECT_FALSE(IsBlank(QString(QChar(0x00A0)), true));  // a no-break space is text
}

TEST(VariantToText, NullIsEmptyAndDecimalsKeepTheirDigits)
{
    fb::registerDecimalType();
    EXPECT_EQ(VariantToText(QVariant()), "");
    EXPECT_EQ(VariantToText(QVariant::fromValue(fb::Decimal(1250, 2))), "12.50");
    EXPECT_EQ(VariantToText(QVariant::fromValue(fb::Decimal(-1, 1))), "-0.1");
    EXPECT_EQ(VariantToText(42), "42");
    EXPECT_EQ(VariantToText(QString("Ťava")), "Ťava");
    EXPECT_EQ(VariantToText(QDate(2024, 2, 9)), "09.02.2024");
    EXPECT_EQ(VariantToText(QDateTime(QDate(2024, 2, 9), QTime(14, 5))), "09.02.2024 14:05:00");
}

TEST(GuidAndHex, UpperCaseForms)
{
    static const QRegularExpression form("^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$");
    const QString a = NewGuidText();
    EXPECT_TRUE(form.match(a).hasMatch()) << a.toStdString();
    EXPECT_NE(a, NewGuidText());

    EXPECT_EQ(HexText(QByteArray("\x00\x0f\xa0\xff", 4)), "000FA0FF");
    EXPECT_EQ(HexText({}), "");
}

TEST(MinMaxVariant, ComparesNumbersByValueAcrossKinds)
{
    fb::registerDecimalType();
    const QVariant dec = QVariant::fromValue(fb::Decimal(1005, 2));  // 10.05
    EXPECT_EQ(MinVariant(dec, 10), 10);
    EXPECT_EQ(MaxVariant(dec, 10).value<fb::Decimal>(), fb::Decimal(1005, 2));
    EXPECT_EQ(MaxVariant(qlonglong(9), 10.5), 10.5);
    EXPECT_EQ(MinVariant(QDate(2024, 1, 2), QDate(2023, 12, 31)), QDate(2023, 12, 31));
    EXPECT_EQ(MaxVariant(QString("abc"), QString("abd")), QString("abd"));
}

TEST(MinMaxVariant, NullArgumentShowsPlainMessageAndGivesNull)
{
    DialogTranscript dialogs;
    EXPECT_TRUE(MinVariant(QVariant(), 1).isNull());
    EXPECT_TRUE(MaxVariant(1, QVariant()).isNull());
    ASSERT_EQ(dialogs.count(), 2);
    EXPECT_EQ(dialogs.requests()[0].kind, DialogKind::Plain);
    EXPECT_EQ(dialogs.requests()[0].text, "MinVariant obsahuje \"null\" parameter");
    EXPECT_EQ(dialogs.requests()[1].text, "MaxVariant obsahuje \"null\" parameter");
}
