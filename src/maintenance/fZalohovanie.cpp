#include "maintenance/fZalohovanie.h"

#include "controls/IBEdit.h"
#include "controls/IBMemo.h"
#include "controls/ToolbarImages.h"
#include "forms/FormUni.h"
#include "framework/Clock.h"
#include "framework/DbOperation.h"
#include "framework/ErrorTranslation.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"
#include "framework/Session.h"
#include "framework/SettingsRoots.h"
#include "framework/SlotGuard.h"
#include "framework/UiHelpers.h"
#include "framework/UserSettings.h"
#include "fb/Error.h"
#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/WindowPlacement.h"
#include "maintenance/AutomaticBackup.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/BackupState.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
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

    RestorePlacement(this, settingsSection());
    if (m_env.connection && m_env.connection->isOpen())
        m_info = m_env.connection->info();
    waitForAutomaticBackup();
}

bool TfrmZalohovanie::automaticBackupRunning() const
{
    const TAutomaticBackup* automatic = TAutomaticBackup::instance();
    return automatic && automatic->running();
}

void TfrmZalohovanie::waitForAutomaticBackup()
{
    TAutomaticBackup* automatic = TAutomaticBackup::instance();
    if (!automatic || !automatic->running())
        return;
    // A restore would replace the database under it, a backup of its own
    // would close the connection it counts on.
    for (QPushButton* b : {btnZalohuj, btnObnov, btnOver})
        b->setEnabled(false);
    mPriebeh->appendPlainText(QStringLiteral("Práve prebieha automatické zálohovanie databázy. "
                                             "Zálohovať, obnoviť a overiť môžete, keď sa skončí."));
    connect(automatic, &TAutomaticBackup::finished, this, [this] {
        for (QPushButton* b : {btnZalohuj, btnObnov, btnOver})
            b->setEnabled(true);
        mPriebeh->appendPlainText(QStringLiteral("Automatické zálohovanie sa skončilo."));
    });
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
    btnOver = new QPushButton(QStringLiteral("Overiť zálohu"), bottom);
    btnOver->setObjectName(QStringLiteral("btnOver"));
    btnOver->setFocusPolicy(Qt::ClickFocus);
    for (QPushButton* b : {btnZalohuj, btnObnov, btnOver}) {
        b->setFixedSize(b == btnOver ? 124 : 108, 25);
        QFont bold = b->font();
        bold.setBold(true);
        b->setFont(bold);
        b->setIcon(ToolbarImage(1, 16));
        b->setAutoDefault(false);
    }
    lblPrenos = new QLabel(bottom);
    lblPrenos->setObjectName(QStringLiteral("lblPrenos"));
    lblPrenos->setAlignment(Qt::AlignCenter);
    row->addWidget(btnZalohuj);
    row->addWidget(lblPrenos, 1);
    row->addWidget(btnOver);
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
    connect(btnOver, &QPushButton::clicked, this, guarded([this] { Over(); }));
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
    StorePlacement(this, settingsSection());
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

ServiceLogin TfrmZalohovanie::serviceLogin()
{
    const fb::DatabaseInfo info = databaseInfo();
    return {ChooseServiceSite(m_env.databasePath, info.siteName, QSysInfo::machineHostName()), m_env.userName,
            m_env.password};
}

void TfrmZalohovanie::showProgress(qint64 bytes)
{
    // Repainting for every block of the stream would cost more than the stream.
    if (m_shownBytes >= 0 && bytes - m_shownBytes < 256 * 1024)
        return;
    m_shownBytes = bytes;
    const QLocale sk(QLocale::Slovak, QLocale::Slovakia);
    lblPrenos->setText(bytes < 1024 * 1024
                           ? QStringLiteral("Prenesené: %1 kB").arg(sk.toString(double(bytes) / 1024, 'f', 0))
                           : QStringLiteral("Prenesené: %1 MB").arg(sk.toString(double(bytes) / (1024 * 1024), 'f', 1)));
    QCoreApplication::processEvents();
}

bool TfrmZalohovanie::fileNameAccepted()
{
    const QString problem = BackupFileNameProblem(eSubor->text(), eAdresar->text(), m_env.databasePath);
    if (problem.isEmpty())
        return true;
    RedMessageDlg(problem, msg::Error, {msg::OK}, 0, msg::OK);
    eSubor->setFocus();
    return false;
}

bool TfrmZalohovanie::administratorLoggedIn()
{
    const QString refused = QStringLiteral("Databázu môže obnoviť len správca programu s platným prístupom, "
                                           "prihlásený k databáze.\r\nPrihláste sa ako správca a obnovenie zopakujte.");
    const QVariant user = m_env.loggedInUser ? m_env.loggedInUser() : QVariant();
    if (!m_env.connection || !m_env.connection->isOpen() || user.isNull()) {
        RedMessageDlg(refused, msg::Error, {msg::OK}, 0, msg::OK);
        return false;
    }
    int valid = 0;
    // Rights may have changed since the login: read them now.
    fb::Transaction t(*m_env.connection, {"read", "read_committed", "rec_version", "nowait"});
    fb::Query q(t);
    try {
        t.start();
        q.setSql(QStringLiteral("select count(*) from UZIVATELIA where JEDIN = :JEDIN and PLATNY = 1 and SPRAVCA = 1"));
        q.setParam(QStringLiteral("JEDIN"), user);
        valid = q.executeScalar().toInt();
        q.close();
        t.commit();
    } catch (const std::exception& e) {
        q.close();
        if (t.isActive())
            t.rollback();
        if (TranslateDbError(e) == 0)
            throw;
        return false;
    }
    if (valid == 0)
        RedMessageDlg(refused, msg::Error, {msg::OK}, 0, msg::OK);
    return valid > 0;
}

bool TfrmZalohovanie::trialRestore(const QString& file, const QString& databaseFile)
{
    const QString trial = TrialRestoreFile(databaseFile, Clock::now());
    const QString trialPath = DatabasePathOnSameServer(m_env.databasePath, trial);
    const QStringList params{QStringLiteral("USER_NAME=") + m_env.userName,
                             QStringLiteral("PASSWORD=") + m_env.password, QStringLiteral("lc_ctype=WIN1250")};
    bool created = false;
    const auto dropTrial = [&] {
        if (!created)
            return;
        try {
            fb::Connection::dropDatabase(trialPath, m_env.userName, m_env.password);
        } catch (const std::exception&) {
            // a half-made file the engine cannot open: nothing more to do from here
        }
    };
    BackupCheck check;
    addLine(QStringLiteral("Skúšobné obnovenie do dočasnej databázy %1").arg(trial));
    try {
        created = true;
        RestoreFromFile(m_service, serviceLogin(), file, trial, [this](const QString& l) { addLine(l); },
                        [this](qint64 n) { showProgress(n); });
        fb::Connection restored;
        restored.open(trialPath, params);
        check = InspectRestoredDatabase(restored, m_env.supportedVersion);
        restored.close();
    } catch (const fb::Error& e) {
        try {
            m_service.detach();
        } catch (const std::exception&) {
        }
        dropTrial();
        if (e.kind() == fb::ErrorKind::ConnectionLost || e.kind() == fb::ErrorKind::LoginRefused)
            throw;
        RedMessageDlg(QStringLiteral("Záložný súbor je neúplný, poškodený alebo nie je zálohou databázy programu, "
                                     "preto obnovenie nebolo vykonané. Databáza zostala nezmenená.\r\n"
                                     "Vyberte iný záložný súbor.\r\n\r\nSpráva servera: %1")
                          .arg(e.message()),
                      msg::Error, {msg::OK}, 0, msg::OK);
        return false;
    }
    dropTrial();
    addLine(QString());
    switch (check.content) {
    case BackupContent::Ours:
        return true;
    case BackupContent::Foreign:
        RedMessageDlg(QStringLiteral("Záložný súbor nie je zálohou databázy tohto programu, preto obnovenie nebolo "
                                     "vykonané. Databáza zostala nezmenená.\r\nVyberte záložný súbor databázy programu."),
                      msg::Error, {msg::OK}, 0, msg::OK);
        return false;
    case BackupContent::Newer:
        RedMessageDlg(QStringLiteral("Záložný súbor je z novšej verzie programu (verzia databázy %1, tento program "
                                     "pozná najviac verziu %2), preto obnovenie nebolo vykonané. Databáza zostala "
                                     "nezmenená.\r\nObnovte ju novšou verziou programu.")
                          .arg(check.version)
                          .arg(m_env.supportedVersion),
                      msg::Error, {msg::OK}, 0, msg::OK);
        return false;
    }
    return false;
}

void TfrmZalohovanie::runService(QPushButton* button, const std::function<void()>& work,
                                 const std::function<void(const std::exception&)>& onError)
{
    setEnabled(false);
    button->setEnabled(false);
    mPriebeh->clear();
    lblPrenos->clear();
    m_shownBytes = -1;
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
    if (m_running || automaticBackupRunning())
        return;
    if (eSubor->text().trimmed().isEmpty()) {
        eSubor->setFocus();
        return;
    }
    if (!fileNameAccepted())
        return;
    // A user whose access was taken away meanwhile is refused (and offered the login).
    if (hasMainConnection() && mainConnection().isOpen()
        && !RunInTransaction([](fb::Transaction& tr) { CheckSessionUser(tr); }, true))
        return;
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
            const ServiceLogin login = serviceLogin();
            closeMainConnection();
            addLine(QStringLiteral("Zálohovanie databázy %1").arg(databaseFile));
            addLine(QStringLiteral("do súboru %1").arg(file));
            const QString dated = BackupToFile(m_service, login, databaseFile, file, m_env.keepCopies, Clock::now(),
                                               [this](qint64 n) { showProgress(n); });
            // the check of a verified backup looks for it under its new name
            if (!m_env.stateFile.isEmpty())
                BackupStateFile(m_env.stateFile, m_env.databasePath).recordReplaced(file, dated);
            const qint64 size = QFileInfo(file).size();
            m_shownBytes = -1;
            showProgress(size);
            addLine(QStringLiteral("Hotovo, záloha má %1 bajtov.").arg(QLocale(QLocale::Slovak, QLocale::Slovakia).toString(size)));
            if (!dated.isEmpty())
                addLine(QStringLiteral("Doterajšia záloha zostáva uložená v súbore %1").arg(QDir::toNativeSeparators(dated)));
            PlainMessageBox(QStringLiteral("Zálohovanie úspešne dokončené."));
        },
        [this](const std::exception& e) {
            const auto* error = dynamic_cast<const fb::Error*>(&e);
            if (!error)
                throw;
            addLine(QStringLiteral("Zálohovanie zlyhalo; doterajšie záložné súbory zostali nezmenené."));
            RedMessageDlg(ServiceErrorText(*error, false), msg::Error, {msg::OK}, 0, msg::OK);
        });
}

