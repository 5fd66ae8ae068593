#pragma once

#include "fb/Connection.h"
#include "fb/Service.h"

#include <QDialog>
#include <QString>

#include <functional>

class QGroupBox;
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
    std::function<void()> closeConnection;   // closes the main connection
    std::function<void()> reopenConnection;  // opens it again, with the start-up checks and the login
};

// Backs the database up into a file of the backups folder and restores it
// from one, through the server's service manager. The main connection is
// closed while the service runs and opened again afterwards.
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

    void reject() override;

    TIBEdit* eAdresar = nullptr;
    TIBEdit* eSubor = nullptr;
    QGroupBox* gbPriebeh = nullptr;
    TIBMemo* mPriebeh = nullptr;
    QPushButton* btnZalohuj = nullptr;
    QPushButton* btnObnov = nullptr;

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
    void addLine(const QString& line);
    // Runs the service; every line goes to the memo as it arrives.
    void backup(const QString& databaseFile, const QString& file);
    void restore(const QString& file, const QString& databaseFile);

    ZalohovanieEnvironment m_env;
    fb::DatabaseInfo m_info;  // of the last time the connection was open
    fb::Service m_service;
    bool m_running = false;
    bool m_connectionClosed = false;
    bool m_stored = false;
};

// Creates the window, shows it modally and frees it.
void RunZalohovanie(const ZalohovanieEnvironment& environment);
