#include "fb/Query.h"

namespace fb {
namespace {

bool isNameStart(QChar c)
{
    return (c.unicode() < 128 && c.isLetter()) || c == QLatin1Char('_');
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || (c.unicode() < 128 && c.isDigit()) || c == QLatin1Char('$');
}

}  // namespace

// Replaces each ":NAME" outside string literals, quoted identifiers and comments
// with "?" and records the names in order.
ParsedSql parseNamedParams(const QString& sql)
{
    ParsedSql out;
    out.text.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // a doubled quote inside stays part of the literal
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const qsizetype end = j < n ? j + 1 : n;
            out.text += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            qsizetype j = sql.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            out.text += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            qsizetype j = sql.indexOf(QLatin1String("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out.text += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameStart(sql[i + 1])) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            out.params.append(sql.mid(i + 1, j - i - 1).toUpper());
            out.text += QLatin1Char('?');
            i = j;
        } else {
            out.text += c;
            ++i;
        }
    }
    return out;
}

}  // namespace fb
