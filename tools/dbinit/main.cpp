// dbinit: creates a Lindavo database at schema version 0, and optionally
// migrates it to the current version and fills it with a sample agency.
//
//   dbinit PATH [--migrate] [--sample N] [--schema FILE] [--user NAME] [--password TEXT]

#include "app/ProgramLocations.h"
#include "db/BaseSchema.h"
#include "db/NewDatabase.h"
#include "db/SchemaText.h"
#include "sample/SampleData.h"
#include "fb/Connection.h"
#include "fb/Error.h"
#include "generated/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {

void print(FILE* out, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), out);
    std::fputc('\n', out);
    std::fflush(out);
}

void printMessage(const QString& text)
{
    print(stderr, QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).trimmed());
}

}  // namespace

int main(int argc, char** argv)
{
    // The embedded engine's lock files in a folder this user may write.
    UseOwnEngineLockFolder();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("dbinit"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Creates a Lindavo database at schema version 0."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("the new database file"));
    parser.addOption({QStringLiteral("migrate"), QStringLiteral("apply every migration script")});
    parser.addOption({QStringLiteral("sample"), QStringLiteral("fill N sample jobs (implies --migrate)"),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("schema"), QStringLiteral("write the schema as one script to FILE (after --migrate)"),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("user"), QStringLiteral("database user"), QStringLiteral("name"),
                      QStringLiteral("SYSDBA")});
    parser.addOption({QStringLiteral("password"), QStringLiteral("database password"), QStringLiteral("text"),
                      QStringLiteral("pinebrook")});
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);

    const QString path = parser.positionalArguments().first();
    const QString user = parser.value(QStringLiteral("user"));
    const QString password = parser.value(QStringLiteral("password"));
    const bool sample = parser.isSet(QStringLiteral("sample"));
    bool sampleOk = true;
    const int jobs = sample ? parser.value(QStringLiteral("sample")).toInt(&sampleOk) : 0;
    if (!sampleOk || jobs < 0) {
        print(stderr, QStringLiteral("--sample needs a number of jobs"));
        return 2;
    }
    const bool migrate = parser.isSet(QStringLiteral("migrate")) || sample;

    const bool local = IsLocalDatabasePath(path);
    if (local && QFileInfo::exists(path)) {
        print(stderr, QStringLiteral("%1 already exists; nothing was changed").arg(path));
        return 2;
    }
    if (local)
        QDir().mkpath(QFileInfo(path).absolutePath());

    try {
        CreateBaseDatabase(path, user, password);
        print(stdout, QStringLiteral("created %1 at version 0").arg(path));
        if (!migrate)
            return 0;

        fb::Connection c;
        c.open(path, {QStringLiteral("USER_NAME=") + user, QStringLiteral("PASSWORD=") + password,
                      QStringLiteral("lc_ctype=WIN1250")});
        // No one sits at a console tool: the runner's messages go to stderr.
        const NewDatabaseResult result = MigrateToCurrent(c, LINDAVO_VERSION_RELEASE, printMessage);
        if (result.outcome == NewDatabaseResult::PackageDamaged) {
            print(stderr, QStringLiteral("the update package is damaged: %1").arg(result.detail));
            return 1;
        }
        if (result.outcome != NewDatabaseResult::Completed) {
            print(stderr, QStringLiteral("migration stopped at version %1").arg(result.version));
            return 1;
        }
        print(stdout, QStringLiteral("migrated to version %1").arg(result.version));
        if (parser.isSet(QStringLiteral("schema"))) {
            QFile file(parser.value(QStringLiteral("schema")));
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                print(stderr, QStringLiteral("cannot write %1").arg(file.fileName()));
                return 1;
            }
            file.write(SchemaText(c).toUtf8());
        }
        if (sample) {
            const SampleCounts n = FillSampleData(c, jobs);
            print(stdout,
                  QStringLiteral("sample data: %1 jobs, %2 contacts, %3 rates, %4 language combinations, "
                                 "%5 units, %6 users (passwords: %7)")
                      .arg(n.jobs)
                      .arg(n.contacts)
                      .arg(n.rates)
                      .arg(n.combinations)
                      .arg(n.units)
                      .arg(n.users)
                      .arg(SampleUserPasswords()));
        }
        c.close();
    } catch (const fb::Error& e) {
        print(stderr, QStringLiteral("database error %1: %2").arg(e.code()).arg(e.message()));
        return 1;
    } catch (const std::exception& e) {
        print(stderr, QString::fromLocal8Bit(e.what()));
        return 1;
    }
    return 0;
}
