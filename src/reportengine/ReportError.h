#pragma once

#include <QString>

#include <stdexcept>

namespace report {

// Every failure of the engine: a damaged layout file, an expression that does
// not parse, an unknown field, a failed export. The text is for the user.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// A text quoted in a message: a hostile expression can be tens of kilobytes,
// so only its start is shown.
inline QString quoted(const QString& text)
{
    return text.size() > 80 ? text.left(80) + QStringLiteral("…") : text;
}

}  // namespace report
