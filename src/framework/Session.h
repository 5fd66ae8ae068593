#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <stdexcept>

namespace fb {
class Connection;
class Transaction;
}

// Who is logged in on the main connection. Rights change while a user works
// (an administrator at another workstation takes them away): every action
// that writes asks the database again, in its own transaction, whether the
// user still may.

// The logged-in user's record number; null when nobody is (tools and tests
// that never log in: nothing is checked then).
void setSessionUser(const QVariant& jedin);
QVariant sessionUser();

// Who the job history names for the changes made over `connection`: the
// logged-in user's abbreviation. Kept by the attachment, so it is set again
// for every new one (a reconnect); an empty abbreviation clears it, and the
// history then names the database user. Throws fb::Error.
void SetHistoryUser(fb::Connection& connection, const QString& abbreviation);

// The user lost his access (or, with `administrator`, his administrator's
// rights) since he logged in.
class SessionRefused : public std::runtime_error {
public:
    explicit SessionRefused(bool administrator);
    bool administrator() const { return m_administrator; }
    // What the user reads.
    QString text() const;

private:
    bool m_administrator;
};

// Throws SessionRefused when the logged-in user is no longer valid, or not an
// administrator when `administrator`. Reads in `transaction`, so the check and
// the write it guards see the same database.
void CheckSessionUser(fb::Transaction& transaction, bool administrator = false);

// Offers the login again after a refusal; the main window installs it.
std::function<void()>& sessionLoginAgain();
