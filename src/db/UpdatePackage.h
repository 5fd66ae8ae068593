#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class MemTable;

// The migration scripts travel inside the program as the resource ":/UPDATEZLIB":
// a zlib stream holding the datapacket XML that tools/mkupdatepkg writes.

// Inflates a zlib stream (RFC 1950). Corrupt or truncated input gives nullopt.
std::optional<QByteArray> inflateZlib(const QByteArray& compressed);

// The compressed package built into this program.
QByteArray embeddedUpdatePackage();

// Inflates a package and reads it into the table (fields VERSION_NUMBER and
// LONG_SCRIPT). On failure returns false with the reason in *error; rows read
// before the failure stay in the table.
bool loadUpdatePackage(const QByteArray& compressed, MemTable& table, QString* error = nullptr);
bool loadUpdatePackage(MemTable& table, QString* error = nullptr);
