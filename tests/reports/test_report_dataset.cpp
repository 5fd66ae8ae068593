// Query results as report datasets, and lindavo-report end to end: a layout,
// a database and a statement with a parameter give a CSV file.

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "reportengine/ReportFile.h"
#include "reportengine/ReportLayout.h"
#include "reports/ReportDataset.h"
#include "support/db/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void createJobs(TestDatabase& db)
{
    db.exec({QStringLiteral("create table ZOZNAM (ID integer, ZNACKA varchar(20), CENA numeric(15,2), KURZ double precision, "
                            "TERMIN date, ODOSLANE timestamp)"),
             QStringLiteral("insert into ZOZNAM values (1, 'Žltý kôň', 12.50, 0.5, '2024-03-05', '2024-03-05 14:07:00')"),
             QStringLiteral("insert into ZOZNAM values (2, 'P-2', null, null, null, null)"),
             QStringLiteral("insert into ZOZNAM values (3, 'P-3', -0.10, 2, '2024-12-31', null)")});
}

TEST(ReportQueryDataset, KeepsTypesAndExactDecimals)
{
    TestDatabase db(TestDatabase::Base);
    createJobs(db);
    fb::Transaction tr(db.connection());
    tr.start();
    fb::Query q(tr);
    q.setSql(QStringLiteral("select * from ZOZNAM order by ID"));
    TReportQueryDataset ds;
    ds.fill(q);
    tr.commit();
    ASSERT_EQ(ds.rowCount(), 3);
    EXPECT_EQ(ds.columnIndex(QStringLiteral("cena")), 2);
    EXPECT_EQ(ds.column(2).type, report::ColumnType::Decimal);
    EXPECT_EQ(ds.column(2).scale, 2);
    EXPECT_EQ(ds.column(4).type, report::ColumnType::Date);
    EXPECT_EQ(ds.value(0, 1).toText(), QStringLiteral("Žltý kôň"));
    EXPECT_EQ(ds.value(0, 2).kind(), report::Value::Kind::Number);
    EXPECT_EQ(ds.value(0, 2).toText(), QStringLiteral("12,50"));
    EXPECT_EQ(ds.value(2, 2).toText(), QStringLiteral("-0,10"));
    EXPECT_EQ(ds.value(0, 3).kind(), report::Value::Kind::Float);
    EXPECT_EQ(ds.value(0, 4).toDate(), QDate(2024, 3, 5));
    EXPECT_EQ(ds.value(0, 5).toDateTime().time(), QTime(14, 7));
    for (int c = 2; c < 6; ++c)
        EXPECT_TRUE(ds.value(1, c).isNull()) << c;
    EXPECT_TRUE(ds.value(7, 0).isNull());  // out of range is null, not a crash
}

