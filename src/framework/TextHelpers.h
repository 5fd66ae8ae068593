#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QVariant>

// Small text and value helpers shared by the windows.

// Joins the next condition to a statement being built: " " + second + " " when
// the upper-cased sql holds the trimmed first word at least n times, otherwise
// " " + first + " ". Called as WhereOrAnd(sql, "where", "and", 1), with n = 2
// when one WHERE already stands in a subquery.
QString WhereOrAnd(const QString& sql, const QString& first, const QString& second, int n);

// The search form of a text: the Slovak (and neighbouring) letters with
// diacritics become their base letters in upper case, ASCII letters are
// upper-cased, everything else stays as it is (Ć, ę, ß keep even their case).
// The server function UPPERQDL2 maps the same letters.
QString ToPlainUpper(const QString& text);

// True for the empty text; with trim also for one made only of spaces and
// control characters.
bool IsBlank(const QString& text, bool trim);

// Neither invalid nor null: a value the database gave or a control holds.
inline bool IsSetValue(const QVariant& value)
{
    return value.isValid() && !value.isNull();
}

// A text for a statement parameter: an empty field goes to the database as ''
// rather than null, as the user saw it.
inline QVariant TextParam(const QString& text)
{
    return text.isNull() ? QString(QLatin1String("")) : text;
}

inline QString IfElseStr(bool flag, const QString& a, const QString& b)
{
    return flag ? a : b;
}

// Empty for null; fb::Decimal as its exact digits; dates "dd.MM.yyyy",
// timestamps with " hh:mm:ss" unless at midnight; anything else as Qt writes it.
QString VariantToText(const QVariant& value);
// A value in a display format of a grid column: ",0.00" (thousands grouped by
// the locale, two decimals, exact for decimals), "dd.mm.yyyy",
// "dd.mm.yyyy hh:nn:ss". Null gives an empty text; another format the plain text.
QString FormatDisplayValue(const QVariant& value, const QString& format);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal.
QString NewGuidText();

// Two upper-case hexadecimal digits per byte.
QString HexText(const QByteArray& bytes);

int YearOf(const QDate& date);
int MonthOf(const QDate& date);

// The smaller / larger of two values (numbers of any kind, fb::Decimal, dates,
// texts). A null argument shows a plain message box and yields null.
QVariant MinVariant(const QVariant& a, const QVariant& b);
QVariant MaxVariant(const QVariant& a, const QVariant& b);

// Orders two values: negative, zero or positive. Numbers compare by value
// across int, qlonglong, double and fb::Decimal; unordered pairs fall back to
// their texts.
int CompareVariants(const QVariant& a, const QVariant& b);
