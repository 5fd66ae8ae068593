#include "support/Modal.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

void poll(std::function<void(QWidget*)> callback, QPointer<QWidget> before, QDeadlineTimer deadline)
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != before && modal->isVisible()) {
        callback(modal);
        return;
    }
    if (deadline.hasExpired()) {
        ADD_FAILURE() << "onNextModal: no modal window appeared";
        return;
    }
    QTimer::singleShot(10, [callback = std::move(callback), before, deadline]() mutable {
        poll(std::move(callback), before, deadline);
    });
}

}  // namespace

void onNextModal(std::function<void(QWidget*)> callback, int timeoutMs)
{
    QPointer<QWidget> before = QApplication::activeModalWidget();
    const QDeadlineTimer deadline(timeoutMs);
    QTimer::singleShot(0, [callback = std::move(callback), before, deadline]() mutable {
        poll(std::move(callback), before, deadline);
    });
}
