// The report run on a small agency: the shipped layouts prepare over the
// statements of the dialogs, their totals are those the database computes, and
// what cannot be printed is said to the user.
#include "TestDatabase.h"

#include "support/DialogTranscript.h"
#include "fb/Decimal.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/MainConnection.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportFile.h"
#include "reportengine/designer/DesignerDocument.h"
#include "reportengine/ReportFormat.h"
#include "reports/EPrekladyTlacSql.h"
#include "reports/fTlac.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <map>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

const QDate kMay1(2026, 5, 1), kMay31(2026, 5, 31);

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

class ReportRuns : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        db = new TestDatabase(TestDatabase::Migrated);
        // Customers 1 Alfa, 2 Beta; translators 3 Cyril, 4 Dana. Prices at rate 1, 100 %, scope 1.
        db->exec({"insert into adresar (jedin, typ, meno) values (1, 0, 'Alfa')",
                  "insert into adresar (jedin, typ, meno) values (2, 0, 'Beta')",
                  "insert into adresar (jedin, typ, meno) values (3, 1, 'Cyril')",
                  "insert into adresar (jedin, typ, meno) values (4, 1, 'Dana')",
                  "insert into jazykove_kombinacie (jedin, skratka, skupina) values (1, 'SK-EN', 'EN')",
                  "insert into jazykove_kombinacie (jedin, skratka, skupina) values (2, 'SK-DE', 'DE')"});
        // Customers' and translators' prices in EUR, CZK and USD at their rates, so
        // the euro columns differ from the jobs' own currencies.
        struct Job {
            int jedin, customer, translator, combination;
            const char* sent;  // also the delivery date
            const char *objCenaMj, *objRozsah, *objMena, *objKurz;
            const char *preCena, *preMena, *preKurz;  // with decimals, so sums are exact only in decimals
            const char* pm;
            int rating;  // 0: not rated
        };
        const Job jobs[] = {
            {1, 1, 3, 1, "'2026-05-05'", "0.065", "1540", "CZK", "25.2", "60.50", "EUR", "1", "JN", 80},
            {2, 1, 4, 2, "'2026-05-21'", "200.25", "1", "EUR", "1", "3750", "CZK", "24.8", "JN", 90},
            {3, 2, 3, 1, "'2026-04-12'", "50", "1", "EUR", "1", "20", "EUR", "1", "KM", 10},
            {4, 2, 3, 1, "null", "30", "1", "EUR", "1", "10", "EUR", "1", "KM", 0},
            {5, 2, 4, 2, "'2026-05-10'", "40.33", "1", "USD", "1.08", "20.25", "USD", "1.09", "JN", 60},
            {6, 2, 4, 2, "'2026-05-31'", "1234.57", "1", "EUR", "1", "600.01", "CZK", "25.35", "KM", 0},
            {7, 1, 3, 2, "'2026-05-12'", "80", "1", "EUR", "1", "50", "EUR", "1", "JN", 100},
            {8, 1, 3, 2, "'2026-05-13'", "90.10", "1", "EUR", "1", "70", "EUR", "1", "JN", 90},
        };
        for (const Job& j : jobs)
            db->exec({QStringLiteral("insert into preklady (jedin, znacka, nazov, objednavatel, prekladatel,"
                                     " jazykova_kombinacia, termin, datum_dodania_prekladu, datum_odoslania_prekladu,"
                                     " obj_faktura, pre_faktura, pm, obj_cena_mj, obj_kurz, obj_koeficient, obj_rozsah,"
                                     " obj_mena, pre_cena_mj, pre_kurz, pre_koeficient, pre_rozsah, pre_mena,"
                                     " hodnoteny, hodnotenie)"
                                     " values (%1, 'Z%1', 'Preklad %1', %2, %3, %4, '2026-05-01', %5, %5, '', '', '%6',"
                                     " %7, %8, 100, %9, '%10', %11, %12, 100, 1, '%13', %14, %15)")
                          .arg(j.jedin)
                          .arg(j.customer)
                          .arg(j.translator)
                          .arg(j.combination)
                          .arg(QLatin1String(j.sent), QLatin1String(j.pm), QLatin1String(j.objCenaMj),
                               QLatin1String(j.objKurz), QLatin1String(j.objRozsah), QLatin1String(j.objMena),
                               QLatin1String(j.preCena), QLatin1String(j.preKurz), QLatin1String(j.preMena))
                          .arg(j.rating ? 1 : 0)
                          .arg(j.rating)});
    }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }

    ReportRuns() { setMainConnection(&db->connection()); }
    ~ReportRuns() override { setMainConnection(nullptr); }

    static ZoznamValues may()
    {
        ZoznamValues v;
        v.mode = 0;
        v.od = kMay1;
        v.doDate = kMay31;
        v.jazyk = 1;
        return v;
    }

    // The text of the item right after each item that begins with `label`.
    static QStringList after(const report::PreparedReport& r, const QString& label)
    {
        QStringList out;
        for (const report::Page& page : r.pages)
            for (size_t i = 0; i + 1 < page.items.size(); ++i)
                if (page.items[i].text.startsWith(label))
                    out << page.items[i].text + QStringLiteral(" ") + page.items[i + 1].text;
        return out;
    }

    static bool printed(const report::PreparedReport& r, const QString& text)
    {
        for (const report::Page& page : r.pages)
            for (const report::PageItem& item : page.items)
                if (item.text == text)
                    return true;
        return false;
    }

    // "2 práce", "5 prác", "1 job": the count with its noun.
    static QString jobs(int n, bool slovak)
    {
        if (!slovak)
            return QString::number(n) + (n == 1 ? u(" job") : u(" jobs"));
        return QString::number(n) + (n == 1 ? u(" práca") : n <= 4 ? u(" práce") : u(" prác"));
    }

    static QString money(const QVariant& sum, const char* format = ",0.00 €", bool slovak = true)
    {
        const fb::Decimal d = sum.value<fb::Decimal>();
        return report::formatValue(report::Value::number(report::Decimal::fromUnits(d.units(), d.scale())),
                                   u(format), slovak ? report::Language::Slovak : report::Language::English);
    }

    static inline TestDatabase* db = nullptr;
    DialogTranscript transcript;
    const QString folder = QStringLiteral(LINDAVO_REPORTS_DIR);
};

}  // namespace

