#pragma once

#include "fb/Connection.h"
#include "fb/Service.h"
#include "maintenance/BackupRestore.h"

#include <QDialog>
#include <QString>
#include <QVariant>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class TIBEdit;
class TIBMemo;

// What the backup window needs of the program around it. The main window
// fills it (src/app/main.cpp); tests fill it from their fixture.
struct ZalohovanieEnvironment {
    fb::Connection* connection = nullptr;  // the main connection
    QString databasePath;                  // as configured: names the server, if any
    QString userName;
    QString password;
    QString backupsFolder;
    int keepCopies = 5;       // dated copies of replaced backups kept beside the file
    // The newest database version this program works with; a restore refuses
    // any backup above it (left at 0, every backup of a migrated database).
    int supportedVersion = 0;
    // The logged-in user's JEDIN; null while nobody is logged in. Asked at the
    // moment of a restore, which only a valid administrator may start.
    std::function<QVariant()> loggedInUser;
    // The state file of the backups (BackupState.h): what a check of a file
    // compares with, and where its outcome goes.
    QString stateFile;
    // Writes a failure into the error log.
    std::function<void(const QString&)> logProblem;
    std::function<void()> closeConnection;   // closes the main connection
    std::function<void()> reopenConnection;  // opens it again, with the start-up checks and the login
};

// Backs the database up into a file of the backups folder on this computer and
// restores it from one; the server's service manager streams the file to and
// from this program, so a server never needs this computer's folder. The main
// connection is closed while the service runs and opened again afterwards.
class TfrmZalohovanie : public QDialog {
    Q_OBJECT
public:
    explicit TfrmZalohovanie(ZalohovanieEnvironment environment, QWidget* parent = nullptr);
    ~TfrmZalohovanie() override;

    // The folder, a separator and the file name as typed.
    QString backupFile() const;
    bool running() const { return m_running; }

    // The settings section "Software\<program>\TfrmZalohovanie".
    static QString settingsSection();

    void Zalohuj();
    void Obnov();
    // Restores the chosen file into a temporary database and checks what it holds.
    void Over();

    void reject() override;

    TIBEdit* eAdresar = nullptr;
    TIBEdit* eSubor = nullptr;
    QGroupBox* gbPriebeh = nullptr;
    TIBMemo* mPriebeh = nullptr;
    QPushButton* btnZalohuj = nullptr;
    QPushButton* btnObnov = nullptr;
    QPushButton* btnOver = nullptr;
    QLabel* lblPrenos = nullptr;  // bytes moved while the service runs

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    void storeSettings();
    fb::DatabaseInfo databaseInfo();
    // Disables the window, runs `work`, detaches, enables and reopens the main
    // connection when `work` closed it; an error is translated, one that the
    // translation does not know is raised again at the end.
    void runService(QPushButton* button, const std::function<void()>& work,
                    const std::function<void(const std::exception&)>& onError);
    void closeMainConnection();
    // The automatic backup runs: nothing may start until it ends.
    bool automaticBackupRunning() const;
    void waitForAutomaticBackup();
    void addLine(const QString& line);
    void showProgress(qint64 bytes);
    ServiceLogin serviceLogin();
    // The file name typed is a plain file name beside the others; false after telling why not.
    bool fileNameAccepted();
    QString chosenExistingFile(const QString& missing);
    // Connected, and the logged-in user is still a valid administrator (asked in its own transaction).
    bool administratorLoggedIn();
    // Restores `file` into a temporary database beside the live one and reads
    // what it is; false after telling the user why it is refused.
    bool trialRestore(const QString& file, const QString& databaseFile);

    ZalohovanieEnvironment m_env;
    fb::DatabaseInfo m_info;  // of the last time the connection was open
    fb::Service m_service;
    qint64 m_shownBytes = -1;
    bool m_running = false;
    bool m_connectionClosed = false;
    bool m_stored = false;
};

// Creates the window, shows it modally and frees it.
void RunZalohovanie(const ZalohovanieEnvironment& environment);
