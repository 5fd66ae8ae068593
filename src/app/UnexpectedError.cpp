#include "app/UnexpectedError.h"

#include "fb/Error.h"
#include "framework/Messages.h"
#include "framework/SlotGuard.h"

#include <QString>

void ShowUnexpectedError(const std::exception& error)
{
    if (const auto* e = dynamic_cast<const fb::Error*>(&error)) {
        const QString code = e->code() ? QStringLiteral(" (%1)").arg(e->code()) : QString();
        PlainMessageBox(QStringLiteral("Neočakávaná chyba databázy%1:\r\n\r\n%2").arg(code, e->message()));
        return;
    }
    ShowUnexpectedError(error.what());
}

void ShowUnexpectedError(const char* what)
{
    PlainMessageBox(QStringLiteral("Neočakávaná chyba:\r\n\r\n%1").arg(QString::fromLocal8Bit(what)));
}

void InstallUnexpectedErrorHandler()
{
    setUnexpectedErrorHandler([](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            ShowUnexpectedError(e);
        } catch (...) {
            ShowUnexpectedError("neznáma výnimka");
        }
    });
}
