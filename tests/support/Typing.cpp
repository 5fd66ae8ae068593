#include "support/Typing.h"

#include <QApplication>
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

void focusOn(QWidget* widget)
{
    widget->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
}

void typeInto(QWidget* widget, const QString& text)
{
    focusOn(widget);
    typeText(widget, text);
}

void press(QWidget* fallback, int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    QTest::keyClick(target, Qt::Key(key), modifiers);
}
