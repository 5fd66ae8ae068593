#pragma once

#include "reportengine/ReportPages.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace report {

enum class ExportFormat { Pdf, Html, HtmlTable, Rtf, Csv, Text, FormattedText, Xlsx, ExcelXml, Svg, Png };

struct ExportFormatInfo {
    ExportFormat format;
    QString name;         // as the command line names it: "pdf", "csv", ...
    QString suffix;       // file name suffix without the dot
    QString description;  // for a save dialog's filter
};

const std::vector<ExportFormatInfo>& exportFormats();
std::optional<ExportFormat> exportFormatFromName(const QString& name);   // name or suffix, any case
const ExportFormatInfo& exportFormatInfo(ExportFormat format);

// Writes the report; returns the files written (SVG and PNG write one file a
// page: "name_1.svg", ... when there is more than one). Throws report::Error.
QStringList exportReport(const PreparedReport& report, ExportFormat format, const QString& fileName);

// The writers, each over the prepared pages or over the master band's table.
void exportPdf(const PreparedReport& report, const QString& fileName);
QStringList exportSvg(const PreparedReport& report, const QString& fileName);
QStringList exportPng(const PreparedReport& report, const QString& fileName, double dpi = 150);
QString htmlPages(const PreparedReport& report);
QString rtfText(const PreparedReport& report);
QString plainText(const PreparedReport& report);
QString formattedText(const PreparedReport& report);
QString csvText(const PreparedReport& report, QChar separator = u';');
QString htmlTable(const PreparedReport& report);
QString excelXml(const PreparedReport& report);
void exportXlsx(const PreparedReport& report, const QString& fileName);

// A valid spreadsheet sheet name for any title.
QString sheetName(const QString& title);

// What "Uložiť" writes: the format of a known suffix the user typed wins over
// the selected filter; without a suffix the filter's is added. An unknown
// suffix ("zostava.2024") keeps the name and the filter's format.
std::pair<ExportFormat, QString> saveTarget(const QString& typedName, ExportFormat selected);

// The file name of page `page` (0-based) for the one-file-a-page formats.
QString pageFileName(const QString& fileName, int page, int pageCount);

}  // namespace report
