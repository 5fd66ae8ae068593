#include "fb/Decimal.h"

#include <QVariant>

#include <gtest/gtest.h>

using fb::Decimal;

TEST(Decimal, ParsesAndPrintsExactly)
{
    struct Case {
        const char* in;
        const char* out;  // nullptr: refused
    };
    const Case cases[] = {
        {"0.1", "0.1"},         {"-0,10", "-0.10"},     {"+12", "12"},
        {"12.500", "12.500"},   {"1e3", "1000"},        {"1.5E-2", "0.015"},
        {"  7 ", "7"},          {"", nullptr},          {"abc", nullptr},
        {"1.2.3", nullptr},     {"1 000", nullptr},     {"-", nullptr},
        {"9223372036854775807", "9223372036854775807"}, {"99999999999999999999", nullptr},
    };
    for (const Case& c : cases) {
        const auto d = Decimal::fromString(QString::fromUtf8(c.in));
        if (!c.out) {
            EXPECT_FALSE(d.has_value()) << c.in;
            continue;
        }
        ASSERT_TRUE(d.has_value()) << c.in;
        EXPECT_EQ(d->toString(), QString::fromLatin1(c.out)) << c.in;
    }
}

TEST(Decimal, RescalesWithHalfAwayFromZero)
{
    EXPECT_EQ(Decimal(12345, 3).rescaled(2)->toString(), "12.35");
    EXPECT_EQ(Decimal(-12345, 3).rescaled(2)->toString(), "-12.35");
    EXPECT_EQ(Decimal(12344, 3).rescaled(2)->toString(), "12.34");
    EXPECT_EQ(Decimal(5, 1).rescaled(3)->toString(), "0.500");
    EXPECT_FALSE(Decimal(INT64_MAX, 0).rescaled(2).has_value());
}

TEST(Decimal, DoublesGiveTheirShortestText)
{
    EXPECT_EQ(Decimal::fromDouble(0.1)->toString(), "0.1");
    EXPECT_EQ(Decimal::fromDouble(30.126)->toString(), "30.126");
    EXPECT_EQ(Decimal::fromDouble(-2.5)->toString(), "-2.5");
    EXPECT_FALSE(Decimal::fromDouble(std::numeric_limits<double>::infinity()).has_value());
}

TEST(Decimal, ComparesByValueAndConvertsInVariants)
{
    fb::registerDecimalType();
    EXPECT_EQ(Decimal(10, 1), Decimal(100, 2));
    EXPECT_TRUE(Decimal(-1, 0) < Decimal(1, 3));
    const QVariant v = QVariant::fromValue(Decimal(-5, 2));
    EXPECT_EQ(v.toString(), "-0.05");
    EXPECT_DOUBLE_EQ(v.toDouble(), -0.05);
}
