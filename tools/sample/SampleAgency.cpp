#include "sample/SampleAgency.h"

#include <algorithm>
#include <cmath>

namespace sample {

// --- the agency's world ---------------------------------------------------------------------------

struct Town {
    const char* name;
    const char* psc;
    const char* phone;  // area prefix
    const char* country;
    const char* currency;  // what contacts there invoice in; "" = the home currency
};

namespace {

const Town kTowns[] = {
    {"Bratislava", "81101", "02/", "Slovensko", ""},
    {"Žilina", "01001", "041/", "Slovensko", ""},
    {"Košice", "04001", "055/", "Slovensko", ""},
    {"Prešov", "08001", "051/", "Slovensko", ""},
    {"Nitra", "94901", "037/", "Slovensko", ""},
    {"Banská Bystrica", "97401", "048/", "Slovensko", ""},
    {"Trnava", "91701", "033/", "Slovensko", ""},
    {"Trenčín", "91101", "032/", "Slovensko", ""},
    {"Martin", "03601", "043/", "Slovensko", ""},
    {"Poprad", "05801", "052/", "Slovensko", ""},
    {"Zvolen", "96001", "045/", "Slovensko", ""},
    {"Piešťany", "92101", "033/", "Slovensko", ""},
    {"Ružomberok", "03401", "044/", "Slovensko", ""},
    {"Komárno", "94501", "035/", "Slovensko", ""},
    {"Levice", "93401", "036/", "Slovensko", ""},
    {"Michalovce", "07101", "056/", "Slovensko", ""},
    {"Lučenec", "98401", "047/", "Slovensko", ""},
    {"Prievidza", "97101", "046/", "Slovensko", ""},
    {"Liptovský Mikuláš", "03101", "044/", "Slovensko", ""},
    {"Považská Bystrica", "01701", "042/", "Slovensko", ""},
    {"Dolný Kubín", "02601", "043/", "Slovensko", ""},
    {"Spišská Nová Ves", "05201", "053/", "Slovensko", ""},
};
const Town kForeignTowns[] = {
    {"Praha", "11000", "+420 2", "Česko", "CZK"},    {"Brno", "60200", "+420 5", "Česko", "CZK"},
    {"Ostrava", "70200", "+420 59", "Česko", "CZK"}, {"Wien", "1010", "+43 1 ", "Rakúsko", ""},
    {"München", "80331", "+49 89 ", "Nemecko", ""},  {"Dublin", "D02", "+353 1 ", "Írsko", ""},
    {"New York", "10001", "+1 212 ", "USA", "USD"},  {"Chicago", "60601", "+1 312 ", "USA", "USD"},
};

const char* const kIndustries[] = {
    "Stavby",
    "Strojárne",
    "Tlačiareň",
    "Pekáreň",
    "Autoservis",
    "Drevovýroba",
    "Elektromontáže",
    "Kovovýroba",
    "Vinárstvo",
    "Doprava",
    "Reklamná agentúra",
    "Účtovníctvo",
    "Nábytok",
    "Mliekareň",
    "Softvér",
    "Projekcia",
    "Zdravotnícke potreby",
    "Cestovná kancelária",
    "Reality",
    "Poradenstvo",
    "Textil",
    "Plasty",
    "Sklárne",
    "Pivovar",
    "Logistika",
    "Agro",
    "Energetika",
    "Lesy",
    "Farmácia",
};
const char* const kForms[] = {"s.r.o.", "s.r.o.", "s.r.o.", "a.s.", "spol. s r.o.", "k.s.", "v.o.s."};
const char* const kInstitutions[] = {
    "Mestský úrad", "Okresný súd", "Nemocnica", "Gymnázium", "Obchodná akadémia", "Hotel", "Knižnica",
};

// Foreign and apostrophe names: the index into kForeignTowns, -1 for a Slovak town.
struct NamedCompany {
    const char* name;
    int foreignTown;
};
const NamedCompany kNamedCompanies[] = {
    {"O'Neill Consulting", 5},
    {"D'Angelo Trading s.r.o.", -1},
    {"McKenzie & O'Hara Ltd.", 6},
    {"Müller Maschinenbau GmbH", 4},
    {"Dvořák a syn, s.r.o.", 0},
    {"Weiß & Partner AG", 3},
    {"L'Atelier Design", -1},
    {"Schröder Logistik GmbH", 4},
    {"Nagy és Társa Kft.", -1},
    {"Peterson Legal LLC", 7},
    {"Bianchi Import S.p.A.", -1},
    {"Kowalczyk Sp. z o.o.", -1},
    {"Procházka & Novotný, v.o.s.", 1},
    {"Hrubý Engineering, a.s.", 2},
    {"\"U Zlatej husi\" Reštaurácia", -1},
};

struct Surname {
    const char* male;
    const char* female;
};
const Surname kSurnames[] = {
    {"Novák", "Nováková"},      {"Kováč", "Kováčová"},     {"Horváth", "Horváthová"},
    {"Varga", "Vargová"},       {"Tóth", "Tóthová"},       {"Baláž", "Balážová"},
    {"Molnár", "Molnárová"},    {"Lukáč", "Lukáčová"},     {"Kollár", "Kollárová"},
    {"Šimko", "Šimková"},       {"Krajčír", "Krajčírová"}, {"Ďurica", "Ďuricová"},
    {"Mráz", "Mrázová"},        {"Hudák", "Hudáková"},     {"Oravec", "Oravcová"},
    {"Gajdoš", "Gajdošová"},    {"Bartoš", "Bartošová"},   {"Šťastný", "Šťastná"},
    {"Čierny", "Čierna"},       {"Ľupták", "Ľuptáková"},   {"Polák", "Poláková"},
    {"Kučera", "Kučerová"},     {"Zeman", "Zemanová"},     {"Štefánik", "Štefániková"},
    {"Chovanec", "Chovancová"}, {"Ďurček", "Ďurčeková"},   {"Žiak", "Žiaková"},
    {"Kráľ", "Kráľová"},        {"Sloboda", "Slobodová"},  {"Beňo", "Beňová"},
    {"Jurčo", "Jurčová"},       {"Mikuš", "Mikušová"},     {"Pokorný", "Pokorná"},
    {"Švec", "Švecová"},        {"Rusnák", "Rusnáková"},   {"Halás", "Halásová"},
    {"O'Brien", "O'Brien"},     {"D'Souza", "D'Souza"},    {"Dvořák", "Dvořáková"},
    {"Müller", "Müllerová"},
};
const char* const kMaleNames[] = {
    "Ján",   "Peter", "Jozef",    "Michal", "Martin", "Tomáš", "Ľubomír", "Štefan", "Dušan",    "Ondrej",
    "Matúš", "Juraj", "Radoslav", "Ľuboš",  "Marián", "Pavol", "Igor",    "Róbert", "Vladimír", "Miroslav",
};
const char* const kFemaleNames[] = {
    "Mária", "Ľubica", "Zuzana",  "Katarína", "Jana",   "Veronika", "Ivana",  "Soňa",   "Žofia",   "Daniela",
    "Eva",   "Monika", "Alžbeta", "Lucia",    "Andrea", "Martina",  "Silvia", "Renáta", "Ľudmila", "Dagmar",
};
const char* const kStreets[] = {
    "Hlavná",     "Štúrova",     "Hviezdoslavova", "Mierová",    "Námestie SNP", "Kukučínova",
    "Družstevná", "Partizánska", "Jesenského",     "Komenského", "Sládkovičova", "Záhradná",
    "Dlhá",       "Krátka",      "Nová",           "Školská",    "Železničná",   "Ružová",
    "Lipová",     "Hurbanova",   "Bernolákova",    "Kollárova",  "Štefánikova",
};
const char* const kMailDomains[] = {"gmail.com",  "post.sk",   "azet.sk",
                                    "centrum.sk", "zoznam.sk", "outlook.com"};
const char* const kContactNotes[] = {
    "stály zákazník",
    "platí do 14 dní",
    "zľava 5 %",
    "len odborné texty",
    "overený tlmočník",
    "preferuje e-mail",
    "faktúry na adresu pobočky",
    "súdny prekladateľ",
};
// Pastel highlights as the lists store them: red in the lowest byte.
const double kColours[] = {0x80FFFF, 0xC0FFC0, 0xC0C0FF, 0xFFE0C0, 0x80C0FF};

struct Language {
    const char* code;
    const char* group;
    int weight;
    bool rated;
};
const Language kLanguages[] = {
    {"AJ", "západné", 30, true},       {"NJ", "západné", 22, true},       {"FJ", "západné", 5, true},
    {"TJ", "západné", 4, true},        {"ŠJ", "západné", 4, true},        {"HOL", "západné", 2, true},
    {"POR", "západné", 1, true},       {"RJ", "východné", 5, true},       {"UJ", "východné", 5, true},
    {"BUL", "východné", 1, true},      {"RUM", "východné", 1, true},      {"ČJ", "stredoeurópske", 6, true},
    {"PJ", "stredoeurópske", 3, true}, {"MJ", "stredoeurópske", 5, true}, {"SLO", "stredoeurópske", 1, true},
    {"CHJ", "juhoslovanské", 1, true}, {"SRJ", "juhoslovanské", 1, true}, {"ČÍN", "mimoeurópske", 1, false},
    {"JAP", "mimoeurópske", 1, false}, {"ARJ", "mimoeurópske", 1, false},
};

const char* const kTitles[] = {
    "Zmluva o dielo",
    "Kúpna zmluva",
    "Nájomná zmluva",
    "Pracovná zmluva",
    "Výpis z obchodného registra",
    "Rodný list",
    "Sobášny list",
    "Vysvedčenie o maturitnej skúške",
    "Diplom a dodatok k diplomu",
    "Lekárska správa",
    "Prepúšťacia správa",
    "Návod na obsluhu",
    "Technická dokumentácia",
    "Bezpečnostný list",
    "Certifikát ISO 9001",
    "Ponuka do tendra",
    "Plná moc",
    "Účtovná závierka %1",
    "Webová stránka",
    "Marketingová brožúra",
    "Prezentácia „Stratégia %1“",
    "Tlmočenie – rokovanie",
    "Konsekutívne tlmočenie – školenie",
    "Súdny preklad – rozsudok",
    "Uznesenie súdu",
    "Žaloba",
    "Stanovy spoločnosti",
    "Zápisnica z valného zhromaždenia",
    "Audítorská správa",
    "Patentová prihláška",
    "Katalóg výrobkov %1",
    "Tlačová správa",
    "Titulky k videu",
    "Životopis",
    "Odporúčací list",
    "Výpis z registra trestov",
    "Znalecký posudok",
    "Projektová dokumentácia",
    "Výročná správa %1",
    "Dotazník spokojnosti",
};
const char* const kJobNotes[] = {
    "súrne",
    "klient dodá glosár",
    "overiť terminológiu s klientom",
    "faktúru poslať poštou",
    "PDF – nutná úprava formátovania",
    "súdny preklad s pečiatkou",
    "tlmočník na mieste",
    "korektúra rodeným hovoriacim",
    "odovzdať osobne",
    "zaplatené vopred",
};

QString mailPart(const QString& text)
{
    QString out;
    for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        const QChar l = c.toLower();
        if ((l >= QLatin1Char('a') && l <= QLatin1Char('z')) ||
            (l >= QLatin1Char('0') && l <= QLatin1Char('9')))
            out += l;
        else if (l == QChar(0xDF))
            out += QLatin1String("ss");
    }
    return out;
}

}  // namespace

