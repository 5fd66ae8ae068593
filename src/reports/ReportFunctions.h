#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <functional>

// The program's own report functions, offered to report layouts under the
// category "Quendel". Each takes its arguments already evaluated.

// The amount in words of the whole part of |number|: the fraction is cut
// off, not rounded, and gets no words. Null, zero and values that are not
// numbers give the empty text.
QString MoneyToStr(const QVariant& number);

// `input` with every occurrence of `searchFor` replaced (case-sensitive, left
// to right, never rescanning what was inserted); an empty `searchFor` leaves
// the input as it is.
QString ReplaceStr(const QString& input, const QString& searchFor, const QString& replaceWith);

// Carriage return and line feed.
QString NewLineStr();

// The number as money by the user's locale: currency symbol and its place,
// decimals, separators. Null gives the empty text.
QString AsCurrencyStr(const QVariant& number);

// One function as a layout's designer lists it and the engine calls it.
struct ReportFunction {
    QString name;         // upper case, as written in expressions
    QString description;  // "SYNTAX/text"
    int argumentCount;
    std::function<QVariant(const QVariantList& arguments)> call;  // gets exactly argumentCount values
};

// "Quendel"
QString ReportFunctionCategory();

// MONEYTOSTR, REPLACESTR, NEWLINESTR, ASCURRENCYSTR.
const QList<ReportFunction>& ReportFunctions();
