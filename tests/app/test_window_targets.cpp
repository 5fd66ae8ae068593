// The windows the main window opens take the settings, the connection and the
// user from the main window handed to them: started from another working
// directory, with the main window hidden and another window on top (as while
// the register runs), the report run still finds the configured layouts.
#include "support/DialogTranscript.h"
#include "support/Modal.h"
#include "support/TempSettings.h"
#include "TestDatabase.h"

#include "app/WindowTargets.h"
#include "app/fMain.h"
#include "forms/FormViewer.h"
#include "framework/UiHelpers.h"
#include "reports/fTlac.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(WindowTargets, ReportsRegisterAndBackupUseTheMainWindowHandedToThem)
{
    TempSettings settings;
    TestDatabase db(TestDatabase::Migrated);
    const QString path = db.path();
    db.connection().close();

    QTemporaryDir programDir, startedIn;
    const QString reports = programDir.filePath("Zostavy");
    ASSERT_TRUE(QDir().mkpath(reports));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LINDAVO_REPORTS_DIR "/Preh_Obj_Sk.frf"), reports + "/Preh_Obj_Sk.frf"));
    {
        QSettings ini(programDir.filePath("Lindavo.ini"), QSettings::IniFormat);
        ini.setValue("Settings/Database", path);
        ini.setValue("Settings/Reports", reports);
        ini.setValue("Settings/Backups", programDir.filePath("Zalohy"));
    }
    startupCalls().login = [](TfrmMain& main) {
        main.Uzivatel() = TUzivatel{1, "Správca", "AD", true};
        return true;
    };
    const QString before = QDir::currentPath();
    QDir::setCurrent(startedIn.path());
    {
        DialogTranscript transcript;
        TfrmMain main(programDir.filePath("Lindavo"));
        ASSERT_TRUE(main.IBDatabase().isOpen());
        main.hide();
        TFormViewer onTop;  // the register: the application's main window meanwhile
        ASSERT_EQ(MainWindow(), &onTop);

        const TfrmEPreklady::Windows windows = RegisterWindowsFor(main);
        EXPECT_EQ(windows.userAbbreviation, "AD");
        const ZalohovanieEnvironment backup = BackupEnvironmentFor(main);
        EXPECT_EQ(backup.connection, &main.IBDatabase());
        EXPECT_EQ(backup.backupsFolder, programDir.filePath("Zalohy"));

        int designerOpened = 0;
        const auto previousDesigner = TfrmTlac::Designer;
        TfrmTlac::Designer = [&](TfrmTlac&) { ++designerOpened; };
        QString layout;
        bool loaded = false;
        onNextModal([&](QWidget* w) {
            auto* runner = qobject_cast<TfrmTlac*>(w);
            ASSERT_NE(runner, nullptr);
            layout = runner->layoutPath();
            loaded = runner->report().layout().masterData.has_value();
            runner->reject();
        });
        ReportRequest request;
        request.title = "Zoznam";
        request.layoutName = "Preh_Obj_Sk.frf";
        request.statement.lines = {"select 1 as X from rdb$database"};
        ReportRunFor(main)(request);
        TfrmTlac::Designer = previousDesigner;
        EXPECT_EQ(QFileInfo(layout).absoluteFilePath(), QFileInfo(reports + "/Preh_Obj_Sk.frf").absoluteFilePath());
        EXPECT_TRUE(loaded) << "the shipped layout was read, not an empty one";
        EXPECT_EQ(designerOpened, 0);
        EXPECT_EQ(transcript.count(), 0);
    }
    QDir::setCurrent(before);
    startupCalls().login = nullptr;
    db.connection().open(path, TestDatabase::params());
}
