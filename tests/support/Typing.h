#pragma once

#include <QString>

class QWidget;

// Types the text into the widget one key at a time. Each key event carries its
// character as text, so letters such as "Ž" arrive as typed (QTest::keyClicks
// handles ASCII only). "\n" presses Return and "\t" Tab.
void typeText(QWidget* widget, const QString& text);
