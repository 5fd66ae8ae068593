#pragma once

#include <Qt>
#include <QString>

class QWidget;

// Types the text into the widget one key at a time. Each key event carries its
// character as text, so letters such as "Ž" arrive as typed (QTest::keyClicks
// handles ASCII only). "\n" presses Return and "\t" Tab.
void typeText(QWidget* widget, const QString& text);

// Gives the widget the keyboard as Tab would, and lets the events run.
void focusOn(QWidget* widget);
// focusOn, then typeText.
void typeInto(QWidget* widget, const QString& text);
// One key to whatever has the keyboard focus, or to `fallback` when nothing has.
void press(QWidget* fallback, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