TEST(ReportFilePath, JoinsTheFolderWithTheNamePartOnEitherSeparator)
{
    const QString sep = QDir::separator();
    const struct {
        const char *folder, *name, *path;
    } cases[] = {
        {"/r", "Preh_Obj_Sk.frf", "/r/Preh_Obj_Sk.frf"},
        {"/r/", "Zisk.frf", "/r/Zisk.frf"},
        {"/r", "\\Zisk.frf", "/r/Zisk.frf"},
        {"/r", "C:\\old\\Reports\\Zisk.frf", "/r/Zisk.frf"},
        {"/r", "../elsewhere/Zisk.frf", "/r/Zisk.frf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReportFilePath(QString::fromUtf8(c.folder), QString::fromUtf8(c.name)),
                  QDir::toNativeSeparators(QString::fromUtf8(c.path)))
            << c.folder << " + " << c.name;
}

// Group and report totals of each job list in both languages are the euro sums
// the database computes over the same jobs, to the cent, although the jobs are
// priced in EUR, CZK and USD; a price in a job's own currency shows its code,
// a price per unit its three decimals.
TEST_F(ReportRuns, JobListTotalsAreTheDatabaseSums)
{
    const struct {
        int mode;
        const char *group, *money, *date;
        const char *groupSk, *groupEn;
        const char *rowSk, *rowEn;  // a row's price in the job's own currency, or the USD job's euro profit
    } cases[] = {
        {0, "b.meno", "a.obj_cena_skk", "a.datum_odoslania_prekladu", "Spolu za objednávateľa", "Customer total",
         "0,065 CZK", "0.065 CZK"},
        {1, "c.meno", "a.pre_cena_skk", "a.datum_dodania_prekladu", "Spolu za prekladateľa", "Translator total",
         "3\u00A0750,00 CZK", "3,750.00 CZK"},
        // 40.33 USD / 1.08 - 20.25 USD / 1.09
        {2, "a.pm", "a.obj_cena_skk", "a.datum_odoslania_prekladu", "Spolu za PM", "Project manager total", "18,76", "18.76"},
    };
    for (const auto& c : cases)
        for (int jazyk : {1, 2}) {
            const bool sk = jazyk == 1;
            ZoznamValues v = may();
            v.mode = c.mode;
            v.jazyk = jazyk;
            const ReportRequest r = ZoznamRequest(v);
            SCOPED_TRACE(r.layoutName.toStdString());
            TfrmTlac runner(folder);
            ASSERT_TRUE(runner.open(r));
            const auto prepared = runner.prepare();
            ASSERT_GE(prepared->pageCount(), 1);

            QStringList groups;
            QString total;
            int count = 0;
            {
                fb::Transaction tr(db->connection(), {"concurrency", "read", "nowait"});
                tr.start();
                const QString from = QStringLiteral(" from preklady a join adresar b on b.jedin=a.objednavatel"
                                                    " join adresar c on c.jedin=a.prekladatel"
                                                    " where %1 between :OD and :DO")
                                         .arg(QLatin1String(c.date));
                fb::Query q(tr);
                q.setSql(QStringLiteral("select %1, count(*), sum(%2)").arg(QLatin1String(c.group), QLatin1String(c.money)) +
                         from + QStringLiteral(" group by 1 order by 1"));
                q.setParams({{"OD", kMay1}, {"DO", kMay31}});
                q.execute();
                const QString label = QString::fromUtf8(sk ? c.groupSk : c.groupEn) + u(" (%1):");
                while (q.next())
                    groups << label.arg(jobs(q.value(1).toInt(), sk)) + QStringLiteral(" ") + money(q.value(2), ",0.00 €", sk);
                fb::Query t(tr);
                t.setSql(QStringLiteral("select count(*), sum(%1)").arg(QLatin1String(c.money)) + from);
                t.setParams({{"OD", kMay1}, {"DO", kMay31}});
                t.executeOneRow();
                count = t.value(0).toInt();
                total = (sk ? u("Spolu za zostavu (%1):") : u("Report total (%1):")).arg(jobs(count, sk)) +
                        QStringLiteral(" ") + money(t.value(1), ",0.00 €", sk);
                tr.commit();
            }
            ASSERT_EQ(groups.size(), 2);
            EXPECT_EQ(after(*prepared, QString::fromUtf8(sk ? c.groupSk : c.groupEn)), groups);
            EXPECT_TRUE(printed(*prepared, u(sk ? c.rowSk : c.rowEn))) << (sk ? c.rowSk : c.rowEn);
            EXPECT_EQ(after(*prepared, sk ? u("Spolu za zostavu") : u("Report total")), QStringList{total});
            EXPECT_EQ(int(prepared->rows.size()), count);
            EXPECT_GE(prepared->find((sk ? u("Obdobie:") : u("Period:")) + u(" 01.05.2026 – 31.05.2026")).first, 0);
            EXPECT_GE(prepared->find(sk ? r.title : u("Jobs by")).first, 0) << "an English list has its own title";
            EXPECT_GE(prepared->find(QStringLiteral("1 / %1").arg(prepared->pageCount())).first, 0);
            EXPECT_EQ(transcript.count(), 0);
        }
}

namespace {

// The cells of a CSV export as a spreadsheet reads them: after the byte order
// mark, rows of ';'-separated cells, quoted where needed.
std::vector<QStringList> readCsv(const QString& file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes.mid(3));
    std::vector<QStringList> rows(1);
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                cell += c, ++i;
            else if (c == u'"')
                quoted = false;
            else
                cell += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u';') {
            rows.back() << cell, cell.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            rows.back() << cell, cell.clear();
            rows.emplace_back();
            ++i;
        } else {
            cell += c;
        }
    }
    rows.pop_back();  // after the last line end
    return rows;
}

