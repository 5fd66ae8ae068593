#include "controls/IBCurrencyEdit.h"

#include "controls/Calculator.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/UiHelpers.h"

#include <QKeyEvent>
#include <QLocale>

TIBCurrencyEdit::TIBCurrencyEdit(QWidget* parent)
    : TPBNumEdit(parent), DataControl(this)
{
    setFont(dataControlFont());
    setFixedHeight(21);
    resize(121, 21);
    setMinimumWidth(121);
    setMaxLength(14);
    // The locale's currency decimals: Qt has no such query; the euro has 2.
    setDecimals(2);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    updateColours();
}

void TIBCurrencyEdit::setMoneyColor(bool on)
{
    m_moneyColor = on;
    updateColours();
}

QColor TIBCurrencyEdit::idleColour() const
{
    if (m_moneyColor)
        return moneyColour();
    return DataControl::idleColour();
}

bool TIBCurrencyEdit::isSeparatorKey(QChar c) const
{
    return c == QLatin1Char('.') || c == QLatin1Char(',') || TPBNumEdit::isSeparatorKey(c);
}

void TIBCurrencyEdit::Clear()
{
    TPBNumEdit::Clear();
    setModified(true);
}

void TIBCurrencyEdit::entered()
{
    m_valueAtEntry = Value();
    setModified(false);
    selectAll();
}

void TIBCurrencyEdit::leaving()
{
    if (text().trimmed().isEmpty())
        setValue(0);
}

bool TIBCurrencyEdit::refuseWith(const std::function<int()>& show)
{
    whileRed(show);
    selectAll();
    return true;
}

bool TIBCurrencyEdit::CheckValue()
{
    if (text().trimmed().isEmpty())
        setValue(0);
    const long double v = Value();
    const QLocale locale;
    if (v == 0 && !m_allowZero) {
        if (m_allowZeroErrorText == 0) {
            selectAll();
            return true;
        }
        return refuseWith([&] { return ErrMessage(m_allowZeroErrorText, msg::Warning); });
    }
    if (MaxValue() > 0 && v > MaxValue())
        return refuseWith([&] {
            return PlainMessageBox(QStringLiteral("Zadaná hodnota je väčšia ako povolená. (MaxValue=%1)")
                                       .arg(locale.toString(double(MaxValue()), 'f', 2)));
        });
    if (MinValue() != 0 && v < MinValue())
        return refuseWith([&] {
            return PlainMessageBox(QStringLiteral("Zadaná hodnota je menšia ako povolená. (MinValue=%1)")
                                       .arg(locale.toString(double(MinValue()), 'f', 2)));
        });
    if (v < 0 && !m_allowNegative) {
        if (m_allowNegativeErrorText == 0) {
            selectAll();
            return true;
        }
        return refuseWith([&] { return ErrMessage(m_allowNegativeErrorText, msg::Warning); });
    }
    return false;
}

void TIBCurrencyEdit::OpenCalculator()
{
    TfrmCalculator calculator(double(Value()), window());
    calculator.exec();
    if (!ReadOnly()) {
        setValue(calculator.value());
        setModified(true);
        selectAll();
    }
}

void TIBCurrencyEdit::keyPressEvent(QKeyEvent* event)
{
    if (windowTookKey(event, [this](QKeyEvent* e) { emit OnKeyDown(e); }))
        return;
    const Qt::KeyboardModifiers mods = ShiftCtrlAlt(event);
    const int key = event->key();
    if (isEnterKey(event)) {
        if (mods == Qt::ControlModifier) {
            emit OnCtrlEnter();
            return;
        }
        if (mods == Qt::NoModifier) {
            emit OnClickEnter();
            // The exit processing at once; the focus-out that follows skips it.
            if (text().trimmed().isEmpty())
                setValue(0);
            if (runExitCheck())
                return;
            emitOnExit();
            if (hasFocus()) {
                m_exitHandled = true;
                moveToNextControl();
                if (hasFocus())
                    m_exitHandled = false;
            }
        }
        return;  // Enter never reaches the text
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && mods == Qt::NoModifier) {
        selectAll();
        return;
    }
    if (mods == Qt::NoModifier || mods == Qt::ShiftModifier) {
        if (key == Qt::Key_F8 || key == Qt::Key_V) {
            if (!ReadOnly()) {
                Clear();
                selectAll();
            }
            return;
        }
        if (key == Qt::Key_K) {
            OpenCalculator();
            return;
        }
    }
    TPBNumEdit::keyPressEvent(event);
}
