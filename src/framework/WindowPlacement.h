#pragma once

#include <QRect>
#include <QSize>
#include <QString>

class QWidget;

// Where a window of `size` at `window.topLeft()` ends up on a screen of
// `screen`: shrunk to the screen, then centred along an axis whose edge is off
// the screen.
QRect FitToScreen(const QRect& window, const QSize& screen);

// What a window remembers of its placement in the per-user store.
enum class Placement { Position, PositionAndSize };

// Puts a window where the user left it: the keys Left and Top of section
// `key`, with PositionAndSize also Width and Height (a stored size under 50
// pixels is not used). A window left on a screen that is now smaller or gone
// is brought back onto the screen. False when no position was stored.
bool RestorePlacement(QWidget* window, const QString& key, Placement what = Placement::Position);
// Stores the window's position (and size) under `key`.
void StorePlacement(const QWidget* window, const QString& key, Placement what = Placement::Position);
