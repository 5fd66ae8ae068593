#include "framework/SlotGuard.h"

#include <QDebug>

namespace {

UnexpectedErrorHandler& handler()
{
    static UnexpectedErrorHandler h;
    return h;
}

}  // namespace

void setUnexpectedErrorHandler(UnexpectedErrorHandler h)
{
    handler() = std::move(h);
}

void reportUnexpectedError(std::exception_ptr error)
{
    if (handler()) {
        handler()(error);
        return;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        qCritical("Unexpected error: %s", e.what());
    } catch (...) {
        qCritical("Unexpected error of unknown kind");
    }
}

bool runReportingUnexpected(const std::function<void()>& body)
{
    try {
        body();
        return true;
    } catch (...) {
        reportUnexpectedError(std::current_exception());
        return false;
    }
}
