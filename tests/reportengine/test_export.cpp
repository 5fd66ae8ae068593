// Every exporter checked by what a reader gets out of its file: the PDF's
// text through pdftotext, the spreadsheet's cells, the CSV and HTML text.

#include "LayoutBuilder.h"

#include "reportengine/Report.h"
#include "reportengine/ReportExport.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace report;
using reporttest::band;
using reporttest::text;

namespace {

class ReportExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.addColumn({QStringLiteral("ZNACKA"), ColumnType::Text});
        data.addColumn({QStringLiteral("CENA"), ColumnType::Decimal, 2});
        data.addColumn({QStringLiteral("TERMIN"), ColumnType::Date});
        data.addRow({Value::text(QStringLiteral("Žltý kôň; \"A\"")), Value::number(*Decimal::fromString(QStringLiteral("1234.5"))),
                     Value::date(QDate(2024, 3, 5))});
        for (int i = 2; i <= 60; ++i)
            data.addRow({Value::text(QStringLiteral("P-%1").arg(i)), Value::number(Decimal::fromInt(i)), Value()});

        Layout l;
        l.page.height = 150;  // a few pages
        l.pageHeader = band(BandKind::PageHeader, 6, {text(0, 0, 100, 6, QStringLiteral("Zoznam prekladov"))});
        l.columnHeader = band(BandKind::ColumnHeader, 6,
                              {text(0, 0, 60, 6, QStringLiteral("Značka")), text(60, 0, 40, 6, QStringLiteral("Cena")),
                               text(100, 0, 40, 6, QStringLiteral("Termín"))});
        ReportObject price = text(60, 0, 40, 5, QStringLiteral("[CENA]"), QStringLiteral(",0.00"));
        price.hAlign = HAlign::Right;
        price.frame = FrameAll;
        l.masterData = band(BandKind::MasterData, 5,
                            {text(0, 0, 60, 5, QStringLiteral("[ZNACKA]")), price,
                             text(100, 0, 40, 5, QStringLiteral("[TERMIN]"), QStringLiteral("dd.mm.yyyy"))});
        l.pageFooter = band(BandKind::PageFooter, 5, {text(0, 0, 100, 5, QStringLiteral("Strana [PAGE#] z [TOTALPAGES#]"))});
        Report rep(l);
        rep.setTitle(QStringLiteral("Prehľad"));
        rep.setDataset(QStringLiteral("MASTER"), &data);
        prepared = rep.prepare();
        ASSERT_GT(prepared.pageCount(), 1);
    }

    QString file(const QString& name) const { return dir.filePath(name); }

    static QString run(const QString& program, const QStringList& args)
    {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(60000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    MemoryDataset data;
    PreparedReport prepared;
    QTemporaryDir dir;
};

TEST_F(ReportExportTest, PdfTextIsSelectableAndFontsEmbedded)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    exportReport(prepared, ExportFormat::Pdf, file(QStringLiteral("r.pdf")));
    const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file(QStringLiteral("r.pdf")), QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Žltý kôň; \"A\""))) << text.left(500).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("1\u00a0234,50")) || text.contains(QStringLiteral("1 234,50")));
    EXPECT_TRUE(text.contains(QStringLiteral("Strana 1 z %1").arg(prepared.pageCount())));
    EXPECT_EQ(text.count(u'\f'), prepared.pageCount());
    const QString fonts = run(QStringLiteral("pdffonts"), {file(QStringLiteral("r.pdf"))});
    const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(rows.isEmpty()) << fonts.toStdString();
    for (const QString& row : rows)
        EXPECT_TRUE(row.contains(QStringLiteral(" yes "))) << "not embedded: " << row.toStdString();
}

TEST_F(ReportExportTest, CsvHasHeaderRowsAndSemicolons)
{
    const QStringList lines = csvText(prepared).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 62);  // header, 60 rows, the empty rest after the last CRLF
    EXPECT_EQ(lines[0], QStringLiteral("Značka;Cena;Termín"));
    EXPECT_EQ(lines[1], QStringLiteral("\"Žltý kôň; \"\"A\"\"\";1234,50;05.03.2024"));
    EXPECT_EQ(lines[2], QStringLiteral("P-2;2,00;"));
}

TEST_F(ReportExportTest, XlsxKeepsNumbersAsNumbers)
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    exportReport(prepared, ExportFormat::Xlsx, file(QStringLiteral("r.xlsx")));
    const QString sheet = run(QStringLiteral("unzip"), {QStringLiteral("-p"), file(QStringLiteral("r.xlsx")), QStringLiteral("xl/worksheets/sheet1.xml")});
    const QString strings = run(QStringLiteral("unzip"), {QStringLiteral("-p"), file(QStringLiteral("r.xlsx")), QStringLiteral("xl/sharedStrings.xml")});
    // B2 is a number cell (no t="s") holding the value, C2 a date serial.
    QXmlStreamReader xml(sheet);
    QMap<QString, QPair<QString, QString>> cells;  // ref -> (type, value)
    QString ref, type;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("c")) {
            ref = xml.attributes().value(QStringLiteral("r")).toString();
            type = xml.attributes().value(QStringLiteral("t")).toString();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("v")) {
            cells[ref] = {type, xml.readElementText()};
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(cells.value(QStringLiteral("B2")), qMakePair(QString(), QStringLiteral("1234.5")));
    EXPECT_EQ(cells.value(QStringLiteral("C2")), qMakePair(QString(), QStringLiteral("45356")));  // 5 March 2024
    EXPECT_EQ(cells.value(QStringLiteral("A2")).first, QStringLiteral("s"));
    EXPECT_EQ(cells.value(QStringLiteral("B61")), qMakePair(QString(), QStringLiteral("60")));
    EXPECT_FALSE(cells.contains(QStringLiteral("C3")));  // null stays empty
    EXPECT_TRUE(strings.contains(QStringLiteral("Žltý kôň; \"A\"")) || strings.contains(QStringLiteral("Žltý kôň; &quot;A&quot;")));
    EXPECT_TRUE(strings.contains(QStringLiteral("Značka")));
}

