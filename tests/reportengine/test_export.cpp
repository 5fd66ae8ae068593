// Every exporter checked by what a reader gets out of its file: the PDF's
// text through pdftotext, the spreadsheet's cells, the CSV and HTML text.

#include "LayoutBuilder.h"

#include "reportengine/Report.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportPrint.h"

#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

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

namespace {

// A job list by customer and, within a customer, by price band (a group with
// no header); the price column's header is an expression.
PreparedReport groupedJobs(const MemoryDataset& data, const QString& title = QStringLiteral("Zoznam"))
{
    Layout l;
    l.columnHeader = band(BandKind::ColumnHeader, 6,
                          {text(0, 0, 30, 6, QStringLiteral("Značka")),
                           text(30, 0, 30, 6, QStringLiteral("[IIF(1 = 1, 'Cena €', 'Price €')]"))});
    Group customer;
    customer.condition = QStringLiteral("[MASTER.\"OBJEDNAVATEL\"]");
    customer.caption = QStringLiteral("Objednávateľ");
    customer.header = band(BandKind::GroupHeader, 6,
                           {text(0, 0, 20, 6, QStringLiteral("Zákazník:")),
                            text(20, 0, 60, 6, QStringLiteral("[UPPERCASE(OBJEDNAVATEL)]"))});
    customer.footer = band(BandKind::GroupFooter, 6, {text(30, 0, 30, 6, QStringLiteral("[SUM(CENA)]"), QStringLiteral(",0.00"))});
    Group size;
    size.condition = QStringLiteral("[IIF(CENA > 100, 'veľká', 'malá')]");
    l.groups = {customer, size};
    l.masterData = band(BandKind::MasterData, 5,
                        {text(30, 0, 30, 5, QStringLiteral("[CENA]"), QStringLiteral(",0.00")),
                         text(0, 0, 30, 5, QStringLiteral("[ZNACKA]"))});
    Report rep(l);
    rep.setTitle(title);
    rep.setDataset(QStringLiteral("MASTER"), &data);
    return rep.prepare();
}

}  // namespace

// Every table export leads with one column per group level, holding the key
// as the group header shows it (or the condition's value where the header
// shows none), and heads columns with what the header printed.
TEST(ReportTableExport, GroupKeysLeadAndHeadersAreWhatWasPrinted)
{
    const MemoryDataset data = reporttest::jobs({{QStringLiteral("Alfa"), QStringLiteral("Z1"), QStringLiteral("10")},
                                                 {QStringLiteral("Alfa"), QStringLiteral("Z2"), QStringLiteral("200")},
                                                 {QStringLiteral("Beta"), QStringLiteral("Z3"), QStringLiteral("-5")}});
    const PreparedReport r = groupedJobs(data);
    EXPECT_EQ(csvText(r).split(QStringLiteral("\r\n")),
              (QStringList{QStringLiteral("Objednávateľ;IIF(CENA > 100, 'veľká', 'malá');Značka;Cena €"),
                           QStringLiteral("ALFA;malá;Z1;10,00"), QStringLiteral("ALFA;veľká;Z2;200,00"),
                           QStringLiteral("BETA;malá;Z3;-5,00"), QString()}));
    const QString html = htmlTable(r);
    EXPECT_TRUE(html.contains(QStringLiteral("<th>Objednávateľ</th><th>IIF(CENA &gt; 100, 'veľká', 'malá')</th>"
                                             "<th>Značka</th><th>Cena €</th>")))
        << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<tr><td>ALFA</td><td>veľká</td><td>Z2</td><td class=\"n\">200,00</td></tr>")));
    const QString xml = excelXml(r);
    EXPECT_TRUE(xml.contains(QStringLiteral("<Cell><Data ss:Type=\"String\">BETA</Data></Cell>")));
    EXPECT_FALSE(xml.contains(QStringLiteral("IIF(1 = 1")));
}

