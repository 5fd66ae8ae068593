#include "fb/RowLayout.h"

#include "fb/Decimal.h"
#include "fb/FbApi.h"
#include "fb/Win1250.h"

#include <firebird/Interface.h>

#include <QDateTime>

#include <cstdint>
#include <cstring>

namespace fb {
namespace {

constexpr unsigned kCharsetOctets = 1;
// ISC_DATE counts days from 17 Nov 1858; QDate uses Julian day numbers.
constexpr qint64 kIscDateToJulian = 2400001;

template <typename T>
T load(const unsigned char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

QVariant integerValue(std::int64_t units, int scale, bool big)
{
    if (scale < 0)
        return QVariant::fromValue(Decimal(units, -scale));
    if (big)
        return QVariant(qlonglong(units));
    return QVariant(int(units));
}

QDate dateFromIsc(ISC_DATE d)
{
    return QDate::fromJulianDay(qint64(d) + kIscDateToJulian);
}

QTime timeFromIsc(ISC_TIME t)
{
    return QTime::fromMSecsSinceStartOfDay(int(t / 10));
}

}  // namespace

std::vector<FieldLayout> fieldsOf(Firebird::IMessageMetadata* meta)
{
    return detail::call([&](Firebird::ThrowStatusWrapper* st) {
        std::vector<FieldLayout> out(meta->getCount(st));
        for (unsigned i = 0; i < out.size(); ++i) {
            FieldLayout& s = out[i];
            s.type = meta->getType(st, i) & ~1u;
            s.scale = meta->getScale(st, i);
            s.length = meta->getLength(st, i);
            s.subType = meta->getSubType(st, i);
            s.charset = meta->getCharSet(st, i);
            s.offset = meta->getOffset(st, i);
            s.nullOffset = meta->getNullOffset(st, i);
        }
        return out;
    });
}

bool isBlobField(const FieldLayout& field)
{
    return field.type == SQL_BLOB;
}

bool isNullField(const FieldLayout& field, const unsigned char* message)
{
    return load<short>(message + field.nullOffset) != 0;
}

QVariant decodeField(const FieldLayout& s, const unsigned char* message)
{
    if (isNullField(s, message))
        return {};
    const unsigned char* p = message + s.offset;
    switch (s.type) {
    case SQL_VARYING: {
        const auto len = load<unsigned short>(p);
        const char* chars = reinterpret_cast<const char*>(p + 2);
        if (s.charset == kCharsetOctets)
            return QByteArray(chars, len);
        return text::fromWin1250(chars, len);
    }
    case SQL_TEXT: {
        const char* chars = reinterpret_cast<const char*>(p);
        if (s.charset == kCharsetOctets)
            return QByteArray(chars, int(s.length));
        return text::fromWin1250(chars, int(s.length));
    }
    case SQL_SHORT:
        return integerValue(load<std::int16_t>(p), s.scale, false);
    case SQL_LONG:
        return integerValue(load<std::int32_t>(p), s.scale, false);
    case SQL_INT64:
        return integerValue(load<std::int64_t>(p), s.scale, true);
    case SQL_FLOAT:
        return double(load<float>(p));
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        return load<double>(p);
    case SQL_TYPE_DATE:
        return dateFromIsc(load<ISC_DATE>(p));
    case SQL_TYPE_TIME:
        return timeFromIsc(load<ISC_TIME>(p));
    case SQL_TIMESTAMP: {
        const auto ts = load<ISC_TIMESTAMP>(p);
        // a wall-clock value without a zone: Qt::UTC keeps it free of zone rules
        // (no daylight-saving gaps, no look-up of the system zone per value)
        return QDateTime(dateFromIsc(ts.timestamp_date), timeFromIsc(ts.timestamp_time), Qt::UTC);
    }
    case SQL_BOOLEAN:
        return bool(*p);
    default:
        return {};
    }
}

}  // namespace fb
