#include "db/fUpdate.h"

#include "db/UpdatePackage.h"
#include "framework/Dialogs.h"
#include "framework/ErrorTranslation.h"
#include "framework/Messages.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

void ReportThroughDialogs(MigrationRunner& runner)
{
    runner.showError = [](const QString& text) { RedMessageDlg(text, msg::Error, {msg::OK}, 0, msg::OK); };
    runner.showMessage = [](const QString& text) { PlainMessageBox(text); };
    runner.reportError = [](const std::exception& error) { return TranslateDbError(error) != 0; };
}

TfrmUpdate::TfrmUpdate(fb::Connection& connection, int supportedVersion, QWidget* parent)
    : TfrmUpdate(connection, supportedVersion, embeddedUpdatePackage(), parent)
{
}

TfrmUpdate::TfrmUpdate(fb::Connection& connection, int supportedVersion, const QByteArray& package, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_supported(supportedVersion)
{
    init(package);
}

TfrmUpdate::~TfrmUpdate() = default;

void TfrmUpdate::init(const QByteArray& package)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QStringLiteral("Aktualizácia databázy..."));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    resize(589, 309);

    auto* layout = new QVBoxLayout(this);
    lb = new QListWidget(this);
    lb->setObjectName(QStringLiteral("lb"));
    layout->addWidget(lb, 1);
    Label1 = new QLabel(
        QStringLiteral("Pre aktualizáciou programu na novšiu verziu sa uistite, že máte záložnú kópiu databázy. "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    layout->addWidget(Label1);
    btnGo = new QPushButton(QStringLiteral("Aktualizuj"), this);
    btnGo->setObjectName(QStringLiteral("btnGo"));
    layout->addWidget(btnGo, 0, Qt::AlignHCenter);
    connect(btnGo, &QPushButton::clicked, this, &TfrmUpdate::btnGoClick);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // A damaged package keeps the rows read before the damage; the count says it.
    loadUpdatePackage(package, m_table);
    m_runner = std::make_unique<MigrationRunner>(m_connection, m_table, m_supported);
    m_runner->addItem = [this](const QString& line) { AddItem(line); };
    ReportThroughDialogs(*m_runner);
    if (m_table.recordCount() != m_supported) {
        RedMessageDlg(FormatMessageText(QStringLiteral("Chyba v \"update resource\"! (ResCount=%d ; V3=%d).\r\n\r\n"
                                                       "Program bude ukončený."),
                                        {m_table.recordCount(), m_supported}),
                      msg::Error, {msg::OK}, 0, msg::OK);
        m_packageUsable = m_table.recordCount() > m_supported;
    }
}

void TfrmUpdate::AddItem(const QString& line)
{
    lb->addItem(line);
    lb->setCurrentRow(lb->count() - 1);
    lb->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmUpdate::btnGoClick()
{
    btnGo->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lb->clear();
    const auto restore = [this] {
        QApplication::restoreOverrideCursor();
        btnGo->setEnabled(true);
    };
    MigrationRunner::PassResult result;
    try {
        result = m_runner->RunPass();
    } catch (...) {
        restore();
        throw;  // reaches the unexpected-error dialog
    }
    restore();
    if (result != MigrationRunner::PassResult::Failed && m_runner->ZistiVerziu() == m_supported)
        accept();
}