double perEuro(const QString& currency, int year)
{
    struct Row {
        int year;
        double czk, usd, skk;
    };
    static const Row rows[] = {
        {2002, 30.80, 0.95, 42.70},  {2003, 31.80, 1.13, 41.50},  {2004, 31.90, 1.24, 40.00},
        {2005, 29.80, 1.24, 38.60},  {2006, 28.30, 1.26, 37.20},  {2007, 27.80, 1.37, 33.80},
        {2008, 24.90, 1.47, 31.30},  {2009, 26.40, 1.39, 30.126}, {2010, 25.30, 1.33, 30.126},
        {2011, 24.60, 1.39, 30.126}, {2012, 25.10, 1.29, 30.126}, {2013, 25.98, 1.33, 30.126},
        {2014, 27.54, 1.33, 30.126}, {2015, 27.28, 1.11, 30.126}, {2016, 27.03, 1.11, 30.126},
        {2017, 26.33, 1.13, 30.126}, {2018, 25.65, 1.18, 30.126}, {2019, 25.67, 1.12, 30.126},
        {2020, 26.44, 1.14, 30.126}, {2021, 25.64, 1.18, 30.126}, {2022, 24.56, 1.05, 30.126},
        {2023, 24.00, 1.08, 30.126}, {2024, 25.12, 1.08, 30.126}, {2025, 24.90, 1.12, 30.126},
        {2026, 24.70, 1.16, 30.126},
    };
    const int y = std::clamp(year, rows[0].year, rows[std::size(rows) - 1].year);
    const Row& r = rows[y - rows[0].year];
    if (currency == QLatin1String("CZK"))
        return r.czk;
    if (currency == QLatin1String("USD"))
        return r.usd;
    if (currency == QLatin1String("SKK"))
        return r.skk;
    return 1.0;
}

