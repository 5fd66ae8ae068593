#pragma once

#include "app/AppConfig.h"
#include "app/Uzivatel.h"
#include "fb/Connection.h"
#include "fb/Query.h"
#include "fb/Transaction.h"

#include <QWidget>

#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QFrame;
class TfrmMain;

// The calls start-up makes into windows that live elsewhere: the migration
// window and the login dialog. Their owners install them; tests replace them.
struct StartupCalls {
    std::function<bool(TfrmMain&)> migrate;  // false: the application ends
    std::function<bool(TfrmMain&)> login;
};
StartupCalls& startupCalls();

// The main window: owns the one connection, its main transaction and query and
// the current user, and performs the whole start-up while it is created.
class TfrmMain : public QWidget {
    Q_OBJECT
public:
    // `executablePath` decides the configuration file and the default folders.
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
    bool shiftForClose() const { return m_shiftForClose; }

    // Closes and opens the connection again, with the start-up checks (also
    // used after a restore).
    void Reconnect();
    // Brings the application to the front (a second start asked for it).
    void BringToFront();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void IBDLogin();
    void IBDAfterConnect();
    void buildUi();
    void showUser();
    void onSessionEnding();

    QString m_executablePath;
    QString m_configPath;
    ConnectionSettings m_settings;
    bool m_shiftForClose = false;
    bool m_terminated = false;
    bool m_sessionEnding = false;

    fb::Connection m_database;
    fb::Transaction m_transaction;  // server defaults, made no-wait
    fb::Query m_query;
    TUzivatel m_uzivatel;

    QFrame* pnlProgramName = nullptr;
    QLabel* JvHotLinkApplicationName = nullptr;
    QLabel* JvHotLinkWeb = nullptr;
    QLabel* JvHotLinkeMail = nullptr;
    QGroupBox* gbUzivatel = nullptr;
    QLabel* lblUzivatel = nullptr;
    QList<QPushButton*> m_buttons;
};
