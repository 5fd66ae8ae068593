#pragma once

#include <QDialog>

class QLineEdit;

// The arithmetic of the small calculator: an entry being typed, an
// accumulator and a pending operation, like a pocket calculator.
class CalculatorEngine {
public:
    explicit CalculatorEngine(double start = 0);
    void digit(int d);
    void decimalPoint();
    void operation(QChar op);  // '+', '-', '*', '/'
    void equals();
    void clear();
    void backspace();
    void negate();
    double value() const;       // the number shown
    QString display() const;    // with the locale's decimal separator
    bool hasError() const { return m_error; }

private:
    void applyPending();
    double m_acc = 0;
    QChar m_pending;
    QString m_entry;     // digits typed ("" = showing the accumulator)
    bool m_error = false;
};

// TfrmCalculator: the window "Kalkulačka..." that the amount edit opens with
// K. Digits, "+", "-", "*", "/", "," or ".", Enter or "=" compute, Backspace,
// Delete or C clears, Esc closes. The value shown when it closes is the
// result; the amount edit takes it unless it is read-only.
class TfrmCalculator : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCalculator(double value, QWidget* parent = nullptr);
    double value() const { return m_engine.value(); }
    CalculatorEngine& engine() { return m_engine; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void press(const QString& key);
    void refresh();
    CalculatorEngine m_engine;
    QLineEdit* m_display;
};