QString unzipped(const QString& file, const char* member)
{
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QString::fromLatin1(member)});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The first sheet of an XLSX export: shared strings resolved, numbers as written.
std::vector<QStringList> readXlsx(const QString& file)
{
    QStringList strings;
    QXmlStreamReader shared(unzipped(file, "xl/sharedStrings.xml"));
    while (!shared.atEnd())
        if (shared.readNext() == QXmlStreamReader::StartElement && shared.name() == QLatin1String("t"))
            strings << shared.readElementText();
    std::vector<QStringList> rows;
    QXmlStreamReader sheet(unzipped(file, "xl/worksheets/sheet1.xml"));
    QString ref, type;
    while (!sheet.atEnd()) {
        sheet.readNext();
        if (!sheet.isStartElement())
            continue;
        if (sheet.name() == QLatin1String("row")) {
            rows.emplace_back();
        } else if (sheet.name() == QLatin1String("c")) {
            ref = sheet.attributes().value(QStringLiteral("r")).toString();
            type = sheet.attributes().value(QStringLiteral("t")).toString();
        } else if (sheet.name() == QLatin1String("v") && !rows.empty()) {
            int column = 0;
            for (QChar c : ref)
                if (c.isLetter())
                    column = column * 26 + (c.unicode() - 'A' + 1);
            QString value = sheet.readElementText();
            if (type == u"s")
                value = strings.value(value.toInt());
            while (rows.back().size() < column)
                rows.back() << QString();
            rows.back()[column - 1] = value;
        }
    }
    EXPECT_FALSE(sheet.hasError()) << sheet.errorString().toStdString();
    return rows;
}

}  // namespace

