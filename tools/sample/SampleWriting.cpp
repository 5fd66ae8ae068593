#include "sample/SampleWriting.h"

#include "fb/Decimal.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

namespace sample {

namespace {

constexpr int kCommitEvery = 5000;

}  // namespace

int reserveIds(fb::Transaction& tr, const char* sequence, int count)
{
    fb::Query q(tr);
    q.setSql(
        QStringLiteral("select gen_id(%1, %2) from rdb$database").arg(QLatin1String(sequence)).arg(count));
    const int last = q.executeScalar().toInt();
    q.close();
    return last - count + 1;
}

void commitChunk(fb::Transaction& tr, int rows)
{
    if (rows % kCommitEvery == 0) {
        tr.commit();
        tr.start();
    }
}

QVariant decimalValue(qint64 units, int scale)
{
    return QVariant::fromValue(fb::Decimal(units, scale));
}

QVariant dateOrNull(const QDate& d)
{
    return d.isValid() ? QVariant(d) : QVariant();
}

}  // namespace sample
