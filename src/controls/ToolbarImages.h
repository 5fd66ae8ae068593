#pragma once

#include <QIcon>
#include <QString>

class QAction;
class QToolBar;

// The images of the register windows' toolbars and the hints chosen by them.

// The images of the 32-pixel list (indexes 0..48) and the 16-pixel list (0..13),
// drawn in code. An action remembers its index in the property "imageIndex".
QIcon ToolbarImage(int index, int size);
void SetActionImage(QAction* action, int index);
int ActionImage(const QAction* action);  // -1 when none was set
// Adds a standard button (39 x 38 pixels on a 32-pixel toolbar) named `name`.
QAction* AddToolbarButton(QToolBar* toolbar, const QString& name, int imageIndex, bool checkable = false);

// Gives a hint to every button of the toolbar whose hint is blank, chosen by its
// image index: the 32-pixel table for a toolbar with 32-pixel icons, the 16-pixel
// table for 16-pixel icons; any other toolbar is left alone.
void SetupToolbarHints(QToolBar* toolbar);
QString ToolbarHint(int imageIndex, int iconSize);
