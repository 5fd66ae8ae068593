// lindavo-report: prepares a report layout over one SQL statement and writes
// it in an export format, without a window. For scripts that mail lists, and
// for the tests and benchmarks.
//
//   lindavo-report --layout Reports/Preh_Obj_Sk.frf --database Data/Lindavo.fdb
//                  --sql "select ... where a.objednavatel = :ADRESAR" --param ADRESAR=12
//                  --var Typ=1 --title "Zoznam prekladov" --format pdf --output zoznam.pdf

#include "app/ProgramLocations.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportExport.h"
#include "reports/ReportDataset.h"

#include "generated/version.h"

#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {

void print(FILE* stream, const QString& text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), stream);
}

// NAME=VALUE pairs of a repeated option.
bool splitPairs(const QStringList& items, std::vector<std::pair<QString, QString>>& out)
{
    for (const QString& item : items) {
        const int eq = int(item.indexOf(u'='));
        if (eq <= 0)
            return false;
        out.emplace_back(item.left(eq), item.mid(eq + 1));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    // Fonts are needed to lay text out, a screen is not.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The embedded engine's lock files in a folder this user may write.
    UseOwnEngineLockFolder();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lindavo-report"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3.%4")
                                                .arg(LINDAVO_VERSION_MAJOR)
                                                .arg(LINDAVO_VERSION_MINOR)
                                                .arg(LINDAVO_VERSION_RELEASE)
                                                .arg(LINDAVO_VERSION_BUILD));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a Lindavo report over one SQL statement."));
    parser.addHelpOption();
    parser.addVersionOption();
    QStringList formatNames;
    for (const auto& f : report::exportFormats())
        formatNames << f.name;
    parser.addOptions({
        {QStringLiteral("layout"), QStringLiteral("the layout file (.frf)"), QStringLiteral("file")},
        {QStringLiteral("database"), QStringLiteral("database path (local file or host:path)"), QStringLiteral("path")},
        {QStringLiteral("user"), QStringLiteral("database user"), QStringLiteral("name"), QStringLiteral("SYSDBA")},
        {QStringLiteral("password"), QStringLiteral("database password"), QStringLiteral("text"),
         QStringLiteral("pinebrook")},
        {QStringLiteral("sql"), QStringLiteral("the statement whose rows are MASTER"), QStringLiteral("text")},
        {QStringLiteral("sql-file"), QStringLiteral("read the statement from a file"), QStringLiteral("file")},
        {QStringLiteral("param"), QStringLiteral("a statement parameter (repeatable)"), QStringLiteral("NAME=VALUE")},
        {QStringLiteral("var"), QStringLiteral("a report variable (repeatable)"), QStringLiteral("NAME=VALUE")},
        {QStringLiteral("title"), QStringLiteral("the report title"), QStringLiteral("text")},
        {QStringLiteral("format"), QStringLiteral("one of: ") + formatNames.join(QStringLiteral(", ")) +
                                       QStringLiteral(" (default: from the output's suffix)"),
         QStringLiteral("name")},
        {QStringLiteral("output"), QStringLiteral("the file to write"), QStringLiteral("file")},
    });
    parser.process(app);

    const QString layoutFile = parser.value(QStringLiteral("layout"));
    const QString output = parser.value(QStringLiteral("output"));
    QString sql = parser.value(QStringLiteral("sql"));
    if (parser.isSet(QStringLiteral("sql-file"))) {
        QFile f(parser.value(QStringLiteral("sql-file")));
        if (!f.open(QIODevice::ReadOnly)) {
            print(stderr, QStringLiteral("cannot read %1: %2").arg(f.fileName(), f.errorString()));
            return 2;
        }
        sql = QString::fromUtf8(f.readAll());
    }
    if (layoutFile.isEmpty() || output.isEmpty()) {
        print(stderr, QStringLiteral("--layout and --output are required (see --help)"));
        return 2;
    }
    if (!sql.isEmpty() && !parser.isSet(QStringLiteral("database"))) {
        print(stderr, QStringLiteral("--sql needs --database"));
        return 2;
    }
    QString formatName = parser.value(QStringLiteral("format"));
    if (formatName.isEmpty())
        formatName = QFileInfo(output).suffix();
    const auto format = report::exportFormatFromName(formatName);
    if (!format) {
        print(stderr, QStringLiteral("unknown format \"%1\"; known: %2").arg(formatName, formatNames.join(u' ')));
        return 2;
    }
    std::vector<std::pair<QString, QString>> params, vars;
    if (!splitPairs(parser.values(QStringLiteral("param")), params) ||
        !splitPairs(parser.values(QStringLiteral("var")), vars)) {
        print(stderr, QStringLiteral("--param and --var take NAME=VALUE"));
        return 2;
    }

    try {
        report::Report rep;
        rep.loadFromFile(layoutFile);
        if (parser.isSet(QStringLiteral("title")))
            rep.setTitle(parser.value(QStringLiteral("title")));
        for (const auto& [name, value] : vars) {
            // A whole number becomes an integer variable; the category stays the layout's.
            QString category;
            for (const auto& v : rep.layout().variables)
                if (v.name.compare(name, Qt::CaseInsensitive) == 0)
                    category = v.category;
            bool isInt = false;
            const qlonglong i = value.toLongLong(&isInt);
            rep.setVariable(category, name, isInt ? report::Value::integer(i) : report::Value::text(value));
        }

        fb::Connection connection;
        TReportQueryDataset master;
        if (!sql.isEmpty()) {
            connection.open(parser.value(QStringLiteral("database")),
                            {QStringLiteral("USER_NAME=") + parser.value(QStringLiteral("user")),
                             QStringLiteral("PASSWORD=") + parser.value(QStringLiteral("password")),
                             QStringLiteral("lc_ctype=WIN1250")});
            // Reports read in one snapshot.
            fb::Transaction transaction(connection, {QStringLiteral("concurrency"), QStringLiteral("read"),
                                                     QStringLiteral("nowait")});
            transaction.start();
            fb::Query query(transaction);
            query.setSql(sql);
            for (const auto& [name, value] : params)
                query.setParam(name, value);
            master.fill(query);
            transaction.commit();
        }
        rep.setDataset(rep.layout().masterAlias, &master);
        const report::PreparedReport prepared = rep.prepare();
        const QStringList files = report::exportReport(prepared, *format, output);
        print(stdout, QStringLiteral("%1 rows, %2 pages: %3").arg(master.rowCount()).arg(prepared.pageCount()).arg(files.join(u' ')));
        return 0;
    } catch (const report::Error& e) {
        print(stderr, e.message());
    } catch (const fb::Error& e) {
        print(stderr, e.message());
    }
    return 1;
}
