#include "maintenance/fZalohovanie.h"

#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/ToolbarImages.h"
#include "forms/FormUni.h"
#include "framework/Clock.h"
#include "framework/ErrorTranslation.h"
#include "framework/Messages.h"
#include "framework/SettingsRoots.h"
#include "framework/SlotGuard.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"
#include "maintenance/BackupRestore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QVBoxLayout>

namespace {

const QString kFileSetting = QStringLiteral("VevavivaviBackup");
const QString kDefaultFile = QStringLiteral("Lindavo.fbk");

QString dateTimeText(const QDateTime& moment)
{
    return moment.toString(QStringLiteral("dd.MM.yyyy hh:mm"));
}

}  // namespace

TfrmZalohovanie::TfrmZalohovanie(ZalohovanieEnvironment environment, QWidget* parent)
    : QDialog(parent), m_env(std::move(environment))
{
    setObjectName(QStringLiteral("frmZalohovanie"));
    buildUi();

    eAdresar->setText(QDir::toNativeSeparators(m_env.backupsFolder));
    QString file = readUserString(settingsSection(), kFileSetting, kDefaultFile).trimmed();
    eSubor->setText(file.isEmpty() ? kDefaultFile : file);
    mPriebeh->clear();

    bool hasLeft = false;
    bool hasTop = false;
    const int left = readUserInt(settingsSection(), QStringLiteral("Left"), 0, &hasLeft);
    const int top = readUserInt(settingsSection(), QStringLiteral("Top"), 0, &hasTop);
    if (hasLeft && hasTop) {
        // only the position is remembered; a position off the screen is brought back
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect placed = screen ? FitToScreen(QRect(QPoint(left, top), size()), screen->geometry().size())
                                    : QRect(QPoint(left, top), size());
        move(placed.topLeft());
    }
    if (m_env.connection && m_env.connection->isOpen())
        m_info = m_env.connection->info();
}

TfrmZalohovanie::~TfrmZalohovanie()
{
    storeSettings();
}

QString TfrmZalohovanie::settingsSection()
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return settingsroot::Software + QLatin1Char('\\') + program + QStringLiteral("\\TfrmZalohovanie");
}

void TfrmZalohovanie::buildUi()
{
    setWindowTitle(QStringLiteral("Zálohovanie a obnovenie databázy programu"));
    resize(513, 373);

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnlHore"));
    top->setFixedHeight(53);
    auto* grid = new QGridLayout(top);
    grid->setContentsMargins(8, 4, 8, 2);
    grid->setVerticalSpacing(3);
    auto* lblAdresar = new QLabel(QStringLiteral("Priečinok:"), top);
    auto* lblSubor = new QLabel(QStringLiteral("Súbor:"), top);
    eAdresar = new TIBEdit(top);
    eAdresar->setObjectName(QStringLiteral("eAdresar"));
    eAdresar->setReadOnly(true);
    eAdresar->setFocusPolicy(Qt::NoFocus);
    eSubor = new TIBEdit(top);
    eSubor->setObjectName(QStringLiteral("eSubor"));
    eSubor->setRequired(true);
    lblAdresar->setBuddy(eAdresar);
    lblSubor->setBuddy(eSubor);
    grid->addWidget(lblAdresar, 0, 0);
    grid->addWidget(eAdresar, 0, 1);
    grid->addWidget(lblSubor, 1, 0);
    grid->addWidget(eSubor, 1, 1);
    grid->setColumnStretch(1, 1);

    gbPriebeh = new QGroupBox(QStringLiteral(" Priebeh činnosti: "), this);
    gbPriebeh->setObjectName(QStringLiteral("gbPriebeh"));
    auto* box = new QVBoxLayout(gbPriebeh);
    box->setContentsMargins(6, 4, 6, 6);
    mPriebeh = new TIBMemo(gbPriebeh);
    mPriebeh->setObjectName(QStringLiteral("mPriebeh"));
    mPriebeh->setReadOnly(true);
    mPriebeh->setFocusPolicy(Qt::NoFocus);
    mPriebeh->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mPriebeh->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Only copying: the read-only memo's own menu offers copy and select all.
    mPriebeh->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->addWidget(mPriebeh);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("pnlDole"));
    bottom->setFixedHeight(41);
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(8, 8, 8, 8);
    btnZalohuj = new QPushButton(QStringLiteral("Zálohuj"), bottom);
    btnZalohuj->setObjectName(QStringLiteral("btnZalohuj"));
    btnObnov = new QPushButton(QStringLiteral("Obnov"), bottom);
    btnObnov->setObjectName(QStringLiteral("btnObnov"));
    btnObnov->setFocusPolicy(Qt::ClickFocus);
    for (QPushButton* b : {btnZalohuj, btnObnov}) {
        b->setFixedSize(108, 25);
        QFont bold = b->font();
        bold.setBold(true);
        b->setFont(bold);
        b->setIcon(ToolbarImage(1, 16));
        b->setAutoDefault(false);
    }
    row->addWidget(btnZalohuj);
    row->addStretch(1);
    row->addWidget(btnObnov);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(gbPriebeh, 1);
    layout->addWidget(bottom);

    setTabOrder(eSubor, btnZalohuj);
    connect(btnZalohuj, &QPushButton::clicked, this, guarded([this] { Zalohuj(); }));
    connect(btnObnov, &QPushButton::clicked, this, guarded([this] { Obnov(); }));
}

