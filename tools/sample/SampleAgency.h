#pragma once

// Internal to the sample-data library: the deterministic made-up agency that
// both writers (the current schema and the version-0 schema) put into a
// database. Nothing here touches a database.

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVariant>

#include <random>
#include <vector>

namespace sample {

// Draws from std::mt19937 through distributions of our own, so that a given
// start gives the same values with every standard library.
class Random {
public:
    explicit Random(quint32 start) : m_gen(start) {}

    quint32 bits() { return quint32(m_gen()); }

    // An integer in [lo, hi], without the bias of a plain modulo.
    int between(int lo, int hi)
    {
        if (hi <= lo)
            return lo;
        const quint64 range = quint64(qint64(hi) - qint64(lo)) + 1;
        const quint64 limit = (quint64(1) << 32) - ((quint64(1) << 32) % range);
        quint64 r = 0;
        do
            r = bits();
        while (r >= limit);
        return int(qint64(lo) + qint64(r % range));
    }

    // [0, 1) with 24 bits: exact in every floating-point implementation.
    double real() { return double(bits() >> 8) * (1.0 / 16777216.0); }
    bool chance(double p) { return real() < p; }

    // An index drawn with the given integer weights.
    int weighted(const std::vector<int>& weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int r = between(0, total - 1);
        for (size_t i = 0; i < weights.size(); ++i) {
            if (r < weights[i])
                return int(i);
            r -= weights[i];
        }
        return int(weights.size()) - 1;
    }

    template <class T, size_t N>
    const T& pick(const T (&items)[N])
    {
        return items[size_t(between(0, int(N) - 1))];
    }
    template <class T>
    const T& pick(const std::vector<T>& items)
    {
        return items[size_t(between(0, int(items.size()) - 1))];
    }

private:
    std::mt19937 m_gen;
};

inline QString u(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Prices in thousandths of a euro per unit: customer range, translator range.
struct UnitKind {
    const char* code;
    int weight;
    int customerMin, customerMax, translatorMin, translatorMax;
    int step;  // prices are multiples of this (thousandths)
};
inline constexpr UnitKind kUnits[] = {
    {"ns", 70, 14000, 28000, 7500, 15000, 500},   {"slovo", 10, 60, 140, 30, 70, 5},
    {"hod", 8, 30000, 60000, 18000, 35000, 1000}, {"strana", 8, 15000, 30000, 8000, 16000, 500},
    {"min", 4, 2500, 6000, 1500, 3500, 100},
};

struct User {
    const char* name;
    const char* abbreviation;
    const char* password;
    int weight;
    QDate from, to;  // when the user managed projects
};
inline const User kUsers[] = {
    {"Jana Nováková", "JN", "jana", 5, QDate(1990, 1, 1), QDate(2100, 1, 1)},
    {"Marek Kováčik", "MK", "marek", 4, QDate(1990, 1, 1), QDate(2100, 1, 1)},
    {"Zuzana Ďuricová", "ZD", "zuzana", 3, QDate(2019, 3, 1), QDate(2100, 1, 1)},
    {"Peter O'Donnell", "PO", "peter", 4, QDate(1990, 1, 1), QDate(2021, 6, 30)},
};

// Units of a currency per euro, by year: the job's exchange rate.
double perEuro(const QString& currency, int year);
qint64 roundTo(double value, qint64 step);

// An amount in the job's currency: prices per unit with 3 decimals (whole crowns for CZK).
struct Money {
    QString currency;
    qint64 priceMilli = 0;
    qint64 rateMilli = 1000;
};

// The price in the contact's currency on a day (the exchange rate drawn around
// the year's rate); the home currency as it stands.
Money inCurrency(const QString& currency, qint64 euroMilli, const QDate& day, Random& rnd, const QString& home);

struct Town;

struct Contact {
    int id = 0;
    int typ = 0;  // 0 customer, 1 translator
    QString name, tel1, tel2, email, email2, email3, note, street, psc, town, country;
    int payment = 0;  // CISLO of a "sposob_platby" row, 0 none
    QVariant colour;
    int legalForm = 0;
    QString currency;  // "" = home currency
    int weight = 1;
    std::vector<int> rates;  // indexes into Agency::rates
};

struct Combination {
    int id = 0;
    QString code, group;
    bool rated = true;
    int weight = 1;
    std::vector<int> translators;  // indexes into Agency::contacts
};

struct Rate {
    int id = 0;
    int contact = 0;       // index
    int combination = 0;   // index
    int unit = 0;          // index into kUnits
    qint64 euroMilli = 0;  // price per unit in thousandths of a euro
    QString note;
};

struct Side {
    int contact = -1;  // index, -1 none
    int unit = 0;
    qint64 euroMilli = 0;
    int coefficient = 100;
    qint64 scopeCenti = 0;
    QString invoice;
};

struct Job {
    QDateTime received;
    QDateTime deadline;
    QDate handed, delivered, sent;
    int combination = 0;
    Side customer, translator;
    QString reference, title, note, manager;
    bool rated = true;
    int rating = 100;
};

class Agency {
public:
    Agency(quint32 randomStart, const QDate& today) : rnd(randomStart), m_today(today) {}

    void makeWorld();
    // The received moments of n jobs over the ten years before today, in order.
    std::vector<QDateTime> receivedMoments(int n);
    Job makeJob(const QDateTime& received);

    Random rnd;
    std::vector<Contact> contacts;
    std::vector<int> customers, translators;  // indexes into contacts
    std::vector<int> customerWeights, translatorWeights;
    std::vector<Combination> combinations;
    std::vector<int> combinationWeights;
    std::vector<Rate> rates;

private:
    void makeCombinations();
    void makeCustomers(int count);
    void makeTranslators(int count);
    void makeRates();
    void fillContact(Contact& c, const Town& town, bool company);
    bool claim(int typ, const QString& name);
    QString phone(const Town& town, bool mobile);
    int rateFor(int contact, int combination) const;
    Side price(int contact, int combination, int unit, bool translatorSide);

    QDate m_today;
    QSet<QString> m_names[2];
    QHash<QString, int> m_customerInvoices;    // customer + month -> number
    QHash<QString, int> m_translatorInvoices;  // translator + month -> number
    QHash<int, int> m_invoiceCounters;         // year -> last customer invoice number
    QHash<int, int> m_referenceCounters;       // year -> last job reference
};

}  // namespace sample
