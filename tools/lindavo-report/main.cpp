// lindavo-report: writes a report without a window, for scripts.
//
// By name, as the report menu's dialogs build it, with the database and the
// reports folder from Lindavo.ini:
//   lindavo-report --zostava zoznam-objednavatelia --obdobie minuly-mesiac
//                  --vystup /srv/spolocne/zoznam.pdf
// Over one statement and a layout, for layout work:
//   lindavo-report --layout Reports/Preh_Obj_Sk.frf --database Data/Lindavo.fdb
//                  --sql "select ... where a.objednavatel = :ADRESAR" --param ADRESAR=12
//                  --var Typ=1 --title "Zoznam prekladov" --vystup zoznam.pdf
//
// Exit codes: 0 written, 1 the layout, the statement or the output failed,
// 2 a wrong option, 3 no data to print, 4 the database could not be opened.

#include "app/AppConfig.h"
#include "app/ProgramLocations.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "reportengine/Report.h"
#include "reportengine/ReportError.h"
#include "reportengine/ReportExport.h"
#include "reportengine/ReportPrint.h"
#include "reports/ReportByName.h"
#include "reports/ReportDataset.h"

#include "generated/version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>

namespace {

enum Exit { Written = 0, ReportFailed = 1, BadOption = 2, NoData = 3, DatabaseFailed = 4 };

void print(FILE* stream, const QString& text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), stream);
}

// An error the script can act on: its message and exit code.
struct Failure {
    QString message;
    Exit code;
};

const char* const kHelp = R"(Použitie:
  lindavo-report --zostava MENO [voľby zostavy] (--vystup SÚBOR | --tlaciaren MENO)
  lindavo-report --layout SÚBOR.frf [--sql PRÍKAZ | --sql-file SÚBOR] (--vystup SÚBOR | --tlaciaren MENO)

Zostavy podľa mena (ako ich zostaví dialóg ponuky zostáv):
  zoznam-objednavatelia, zoznam-prekladatelia, zoznam-pm,
  ziskovost-objednavatelia, ziskovost-prekladatelia, ziskovost-pm,
  ziskovost-mesacna, hodnotenie

Voľby zostavy (čo chýba, má hodnotu, s akou sa dialóg otvára):
  --obdobie minuly-mesiac|vsetko   obdobie (zoznamy, ziskovosť, hodnotenie: minulý mesiac;
                                   mesačná ziskovosť: všetko)
  --od DÁTUM, --do DÁTUM           obdobie od, do (d.m.rrrr alebo rrrr-mm-dd)
  --adresa MENO|ČÍSLO              objednávateľ alebo prekladateľ (meno z adresára alebo jeho číslo)
  --iba-dodane 0|1                 iba preklady dodané (pri objednávateľoch a PM odoslané)
  --nevyfakturovane 0|1            zoznamy: iba preklady nevyfaktúrované (prekladatelia: nevyplatené)
  --skupiny 0|1                    rozdeliť na skupiny jazykových kombinácií
  --zoskupit objednavatelia|prekladatelia   mesačná ziskovosť: v mesiaci podľa adresy
  --jazyk sk|en                    zoznamy a hodnotenie: jazyk výstupu
  --zoradit 1-9                    ziskovosť: 1 abecedy, 2 cena obj, 3 zisk, 4 zisk v %, 5 cena obj
                                   zostupne, 6 zisk zostupne, 7 zisk v % zostupne, 8 cena prekladateľa,
                                   9 cena prekladateľa zostupne
  --ini SÚBOR                      nastavenia (databáza, používateľ, heslo, zostavy);
                                   inak Lindavo.ini programu (nainštalovaného:
                                   ~/.config/Lindavo/Lindavo.ini)
  --verzia, --version              verzia programu

Zostava z príkazu SQL:
  --layout SÚBOR        súbor zostavy (.frf)
  --database CESTA      databáza (súbor alebo server:cesta); inak z nastavení
  --user MENO, --password HESLO   prihlásenie do databázy; inak z nastavení
  --sql PRÍKAZ, --sql-file SÚBOR  príkaz, ktorého riadky sú MASTER
  --param MENO=HODNOTA  parameter príkazu (aj viackrát)
  --var MENO=HODNOTA    premenná zostavy (aj viackrát)
  --title TEXT          titulok zostavy

Výstup:
  --vystup SÚBOR (alebo --output)   súbor; formát podľa prípony alebo --format
  --format MENO         pdf, html, htmltable, rtf, csv, txt, formattedtxt, xlsx, xml, svg, png
  --tlaciaren MENO      vytlačí na tlačiareň s týmto menom

