#pragma once

class QWidget;

// The "please wait" window shown around long work. There is at most one; a
// second show while it exists does nothing. With a delay the window appears
// only if the work is still going on when the event loop next runs after that
// many milliseconds; 0 shows it at once.
void WaitPleaseShow(int delayMs = 0);
void WaitPleaseHide();

// The window while it exists (visible or still waiting for its delay).
QWidget* WaitPleaseWindow();
