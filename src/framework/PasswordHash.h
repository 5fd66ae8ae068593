#pragma once

#include <QString>

// The stored form of a user's password: the hexadecimal text of the SHA-1 of
// the hexadecimal text of (n + p + n + p), n the user's record number in
// decimal and p the password's WIN1250 bytes. 40 upper-case hex digits.
// A password with a character WIN1250 cannot hold has no hash: the result is
// empty, which matches no stored value.
QString PasswordHash(qint64 userId, const QString& password);