Návratový kód: 0 zapísané, 1 chyba zostavy, príkazu alebo výstupu, 2 chybná voľba,
3 nie sú údaje pre tlač, 4 databázu nemožno otvoriť.
)";

QDate parseDate(const QString& text)
{
    for (const char* format : {"d.M.yyyy", "yyyy-MM-dd"}) {
        const QDate d = QDate::fromString(text.trimmed(), QLatin1String(format));
        if (d.isValid())
            return d;
    }
    throw Failure{QStringLiteral("Dátum \"%1\" nie je platný (d.m.rrrr alebo rrrr-mm-dd).").arg(text), BadOption};
}

bool parseFlag(const QString& option, const QString& text)
{
    if (text == u"1")
        return true;
    if (text == u"0")
        return false;
    throw Failure{QStringLiteral("Voľba --%1 je 0 alebo 1, nie \"%2\".").arg(option, text), BadOption};
}

// NAME=VALUE pairs of a repeated option.
std::vector<std::pair<QString, QString>> splitPairs(const QString& option, const QStringList& items)
{
    std::vector<std::pair<QString, QString>> out;
    for (const QString& item : items) {
        const int eq = int(item.indexOf(u'='));
        if (eq <= 0)
            throw Failure{QStringLiteral("Voľba --%1 má tvar MENO=HODNOTA, nie \"%2\".").arg(option, item), BadOption};
        out.emplace_back(item.left(eq), item.mid(eq + 1));
    }
    return out;
}

// The address of the report by its record number or its name in the address book.
QVariant findAddress(fb::Transaction& tr, const QString& text, int type)
{
    bool number = false;
    const int id = text.toInt(&number);
    if (number)
        return id;
    fb::Query q(tr);
    q.setSql(QStringLiteral("select jedin from adresar where typ = :TYP"
                            " and (upper(meno) = upper(:MENO) or upper(nazov_uplny) = upper(:MENO))"));
    q.setParams({{QStringLiteral("TYP"), type}, {QStringLiteral("MENO"), text.trimmed()}});
    q.execute();
    QVariantList found;
    while (q.next())
        found << q.value(0);
    const QString side = type == 1 ? QStringLiteral("Prekladateľ") : QStringLiteral("Objednávateľ");
    if (found.isEmpty())
        throw Failure{QStringLiteral("%1 \"%2\" v adresári nie je.").arg(side, text), BadOption};
    if (found.size() > 1)
        throw Failure{QStringLiteral("%1 \"%2\" je v adresári viackrát; zadajte jeho číslo.").arg(side, text), BadOption};
    return found.front();
}