// A job list exported for a spreadsheet has the customer (translator, PM) and
// the language group as its first columns; summed per customer from the file,
// the € column gives the database's sums. CSV and XLSX, as a spreadsheet
// reads them back.
TEST_F(ReportRuns, SpreadsheetExportsCarryTheGroupsAndAddUp)
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    const struct {
        int mode;
        const char *group, *money, *date, *caption;
    } cases[] = {
        {0, "b.meno", "a.obj_cena_skk", "a.datum_odoslania_prekladu", "Objednávateľ"},
        {1, "c.meno", "a.pre_cena_skk", "a.datum_dodania_prekladu", "Prekladateľ"},
        {2, "a.pm", "a.obj_cena_skk", "a.datum_odoslania_prekladu", "PM"},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        std::map<QString, QString> expected;  // group -> sum in cents, as "1234.56"
        {
            fb::Transaction tr(db->connection(), {"concurrency", "read", "nowait"});
            tr.start();
            fb::Query q(tr);
            q.setSql(QStringLiteral("select %1, sum(%2) from preklady a join adresar b on b.jedin=a.objednavatel"
                                    " join adresar c on c.jedin=a.prekladatel where %3 between :OD and :DO group by 1")
                         .arg(QLatin1String(c.group), QLatin1String(c.money), QLatin1String(c.date)));
            q.setParams({{"OD", kMay1}, {"DO", kMay31}});
            q.execute();
            while (q.next())
                expected[q.value(0).toString()] = q.value(1).value<fb::Decimal>().toString();
            tr.commit();
        }
        ZoznamValues v = may();
        v.mode = c.mode;
        TfrmTlac runner(folder);
        ASSERT_TRUE(runner.open(ZoznamRequest(v)));
        const auto prepared = runner.prepare();
        for (const char* suffix : {"csv", "xlsx"}) {
            SCOPED_TRACE(std::string(c.caption) + " " + suffix);
            const QString file = dir.filePath(QStringLiteral("r.") + QLatin1String(suffix));
            report::exportReport(*prepared, *report::exportFormatFromName(QLatin1String(suffix)), file);
            const auto rows = QLatin1String(suffix) == u"csv" ? readCsv(file) : readXlsx(file);
            ASSERT_GE(rows.size(), 2u);
            EXPECT_EQ(rows[0].mid(0, 3), (QStringList{u(c.caption), u("Skupina"), u("Značka")}));
            EXPECT_EQ(rows[0].last(), u("Cena €"));
            std::map<QString, report::Decimal> sums;
            for (size_t r = 1; r < rows.size(); ++r) {
                // CSV writes "1234,57", XLSX the double nearest to it.
                const auto price = report::Decimal::fromDouble(QString(rows[r].last()).replace(u',', u'.').toDouble());
                ASSERT_TRUE(price) << rows[r].join(u'|').toStdString();
                sums[rows[r][0]] = sums[rows[r][0]] + *price;
                EXPECT_EQ(rows[r][1], u("Skupina: ") + (rows[r][4] == u("SK-EN") ? u("EN") : u("DE")));
            }
            std::map<QString, QString> got;
            for (const auto& [group, sum] : sums)
                got[group] = sum.toString(2);
            EXPECT_EQ(got, expected);
        }
    }
}

