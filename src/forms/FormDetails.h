#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

// The call record every register window and editor is run with: the caller
// fills mode and keys, the window copies what it needs, runs modally and writes
// its result back. A "nullable value" is a QVariant: invalid (null), an integer
// key or a text.
struct TFormDetails {
    // Modes.
    enum : std::uint8_t { Browse = 1, Select = 2, Insert = 3, Copy = 4, Edit = 5 };
    // Results.
    enum : int { ResultOk = 1, ResultCancel = 2, ResultNext = 4 };

    bool Flag0 = false;
    std::uint8_t Mode = 0;
    QVariant Parent;
    QVariant Value2;
    QVariant Current;
    QVariant Value4;
    bool ShowNext = true;
    bool NextInTabOrder = false;
    QString Text0;
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
    QVariant Result;  // null, or 1 OK, 2 Cancel, 4 saved and next

    int result() const { return Result.isValid() ? Result.toInt() : 0; }
};

// Every field back to its initial value, with the given mode and keys.
void InitDetails(TFormDetails& details, std::uint8_t mode, const QVariant& parent = {},
                 const QVariant& current = {});
