#pragma once

#include <QDialog>

class QTimer;

// TfrmWaitPlease: the "please wait" window shown around long work.
// A fixed dialog 491 by 60 pixels, centred on the screen, captioned "Čakajte
// prosím, pracujem...", holding a running busy animation ("Animate1"). The user
// cannot close it; WaitPleaseHide() does. It lives in the framework (not in
// controls), among the general helpers, so that every layer above can show it.
class TfrmWaitPlease : public QDialog {
    Q_OBJECT
public:
    // delayMs 0: shown at once; otherwise shown by a timer after the delay.
    // Once shown, every 500 ms it is shown again and the user interface
    // processes pending (non-input) events while work goes on.
    explicit TfrmWaitPlease(int delayMs = 0);
    ~TfrmWaitPlease() override;

    // Shows, raises and repaints the window centred on the screen.
    void appear();
    // How many times the 500 ms refresh has run (for tests).
    int refreshCount() const { return m_refreshes; }

public slots:
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();
    QTimer* m_timer;
    int m_refreshes = 0;
};

// The show and close operations of the wait window. There is at most one
// window; a second show while it exists does nothing; closing when there is
// none does nothing. With a delay the window appears only if the work is
// still going on when the event loop next runs after that many milliseconds.
void WaitPleaseShow(int delayMs = 0);
void WaitPleaseHide();

// The window while it exists (visible or still waiting for its delay).
TfrmWaitPlease* WaitPleaseWindow();

// The wait window for the length of a scope, closed on every path.
struct WaitPleaseScope {
    explicit WaitPleaseScope(int delayMs = 0) { WaitPleaseShow(delayMs); }
    ~WaitPleaseScope() { WaitPleaseHide(); }
    WaitPleaseScope(const WaitPleaseScope&) = delete;
    WaitPleaseScope& operator=(const WaitPleaseScope&) = delete;
};
