#include "fb/ParamEncoding.h"

#include "fb/Decimal.h"

#include <QDateTime>

#include <cstring>
#include <limits>
#include <optional>

namespace fb {

using namespace Firebird;
using detail::call;
using detail::Ref;

namespace {

// ISC_DATE counts days from 17 Nov 1858; QDate uses Julian day numbers.
constexpr qint64 kIscDateToJulian = 2400001;

template <typename T>
void store(unsigned char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

ISC_DATE iscFromDate(const QDate& d)
{
    return ISC_DATE(d.toJulianDay() - kIscDateToJulian);
}

ISC_TIME iscFromTime(const QTime& t)
{
    return ISC_TIME(t.msecsSinceStartOfDay()) * 10;
}

Error bindError(const QString& name, const QString& what)
{
    return Error(QStringLiteral("Parameter %1: %2").arg(name, what));
}

std::optional<Decimal> decimalFromVariant(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        return Decimal(v.toLongLong(), 0);
    case QMetaType::Bool:
        return Decimal(v.toBool() ? 1 : 0, 0);
    case QMetaType::Double:
    case QMetaType::Float:
        return Decimal::fromDouble(v.toDouble());
    case QMetaType::QString:
        return Decimal::fromString(v.toString());
    default:
        if (v.canConvert<Decimal>() && v.metaType() == QMetaType::fromType<Decimal>())
            return v.value<Decimal>();
        return Decimal::fromString(v.toString());
    }
}

QDateTime dateTimeFromVariant(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QString)
        return QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    return v.toDateTime();
}

}  // namespace

