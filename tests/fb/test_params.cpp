#include "fb/Query.h"

#include <gtest/gtest.h>

TEST(NamedParams, ReplacesNamesOutsideQuotesAndComments)
{
    struct Case {
        const char* name;
        const char* sql;
        const char* text;
        QStringList params;
    };
    const Case cases[] = {
        {"plain", "select * from t where a=:A and b = :b_2", "select * from t where a=? and b = ?", {"A", "B_2"}},
        {"repeated", "where x=:X or y=:x", "where x=? or y=?", {"X", "X"}},
        {"string literal", "where a=':NOT' and b=:B", "where a=':NOT' and b=?", {"B"}},
        {"doubled quote", "where a='it''s :no' and b=:B", "where a='it''s :no' and b=?", {"B"}},
        {"quoted identifier", "select \"A:B\" from t where c=:C", "select \"A:B\" from t where c=?", {"C"}},
        {"line comment", "select 1 -- :NO\nfrom t where d=:D", "select 1 -- :NO\nfrom t where d=?", {"D"}},
        {"block comment", "select /* :NO */ 1 from t where e=:E", "select /* :NO */ 1 from t where e=?", {"E"}},
        {"time literal colon", "where t='10:30' and n=:N", "where t='10:30' and n=?", {"N"}},
        {"no name after colon", "select a : b, :1 from t", "select a : b, :1 from t", {}},
        {"unterminated literal", "where a='x:Y", "where a='x:Y", {}},
    };
    for (const Case& c : cases) {
        const fb::ParsedSql p = fb::parseNamedParams(QString::fromUtf8(c.sql));
        EXPECT_EQ(p.text, QString::fromUtf8(c.text)) << c.name;
        EXPECT_EQ(p.params, c.params) << c.name;
    }
}
