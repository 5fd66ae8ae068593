#pragma once

#include "reportengine/ReportValue.h"

#include <QString>

namespace report {

// The language a layout prints in: its number formats and the names of
// months and days.
enum class Language { Slovak, English };

// Display formats in the Slovak manner: decimal comma, a space (no-break)
// between thousands; in English a decimal point and commas between thousands.
// A Slovak month name after the day is in the genitive ("5. marca 2024").
//   numbers: "0", "0.00", ",0.00" or "#,##0.00" (thousands separated),
//            "0.00 €" (text after the pattern is kept), "" (as the value is);
//   dates:   "dd.mm.yyyy", "d.m.yy", "dd.mm.yyyy hh:nn", "mmmm yyyy", "dddd"
//            (m = month, n = minute, h = hour, s = second, as in the layouts);
//   Yes/No:  "Áno;Nie" for a truth value.
// A value the format does not fit (text under a number format) is shown as it is.
QString formatValue(const Value& value, const QString& format, Language language = Language::Slovak);

// Number with the given decimals, a decimal comma (point) and optional thousand groups.
QString formatNumber(Decimal value, int decimals, bool thousands, Language language = Language::Slovak);
QString formatDateTime(const QDateTime& value, const QString& format, Language language = Language::Slovak);

}  // namespace report
