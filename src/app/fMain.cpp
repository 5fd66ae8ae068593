#include "app/fMain.h"

#include "app/StartupChecks.h"
#include "app/UnexpectedError.h"
#include "app/Version.h"
#include "controls/ListToolbar.h"
#include "framework/MainConnection.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QSessionManager>
#include <QVBoxLayout>

namespace {

const QString kNoUser = QStringLiteral("Žiadny užívateľ nie je prihlásený.");

struct ButtonDef {
    const char* name;
    const char* caption;
};

// The register and code-list windows, top to bottom; each is enabled when its
// window exists.
const ButtonDef kButtons[] = {
    {"btnPreklady", "&Lindavo"},
    {"btnObjednavatelia", "&Objednávatelia"},
    {"btnPrekladatelia", "&Prekladatelia"},
    {"btnJazykoveKombinacie", "Číselník jazykových kombinácií"},
    {"btnMerneJednotky", "Číselník merných jednotiek"},
    {"btnUzivatelia", "Používatelia"},
    {"btnZalohovanie", "&Zálohovanie databázy"},
};

}  // namespace

StartupCalls& startupCalls()
{
    static StartupCalls calls;
    return calls;
}

TfrmMain::TfrmMain(const QString& executablePath, QWidget* parent)
    : QWidget(parent), m_executablePath(executablePath), m_transaction(m_database, {QStringLiteral("nowait")}),
      m_query(m_transaction)
{
    setObjectName(QStringLiteral("frmMain"));
    buildUi();
    lblUzivatel->setText(kNoUser);
    setWindowTitle(QStringLiteral("Quendel - Lindavo, evidencia prekladov"));
    QGuiApplication::setApplicationDisplayName(windowTitle());

    m_configPath = ConfigPathFor(m_executablePath);
    m_shiftForClose = ReadShiftForClose(m_configPath);

    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { onSessionEnding(); });

    Reconnect();
}

TfrmMain::~TfrmMain()
{
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
    setFixedWidth(349);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 220, 192));
    setPalette(pal);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);

    pnlProgramName = new QFrame(this);
    pnlProgramName->setObjectName(QStringLiteral("pnlProgramName"));
    pnlProgramName->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlProgramName->setFixedHeight(61);
    auto* heading = new QVBoxLayout(pnlProgramName);
    heading->setContentsMargins(2, 2, 2, 2);
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
    layout->addWidget(pnlProgramName);

    gbUzivatel = new QGroupBox(QStringLiteral("Prihlásený užívateľ:"), this);
    gbUzivatel->setObjectName(QStringLiteral("gbUzivatel"));
    gbUzivatel->setFixedHeight(41);
    auto* userLayout = new QVBoxLayout(gbUzivatel);
    userLayout->setContentsMargins(2, 0, 2, 2);
    lblUzivatel = new QLabel(gbUzivatel);
    lblUzivatel->setObjectName(QStringLiteral("lblUzivatel"));
    lblUzivatel->setAlignment(Qt::AlignCenter);
    QFont bold = lblUzivatel->font();
    bold.setBold(true);
    lblUzivatel->setFont(bold);
    userLayout->addWidget(lblUzivatel);
    layout->addWidget(gbUzivatel);

    for (const ButtonDef& def : kButtons) {
        auto* b = new QPushButton(QString::fromUtf8(def.caption), this);
        b->setObjectName(QString::fromLatin1(def.name));
        b->setFixedHeight(41);
        b->setFont(bold);
        b->setEnabled(false);  // its window arrives with a later version
        layout->addWidget(b);
        m_buttons << b;
    }
}

void TfrmMain::Reconnect()
{
    setMainConnection(nullptr);
    m_uzivatel.clear();
    showUser();
    try {
        m_query.close();
        if (m_transaction.isActive())
            m_transaction.rollback();
        if (m_database.isOpen())
            m_database.close();
        IBDLogin();
        m_database.open(m_settings.database, ConnectionParams(m_settings));
    } catch (const std::exception& e) {
        // The window still opens, with nobody logged in.
        ShowUnexpectedError(e);
        return;
    }
    setMainConnection(&m_database);
    try {
        // marked-record sets left behind by connections that no longer exist
        CleanStaleTempSpracuj(m_database);
    } catch (const std::exception&) {
        // an old schema has no such table yet; the migration comes next
    }
    IBDAfterConnect();
}

void TfrmMain::IBDLogin()
{
    m_settings = ReadConnectionSettings(m_configPath, QFileInfo(m_executablePath).absolutePath() + QLatin1Char('/'));
}

void TfrmMain::IBDAfterConnect()
{
    AfterConnectSteps steps;
    if (startupCalls().migrate)
        steps.migrate = [this] { return startupCalls().migrate(*this); };
    steps.login = [this] { return startupCalls().login ? startupCalls().login(*this) : true; };
    if (AfterConnect(m_transaction, m_query, SupportedVersion(), steps) == StartupOutcome::Terminate) {
        m_terminated = true;
        return;
    }
    showUser();
}

void TfrmMain::showUser()
{
    lblUzivatel->setText(m_uzivatel.Jedin.isNull() ? kNoUser : m_uzivatel.Meno);
}

void TfrmMain::BringToFront()
{
    QWidget* w = QApplication::activeModalWidget();
    if (!w)
        w = this;
    if (w->isMinimized())
        w->showNormal();
    w->raise();
    w->activateWindow();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    JvHotLinkApplicationName->setText(QStringLiteral("Lindavo - verzia ") + VersionText());
    QWidget::showEvent(event);
}

void TfrmMain::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // ShiftForClose: closing minimises unless Shift is held (never at shutdown).
    if (m_shiftForClose && !m_sessionEnding && !(QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier)) {
        event->ignore();
        showMinimized();
        return;
    }
    event->accept();
}

void TfrmMain::onSessionEnding()
{
    m_sessionEnding = true;
    close();
    QCoreApplication::quit();
}
