#include "support/QtPrinters.h"

#include "app/AppConfig.h"
#include "app/ProgramLocations.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeIni(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

QString iniValue(const QString& path, const QString& key)
{
    QSettings ini(path, QSettings::IniFormat);
    return ini.value("Settings/" + key).toString();
}

}  // namespace

TEST(AppConfig, PathFollowsTheExecutable)
{
    EXPECT_EQ(ConfigPathFor("/opt/agency/Lindavo"), "/opt/agency/Lindavo.ini");
    EXPECT_EQ(ConfigPathFor("/opt/agency/Lindavo.exe"), "/opt/agency/Lindavo.ini");
}

TEST(AppConfig, MissingFileIsCreatedWithEveryDefault)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("Lindavo.ini");
    const QString exeDir = dir.path() + "/";
    EXPECT_FALSE(ReadShiftForClose(ini));
    const ConnectionSettings s = ReadConnectionSettings(ini, exeDir);
    EXPECT_EQ(s.database, QDir::toNativeSeparators(exeDir + "Data/Lindavo.fdb"));
    EXPECT_EQ(s.userName, "SYSDBA");
    EXPECT_EQ(s.password, "pinebrook");
    EXPECT_EQ(s.reports, QDir::toNativeSeparators(exeDir + "Reports"));
    EXPECT_EQ(s.backups, QDir::toNativeSeparators(exeDir + "Zalohy"));
    for (const char* key : {"ShiftForClose", "Database", "User_Name", "Password", "Reports", "Backups"})
        EXPECT_FALSE(iniValue(ini, key).isEmpty()) << key;
    EXPECT_EQ(iniValue(ini, "ShiftForClose"), "0");
    EXPECT_EQ(ConnectionParams(s), QStringList({"USER_NAME=SYSDBA", "PASSWORD=pinebrook", "lc_ctype=WIN1250"}));
}

TEST(AppConfig, KeptValuesStayAndOnlyEmptyOnesAreFilled)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("Lindavo.ini");
    writeIni(ini, "[Settings]\nShiftForClose=\nUser_Name=ANNA\nPassword=\nDatabase=server/3051:/data/agency.fdb\n");
    EXPECT_FALSE(ReadShiftForClose(ini));
    EXPECT_EQ(iniValue(ini, "ShiftForClose"), "0");
    const ConnectionSettings s = ReadConnectionSettings(ini, dir.path() + "/");
    EXPECT_EQ(s.database, "server/3051:/data/agency.fdb");
    EXPECT_EQ(s.userName, "ANNA");
    EXPECT_EQ(s.password, "pinebrook");
    EXPECT_EQ(iniValue(ini, "Password"), "pinebrook");
}

TEST(AppConfig, BooleansAreNonZeroIntegers)
{
    struct Case {
        const char* text;
        bool value;
    };
    const Case cases[] = {{"1", true}, {"2", true}, {"-1", true}, {"0", false}, {"abc", false}, {"", false}, {"1x", false}};
    for (const Case& c : cases)
        EXPECT_EQ(IniBool(c.text), c.value) << c.text;

    QTemporaryDir dir;
    const QString ini = dir.filePath("Lindavo.ini");
    writeIni(ini, "[Settings]\nShiftForClose=2\n");
    EXPECT_TRUE(ReadShiftForClose(ini));
    EXPECT_EQ(iniValue(ini, "ShiftForClose"), "2");
}

