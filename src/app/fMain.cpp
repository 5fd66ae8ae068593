#include "app/fMain.h"

#include "app/DeadlineCountsPanel.h"
#include "app/LindavoApplication.h"
#include "app/StartupChecks.h"
#include "app/UnexpectedError.h"
#include "app/Version.h"
#include "controls/ListToolbar.h"
#include "controls/QDLBtn.h"
#include "db/NewDatabase.h"
#include "fb/Error.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "framework/Session.h"
#include "framework/SlotGuard.h"
#include "framework/UiHelpers.h"
#include "framework/WaitPlease.h"
#include "maintenance/BackupStatusLabel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSessionManager>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

const QString kNoUser = QStringLiteral("Žiadny užívateľ nie je prihlásený.");

struct ButtonDef {
    TQDLBtn* TfrmMain::*member;
    const char* name;
    const char* caption;
    int image;  // in the 32-pixel image list
};

// The register and code-list windows, top to bottom.
const ButtonDef kButtons[] = {
    {&TfrmMain::btnPreklady, "btnPreklady", "&Lindavo", 37},
    {&TfrmMain::btnObjednavatelia, "btnObjednavatelia", "&Objednávatelia", 33},
    {&TfrmMain::btnPrekladatelia, "btnPrekladatelia", "&Prekladatelia", 33},
    {&TfrmMain::btnJazykoveKombinacie, "btnJazykoveKombinacie", "Číselník jazykových kombinácií", 37},
    {&TfrmMain::btnMerneJednotky, "btnMerneJednotky", "Číselník merných jednotiek", 33},
    {&TfrmMain::btnUzivatelia, "btnUzivatelia", "Používatelia", 33},
    {&TfrmMain::btnZalohovanie, "btnZalohovanie", "&Zálohovanie databázy", 48},
    {&TfrmMain::btnPrehlad, "btnPrehlad", "Prehľad &agentúry", 37},
};

constexpr int kLeft = 4;
constexpr int kWidth = 341;
constexpr int kCountsTop = 112;  // the deadline counts, under the user
constexpr int kFirstButtonTop = kCountsTop + 44;
constexpr int kButtonStep = 44;
constexpr int kButtonHeight = 41;

}  // namespace

StartupCalls& startupCalls()
{
    static StartupCalls calls;
    return calls;
}

MainWindowTargets& mainWindowTargets()
{
    static MainWindowTargets targets;
    return targets;
}

TfrmMain::TfrmMain(const QString& executablePath, QWidget* parent)
    : TFormViewer(parent), m_executablePath(executablePath), m_transaction(m_database, {}), m_query(m_transaction)
{
    setObjectName(QStringLiteral("frmMain"));
    OwnTransaction(m_transaction);
    buildUi();
    lblUzivatel->setText(kNoUser);
    setWindowTitle(QStringLiteral("Quendel - Lindavo, evidencia prekladov"));
    QGuiApplication::setApplicationDisplayName(windowTitle());

    m_locations = LocateProgramFiles(m_executablePath);
    m_configPath = m_locations.configFile;
    m_shiftForClose = ReadShiftForClose(m_configPath);

    connect(qApp, &QGuiApplication::commitDataRequest, this,
            guarded([this](QSessionManager&) { onSessionEnding(); }));
    sessionLoginAgain() = [this] { LoginAgain(); };
    mainConnectionReopen() = [this] { ReopenAfterLoss(); };

    Reconnect();
    m_constructed = true;
}

TfrmMain::~TfrmMain()
{
    sessionLoginAgain() = nullptr;
    mainConnectionReopen() = nullptr;
    setSessionUser({});
    setMainConnection(nullptr);
    try {
        m_query.close();
        if (m_transaction.isActive())
            m_transaction.commit();
        m_database.close();
    } catch (const std::exception&) {
        // the server may be gone at the end of the run; nothing is left to save
    }
}

