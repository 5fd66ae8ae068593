#pragma once

#include <QMetaObject>
#include <QTimer>

// Fires a running timer now, as if its interval had just passed, so that a test
// does not sleep against the program's timers (slow under sanitizers on a busy
// machine). Returns false when the timer was not running.
inline bool fireTimer(QTimer* timer)
{
    if (!timer || !timer->isActive())
        return false;
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    return true;
}