int run(QGuiApplication& app)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"zostava", "obdobie", "od", "do", "adresa", "iba-dodane", "iba-odoslane", "nevyfakturovane",
                             "skupiny", "zoskupit", "jazyk", "zoradit", "ini", "layout", "database", "user", "password",
                             "sql", "sql-file", "param", "var", "title", "format", "vystup", "output", "tlaciaren"})
        parser.addOption(QCommandLineOption(QLatin1String(name), QString(), QStringLiteral("x")));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("pomoc")}));
    parser.addOption(QCommandLineOption(QStringList{QStringLiteral("v"), QStringLiteral("version"), QStringLiteral("verzia")}));
    if (!parser.parse(app.arguments())) {
        const QStringList unknown = parser.unknownOptionNames();
        throw Failure{unknown.isEmpty() ? QStringLiteral("Chybné voľby: %1").arg(parser.errorText())
                                        : QStringLiteral("Neznáma voľba --%1 (pozri --pomoc).").arg(unknown.front()),
                      BadOption};
    }
    if (parser.isSet(QStringLiteral("verzia"))) {
        print(stdout, QStringLiteral("lindavo-report %1").arg(QCoreApplication::applicationVersion()));
        return Written;
    }
    if (parser.isSet(QStringLiteral("pomoc"))) {
        print(stdout, QString::fromUtf8(kHelp));
        return Written;
    }
    if (!parser.positionalArguments().isEmpty())
        throw Failure{QStringLiteral("Nečakaný argument \"%1\" (pozri --pomoc).").arg(parser.positionalArguments().front()),
                      BadOption};
    auto value = [&](const char* name) { return parser.value(QLatin1String(name)); };
    auto isSet = [&](const char* name) { return parser.isSet(QLatin1String(name)); };

    const bool byName = isSet("zostava");
    if (byName == isSet("layout"))
        throw Failure{QStringLiteral("Zadajte --zostava alebo --layout (pozri --pomoc)."), BadOption};
    const QString output = isSet("vystup") ? value("vystup") : value("output");
    const QString printerName = value("tlaciaren");
    if (output.isEmpty() == printerName.isEmpty())
        throw Failure{QStringLiteral("Zadajte výstupný súbor (--vystup) alebo tlačiareň (--tlaciaren)."), BadOption};
    std::optional<report::ExportFormat> format;
    if (!output.isEmpty()) {
        const QString formatName = isSet("format") ? value("format") : QFileInfo(output).suffix();
        format = report::exportFormatFromName(formatName);
        if (!format)
            throw Failure{QStringLiteral("Neznámy formát \"%1\" (pozri --pomoc).").arg(formatName), BadOption};
    } else if (QPrinterInfo::printerInfo(printerName).isNull()) {
        throw Failure{QStringLiteral("Tlačiareň \"%1\" nie je v systéme.").arg(printerName), BadOption};
    }

    // The settings: the database and the reports folder as the program has them.
    // Installed, they are the user's (~/.config/Lindavo); a copy keeps them beside itself.
    const ProgramLocations locations = LocateProgramFiles(QCoreApplication::applicationFilePath());
    const QString iniPath = isSet("ini") ? value("ini") : locations.configFile;
    std::optional<ConnectionSettings> settings;
    if (QFileInfo(iniPath).isFile())
        settings = isSet("ini") ? ReadConnectionSettings(iniPath, QFileInfo(iniPath).absolutePath() + QDir::separator())
                                : ReadConnectionSettings(iniPath, locations);
    else if (byName || isSet("ini") || ((isSet("sql") || isSet("sql-file")) && !isSet("database")))
        throw Failure{QStringLiteral("Súbor nastavení %1 neexistuje.").arg(QDir::toNativeSeparators(iniPath)), BadOption};

    report::Report rep;
    std::vector<std::pair<QString, QString>> params;
    QString sql;
    ReportRequest request;
    NamedReportOptions named;
    if (byName) {
        named.report = value("zostava");
        const QString period = value("obdobie");
        if (!period.isEmpty() && period != u"vsetko" && period != u"minuly-mesiac")
            throw Failure{QStringLiteral("Obdobie je minuly-mesiac alebo vsetko, nie \"%1\".").arg(period), BadOption};
        named.allTime = period == u"vsetko";
        if (isSet("od"))
            named.od = parseDate(value("od"));
        if (isSet("do"))
            named.doDate = parseDate(value("do"));
        if (period == u"minuly-mesiac" && (named.od || named.doDate))
            throw Failure{QStringLiteral("Zadajte --obdobie alebo --od a --do, nie oboje."), BadOption};
        for (const char* option : {"iba-dodane", "iba-odoslane"})
            if (isSet(option))
                named.dodane = parseFlag(QLatin1String(option), value(option));
        if (isSet("nevyfakturovane"))
            named.faktura = parseFlag(QStringLiteral("nevyfakturovane"), value("nevyfakturovane"));
        if (isSet("skupiny"))
            named.skupiny = parseFlag(QStringLiteral("skupiny"), value("skupiny"));
        if (isSet("zoskupit")) {
            const QString by = value("zoskupit");
            if (by != u"objednavatelia" && by != u"prekladatelia")
                throw Failure{QStringLiteral("Zoskupiť možno podľa objednavatelia alebo prekladatelia."), BadOption};
            named.zoskupitPodla = by == u"prekladatelia" ? 1 : 0;
        }
        if (isSet("jazyk")) {
            const QString lang = value("jazyk");
            if (lang != u"sk" && lang != u"en")
                throw Failure{QStringLiteral("Jazyk výstupu je sk alebo en."), BadOption};
            named.jazyk = lang == u"sk" ? 1 : 2;
        }
        if (isSet("zoradit")) {
            bool ok = false;
            named.zoradit = value("zoradit").toInt(&ok);
            if (!ok)
                throw Failure{QStringLiteral("Zoradenie je číslo od 1 do 9."), BadOption};
        }
        if (isSet("adresa"))
            named.adresar = value("adresa");  // a name is looked up once the database is open
        // The request is built once here to check the options before connecting.
        QString error;
        NamedReportOptions check = named;
        if (check.adresar.isValid())
            check.adresar = 0;
        if (!NamedReportRequest(check, QDate::currentDate(), error))
            throw Failure{error, BadOption};
    } else {
        sql = value("sql");
        if (isSet("sql-file")) {
            QFile f(value("sql-file"));
            if (!f.open(QIODevice::ReadOnly))
                throw Failure{QStringLiteral("Súbor %1 sa nedá čítať: %2").arg(f.fileName(), f.errorString()), BadOption};
            sql = QString::fromUtf8(f.readAll());
        }
        params = splitPairs(QStringLiteral("param"), parser.values(QStringLiteral("param")));
    }
    const auto vars = splitPairs(QStringLiteral("var"), parser.values(QStringLiteral("var")));

    TReportQueryDataset master;
    if (byName || !sql.isEmpty()) {
        const QString database = isSet("database") ? value("database") : settings->database;
        const QString user = isSet("user") ? value("user") : settings ? settings->userName : QString();
        const QString password = isSet("password") ? value("password") : settings ? settings->password : QString();
        fb::Connection connection;
        try {
            connection.open(database, {QStringLiteral("USER_NAME=") + user, QStringLiteral("PASSWORD=") + password,
                                       QStringLiteral("lc_ctype=WIN1250")});
        } catch (const fb::Error& e) {
            throw Failure{QStringLiteral("Databázu %1 nemožno otvoriť: %2").arg(database, e.message()), DatabaseFailed};
        }
        try {
            // Reports read in one snapshot.
            fb::Transaction transaction(connection, {QStringLiteral("concurrency"), QStringLiteral("read"),
                                                     QStringLiteral("nowait")});
            transaction.start();
            fb::Query query(transaction);
            if (byName) {
                if (named.adresar.isValid())
                    named.adresar = findAddress(transaction, named.adresar.toString(), NamedReportAddressType(named.report));
                QString error;
                request = *NamedReportRequest(named, QDate::currentDate(), error);
                query.setStatement(request.statement);
            } else {
                query.setSql(sql);
                for (const auto& [name, v] : params)
                    query.setParam(name, v);
            }
            master.fill(query);
            transaction.commit();
        } catch (const fb::Error& e) {
            // Reached, but the statement failed: the report's fault, not the database's.
            throw Failure{e.message(), ReportFailed};
        }
    }

    QString layoutFile = byName ? QDir(settings->reports).filePath(request.layoutName) : value("layout");
    // A layout the user has not changed comes from the shipped folder.
    if (byName && !QFileInfo(layoutFile).isFile() && !locations.shippedReports.isEmpty())
        layoutFile = QDir(locations.shippedReports).filePath(request.layoutName);
    if (!QFileInfo(layoutFile).isFile())
        throw Failure{QStringLiteral("Súbor zostavy %1 neexistuje.").arg(QDir::toNativeSeparators(layoutFile)), ReportFailed};
    rep.loadFromFile(layoutFile);
    if (byName) {
        if (master.rowCount() == 0)
            throw Failure{QStringLiteral("Nie sú údaje pre tlač."), NoData};
        // As the report run sets them: the dialog's caption, its variables and the period.
        rep.setTitle(request.title);
        for (const ReportVariable& v : request.variables)
            rep.setVariable(v.category, v.name, TReportQueryDataset::toReportValue(v.value));
        rep.setVariable(QStringLiteral(" Nastavenia"), QStringLiteral("Od"),
                        TReportQueryDataset::toReportValue(request.statement.params.value(QStringLiteral("OD"))));
        rep.setVariable(QStringLiteral(" Nastavenia"), QStringLiteral("Do"),
                        TReportQueryDataset::toReportValue(request.statement.params.value(QStringLiteral("DO"))));
    }
    if (isSet("title"))
        rep.setTitle(value("title"));
    for (const auto& [name, v] : vars) {
        // A whole number becomes an integer variable; the category stays the layout's.
        QString category;
        for (const auto& def : rep.layout().variables)
            if (def.name.compare(name, Qt::CaseInsensitive) == 0)
                category = def.category;
        bool isInt = false;
        const qlonglong i = v.toLongLong(&isInt);
        rep.setVariable(category, name, isInt ? report::Value::integer(i) : report::Value::text(v));
    }
    rep.setDataset(rep.layout().masterAlias, &master);
    const report::PreparedReport prepared = rep.prepare();
    if (format) {
        const QStringList files = report::exportReport(prepared, *format, output);
        print(stdout, QStringLiteral("Riadkov: %1, strán: %2, zapísané: %3").arg(master.rowCount()).arg(prepared.pageCount()).arg(files.join(u' ')));
    } else {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(printerName);
        printer.setDocName(prepared.title);
        report::setUpPrinter(printer, prepared);
        report::printReport(prepared, printer);
        print(stdout, QStringLiteral("Riadkov: %1, strán: %2, vytlačené na: %3").arg(master.rowCount()).arg(prepared.pageCount()).arg(printerName));
    }
    return Written;
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
    try {
        return run(app);
    } catch (const Failure& f) {
        print(stderr, f.message);
        return f.code;
    } catch (const report::Error& e) {
        print(stderr, e.message());
    } catch (const fb::Error& e) {
        print(stderr, e.message());
    }
    return ReportFailed;
}
