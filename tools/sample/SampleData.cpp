#include "sample/SampleData.h"

#include "sample/SampleAgency.h"
#include "sample/SampleWriting.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/PasswordHash.h"

using namespace sample;

QDate SampleReferenceDate()
{
    return QDate(2026, 12, 1);
}

QString SampleUserPasswords()
{
    QStringList parts{QStringLiteral("AD lindavo")};
    for (const User& user : kUsers)
        parts << QString::fromLatin1(user.abbreviation) + QLatin1Char(' ') +
                     QString::fromLatin1(user.password);
    return parts.join(QStringLiteral(", "));
}

SampleCounts FillSampleData(fb::Connection& connection, int jobs, quint32 randomStart)
{
    SampleCounts counts;
    Agency agency(randomStart, SampleReferenceDate());
    agency.makeWorld();

    fb::Transaction tr(connection,
                       {QStringLiteral("write"), QStringLiteral("concurrency"), QStringLiteral("nowait")});
    tr.start();
    const QString home = QStringLiteral("EUR");

    // Users besides the administrator; their passwords are in SampleUserPasswords().
    {
        fb::Query q(tr);
        q.setSql(QStringList{
            QStringLiteral("insert into UZIVATELIA (JEDIN, MENO, HESLO, SKRATKA, PLATNY, SPRAVCA)"),
            QStringLiteral("values (:JEDIN, :MENO, :HESLO, :SKRATKA, :PLATNY, 0)")});
        for (const User& user : kUsers) {
            const int id = reserveIds(tr, "UZIVATELIA_ID", 1);
            q.setParam(QStringLiteral("JEDIN"), id);
            q.setParam(QStringLiteral("MENO"), u(user.name));
            q.setParam(QStringLiteral("HESLO"), PasswordHash(id, u(user.password)));
            q.setParam(QStringLiteral("SKRATKA"), QString::fromLatin1(user.abbreviation));
            q.setParam(QStringLiteral("PLATNY"), user.to > SampleReferenceDate() ? 1 : 0);
            q.execute();
            ++counts.users;
        }
    }

    // Units and language combinations.
    std::vector<int> unitIds;
    {
        const int first = reserveIds(tr, "MERNE_JEDNOTKY_ID", int(std::size(kUnits)));
        fb::Query q(tr);
        q.setSql(QStringLiteral("insert into MERNE_JEDNOTKY (JEDIN, SKRATKA) values (:JEDIN, :SKRATKA)"));
        for (size_t i = 0; i < std::size(kUnits); ++i) {
            unitIds.push_back(first + int(i));
            q.setParam(QStringLiteral("JEDIN"), unitIds.back());
            q.setParam(QStringLiteral("SKRATKA"), QString::fromLatin1(kUnits[i].code));
            q.execute();
            ++counts.units;
        }
    }
    std::vector<int> combinationIds;
    {
        const int first = reserveIds(tr, "JAZYKOVE_KOMBINACIE_ID", int(agency.combinations.size()));
        fb::Query q(tr);
        q.setSql(QStringList{
            QStringLiteral("insert into JAZYKOVE_KOMBINACIE (JEDIN, SKRATKA, SKUPINA, HODNOTENY)"),
            QStringLiteral("values (:JEDIN, :SKRATKA, :SKUPINA, :HODNOTENY)")});
        for (size_t i = 0; i < agency.combinations.size(); ++i) {
            const Combination& c = agency.combinations[i];
            combinationIds.push_back(first + int(i));
            q.setParam(QStringLiteral("JEDIN"), combinationIds.back());
            q.setParam(QStringLiteral("SKRATKA"), c.code);
            q.setParam(QStringLiteral("SKUPINA"), c.group);
            q.setParam(QStringLiteral("HODNOTENY"), c.rated ? 1 : 0);
            q.execute();
            ++counts.combinations;
        }
    }

    // Contacts and their rates.
    static const char* const kPayments[] = {"", "prevodom", "v hotovosti", "dobierkou"};
    const int firstContact = reserveIds(tr, "ADRESAR_ID", int(agency.contacts.size()));
    {
        fb::Query q(tr);
        q.setSql(QStringList{
            QStringLiteral(
                "insert into ADRESAR (JEDIN, TYP, MENO, TEL1, TEL2, EMAIL, EMAIL2, EMAIL3, POZNAMKA,"),
            QStringLiteral("  SPOSOB_PLATBY, FARBA, ADRESA, PSC, MESTO, PRAVNA_FORMA, STAT)"),
            QStringLiteral("values (:JEDIN, :TYP, :MENO, :TEL1, :TEL2, :EMAIL, :EMAIL2, :EMAIL3, :POZNAMKA,"),
            QStringLiteral("  :SPOSOB_PLATBY, :FARBA, :ADRESA, :PSC, :MESTO, :PRAVNA_FORMA, :STAT)")});
        for (size_t i = 0; i < agency.contacts.size(); ++i) {
            const Contact& c = agency.contacts[i];
            q.setParam(QStringLiteral("JEDIN"), firstContact + int(i));
            q.setParam(QStringLiteral("TYP"), c.typ);
            q.setParam(QStringLiteral("MENO"), c.name);
            q.setParam(QStringLiteral("TEL1"), c.tel1);
            q.setParam(QStringLiteral("TEL2"), c.tel2);
            q.setParam(QStringLiteral("EMAIL"), c.email);
            q.setParam(QStringLiteral("EMAIL2"), c.email2);
            q.setParam(QStringLiteral("EMAIL3"), c.email3);
            q.setParam(QStringLiteral("POZNAMKA"), c.note);
            // A customer has none: the contact editor stores '' for him.
            q.setParam(QStringLiteral("SPOSOB_PLATBY"), c.typ == 1 ? u(kPayments[c.payment]) : QString());
            q.setParam(QStringLiteral("FARBA"), c.colour);
            q.setParam(QStringLiteral("ADRESA"), c.street);
            q.setParam(QStringLiteral("PSC"), c.psc);
            q.setParam(QStringLiteral("MESTO"), c.town);
            q.setParam(QStringLiteral("PRAVNA_FORMA"), c.legalForm);
            q.setParam(QStringLiteral("STAT"), c.country);
            q.execute();
            ++counts.contacts;
        }
    }
    {
        const int first = reserveIds(tr, "KOMBINACIE_ID", int(agency.rates.size()));
        fb::Query q(tr);
        q.setSql(QStringList{
            QStringLiteral(
                "insert into KOMBINACIE (JEDIN, ADRESAR, JAZYKOVA_KOMBINACIA, CENA, MENA, MJ, POZNAMKA)"),
            QStringLiteral("values (:JEDIN, :ADRESAR, :JAZYKOVA_KOMBINACIA, :CENA, :MENA, :MJ, :POZNAMKA)")});
        for (size_t i = 0; i < agency.rates.size(); ++i) {
            const Rate& r = agency.rates[i];
            const Money m = inCurrency(agency.contacts[size_t(r.contact)].currency, r.euroMilli,
                                       SampleReferenceDate(), agency.rnd, home);
            q.setParam(QStringLiteral("JEDIN"), first + int(i));
            q.setParam(QStringLiteral("ADRESAR"), firstContact + r.contact);
            q.setParam(QStringLiteral("JAZYKOVA_KOMBINACIA"), combinationIds[size_t(r.combination)]);
            q.setParam(QStringLiteral("CENA"), decimalValue(m.priceMilli, 3));
            q.setParam(QStringLiteral("MENA"), m.currency);
            q.setParam(QStringLiteral("MJ"), unitIds[size_t(r.unit)]);
            q.setParam(QStringLiteral("POZNAMKA"), r.note);
            q.execute();
            ++counts.rates;
        }
    }
    tr.commit();
    tr.start();

    // Jobs, oldest first, so that record numbers and references grow with time.
    const std::vector<QDateTime> moments = agency.receivedMoments(jobs);
    const int firstJob = reserveIds(tr, "PREKLADY_ID", jobs);
    fb::Query q(tr);
    q.setSql(QStringList{
        QStringLiteral("insert into PREKLADY (JEDIN, ZNACKA, NAZOV, PM, DATUM_PRIJATIA, TERMIN,"),
        QStringLiteral("  DATUM_ZADANIA_PREKLADATELOVI, DATUM_DODANIA_PREKLADU, DATUM_ODOSLANIA_PREKLADU,"),
        QStringLiteral("  JAZYKOVA_KOMBINACIA, OBJEDNAVATEL, OBJ_CENA_MJ, OBJ_MJ, OBJ_MENA, OBJ_KURZ,"),
        QStringLiteral(
            "  OBJ_KOEFICIENT, OBJ_ROZSAH, OBJ_FAKTURA, PREKLADATEL, PRE_CENA_MJ, PRE_MJ, PRE_MENA,"),
        QStringLiteral(
            "  PRE_KURZ, PRE_KOEFICIENT, PRE_ROZSAH, PRE_FAKTURA, POZNAMKA, HODNOTENY, HODNOTENIE)"),
        QStringLiteral("values (:JEDIN, :ZNACKA, :NAZOV, :PM, :DATUM_PRIJATIA, :TERMIN,"),
        QStringLiteral("  :DATUM_ZADANIA, :DATUM_DODANIA, :DATUM_ODOSLANIA,"),
        QStringLiteral("  :JAZYKOVA_KOMBINACIA, :OBJEDNAVATEL, :OBJ_CENA_MJ, :OBJ_MJ, :OBJ_MENA, :OBJ_KURZ,"),
        QStringLiteral(
            "  :OBJ_KOEFICIENT, :OBJ_ROZSAH, :OBJ_FAKTURA, :PREKLADATEL, :PRE_CENA_MJ, :PRE_MJ, :PRE_MENA,"),
        QStringLiteral(
            "  :PRE_KURZ, :PRE_KOEFICIENT, :PRE_ROZSAH, :PRE_FAKTURA, :POZNAMKA, :HODNOTENY, :HODNOTENIE)")});
    for (int i = 0; i < jobs; ++i) {
        const Job j = agency.makeJob(moments[size_t(i)]);
        const QDate day = j.received.date();
        const Money obj = inCurrency(agency.contacts[size_t(j.customer.contact)].currency,
                                     j.customer.euroMilli, day, agency.rnd, home);
        const Money pre = j.translator.contact >= 0
                              ? inCurrency(agency.contacts[size_t(j.translator.contact)].currency,
                                           j.translator.euroMilli, day, agency.rnd, home)
                              : Money{home, 0, 1000};
        q.setParam(QStringLiteral("JEDIN"), firstJob + i);
        q.setParam(QStringLiteral("ZNACKA"), j.reference);
        q.setParam(QStringLiteral("NAZOV"), j.title);
        q.setParam(QStringLiteral("PM"), j.manager);
        q.setParam(QStringLiteral("DATUM_PRIJATIA"), j.received);
        q.setParam(QStringLiteral("TERMIN"), j.deadline);
        q.setParam(QStringLiteral("DATUM_ZADANIA"), dateOrNull(j.handed));
        q.setParam(QStringLiteral("DATUM_DODANIA"), dateOrNull(j.delivered));
        q.setParam(QStringLiteral("DATUM_ODOSLANIA"), dateOrNull(j.sent));
        q.setParam(QStringLiteral("JAZYKOVA_KOMBINACIA"), combinationIds[size_t(j.combination)]);
        q.setParam(QStringLiteral("OBJEDNAVATEL"), firstContact + j.customer.contact);
        q.setParam(QStringLiteral("OBJ_CENA_MJ"), decimalValue(obj.priceMilli, 3));
        q.setParam(QStringLiteral("OBJ_MJ"), unitIds[size_t(j.customer.unit)]);
        q.setParam(QStringLiteral("OBJ_MENA"), obj.currency);
        q.setParam(QStringLiteral("OBJ_KURZ"), decimalValue(obj.rateMilli, 3));
        q.setParam(QStringLiteral("OBJ_KOEFICIENT"), j.customer.coefficient);
        q.setParam(QStringLiteral("OBJ_ROZSAH"), decimalValue(j.customer.scopeCenti, 2));
        q.setParam(QStringLiteral("OBJ_FAKTURA"), j.customer.invoice);
        q.setParam(QStringLiteral("PREKLADATEL"),
                   j.translator.contact >= 0 ? QVariant(firstContact + j.translator.contact) : QVariant());
        q.setParam(QStringLiteral("PRE_CENA_MJ"), decimalValue(pre.priceMilli, 3));
        q.setParam(QStringLiteral("PRE_MJ"), unitIds[size_t(j.translator.unit)]);
        q.setParam(QStringLiteral("PRE_MENA"), pre.currency);
        q.setParam(QStringLiteral("PRE_KURZ"), decimalValue(pre.rateMilli, 3));
        q.setParam(QStringLiteral("PRE_KOEFICIENT"), j.translator.coefficient);
        q.setParam(QStringLiteral("PRE_ROZSAH"), decimalValue(j.translator.scopeCenti, 2));
        q.setParam(QStringLiteral("PRE_FAKTURA"), j.translator.invoice);
        q.setParam(QStringLiteral("POZNAMKA"), j.note);
        // As the job editor stores it: a rating only for a delivered job of a
        // rated combination, otherwise no rating at all.
        const bool rated = j.rated && j.delivered.isValid();
        q.setParam(QStringLiteral("HODNOTENY"), rated ? 1 : 0);
        q.setParam(QStringLiteral("HODNOTENIE"), rated ? QVariant(j.rating) : QVariant());
        q.execute();
        ++counts.jobs;
        commitChunk(tr, counts.jobs);
    }
    tr.commit();
    return counts;
}