TEST_F(ReportExportTest, ExcelXmlTypesCells)
{
    QXmlStreamReader xml(excelXml(prepared));
    QStringList firstRow;
    int rows = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Row"))
            ++rows;
        if (rows == 2 && xml.isStartElement() && xml.name() == QLatin1String("Data")) {
            const QString type = xml.attributes().value(QStringLiteral("urn:schemas-microsoft-com:office:spreadsheet"), QStringLiteral("Type")).toString();
            firstRow << type + u'=' + xml.readElementText();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(rows, 61);
    EXPECT_EQ(firstRow, (QStringList{QStringLiteral("String=Žltý kôň; \"A\""), QStringLiteral("Number=1234.5"),
                                     QStringLiteral("DateTime=2024-03-05T00:00:00.000")}));
}

TEST_F(ReportExportTest, HtmlTableAndPages)
{
    const QString table = htmlTable(prepared);
    EXPECT_TRUE(table.contains(QStringLiteral("<th>Značka</th><th>Cena</th><th>Termín</th>")));
    EXPECT_TRUE(table.contains(QStringLiteral("<td>Žltý kôň; &quot;A&quot;</td><td class=\"n\">1\u00a0234,50</td><td>05.03.2024</td>")));
    EXPECT_EQ(table.count(QStringLiteral("<tr>")), 61);

    const QString pages = htmlPages(prepared);
    EXPECT_EQ(pages.count(QStringLiteral("class=\"page\"")), prepared.pageCount());
    EXPECT_TRUE(pages.contains(QStringLiteral(">Strana 2 z %1</div>").arg(prepared.pageCount())));
}

TEST_F(ReportExportTest, TextFormatsKeepLinesAndPages)
{
    const QString plain = plainText(prepared);
    EXPECT_TRUE(plain.contains(QStringLiteral("Žltý kôň; \"A\"\t1\u00a0234,50\t05.03.2024\n")));
    const QString formatted = formattedText(prepared);
    EXPECT_EQ(formatted.count(u'\f'), prepared.pageCount());
    // Right-aligned prices end in one column.
    const QStringList lines = formatted.split(u'\n');
    int priceEnd = -1;
    for (const QString& line : lines) {
        if (line.contains(QStringLiteral("P-2 ")) || line.contains(QStringLiteral("P-10 "))) {
            const int end = int(line.indexOf(QStringLiteral(",00"))) + 3;
            if (priceEnd < 0) priceEnd = end;
            EXPECT_EQ(end, priceEnd) << line.toStdString();
        }
    }
    EXPECT_GT(priceEnd, 0);
    const QString rtf = rtfText(prepared);
    EXPECT_TRUE(rtf.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_EQ(rtf.count(QStringLiteral("\\page\n")), prepared.pageCount() - 1);
    EXPECT_TRUE(rtf.contains(QStringLiteral("\\u381?lt\\u253? k\\u244?\\u328?")));  // Žltý kôň
}

TEST_F(ReportExportTest, PicturesOnePerPage)
{
    const QStringList svgs = exportReport(prepared, ExportFormat::Svg, file(QStringLiteral("r.svg")));
    ASSERT_EQ(svgs.size(), prepared.pageCount());
    EXPECT_TRUE(svgs[1].endsWith(QStringLiteral("r_2.svg")));
    QFile svg(svgs[0]);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(svg.readAll()).contains(QStringLiteral("Značka")));

    const QStringList pngs = exportPng(prepared, file(QStringLiteral("r.png")), 100);
    ASSERT_EQ(pngs.size(), prepared.pageCount());
    const QImage image(pngs[0]);
    EXPECT_EQ(image.size(), QSize(827, 591));  // 210 x 150 mm at 100 dpi
    bool ink = false;
    for (int y = 0; y < image.height() && !ink; y += 2)
        for (int x = 0; x < image.width() && !ink; x += 2)
            ink = image.pixel(x, y) != qRgb(255, 255, 255);
    EXPECT_TRUE(ink);
}

TEST_F(ReportExportTest, FormatsByName)
{
    for (const auto& f : exportFormats()) {
        EXPECT_EQ(exportFormatFromName(f.name), f.format) << f.name.toStdString();
        EXPECT_EQ(exportFormatFromName(f.suffix.toUpper()).has_value(), true);
    }
    EXPECT_FALSE(exportFormatFromName(QStringLiteral("doc")));
}

}  // namespace
