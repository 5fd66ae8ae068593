#include "framework/PasswordHash.h"

#include "fb/Win1250.h"

#include <QCryptographicHash>

#include <stdexcept>

std::optional<QString> TryPasswordHash(qint64 userId, const QString& password)
{
    QByteArray p;
    if (!text::toWin1250(password, p))
        return std::nullopt;
    const QByteArray n = QByteArray::number(userId);
    const QByteArray h1 = (n + p + n + p).toHex().toUpper();
    return QString::fromLatin1(QCryptographicHash::hash(h1, QCryptographicHash::Sha1).toHex().toUpper());
}

QString PasswordHash(qint64 userId, const QString& password)
{
    if (std::optional<QString> hash = TryPasswordHash(userId, password))
        return *hash;
    throw std::invalid_argument("PasswordHash: the password has a character WIN1250 cannot hold");
}

bool PasswordMatches(qint64 userId, const QString& typed, const QVariant& storedHash)
{
    if (storedHash.isNull())
        return false;
    const QString stored = storedHash.toString();
    if (stored.isEmpty())
        return false;
    const std::optional<QString> hash = TryPasswordHash(userId, typed);
    return hash && *hash == stored;
}
