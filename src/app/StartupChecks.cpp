#include "app/StartupChecks.h"

#include "fb/Error.h"

#include <QDir>
#include <QFileInfo>

#include "db/SchemaVersion.h"

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/TransactionHelpers.h"

#include <QStringList>

namespace {

void showEndingMessage(const QString& name, qint64 a, qint64 b)
{
    RedMessageDlg(FormatMessageText(LoadMessageText(name), {a, b}), msg::Error, {msg::OK}, 0, msg::OK);
}

// A word that is not an integer counts as 0.
int wordAsInt(const QStringList& words, int index)
{
    bool ok = false;
    const int n = words.value(index).toInt(&ok);
    return ok ? n : 0;
}

}  // namespace

bool IsLibraryVersionAccepted(const QString& versionText)
{
    const QStringList words = versionText.split(QLatin1Char('.'));
    const int major = wordAsInt(words, 0);
    const int minor = wordAsInt(words, 1);
    return major > 1 || (major == 1 && minor >= 4);
}

bool Kontrola_Kovra_UDF(fb::Transaction& transaction, fb::Query& query)
{
    try {
        StartReadCommitted(transaction);
        query.setSql(QStringLiteral("select kovra_udf_version() from rdb$database"));
        query.execute();
        bool accepted = false;
        if (query.next())
            accepted = IsLibraryVersionAccepted(query.value(0).toString().trimmed());
        query.close();
        transaction.commit();
        return accepted;
    } catch (const std::exception&) {
        query.close();
        RollbackIfActive(transaction);
        return false;
    }
}

StartupOutcome AfterConnect(fb::Transaction& transaction, fb::Query& query, unsigned short supportedVersion,
                            const AfterConnectSteps& steps)
{
    const quint16 s = supportedVersion;
    auto v = quint16(ZistiVerziu(transaction, query));
    if (v < s) {
        if (steps.migrate && !steps.migrate())
            return StartupOutcome::Terminate;
        v = quint16(ZistiVerziu(transaction, query));
        if (v < s) {
            showEndingMessage(QStringLiteral("ERR3010"), v, s);
            return StartupOutcome::Terminate;
        }
    }
    if (v > s) {
        showEndingMessage(QStringLiteral("ERR3009"), v, s);
        return StartupOutcome::Terminate;
    }
    if (s > 1 && !Kontrola_Kovra_UDF(transaction, query)) {
        showEndingMessage(QStringLiteral("ERR3020"), 1, 4);
        return StartupOutcome::Terminate;
    }
    if (steps.accepted)
        steps.accepted();
    if (steps.login && !steps.login())
        return StartupOutcome::Terminate;
    return StartupOutcome::Continue;
}

QString DatabaseOpenFailureText(const fb::Error& error, const QString& database, const QString& iniPath)
{
    // "host:path" and "host/port:path" name a server; a drive letter does not.
    const int colon = int(database.indexOf(QLatin1Char(':')));
    const bool onServer = colon > 1;
    QString reason;
    switch (error.kind()) {
    case fb::ErrorKind::ConnectionLost:
        reason = QStringLiteral("Server databázy neodpovedá. Skontrolujte, či je server spustený a počítač "
                                "je pripojený k sieti.");
        break;
    case fb::ErrorKind::LoginRefused:
        reason = QStringLiteral("Server odmietol prihlásenie: meno alebo heslo v nastaveniach (User_Name, "
                                "Password) nie je platné.");
        break;
    default:
        if (error.hasCode(fb::codes::NetworkError))
            reason = QStringLiteral("Server databázy neodpovedá. Skontrolujte, či je server spustený a počítač "
                                    "je pripojený k sieti.");
        else if (error.hasCode(fb::codes::IoError) && !onServer && !QFileInfo::exists(database))
            reason = QStringLiteral("Súbor databázy neexistuje.");
        else if (error.hasCode(fb::codes::IoError))
            reason = QStringLiteral("Súbor databázy sa nedá otvoriť (neexistuje alebo k nemu nie je prístup).");
        else
            reason = error.message();
    }
    return QStringLiteral("Databázu sa nepodarilo otvoriť.\n\nDatabáza: %1\nDôvod: %2\n\n"
                          "Databáza sa nastavuje v súbore %3 (položka Database).")
        .arg(database, reason, QDir::toNativeSeparators(iniPath));
}
