#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <Qt>

class QKeyEvent;
class QStatusBar;

// The Shift, Ctrl and Alt state of a key press: keys that act "only without
// modifiers" compare this with Qt::NoModifier (the keypad flag does not count).
Qt::KeyboardModifiers ShiftCtrlAlt(const QKeyEvent* event);
// Return or the keypad's Enter.
bool isEnterKey(const QKeyEvent* event);

// The wait cursor for the length of a scope, restored on every path (also
// when the work throws).
struct WaitCursor {
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// Puts the text on the clipboard as plain text, together with the user's locale
// name ("sk_SK") under the format localeMimeType(), so a paste target that
// cares knows how to read numbers and dates in it.
void CopyToClipboard(const QString& text);
QString localeMimeType();

// Status bar panels are QLabel children of the bar: removes the size grip and
// makes each label exactly as wide as its text in the bar's font plus 6 pixels.
void FitStatusPanels(QStatusBar* bar);

// A colour stored as the program has always stored colours (FARBA of the
// address book, the colour values of its settings): 0x00BBGGRR.
QColor ColorFromDelphi(int value);
// The other way: red in the lowest byte, blue in the highest.
int ColorToDelphi(const QColor& colour);

// The application's main window: parent of last resort for dialogs, source of
// the application title when no display name is set.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

// The user interface speaks Slovak whatever locale the environment has:
// numbers and dates in the Slovak formats everywhere (the grids and editors as
// the reports), and Qt's own dialogs (file, colour, print) in Slovak where
// Qt's translations are installed. Call once, after the application object.
void UseSlovakUserInterface();

// The keyboard focus a dialog found when it opened, given back when it closes:
// the window under it is active again with the same control (a list window's
// grid) focused, so its keys work without a click. Nothing happens when that
// control is gone or hidden meanwhile (its window closed or hid under the dialog).
class FocusReturn {
public:
    // `opening`: the dialog about to show; its own controls are never where
    // the focus returns to (a dialog shown again keeps its old focus widget).
    explicit FocusReturn(const QWidget* opening = nullptr);
    void restore() const;

private:
    QPointer<QWidget> m_widget;
};
