#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The stored form of a user's password: the hexadecimal text of the SHA-1 of
// the hexadecimal text of (n + p + n + p), n the user's record number in
// decimal and p the password's WIN1250 bytes. 40 upper-case hex digits; a
// user without a password has the hash of the empty password.

// No value when the password has a character WIN1250 cannot hold: such a
// password can be neither stored nor typed correctly.
std::optional<QString> TryPasswordHash(qint64 userId, const QString& password);

// For passwords known to fit WIN1250 (sample data); throws
// std::invalid_argument for one that does not, never returns an empty text.
QString PasswordHash(qint64 userId, const QString& password);

// The one comparison of a typed password with the stored HESLO. A password
// that cannot be encoded is wrong, and a NULL or empty stored hash matches
// nothing: an empty hash is never the hash of any password.
bool PasswordMatches(qint64 userId, const QString& typed, const QVariant& storedHash);