QString TfrmZalohovanie::backupFile() const
{
    return BackupFilePath(eAdresar->text(), eSubor->text());
}

void TfrmZalohovanie::storeSettings()
{
    if (m_stored)
        return;
    m_stored = true;
    writeUserString(settingsSection(), kFileSetting, eSubor->text());
    writeUserInt(settingsSection(), QStringLiteral("Left"), pos().x());
    writeUserInt(settingsSection(), QStringLiteral("Top"), pos().y());
}

fb::DatabaseInfo TfrmZalohovanie::databaseInfo()
{
    if (m_env.connection && m_env.connection->isOpen())
        m_info = m_env.connection->info();
    if (m_info.fileName.isEmpty()) {
        // Never connected while this window was open: the configured path
        // says where the database lies.
        fb::DatabaseInfo configured;
        configured.fileName = FileOfDatabasePath(m_env.databasePath);
        const QString server = ServerOfDatabasePath(m_env.databasePath);
        configured.siteName = server.isEmpty() ? QSysInfo::machineHostName() : server.section(QLatin1Char('/'), 0, 0);
        return configured;
    }
    return m_info;
}

void TfrmZalohovanie::addLine(const QString& line)
{
    mPriebeh->appendPlainText(line);
    // The window stays disabled meanwhile: it repaints, nothing else can start.
    QCoreApplication::processEvents();
}

void TfrmZalohovanie::closeMainConnection()
{
    if (m_env.closeConnection)
        m_env.closeConnection();
    m_connectionClosed = true;
}

void TfrmZalohovanie::backup(const QString& databaseFile, const QString& file)
{
    const fb::DatabaseInfo info = databaseInfo();
    const ServiceLogin login{ChooseServiceSite(m_env.databasePath, info.siteName, QSysInfo::machineHostName()),
                             m_env.userName, m_env.password};
    RunBackupService(m_service, login, databaseFile, file, [this](const QString& l) { addLine(l); });
}

void TfrmZalohovanie::restore(const QString& file, const QString& databaseFile)
{
    const fb::DatabaseInfo info = databaseInfo();
    const ServiceLogin login{ChooseServiceSite(m_env.databasePath, info.siteName, QSysInfo::machineHostName()),
                             m_env.userName, m_env.password};
    RunRestoreService(m_service, login, file, databaseFile, [this](const QString& l) { addLine(l); });
}

void TfrmZalohovanie::runService(QPushButton* button, const std::function<void()>& work,
                                 const std::function<void(const std::exception&)>& onError)
{
    setEnabled(false);
    button->setEnabled(false);
    mPriebeh->clear();
    m_running = true;
    m_connectionClosed = false;
    std::exception_ptr unhandled;
    try {
        work();
    } catch (const std::exception& e) {
        if (!onError)
            unhandled = std::current_exception();
        else
            try {
                onError(e);
            } catch (...) {
                unhandled = std::current_exception();
            }
    }
    try {
        m_service.detach();
    } catch (const std::exception&) {
        // the service has ended one way or the other; its handle is released
    }
    button->setEnabled(true);
    setEnabled(true);
    m_running = false;
    if (m_connectionClosed && m_env.reopenConnection) {
        m_connectionClosed = false;
        m_env.reopenConnection();
    }
    if (unhandled)
        std::rethrow_exception(unhandled);
}

void TfrmZalohovanie::Zalohuj()
{
    if (m_running)
        return;
    if (eSubor->text().trimmed().isEmpty()) {
        eSubor->setFocus();
        return;
    }
    const QString folder = eAdresar->text();
    if (!QFileInfo(folder).isDir()) {
        if (GrayMessageDlg(QStringLiteral("Priečinok pre zálohovanie neexistuje. Mám ho vytvoriť?"),
                           msg::Confirmation, {msg::Yes, msg::No}, 0, msg::Yes) != msg::Yes)
            return;
        if (!QDir().mkpath(folder)) {
            RedMessageDlg(QStringLiteral("Nastala chyba pri vytváraní priečinka pre záložný súbor. "
                                         "Zálohovanie bolo prerušené."),
                          msg::Error, {msg::OK}, 0, msg::OK);
            return;
        }
    }
    const QString file = backupFile();
    runService(
        btnZalohuj,
        [&] {
            const QString databaseFile = databaseInfo().fileName;
            closeMainConnection();
            backup(databaseFile, file);
            PlainMessageBox(QStringLiteral("Zálohovanie úspešne dokončené."));
        },
        [](const std::exception& e) {
            if (TranslateDbError(e) == 0)
                throw;
        });
}

