#pragma once

#include "framework/Dialogs.h"

#include <QList>
#include <QString>

#include <initializer_list>

// The numbered messages and the dialogs that show them. Texts live in the
// resource :/messages/messages.txt under names "ERR" + number and "IBERR" +
// server error code; line breaks in them are CR LF.

// The whole stored text of that name; empty when there is none.
QString LoadMessageText(const QString& name);

// Fills the "%d" placeholders of a message text in order ("%%" is a percent sign).
QString FormatMessageText(const QString& text, std::initializer_list<qint64> numbers);

// "Hlásenie #" + n, an empty line, then the text of "ERR" + n, in the standard
// dialog of that type with an OK button.
int ErrMessage(int n, int type);

// "Hlásenie #" + code, the text of "IBERR" + code and `extra` (unless blank),
// each followed by a line break, in the red dialog with an OK button.
int DbErrMessage(long code, int type, const QString& extra);

// The standard dialog (type icon and caption), the red (errors, important
// questions) and the grey (notices) dialogs; the red and the grey one reopen
// where the user last left them. The button whose result equals
// `defaultResult` is the default and has the focus.
int MessageDlg(const QString& text, int type, const QList<int>& buttons, int helpContext, int defaultResult);
int RedMessageDlg(const QString& text, int type, const QList<int>& buttons, int helpContext, int defaultResult);
int GrayMessageDlg(const QString& text, int type, const QList<int>& buttons, int helpContext, int defaultResult);

int ErrorBox(const QString& text);
int NoPrintData();

// Raw texts (server messages, a few program notes): OK only, the application
// title as caption.
int PlainMessageBox(const QString& text);
