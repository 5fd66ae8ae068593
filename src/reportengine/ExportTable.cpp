// Writers over the master band's rows and columns: CSV, HTML table,
// Excel 2003 XML and XLSX. Numbers stay numbers and dates dates.

#include "reportengine/ReportExport.h"

#include "reportengine/ReportError.h"
#include "reportengine/ReportFormat.h"


#include <xlsxwriter.h>

namespace report {

namespace {

bool isNumberFormat(const QString& f)
{
    return f.contains(u'0') || f.contains(u'#');
}

int formatDecimals(const QString& f)
{
    const int point = f.indexOf(u'.');
    if (point < 0)
        return 0;
    int n = 0;
    for (int i = point + 1; i < f.size() && (f[i] == u'0' || f[i] == u'#'); ++i)
        ++n;
    return n;
}

// A text a spreadsheet would run as a formula ("=HYPERLINK(...)", "-2+3",
// "@SUM"), or one starting with a tab or carriage return, gets a leading
// apostrophe, so it opens as the text it is.
QString neutralised(const QString& text)
{
    if (!text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front()))
        return u'\'' + text;
    return text;
}

Language languageOf(const PreparedReport& report)
{
    return report.layout ? report.layout->language : Language::Slovak;
}

// A cell as text for CSV: numbers with a decimal comma and no thousand
// groups, for a spreadsheet that reads ';'-separated files (one on a Slovak
// desktop) to take back as numbers, negative ones too; dates as formatted in
// the layout's language, texts neutralised.
QString csvCell(const Value& v, const QString& format, Language language)
{
    if (v.isNumeric()) {
        if (isNumberFormat(format))
            return formatNumber(v.toDecimal(), std::min(formatDecimals(format), Decimal::kMaxScale), false);
        return v.toText();
    }
    return neutralised(formatValue(v, format, language));
}

QString csvQuote(const QString& s, QChar separator)
{
    if (s.contains(separator) || s.contains(u'"') || s.contains(u'\n') || s.contains(u'\r'))
        return u'"' + QString(s).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
    return s;
}

// Escaped for XML; control characters other than tab, line feed and carriage
// return (a vertical tab pasted from a word processor) cannot stand in XML 1.0
// at all, so they are left out.
QString xmlEscape(const QString& s)
{
    QString out = s.toHtmlEscaped();
    out.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF;
    });
    return out;
}

// A display format as a spreadsheet number format.
QString sheetFormat(const Value& v, const QString& format)
{
    if (v.kind() == Value::Kind::Date || v.kind() == Value::Kind::DateTime) {
        if (format.isEmpty())
            return v.kind() == Value::Kind::Date || v.toDateTime().time() == QTime(0, 0) ? QStringLiteral("dd.mm.yyyy")
                                                                                        : QStringLiteral("dd.mm.yyyy hh:mm");
        return QString(format).replace(QStringLiteral("nn"), QStringLiteral("mm"));
    }
    if (v.isNumeric() && isNumberFormat(format)) {
        const int decimals = formatDecimals(format);
        QString f = format.contains(u',') ? QStringLiteral("#,##0") : QStringLiteral("0");
        if (decimals > 0)
            f += u'.' + QString(decimals, u'0');
        return f;
    }
    return {};
}

// Days since 1899-12-30 with the time as a fraction, as spreadsheets count.
double serialDate(const QDateTime& dt)
{
    const qint64 days = QDate(1899, 12, 30).daysTo(dt.date());
    return double(days) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

}  // namespace

