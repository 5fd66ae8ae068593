// The marked-record sets: marking order survives removals (it decides the IN
// list and the TEMP_SPRACUJ rows), text keys ignore letter case.
#include "controls/MarkedRecords.h"

#include <gtest/gtest.h>

TEST(MarkedRecords, KeepsMarkingOrderThroughRemovalsAndReinsertion)
{
    TCheckedList list;
    for (int k : {12, 5, 9, 7, 3})
        EXPECT_TRUE(list.insert(k));
    EXPECT_FALSE(list.insert(5)) << "no duplicates";
    EXPECT_TRUE(list.remove(9));
    EXPECT_FALSE(list.remove(9));
    EXPECT_TRUE(list.insert(9));  // marked again: now the last one
    EXPECT_EQ(list.keys(), (std::vector<std::int32_t>{12, 5, 7, 3, 9}));
    EXPECT_EQ(list.count(), 5);
    EXPECT_EQ(list.at(0), 12);
    EXPECT_EQ(list.at(4), 9);
}

TEST(MarkedRecords, ManyRemovalsSqueezeWithoutLosingKeys)
{
    TCheckedList list;
    for (int k = 0; k < 10000; ++k)
        list.insert(k);
    for (int k = 0; k < 10000; k += 2)
        list.remove(k);
    ASSERT_EQ(list.count(), 5000);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(list.at(i), 2 * i + 1);
    EXPECT_TRUE(list.contains(9999));
    EXPECT_FALSE(list.contains(9998));
}

TEST(MarkedRecords, TextKeysIgnoreCase)
{
    TCheckedStringList list;
    list.SetChecked(QStringLiteral("Žaba"), true);
    EXPECT_TRUE(list.GetChecked(QStringLiteral("žABA")));
    list.Check(QStringLiteral("ŽABA"));  // toggles the same key off
    EXPECT_FALSE(list.GetChecked(QStringLiteral("Žaba")));
    EXPECT_EQ(list.count(), 0);
}
