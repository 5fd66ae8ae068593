#include "support/Typing.h"

#include <QTest>

void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        Qt::Key key;
        QString keyText(c);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            key = Qt::Key_Return;
            keyText = QStringLiteral("\r");
        } else if (c == QLatin1Char('\t')) {
            key = Qt::Key_Tab;
        } else if (c == QLatin1Char(' ')) {
            key = Qt::Key_Space;
        } else {
            key = Qt::Key(c.toUpper().unicode());
        }
        QTest::sendKeyEvent(QTest::Click, widget, key, keyText, Qt::NoModifier);
    }
}