TEST(ReportCommandLine, WritesCsvFromLayoutDatabaseAndStatement)
{
    TestDatabase db(TestDatabase::Base);
    createJobs(db);
    const QString path = db.path();
    db.connection().close();  // the tool attaches on its own

    QTemporaryDir dir;
    report::Layout layout;
    report::Band data;
    data.kind = report::BandKind::MasterData;
    for (const char* field : {"[ZNACKA]", "[CENA]", "[TERMIN]", "[Typ]"}) {
        report::ReportObject o;
        o.x = data.objects.size() * 30.0;
        o.width = 30;
        o.height = 5;
        o.text = QLatin1String(field);
        o.format = o.text == u"[CENA]" ? QStringLiteral(",0.00") : QString();
        data.objects.push_back(o);
    }
    layout.masterData = data;
    layout.variables = {{QStringLiteral(" Nastavenia"), QStringLiteral("Typ"), QStringLiteral("integer"), QStringLiteral("0")}};
    report::saveLayout(layout, dir.filePath(QStringLiteral("Test.frf")));

    QProcess tool;
    tool.start(QStringLiteral(LINDAVO_REPORT_TOOL),
               {QStringLiteral("--layout"), dir.filePath(QStringLiteral("Test.frf")), QStringLiteral("--database"), path,
                QStringLiteral("--user"), QLatin1String(TestDatabase::user), QStringLiteral("--password"),
                QLatin1String(TestDatabase::password), QStringLiteral("--sql"),
                QStringLiteral("select ZNACKA, CENA, TERMIN from ZOZNAM where ID <> :VYNECHAJ order by ID"),
                QStringLiteral("--param"), QStringLiteral("VYNECHAJ=2"), QStringLiteral("--var"), QStringLiteral("Typ=7"),
                QStringLiteral("--output"), dir.filePath(QStringLiteral("zoznam.csv"))});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    QFile csv(dir.filePath(QStringLiteral("zoznam.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF;;;")) << "a byte order mark first";
    EXPECT_EQ(QString::fromUtf8(bytes),
              QStringLiteral(";;;\r\nŽltý kôň;12,50;05.03.2024;7\r\nP-3;-0,10;31.12.2024;7\r\n"));

    // A broken statement is reported on stderr with a failing exit code.
    tool.start(QStringLiteral(LINDAVO_REPORT_TOOL),
               {QStringLiteral("--layout"), dir.filePath(QStringLiteral("Test.frf")), QStringLiteral("--database"), path,
                QStringLiteral("--user"), QLatin1String(TestDatabase::user), QStringLiteral("--password"),
                QLatin1String(TestDatabase::password), QStringLiteral("--sql"), QStringLiteral("select NIC from ZOZNAM"),
                QStringLiteral("--output"), dir.filePath(QStringLiteral("x.csv"))});
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.csv"))));
}

// Hostile layouts end the tool with a message and exit code 1, not a crash:
// 40 KB of nested parentheses in a text, 10 000 in a group's condition.
TEST(ReportCommandLine, HostileLayoutsFailWithAMessage)
{
    QTemporaryDir dir;
    const QString deep = QStringLiteral("(").repeated(20000) + QStringLiteral("1") + QStringLiteral(")").repeated(20000);
    const QString deepGroup = QStringLiteral("(").repeated(10000) + QStringLiteral("1") + QStringLiteral(")").repeated(10000);
    const struct {
        const char* name;
        QString content;
    } cases[] = {
        {"text", QStringLiteral("<lindavo-report version=\"1\"><band type=\"masterdata\"><text width=\"50\" height=\"5\">[%1]</text>"
                                "</band></lindavo-report>").arg(deep)},
        {"group", QStringLiteral("<lindavo-report version=\"1\"><group condition=\"[%1]\"/><band type=\"masterdata\"/>"
                                 "</lindavo-report>").arg(deepGroup)},
    };
    for (const auto& c : cases) {
        QFile f(dir.filePath(QStringLiteral("Hostile.frf")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.content.toUtf8());
        f.close();
        ASSERT_GE(f.size(), 20000);
        QProcess tool;
        tool.start(QStringLiteral(LINDAVO_REPORT_TOOL), {QStringLiteral("--layout"), f.fileName(), QStringLiteral("--output"),
                                                         dir.filePath(QStringLiteral("x.pdf"))});
        ASSERT_TRUE(tool.waitForFinished(60000)) << c.name;
        EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit) << c.name;
        EXPECT_EQ(tool.exitCode(), 1) << c.name;
        const QString error = QString::fromLocal8Bit(tool.readAllStandardError());
        EXPECT_TRUE(error.contains(QStringLiteral("hlbšie ako 200 úrovní"))) << c.name << ": " << error.left(300).toStdString();
        EXPECT_LT(error.size(), 1000) << c.name;
    }
}

// Reports by name from a script: the database and the layouts from the
// settings file, the dialogs' options, Slovak errors and an exit code for each
// kind of failure.
TEST(ReportCommandLine, ReportsByNameFromTheSettings)
{
    TestDatabase db(TestDatabase::Migrated);
    db.exec({QStringLiteral("insert into adresar (jedin, typ, meno) values (1, 0, 'Alfa')"),
             QStringLiteral("insert into adresar (jedin, typ, meno) values (2, 0, 'Beta')"),
             QStringLiteral("insert into adresar (jedin, typ, meno) values (3, 1, 'Cyril')"),
             QStringLiteral("insert into jazykove_kombinacie (jedin, skratka, skupina) values (1, 'SK-EN', 'EN')")});
    for (int job = 1; job <= 3; ++job)
        db.exec({QStringLiteral("insert into preklady (jedin, znacka, nazov, objednavatel, prekladatel, jazykova_kombinacia,"
                                " termin, datum_dodania_prekladu, datum_odoslania_prekladu, obj_faktura, pre_faktura, pm,"
                                " obj_cena_mj, obj_kurz, obj_koeficient, obj_rozsah, pre_cena_mj, pre_kurz, pre_koeficient,"
                                " pre_rozsah, hodnoteny, hodnotenie) values (%1, 'Z%1', 'Preklad %1', %2, 3, 1, '2026-05-01',"
                                " '2026-05-1%1', '2026-05-1%1', '', '', 'JN', 10%1, 1, 100, 1, 5%1, 1, 100, 1, 1, 90)")
                     .arg(job)
                     .arg(job == 3 ? 2 : 1)});
    const QString path = db.path();
    db.connection().close();  // the tool attaches on its own

    QTemporaryDir dir;
    auto writeIni = [&](const QString& name, const QString& database) {
        QFile ini(dir.filePath(name));
        EXPECT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Settings]\nDatabase=%1\nUser_Name=%2\nPassword=%3\nReports=%4\n")
                      .arg(database, QLatin1String(TestDatabase::user), QLatin1String(TestDatabase::password),
                           QStringLiteral(LINDAVO_REPORTS_DIR))
                      .toUtf8());
        return ini.fileName();
    };
    const QString ini = writeIni(QStringLiteral("Lindavo.ini"), path);
    const QString unreachable = writeIni(QStringLiteral("Nikde.ini"), dir.filePath(QStringLiteral("nikde/Lindavo.fdb")));
    const QString out = dir.filePath(QStringLiteral("zoznam.csv"));
    const struct {
        const char* name;
        QStringList args;
        int exitCode;
        const char* message;  // on stderr
    } cases[] = {
        {"a customer's list of May", {"--zostava", "zoznam-objednavatelia", "--od", "1.5.2026", "--do", "2026-05-31", "--adresa", "alfa",
                                      "--ini", ini, "--vystup", out}, 0, nullptr},
        {"nothing in the period", {"--zostava", "zoznam-objednavatelia", "--od", "1.1.2030", "--do", "31.1.2030", "--ini", ini,
                                   "--vystup", out}, 3, "Nie sú údaje pre tlač."},
        {"an unknown report", {"--zostava", "zoznamy", "--ini", ini, "--vystup", out}, 2, "Neznáma zostava \"zoznamy\""},
        {"an option the dialog lacks", {"--zostava", "zoznam-pm", "--zoradit", "2", "--ini", ini, "--vystup", out}, 2,
         "--zoradit nepatrí k zostave zoznam-pm"},
        {"a date that is none", {"--zostava", "hodnotenie", "--od", "31.2.2026", "--ini", ini, "--vystup", out}, 2, "nie je platný"},
        {"an address not in the book", {"--zostava", "hodnotenie", "--adresa", "Alfa", "--ini", ini, "--vystup", out}, 2,
         "Prekladateľ \"Alfa\" v adresári nie je"},
        {"an unknown option", {"--zostava", "hodnotenie", "--farba", "modrá", "--ini", ini, "--vystup", out}, 2, "Neznáma voľba --farba"},
        {"no settings file", {"--zostava", "hodnotenie", "--ini", dir.filePath(QStringLiteral("ziadny.ini")), "--vystup", out}, 2,
         "Súbor nastavení"},
        {"an unknown printer", {"--zostava", "hodnotenie", "--ini", ini, "--tlaciaren", "Tlačiareň na Marse"}, 2, "nie je v systéme"},
        {"the database unreachable", {"--zostava", "hodnotenie", "--ini", unreachable, "--vystup", out}, 4, "nemožno otvoriť"},
    };
    for (const auto& c : cases) {
        QFile::remove(out);
        QProcess tool;
        tool.start(QStringLiteral(LINDAVO_REPORT_TOOL), c.args);
        ASSERT_TRUE(tool.waitForFinished(60000)) << c.name;
        const QString error = QString::fromLocal8Bit(tool.readAllStandardError());
        EXPECT_EQ(tool.exitCode(), c.exitCode) << c.name << ": " << error.toStdString();
        if (c.message)
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.message))) << c.name << ": " << error.toStdString();
        EXPECT_EQ(QFile::exists(out), c.exitCode == 0) << c.name;
    }
    // The first case: Alfa's two jobs of May, under her name in the group column.
    QFile::remove(out);
    QProcess tool;
    tool.start(QStringLiteral(LINDAVO_REPORT_TOOL), cases[0].args);
    ASSERT_TRUE(tool.waitForFinished(60000));
    QFile csv(out);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Objednávateľ;Skupina;Značka"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Alfa;Skupina: EN;Z1;"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("Alfa;Skupina: EN;Z2;"))) << lines[2].toStdString();
}

}  // namespace