// The monthly profitability exported has its month as the first column, and
// per month the income read back from CSV and XLSX is the database's sum; the
// evaluation's export has the translator.
TEST_F(ReportRuns, MonthlyAndEvaluationExportsCarryTheirGroups)
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    std::map<QString, QString> months;
    QStringList translators;
    {
        fb::Transaction tr(db->connection(), {"concurrency", "read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql(QStringLiteral("select extract(year from datum_odoslania_prekladu), extract(month from datum_odoslania_prekladu),"
                                " sum(obj_cena_skk) from preklady group by 1, 2"));
        q.execute();
        while (q.next())
            months[q.value(0).isNull() ? u("Bez dátumu odoslania") : QStringLiteral("Mesiac %1/%2").arg(q.value(1).toInt()).arg(q.value(0).toInt())] =
                q.value(2).value<fb::Decimal>().toString();
        fb::Query t(tr);
        t.setSql(QStringLiteral("select distinct b.meno from preklady a join adresar b on b.jedin = a.prekladatel"
                                " where a.hodnoteny = 1 and a.datum_dodania_prekladu between :OD and :DO order by 1"));
        t.setParams({{"OD", kMay1}, {"DO", kMay31}});
        t.execute();
        while (t.next())
            translators << t.value(0).toString();
        tr.commit();
    }
    ASSERT_EQ(months.size(), 3u);
    QTemporaryDir dir;
    ZiskovostMesacnaValues monthly;
    monthly.dodane = false;
    HodnotenieValues evaluation;
    evaluation.od = kMay1;
    evaluation.doDate = kMay31;
    for (const ReportRequest& request : {ZiskovostMesacnaRequest(monthly), HodnotenieRequest(evaluation)}) {
        TfrmTlac runner(folder);
        ASSERT_TRUE(runner.open(request));
        const auto prepared = runner.prepare();
        for (const char* suffix : {"csv", "xlsx"}) {
            SCOPED_TRACE(request.layoutName.toStdString() + " " + suffix);
            const QString file = dir.filePath(QStringLiteral("r.") + QLatin1String(suffix));
            report::exportReport(*prepared, *report::exportFormatFromName(QLatin1String(suffix)), file);
            const auto rows = QLatin1String(suffix) == u"csv" ? readCsv(file) : readXlsx(file);
            ASSERT_GE(rows.size(), 2u);
            if (request.layoutName == u"ZiskMes.frf") {
                EXPECT_EQ(rows[0].value(0), u("Mesiac"));
                const int income = int(rows[0].indexOf(u("Príjem €")));
                ASSERT_GT(income, 0);
                std::map<QString, report::Decimal> sums;
                for (size_t r = 1; r < rows.size(); ++r)
                    sums[rows[r][0]] = sums[rows[r][0]] +
                                       *report::Decimal::fromDouble(QString(rows[r][income]).replace(u',', u'.').toDouble());
                std::map<QString, QString> got;
                for (const auto& [month, sum] : sums)
                    got[month] = sum.toString(2);
                EXPECT_EQ(got, months);
            } else {
                EXPECT_EQ(rows[0].value(0), u("Prekladateľ"));
                QStringList names;
                for (size_t r = 1; r < rows.size(); ++r)
                    if (!names.contains(rows[r][0]))
                        names << rows[r][0];
                EXPECT_EQ(names, translators);
            }
        }
    }
}

TEST_F(ReportRuns, AnEmptyPeriodSaysThereIsNothingToPrint)
{
    ZoznamValues v = may();
    v.od = v.doDate = QDate(2030, 1, 1);
    TfrmTlac runner(folder);
    EXPECT_FALSE(runner.open(ZoznamRequest(v)));
    ASSERT_EQ(transcript.count(), 1);
    EXPECT_EQ(transcript.last().text, u("Nie sú údaje pre tlač."));
}

