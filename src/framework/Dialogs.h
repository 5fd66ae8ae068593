#pragma once

#include <QList>
#include <QString>

#include <functional>

// Every message the program shows passes through showDialog(): the red and grey
// dialogs, the standard dialog of ErrMessage, the plain message box and the
// confirmation questions. Tests install a responder that records the requests
// and answers them; without one the real modal dialog is shown.

// Dialog types and results keep the numbers the rest of the program stores and
// compares.
namespace msg {
enum Type : int { NoType = -1, Warning = 0, Error = 1, Information = 2, Confirmation = 3 };
enum Result : int { OK = 1, Cancel = 2, Yes = 6, No = 7 };
}  // namespace msg

enum class DialogKind {
    Standard,  // the usual dialog with a type icon and caption (ErrMessage)
    Red,       // RedMessageDlg: black on red, remembers its position
    Gray,      // GrayMessageDlg: remembers its position
    Plain,     // the plain message box: application title, OK only, no icon
};

struct DialogRequest {
    DialogKind kind = DialogKind::Standard;
    int type = msg::NoType;     // msg::Type
    QString caption;
    QString text;               // line breaks as CR LF, exactly as built
    QList<int> buttons;         // results in the order shown: msg::OK, msg::Yes, ...
    int defaultResult = msg::OK;
    int helpContext = 0;
};

using DialogResponder = std::function<int(const DialogRequest&)>;

// An empty responder restores the real dialogs. Returns the previous one.
DialogResponder setDialogResponder(DialogResponder responder);

// Shows the request modally (or hands it to the responder) and returns the
// result of the button chosen. Closing the window counts as the Cancel button
// when there is one, else No, else OK.
int showDialog(const DialogRequest& request);

// "Upozornenie...", "C H Y B A ...", "Informácia...", "Potvrdenie..." by type;
// the application title for anything else.
QString dialogCaption(int type);

// The application title: the display name when set, else the main window's title.
QString applicationTitle();

// The per-user key under which a dialog kind remembers its position ("Left",
// "Top"); empty for kinds that do not remember one.
QString dialogPositionKey(DialogKind kind);
