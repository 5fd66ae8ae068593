#include "register/JobAssistSql.h"

#include "fb/Query.h"
#include "framework/TextHelpers.h"

namespace {

fb::Decimal decimalOrZero(const QVariant& v)
{
    if (!IsSetValue(v))
        return fb::Decimal(0, 2);
    if (v.metaType() == QMetaType::fromType<fb::Decimal>())
        return v.value<fb::Decimal>();
    return fb::Decimal::fromString(v.toString()).value_or(fb::Decimal(0, 2));
}

}  // namespace

// ---- statements ------------------------------------------------------------------

QStringList RateDefinitionSql(JobSide side)
{
    if (side == JobSide::Objednavatel)
        return {QStringLiteral(
            "select * from kombinacie where JAZYKOVA_KOMBINACIA=:JAZYKOVA_KOMBINACIA and adresar=:ADRESAR")};
    return {QStringLiteral("SELECT CENA,MENA,MJ FROM KOMBINACIE"),
            QStringLiteral("WHERE JAZYKOVA_KOMBINACIA=:JAZYKOVA_KOMBINACIA AND"), QStringLiteral("ADRESAR=:ADRESAR")};
}

QStringList LastRateSql(JobSide side)
{
    return {side == JobSide::Objednavatel ? QStringLiteral("select first 1 obj_kurz from preklady where OBJ_MENA=:MENA")
                                          : QStringLiteral("select first 1 pre_kurz from preklady where PRE_MENA=:MENA"),
            QStringLiteral("order by datum_prijatia desc,jedin desc")};
}

QStringList OpenBalanceSql(JobSide side)
{
    if (side == JobSide::Objednavatel)
        return {QStringLiteral("select sum(a.OBJ_CENA_SKK)"),
                QStringLiteral("from preklady a where a.objednavatel=:ADRESAR and a.obj_ukoncene=0 and"),
                QStringLiteral("a.DATUM_ODOSLANIA_PREKLADU is not null")};
    return {QStringLiteral("select sum(a.pre_CENA_SKK)"),
            QStringLiteral("from preklady a where a.prekladatel=:ADRESAR and a.pre_ukoncene=0 and"),
            QStringLiteral("a.DATUM_DODANIA_PREKLADU is not null")};
}

QStringList AverageRatingSql()
{
    return {QStringLiteral("SELECT AVG(CAST(HODNOTENIE AS D_MONEY)) FROM PREKLADY"),
            QStringLiteral("WHERE JAZYKOVA_KOMBINACIA=:JAZYKOVA_KOMBINACIA AND"), QStringLiteral("PREKLADATEL=:ADRESAR AND"),
            QStringLiteral("HODNOTENY=1 AND DATUM_DODANIA_PREKLADU IS NOT NULL")};
}

QStringList WorkloadSql(bool excludeJob)
{
    QStringList lines = {QStringLiteral("select count(*)"),
                         QStringLiteral("from preklady a where a.prekladatel=:ADRESAR and"),
                         QStringLiteral("a.DATUM_ZADANIA_PREKLADATELOVI is not null and")};
    if (excludeJob)
        lines << QStringLiteral("a.DATUM_DODANIA_PREKLADU is null and") << QStringLiteral("jedin<>:JEDIN");
    else
        lines << QStringLiteral("a.DATUM_DODANIA_PREKLADU is null");
    return lines;
}

QStringList DuplicateMarkSql(bool excludeJob)
{
    QStringList lines = {QStringLiteral("SELECT FIRST 1 A.JEDIN FROM PREKLADY A"),
                         QStringLiteral("WHERE UPPER(A.ZNACKA)=:ZNACKA")};
    if (excludeJob)
        lines << QStringLiteral("AND A.JEDIN <> :JEDIN");
    return lines;
}

// ---- reads -------------------------------------------------------------------------

std::optional<RateDefinition> ReadRateDefinition(fb::Transaction& transaction, JobSide side,
                                                 const QVariant& adresar, const QVariant& kombinacia)
{
    fb::Query q(transaction);
    q.setSql(RateDefinitionSql(side));
    q.setParams({{QStringLiteral("JAZYKOVA_KOMBINACIA"), kombinacia}, {QStringLiteral("ADRESAR"), adresar}});
    q.execute();
    if (!q.next())
        return std::nullopt;
    RateDefinition rate{q.value(QStringLiteral("CENA")), q.value(QStringLiteral("MENA")).toString(),
                        q.value(QStringLiteral("MJ"))};
    q.close();
    return rate;
}

std::optional<QVariant> ReadLastRate(fb::Transaction& transaction, JobSide side, const QString& mena)
{
    fb::Query q(transaction);
    q.setSql(LastRateSql(side));
    // An empty currency is the empty text, as the editor stores it, not null.
    q.setParam(QStringLiteral("MENA"), mena.isNull() ? QString(QLatin1String("")) : mena);
    q.execute();
    if (!q.next())
        return std::nullopt;
    const QVariant rate = q.value(0);
    q.close();
    return rate;
}

fb::Decimal ReadOpenBalance(fb::Transaction& transaction, JobSide side, const QVariant& adresar)
{
    if (!IsSetValue(adresar))
        return fb::Decimal(0, 2);
    fb::Query q(transaction);
    q.setSql(OpenBalanceSql(side));
    q.setParam(QStringLiteral("ADRESAR"), adresar);
    return decimalOrZero(q.executeScalar());
}

fb::Decimal ReadAverageRating(fb::Transaction& transaction, const QVariant& prekladatel, const QVariant& kombinacia)
{
    if (!IsSetValue(prekladatel) || !IsSetValue(kombinacia))
        return fb::Decimal(0, 2);
    fb::Query q(transaction);
    q.setSql(AverageRatingSql());
    q.setParams({{QStringLiteral("JAZYKOVA_KOMBINACIA"), kombinacia}, {QStringLiteral("ADRESAR"), prekladatel}});
    return decimalOrZero(q.executeScalar());
}

qint64 CountWorkload(fb::Transaction& transaction, const QVariant& prekladatel, const QVariant& excludeJob)
{
    if (!IsSetValue(prekladatel))
        return 0;
    const bool exclude = IsSetValue(excludeJob);
    fb::Query q(transaction);
    q.setSql(WorkloadSql(exclude));
    q.setParam(QStringLiteral("ADRESAR"), prekladatel);
    if (exclude)
        q.setParam(QStringLiteral("JEDIN"), excludeJob);
    return q.executeScalar().toLongLong();
}

bool HasDuplicateMark(fb::Transaction& transaction, const QString& znacka, const QVariant& excludeJob)
{
    const QString mark = znacka.trimmed();
    if (mark.isEmpty())
        return false;
    const bool exclude = IsSetValue(excludeJob);
    fb::Query q(transaction);
    q.setSql(DuplicateMarkSql(exclude));
    q.setParam(QStringLiteral("ZNACKA"), mark.toUpper());
    if (exclude)
        q.setParam(QStringLiteral("JEDIN"), excludeJob);
    return IsSetValue(q.executeScalar());
}
