#include "sample/SampleData.h"

#include "sample/SampleAgency.h"
#include "sample/SampleWriting.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <cmath>

using namespace sample;

SampleCounts FillLegacySample(fb::Connection& connection, int jobs, quint32 randomStart)
{
    SampleCounts counts;
    const QDate today(2012, 12, 1);
    const QDate euro(2009, 1, 1);
    Agency agency(randomStart, today);
    agency.makeWorld();

    fb::Transaction tr(connection,
                       {QStringLiteral("write"), QStringLiteral("concurrency"), QStringLiteral("nowait")});
    tr.start();

    // The old program typed combinations and units by hand: mixed case, stray spaces.
    const auto combinationText = [&](int index, int variant) {
        const QString code = agency.combinations[size_t(index)].code;
        switch (variant % 10) {
            case 0:
                return code.toLower();
            case 1:
                return QLatin1Char(' ') + code;
            default:
                return code;
        }
    };
    const auto unitText = [](int unit, int variant) {
        const QString code = QString::fromLatin1(kUnits[unit].code);
        switch (variant % 8) {
            case 0:
                return code.toUpper();
            case 1:
                return code.left(1).toUpper() + code.mid(1);
            default:
                return code;
        }
    };
    // Crowns per unit of the currency on a day (the old home currency).
    const auto crownRate = [&](const QString& currency, const QDate& day) -> qint64 {
        if (currency.isEmpty())
            return day < euro ? 1000 : 30126;
        return std::llround(perEuro(QStringLiteral("SKK"), day.year()) / perEuro(currency, day.year()) *
                            1000.0);
    };

    const int firstContact = reserveIds(tr, "ADRESAR_ID", int(agency.contacts.size()));
    {
        fb::Query q(tr);
        q.setSql(QStringList{
            QStringLiteral(
                "insert into ADRESAR (JEDIN, TYP, MENO, TEL1, TEL2, EMAIL, POZNAMKA, SPOSOB_PLATBY)"),
            QStringLiteral("values (:JEDIN, :TYP, :MENO, :TEL1, :TEL2, :EMAIL, :POZNAMKA, :SPOSOB_PLATBY)")});
        for (size_t i = 0; i < agency.contacts.size(); ++i) {
            const Contact& c = agency.contacts[i];
            q.setParam(QStringLiteral("JEDIN"), firstContact + int(i));
            q.setParam(QStringLiteral("TYP"), c.typ);
            q.setParam(QStringLiteral("MENO"), c.name);
            q.setParam(QStringLiteral("TEL1"), c.tel1);
            q.setParam(QStringLiteral("TEL2"), c.tel2);
            q.setParam(QStringLiteral("EMAIL"), c.email);
            q.setParam(QStringLiteral("POZNAMKA"), c.note);
            q.setParam(QStringLiteral("SPOSOB_PLATBY"), c.payment ? QVariant(c.payment) : QVariant());
            q.execute();
            ++counts.contacts;
        }
    }
    {
        const int first = reserveIds(tr, "KOMBINACIE_ID", int(agency.rates.size()));
        fb::Query q(tr);
        q.setSql(QStringList{
            QStringLiteral("insert into KOMBINACIE (JEDIN, ADRESAR, NAZOV, CENA, MENA, MJ, POZNAMKA)"),
            QStringLiteral("values (:JEDIN, :ADRESAR, :NAZOV, :CENA, :MENA, :MJ, :POZNAMKA)")});
        for (size_t i = 0; i < agency.rates.size(); ++i) {
            const Rate& r = agency.rates[i];
            const QString currency = agency.contacts[size_t(r.contact)].currency;
            // Home rates were agreed in crowns; foreign ones in the contact's currency.
            const qint64 price = currency.isEmpty()
                                     ? roundTo(double(r.euroMilli) * 30.126, 10)
                                     : roundTo(double(r.euroMilli) * perEuro(currency, 2008), 10);
            q.setParam(QStringLiteral("JEDIN"), first + int(i));
            q.setParam(QStringLiteral("ADRESAR"), firstContact + r.contact);
            q.setParam(QStringLiteral("NAZOV"), combinationText(r.combination, int(i)));
            q.setParam(QStringLiteral("CENA"), decimalValue(price, 3));
            q.setParam(QStringLiteral("MENA"), currency.isEmpty() ? QStringLiteral("SKK") : currency);
            q.setParam(QStringLiteral("MJ"), unitText(r.unit, int(i)));
            q.setParam(QStringLiteral("POZNAMKA"), r.note);
            q.execute();
            ++counts.rates;
        }
    }
    tr.commit();
    tr.start();

    const std::vector<QDateTime> moments = agency.receivedMoments(jobs);
    const int firstJob = reserveIds(tr, "PREKLADY_ID", jobs);
    fb::Query q(tr);
    q.setSql(QStringList{
        QStringLiteral("insert into PREKLADY (JEDIN, ZNACKA, NAZOV, DATUM_PRIJATIA, TERMIN,"),
        QStringLiteral("  DATUM_ZADANIA_PREKLADATELOVI, DATUM_DODANIA_PREKLADU, DATUM_ODOSLANIA_PREKLADU,"),
        QStringLiteral("  JAZYKOVA_KOMBINACIA, OBJEDNAVATEL, OBJ_CENA_MJ, OBJ_MJ, OBJ_MENA, OBJ_KURZ,"),
        QStringLiteral("  OBJ_KOEFICIENT, OBJ_ROZSAH, OBJ_FAKTURA, OBJ_ZAPLATENE, OBJ_UKONCENE,"),
        QStringLiteral("  PREKLADATEL, PRE_CENA_MJ, PRE_MJ, PRE_MENA, PRE_KURZ, PRE_KOEFICIENT,"),
        QStringLiteral(
            "  PRE_ROZSAH, PRE_FAKTURA, PRE_ZAPLATENE, PRE_UKONCENE, PRE_SPOSOB_PLATBY, POZNAMKA)"),
        QStringLiteral("values (:JEDIN, :ZNACKA, :NAZOV, :DATUM_PRIJATIA, :TERMIN,"),
        QStringLiteral("  :DATUM_ZADANIA, :DATUM_DODANIA, :DATUM_ODOSLANIA,"),
        QStringLiteral("  :JAZYKOVA_KOMBINACIA, :OBJEDNAVATEL, :OBJ_CENA_MJ, :OBJ_MJ, :OBJ_MENA, :OBJ_KURZ,"),
        QStringLiteral("  :OBJ_KOEFICIENT, :OBJ_ROZSAH, :OBJ_FAKTURA, :OBJ_ZAPLATENE, :OBJ_UKONCENE,"),
        QStringLiteral("  :PREKLADATEL, :PRE_CENA_MJ, :PRE_MJ, :PRE_MENA, :PRE_KURZ, :PRE_KOEFICIENT,"),
        QStringLiteral(
            "  :PRE_ROZSAH, :PRE_FAKTURA, :PRE_ZAPLATENE, :PRE_UKONCENE, :PRE_SPOSOB_PLATBY, :POZNAMKA)")});
    // Prices in the currency of the job, with 2 decimals as the old columns had them.
    const auto oldPrice = [&](const QString& currency, qint64 euroMilli, const QDate& day) {
        if (currency.isEmpty())
            return day < euro ? roundTo(double(euroMilli) * perEuro(QStringLiteral("SKK"), day.year()), 1000)
                              : euroMilli;
        return roundTo(double(euroMilli) * perEuro(currency, day.year()), 10);
    };
    const auto oldCurrency = [&](const QString& currency, const QDate& day) {
        if (!currency.isEmpty())
            return currency;
        return day < euro ? QStringLiteral("SKK") : QStringLiteral("EUR");
    };
    for (int i = 0; i < jobs; ++i) {
        const Job j = agency.makeJob(moments[size_t(i)]);
        const QDate day = j.received.date();
        const Contact& customer = agency.contacts[size_t(j.customer.contact)];
        const Contact* translator =
            j.translator.contact >= 0 ? &agency.contacts[size_t(j.translator.contact)] : nullptr;
        const QString preCurrency = translator ? translator->currency : QString();
        q.setParam(QStringLiteral("JEDIN"), firstJob + i);
        q.setParam(QStringLiteral("ZNACKA"), j.reference);
        q.setParam(QStringLiteral("NAZOV"), j.title);
        q.setParam(QStringLiteral("DATUM_PRIJATIA"), day);
        q.setParam(QStringLiteral("TERMIN"), j.deadline);
        q.setParam(QStringLiteral("DATUM_ZADANIA"), dateOrNull(j.handed));
        q.setParam(QStringLiteral("DATUM_DODANIA"), dateOrNull(j.delivered));
        q.setParam(QStringLiteral("DATUM_ODOSLANIA"), dateOrNull(j.sent));
        q.setParam(QStringLiteral("JAZYKOVA_KOMBINACIA"), combinationText(j.combination, i));
        q.setParam(QStringLiteral("OBJEDNAVATEL"), firstContact + j.customer.contact);
        q.setParam(QStringLiteral("OBJ_CENA_MJ"),
                   decimalValue(oldPrice(customer.currency, j.customer.euroMilli, day), 3));
        q.setParam(QStringLiteral("OBJ_MJ"), unitText(j.customer.unit, i));
        q.setParam(QStringLiteral("OBJ_MENA"), oldCurrency(customer.currency, day));
        q.setParam(QStringLiteral("OBJ_KURZ"), decimalValue(crownRate(customer.currency, day), 3));
        q.setParam(QStringLiteral("OBJ_KOEFICIENT"), j.customer.coefficient);
        q.setParam(QStringLiteral("OBJ_ROZSAH"), decimalValue(j.customer.scopeCenti, 2));
        q.setParam(QStringLiteral("OBJ_FAKTURA"), j.customer.invoice);
        q.setParam(QStringLiteral("OBJ_ZAPLATENE"), j.customer.invoice.isEmpty() ? 0 : 1);
        q.setParam(QStringLiteral("OBJ_UKONCENE"), j.customer.invoice.isEmpty() ? 0 : 1);
        q.setParam(QStringLiteral("PREKLADATEL"),
                   translator ? QVariant(firstContact + j.translator.contact) : QVariant());
        q.setParam(QStringLiteral("PRE_CENA_MJ"),
                   decimalValue(oldPrice(preCurrency, j.translator.euroMilli, day), 3));
        q.setParam(QStringLiteral("PRE_MJ"), unitText(j.translator.unit, i + 3));
        q.setParam(QStringLiteral("PRE_MENA"), oldCurrency(preCurrency, day));
        q.setParam(QStringLiteral("PRE_KURZ"), decimalValue(crownRate(preCurrency, day), 3));
        q.setParam(QStringLiteral("PRE_KOEFICIENT"), j.translator.coefficient);
        q.setParam(QStringLiteral("PRE_ROZSAH"), decimalValue(j.translator.scopeCenti, 2));
        q.setParam(QStringLiteral("PRE_FAKTURA"), j.translator.invoice);
        q.setParam(QStringLiteral("PRE_ZAPLATENE"), j.translator.invoice.isEmpty() ? 0 : 1);
        q.setParam(QStringLiteral("PRE_UKONCENE"), j.translator.invoice.isEmpty() ? 0 : 1);
        q.setParam(QStringLiteral("PRE_SPOSOB_PLATBY"),
                   translator && translator->payment ? QVariant(translator->payment) : QVariant());
        q.setParam(QStringLiteral("POZNAMKA"), j.note);
        q.execute();
        ++counts.jobs;
        commitChunk(tr, counts.jobs);
    }
    tr.commit();
    return counts;
}
