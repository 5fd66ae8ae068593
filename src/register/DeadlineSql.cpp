#include "register/DeadlineSql.h"

#include "fb/Query.h"
#include "register/EPrekladySql.h"

#include <QDateTime>

namespace {

QDateTime midnight(const QDate& day)
{
    // Timestamps of the database are wall-clock values read and written as UTC.
    return QDateTime(day, QTime(0, 0), Qt::UTC);
}

const QString kNotSent = QStringLiteral("a.DATUM_ODOSLANIA_PREKLADU is null");

}  // namespace

QString DeadlineFilterText(DeadlineFilter filter)
{
    switch (filter) {
    case DeadlineFilter::Late:
        return QStringLiteral("po termíne");
    case DeadlineFilter::Today:
        return QStringLiteral("dnes");
    case DeadlineFilter::Tomorrow:
        return QStringLiteral("zajtra");
    case DeadlineFilter::All:
        break;
    }
    return QStringLiteral("všetky");
}

QString DeadlineCondition(DeadlineFilter filter, const QDate& today, QVariantMap& params)
{
    switch (filter) {
    case DeadlineFilter::Late:
        params.insert(QStringLiteral("TERMIN_DO"), midnight(today));
        return QStringLiteral("(%1 and a.termin<:TERMIN_DO)").arg(kNotSent);
    case DeadlineFilter::Today:
    case DeadlineFilter::Tomorrow: {
        const QDate day = filter == DeadlineFilter::Today ? today : today.addDays(1);
        params.insert(QStringLiteral("TERMIN_OD"), midnight(day));
        params.insert(QStringLiteral("TERMIN_DO"), midnight(day.addDays(1)));
        return QStringLiteral("(%1 and a.termin>=:TERMIN_OD and a.termin<:TERMIN_DO)").arg(kNotSent);
    }
    case DeadlineFilter::All:
        break;
    }
    return {};
}

fb::Statement DeadlineCountsStatement(const QDate& today)
{
    // Only the jobs not yet sent are read, through the sent date's index: they
    // are few, while nearly every job's deadline lies before tomorrow, so a
    // range on the deadline's index would walk most of it. A job with a
    // language combination is one the register lists (its inner join; the
    // foreign key makes every combination given an existing one).
    fb::Statement s;
    s.lines = QStringList{
        QStringLiteral("select count(iif(a.termin<:DNES, 1, null)) as po_termine,"),
        QStringLiteral("count(iif(a.termin>=:DNES and a.termin<:ZAJTRA, 1, null)) as dnes,"),
        QStringLiteral("count(iif(a.termin>=:ZAJTRA and a.termin<:POZAJTRA, 1, null)) as zajtra"),
        QStringLiteral("from preklady a"),
        QStringLiteral("where ") + kNotSent,
        QStringLiteral("and a.jazykova_kombinacia is not null"),
    };
    s.params.insert(QStringLiteral("DNES"), midnight(today));
    s.params.insert(QStringLiteral("ZAJTRA"), midnight(today.addDays(1)));
    s.params.insert(QStringLiteral("POZAJTRA"), midnight(today.addDays(2)));
    return s;
}

DeadlineCounts ReadDeadlineCounts(fb::Transaction& transaction, const QDate& today)
{
    const fb::Statement s = DeadlineCountsStatement(today);
    fb::Query q(transaction);
    q.setStatement(s);
    q.executeOneRow();
    DeadlineCounts c;
    c.late = q.value(0).toInt();
    c.today = q.value(1).toInt();
    c.tomorrow = q.value(2).toInt();
    q.close();
    return c;
}