// A missing layout opens the designer under the name it was looked for, from
// whichever button; what is saved there is what the next run prints. The
// runner stays open for it.
TEST_F(ReportRuns, AMissingLayoutOpensTheDesignerUnderItsName)
{
    QTemporaryDir empty;
    QStringList opened;
    TfrmTlac::Designer = [&](TfrmTlac& runner) {
        opened << runner.layoutPath();
        report::Layout l;
        l.masterData = report::Band{report::BandKind::MasterData, 5, {}};
        report::ReportObject o;
        o.width = 50;
        o.height = 5;
        o.text = u("Značka [ZNACKA]");
        l.masterData->objects.push_back(o);
        report::saveLayout(l, runner.layoutPath());
    };
    const QString path = QDir::toNativeSeparators(empty.path() + QStringLiteral("/Preh_Obj_Sk.frf"));
    {
        TfrmTlac runner(empty.path());
        ASSERT_TRUE(runner.open(ZoznamRequest(may())));
        EXPECT_EQ(transcript.count(), 0) << "no message for a missing layout";
        runner.btnPreview->click();
        EXPECT_EQ(opened, QStringList{path});
        EXPECT_EQ(runner.result(), 0) << "the runner stays open";
        EXPECT_GE(runner.prepare()->find(u("Značka Z1")).first, 0);
    }
    {
        TfrmTlac runner(empty.path());
        ASSERT_TRUE(runner.open(ZoznamRequest(may())));
        runner.btnEdit->click();
        EXPECT_EQ(opened.size(), 2);
        EXPECT_EQ(runner.result(), 0);
    }
    TfrmTlac::Designer = nullptr;
}

// An installed program reads a layout the user has not changed from the
// shipped folder. The designer opens it and saves it into the user's folder
// (made when missing), the runner prints that from then on, and the shipped
// file stays as it was.
TEST_F(ReportRuns, AChangedShippedLayoutIsSavedAsTheUsersOwn)
{
    QTemporaryDir home;
    const QString own = home.filePath(QStringLiteral("Lindavo/Reports"));
    const QString shippedFile = ReportFilePath(folder, QStringLiteral("Preh_Obj_Sk.frf"));
    const QString ownFile = ReportFilePath(own, QStringLiteral("Preh_Obj_Sk.frf"));
    const auto bytes = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray shippedBefore = bytes(shippedFile);
    ASSERT_FALSE(shippedBefore.isEmpty());
    QStringList seen;
    TfrmTlac::Designer = [&](TfrmTlac& runner) {
        seen << runner.layoutPath() << runner.designerPath();
        report::DesignerDocument doc;
        doc.open(runner.layoutPath(), runner.designerPath());
        report::ReportObject o;
        o.width = 80;
        o.height = 5;
        o.text = u("Vlastná zostava [ZNACKA]");
        doc.addObject({report::BandKind::MasterData, -1}, o);
        doc.save();
    };
    TfrmTlac runner(own, folder);
    ASSERT_TRUE(runner.open(ZoznamRequest(may())));
    EXPECT_EQ(runner.layoutPath(), shippedFile);
    EXPECT_LT(runner.prepare()->find(u("Vlastná zostava Z1")).first, 0);
    runner.btnEdit->click();
    TfrmTlac::Designer = nullptr;
    EXPECT_EQ(seen, (QStringList{shippedFile, ownFile}));
    EXPECT_EQ(runner.layoutPath(), ownFile);
    EXPECT_GE(runner.prepare()->find(u("Vlastná zostava Z1")).first, 0);
    EXPECT_EQ(bytes(shippedFile), shippedBefore);

    // The next run finds the user's layout first; one he does not have still
    // comes from the shipped folder.
    TfrmTlac next(own, folder);
    ASSERT_TRUE(next.open(ZoznamRequest(may())));
    EXPECT_EQ(next.layoutPath(), ownFile);
    EXPECT_EQ(FindReportFile(own, folder, QStringLiteral("Zisk.frf")), ReportFilePath(folder, QStringLiteral("Zisk.frf")));
    EXPECT_EQ(FindReportFile(own, folder, QStringLiteral("Novy.frf")), ReportFilePath(own, QStringLiteral("Novy.frf")));
    EXPECT_EQ(transcript.count(), 0);
}

