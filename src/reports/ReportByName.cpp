#include "reports/ReportByName.h"

#include "reports/EPrekladyTlacSql.h"

namespace {

enum class Kind { Zoznam, Ziskovost, Mesacna, Hodnotenie };

struct Entry {
    const char* name;
    Kind kind;
    int mode;
};

const Entry kReports[] = {
    {"zoznam-objednavatelia", Kind::Zoznam, 0},    {"zoznam-prekladatelia", Kind::Zoznam, 1},
    {"zoznam-pm", Kind::Zoznam, 2},                {"ziskovost-objednavatelia", Kind::Ziskovost, 0},
    {"ziskovost-prekladatelia", Kind::Ziskovost, 1}, {"ziskovost-pm", Kind::Ziskovost, 2},
    {"ziskovost-mesacna", Kind::Mesacna, 0},       {"hodnotenie", Kind::Hodnotenie, 0},
};

const Entry* find(const QString& name)
{
    for (const Entry& e : kReports)
        if (name.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

}  // namespace

QStringList NamedReports()
{
    QStringList out;
    for (const Entry& e : kReports)
        out << QLatin1String(e.name);
    return out;
}

int NamedReportAddressType(const QString& report)
{
    const Entry* e = find(report);
    if (!e || e->kind == Kind::Mesacna)
        return -1;
    return e->kind == Kind::Hodnotenie || e->mode == 1 ? 1 : 0;
}

std::optional<ReportRequest> NamedReportRequest(const NamedReportOptions& o, const QDate& today, QString& error)
{
    const Entry* e = find(o.report);
    if (!e) {
        error = QStringLiteral("Neznáma zostava \"%1\"; známe sú: %2.").arg(o.report, NamedReports().join(QStringLiteral(", ")));
        return std::nullopt;
    }
    // An option the report's dialog does not have is a mistake in the script.
    auto refuse = [&](bool given, const char* option) {
        if (given && error.isEmpty())
            error = QStringLiteral("Voľba --%1 nepatrí k zostave %2.").arg(QLatin1String(option), QLatin1String(e->name));
        return given;
    };
    error.clear();
    const bool lists = e->kind == Kind::Zoznam;
    refuse(!lists && o.faktura.has_value(), "nevyfakturovane");
    refuse(e->kind != Kind::Ziskovost && o.zoradit.has_value(), "zoradit");
    refuse(e->kind != Kind::Mesacna && o.zoskupitPodla.has_value(), "zoskupit");
    refuse((e->kind == Kind::Ziskovost || e->kind == Kind::Mesacna) && o.jazyk.has_value(), "jazyk");
    refuse(e->kind == Kind::Mesacna && o.adresar.isValid(), "adresa");
    refuse(e->kind == Kind::Hodnotenie && o.dodane.has_value(), "iba-dodane");
    if (!error.isEmpty())
        return std::nullopt;
    if (o.jazyk && *o.jazyk != 1 && *o.jazyk != 2) {
        error = QStringLiteral("Jazyk výstupu je sk alebo en.");
        return std::nullopt;
    }
    if (o.zoradit && (*o.zoradit < 1 || *o.zoradit > 9)) {
        error = QStringLiteral("Zoradenie je číslo od 1 do 9.");
        return std::nullopt;
    }

    // The period: the previous month unless given; the monthly dialog starts without one.
    QDate od, doDate;
    if (!o.allTime) {
        if (o.od || o.doDate) {
            od = o.od.value_or(QDate());
            doDate = o.doDate.value_or(QDate());
        } else if (e->kind != Kind::Mesacna) {
            std::tie(od, doDate) = DefaultReportPeriod(today);
        }
    }
    switch (e->kind) {
    case Kind::Zoznam: {
        ZoznamValues v;
        v.mode = e->mode;
        v.od = od;
        v.doDate = doDate;
        v.adresar = o.adresar;
        v.dodane = o.dodane.value_or(v.dodane);
        v.faktura = o.faktura.value_or(v.faktura);
        v.skupiny = o.skupiny.value_or(v.skupiny);
        if (o.jazyk)
            v.jazyk = *o.jazyk;
        return ZoznamRequest(v);
    }
    case Kind::Ziskovost: {
        ZiskovostValues v;
        v.mode = e->mode;
        v.od = od;
        v.doDate = doDate;
        v.adresar = o.adresar;
        v.dodane = o.dodane.value_or(v.dodane);
        v.skupiny = o.skupiny.value_or(v.skupiny);
        if (o.zoradit)
            v.orderBy = *o.zoradit;
        return ZiskovostRequest(v);
    }
    case Kind::Mesacna: {
        ZiskovostMesacnaValues v;
        v.od = od;
        v.doDate = doDate;
        v.dodane = o.dodane.value_or(v.dodane);
        v.skupiny = o.skupiny.value_or(v.skupiny);
        v.zoskupit = o.zoskupitPodla.has_value();
        if (o.zoskupitPodla)
            v.zoskupitPodla = *o.zoskupitPodla;
        return ZiskovostMesacnaRequest(v);
    }
    case Kind::Hodnotenie: {
        HodnotenieValues v;
        v.od = od;
        v.doDate = doDate;
        v.adresar = o.adresar;
        v.skupiny = o.skupiny.value_or(v.skupiny);
        if (o.jazyk)
            v.jazyk = *o.jazyk;
        return HodnotenieRequest(v);
    }
    }
    return std::nullopt;
}
