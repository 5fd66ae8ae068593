#include "framework/WaitPlease.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A busy bar in a fixed window that the user cannot close: the work it stands
// for ends it through WaitPleaseHide().
class WaitPleaseWindowImpl : public QDialog {
public:
    WaitPleaseWindowImpl()
        : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    {
        setObjectName(QStringLiteral("frmWaitPlease"));
        setWindowTitle(QStringLiteral("Čakajte prosím, pracujem..."));
        auto* bar = new QProgressBar(this);
        bar->setObjectName(QStringLiteral("Animate1"));
        bar->setRange(0, 0);
        bar->setTextVisible(false);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(bar);
        setFixedSize(491, 60);
    }

    void appear()
    {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        show();
        raise();
        repaint();
    }

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
    void reject() override {}
};

QPointer<WaitPleaseWindowImpl> g_window;

}  // namespace

void WaitPleaseShow(int delayMs)
{
    if (g_window)
        return;
    g_window = new WaitPleaseWindowImpl;
    if (delayMs <= 0) {
        g_window->appear();
        return;
    }
    QTimer::singleShot(delayMs, g_window, [w = g_window.data()] { w->appear(); });
}

void WaitPleaseHide()
{
    delete g_window.data();
}

QWidget* WaitPleaseWindow()
{
    return g_window;
}