qint64 roundTo(double value, qint64 step)
{
    return qint64(std::llround(value / double(step))) * step;
}

Money inCurrency(const QString& currency, qint64 euroMilli, const QDate& day, Random& rnd,
                 const QString& home)
{
    Money m;
    if (currency.isEmpty() || currency == home) {
        m.currency = home;
        m.priceMilli = euroMilli;
        return m;
    }
    m.currency = currency;
    const double rate = perEuro(currency, day.year()) * (1.0 + (rnd.between(-50, 50) / 10000.0));
    m.rateMilli = std::llround(rate * 1000.0);
    m.priceMilli = roundTo(double(euroMilli) * double(m.rateMilli) / 1000.0, 10);
    return m;
}

bool Agency::claim(int typ, const QString& name)
{
    if (name.size() > 50 || m_names[typ].contains(name))
        return false;
    m_names[typ].insert(name);
    return true;
}

QString Agency::phone(const Town& town, bool mobile)
{
    const auto digits = [this](int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar('0' + rnd.between(0, 9));
        return s;
    };
    if (QLatin1String(town.phone).startsWith(QLatin1Char('+')))
        return QString::fromLatin1(town.phone) + digits(3) + QLatin1Char(' ') + digits(4);
    if (mobile)
        return QStringLiteral("09%1 %2 %3")
            .arg(rnd.pick({"03", "05", "07", "10", "11", "15", "44", "49"}))
            .arg(digits(3), digits(3));
    return QString::fromLatin1(town.phone) + digits(3) + QLatin1Char(' ') + digits(2) + QLatin1Char(' ') +
           digits(2);
}

