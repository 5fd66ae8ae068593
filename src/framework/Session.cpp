#include "framework/Session.h"

#include "fb/Query.h"
#include "fb/Transaction.h"
#include "framework/TransactionHelpers.h"

namespace {

QVariant& currentUser()
{
    static QVariant user;
    return user;
}

}  // namespace

void setSessionUser(const QVariant& jedin)
{
    currentUser() = jedin;
}

QVariant sessionUser()
{
    return currentUser();
}

void SetHistoryUser(fb::Connection& connection, const QString& abbreviation)
{
    // The triggers of the job history read this variable of the attachment.
    fb::Transaction transaction(connection, TransactionParams(true, true));
    transaction.start();
    fb::Query q(transaction);
    q.setSql(QStringLiteral("select rdb$set_context('USER_SESSION', 'LINDAVO_KTO', :KTO) from rdb$database"));
    const QString kto = abbreviation.trimmed();
    q.setParam(QStringLiteral("KTO"), kto.isEmpty() ? QVariant() : QVariant(kto));
    q.executeScalar();
    q.close();
    transaction.commit();
}

SessionRefused::SessionRefused(bool administrator)
    : std::runtime_error(administrator ? "the user is no longer an administrator" : "the user's access was revoked"),
      m_administrator(administrator)
{
}

QString SessionRefused::text() const
{
    return m_administrator
               ? QStringLiteral("Na túto akciu už nemáte práva správcu: medzitým vám ich odobral iný správca. "
                                "Nič sa nevykonalo.\n\nPrihláste sa znova.")
               : QStringLiteral("Váš prístup do programu medzitým zrušil správca. Nič sa nevykonalo.\n\n"
                                "Prihláste sa znova.");
}

void CheckSessionUser(fb::Transaction& transaction, bool administrator)
{
    const QVariant user = currentUser();
    if (!user.isValid() || user.isNull())
        return;
    fb::Query q(transaction);
    q.setSql(QStringLiteral("select platny, spravca from uzivatelia where jedin = :JEDIN"));
    q.setParam(QStringLiteral("JEDIN"), user);
    const bool found = q.executeAtMostOneRow();
    const bool valid = found && q.value(0).toInt() == 1;
    const bool isAdministrator = found && q.value(1).toInt() == 1;
    q.close();
    if (!valid)
        throw SessionRefused(false);
    if (administrator && !isAdministrator)
        throw SessionRefused(true);
}

std::function<void()>& sessionLoginAgain()
{
    static std::function<void()> login;
    return login;
}
