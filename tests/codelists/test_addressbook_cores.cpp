// The address book without a window: the contact query as its filter builds
// it (and that the server accepts every form of it), the mail link that no
// field content can break out of, and the colour order of FARBA.
#include "TestDatabase.h"
#include "codelists/AdresarSql.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/UiHelpers.h"
#include "platform/MailLink.h"

#include <gtest/gtest.h>

namespace {

QString text(const fb::Statement& s)
{
    return s.lines.join(QLatin1Char('\n'));
}

}  // namespace

TEST(AddressBookStatement, CustomersWithoutCombinationReadTheLatestSentDate)
{
    AdresarFilter f;
    const fb::Statement s = AdresarContactStatement(f, "a.meno");
    EXPECT_EQ(text(s),
              "select a.jedin,a.meno,a.tel1,a.tel2,a.email\n"
              ",(select first 1 cena from kombinacie\n"
              "where jazykova_kombinacia=:KOMB and adresar = a.jedin) as cena\n"
              ",(select first 1 mena from kombinacie\n"
              "where jazykova_kombinacia=:KOMB and adresar = a.jedin) as mena\n"
              ",(select first 1 bb.skratka from kombinacie aa\n"
              "left join merne_jednotky bb on bb.jedin=aa.mj\n"
              "where aa.jazykova_kombinacia=:KOMB and aa.adresar = a.jedin) as mj\n"
              ",cast(null as D_MONEY) as hodnotenie\n"
              ",(select first 1 datum_odoslania_prekladu from preklady\n"
              "where objednavatel\n"
              "=a.jedin and\n"
              "datum_odoslania_prekladu is not null\n"
              "order by datum_odoslania_prekladu desc) as datum_dodania_prekladu\n"
              "from adresar a where typ=:TYP\n"
              "order by\n"
              "a.meno");
    EXPECT_EQ(s.params.value("TYP").toInt(), 0);
    EXPECT_TRUE(s.params.contains("KOMB"));
    EXPECT_TRUE(s.params.value("KOMB").isNull());
}

TEST(AddressBookStatement, EveryFormRunsOnTheServer)
{
    TestDatabase db(TestDatabase::Migrated);
    struct Case {
        bool translators;
        QVariant komb;
        QString text, marked;
        QStringList contains, lacks;
    } cases[] = {
        {true, {}, "", "", {"select first 1 datum_dodania_prekladu from preklady", "where prekladatel"},
         {"hodnoteny=1", "containing"}},
        {false, 7, "", "", {"where objednavatel", "datum_odoslania_prekladu", "hodnoteny=1",
                            " and \na.jedin in (select adresar from kombinacie\nwhere JAZYKOVA_KOMBINACIA=:KOMB)"},
         {"containing", "cast(null"}},
        {true, 7, "en", "a.jedin in (1,2)",
         {"where prekladatel\n=a.jedin and jazykova_kombinacia=:KOMB and hodnoteny=1",
          "from adresar a where typ=:TYP\nand a.jedin in (1,2)\n and \na.jedin in",
          "WHERE SKRATKA containing :NAZOV2))"},
         {}},
        {false, {}, "en", "", {" and \na.jedin in (select adresar from kombinacie\nwhere JAZYKOVA_KOMBINACIA IN"},
         {"hodnoteny=1"}},
    };
    for (const Case& c : cases) {
        AdresarFilter f{c.translators, c.komb, c.text, c.marked};
        const fb::Statement s = AdresarContactStatement(f, "9 DESC ,10 DESC ,a.meno");
        const QString sql = text(s);
        for (const QString& part : c.contains)
            EXPECT_TRUE(sql.contains(part)) << part.toStdString() << "\n---\n" << sql.toStdString();
        for (const QString& part : c.lacks)
            EXPECT_FALSE(sql.contains(part)) << part.toStdString();
        EXPECT_EQ(s.params.value("TYP").toInt(), c.translators ? 1 : 0);
        EXPECT_EQ(s.params.value("KOMB"), c.komb);
        EXPECT_EQ(s.params.contains("NAZOV2"), !c.text.isEmpty());

        fb::Transaction tr(db.connection(), {"read", "read_committed", "rec_version", "nowait"});
        fb::Query q(tr);
        tr.start();
        q.setStatement(s);
        EXPECT_NO_THROW(q.execute()) << sql.toStdString();
        tr.commit();
    }
}

TEST(AddressBookStatement, TextFilterTakesAtMost35Characters)
{
    AdresarFilter f;
    f.text = QString(40, QLatin1Char('x'));
    EXPECT_EQ(AdresarContactStatement(f, "a.jedin").params.value("NAZOV2").toString().size(), 35);
}

TEST(MailLink, NoFieldContentLeavesTheRecipient)
{
    struct Case {
        const char* address;
        const char* name;
        const char* expected;
    } cases[] = {
        {"jan@firma.sk", "Ján Novák", "mailto:%22J%C3%A1n%20Nov%C3%A1k%22%20%3Cjan@firma.sk%3E"},
        {"  jan@firma.sk  ", "", "mailto:jan@firma.sk"},
        // A second header or a hidden copy cannot be typed into the field.
        {"jan@firma.sk?bcc=x@y.sk&subject=Hi", "Ján",
         "mailto:jan@firma.sk%3Fbcc%3Dx@y.sk%26subject%3DHi"},
        {"a@x.sk; b@y.sk", "Ján", "mailto:a@x.sk%3B%20b@y.sk"},
        {"jan@firma.sk\r\nBcc: x@y.sk", "", "mailto:jan@firma.skBcc%3A%20x@y.sk"},
        {"jan@firma.sk", "Say \"Hi\" #1", "mailto:%22Say%20%5C%22Hi%5C%22%20%231%22%20%3Cjan@firma.sk%3E"},
        {"100%@firma.sk", "", "mailto:100%25@firma.sk"},
    };
    for (const Case& c : cases) {
        const QUrl url = MailtoUrl(QString::fromUtf8(c.address), QString::fromUtf8(c.name));
        EXPECT_EQ(url.toString(QUrl::FullyEncoded).toStdString(), c.expected) << c.address;
        EXPECT_TRUE(url.query().isEmpty()) << c.address;
        EXPECT_TRUE(url.fragment().isEmpty()) << c.address;
    }
}

TEST(MailLink, BlankAddressOpensNothing)
{
    int opened = 0;
    const MailOpener previous = setMailOpener([&](const QUrl&) { ++opened; });
    ComposeMail("   ", "Ján");
    ComposeMail("", "");
    EXPECT_EQ(opened, 0);
    ComposeMail("jan@firma.sk", "Ján");
    EXPECT_EQ(opened, 1);
    setMailOpener(previous);
}

TEST(Colour, StoredWithRedInTheLowestByte)
{
    EXPECT_EQ(ColorToDelphi(QColor(255, 0, 0)), 0x0000FF);
    EXPECT_EQ(ColorToDelphi(QColor(0, 0, 255)), 0xFF0000);
    EXPECT_EQ(ColorToDelphi(Qt::white), 16777215);
    const QColor c(18, 52, 86);
    EXPECT_EQ(ColorFromDelphi(ColorToDelphi(c)), c);
}