QString sheetName(const QString& title)
{
    // Spreadsheets refuse []:*?/\ and control characters in a sheet's name, an
    // apostrophe at either end, more than 31 characters and "History".
    QString name = title;
    name.removeIf([](QChar c) { return c.unicode() < 0x20 || QStringView(u"[]:*?/\\").contains(c); });
    auto trim = [&name] {
        name = name.trimmed();
        while (name.startsWith(u'\'') || name.endsWith(u'\''))
            name = (name.startsWith(u'\'') ? name.mid(1) : name.chopped(1)).trimmed();
    };
    trim();
    if (name.size() > 31) {
        name.truncate(name.at(30).isHighSurrogate() ? 30 : 31);
        trim();
    }
    if (name.isEmpty() || name.compare(QStringLiteral("History"), Qt::CaseInsensitive) == 0)
        name = QStringLiteral("Zostava");
    return name;
}

QString csvText(const PreparedReport& report, QChar separator)
{
    QString out;
    QStringList header;
    for (const TableColumn& c : report.columns)
        header << csvQuote(neutralised(c.header), separator);
    out += header.join(separator) + QStringLiteral("\r\n");
    for (const auto& row : report.rows) {
        QStringList cells;
        for (size_t i = 0; i < row.size() && i < report.columns.size(); ++i)
            cells << csvQuote(csvCell(row[i], report.columns[i].format, languageOf(report)), separator);
        out += cells.join(separator) + QStringLiteral("\r\n");
    }
    return out;
}

