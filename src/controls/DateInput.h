#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// The typing rules of the date and time edits, kept apart from the widgets so
// that tests can call them directly.

enum class DateInputError {
    None,
    UnknownCommand,  // a sign not first, or more than one sign
    NoDate,          // +N / -N with no date shown
    ImpossibleDate,  // 31 February and the like
};

struct DateInputResult {
    DateInputError error = DateInputError::None;
    QDate date;  // valid when error is None
    bool ok() const { return error == DateInputError::None; }
};

// Years of one or two digits: 2000 + yy up to this pivot's yy (29), else 1900 + yy.
constexpr int TwoDigitYearPivot = 2029;
int ExpandYear(int year, int digits);

// Interprets typed text (non-empty) relative to the date shown before (may be
// null) and today:
//   "+N" / "-N": N days from the shown date (N = 0 when not a number);
//   otherwise characters 1-2 day, 3-4 month, 5-8 year; missing or non-numeric
//   parts come from the shown date, or (none shown) from today.
DateInputResult ParseDateInput(const QString& text, const QDate& shown, const QDate& today);

// The message a failed input shows (empty for None).
QString DateInputMessage(DateInputError error);

// 1 January of (today's year - 80) to 31 December of (today's year + 5).
bool IsPlausibleDate(const QDate& date, const QDate& today);

// "ddmmyyyy" (typing form) and "dd.mm.yyyy" (display form); empty for null.
QString DateTypingText(const QDate& date);
QString DateDisplayText(const QDate& date);

struct TimeInputResult {
    bool ok = false;
    QTime time;
};

// Characters 1-2 hours, 3-4 minutes; missing or non-numeric parts come from
// the time shown before (or 0 when none is shown). Hours above 23 or minutes
// above 59 fail.
TimeInputResult ParseTimeInput(const QString& text, const QTime& shown);

// "hhnn" and "hh:nn"; empty for null.
QString TimeTypingText(const QTime& time);
QString TimeDisplayText(const QTime& time);