void TfrmMain::buildUi()
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    const int lastTop = kFirstButtonTop + kButtonStep * int(std::size(kButtons) - 1);
    setFixedSize(349, lastTop + kButtonHeight + 4 + 22);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192));
    setPalette(pal);

    pnlProgramName = new QFrame(this);
    pnlProgramName->setObjectName(QStringLiteral("pnlProgramName"));
    // raised inner bevel inside a lowered outer one
    pnlProgramName->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlProgramName->setLineWidth(2);
    pnlProgramName->setStyleSheet(
        QStringLiteral("QFrame#pnlProgramName { border: 2px outset #e0e0e0; border-style: inset outset; }"));
    pnlProgramName->setGeometry(kLeft, 4, kWidth, 61);
    auto* heading = new QVBoxLayout(pnlProgramName);
    heading->setContentsMargins(3, 2, 3, 2);
    heading->setSpacing(0);
    JvHotLinkApplicationName = new QLabel(pnlProgramName);
    JvHotLinkApplicationName->setObjectName(QStringLiteral("JvHotLinkApplicationName"));
    JvHotLinkApplicationName->setAlignment(Qt::AlignCenter);
    JvHotLinkApplicationName->setFont(QFont(QStringLiteral("Arial"), 16, QFont::Bold));
    JvHotLinkWeb = new QLabel(QStringLiteral("www.quendel.sk"), pnlProgramName);
    JvHotLinkWeb->setObjectName(QStringLiteral("JvHotLinkWeb"));
    JvHotLinkeMail = new QLabel(QStringLiteral("podpora@quendel.sk"), pnlProgramName);
    JvHotLinkeMail->setObjectName(QStringLiteral("JvHotLinkeMail"));
    for (QLabel* l : {JvHotLinkWeb, JvHotLinkeMail}) {
        l->setAlignment(Qt::AlignCenter);
        l->setFont(QFont(QStringLiteral("Arial"), 9, QFont::Bold));
        l->setStyleSheet(QStringLiteral("color: blue"));
    }
    heading->addWidget(JvHotLinkApplicationName);
    heading->addWidget(JvHotLinkWeb);
    heading->addWidget(JvHotLinkeMail);

    gbUzivatel = new QGroupBox(QStringLiteral("Prihlásený užívateľ:"), this);
    gbUzivatel->setObjectName(QStringLiteral("gbUzivatel"));
    gbUzivatel->setGeometry(kLeft, 68, kWidth, 41);
    auto* userLayout = new QVBoxLayout(gbUzivatel);
    userLayout->setContentsMargins(2, 0, 2, 2);
    lblUzivatel = new QLabel(gbUzivatel);
    lblUzivatel->setObjectName(QStringLiteral("lblUzivatel"));
    lblUzivatel->setAlignment(Qt::AlignCenter);
    QFont bold = lblUzivatel->font();
    bold.setBold(true);
    lblUzivatel->setFont(bold);
    userLayout->addWidget(lblUzivatel);

    int top = kFirstButtonTop;
    for (const ButtonDef& def : kButtons) {
        auto* b = new TQDLBtn(QString::fromUtf8(def.caption), this);
        b->setObjectName(QString::fromLatin1(def.name));
        b->setGeometry(kLeft, top, kWidth, kButtonHeight);
        b->setIcon(ToolbarImage(def.image, 32));
        b->setIconSize(QSize(32, 32));
        b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 8px;"));
        connect(b, &QPushButton::clicked, this, guarded([this, b] { openWindow(b); }));
        this->*def.member = b;
        top += kButtonStep;
    }

    // After the buttons in the tab order: the register's button keeps the first place.
    pnlTerminy = new DeadlineCountsPanel(this);
    pnlTerminy->setGeometry(kLeft, kCountsTop, kWidth, 41);
    connect(pnlTerminy, &DeadlineCountsPanel::openRegister, this, guarded([this](DeadlineFilter filter) {
                if (const auto& open = mainWindowTargets().prekladyPodlaTerminu)
                    runHidden([&] { open(*this, filter); });
            }));
    lblZaloha = new TBackupStatusLabel(this);
    lblZaloha->setGeometry(kLeft, lastTop + kButtonHeight + 2, kWidth, 20);
    lblZaloha->hide();  // shown by the automatic backup when it is on
}

void TfrmMain::updateButtons()
{
    const MainWindowTargets& t = mainWindowTargets();
    // Every window works on the database: without a connection and a user
    // the buttons would only raise errors.
    const bool ready = m_database.isOpen() && !m_uzivatel.Jedin.isNull();
    btnPreklady->setEnabled(ready && bool(t.preklady));
    btnObjednavatelia->setEnabled(ready && bool(t.adresar));
    btnPrekladatelia->setEnabled(ready && bool(t.adresar));
    btnJazykoveKombinacie->setEnabled(ready && bool(t.jazykoveKombinacie));
    btnMerneJednotky->setEnabled(ready && bool(t.merneJednotky));
    btnUzivatelia->setEnabled(ready && bool(m_uzivatel.Spravca ? t.uzivatelia : t.uzivatelEditor));
    btnZalohovanie->setEnabled(ready && bool(t.zalohovanie));
    btnPrehlad->setEnabled(ready && bool(t.prehlad));
}

