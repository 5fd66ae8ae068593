#pragma once

#include <QByteArray>
#include <QString>

// The database speaks WIN1250 (lc_ctype of every connection). Text crosses the
// client edge through this table-driven codec so that every one of the 256 byte
// values survives a round trip and nothing is ever replaced silently.
namespace text {

// Bytes to text. Never fails: the five bytes WIN1250 leaves undefined map to the
// C1 control characters of the same value, as the Windows code page does.
QString fromWin1250(const QByteArray& bytes);
QString fromWin1250(const char* data, int size);

// Text to bytes. Returns false (and leaves `out` unspecified) when the text holds
// a character that WIN1250 cannot represent; `badChar` then receives it.
bool toWin1250(const QString& text, QByteArray& out, QString* badChar = nullptr);

// True when every character of the text can be stored.
bool isWin1250(const QString& text);

}  // namespace text
