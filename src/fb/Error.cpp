#include "fb/Error.h"

#include <algorithm>

namespace fb {

Error::Error(QString message, std::vector<long> codes, int sqlCode)
    : std::runtime_error(message.toStdString()), m_message(std::move(message)), m_codes(std::move(codes)),
      m_sqlCode(sqlCode)
{
}

bool Error::hasCode(long code) const
{
    return std::find(m_codes.begin(), m_codes.end(), code) != m_codes.end();
}

ErrorKind Error::kind() const
{
    if (m_codes.empty() || code() == 0)
        return ErrorKind::Client;
    // Firebird 3 reports a no-wait write on a row held by another unfinished
    // transaction as deadlock + update conflict rather than as lock conflict;
    // to the caller it is the same situation.
    if (code() == codes::LockConflict || (hasCode(codes::Deadlock) && hasCode(codes::UpdateConflict)))
        return ErrorKind::LockConflict;
    switch (code()) {
    case codes::NoDup:
    case codes::UniqueKey:
        return ErrorKind::Unique;
    case codes::ForeignKey:
        return ErrorKind::ForeignKey;
    case codes::LoginRefused:
        return ErrorKind::LoginRefused;
    case codes::NetworkError:
    case codes::NetReadError:
    case codes::NetWriteError:
    case codes::ConnectionShutdown:
    case codes::ConnectionLost:
    case codes::ConnectionBroken:
        return ErrorKind::ConnectionLost;
    default:
        return ErrorKind::Other;
    }
}

}  // namespace fb
