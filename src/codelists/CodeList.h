#pragma once

#include "controls/ListToolbar.h"
#include "controls/QDLColumn.h"
#include "framework/TextHelpers.h"

#include <QString>
#include <QVariant>

class QLabel;
class QWidget;
class TFormEditor;
class TIBCheckBox;
class TIBEdit;

// What the small code lists (language combinations, units, users) share
// beyond the register and editor bases: their toolbar, their columns and the
// fixed layout of their editors.

// add, edit, delete | direction, filter | find | marked only, mark all,
// unmark all, refresh
constexpr ListButtons kCodeListButtons = ListButtons(ListButton::Pridaj) | ListButton::Oprav |
                                         ListButton::Vymaz | ListButton::Smer | ListButton::Filter |
                                         ListButton::Hladaj | ListButton::Oznacene | ListButton::Oznac |
                                         ListButton::Odznac | ListButton::Refresh;

// A grid column of a code list; a centred column keeps its width when the
// grid fits its columns.
TQDLColumn CodeListColumn(const QString& field, const QString& title, int width, const QString& orderBy,
                          Qt::Alignment alignment = Qt::AlignLeft);

// --- editors: controls at fixed places in a fixed client area ----------------
// A data edit at (x, y) with its label left of it at `labelX`.
TIBEdit* AddEditorEdit(QWidget* parent, const QString& name, const QString& label, int labelX, int x, int y,
                       int width, int maxLength, bool required = false);
// A check box with its caption on the left, at (x, y).
TIBCheckBox* AddEditorCheck(QWidget* parent, const QString& name, const QString& caption, int x, int y,
                            int width);
// Letters typed into the edit are shown, and so stored, in upper case.
void UpperCaseEdit(TIBEdit* edit);
// The client area fixed at width × height; "Ď&alší", " &OK" and "&Nezapíš"
// along its bottom, right-aligned.
void LayOutEditor(TFormEditor* editor, int width, int height);