void TfrmMain::openWindow(TQDLBtn* button)
{
    const MainWindowTargets& t = mainWindowTargets();
    TFormDetails d;
    // The main window has no parent key of its own: register windows get null.
    InitDetails(d, TFormDetails::Browse, Parent);
    std::function<void()> open;
    if (button == btnPreklady && t.preklady)
        open = [&] { t.preklady(*this); };
    else if (button == btnZalohovanie && t.zalohovanie)
        open = [&] { t.zalohovanie(*this); };
    else if (button == btnPrehlad && t.prehlad)
        open = [&] { t.prehlad(*this); };
    else if ((button == btnObjednavatelia || button == btnPrekladatelia) && t.adresar) {
        d.Flag = button == btnPrekladatelia;
        open = [&] { t.adresar(d); };
    } else if (button == btnJazykoveKombinacie && t.jazykoveKombinacie)
        open = [&] { t.jazykoveKombinacie(d); };
    else if (button == btnMerneJednotky && t.merneJednotky)
        open = [&] { t.merneJednotky(d); };
    else if (button == btnUzivatelia && m_uzivatel.Spravca && t.uzivatelia)
        open = [&] { t.uzivatelia(d); };
    else if (button == btnUzivatelia && !m_uzivatel.Spravca && t.uzivatelEditor) {
        // Anyone else may change only his own record.
        InitDetails(d, TFormDetails::Edit, {}, m_uzivatel.Jedin);
        open = [&] { t.uzivatelEditor(d); };
    }
    if (open)
        runHidden(open);
}

void TfrmMain::runHidden(const std::function<void()>& open)
{
    hide();
    // Also when `open` fails; not when the program is ending (a reconnect
    // from the backup window whose start-up checks ended it).
    struct ShowAgain {
        TfrmMain* window;
        ~ShowAgain()
        {
            if (!window->m_terminated)
                window->show();
        }
    } showAgain{this};
    open();
}

void TfrmMain::CloseConnection()
{
    setMainConnection(nullptr);
    m_uzivatel.clear();
    showUser();
    try {
        m_query.close();
        if (m_transaction.isActive())
            m_transaction.rollback();
    } catch (const fb::Error&) {
        // a link already lost: closing the connection ends it all the same
    }
    if (m_database.isOpen())
        m_database.close();
}

void TfrmMain::Reconnect()
{
    try {
        CloseConnection();
        IBDLogin();
        OfferNewDatabase();
        m_database.open(m_settings.database, ConnectionParams(m_settings));
    } catch (const fb::Error& e) {
        // The window still opens, with nobody logged in and its buttons
        // disabled; the user learns what to fix and where.
        RedMessageDlg(DatabaseOpenFailureText(e, m_settings.database, m_configPath), msg::Error, {msg::OK}, 0,
                      msg::OK);
        showUser();
        return;
    } catch (const std::exception& e) {
        ShowUnexpectedError(e);
        showUser();
        return;
    }
    setMainConnection(&m_database);
    IBDAfterConnect();
}

void TfrmMain::IBDLogin()
{
    m_settings = ReadConnectionSettings(m_configPath, m_locations);
}

void TfrmMain::OfferNewDatabase()
{
    // Only the default file: a path typed into the configuration that leads
    // nowhere is a mistake to report, not a place for a new database; a
    // server's database is the server's business.
    const QString path = m_settings.database;
    if (!IsLocalDatabasePath(path) || QFileInfo::exists(path)
        || QFileInfo(path).absoluteFilePath() != QFileInfo(m_locations.database).absoluteFilePath())
        return;
    if (MessageDlg(QStringLiteral("Databáza ešte neexistuje. Vytvoriť novú?"), msg::Confirmation,
                   {msg::Yes, msg::No}, 0, msg::Yes)
        != msg::Yes)
        return;
    NewDatabaseResult result;
    {
        WaitPleaseScope wait;
        result = CreateCurrentDatabase(path, m_settings.userName, m_settings.password, SupportedVersion());
    }
    if (result.outcome == NewDatabaseResult::PackageDamaged)
        throw std::runtime_error(
            QStringLiteral("Databázu nemožno vytvoriť: balík aktualizácií programu je poškodený (%1).")
                .arg(result.detail)
                .toStdString());
    if (result.outcome != NewDatabaseResult::Completed)
        throw std::runtime_error(QStringLiteral("Databázu nemožno vytvoriť: aktualizácia sa zastavila na verzii %1.")
                                     .arg(result.version)
                                     .toStdString());
}

