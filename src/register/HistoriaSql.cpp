#include "register/HistoriaSql.h"

#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QRegularExpression>

namespace {

HistoryRow rowOf(const fb::Query& q)
{
    HistoryRow r;
    r.preklad = q.value(0);
    r.kedy = q.value(1).toDateTime();
    r.kto = q.value(2).toString().trimmed();
    r.akcia = q.value(3).toString().trimmed();
    r.stlpec = q.value(4).toString().trimmed();
    r.stara = q.value(5);
    r.nova = q.value(6);
    return r;
}

std::vector<HistoryRow> readAll(fb::Query& q)
{
    std::vector<HistoryRow> rows;
    q.execute();
    while (q.next())
        rows.push_back(rowOf(q));
    q.close();
    return rows;
}

bool isSet(const QVariant& v)
{
    return v.isValid() && !v.isNull();
}

}  // namespace

QStringList JobHistorySql()
{
    // KEDY is the moment of the statement: every column of one save has the
    // same, and JEDIN keeps them in the trigger's (the editor's) order. A
    // creation and the first change within one millisecond still read in the
    // order in which they happened.
    return {QStringLiteral("select h.PREKLAD, h.KEDY, h.KTO, h.AKCIA, h.STLPEC, h.STARA, h.NOVA"),
            QStringLiteral("from HISTORIA_PREKLADOV h"), QStringLiteral("where h.PREKLAD = :PREKLAD"),
            QStringLiteral("order by h.KEDY desc, case h.AKCIA when 'D' then 0 when 'U' then 1 else 2 end, h.JEDIN")};
}

QStringList DeletedJobsSql()
{
    return {QStringLiteral("select h.PREKLAD, h.KEDY, h.KTO, h.AKCIA, h.STLPEC, h.STARA, h.NOVA"),
            QStringLiteral("from HISTORIA_PREKLADOV h"), QStringLiteral("where h.AKCIA = 'D'"),
            QStringLiteral("order by h.KEDY desc, h.JEDIN desc")};
}

std::vector<HistoryRow> ReadJobHistory(fb::Transaction& transaction, const QVariant& preklad)
{
    fb::Query q(transaction);
    q.setSql(JobHistorySql());
    q.setParam(QStringLiteral("PREKLAD"), preklad);
    return readAll(q);
}

std::vector<HistoryRow> ReadDeletedJobs(fb::Transaction& transaction)
{
    fb::Query q(transaction);
    q.setSql(DeletedJobsSql());
    return readAll(q);
}

QString HistoryFieldText(const HistoryRow& row, const std::function<QString(const QString&)>& caption)
{
    if (row.akcia == QLatin1String("I"))
        return QStringLiteral("(preklad vytvorený)");
    if (row.akcia == QLatin1String("D"))
        return QStringLiteral("(preklad vymazaný)");
    return caption ? caption(row.stlpec) : row.stlpec;
}

QString HistoryValueText(const QString& column, const QVariant& stored)
{
    if (!isSet(stored))
        return {};
    const QString text = stored.toString();
    static const QRegularExpression dateTime(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})(?: (\\d{2}):(\\d{2})(?::\\d{2}(?:\\.\\d*)?)?)?$"));
    static const QRegularExpression number(QStringLiteral("^-?\\d+\\.\\d+$"));
    if (column.startsWith(QLatin1String("DATUM_")) || column == QLatin1String("TERMIN")) {
        const QRegularExpressionMatch m = dateTime.match(text);
        if (m.hasMatch()) {
            QString shown = m.captured(3) + QLatin1Char('.') + m.captured(2) + QLatin1Char('.') + m.captured(1);
            if (!m.captured(4).isEmpty())
                shown += QLatin1Char(' ') + m.captured(4) + QLatin1Char(':') + m.captured(5);
            return shown;
        }
        return text;
    }
    if (column == QLatin1String("HODNOTENY"))
        return text == QLatin1String("1") ? QStringLiteral("áno") : text == QLatin1String("0") ? QStringLiteral("nie") : text;
    // Only the price columns hold numbers with decimals; a mark or an invoice
    // number that looks like one stays as typed.
    static const QStringList decimals = {QStringLiteral("_CENA_MJ"), QStringLiteral("_KURZ"),
                                         QStringLiteral("_KOEFICIENT"), QStringLiteral("_ROZSAH")};
    for (const QString& suffix : decimals)
        if (column.endsWith(suffix) && number.match(text).hasMatch())
            return QString(text).replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}
