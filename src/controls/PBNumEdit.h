#pragma once

#include "controls/NumberTyping.h"

#include <QLineEdit>

// TPBNumEdit: the numeric edit the amount edit is built on. Its
// text is always the formatted Value; keys go through the NumberTyping model
// (fixed decimals overwritten in place, separator key jumps, "-" toggles the
// sign, Backspace / Delete keep the format). Separators follow QLocale().
// Alone (without the amount edit's exit processing), a value outside a set
// range is clamped to the nearer bound with a beep on leaving and the focus is
// taken back, unless OnInvalidEntry is connected.
class TPBNumEdit : public QLineEdit {
    Q_OBJECT
public:
    using Format = NumberTyping::Format;

    explicit TPBNumEdit(QWidget* parent = nullptr);

    long double Value() const;
    void setValue(long double value);
    double value() const { return double(Value()); }
    int Decimals() const { return m_decimals; }
    void setDecimals(int decimals);
    Format NumberFormat() const { return m_format; }
    void setNumberFormat(Format format);
    long double MinValue() const { return m_min; }
    void setMinValue(long double v) { m_min = v; }
    long double MaxValue() const { return m_max; }
    void setMaxValue(long double v) { m_max = v; }
    void setMaxLength(int length);
    bool AutoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool on) { m_autoSelect = on; }

    // Value MinValue (0 when MinValue is 0).
    virtual void Clear();

    // How many times the edit has beeped (tests listen here).
    int beepCount() const { return m_beeps; }

    // Re-reads the text (e.g. pasted) into the value and formats it.
    void reformat();

signals:
    void OnInvalidEntry();
    void OnClear();
    void Beeped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    // The separator key of this edit: TIBCurrencyEdit also takes "." and ",".
    virtual bool isSeparatorKey(QChar c) const;
    // Clamp on leaving (TPBNumEdit alone); the amount edit overrides.
    virtual void rangeCheckOnExit();
    void beep();
    NumberTyping::Settings currentSettings() const;
    void render();
    void syncModel();

    NumberTyping m_model;

private:
    int m_decimals = -1;
    Format m_format = Format::Standard;
    long double m_min = 0, m_max = 0;
    bool m_autoSelect = true;
    int m_beeps = 0;
};