void Agency::fillContact(Contact& c, const Town& town, bool company)
{
    c.town = u(town.name);
    c.psc = QString::fromLatin1(town.psc);
    c.country = u(town.country);
    c.currency = QString::fromLatin1(town.currency);
    QString number = QString::number(rnd.between(1, 120));
    if (rnd.chance(0.2))
        number += QLatin1Char('/') + QString::number(rnd.between(1, 30));
    c.street = u(rnd.pick(kStreets)) + QLatin1Char(' ') + number;
    c.tel1 = phone(town, !company);
    c.tel2 = rnd.chance(0.3) ? phone(town, true) : QString();
    if (rnd.chance(0.25))
        c.note = u(rnd.pick(kContactNotes));
    if (rnd.chance(0.1))
        c.colour = rnd.pick(kColours);
}

void Agency::makeCombinations()
{
    // Into Slovak first, then out of it; a few pairs without Slovak.
    for (int out = 0; out < 2; ++out)
        for (const Language& l : kLanguages) {
            Combination c;
            c.code = out ? QStringLiteral("SJ-") + u(l.code) : u(l.code) + QStringLiteral("-SJ");
            c.group = u(l.group);
            c.rated = l.rated;
            c.weight = out ? std::max(1, l.weight * 7 / 10) : l.weight;
            combinations.push_back(c);
        }
    for (const char* pair : {"AJ-NJ", "NJ-AJ", "AJ-ČJ", "ČJ-AJ"}) {
        Combination c;
        c.code = u(pair);
        c.group = u("západné");
        c.weight = 1;
        combinations.push_back(c);
    }
    for (size_t i = 0; i < combinations.size(); ++i) {
        combinations[i].id = int(i) + 1;
        combinationWeights.push_back(combinations[i].weight);
    }
}

