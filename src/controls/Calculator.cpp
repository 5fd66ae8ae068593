#include "controls/Calculator.h"

#include "controls/DataControl.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

CalculatorEngine::CalculatorEngine(double start)
    : m_acc(start)
{
}

void CalculatorEngine::digit(int d)
{
    if (m_error)
        clear();
    if (m_entry == QLatin1String("0"))
        m_entry.clear();
    if (m_entry.size() < 15)
        m_entry += QChar('0' + d);
}

void CalculatorEngine::decimalPoint()
{
    if (m_error)
        clear();
    if (m_entry.isEmpty())
        m_entry = QStringLiteral("0");
    if (!m_entry.contains(QLatin1Char('.')))
        m_entry += QLatin1Char('.');
}

void CalculatorEngine::applyPending()
{
    if (m_entry.isEmpty())
        return;
    const double x = m_entry.toDouble();
    m_entry.clear();
    if (m_pending.isNull()) {
        m_acc = x;
    } else if (m_pending == QLatin1Char('+')) {
        m_acc += x;
    } else if (m_pending == QLatin1Char('-')) {
        m_acc -= x;
    } else if (m_pending == QLatin1Char('*')) {
        m_acc *= x;
    } else if (m_pending == QLatin1Char('/')) {
        if (x == 0)
            m_error = true;
        else
            m_acc /= x;
    }
    m_pending = QChar();
}

void CalculatorEngine::operation(QChar op)
{
    if (m_error)
        return;
    applyPending();
    m_pending = op;
}

void CalculatorEngine::equals()
{
    if (m_error)
        return;
    applyPending();
    m_pending = QChar();
}

void CalculatorEngine::clear()
{
    m_acc = 0;
    m_entry.clear();
    m_pending = QChar();
    m_error = false;
}

void CalculatorEngine::backspace()
{
    if (!m_entry.isEmpty())
        m_entry.chop(1);
}

void CalculatorEngine::negate()
{
    if (!m_entry.isEmpty())
        m_entry = m_entry.startsWith(QLatin1Char('-')) ? m_entry.mid(1) : QLatin1Char('-') + m_entry;
    else
        m_acc = -m_acc;
}

double CalculatorEngine::value() const
{
    if (m_error)
        return 0;
    return m_entry.isEmpty() ? m_acc : m_entry.toDouble();
}

QString CalculatorEngine::display() const
{
    if (m_error)
        return QStringLiteral("Chyba");
    const QLocale locale;
    if (!m_entry.isEmpty()) {
        QString t = m_entry;
        t.replace(QLatin1Char('.'), locale.decimalPoint());
        return t;
    }
    return locale.toString(m_acc, 'g', 15).remove(locale.groupSeparator());
}

TfrmCalculator::TfrmCalculator(double value, QWidget* parent)
    : QDialog(parent), m_engine(value)
{
    setObjectName(QStringLiteral("frmCalculator"));
    setWindowTitle(QStringLiteral("Kalkulačka..."));
    auto* layout = new QVBoxLayout(this);
    m_display = new QLineEdit(this);
    m_display->setObjectName(QStringLiteral("eDisplay"));
    m_display->setReadOnly(true);
    m_display->setAlignment(Qt::AlignRight);
    m_display->setFont(dataControlFont());
    m_display->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_display);
    auto* grid = new QGridLayout;
    const QStringList keys = {"7", "8", "9", "/", "4", "5", "6", "*", "1", "2", "3", "-",
                              "0", QLocale().decimalPoint(), "=", "+", "C", "±", "←", "OK"};
    for (int i = 0; i < keys.size(); ++i) {
        auto* b = new QPushButton(keys.at(i), this);
        b->setObjectName(QStringLiteral("btn") + QString::number(i));
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(36, 28);
        connect(b, &QPushButton::clicked, this, [this, key = keys.at(i)] { press(key); });
        grid->addWidget(b, i / 4, i % 4);
    }
    layout->addLayout(grid);
    refresh();
}

void TfrmCalculator::press(const QString& key)
{
    const QChar c = key.at(0);
    if (c.isDigit())
        m_engine.digit(c.digitValue());
    else if (key == QLocale().decimalPoint() || key == QLatin1String(".") || key == QLatin1String(","))
        m_engine.decimalPoint();
    else if (key == QLatin1String("=") )
        m_engine.equals();
    else if (key == QLatin1String("C"))
        m_engine.clear();
    else if (key == QLatin1String("±"))
        m_engine.negate();
    else if (key == QLatin1String("←"))
        m_engine.backspace();
    else if (key == QLatin1String("OK")) {
        m_engine.equals();
        accept();
    } else
        m_engine.operation(c);
    refresh();
}

void TfrmCalculator::refresh()
{
    m_display->setText(m_engine.display());
}

void TfrmCalculator::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Equal:
        press(QStringLiteral("="));
        return;
    case Qt::Key_Backspace:
        press(QStringLiteral("←"));
        return;
    case Qt::Key_Delete:
        press(QStringLiteral("C"));
        return;
    case Qt::Key_Escape:
        m_engine.equals();
        accept();
        return;
    default:
        break;
    }
    const QString t = event->text();
    if (!t.isEmpty()) {
        const QChar c = t.at(0);
        if (c.isDigit() || QStringLiteral("+-*/.,").contains(c)) {
            press(QString(c));
            return;
        }
        if (c == QLatin1Char('c') || c == QLatin1Char('C')) {
            press(QStringLiteral("C"));
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
