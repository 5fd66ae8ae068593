#include "app/AppConfig.h"

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