void Agency::makeCustomers(int count)
{
    for (const NamedCompany& n : kNamedCompanies) {
        Contact c;
        c.typ = 0;
        claim(0, u(n.name));
        c.name = u(n.name);
        fillContact(c, n.foreignTown >= 0 ? kForeignTowns[n.foreignTown] : rnd.pick(kTowns), true);
        c.legalForm = 3;
        contacts.push_back(c);
    }
    while (int(contacts.size()) < count) {
        Contact c;
        c.typ = 0;
        const int kind = rnd.between(0, 99);
        const Town& town = kind < 8 ? rnd.pick(kForeignTowns) : rnd.pick(kTowns);
        QString name;
        if (kind < 70) {
            name = u(rnd.pick(kIndustries)) + QLatin1Char(' ') + u(town.name) + QLatin1Char(' ') +
                   u(rnd.pick(kForms));
            c.legalForm = 3;
        } else if (kind < 82) {
            name = u(rnd.pick(kInstitutions)) + QLatin1Char(' ') + u(town.name);
            c.legalForm = 3;
        } else if (kind < 92) {
            name = QStringLiteral("Advokátska kancelária %1 & %2, s.r.o.")
                       .arg(u(rnd.pick(kSurnames).male), u(rnd.pick(kSurnames).male));
            c.legalForm = 3;
        } else {
            // a private person ordering a certificate translation
            const bool woman = rnd.chance(0.5);
            const Surname& s = rnd.pick(kSurnames);
            name = (woman ? u(s.female) : u(s.male)) + QLatin1Char(' ') +
                   u(woman ? rnd.pick(kFemaleNames) : rnd.pick(kMaleNames));
            c.legalForm = 1;
        }
        if (!claim(0, name))
            continue;
        c.name = name;
        fillContact(c, town, c.legalForm == 3);
        contacts.push_back(c);
    }
    for (size_t i = 0; i < contacts.size(); ++i) {
        Contact& c = contacts[i];
        const QString domain = mailPart(c.name.section(QLatin1Char(' '), 0, 0)) + mailPart(c.town) +
                               (c.country == u("Slovensko") ? QStringLiteral(".sk") : QStringLiteral(".com"));
        if (c.legalForm == 1) {
            c.email = mailPart(c.name.section(QLatin1Char(' '), 1)) + QLatin1Char('.') +
                      mailPart(c.name.section(QLatin1Char(' '), 0, 0)) + QLatin1Char('@') +
                      u(rnd.pick(kMailDomains));
        } else {
            c.email = QStringLiteral("info@") + domain;
            if (rnd.chance(0.4))
                c.email2 = QStringLiteral("faktury@") + domain;
            if (rnd.chance(0.1))
                c.email3 = QStringLiteral("preklady@") + domain;
        }
        c.payment = rnd.chance(0.7) ? 1 : 0;
        // A few customers order most of the work.
        c.weight = rnd.chance(0.08) ? rnd.between(40, 120) : rnd.between(1, 12);
        customers.push_back(int(i));
        customerWeights.push_back(c.weight);
    }
}