// A damaged layout does not stop the run: print and preview open the designer
// on it (which shows the reason), and what is saved there prints.
TEST_F(ReportRuns, ADamagedLayoutOpensTheDesigner)
{
    QTemporaryDir dir;
    QFile damaged(dir.filePath(QStringLiteral("Preh_Obj_Sk.frf")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("<lindavo-report version=\"1\"><band type=\"masterdata\" height=\"nízky\"/></lindavo-report>");
    damaged.close();
    int designers = 0;
    TfrmTlac::Designer = [&](TfrmTlac& runner) {
        ++designers;
        report::Layout l;
        l.masterData = report::Band{report::BandKind::MasterData, 5, {}};
        report::ReportObject o;
        o.width = 50;
        o.height = 5;
        o.text = u("Opravené [ZNACKA]");
        l.masterData->objects.push_back(o);
        report::saveLayout(l, runner.layoutPath());
    };
    for (QPushButton* TfrmTlac::*button : {&TfrmTlac::btnPreview, &TfrmTlac::btnPrint}) {
        damaged.open(QIODevice::WriteOnly);
        damaged.write("<lindavo-report version=\"1\"><band type=\"masterdata\" height=\"nízky\"/></lindavo-report>");
        damaged.close();
        TfrmTlac runner(dir.path());
        ASSERT_TRUE(runner.open(ZoznamRequest(may())));
        EXPECT_EQ(transcript.count(), 0);
        EXPECT_TRUE(runner.layoutError().contains(u("height=\"nízky\""))) << runner.layoutError().toStdString();
        const int before = designers;
        (runner.*button)->click();
        EXPECT_EQ(designers, before + 1);
        EXPECT_EQ(runner.layoutError(), QString());
        EXPECT_GE(runner.prepare()->find(u("Opravené Z1")).first, 0);
    }
    TfrmTlac::Designer = nullptr;
}

// The profitability layouts (both modes of Zisk and Zisk_PM) total what the
// database sums.
TEST_F(ReportRuns, ProfitabilityTotalsAreTheDatabaseSums)
{
    QVariant income;
    QString profitPercent;
    {
        fb::Transaction tr(db->connection(), {"concurrency", "read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql(QStringLiteral("select sum(obj_cena_skk), sum(zisk_percento), count(*) from preklady"
                                " where datum_dodania_prekladu between :OD and :DO"));
        q.setParams({{"OD", kMay1}, {"DO", kMay31}});
        q.executeOneRow();
        income = q.value(0);
        const fb::Decimal sum = q.value(1).value<fb::Decimal>();
        profitPercent = report::formatValue(
            report::Value::number(report::Decimal::fromUnits(sum.units(), sum.scale()) / report::Decimal::fromInt(q.value(2).toInt())),
            u(",0.00"));
        tr.commit();
    }
    const fb::Decimal d = income.value<fb::Decimal>();
    const QString expected =
        report::formatValue(report::Value::number(report::Decimal::fromUnits(d.units(), d.scale())), u(",0.00"));
    for (int mode : {0, 1, 2}) {
        ZiskovostValues v;
        v.mode = mode;
        v.od = kMay1;
        v.doDate = kMay31;
        TfrmTlac runner(folder);
        ASSERT_TRUE(runner.open(ZiskovostRequest(v))) << mode;
        const auto prepared = runner.prepare();
        EXPECT_EQ(after(*prepared, u("Spolu:")), QStringList{u("Spolu: ") + expected}) << mode;
        // The profit % under "Spolu:" is the average of the jobs' ZISK_PERCENTO, as in each row.
        const auto at = prepared->find(u("Spolu:"));
        ASSERT_GE(at.first, 0);
        EXPECT_EQ(prepared->pages[size_t(at.first)].items.at(size_t(at.second) + 4).text, profitPercent) << mode;
        EXPECT_GE(prepared->find(mode == 1 ? u("podľa prekladateľov") : mode == 2 ? u("podľa PM") : u("podľa objednávateľov")).first, 0);
    }
}

// The monthly profitability over every job: the never-sent job forms the
// first, empty month; month and report totals are the database's sums, with
// and without the names of customers or translators (whose column only the
// grouped statement has).
TEST_F(ReportRuns, MonthlyProfitabilityTotalsEachMonth)
{
    QStringList months;
    QString total;
    {
        fb::Transaction tr(db->connection(), {"concurrency", "read", "nowait"});
        tr.start();
        fb::Query q(tr);
        q.setSql(QStringLiteral("select extract(year from datum_odoslania_prekladu) r,"
                                " extract(month from datum_odoslania_prekladu) m, sum(obj_cena_skk)"
                                " from preklady group by 1, 2 order by 1 nulls first, 2"));
        q.execute();
        while (q.next())
            months << u("Spolu za mesiac: ") + money(q.value(2), ",0.00");
        fb::Query t(tr);
        t.setSql(QStringLiteral("select sum(obj_cena_skk) from preklady"));
        total = u("Spolu: ") + money(t.executeScalar(), ",0.00");
        tr.commit();
    }
    ASSERT_EQ(months.size(), 3);
    const struct {
        bool zoskupit;
        int podla;
        const char *heading, *name;
    } cases[] = {
        {false, 0, "po mesiacoch", nullptr},
        {true, 0, "po mesiacoch a objednávateľoch", "Beta"},
        {true, 1, "po mesiacoch a prekladateľoch", "Dana"},
    };
    for (const auto& c : cases) {
        ZiskovostMesacnaValues v;
        v.dodane = false;
        v.zoskupit = c.zoskupit;
        v.zoskupitPodla = c.podla;
        const ReportRequest r = ZiskovostMesacnaRequest(v);
        SCOPED_TRACE(c.heading);
        TfrmTlac runner(folder);
        ASSERT_TRUE(runner.open(r));
        const auto prepared = runner.prepare();
        EXPECT_EQ(after(*prepared, u("Spolu za mesiac:")), months);
        EXPECT_EQ(after(*prepared, u("Spolu:")), QStringList{total});
        EXPECT_GE(prepared->find(u(c.heading)).first, 0);
        EXPECT_GE(prepared->find(u("Obdobie: všetky preklady")).first, 0);
        const int empty = prepared->find(u("Bez dátumu odoslania")).first;
        EXPECT_GE(empty, 0);
        EXPECT_EQ(prepared->find(u("Mesiac 4/2026")).first, empty) << "all on the first page";
        EXPECT_EQ(prepared->find(u("Beta")).first >= 0 || prepared->find(u("Dana")).first >= 0, c.name != nullptr);
        EXPECT_EQ(transcript.count(), 0);
    }
}

// The evaluation averages the rated, delivered jobs of the period per
// translator and over the report, in both languages: rows are averages per
// language combination, so the totals weight them by their rated jobs.
TEST_F(ReportRuns, EvaluationAveragesTheRatedJobsPerTranslator)
{
    for (int jazyk : {1, 2}) {
        HodnotenieValues v;
        v.od = kMay1;
        v.doDate = kMay31;
        v.jazyk = jazyk;
        TfrmTlac runner(folder);
        ASSERT_TRUE(runner.open(HodnotenieRequest(v))) << jazyk;
        const auto prepared = runner.prepare();
        const QString label = jazyk == 1 ? u("Priemer prekladateľa:") : u("Translator average:");
        const QString total = jazyk == 1 ? u("Priemer zostavy:") : u("Report average:");
        // Cyril: 80 (SK-EN), 100 and 90 (SK-DE): 90, not the rows' 87.5; Dana: 90 and 60
        // (her unrated job does not count). The report: 420 / 5, not the rows' 83.33.
        const QString sep = jazyk == 1 ? u(",") : u(".");
        EXPECT_EQ(after(*prepared, label), (QStringList{label + u(" 90") + sep + u("00"), label + u(" 75") + sep + u("00")}))
            << jazyk;
        EXPECT_EQ(after(*prepared, total), QStringList{total + u(" 84") + sep + u("00")}) << jazyk;
    }
}

// The program's functions are there for the runner's lifetime only.
TEST_F(ReportRuns, TheFunctionsLiveAsLongAsTheRunner)
{
    {
        TfrmTlac runner(folder);
        const report::Function* f = report::FunctionRegistry::global().find(QStringLiteral("moneytostr"));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->category, u("Quendel"));
        EXPECT_EQ(f->call({report::Value::number(report::Decimal::fromUnits(-123499, 2))}).toText(),
                  u("jedentisícdvestotridsaťštyri"));
    }
    EXPECT_EQ(report::FunctionRegistry::global().find(QStringLiteral("MONEYTOSTR")), nullptr);
}
