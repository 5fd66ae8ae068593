#pragma once

#include "app/AppConfig.h"
#include "app/ProgramLocations.h"
#include "app/Uzivatel.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "forms/FormViewer.h"
#include "register/DeadlineSql.h"

#include <functional>

class DeadlineCountsPanel;
class QGroupBox;
class QLabel;
class QFrame;
class TQDLBtn;
class TBackupStatusLabel;
class TfrmMain;

// The calls start-up makes into windows that live elsewhere: the migration
// window and the login dialog. Their owners install them; tests replace them.
struct StartupCalls {
    std::function<bool(TfrmMain&)> migrate;  // false: the application ends
    std::function<bool(TfrmMain&)> login;
    // After each successful connect and login (the automatic backup starts here).
    std::function<void(TfrmMain&)> connected;
};
StartupCalls& startupCalls();

// What the buttons of the main window open. The windows live in their own
// modules, which install their entry here; a button without one is disabled.
// The windows that need the settings, the connection or the user get the main
// window that opens them.
struct MainWindowTargets {
    std::function<void(TfrmMain&)> preklady;                 // the translation register
    std::function<void(TFormDetails&)> adresar;              // address book; Flag: translators
    std::function<void(TFormDetails&)> jazykoveKombinacie;   // language combinations
    std::function<void(TFormDetails&)> merneJednotky;        // units of measure
    std::function<void(TFormDetails&)> uzivatelia;           // the users list (administrators)
    std::function<void(TFormDetails&)> uzivatelEditor;       // one user's own record
    std::function<void(TfrmMain&)> zalohovanie;              // backup and restore
    // The register with the jobs of one of the deadline counts.
    std::function<void(TfrmMain&, DeadlineFilter)> prekladyPodlaTerminu;
    std::function<void(TfrmMain&)> prehlad;                  // the agency overview
};
MainWindowTargets& mainWindowTargets();

// The main window: owns the one connection, its main transaction and query and
// the current user, and performs the whole start-up while it is created. Each
// button hides it, runs its window modally and shows it again.
class TfrmMain : public TFormViewer {
    Q_OBJECT
public:
    // `executablePath` decides the configuration file and the default folders
    // (ProgramLocations.h).
    explicit TfrmMain(const QString& executablePath, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // True when start-up decided that the application ends.
    bool terminated() const { return m_terminated; }

    fb::Connection& IBDatabase() { return m_database; }
    fb::Transaction& IBTransaction() { return m_transaction; }
    fb::Query& ibQuery() { return m_query; }
    TUzivatel& Uzivatel() { return m_uzivatel; }
    const ConnectionSettings& settings() const { return m_settings; }
    const QString& configPath() const { return m_configPath; }
    const ProgramLocations& locations() const { return m_locations; }
    bool shiftForClose() const { return m_shiftForClose; }

    // Closes and opens the connection again, with the start-up checks (also
    // used after a restore).
    void Reconnect();
    // Closes the connection (before a restore replaces the database); nobody
    // is logged in until the next Reconnect.
    void CloseConnection();
    // Brings the application to the front (a second start asked for it).
    void BringToFront();
    // The login again, after an action was refused because the user's rights
    // were taken away meanwhile.
    void LoginAgain();
    // Opens the connection again after it was lost, with the same settings
    // (throws fb::Error while the server cannot be reached).
    void ReopenAfterLoss();

    // Enables each button whose window is installed (after installing targets).
    void updateButtons();

    // Closing is the window's close(), also for Esc.
    void reject() override;

signals:
    // The window closed for good: the application ends.
    void closed();
    // The start-up checks of a later Reconnect ended the application (a
    // cancelled login, a refused database): the program ends with this code.
    void startupEnded(int exitCode);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool keyPreview(QKeyEvent* event) override;

private:
    // Hides this window while `open` runs the chosen one.
    void runHidden(const std::function<void()>& open);
    void openWindow(TQDLBtn* button);
    void IBDLogin();
    // A first start: no database at the default path of the embedded engine.
    // Asks whether to create it and, on Yes, creates it at the current schema.
    void OfferNewDatabase();
    void IBDAfterConnect();
    void buildUi();
    void showUser();
    void onSessionEnding();

    QString m_executablePath;
    ProgramLocations m_locations;
    QString m_configPath;
    ConnectionSettings m_settings;
    bool m_shiftForClose = false;
    bool m_terminated = false;
    bool m_constructed = false;  // start-up of the constructor done
    bool m_sessionEnding = false;
    bool m_closingByEsc = false;
    bool m_escShift = false;

    fb::Connection m_database;
    fb::Transaction m_transaction;  // server defaults, made no-wait
    fb::Query m_query;
    TUzivatel m_uzivatel;

public:
    QFrame* pnlProgramName = nullptr;
    QLabel* JvHotLinkApplicationName = nullptr;
    QLabel* JvHotLinkWeb = nullptr;
    QLabel* JvHotLinkeMail = nullptr;
    QGroupBox* gbUzivatel = nullptr;
    QLabel* lblUzivatel = nullptr;
    DeadlineCountsPanel* pnlTerminy = nullptr;
    TQDLBtn* btnPreklady = nullptr;
    TQDLBtn* btnObjednavatelia = nullptr;
    TQDLBtn* btnPrekladatelia = nullptr;
    TQDLBtn* btnJazykoveKombinacie = nullptr;
    TQDLBtn* btnMerneJednotky = nullptr;
    TQDLBtn* btnUzivatelia = nullptr;
    TQDLBtn* btnZalohovanie = nullptr;
    TQDLBtn* btnPrehlad = nullptr;
    TBackupStatusLabel* lblZaloha = nullptr;  // the newest verified backup
};
