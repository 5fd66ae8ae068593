#pragma once

#include "controls/DataControl.h"
#include "controls/UniqueTest.h"

#include <QLineEdit>

#include <optional>

class InnerButton;
class QKeyEvent;

namespace fb {
class Connection;
}

// TIBEdit: a single-line data edit, 21 pixels high, Courier 10.
// Character filters (OnlyNumbers, WithDecimals, OnlyTheseChars), MinLength,
// the "..." button, and the duplicate test against a table (UniqueTest).
class TIBEdit : public QLineEdit, public DataControl {
    Q_OBJECT
public:
    explicit TIBEdit(QWidget* parent = nullptr);

    // The data control's ReadOnly (colour, Tab order, button), not only QLineEdit's.
    void setReadOnly(bool readOnly) { DataControl::setReadOnly(readOnly); }

    int MinLength() const { return m_minLength; }
    void setMinLength(int n) { m_minLength = n; }
    bool OnlyNumbers() const { return m_onlyNumbers; }
    void setOnlyNumbers(bool on) { m_onlyNumbers = on; }
    bool WithDecimals() const { return m_withDecimals; }
    void setWithDecimals(bool on) { m_withDecimals = on; }
    QString OnlyTheseChars() const { return m_onlyTheseChars; }
    void setOnlyTheseChars(const QString& chars) { m_onlyTheseChars = chars; }
    bool ButtonVisible() const { return m_buttonVisible; }
    void setButtonVisible(bool visible);
    bool AutoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool on) { m_autoSelect = on; }
    // Kept for the window; the text is shown left-aligned.
    Qt::Alignment Alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment a) { m_alignment = a; }

    // The duplicate test on leaving (UniqueTest.h): the text must not exist in
    // UTestColumn of UTableName yet, the record being edited aside.
    bool UniqueTest() const { return m_uniqueTest; }
    void setUniqueTest(bool on) { m_uniqueTest = on; }
    QString UTableName() const { return m_unique.tableName; }
    void setUTableName(const QString& s) { m_unique.tableName = s; }
    QString UTestColumn() const { return m_unique.testColumn; }
    void setUTestColumn(const QString& s) { m_unique.testColumn = s; }
    QString UniqueColumn() const { return m_unique.uniqueColumn; }
    void setUniqueColumn(const QString& s) { m_unique.uniqueColumn = s; }
    QVariant UniqueColumnValue() const { return m_unique.uniqueColumnValue; }
    void setUniqueColumnValue(const QVariant& v) { m_unique.uniqueColumnValue = v; }
    QString UAdditionalToWhere() const { return m_unique.additionalToWhere; }
    void setUAdditionalToWhere(const QString& s) { m_unique.additionalToWhere = s; }
    bool UBezDiakritiky() const { return m_unique.bezDiakritiky; }
    void setUBezDiakritiky(bool on) { m_unique.bezDiakritiky = on; }
    int UniqueErrorText() const { return m_uniqueErrorText; }
    void setUniqueErrorText(int n) { m_uniqueErrorText = n; }
    // The database of the duplicate test; nullptr = the main connection.
    void setDatabase(fb::Connection* connection) { m_database = connection; }

    // Search settings kept with the window's settings; the edit does not search.
    QString STableName, SAppendFromField, SAutoAppendText, SNotFoundErrorText, SWhere;
    bool SAutoAppend = false, SSearchIfFound = false, SetFocusIfNotFound = false;
    int SMinSearchLength = 3;

    bool IsEmpty() const;
    // The exit check; true = not acceptable.
    bool CheckValue() override;
    // The text at the last entry.
    QString enteredText() const { return m_textAtEntry; }

    InnerButton* button() const { return m_button; }

signals:
    void OnEnter();
    void OnExit();
    void OnButtonClick();
    void OnClickEnter();
    void OnCtrlEnter();
    // Fires before the ordinary key handling. The event arrives ignored; a
    // handler that accept()s it stops the ordinary handling.
    void OnKeyDown(QKeyEvent* event);

protected:
    void emitOnEnter() override { emit OnEnter(); }
    void emitOnExit() override { emit OnExit(); }
    void applyReadOnly(bool readOnly) override;
    void entered() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool acceptsCharacter(QChar c) const;
    // True for a duplicate; empty when the test could not answer (the client
    // layer refused the text, which has been reported).
    std::optional<bool> isDuplicate();

    int m_minLength = 0;
    bool m_onlyNumbers = false;
    bool m_withDecimals = false;
    QString m_onlyTheseChars;
    bool m_buttonVisible = false;
    bool m_autoSelect = true;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    bool m_uniqueTest = false;
    UniqueTestSetup m_unique;
    int m_uniqueErrorText = 1004;
    fb::Connection* m_database = nullptr;
    QString m_textAtEntry;
    InnerButton* m_button;
};
