#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

// The parameters a window copies from its call record: mode, keys and free
// values. A "nullable value" is a QVariant: invalid (null), an integer key or
// a text.
struct TFormValues {
    std::uint8_t Mode = 0;  // 1 browse, 2 select, 3 insert, 4 copy, 5 edit
    QVariant Parent;        // key of the record the window works under
    QVariant Value2;
    QVariant Current;  // in: the record to show, select or edit; out: the one saved or selected
    QVariant Value4;
    QString Text;
    QString Text2;
    QString Text3;
    qint32 Number = 0;
    qint32 Number2 = 0;
    qint32 Number3 = 0;
    QVariant Value;
    QVariant Value6;
    QVariant Value7;
    bool Flag = false;
    bool Flag2 = false;
    bool Flag3 = false;
    qint32 Number4 = 0;
};

// The call record every register window and editor is run with: the caller
// fills mode and keys, the window copies what it needs, runs modally and
// writes its result back.
struct TFormDetails : TFormValues {
    // Modes.
    enum : std::uint8_t { Browse = 1, Select = 2, Insert = 3, Copy = 4, Edit = 5 };
    // Results.
    enum : int { ResultOk = 1, ResultCancel = 2, ResultNext = 4 };

    bool Flag0 = false;           // read by no window
    bool ShowNext = true;         // the editor shows its save-and-next button
    bool NextInTabOrder = false;  // in/out: that button takes part in Tab
    QString Text0;                // not copied into the window
    QVariant Result;              // null, or 1 OK, 2 Cancel, 4 saved and next

    int result() const { return Result.isValid() ? Result.toInt() : 0; }
};

// Every field back to its initial value, with the given mode and keys.
void InitDetails(TFormDetails& details, std::uint8_t mode, const QVariant& parent = {},
                 const QVariant& current = {});
