#include "reportengine/ReportFormat.h"

#include <cmath>

namespace report {

namespace {

const QChar kThousands(0x00A0);

const char* const kMonths[] = {"január", "február", "marec",     "apríl",   "máj",      "jún",
                               "júl",    "august",  "september", "október", "november", "december"};
// After a day: "5. marca".
const char* const kMonthsGenitive[] = {"januára", "februára",  "marca",    "apríla",   "mája",     "júna",
                                       "júla",    "augusta",   "septembra", "októbra", "novembra", "decembra"};
const char* const kMonthsEn[] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
const char* const kDaysEn[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};
const char* const kMonthsShort[] = {"jan", "feb", "mar", "apr", "máj", "jún",
                                    "júl", "aug", "sep", "okt", "nov", "dec"};
const char* const kDays[] = {"pondelok", "utorok", "streda", "štvrtok", "piatok", "sobota", "nedeľa"};
const char* const kDaysShort[] = {"po", "ut", "st", "št", "pi", "so", "ne"};

bool isDateFormat(const QString& f)
{
    bool date = false;
    for (QChar c : f) {
        const QChar l = c.toLower();
        if (l == u'0' || l == u'#')
            return false;
        if (l == u'd' || l == u'y' || l == u'm' || l == u'h' || l == u'n')
            date = true;
    }
    return date;
}

int runLength(const QString& f, int i)
{
    int n = 1;
    while (i + n < f.size() && f[i + n].toLower() == f[i].toLower())
        ++n;
    return n;
}

}  // namespace

QString formatNumber(Decimal value, int decimals, bool thousands, Language language)
{
    const bool english = language == Language::English;
    QString plain = value.toString(decimals);  // "-1234.50"
    const bool negative = plain.startsWith(u'-');
    if (negative)
        plain.remove(0, 1);
    const int point = plain.indexOf(u'.');
    QString whole = point < 0 ? plain : plain.left(point);
    const QString frac = point < 0 ? QString() : plain.mid(point + 1);
    if (thousands)
        for (int i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, english ? QChar(u',') : kThousands);
    QString out = whole;
    if (!frac.isEmpty())
        out += (english ? u'.' : u',') + frac;
    const bool zero = value.rounded(decimals).isZero();
    return negative && !zero ? u'-' + out : out;
}

QString formatDateTime(const QDateTime& value, const QString& f, Language language)
{
    if (!value.isValid())
        return {};
    const bool english = language == Language::English;
    const QDate d = value.date();
    const QTime t = value.time();
    QString out;
    bool afterHour = false;
    bool afterDay = false;  // a day number came before: a Slovak month name takes the genitive
    for (int i = 0; i < f.size();) {
        const QChar c = f[i];
        const QChar l = c.toLower();
        if (c == u'"' || c == u'\'') {
            const int end = f.indexOf(c, i + 1);
            out += f.mid(i + 1, (end < 0 ? f.size() : end) - i - 1);
            i = end < 0 ? f.size() : end + 1;
            continue;
        }
        const int n = runLength(f, i);
        if (l == u'd') {
            if (n == 1) out += QString::number(d.day());
            else if (n == 2) out += QString::number(d.day()).rightJustified(2, u'0');
            else if (n == 3) out += english ? QString::fromUtf8(kDaysEn[d.dayOfWeek() - 1]).left(3)
                                            : QString::fromUtf8(kDaysShort[d.dayOfWeek() - 1]);
            else out += QString::fromUtf8((english ? kDaysEn : kDays)[d.dayOfWeek() - 1]);
            afterDay = afterDay || n <= 2;
        } else if (l == u'm') {
            // "mm" right after an hour means minutes, as the older layouts wrote it.
            if (afterHour && n <= 2) out += QString::number(t.minute()).rightJustified(n, u'0');
            else if (n == 1) out += QString::number(d.month());
            else if (n == 2) out += QString::number(d.month()).rightJustified(2, u'0');
            else if (n == 3) out += english ? QString::fromUtf8(kMonthsEn[d.month() - 1]).left(3)
                                            : QString::fromUtf8(kMonthsShort[d.month() - 1]);
            else out += QString::fromUtf8((english ? kMonthsEn : afterDay ? kMonthsGenitive : kMonths)[d.month() - 1]);
        } else if (l == u'y') {
            out += n <= 2 ? QString::number(d.year() % 100).rightJustified(2, u'0') : QString::number(d.year());
        } else if (l == u'h') {
            out += QString::number(t.hour()).rightJustified(n >= 2 ? 2 : 1, u'0');
        } else if (l == u'n') {
            out += QString::number(t.minute()).rightJustified(n >= 2 ? 2 : 1, u'0');
        } else if (l == u's') {
            out += QString::number(t.second()).rightJustified(n >= 2 ? 2 : 1, u'0');
        } else {
            out += f.mid(i, n);
        }
        if (l == u'h') afterHour = true;
        else if (l != u':' && !l.isSpace()) afterHour = false;
        i += n;
    }
    return out;
}

QString formatValue(const Value& value, const QString& format, Language language)
{
    if (value.isNull())
        return {};
    const bool english = language == Language::English;
    // As the value is, in the layout's language.
    auto plain = [&] {
        if (!english)
            return value.toText();
        if (value.kind() == Value::Kind::Bool)
            return value.toBool() ? QStringLiteral("Yes") : QStringLiteral("No");
        if (value.kind() == Value::Kind::Number)
            return value.toDecimal().toString();
        if (value.kind() == Value::Kind::Float)
            return QString::number(value.toDouble(), 'g', 15);
        return value.toText();
    };
    if (format.isEmpty())
        return plain();
    if (value.kind() == Value::Kind::Bool) {
        const int semi = format.indexOf(u';');
        if (semi >= 0)
            return value.toBool() ? format.left(semi) : format.mid(semi + 1);
        return plain();
    }
    if (value.kind() == Value::Kind::Date || value.kind() == Value::Kind::DateTime) {
        if (isDateFormat(format))
            return formatDateTime(value.toDateTime(), format, language);
        return value.toText();
    }
    if (!value.isNumeric()) {
        if (value.kind() == Value::Kind::Text && isDateFormat(format)) {
            // A date that came as text ("2024-03-01") still takes a date format.
            const QDateTime dt = QDateTime::fromString(value.textValue(), Qt::ISODate);
            if (dt.isValid())
                return formatDateTime(dt, format, language);
        }
        if (value.kind() != Value::Kind::Text || !Decimal::fromString(value.textValue()))
            return plain();
    }
    // A number pattern: the run of 0 # , . and the text around it.
    int start = -1, end = -1;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'0' || c == u'#' || c == u',' || c == u'.') {
            if (start < 0) start = i;
            end = i + 1;
        } else if (start >= 0) {
            break;
        }
    }
    if (start < 0)
        return plain();
    const QString pattern = format.mid(start, end - start);
    const int point = pattern.indexOf(u'.');
    const int decimals = point < 0 ? 0 : int(pattern.size() - point - 1);
    const bool thousands = pattern.contains(u',');
    Decimal d;
    if (value.kind() == Value::Kind::Float) {
        const auto fd = Decimal::fromDouble(value.toDouble());
        if (!fd)
            return plain();
        d = *fd;
    } else {
        d = value.toDecimal();
    }
    return format.left(start) + formatNumber(d, std::min(decimals, Decimal::kMaxScale), thousands, language) +
           format.mid(end);
}

}  // namespace report
