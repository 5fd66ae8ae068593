#pragma once

#include <QStringList>
#include <QVariantMap>

namespace fb {

// A statement built without a connection: its lines and the values of its
// named parameters. Whatever the user typed travels in `params`, never in `lines`.
struct Statement {
    QStringList lines;
    QVariantMap params;
    // The text shown in error messages (CR LF between lines).
    QString text() const { return lines.join(QStringLiteral("\r\n")); }
};

}  // namespace fb