QString htmlTable(const PreparedReport& report)
{
    QString out = QStringLiteral("<!DOCTYPE html>\n<html lang=\"sk\"><head><meta charset=\"utf-8\"><title>%1</title>\n"
                                 "<style>table{border-collapse:collapse}th,td{border:1px solid #999;padding:2px 4px}"
                                 "th{background:#ddd}td.n{text-align:right}</style></head><body>\n")
                      .arg(xmlEscape(report.title));
    if (!report.title.isEmpty())
        out += QStringLiteral("<h1>%1</h1>\n").arg(xmlEscape(report.title));
    out += QStringLiteral("<table>\n<tr>");
    for (const TableColumn& c : report.columns)
        out += QStringLiteral("<th>%1</th>").arg(xmlEscape(c.header));
    out += QStringLiteral("</tr>\n");
    for (const auto& row : report.rows) {
        out += QStringLiteral("<tr>");
        for (size_t i = 0; i < row.size() && i < report.columns.size(); ++i) {
            const QString text = formatValue(row[i], report.columns[i].format, languageOf(report));
            out += row[i].isNumeric() ? QStringLiteral("<td class=\"n\">%1</td>").arg(xmlEscape(text))
                                      : QStringLiteral("<td>%1</td>").arg(xmlEscape(text).replace(u'\n', QStringLiteral("<br>")));
        }
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</table>\n</body></html>\n");
    return out;
}

QString excelXml(const PreparedReport& report)
{
    // Styles are collected first: one per distinct number format.
    QStringList formats;
    auto styleOf = [&formats](const QString& f) {
        if (f.isEmpty())
            return QString();
        int i = int(formats.indexOf(f));
        if (i < 0) {
            formats << f;
            i = int(formats.size()) - 1;
        }
        return QStringLiteral("f%1").arg(i);
    };
    QString rows;
    rows += QStringLiteral("<Row>");
    for (const TableColumn& c : report.columns)
        rows += QStringLiteral("<Cell ss:StyleID=\"h\"><Data ss:Type=\"String\">%1</Data></Cell>").arg(xmlEscape(c.header));
    rows += QStringLiteral("</Row>\n");
    for (const auto& row : report.rows) {
        rows += QStringLiteral("<Row>");
        for (size_t i = 0; i < row.size() && i < report.columns.size(); ++i) {
            const Value& v = row[i];
            const QString& format = report.columns[i].format;
            if (v.isNull()) {
                rows += QStringLiteral("<Cell/>");
            } else if (v.isNumeric()) {
                const QString style = styleOf(sheetFormat(v, format));
                const QString number = v.kind() == Value::Kind::Float ? QString::number(v.toDouble(), 'g', 15)
                                                                      : v.toDecimal().toString();
                rows += QStringLiteral("<Cell%1><Data ss:Type=\"Number\">%2</Data></Cell>")
                            .arg(style.isEmpty() ? QString() : QStringLiteral(" ss:StyleID=\"%1\"").arg(style), number);
            } else if (v.kind() == Value::Kind::Date || v.kind() == Value::Kind::DateTime) {
                rows += QStringLiteral("<Cell ss:StyleID=\"%1\"><Data ss:Type=\"DateTime\">%2</Data></Cell>")
                            .arg(styleOf(sheetFormat(v, format)), v.toDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")));
            } else {
                rows += QStringLiteral("<Cell><Data ss:Type=\"String\">%1</Data></Cell>").arg(xmlEscape(formatValue(v, format, languageOf(report))));
            }
        }
        rows += QStringLiteral("</Row>\n");
    }
    QString out = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n"
        "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
        "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\n<Styles>\n"
        "<Style ss:ID=\"h\"><Font ss:Bold=\"1\"/></Style>\n");
    for (int i = 0; i < formats.size(); ++i)
        out += QStringLiteral("<Style ss:ID=\"f%1\"><NumberFormat ss:Format=\"%2\"/></Style>\n").arg(i).arg(xmlEscape(formats[i]));
    out += QStringLiteral("</Styles>\n<Worksheet ss:Name=\"%1\">\n<Table>\n").arg(xmlEscape(sheetName(report.title)));
    out += rows;
    out += QStringLiteral("</Table>\n</Worksheet>\n</Workbook>\n");
    return out;
}

void exportXlsx(const PreparedReport& report, const QString& fileName)
{
    const QByteArray name = fileName.toLocal8Bit();
    lxw_workbook* workbook = workbook_new(name.constData());
    if (!workbook)
        throw Error(QStringLiteral("Súbor %1 sa nedá zapísať.").arg(fileName));
    lxw_worksheet* sheet = workbook_add_worksheet(workbook, sheetName(report.title).toUtf8().constData());
    if (!sheet) {
        workbook_close(workbook);
        throw Error(QStringLiteral("Súbor %1 sa nedá zapísať: neplatný názov hárka.").arg(fileName));
    }
    lxw_format* bold = workbook_add_format(workbook);
    format_set_bold(bold);
    QHash<QString, lxw_format*> numberFormats;
    auto formatFor = [&](const QString& f) -> lxw_format* {
        if (f.isEmpty())
            return nullptr;
        auto it = numberFormats.find(f);
        if (it == numberFormats.end()) {
            lxw_format* fmt = workbook_add_format(workbook);
            format_set_num_format(fmt, f.toUtf8().constData());
            it = numberFormats.insert(f, fmt);
        }
        return *it;
    };
    for (size_t c = 0; c < report.columns.size(); ++c)
        worksheet_write_string(sheet, 0, lxw_col_t(c), report.columns[c].header.toUtf8().constData(), bold);
    lxw_row_t r = 1;
    for (const auto& row : report.rows) {
        for (size_t c = 0; c < row.size() && c < report.columns.size(); ++c) {
            const Value& v = row[c];
            const QString& format = report.columns[c].format;
            if (v.isNull())
                continue;
            if (v.isNumeric())
                worksheet_write_number(sheet, r, lxw_col_t(c), v.toDouble(), formatFor(sheetFormat(v, format)));
            else if (v.kind() == Value::Kind::Date || v.kind() == Value::Kind::DateTime)
                worksheet_write_number(sheet, r, lxw_col_t(c), serialDate(v.toDateTime()), formatFor(sheetFormat(v, format)));
            else
                worksheet_write_string(sheet, r, lxw_col_t(c), formatValue(v, format, languageOf(report)).toUtf8().constData(), nullptr);
        }
        ++r;
    }
    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR)
        throw Error(QStringLiteral("Súbor %1 sa nedá zapísať: %2").arg(fileName, QString::fromUtf8(lxw_strerror(error))));
}

}  // namespace report