// CSV texts that a spreadsheet would run as formulas are neutralised; numbers,
// negative ones too, stay numbers. The file starts with a byte order mark.
TEST(ReportTableExport, CsvNeutralisesFormulasAndMarksUtf8)
{
    const struct {
        const char *mark, *csv;
    } cases[] = {
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""}, {"+421 900", "'+421 900"}, {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"}, {"\tZ", "'\tZ"}, {"\rZ", "\"'\rZ\""}, {"Z=1", "Z=1"}, {"Žltý", "Žltý"},
    };
    std::vector<std::tuple<QString, QString, QString>> rows;
    for (const auto& c : cases)
        rows.emplace_back(QStringLiteral("Alfa"), QString::fromUtf8(c.mark), QStringLiteral("-1.5"));
    const MemoryDataset data = reporttest::jobs(rows);
    const PreparedReport r = groupedJobs(data);
    const QStringList lines = csvText(r).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), int(std::size(cases)) + 2);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(lines[int(i) + 1], QStringLiteral("ALFA;malá;%1;-1,50").arg(QString::fromUtf8(cases[i].csv))) << cases[i].mark;

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("r.csv"));
    exportReport(r, ExportFormat::Csv, file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFObjedn\xC3\xA1vate\xC4\xBE;")) << bytes.left(20).toHex().toStdString();
}

// Control characters pasted into the data leave Excel XML well-formed; any
// title gives the spreadsheets a valid sheet name.
TEST(ReportTableExport, ControlCharactersAndSheetNames)
{
    const MemoryDataset data = reporttest::jobs({{QStringLiteral("Al\vfa\x01"), QStringLiteral("Z\f1\tx"), QStringLiteral("1")}});
    QXmlStreamReader xml(excelXml(groupedJobs(data, QStringLiteral("Zoznam\x0b"))));
    QStringList strings;
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("Data"))
            strings << xml.readElementText();
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(strings.mid(4, 2), (QStringList{QStringLiteral("ALFA"), QStringLiteral("malá")}));
    EXPECT_EQ(strings.value(6), QStringLiteral("Z1\tx"));

    const struct {
        const char *title, *sheet;
    } cases[] = {
        {"Zoznam prekladov", "Zoznam prekladov"},
        {"'Zoznam'", "Zoznam"},
        {"Zoznam 'A'", "Zoznam 'A"},
        {"'", "Zostava"},
        {"' '", "Zostava"},
        {"", "Zostava"},
        {"History", "Zostava"},
        {"a[b]:c*d?e/f\\g", "abcdefg"},
        {"Zoznam prekladov podľa objednávateľov", "Zoznam prekladov podľa objednáv"},
        {"123456789012345678901234567890'x", "123456789012345678901234567890"},
    };
    QTemporaryDir dir;
    const bool unzip = !QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty();
    for (const auto& c : cases) {
        const QString title = QString::fromUtf8(c.title);
        EXPECT_EQ(sheetName(title), QString::fromUtf8(c.sheet)) << c.title;
        const QString file = dir.filePath(QStringLiteral("r.xlsx"));
        ASSERT_NO_THROW(exportReport(groupedJobs(data, title), ExportFormat::Xlsx, file)) << c.title;
        if (!unzip)
            continue;
        QProcess p;
        p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QStringLiteral("xl/workbook.xml")});
        p.waitForFinished();
        QXmlStreamReader workbook(p.readAllStandardOutput());
        QString sheet;
        while (!workbook.atEnd())
            if (workbook.readNext() == QXmlStreamReader::StartElement && workbook.name() == QLatin1String("sheet"))
                sheet = workbook.attributes().value(QStringLiteral("name")).toString();
        EXPECT_EQ(sheet, QString::fromUtf8(c.sheet)) << c.title;
    }
}

// "Uložiť": a known suffix typed by the user wins over the selected filter.
TEST(ReportTableExport, SaveUsesTheTypedSuffix)
{
    const struct {
        const char* typed;
        ExportFormat selected;
        ExportFormat format;
        const char* name;
    } cases[] = {
        {"x.csv", ExportFormat::Pdf, ExportFormat::Csv, "x.csv"},
        {"x.XLSX", ExportFormat::Pdf, ExportFormat::Xlsx, "x.XLSX"},
        {"x.htm", ExportFormat::Html, ExportFormat::HtmlTable, "x.htm"},
        {"x", ExportFormat::Pdf, ExportFormat::Pdf, "x.pdf"},
        {"x", ExportFormat::Csv, ExportFormat::Csv, "x.csv"},
        {"zostava.2024", ExportFormat::Xlsx, ExportFormat::Xlsx, "zostava.2024"},
        {"/tmp/a.b/x", ExportFormat::Rtf, ExportFormat::Rtf, "/tmp/a.b/x.rtf"},
    };
    for (const auto& c : cases) {
        const auto [format, name] = saveTarget(QString::fromUtf8(c.typed), c.selected);
        EXPECT_EQ(format, c.format) << c.typed;
        EXPECT_EQ(name, QString::fromUtf8(c.name)) << c.typed;
    }
}

