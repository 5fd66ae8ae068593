#include "framework/PasswordHash.h"

#include "fb/Win1250.h"

#include <QCryptographicHash>

QString PasswordHash(qint64 userId, const QString& password)
{
    QByteArray p;
    if (!text::toWin1250(password, p))
        return {};
    const QByteArray n = QByteArray::number(userId);
    const QByteArray h1 = (n + p + n + p).toHex().toUpper();
    return QString::fromLatin1(QCryptographicHash::hash(h1, QCryptographicHash::Sha1).toHex().toUpper());
}
