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
void saveLayout(const Layout& layout, const QString& fileName);
QByteArray serializeLayout(const Layout& layout);

}  // namespace report