// A landscape A4 layout goes to the print dialog as A4 in landscape, and what
// the user then chooses there (Letter, portrait) is what gets printed.
TEST(ReportPrinting, A4LandscapeIsA4AndTheDialogsChoiceStands)
{
    MemoryDataset data = reporttest::jobs({{QStringLiteral("Alfa"), QStringLiteral("Z1"), QStringLiteral("1")}});
    Layout l;
    l.page.orientation = Orientation::Landscape;
    l.masterData = band(BandKind::MasterData, 5, {text(0, 0, 60, 5, QStringLiteral("[ZNACKA]"))});
    Report rep(l);
    rep.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = rep.prepare();

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("p.pdf")));
    setUpPrinter(printer, prepared);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);

    // The user picks Letter in portrait in the dialog.
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printReport(prepared, printer);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        return;
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {dir.filePath(QStringLiteral("p.pdf"))});
    info.waitForFinished(60000);
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QStringLiteral("612 x 792 pts (letter)")));
}

// A text longer than its column stays in it: clipped in the drawn pages (PNG,
// PDF and print share the painter), cut in the formatted text, hidden by the
// HTML pages' boxes; a wrapped one wraps within its width.
TEST(ReportPrinting, LongTextsStayInTheirColumn)
{
    MemoryDataset data = reporttest::jobs({{QStringLiteral("Veľmi dlhý názov objednávateľa s. r. o., pobočka Banská Bystrica"),
                                            QStringLiteral("Z1"), QStringLiteral("1")}});
    Layout l;
    l.page.marginLeft = 10;
    ReportObject name = text(0, 0, 40, 5, QStringLiteral("[OBJEDNAVATEL]"));
    ReportObject wrapped = text(100, 0, 40, 5, QStringLiteral("[OBJEDNAVATEL]"));
    wrapped.wordWrap = true;
    wrapped.stretch = true;
    l.masterData = band(BandKind::MasterData, 5, {name, text(40, 0, 10, 5, QStringLiteral("[ZNACKA]")), wrapped});
    Report rep(l);
    rep.setDataset(QStringLiteral("MASTER"), &data);
    const PreparedReport prepared = rep.prepare();
    QTemporaryDir dir;
    const QImage image(exportPng(prepared, dir.filePath(QStringLiteral("p.png")), 254).front());  // 10 px a mm
    auto inkIn = [&](double x0, double x1, double y0, double y1) {
        for (int y = int(y0 * 10); y < int(y1 * 10); ++y)
            for (int x = int(x0 * 10); x < int(x1 * 10); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    EXPECT_TRUE(inkIn(10, 50, 10, 15)) << "the name is printed";
    EXPECT_TRUE(inkIn(50, 60, 10, 15)) << "the mark is printed";
    EXPECT_FALSE(inkIn(60, 110, 10, 15)) << "nothing runs past the mark's column";
    EXPECT_TRUE(inkIn(110, 150, 15, 20)) << "the wrapped copy has a second line";
    EXPECT_FALSE(inkIn(150, 200, 10, 30)) << "and stays within its width";

    // An SVG viewer does not clip: the text itself is cut to its column.
    QFile svg(exportSvg(prepared, dir.filePath(QStringLiteral("p.svg"))).front());
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString svgText = QString::fromUtf8(svg.readAll());
    EXPECT_TRUE(svgText.contains(QStringLiteral(">Veľmi dlhý"))) << svgText.toStdString();
    EXPECT_FALSE(svgText.contains(QStringLiteral("s. r. o., pobočka Banská Bystrica<")));

    const QString formatted = formattedText(prepared);
    EXPECT_FALSE(formatted.contains(QStringLiteral("objednávateľa s. r. o."))) << formatted.toStdString();
    EXPECT_TRUE(htmlPages(prepared).contains(QStringLiteral("overflow:hidden")));
}
