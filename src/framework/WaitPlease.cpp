#include "framework/WaitPlease.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPointer<TfrmWaitPlease> g_window;
}  // namespace

TfrmWaitPlease::TfrmWaitPlease(int delayMs)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("frmWaitPlease"));
    setWindowTitle(QStringLiteral("Čakajte prosím, pracujem..."));
    auto* bar = new QProgressBar(this);
    bar->setObjectName(QStringLiteral("Animate1"));
    bar->setRange(0, 0);  // running busy animation (the toolkit's file-copy stand-in)
    bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    setFixedSize(491, 60);
    connect(m_timer, &QTimer::timeout, this, &TfrmWaitPlease::refresh);
    if (delayMs <= 0) {
        appear();
        m_timer->start(500);
    } else {
        m_timer->setSingleShot(true);
        QTimer::singleShot(delayMs, this, [this] {
            appear();
            m_timer->setSingleShot(false);
            m_timer->start(500);
        });
    }
}

TfrmWaitPlease::~TfrmWaitPlease() = default;

void TfrmWaitPlease::appear()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    raise();
    repaint();
}

void TfrmWaitPlease::refresh()
{
    ++m_refreshes;
    appear();
    // Let painting and other pending work through; the user's input waits.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmWaitPlease::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

void TfrmWaitPlease::keyPressEvent(QKeyEvent* event)
{
    event->accept();  // Esc and Enter do not close it
}

void WaitPleaseShow(int delayMs)
{
    if (g_window)
        return;
    g_window = new TfrmWaitPlease(delayMs);
}

void WaitPleaseHide()
{
    delete g_window.data();
}

TfrmWaitPlease* WaitPleaseWindow()
{
    return g_window;
}
