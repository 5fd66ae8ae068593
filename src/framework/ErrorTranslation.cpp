#include "framework/ErrorTranslation.h"

#include "fb/Error.h"
#include "framework/MainConnection.h"
#include "framework/Messages.h"

#include <algorithm>
#include <initializer_list>

const QString kConnectionLostText = QStringLiteral(
    "Spojenie s databázou sa prerušilo. Nič z rozpracovanej akcie sa neuložilo.\n\n"
    "Zopakujte akciu: program sa k databáze pripojí znova. Ak sa spojenie neobnoví, skontrolujte, či je "
    "server databázy spustený a počítač pripojený k sieti.");

int TranslateDbError(const std::exception& error)
{
    const auto* e = dynamic_cast<const fb::Error*>(&error);
    if (!e)
        return 0;

    switch (e->kind()) {
    case fb::ErrorKind::Client:
        // The client layer's own refusal (a character WIN1250 lacks, a value
        // that does not fit) already says in Slovak what is wrong.
        ErrorBox(e->message());
        return kClientErrorReported;
    case fb::ErrorKind::LockConflict:
        DbErrMessage(fb::codes::LockConflict, msg::Error, QString());
        return int(fb::codes::LockConflict);
    case fb::ErrorKind::Unique:
        return 0;
    case fb::ErrorKind::LoginRefused:
        DbErrMessage(fb::codes::LoginRefused, msg::Warning, QString());
        return -1;
    case fb::ErrorKind::ForeignKey:
        if (e->message().contains(QLatin1String("FK_PREKLADY_OBJEDNAVATEL"))) {
            ErrMessage(2001, msg::Warning);
            return 2001;
        }
        if (e->message().contains(QLatin1String("FK_PREKLADY_PREKLADATEL"))) {
            ErrMessage(2002, msg::Warning);
            return 2002;
        }
        // A language combination or a unit that a job or a contact's rate
        // still uses: an everyday refusal, not a failure. Only for the delete:
        // a job saved with a combination deleted meanwhile is another matter.
        if (e->hasCode(fb::codes::ForeignKeyReferencesPresent)) {
            const QString& text = e->message();
            const auto names = [&](std::initializer_list<const char*> constraints) {
                return std::any_of(constraints.begin(), constraints.end(),
                                   [&](const char* c) { return text.contains(QLatin1String(c)); });
            };
            if (names({"FK_PREKLADY_JAZ_KOMB", "FK_KOMBINACIE_JAZ_KOMB"})) {
                ErrMessage(2003, msg::Warning);
                return 2003;
            }
            if (names({"FK_PREKLADY_OBJ_MJ", "FK_PREKLADY_PRE_MJ", "FK_KOMBINACIE_MJ"})) {
                ErrMessage(2004, msg::Warning);
                return 2004;
            }
        }
        return 0;
    case fb::ErrorKind::ConnectionLost:
        // One message for every way a link breaks; the next action reconnects.
        markMainConnectionLost();
        RedMessageDlg(kConnectionLostText, msg::Error, {msg::OK}, 0, msg::OK);
        return int(fb::codes::ConnectionLost);
    case fb::ErrorKind::Other:
        break;
    }

    const long code = e->code();
    switch (code) {
    case fb::codes::IoError:
    case fb::codes::NoMetaUpdate:
        DbErrMessage(code, msg::Error, QString());
        PlainMessageBox(e->message());
        return int(code);
    case fb::codes::Exception:
        return 0;
    // What is shown is reported: raising it again as well put the unexpected-error
    // dialog over the message the user had just read.
    case fb::codes::DsqlError:
        DbErrMessage(code, msg::Error, e->message());
        return int(code);
    default:
        PlainMessageBox(QString::number(code) + QStringLiteral("\r\n\r\n") + e->message());
        return int(code);
    }
}