void encodeParams(const QStringList& names, const QHash<QString, QVariant>& values, IMessageMetadata* declared,
                  const std::vector<FieldLayout>& declaredFields, const BlobWriter& writeBlob,
                  Ref<IMessageMetadata>& meta, MessageBuffer& buffer)
{
    const qsizetype count = names.size();
    std::vector<QVariant> vals(static_cast<size_t>(count));
    std::vector<QByteArray> texts(static_cast<size_t>(count));
    bool widen = false;
    for (qsizetype i = 0; i < count; ++i) {
        const QString& name = names[i];
        vals[size_t(i)] = values.value(name);
        const QVariant& v = vals[size_t(i)];
        const FieldLayout& s = declaredFields[size_t(i)];
        if (v.isNull() || !v.isValid())
            continue;
        const bool textual = s.type == SQL_TEXT || s.type == SQL_VARYING || s.type == SQL_NULL ||
                             (s.type == SQL_BLOB);
        if (!textual)
            continue;
        QByteArray bytes;
        if (v.typeId() == QMetaType::QByteArray) {
            bytes = v.toByteArray();
        } else {
            QString text;
            if (v.metaType() == QMetaType::fromType<Decimal>())
                text = v.value<Decimal>().toString();
            else if (v.typeId() == QMetaType::QDate)
                text = v.toDate().toString(Qt::ISODate);
            else
                text = v.toString();
            try {
                bytes = detail::encodeText(text);
            } catch (const Error& e) {
                throw bindError(name, e.message());
            }
        }
        if (s.type == SQL_NULL || (s.type != SQL_BLOB && unsigned(bytes.size()) > s.length) ||
            (s.type == SQL_TEXT && unsigned(bytes.size()) != s.length))
            widen = true;
        texts[size_t(i)] = std::move(bytes);
    }

    std::vector<FieldLayout> fields = declaredFields;
    if (widen) {
        meta = call([&](ThrowStatusWrapper* st) {
            Ref<IMetadataBuilder> builder(declared->getBuilder(st));
            for (qsizetype i = 0; i < count; ++i) {
                const FieldLayout& s = declaredFields[size_t(i)];
                const bool text = s.type == SQL_TEXT || s.type == SQL_VARYING || s.type == SQL_NULL;
                if (!text)
                    continue;
                const unsigned need = std::max<unsigned>(1, unsigned(texts[size_t(i)].size()));
                builder->setType(st, unsigned(i), SQL_VARYING + 1);
                builder->setLength(st, unsigned(i), std::max(need, s.type == SQL_NULL ? 1u : s.length));
                if (s.type == SQL_NULL)
                    builder->setCharSet(st, unsigned(i), 0);
            }
            return Ref<IMessageMetadata>(builder->getMetadata(st));
        });
        fields = fieldsOf(meta.get());
    } else {
        meta = call([&](ThrowStatusWrapper*) {
            declared->addRef();
            return Ref<IMessageMetadata>(declared);
        });
    }

    buffer.resize(call([&](ThrowStatusWrapper* st) { return meta->getMessageLength(st); }));
    unsigned char* base = buffer.data();
    for (qsizetype i = 0; i < count; ++i) {
        const QString& name = names[i];
        const QVariant& v = vals[size_t(i)];
        const FieldLayout& s = fields[size_t(i)];
        unsigned char* p = base + s.offset;
        if (v.isNull() || !v.isValid()) {
            store<short>(base + s.nullOffset, -1);
            continue;
        }
        store<short>(base + s.nullOffset, 0);
        switch (s.type) {
        case SQL_VARYING: {
            const QByteArray& b = texts[size_t(i)];
            store<unsigned short>(p, static_cast<unsigned short>(b.size()));
            std::memcpy(p + 2, b.constData(), size_t(b.size()));
            break;
        }
        case SQL_TEXT: {
            const QByteArray& b = texts[size_t(i)];
            std::memset(p, ' ', s.length);
            std::memcpy(p, b.constData(), std::min<size_t>(size_t(b.size()), s.length));
            break;
        }
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64: {
            const auto d = decimalFromVariant(v);
            if (!d)
                throw bindError(name, QStringLiteral("„%1“ nie je číslo.").arg(v.toString()));
            const auto r = d->rescaled(-s.scale);
            if (!r)
                throw bindError(name, QStringLiteral("hodnota %1 je mimo rozsahu.").arg(d->toString()));
            const std::int64_t u = r->units();
            if (s.type == SQL_SHORT) {
                if (u < std::numeric_limits<std::int16_t>::min() || u > std::numeric_limits<std::int16_t>::max())
                    throw bindError(name, QStringLiteral("hodnota %1 je mimo rozsahu.").arg(d->toString()));
                store<std::int16_t>(p, std::int16_t(u));
            } else if (s.type == SQL_LONG) {
                if (u < std::numeric_limits<std::int32_t>::min() || u > std::numeric_limits<std::int32_t>::max())
                    throw bindError(name, QStringLiteral("hodnota %1 je mimo rozsahu.").arg(d->toString()));
                store<std::int32_t>(p, std::int32_t(u));
            } else {
                store<std::int64_t>(p, u);
            }
            break;
        }
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT: {
            double dv = 0;
            if (v.metaType() == QMetaType::fromType<Decimal>()) {
                dv = v.value<Decimal>().toDouble();
            } else if (v.typeId() == QMetaType::QString) {
                const auto d = Decimal::fromString(v.toString());
                if (!d)
                    throw bindError(name, QStringLiteral("„%1“ nie je číslo.").arg(v.toString()));
                dv = d->toDouble();
            } else {
                bool ok = false;
                dv = v.toDouble(&ok);
                if (!ok)
                    throw bindError(name, QStringLiteral("„%1“ nie je číslo.").arg(v.toString()));
            }
            if (s.type == SQL_FLOAT)
                store<float>(p, float(dv));
            else
                store<double>(p, dv);
            break;
        }
        case SQL_TYPE_DATE: {
            const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : dateTimeFromVariant(v).date();
            if (!d.isValid())
                throw bindError(name, QStringLiteral("„%1“ nie je dátum.").arg(v.toString()));
            store<ISC_DATE>(p, iscFromDate(d));
            break;
        }
        case SQL_TYPE_TIME: {
            const QTime t = v.typeId() == QMetaType::QTime ? v.toTime() : dateTimeFromVariant(v).time();
            if (!t.isValid())
                throw bindError(name, QStringLiteral("„%1“ nie je čas.").arg(v.toString()));
            store<ISC_TIME>(p, iscFromTime(t));
            break;
        }
        case SQL_TIMESTAMP: {
            const QDateTime dt = dateTimeFromVariant(v);
            if (!dt.isValid())
                throw bindError(name, QStringLiteral("„%1“ nie je dátum a čas.").arg(v.toString()));
            ISC_TIMESTAMP ts;
            ts.timestamp_date = iscFromDate(dt.date());
            ts.timestamp_time = iscFromTime(dt.time());
            store<ISC_TIMESTAMP>(p, ts);
            break;
        }
        case SQL_BOOLEAN:
            *p = v.toBool() ? 1 : 0;
            break;
        case SQL_BLOB:
            store<ISC_QUAD>(p, writeBlob(texts[size_t(i)]));
            break;
        default:
            throw bindError(name, QStringLiteral("nepodporovaný typ parametra."));
        }
    }
}

}  // namespace fb
