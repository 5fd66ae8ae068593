#include "framework/ErrorTranslation.h"

#include "fb/Error.h"
#include "framework/Messages.h"

namespace {

// Firebird 3 reports a no-wait write on a row held by another unfinished
// transaction as deadlock + update conflict rather than as lock conflict; to
// the user it is the same situation.
bool isLockConflict(const fb::Error& e)
{
    return e.code() == fb::codes::LockConflict ||
           (e.hasCode(fb::codes::Deadlock) && e.hasCode(fb::codes::UpdateConflict));
}

}  // namespace

int TranslateDbError(const std::exception& error)
{
    const auto* e = dynamic_cast<const fb::Error*>(&error);
    if (!e)
        return 0;

    if (isLockConflict(*e)) {
        DbErrMessage(fb::codes::LockConflict, msg::Error, QString());
        return int(fb::codes::LockConflict);
    }

    const long code = e->code();
    switch (code) {
    case fb::codes::IoError:
    case fb::codes::NoMetaUpdate:
        DbErrMessage(code, msg::Error, QString());
        PlainMessageBox(e->message());
        return int(code);
    case fb::codes::NoDup:
    case fb::codes::Exception:
    case fb::codes::UniqueKey:
        return 0;
    case fb::codes::ForeignKey:
        if (e->message().contains(QLatin1String("FK_PREKLADY_OBJEDNAVATEL"))) {
            ErrMessage(2001, msg::Warning);
            return 2001;
        }
        if (e->message().contains(QLatin1String("FK_PREKLADY_PREKLADATEL"))) {
            ErrMessage(2002, msg::Warning);
            return 2002;
        }
        return 0;
    case fb::codes::LoginRefused:
        DbErrMessage(code, msg::Warning, QString());
        return -1;
    case fb::codes::DsqlError:
        DbErrMessage(code, msg::Error, e->message());
        return 0;
    default:
        PlainMessageBox(QString::number(code) + QStringLiteral("\r\n\r\n") + e->message());
        return 0;
    }
}
