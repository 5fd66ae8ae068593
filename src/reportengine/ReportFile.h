#pragma once

#include "reportengine/ReportLayout.h"

#include <QByteArray>
#include <QString>

namespace report {

// The .frf layout file: versioned XML, described in docs/report-format.md.
// Loading throws report::Error with a clear text for a missing, damaged or
// newer file; it never crashes on bad input.
constexpr int kLayoutFormatVersion = 1;

Layout loadLayout(const QString& fileName);
Layout parseLayout(const QByteArray& xml, const QString& sourceName = QString());
// The format version a file declares (0 when it declares none), and the
// reading of a file of a later version that skips what this program does not
// know: the designer shows such a layout but does not save it.
int layoutFormatVersion(const QByteArray& xml);
Layout parseNewerLayout(const QByteArray& xml, const QString& sourceName = QString());
// Writes a new file and puts it in place of the old one only when all of it
// was written; throws report::Error otherwise, the old file intact.
void saveLayout(const Layout& layout, const QString& fileName);
QByteArray serializeLayout(const Layout& layout);

}  // namespace report