// The file is the plain text a user edits: values as written (commas,
// semicolons), keys in any letter case, and only the missing or empty keys
// are written, where they belong; comments, order, unknown keys and line
// endings stay as they were.
TEST(AppConfig, TheFileIsReadAndWrittenAsTheUserWroteIt)
{
    struct Case {
        const char* name;
        QByteArray before;
        const char* database;
        const char* userName;
        const char* password;
        QByteArray after;
    } cases[] = {
        {"comma, semicolon, key case, comments, CRLF, another section",
         "; Lindavo configuration\r\n"
         "[Settings]\r\n"
         "database=server/3051:/data/agency.fdb\r\n"
         "; the agency's own login\r\n"
         "USER_NAME=ANNA\r\n"
         "Password=ab,cd;ef\r\n"
         "Theme=dark\r\n"
         "\r\n"
         "[Other]\r\n"
         "Password=not this one\r\n",
         "server/3051:/data/agency.fdb", "ANNA", "ab,cd;ef",
         "; Lindavo configuration\r\n"
         "[Settings]\r\n"
         "database=server/3051:/data/agency.fdb\r\n"
         "; the agency's own login\r\n"
         "USER_NAME=ANNA\r\n"
         "Password=ab,cd;ef\r\n"
         "Theme=dark\r\n"
         "ShiftForClose=0\r\n"
         "Reports=/x/Reports\r\n"
         "Backups=/x/Zalohy\r\n"
         "\r\n"
         "[Other]\r\n"
         "Password=not this one\r\n"},
        {"empty values are filled in place",
         "[Settings]\nShiftForClose=\nBackups=/srv/zalohy\npassword = \n",
         "/x/Data/Lindavo.fdb", "SYSDBA", "pinebrook",
         "[Settings]\nShiftForClose=0\nBackups=/srv/zalohy\npassword = pinebrook\n"
         "Database=/x/Data/Lindavo.fdb\nUser_Name=SYSDBA\nReports=/x/Reports\n"},
        {"section name in other case, spaces around =, no newline at the end, quotes",
         "[settings]\nUser_Name = ANNA\nDatabase=\"/data/a,b.fdb\"\nPassword = a=b ;c",
         "/data/a,b.fdb", "ANNA", "a=b ;c",
         "[settings]\nUser_Name = ANNA\nDatabase=\"/data/a,b.fdb\"\nPassword = a=b ;c\n"
         "ShiftForClose=0\nReports=/x/Reports\nBackups=/x/Zalohy\n"},
        {"no section of its own yet",
         "[Other]\nKey=1\n",
         "/x/Data/Lindavo.fdb", "SYSDBA", "pinebrook",
         "[Other]\nKey=1\n\n[Settings]\nShiftForClose=0\nDatabase=/x/Data/Lindavo.fdb\nUser_Name=SYSDBA\n"
         "Password=pinebrook\nReports=/x/Reports\nBackups=/x/Zalohy\n"},
        {"a file without sections is plain key=value",
         "Database=/d.fdb\n# mine\nPassword=x,y\n",
         "/d.fdb", "SYSDBA", "x,y",
         "Database=/d.fdb\n# mine\nPassword=x,y\nShiftForClose=0\nUser_Name=SYSDBA\nReports=/x/Reports\n"
         "Backups=/x/Zalohy\n"},
        {"missing file",
         {},
         "/x/Data/Lindavo.fdb", "SYSDBA", "pinebrook",
         "[Settings]\nShiftForClose=0\nDatabase=/x/Data/Lindavo.fdb\nUser_Name=SYSDBA\nPassword=pinebrook\n"
         "Reports=/x/Reports\nBackups=/x/Zalohy\n"},
        {"UTF-8 text and a byte order mark stay",
         "\xEF\xBB\xBF[Settings]\nShiftForClose=1\nDatabase=/dáta/Žilina.fdb\nUser_Name=ANNA\nPassword=ťava\n"
         "Reports=/r\nBackups=/b\n",
         "/dáta/Žilina.fdb", "ANNA", "ťava",
         "\xEF\xBB\xBF[Settings]\nShiftForClose=1\nDatabase=/dáta/Žilina.fdb\nUser_Name=ANNA\nPassword=ťava\n"
         "Reports=/r\nBackups=/b\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString ini = dir.filePath("Lindavo.ini");
        if (!c.before.isNull())
            writeIni(ini, c.before);
        ReadShiftForClose(ini);
        const ConnectionSettings s = ReadConnectionSettings(ini, "/x/");
        EXPECT_EQ(s.database, QString::fromUtf8(c.database));
        EXPECT_EQ(s.userName, QString::fromUtf8(c.userName));
        EXPECT_EQ(s.password, QString::fromUtf8(c.password));
        EXPECT_EQ(readFile(ini), c.after);
        // A second start finds everything and changes nothing.
        EXPECT_EQ(ReadConnectionSettings(ini, "/x/").password, s.password);
        EXPECT_EQ(readFile(ini), c.after);
    }
}

// The file holds the database password: nobody but its owner reads it, whether
// the program creates it, fills a key into it or finds it open to everyone.
TEST(AppConfig, TheFileIsReadableByItsOwnerOnly)
{
    const QFileDevice::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                                            QFile::WriteOther;
    QTemporaryDir dir;
    const QString ini = dir.filePath("Lindavo.ini");
    const struct {
        const char* name;
        QByteArray text;  // empty: no file
    } cases[] = {
        {"created", {}},
        {"a key filled in", "[Settings]\nDatabase=/data/x.fdb\n"},
        {"complete, readable by everyone", "[Settings]\nDatabase=/d.fdb\nUser_Name=U\nPassword=P\nReports=/r\n"
                                           "Backups=/b\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(ini);
        if (!c.text.isEmpty()) {
            writeIni(ini, c.text);
            ASSERT_TRUE(QFile::setPermissions(ini, QFile::permissions(ini) | QFile::ReadGroup | QFile::ReadOther));
        }
        const ConnectionSettings s = ReadConnectionSettings(ini, dir.path() + "/");
        EXPECT_FALSE(s.password.isEmpty());
        EXPECT_EQ(QFile::permissions(ini) & others, QFileDevice::Permissions());
        EXPECT_TRUE(QFile::permissions(ini) & QFile::ReadOwner);
        EXPECT_TRUE(QFile::permissions(ini) & QFile::WriteOwner);
    }
    // the number of dated backup copies is a setting of its own, written like the others
    EXPECT_EQ(ReadBackupCopies(ini), 5);
    EXPECT_EQ(iniValue(ini, "BackupCopies"), "5");
    writeIni(ini, "[Settings]\nBackupCopies=2\n");
    EXPECT_EQ(ReadBackupCopies(ini), 2);
    EXPECT_EQ(QFile::permissions(ini) & others, QFileDevice::Permissions());
}

// On for the embedded engine's file, off for a server's database; the default
// is written back like the others, and a written value wins.
TEST(AppConfig, AutomaticBackupIsOnForTheEmbeddedDatabaseOnly)
{
    QTemporaryDir dir;
    const QString ini = dir.filePath("Lindavo.ini");
    const struct {
        const char* text;
        const char* database;
        bool value;
        const char* written;
    } cases[] = {
        {"", "/data/Lindavo.fdb", true, "1"},
        {"", "C:\\Data\\Lindavo.fdb", true, "1"},
        {"", "srv:/data/Lindavo.fdb", false, "0"},
        {"", "localhost/3051:/data/Lindavo.fdb", false, "0"},
        {"[Settings]\nAutomatickaZaloha=\n", "/data/Lindavo.fdb", true, "1"},
        {"[Settings]\nAutomatickaZaloha=0\n", "/data/Lindavo.fdb", false, "0"},
        {"[Settings]\nAutomatickaZaloha=1\n", "srv:/data/Lindavo.fdb", true, "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + c.database);
        QFile::remove(ini);
        if (*c.text)
            writeIni(ini, c.text);
        EXPECT_EQ(ReadAutomaticBackup(ini, c.database), c.value);
        // read as bytes: QSettings keeps a file it read within the same second
        EXPECT_TRUE(readFile(ini).contains(QByteArray("AutomatickaZaloha=") + c.written)) << readFile(ini).toStdString();
    }
}

// Installed means a "bin" folder with ../share/lindavo beside it; the user's
// files then follow the XDG variables (absolute values only) or their
// fallbacks under home. Anything else keeps every file beside the executable.
TEST(ProgramLocations, InstalledUsesTheUsersFoldersAndACopyItsOwn)
{
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(QDir().mkpath(root + "/usr/bin"));
    ASSERT_TRUE(QDir().mkpath(root + "/usr/share/lindavo/Reports"));
    ASSERT_TRUE(QDir().mkpath(root + "/opt/bin"));  // a bin without share/lindavo
    ASSERT_TRUE(QDir().mkpath(root + "/copy/share/lindavo"));  // not a bin

    struct Case {
        const char* name;
        QString exe;
        UserFolders user;
        bool installed;
        QString config, database, backups, reports, shipped, log;
    };
    const UserFolders plain{"/home/eva", {}, {}, {}, {}};
    const UserFolders xdg{"/home/eva", "/cfg", "/data", "/state", "/run/user/1000"};
    const UserFolders relative{"/home/eva", "cfg", "data", "state", "run"};
    const QString installed = root + "/usr/bin/lindavo";
    const QString shipped = root + "/usr/share/lindavo/Reports";
    const Case cases[] = {
        {"fallbacks", installed, plain, true, "/home/eva/.config/Lindavo/Lindavo.ini",
         "/home/eva/.local/share/Lindavo/Data/Lindavo.fdb", "/home/eva/.local/share/Lindavo/Zalohy",
         "/home/eva/.local/share/Lindavo/Reports", shipped, "/home/eva/.local/state/Lindavo/Lindavo_Err.log"},
        {"xdg variables", installed, xdg, true, "/cfg/Lindavo/Lindavo.ini", "/data/Lindavo/Data/Lindavo.fdb",
         "/data/Lindavo/Zalohy", "/data/Lindavo/Reports", shipped, "/state/Lindavo/Lindavo_Err.log"},
        {"relative variables", installed, relative, true, "/home/eva/.config/Lindavo/Lindavo.ini",
         "/home/eva/.local/share/Lindavo/Data/Lindavo.fdb", "/home/eva/.local/share/Lindavo/Zalohy",
         "/home/eva/.local/share/Lindavo/Reports", shipped, "/home/eva/.local/state/Lindavo/Lindavo_Err.log"},
        {"bin without share", root + "/opt/bin/Lindavo", xdg, false, root + "/opt/bin/Lindavo.ini",
         root + "/opt/bin/Data/Lindavo.fdb", root + "/opt/bin/Zalohy", root + "/opt/bin/Reports", "",
         root + "/opt/bin/Lindavo_Err.log"},
        {"share without bin", root + "/copy/lindavo", xdg, false, root + "/copy/lindavo.ini",
         root + "/copy/Data/Lindavo.fdb", root + "/copy/Zalohy", root + "/copy/Reports", "",
         root + "/copy/lindavo_Err.log"},
    };
    for (const Case& c : cases) {
        const ProgramLocations l = LocateProgramFiles(c.exe, c.user);
        EXPECT_EQ(l.installed, c.installed) << c.name;
        EXPECT_EQ(l.configFile, c.config) << c.name;
        EXPECT_EQ(l.database, c.database) << c.name;
        EXPECT_EQ(l.backups, c.backups) << c.name;
        EXPECT_EQ(l.reports, c.reports) << c.name;
        EXPECT_EQ(l.shippedReports, c.shipped) << c.name;
        EXPECT_EQ(l.errorLog, c.log) << c.name;
    }
}

TEST(ProgramLocations, TheInstalledDefaultsGoIntoANewUsersConfiguration)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/bin")));
    ASSERT_TRUE(QDir().mkpath(dir.filePath("usr/share/lindavo")));
    const ProgramLocations l =
        LocateProgramFiles(dir.filePath("usr/bin/lindavo"), UserFolders{dir.filePath("home"), {}, {}, {}, {}});
    // The configuration folder does not exist yet: reading makes it.
    const ConnectionSettings s = ReadConnectionSettings(l.configFile, l);
    EXPECT_EQ(l.configFile, dir.filePath("home/.config/Lindavo/Lindavo.ini"));
    EXPECT_EQ(iniValue(l.configFile, "Database"), l.database);
    EXPECT_EQ(s.database, l.database);
    EXPECT_EQ(s.reports, l.reports);
    EXPECT_EQ(s.backups, l.backups);
}

// The embedded engine's lock folder is the user's own: in his runtime folder,
// else in his state folder.
TEST(ProgramLocations, TheEnginesLockFolderIsTheUsers)
{
    EXPECT_EQ(EngineLockFolder({"/home/eva", {}, {}, {}, "/run/user/1000"}), "/run/user/1000/Lindavo/firebird");
    EXPECT_EQ(EngineLockFolder({"/home/eva", {}, {}, {}, {}}), "/home/eva/.local/state/Lindavo/firebird");
    EXPECT_EQ(EngineLockFolder({"/home/eva", {}, {}, "/state", "run"}), "/state/Lindavo/firebird");
}
