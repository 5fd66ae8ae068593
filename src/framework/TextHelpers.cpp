#include "framework/TextHelpers.h"

#include "fb/Decimal.h"
#include "framework/Messages.h"

#include <QLocale>
#include <QUuid>

#include <algorithm>
#include <limits>
#include <optional>

QString WhereOrAnd(const QString& sql, const QString& first, const QString& second, int n)
{
    const QString word = first.trimmed().toUpper();
    const qsizetype count = word.isEmpty() ? 0 : sql.toUpper().count(word);
    return QLatin1Char(' ') + (count >= n ? second : first) + QLatin1Char(' ');
}

namespace {

char16_t plainLetter(char16_t c)
{
    switch (c) {
    case u'Š': case u'š': case u'Ś': case u'ś':
        return u'S';
    case u'Ť': case u'ť':
        return u'T';
    case u'Ž': case u'ž': case u'Ź': case u'ź':
        return u'Z';
    case u'Ł': case u'ł': case u'Ľ': case u'ľ': case u'Ĺ': case u'ĺ':
        return u'L';
    case u'Ŕ': case u'ŕ': case u'Ř': case u'ř':
        return u'R';
    case u'Á': case u'á': case u'Ä': case u'ä':
        return u'A';
    case u'Č': case u'č':
        return u'C';
    case u'É': case u'é': case u'Ě': case u'ě':
        return u'E';
    case u'Í': case u'í':
        return u'I';
    case u'Ď': case u'ď':
        return u'D';
    case u'Ň': case u'ň':
        return u'N';
    case u'Ó': case u'ó': case u'Ô': case u'ô': case u'Ő': case u'ő': case u'Ö': case u'ö':
        return u'O';
    case u'Ů': case u'ů': case u'Ú': case u'ú': case u'Ű': case u'ű': case u'Ü': case u'ü':
        return u'U';
    case u'Ý': case u'ý':
        return u'Y';
    default:
        if (c >= u'a' && c <= u'z')
            return char16_t(c - u'a' + u'A');
        return c;
    }
}

}  // namespace

QString ToPlainUpper(const QString& text)
{
    QString out = text;
    for (QChar& c : out)
        c = QChar(plainLetter(c.unicode()));
    return out;
}

bool IsBlank(const QString& text, bool trim)
{
    if (!trim)
        return text.isEmpty();
    for (QChar c : text)
        if (c.unicode() > u' ')
            return false;
    return true;
}

QString VariantToText(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.metaType() == QMetaType::fromType<fb::Decimal>())
        return value.value<fb::Decimal>().toString();
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.toString(QStringLiteral("dd.MM.yyyy"));
        return dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    default:
        return value.toString();
    }
}

QString FormatDisplayValue(const QVariant& value, const QString& format)
{
    if (value.isNull() || format.isEmpty())
        return VariantToText(value);
    if (format == QLatin1String(",0.00")) {
        std::optional<fb::Decimal> d;
        if (value.metaType() == QMetaType::fromType<fb::Decimal>())
            d = value.value<fb::Decimal>().rescaled(2);
        else
            d = fb::Decimal::fromDouble(value.toDouble()).value_or(fb::Decimal()).rescaled(2);
        if (!d)
            return VariantToText(value);
        const QString plain = d->toString();  // "-1234.50"
        const bool negative = plain.startsWith(QLatin1Char('-'));
        const qsizetype dot = plain.indexOf(QLatin1Char('.'));
        const QString digits = plain.mid(negative ? 1 : 0, dot - (negative ? 1 : 0));
        const QLocale locale;
        QString grouped;
        for (qsizetype i = 0; i < digits.size(); ++i) {
            if (i > 0 && (digits.size() - i) % 3 == 0)
                grouped += locale.groupSeparator();
            grouped += digits[i];
        }
        return (negative ? locale.negativeSign() : QString()) + grouped + locale.decimalPoint() + plain.mid(dot + 1);
    }
    if (format == QLatin1String("dd.mm.yyyy")) {
        const QDate date = value.metaType().id() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
        return date.toString(QStringLiteral("dd.MM.yyyy"));
    }
    if (format == QLatin1String("dd.mm.yyyy hh:nn:ss"))
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    return VariantToText(value);
}

QString NewGuidText()
{
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QString HexText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes.toHex()).toUpper();
}

int YearOf(const QDate& date)
{
    return date.year();
}

int MonthOf(const QDate& date)
{
    return date.month();
}

namespace {

// Integers and decimals as one exact kind; nothing for other values.
std::optional<fb::Decimal> exactNumber(const QVariant& v)
{
    if (v.metaType() == QMetaType::fromType<fb::Decimal>())
        return v.value<fb::Decimal>();
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::SChar:
        return fb::Decimal(v.toLongLong(), 0);
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        if (v.toULongLong() <= quint64(std::numeric_limits<qint64>::max()))
            return fb::Decimal(v.toLongLong(), 0);
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

bool isNumber(const QVariant& v)
{
    if (exactNumber(v))
        return true;
    const int id = v.metaType().id();
    return id == QMetaType::Double || id == QMetaType::Float;
}

double toDouble(const QVariant& v)
{
    if (v.metaType() == QMetaType::fromType<fb::Decimal>())
        return v.value<fb::Decimal>().toDouble();
    return v.toDouble();
}

template <typename T>
int sign(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

QVariant pick(const QVariant& a, const QVariant& b, bool wantMin, const char* name)
{
    if (a.isNull() || b.isNull()) {
        PlainMessageBox(QString::fromLatin1(name) + QStringLiteral(" obsahuje \"null\" parameter"));
        return {};
    }
    const int c = CompareVariants(a, b);
    if (wantMin)
        return c <= 0 ? a : b;
    return c >= 0 ? a : b;
}

}  // namespace

int CompareVariants(const QVariant& a, const QVariant& b)
{
    const auto ea = exactNumber(a);
    const auto eb = exactNumber(b);
    if (ea && eb) {
        const int scale = std::max(ea->scale(), eb->scale());
        const auto ra = ea->rescaled(scale);
        const auto rb = eb->rescaled(scale);
        if (ra && rb)
            return sign(ra->units(), rb->units());
    }
    if (isNumber(a) && isNumber(b))
        return sign(toDouble(a), toDouble(b));
    const QPartialOrdering order = QVariant::compare(a, b);
    if (order == QPartialOrdering::Less)
        return -1;
    if (order == QPartialOrdering::Greater)
        return 1;
    if (order == QPartialOrdering::Equivalent)
        return 0;
    return sign(a.toString(), b.toString());
}

QVariant MinVariant(const QVariant& a, const QVariant& b)
{
    return pick(a, b, true, "MinVariant");
}

QVariant MaxVariant(const QVariant& a, const QVariant& b)
{
    return pick(a, b, false, "MaxVariant");
}