void TfrmMain::IBDAfterConnect()
{
    AfterConnectSteps steps;
    if (startupCalls().migrate)
        steps.migrate = [this] { return startupCalls().migrate(*this); };
    steps.accepted = [this] {
        try {
            // marked-record sets left behind by connections that no longer exist
            CleanStaleTempSpracuj(m_database);
        } catch (const fb::Error&) {
            // only tidying: another workstation cleaning at the same moment
            // must not stop the start
        }
    };
    steps.login = [this] { return startupCalls().login ? startupCalls().login(*this) : true; };
    if (AfterConnect(m_transaction, m_query, SupportedVersion(), steps) == StartupOutcome::Terminate) {
        m_terminated = true;
        // While the window is being created its creator reads terminated();
        // later (a reconnect after a restore) the program is told to end here.
        if (m_constructed) {
            hide();
            emit startupEnded(1);
        }
        return;
    }
    showUser();
    if (startupCalls().connected)
        startupCalls().connected(*this);
}

void TfrmMain::showUser()
{
    setSessionUser(m_uzivatel.Jedin);
    if (m_database.isOpen()) {
        try {
            SetHistoryUser(m_database, m_uzivatel.Jedin.isNull() ? QString() : m_uzivatel.Skratka);
        } catch (const fb::Error&) {
            // A link lost just now: reopening it sets the user again, and
            // until then nothing is written.
        }
    }
    lblUzivatel->setText(m_uzivatel.Jedin.isNull() ? kNoUser : m_uzivatel.Meno);
    updateButtons();
}

void TfrmMain::ReopenAfterLoss()
{
    // The old attachment is gone with the server or the network: what is left
    // of it on this side is dropped, and the same settings open a new one. The
    // user stays logged in; his next write checks that he still may.
    try {
        m_query.close();
        if (m_transaction.isActive())
            m_transaction.rollback();
    } catch (const fb::Error&) {
    }
    try {
        m_database.close();
    } catch (const fb::Error&) {
    }
    m_database.open(m_settings.database, ConnectionParams(m_settings));
    // The job history's user belongs to the attachment: the new one starts without it.
    SetHistoryUser(m_database, m_uzivatel.Jedin.isNull() ? QString() : m_uzivatel.Skratka);
}

void TfrmMain::LoginAgain()
{
    // Whoever logs in now works on; a cancelled login leaves the refused user
    // in place, so his next action is refused again.
    TUzivatel refused = m_uzivatel;
    if (startupCalls().login && startupCalls().login(*this) && !m_uzivatel.Jedin.isNull()) {
        showUser();
        return;
    }
    m_uzivatel = refused;
    showUser();
}

void TfrmMain::BringToFront()
{
    RaiseApplication(this);
}

void TfrmMain::showEvent(QShowEvent* event)
{
    JvHotLinkApplicationName->setText(QStringLiteral("Lindavo - verzia ") + VersionText());
    TFormViewer::showEvent(event);
}

bool TfrmMain::keyPreview(QKeyEvent* event)
{
    // Shift+Esc closes too: with ShiftForClose it is the keyboard's way to end.
    const Qt::KeyboardModifiers mods = ShiftCtrlAlt(event);
    if (event->key() == Qt::Key_Escape && (mods & ~Qt::ShiftModifier) == Qt::NoModifier) {
        m_escShift = mods & Qt::ShiftModifier;
        m_closingByEsc = true;
        close();
        m_closingByEsc = false;
        return true;
    }
    return false;
}

void TfrmMain::reject()
{
    close();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // ShiftForClose: closing minimises unless Shift is held (never at shutdown).
    const bool shift =
        m_closingByEsc ? m_escShift : bool(QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier);
    if (m_shiftForClose && !m_sessionEnding && !shift) {
        event->ignore();
        showMinimized();
        return;
    }
    // Not the dialog's own close handling: that would reject instead.
    event->accept();
    emit closed();
}

void TfrmMain::onSessionEnding()
{
    m_sessionEnding = true;
    close();
    QCoreApplication::quit();
}
