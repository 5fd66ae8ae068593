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

}  // namespace fb
