#pragma once

#include "controls/DataControl.h"
#include "controls/PBNumEdit.h"

namespace fb {
class Connection;
}

// TIBCurrencyEdit: the amount edit. Width 121, MaxLength 14,
// Courier 10, right-aligned, Decimals 2 (the euro's currency decimals).
// "." and "," both type the decimal separator; Enter runs the exit processing
// at once; Up / Down select all; F8 or V clears; K opens the calculator.
// Exit checks: AllowZero, MaxValue, MinValue, AllowNegative.
class TIBCurrencyEdit : public TPBNumEdit, public DataControl {
    Q_OBJECT
public:
    explicit TIBCurrencyEdit(QWidget* parent = nullptr);

    void setReadOnly(bool readOnly) { DataControl::setReadOnly(readOnly); }

    bool AllowZero() const { return m_allowZero; }
    void setAllowZero(bool on) { m_allowZero = on; }
    int AllowZeroErrorText() const { return m_allowZeroErrorText; }
    void setAllowZeroErrorText(int n) { m_allowZeroErrorText = n; }
    bool AllowNegative() const { return m_allowNegative; }
    void setAllowNegative(bool on) { m_allowNegative = on; }
    int AllowNegativeErrorText() const { return m_allowNegativeErrorText; }
    void setAllowNegativeErrorText(int n) { m_allowNegativeErrorText = n; }
    bool MoneyColor() const { return m_moneyColor; }
    void setMoneyColor(bool on);
    qint64 AsInteger() const { return qint64(Value()); }
    void setAsInteger(qint64 v) { setValue(v); }
    void setDatabase(fb::Connection* connection) { m_database = connection; }
    long double valueAtEntry() const { return m_valueAtEntry; }

    static QColor moneyColour() { return QColor(99, 255, 47); }

    void Clear() override;
    bool CheckValue() override;
    // Opens the calculator with the present value (K).
    void OpenCalculator();

signals:
    void OnEnter();
    void OnExit();
    void OnClickEnter();
    void OnCtrlEnter();
    void OnKeyDown(QKeyEvent* event);

protected:
    void emitOnEnter() override { emit OnEnter(); }
    void emitOnExit() override { emit OnExit(); }
    void applyReadOnly(bool readOnly) override { QLineEdit::setReadOnly(readOnly); }
    void entered() override;
    void leaving() override;
    QColor idleColour() const override;
    bool isSeparatorKey(QChar c) const override;
    QString cannotFocusText() const override { return QStringLiteral("nie je mozne nastavit fokus"); }
    void rangeCheckOnExit() override {}
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool refuseWith(const std::function<int()>& show);

    bool m_allowZero = true;
    int m_allowZeroErrorText = 1043;
    bool m_allowNegative = true;
    int m_allowNegativeErrorText = 1036;
    bool m_moneyColor = false;
    long double m_valueAtEntry = 0;
    fb::Connection* m_database = nullptr;
};