// The backup file the window names, when nothing runs, the name is acceptable
// and the file exists; otherwise empty, after saying why (`missing`).
QString TfrmZalohovanie::chosenExistingFile(const QString& missing)
{
    if (m_running || automaticBackupRunning())
        return {};
    if (eSubor->text().trimmed().isEmpty()) {
        eSubor->setFocus();
        return {};
    }
    if (!fileNameAccepted())
        return {};
    const QString file = backupFile();
    if (!QFileInfo(file).isFile()) {
        RedMessageDlg(missing, msg::Error, {msg::OK}, 0, msg::OK);
        return {};
    }
    return file;
}

void TfrmZalohovanie::Obnov()
{
    const QString file =
        chosenExistingFile(QStringLiteral("Nie je možné vykonať obnovenie databázy, lebo záložný súbor nebol nájdený."));
    if (file.isEmpty())
        return;
    const QFileInfo fileInfo(file);
    // The restore replaces everybody's data; the safety backup and the check
    // of other attachments need the connection.
    if (!administratorLoggedIn())
        return;

    QString question = QStringLiteral("Obnovením sa súčasná databáza nahradí databázou zo záložného súboru\r\n"
                                      "%1\r\nz %2.\r\n\r\n")
                           .arg(QDir::toNativeSeparators(file), dateTimeText(fileInfo.lastModified()));
    question += QStringLiteral("Súčasná databáza sa predtým zálohuje do priečinka\r\n%1\r\n\r\n").arg(eAdresar->text());
    question += QStringLiteral("Naozaj chcete databázu obnoviť?");
    if (RedMessageDlg(question, msg::Confirmation, {msg::Yes, msg::No}, 0, msg::No) != msg::Yes)
        return;
    const qsizetype attachments = m_env.connection->attachedUsers().size();
    if (attachments > 1) {
        RedMessageDlg(QStringLiteral("Databázu nie je možné obnoviť, lebo je k nej pripojených ďalších %1 "
                                     "používateľov.\r\nPožiadajte ich, aby program ukončili, a obnovenie "
                                     "zopakujte.")
                          .arg(attachments - 1),
                      msg::Error, {msg::OK}, 0, msg::OK);
        return;
    }

    const QString safety = SafetyBackupPath(eAdresar->text(), Clock::now());
    enum class Stage { Trial, Safety, Replace } stage = Stage::Trial;
    runService(
        btnObnov,
        [&] {
            const QString databaseFile = databaseInfo().fileName;
            const ServiceLogin login = serviceLogin();
            if (!trialRestore(file, databaseFile))
                return;
            stage = Stage::Safety;
            closeMainConnection();
            addLine(QStringLiteral("Záloha súčasnej databázy pred obnovením: %1").arg(safety));
            BackupToFile(m_service, login, databaseFile, safety, m_env.keepCopies, Clock::now(),
                         [this](qint64 n) { showProgress(n); });
            addLine(QString());
            stage = Stage::Replace;
            RestoreFromFile(m_service, login, file, databaseFile, [this](const QString& l) { addLine(l); },
                            [this](qint64 n) { showProgress(n); });
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
            const auto* error = dynamic_cast<const fb::Error*>(&e);
            if (!error)
                throw;
            QString text = ServiceErrorText(*error, true);
            if (stage == Stage::Safety)
                text = QStringLiteral("Súčasnú databázu sa nepodarilo zálohovať, preto obnovenie nebolo vykonané.\r\n") +
                       ServiceErrorText(*error, false);
            else if (stage == Stage::Replace)
                text = QStringLiteral("Obnovenie databázy zlyhalo. Databáza v stave pred obnovením je uložená v "
                                      "súbore\r\n%1\r\nV tomto okne ju z neho môžete obnoviť.\r\n\r\n")
                           .arg(safety) +
                       ServiceErrorText(*error, true);
            RedMessageDlg(text, msg::Error, {msg::OK}, 0, msg::OK);
        });
}