void Agency::makeTranslators(int count)
{
    int made = 0;
    while (made < count) {
        Contact c;
        c.typ = 1;
        const bool woman = rnd.chance(0.65);
        const Surname& s = rnd.pick(kSurnames);
        QString name = (woman ? u(s.female) : u(s.male)) + QLatin1Char(' ') +
                       u(woman ? rnd.pick(kFemaleNames) : rnd.pick(kMaleNames));
        if (rnd.chance(0.15))
            name = QStringLiteral("Mgr. ") + name;
        if (!claim(1, name))
            continue;
        c.name = name;
        fillContact(c, rnd.chance(0.1) ? kForeignTowns[rnd.between(0, 2)] : rnd.pick(kTowns), false);
        c.legalForm = rnd.chance(0.6) ? 2 : 1;
        const QStringList parts = name.split(QLatin1Char(' '));
        c.email = mailPart(parts.value(parts.size() - 1)) + QLatin1Char('.') +
                  mailPart(parts.value(parts.size() - 2)) + QLatin1Char('@') + u(rnd.pick(kMailDomains));
        if (rnd.chance(0.15))
            c.email2 = mailPart(parts.value(parts.size() - 2)) + QStringLiteral("@preklady.sk");
        const int pay = rnd.between(0, 99);
        // Every translator has a payment method: the contact editor requires one.
        c.payment = pay < 80 || pay >= 93 ? 1 : pay < 90 ? 2 : 3;
        c.weight = rnd.chance(0.15) ? rnd.between(20, 60) : rnd.between(1, 10);
        translators.push_back(int(contacts.size()));
        translatorWeights.push_back(c.weight);
        contacts.push_back(c);
        ++made;
    }
}

void Agency::makeRates()
{
    const auto add = [this](int contact, int combination, bool translatorSide) {
        const int unit = rnd.weighted({70, 10, 8, 8, 4});
        const UnitKind& k = kUnits[unit];
        Rate r;
        r.contact = contact;
        r.combination = combination;
        r.unit = unit;
        r.euroMilli = translatorSide ? roundTo(rnd.between(k.translatorMin, k.translatorMax), k.step)
                                     : roundTo(rnd.between(k.customerMin, k.customerMax), k.step);
        if (rnd.chance(0.05))
            r.note = translatorSide ? u("iba odborné texty") : u("rámcová zmluva");
        r.id = int(rates.size()) + 1;
        contacts[size_t(contact)].rates.push_back(int(rates.size()));
        rates.push_back(r);
    };
    // Every combination gets translators; the common ones get many.
    for (size_t k = 0; k < combinations.size(); ++k) {
        const int wanted = 2 + combinations[k].weight / 3;
        for (int i = 0; i < wanted; ++i) {
            const int t = translators[size_t(rnd.between(0, int(translators.size()) - 1))];
            if (rateFor(t, int(k)) >= 0)
                continue;
            add(t, int(k), true);
            combinations[k].translators.push_back(t);
        }
    }
    // Half of the customers have agreed prices for what they order most.
    for (int c : customers) {
        if (!rnd.chance(0.5))
            continue;
        const int n = rnd.between(1, 3);
        for (int i = 0; i < n; ++i) {
            const int k = rnd.weighted(combinationWeights);
            if (rateFor(c, k) < 0)
                add(c, k, false);
        }
    }
}

int Agency::rateFor(int contact, int combination) const
{
    for (int r : contacts[size_t(contact)].rates)
        if (rates[size_t(r)].combination == combination)
            return r;
    return -1;
}

void Agency::makeWorld()
{
    makeCombinations();
    makeCustomers(320);
    makeTranslators(180);
    makeRates();
}

