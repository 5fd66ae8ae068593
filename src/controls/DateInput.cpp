#include "controls/DateInput.h"

namespace {

// The number in text[from, from+len) when it is all digits and not empty.
bool numberAt(const QString& text, int from, int len, int* value, int* digits = nullptr)
{
    const QString part = text.mid(from, len);
    if (part.isEmpty())
        return false;
    for (QChar c : part) {
        if (!c.isDigit())
            return false;
    }
    *value = part.toInt();
    if (digits)
        *digits = int(part.size());
    return true;
}

}  // namespace

int ExpandYear(int year, int digits)
{
    if (digits <= 2)
        return year <= TwoDigitYearPivot % 100 ? 2000 + year : 1900 + year;
    return year;
}

DateInputResult ParseDateInput(const QString& text, const QDate& shown, const QDate& today)
{
    DateInputResult result;
    const int plus = int(text.count(QLatin1Char('+')));
    const int minus = int(text.count(QLatin1Char('-')));
    if (plus + minus > 0) {
        const bool first = text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-'));
        if (plus + minus > 1 || !first) {
            result.error = DateInputError::UnknownCommand;
            return result;
        }
        if (!shown.isValid()) {
            result.error = DateInputError::NoDate;
            return result;
        }
        bool isNumber = false;
        const qint64 n = text.mid(1).toLongLong(&isNumber);
        const qint64 days = isNumber ? n : 0;
        result.date = shown.addDays(text.startsWith(QLatin1Char('+')) ? days : -days);
        if (!result.date.isValid())
            result.error = DateInputError::ImpossibleDate;
        return result;
    }
    const QDate base = shown.isValid() ? shown : today;
    int day = base.day(), month = base.month(), year = base.year();
    int value = 0, digits = 0;
    if (numberAt(text, 0, 2, &value))
        day = value;
    if (numberAt(text, 2, 2, &value))
        month = value;
    if (numberAt(text, 4, 4, &value, &digits))
        year = ExpandYear(value, digits);
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1) {
        result.error = DateInputError::ImpossibleDate;
        return result;
    }
    result.date = date;
    return result;
}

QString DateInputMessage(DateInputError error)
{
    switch (error) {
    case DateInputError::None:
        return {};
    case DateInputError::UnknownCommand:
        return QStringLiteral("Neznámy príkaz!\r\n\r\nMusíte použiť napr. +13 alebo -7.");
    case DateInputError::NoDate:
        return QStringLiteral("Nebol zadaný žiadny dátum! Funkciu nie je možné vykonať.");
    case DateInputError::ImpossibleDate:
        return QStringLiteral("Nesprávny dátum! Opravte hodnotu.");
    }
    return {};
}

bool IsPlausibleDate(const QDate& date, const QDate& today)
{
    if (!date.isValid())
        return true;
    return date >= QDate(today.year() - 80, 1, 1) && date <= QDate(today.year() + 5, 12, 31);
}

QString DateTypingText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1%2%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString DateDisplayText(const QDate& date)
{
    if (!date.isValid())
        return {};
    return QStringLiteral("%1.%2.%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

TimeInputResult ParseTimeInput(const QString& text, const QTime& shown)
{
    TimeInputResult result;
    int hour = shown.isValid() ? shown.hour() : 0;
    int minute = shown.isValid() ? shown.minute() : 0;
    int value = 0;
    if (numberAt(text, 0, 2, &value))
        hour = value;
    if (numberAt(text, 2, 2, &value))
        minute = value;
    if (hour > 23 || minute > 59)
        return result;
    result.ok = true;
    result.time = QTime(hour, minute);
    return result;
}

QString TimeTypingText(const QTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("HHmm")) : QString();
}

QString TimeDisplayText(const QTime& time)
{
    return time.isValid() ? time.toString(QStringLiteral("HH:mm")) : QString();
}
