#pragma once

#include <QString>

#include <stdexcept>
#include <vector>

namespace fb {

// What a caller can do about an error, decided once from the status vector.
enum class ErrorKind {
    Client,          // refused by this layer before anything reached the server (code 0)
    LockConflict,    // another transaction holds the row: try again later
    Unique,          // a unique or primary key would repeat
    ForeignKey,      // a reference to a missing row, or a row still referenced
    ConnectionLost,  // the server or the network went away: reconnect
    LoginRefused,    // user name or password refused
    Other,
};

// A failure reported by the Firebird client or server, or by this layer itself
// (code() is 0 then). Carries every error code of the status vector in order, so
// callers can recognise pairs such as deadlock + update conflict.
class Error : public std::runtime_error {
public:
    Error(QString message, std::vector<long> codes = {}, int sqlCode = 0);

    // The first code of the status vector, e.g. 335544345; 0 for client-side errors.
    long code() const { return m_codes.empty() ? 0 : m_codes.front(); }
    const std::vector<long>& codes() const { return m_codes; }
    bool hasCode(long code) const;
    int sqlCode() const { return m_sqlCode; }
    ErrorKind kind() const;
    // The full message text as the server formats it, lines joined by "\n".
    const QString& message() const { return m_message; }

private:
    QString m_message;
    std::vector<long> m_codes;
    int m_sqlCode = 0;
};

// Well-known server error codes used by the program.
namespace codes {
constexpr long IoError = 335544344;
constexpr long LockConflict = 335544345;
constexpr long NoDup = 335544349;
constexpr long NoMetaUpdate = 335544351;
constexpr long Deadlock = 335544336;
constexpr long UpdateConflict = 335544451;
constexpr long ForeignKey = 335544466;
// Beside ForeignKey: a referencing row that points nowhere (insert, update),
// and a referenced row still in use (delete).
constexpr long ForeignKeyTargetMissing = 335544838;
constexpr long ForeignKeyReferencesPresent = 335544839;
constexpr long LoginRefused = 335544472;
constexpr long Exception = 335544517;
constexpr long DsqlError = 335544569;
constexpr long UniqueKey = 335544665;
constexpr long NetworkError = 335544721;
constexpr long NetReadError = 335544726;
constexpr long NetWriteError = 335544727;
constexpr long ConnectionShutdown = 335544856;
constexpr long ConnectionLost = 335544741;
constexpr long ConnectionBroken = 335544648;
}  // namespace codes

}  // namespace fb