std::vector<QDateTime> Agency::receivedMoments(int n)
{
    std::vector<QDateTime> out;
    out.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        QDate d = m_today.addDays(-rnd.between(1, 3652));
        // Little comes in at weekends.
        if (d.dayOfWeek() >= 6 && rnd.chance(0.85))
            d = d.addDays(5 - d.dayOfWeek());
        out.emplace_back(d, QTime(rnd.between(7, 17), rnd.between(0, 59), rnd.between(0, 59)), Qt::UTC);
    }
    std::sort(out.begin(), out.end());
    return out;
}

Side Agency::price(int contact, int combination, int unit, bool translatorSide)
{
    Side s;
    s.contact = contact;
    s.unit = unit;
    const int r = contact >= 0 ? rateFor(contact, combination) : -1;
    if (r >= 0 && rates[size_t(r)].unit == unit) {
        s.euroMilli = rates[size_t(r)].euroMilli;
    } else {
        const UnitKind& k = kUnits[unit];
        s.euroMilli = translatorSide ? roundTo(rnd.between(k.translatorMin, k.translatorMax), k.step)
                                     : roundTo(rnd.between(k.customerMin, k.customerMax), k.step);
    }
    return s;
}

Job Agency::makeJob(const QDateTime& received)
{
    Job j;
    j.received = received;
    const QDate day = received.date();
    const int year = day.year();
    j.combination = rnd.weighted(combinationWeights);
    const Combination& combination = combinations[size_t(j.combination)];

    const int customer = customers[size_t(rnd.weighted(customerWeights))];
    const int agreed = rateFor(customer, j.combination);
    const int unit = agreed >= 0 ? rates[size_t(agreed)].unit : rnd.weighted({70, 10, 8, 8, 4});
    j.customer = price(customer, j.combination, unit, false);

    qint64 scope = 0;  // hundredths
    switch (unit) {
        case 0: {  // ns, mostly short texts; r * r rather than pow(), which may differ in the last bit
                   // between libraries
            const double r = rnd.real();
            scope = 50 + qint64(std::llround(r * r * 5950));
            break;
        }
        case 1:
            scope = qint64(rnd.between(100, 9000)) * 100;
            break;  // words
        case 2:
            scope = qint64(rnd.between(2, 20)) * 50;
            break;  // hours in halves
        case 3:
            scope = qint64(rnd.between(1, 40)) * 100;
            break;  // pages
        default:
            scope = qint64(rnd.between(2, 120)) * 100;
            break;  // minutes
    }
    j.customer.scopeCenti = scope;
    const int urgency = rnd.between(0, 99);
    j.customer.coefficient = urgency < 80 ? 100 : urgency < 92 ? 120 : 150;

    // Deadline: a day per eight pages or so, less when urgent.
    int days = int(scope / 800) + rnd.between(1, 4);
    if (j.customer.coefficient == 150)
        days = rnd.between(0, 1);
    else if (j.customer.coefficient == 120)
        days = std::max(1, days / 2);
    static const QTime deadlineTimes[] = {QTime(8, 0),  QTime(9, 0),   QTime(10, 0), QTime(12, 0),
                                          QTime(14, 0), QTime(15, 30), QTime(16, 0), QTime(17, 0)};
    QDate deadlineDay = day.addDays(days);
    QTime deadlineTime = rnd.pick(deadlineTimes);
    if (deadlineDay == day && deadlineTime <= received.time())
        deadlineTime = QTime(std::min(received.time().hour() + 3, 23), 0);
    if (deadlineDay.dayOfWeek() >= 6)
        deadlineDay = deadlineDay.addDays(8 - deadlineDay.dayOfWeek());
    j.deadline = QDateTime(deadlineDay, deadlineTime, Qt::UTC);

    // The translator: one who has a rate for the combination, usually.
    int translator = -1;
    if (!combination.translators.empty() && rnd.chance(0.9))
        translator = combination.translators[size_t(rnd.between(0, int(combination.translators.size()) - 1))];
    else
        translator = translators[size_t(rnd.weighted(translatorWeights))];

    // Handed over the same day or the next; the newest jobs wait for a translator.
    const QDate handed = day.addDays(rnd.chance(0.8) ? 0 : 1);
    if (handed < m_today && !(m_today.toJulianDay() - day.toJulianDay() <= 2 && rnd.chance(0.5))) {
        j.handed = handed;
        j.translator = price(translator, j.combination, unit, true);
        j.translator.scopeCenti =
            rnd.chance(0.9) ? scope : std::max<qint64>(1, scope * rnd.between(90, 110) / 100);
        j.translator.coefficient = j.customer.coefficient == 100 ? 100
                                   : rnd.chance(0.6)             ? j.customer.coefficient
                                                                 : 100;
        if (rnd.chance(0.01))
            j.translator.euroMilli = 0;  // done in the office
        // Delivered by the deadline mostly; a few late.
        QDate delivered =
            deadlineDay.addDays(rnd.chance(0.85) ? -rnd.between(0, std::min(2, days)) : rnd.between(1, 3));
        if (delivered < handed)
            delivered = handed;
        if (delivered < m_today) {
            j.delivered = delivered;
            const QDate sent = delivered.addDays(rnd.chance(0.7) ? 0 : 1);
            if (sent < m_today)
                j.sent = sent;
        }
    } else {
        j.translator.contact = -1;
        j.translator.unit = unit;
        j.translator.coefficient = 100;
    }

    // Invoices: one per customer and month, one per translator and month;
    // the last weeks are not settled yet.
    if (j.sent.isValid()) {
        const qint64 age = j.sent.daysTo(m_today);
        if ((age > 30 && rnd.chance(0.99)) || (age <= 30 && rnd.chance(0.3))) {
            const QString key =
                QStringLiteral("%1/%2").arg(customer).arg(j.sent.toString(QStringLiteral("yyyyMM")));
            int& number = m_customerInvoices[key];
            if (!number)
                number = ++m_invoiceCounters[j.sent.year()];
            j.customer.invoice = QStringLiteral("FV%1/%2")
                                     .arg(j.sent.year() % 100, 2, 10, QLatin1Char('0'))
                                     .arg(number, 4, 10, QLatin1Char('0'));
        }
    }
    if (j.delivered.isValid() && j.translator.contact >= 0) {
        const qint64 age = j.delivered.daysTo(m_today);
        if ((age > 45 && rnd.chance(0.97)) || (age <= 45 && rnd.chance(0.3))) {
            const QString key = QStringLiteral("%1/%2")
                                    .arg(j.translator.contact)
                                    .arg(j.delivered.toString(QStringLiteral("yyyyMM")));
            int& number = m_translatorInvoices[key];
            if (!number)
                number = m_translatorInvoices.size();
            j.translator.invoice =
                QStringLiteral("%1/%2").arg(j.delivered.year()).arg(number % 1000, 3, 10, QLatin1Char('0'));
        }
    }

    j.reference = QStringLiteral("%1/%2").arg(year).arg(++m_referenceCounters[year], 4, 10, QLatin1Char('0'));
    j.title = u(rnd.pick(kTitles));
    if (j.title.contains(QLatin1String("%1")))
        j.title = j.title.arg(rnd.chance(0.5) ? year : year - 1);
    if (rnd.chance(0.08))
        j.note = u(rnd.pick(kJobNotes));

    std::vector<int> managerWeights;
    for (const User& user : kUsers)
        managerWeights.push_back(day >= user.from && day <= user.to ? user.weight : 0);
    managerWeights.push_back(1);  // the administrator
    const int m = rnd.weighted(managerWeights);
    j.manager =
        m < int(std::size(kUsers)) ? QString::fromLatin1(kUsers[m].abbreviation) : QStringLiteral("AD");
    if (rnd.chance(0.03))
        j.manager.clear();

    j.rated = combination.rated && rnd.chance(0.97);
    if (j.delivered.isValid()) {
        const int r = rnd.between(0, 99);
        j.rating = r < 60   ? 100
                   : r < 85 ? rnd.between(90, 99)
                   : r < 97 ? rnd.between(70, 89)
                            : rnd.between(50, 69);
    }
    return j;
}

}  // namespace sample
