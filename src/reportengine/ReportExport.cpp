#include "reportengine/ReportExport.h"

#include "reportengine/ReportError.h"

#include <QFileInfo>
#include <QSaveFile>

namespace report {

const std::vector<ExportFormatInfo>& exportFormats()
{
    static const std::vector<ExportFormatInfo> formats = {
        {ExportFormat::Pdf, QStringLiteral("pdf"), QStringLiteral("pdf"), QStringLiteral("Dokument PDF")},
        {ExportFormat::Html, QStringLiteral("html"), QStringLiteral("html"), QStringLiteral("HTML (stránky)")},
        {ExportFormat::HtmlTable, QStringLiteral("htmltable"), QStringLiteral("htm"), QStringLiteral("HTML tabuľka")},
        {ExportFormat::Rtf, QStringLiteral("rtf"), QStringLiteral("rtf"), QStringLiteral("Dokument RTF")},
        {ExportFormat::Csv, QStringLiteral("csv"), QStringLiteral("csv"), QStringLiteral("CSV (oddeľovač ;)")},
        {ExportFormat::Text, QStringLiteral("txt"), QStringLiteral("txt"), QStringLiteral("Čistý text")},
        {ExportFormat::FormattedText, QStringLiteral("formattedtxt"), QStringLiteral("prn"), QStringLiteral("Formátovaný text")},
        {ExportFormat::Xlsx, QStringLiteral("xlsx"), QStringLiteral("xlsx"), QStringLiteral("Excel (XLSX)")},
        {ExportFormat::ExcelXml, QStringLiteral("xml"), QStringLiteral("xml"), QStringLiteral("Excel 2003 (XML)")},
        {ExportFormat::Svg, QStringLiteral("svg"), QStringLiteral("svg"), QStringLiteral("Obrázok SVG (strana)")},
        {ExportFormat::Png, QStringLiteral("png"), QStringLiteral("png"), QStringLiteral("Obrázok PNG (strana)")},
    };
    return formats;
}

std::optional<ExportFormat> exportFormatFromName(const QString& name)
{
    for (const ExportFormatInfo& f : exportFormats())
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return f.format;
    for (const ExportFormatInfo& f : exportFormats())
        if (f.suffix.compare(name, Qt::CaseInsensitive) == 0)
            return f.format;
    return std::nullopt;
}

const ExportFormatInfo& exportFormatInfo(ExportFormat format)
{
    for (const ExportFormatInfo& f : exportFormats())
        if (f.format == format)
            return f;
    return exportFormats().front();
}

std::pair<ExportFormat, QString> saveTarget(const QString& typedName, ExportFormat selected)
{
    const QString suffix = QFileInfo(typedName).suffix();
    if (suffix.isEmpty())
        return {selected, typedName + u'.' + exportFormatInfo(selected).suffix};
    for (const ExportFormatInfo& f : exportFormats())
        if (f.suffix.compare(suffix, Qt::CaseInsensitive) == 0)
            return {f.format, typedName};
    return {selected, typedName};
}

namespace {

void writeText(const QString& fileName, const QString& text, const QByteArray& prefix = {})
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(prefix + text.toUtf8()) < 0 || !file.commit())
        throw Error(QStringLiteral("Súbor %1 sa nedá zapísať: %2").arg(fileName, file.errorString()));
}

}  // namespace

QStringList exportReport(const PreparedReport& report, ExportFormat format, const QString& fileName)
{
    switch (format) {
    case ExportFormat::Pdf: exportPdf(report, fileName); break;
    case ExportFormat::Svg: return exportSvg(report, fileName);
    case ExportFormat::Png: return exportPng(report, fileName);
    case ExportFormat::Xlsx: exportXlsx(report, fileName); break;
    case ExportFormat::Html: writeText(fileName, htmlPages(report)); break;
    case ExportFormat::HtmlTable: writeText(fileName, htmlTable(report)); break;
    case ExportFormat::Rtf: writeText(fileName, rtfText(report)); break;
    // The byte order mark tells a spreadsheet the file is UTF-8 (diacritics).
    case ExportFormat::Csv: writeText(fileName, csvText(report), QByteArrayLiteral("\xEF\xBB\xBF")); break;
    case ExportFormat::Text: writeText(fileName, plainText(report)); break;
    case ExportFormat::FormattedText: writeText(fileName, formattedText(report)); break;
    case ExportFormat::ExcelXml: writeText(fileName, excelXml(report)); break;
    }
    return {fileName};
}

}  // namespace report