void TfrmZalohovanie::Obnov()
{
    if (m_running)
        return;
    if (eSubor->text().trimmed().isEmpty()) {
        eSubor->setFocus();
        return;
    }
    const QString file = backupFile();
    const QFileInfo fileInfo(file);
    if (!fileInfo.isFile()) {
        RedMessageDlg(QStringLiteral("Nie je možné vykonať obnovenie databázy, lebo záložný súbor nebol nájdený."),
                      msg::Error, {msg::OK}, 0, msg::OK);
        return;
    }

    // The restore replaces the database everybody works with: only when asked,
    // and never while others have it open (the server would refuse anyway,
    // after the connection was given up).
    const bool connected = m_env.connection && m_env.connection->isOpen();
    QString question = QStringLiteral("Obnovením sa súčasná databáza nahradí databázou zo záložného súboru\r\n"
                                      "%1\r\nz %2.\r\n\r\n")
                           .arg(QDir::toNativeSeparators(file), dateTimeText(fileInfo.lastModified()));
    if (connected)
        question += QStringLiteral("Súčasná databáza sa predtým zálohuje do priečinka\r\n%1\r\n\r\n")
                        .arg(eAdresar->text());
    question += QStringLiteral("Naozaj chcete databázu obnoviť?");
    if (RedMessageDlg(question, msg::Confirmation, {msg::Yes, msg::No}, 0, msg::No) != msg::Yes)
        return;
    if (connected) {
        const qsizetype attachments = m_env.connection->attachedUsers().size();
        if (attachments > 1) {
            RedMessageDlg(QStringLiteral("Databázu nie je možné obnoviť, lebo je k nej pripojených ďalších %1 "
                                         "používateľov.\r\nPožiadajte ich, aby program ukončili, a obnovenie "
                                         "zopakujte.")
                              .arg(attachments - 1),
                          msg::Error, {msg::OK}, 0, msg::OK);
            return;
        }
    }

    const QString safety = connected ? SafetyBackupPath(eAdresar->text(), Clock::now()) : QString();
    bool restoring = false;
    runService(
        btnObnov,
        [&] {
            const QString databaseFile = databaseInfo().fileName;
            closeMainConnection();
            if (!safety.isEmpty()) {
                addLine(QStringLiteral("Záloha súčasnej databázy pred obnovením: %1").arg(safety));
                backup(databaseFile, safety);
                addLine(QString());
            }
            restoring = true;
            restore(file, databaseFile);
            if (!safety.isEmpty())
                addLine(QStringLiteral("Databáza pred obnovením zostáva uložená v súbore %1").arg(safety));
            PlainMessageBox(QStringLiteral("Obnovenie databázy úspešne dokončené."));
        },
        [&](const std::exception& e) {
            if (IsDatabaseInUseError(e)) {
                RedMessageDlg(QStringLiteral("Databázu nie je možné obnoviť, lebo s ňou pracujú ďalší "
                                             "používatelia.\r\nPožiadajte ich, aby program ukončili, a obnovenie "
                                             "zopakujte."),
                              msg::Error, {msg::OK}, 0, msg::OK);
                return;
            }
            const bool handled = TranslateDbError(e) != 0;
            if (!restoring)
                RedMessageDlg(QStringLiteral("Súčasnú databázu sa nepodarilo zálohovať, preto obnovenie nebolo "
                                             "vykonané."),
                              msg::Error, {msg::OK}, 0, msg::OK);
            else if (!safety.isEmpty())
                RedMessageDlg(QStringLiteral("Obnovenie databázy zlyhalo. Databáza v stave pred obnovením je "
                                             "uložená v súbore\r\n%1\r\nV tomto okne ju z neho môžete obnoviť.")
                                  .arg(safety),
                              msg::Error, {msg::OK}, 0, msg::OK);
            if (!handled)
                throw;
        });
}

void TfrmZalohovanie::reject()
{
    if (m_running)
        return;
    storeSettings();
    QDialog::reject();
}

void TfrmZalohovanie::closeEvent(QCloseEvent* event)
{
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void RunZalohovanie(const ZalohovanieEnvironment& environment)
{
    TfrmZalohovanie window(environment, MainWindow());
    window.exec();
}