void TfrmZalohovanie::Over()
{
    const QString file =
        chosenExistingFile(QStringLiteral("Nie je možné overiť zálohu, lebo záložný súbor nebol nájdený."));
    if (file.isEmpty())
        return;
    if (!m_env.connection || !m_env.connection->isOpen()) {
        RedMessageDlg(QStringLiteral("Zálohu možno overiť len pri pripojení k databáze: obnovená kópia sa porovnáva "
                                     "s ňou a vytvára sa na jej serveri."),
                      msg::Error, {msg::OK}, 0, msg::OK);
        return;
    }
    runService(
        btnOver,
        [&] {
            BackupJob job;
            job.login = serviceLogin();
            job.databasePath = m_env.databasePath;
            job.databaseFile = databaseInfo().fileName;
            job.params = {QStringLiteral("USER_NAME=") + m_env.userName, QStringLiteral("PASSWORD=") + m_env.password,
                          QStringLiteral("lc_ctype=WIN1250")};
            job.supportedVersion = m_env.supportedVersion;
            job.onLine = [this](const QString& l) { addLine(l); };
            job.onProgress = [this](qint64 n) { showProgress(n); };
            addLine(QStringLiteral("Overenie zálohy %1 skúšobným obnovením do dočasnej databázy")
                        .arg(QDir::toNativeSeparators(file)));
            BackupStateFile state(m_env.stateFile, m_env.databasePath);
            const BackupFileCheck check = CheckBackupFile(job, m_service, file, Clock::now(), state, [this] {
                fb::Transaction t(*m_env.connection, {"read", "concurrency", "nowait"});
                t.start();
                const DatabaseCounts live = ReadDatabaseCounts(t, m_env.supportedVersion);
                t.commit();
                return live;
            });
            addLine(QString());
            if (check.counts.content == BackupContent::Ours) {
                const QLocale sk(QLocale::Slovak, QLocale::Slovakia);
                addLine(QStringLiteral("Obnovená kópia: verzia databázy %1").arg(check.counts.version));
                for (auto it = check.counts.rows.cbegin(); it != check.counts.rows.cend(); ++it)
                    addLine(QStringLiteral("  %1: %2 riadkov").arg(it.key(), sk.toString(it.value())));
            }
            for (const QString& line : check.text.split(QStringLiteral("\r\n")))
                addLine(line);
            const bool ok = check.verdict == BackupFileCheck::Verified;
            if (!m_env.stateFile.isEmpty())
                state.recordCheck(file, ok, check.text, Clock::now());
            if (check.verdict == BackupFileCheck::Failed && m_env.logProblem)
                m_env.logProblem(QStringLiteral("Kontrola zálohy %1 zlyhala: %2").arg(QDir::toNativeSeparators(file), check.text));
            switch (check.verdict) {
            case BackupFileCheck::Verified:
                PlainMessageBox(check.text);
                break;
            case BackupFileCheck::Restorable:
                GrayMessageDlg(check.text, msg::Warning, {msg::OK}, 0, msg::OK);
                break;
            case BackupFileCheck::Failed:
                RedMessageDlg(QStringLiteral("Kontrola zálohy zlyhala.\r\n") + check.text, msg::Error, {msg::OK}, 0, msg::OK);
                break;
            }
        },
        [this](const std::exception& e) {
            const auto* error = dynamic_cast<const fb::Error*>(&e);
            if (!error)
                throw;
            addLine(QStringLiteral("Kontrolu zálohy sa nepodarilo vykonať."));
            RedMessageDlg(QStringLiteral("Kontrolu zálohy sa nepodarilo vykonať.\r\n") + error->message(), msg::Error,
                          {msg::OK}, 0, msg::OK);
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
