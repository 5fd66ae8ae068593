#include "controls/NumberTyping.h"

#include <QByteArray>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

QString stripLeadingZeros(const QString& digits)
{
    int i = 0;
    while (i < digits.size() - 1 && digits.at(i) == QLatin1Char('0'))
        ++i;
    return digits.mid(i);
}

QString cFormat(long double value, char conversion, int precision)
{
    char buffer[512];
    const char format[] = {'%', '.', '*', 'L', conversion, '\0'};
    std::snprintf(buffer, sizeof buffer, format, precision, value);
    return QString::fromLatin1(buffer);
}

}  // namespace

void NumberTyping::setSettings(const Settings& settings)
{
    const long double v = value();
    m_s = settings;
    if (m_s.decimals > 14)
        m_s.decimals = -1;  // 255 as a signed byte: free
    if (m_s.maxLength > 0 && m_s.decimals > m_s.maxLength - 2)
        m_s.decimals = qMax(0, m_s.maxLength - 2);
    setValue(v);
}

QString NumberTyping::format(long double value, const Settings& s)
{
    // At most 15 significant digits.
    value = std::strtold(cFormat(value, 'g', MaxSignificantDigits).toLatin1().constData(), nullptr);
    if (value == 0)
        value = 0;  // no "-0"
    QString text;
    QString exponent;
    const int decimals = s.decimals > 14 ? -1 : s.decimals;
    if (s.format == Format::Scientific || s.format == Format::Engineering) {
        int exp = value == 0 ? 0 : int(std::floor(std::log10(std::fabs(double(value)))));
        if (s.format == Format::Engineering)
            exp = int(std::floor(exp / 3.0)) * 3;
        const long double mantissa = value / std::pow(10.0L, exp);
        text = decimals >= 0 ? cFormat(mantissa, 'f', decimals) : cFormat(mantissa, 'f', MaxSignificantDigits - 1);
        exponent = QString::number(exp);
    } else if (decimals >= 0) {
        text = cFormat(value, 'f', decimals);
    } else {
        text = cFormat(value, 'f', MaxSignificantDigits);
    }
    if (decimals < 0 && text.contains(QLatin1Char('.'))) {
        // As many decimals as needed, within 15 significant digits.
        QString digits = text;
        digits.remove(QLatin1Char('-'));
        const int intDigits = int(stripLeadingZeros(digits.section(QLatin1Char('.'), 0, 0)).size());
        const int keep = qMax(0, MaxSignificantDigits - (digits.startsWith(QLatin1String("0.")) ? 0 : intDigits));
        const int dot = int(text.indexOf(QLatin1Char('.')));
        text = text.left(dot + 1 + keep);
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    bool neg = text.startsWith(QLatin1Char('-'));
    if (neg)
        text.remove(0, 1);
    if (neg && exponent.isEmpty()) {
        bool allZero = true;
        for (QChar c : text)
            allZero = allZero && (c == QLatin1Char('0') || c == QLatin1Char('.'));
        neg = !allZero;  // no "-0,00"
    }
    QString intPart = text.section(QLatin1Char('.'), 0, 0);
    const QString decPart = text.contains(QLatin1Char('.')) ? text.section(QLatin1Char('.'), 1) : QString();
    if (s.format == Format::Thousands) {
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, s.groupSeparator);
    }
    QString out = (neg ? QStringLiteral("-") : QString()) + intPart;
    if (text.contains(QLatin1Char('.')))
        out += s.decimalPoint + decPart;
    if (!exponent.isEmpty())
        out += QLatin1Char('E') + exponent;
    return out;
}

void NumberTyping::setValue(long double value)
{
    const QString text = format(value, m_s);
    // Split the well-formed text into parts.
    QString t = text;
    m_neg = t.startsWith(QLatin1Char('-'));
    if (m_neg)
        t.remove(0, 1);
    m_hasExp = false;
    m_expNeg = false;
    m_exp.clear();
    const int e = int(t.indexOf(QLatin1Char('E')));
    if (e >= 0) {
        m_hasExp = true;
        QString exp = t.mid(e + 1);
        t = t.left(e);
        m_expNeg = exp.startsWith(QLatin1Char('-'));
        if (m_expNeg)
            exp.remove(0, 1);
        m_exp = exp;
    }
    t.remove(m_s.groupSeparator);
    const int sep = int(t.indexOf(m_s.decimalPoint));
    m_hasSep = sep >= 0;
    m_int = m_hasSep ? t.left(sep) : t;
    m_dec = m_hasSep ? t.mid(sep + 1) : QString();
    if (m_int.isEmpty())
        m_int = QStringLiteral("0");
    m_caret = Caret{Region::Int, 0};
    m_selStart = m_selLength = 0;
}

long double NumberTyping::value() const
{
    QString c = (m_neg ? QStringLiteral("-") : QString()) + m_int;
    if (!m_dec.isEmpty())
        c += QLatin1Char('.') + m_dec;
    if (m_hasExp && !m_exp.isEmpty())
        c += QLatin1Char('e') + (m_expNeg ? QStringLiteral("-") : QString()) + m_exp;
    return std::strtold(c.toLatin1().constData(), nullptr);
}

void NumberTyping::setText(const QString& text)
{
    QString t = text.trimmed();
    t.remove(m_s.groupSeparator);
    t.remove(QLatin1Char(' '));
    t.replace(m_s.decimalPoint, QLatin1Char('.'));
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const QByteArray latin = t.toLatin1();
    char* end = nullptr;
    long double v = std::strtold(latin.constData(), &end);
    if (latin.isEmpty() || end != latin.constData() + latin.size() || std::isnan(double(v)) || std::isinf(double(v)))
        v = 0;
    setValue(v);
}

NumberTyping::Layout NumberTyping::layout() const
{
    Layout l;
    QString& t = l.text;
    if (m_neg)
        t += QLatin1Char('-');
    QString intPart = m_int;
    if (m_s.format == Format::Thousands) {
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, m_s.groupSeparator);
    }
    l.intStart = int(t.size());
    t += intPart;
    l.intEnd = int(t.size());
    l.decStart = l.decEnd = l.intEnd;
    if (m_hasSep) {
        l.sepPos = int(t.size());
        t += m_s.decimalPoint;
        l.decStart = int(t.size());
        t += m_dec;
        l.decEnd = int(t.size());
    }
    l.expStart = l.expEnd = int(t.size());
    if (m_hasExp) {
        l.expMark = int(t.size());
        t += QLatin1Char('E');
        if (m_expNeg)
            t += QLatin1Char('-');
        l.expStart = int(t.size());
        t += m_exp;
        l.expEnd = int(t.size());
    }
    return l;
}

QString NumberTyping::text() const
{
    return layout().text;
}

int NumberTyping::positionOf(const Caret& c) const
{
    const Layout l = layout();
    switch (c.region) {
    case Region::Sign:
        return 0;
    case Region::Int: {
        // Walk from the end of the integer part over k digits.
        int pos = l.intEnd, digits = 0;
        while (digits < c.k && pos > l.intStart) {
            --pos;
            if (l.text.at(pos).isDigit())
                ++digits;
        }
        return pos;
    }
    case Region::Dec:
        return l.decStart + qBound(0, c.k, int(m_dec.size()));
    case Region::Exp:
        return l.expStart + qBound(0, c.k, int(m_exp.size()));
    }
    return 0;
}

NumberTyping::Caret NumberTyping::caretAt(int p) const
{
    const Layout l = layout();
    if (p < l.intStart)
        return {Region::Sign, 0};
    if (p <= l.intEnd) {
        int digits = 0;
        for (int i = p; i < l.intEnd; ++i) {
            if (l.text.at(i).isDigit())
                ++digits;
        }
        return {Region::Int, digits};
    }
    if (m_hasExp && p > l.expMark)
        return {Region::Exp, qBound(0, p - l.expStart, int(m_exp.size()))};
    if (m_hasSep && p >= l.decStart)
        return {Region::Dec, qBound(0, p - l.decStart, int(m_dec.size()))};
    return {Region::Int, 0};
}

int NumberTyping::caret() const
{
    return positionOf(m_caret);
}

void NumberTyping::setCaret(int position)
{
    m_caret = caretAt(position);
    m_selStart = m_selLength = 0;
}

void NumberTyping::setSelection(int start, int length)
{
    if (length < 0) {
        start += length;
        length = -length;
    }
    m_caret = caretAt(start);
    m_selStart = start;
    m_selLength = length;
}

int NumberTyping::significantDigits() const
{
    const QString i = stripLeadingZeros(m_int);
    return (i == QLatin1String("0") ? 0 : int(i.size())) + int(m_dec.size());
}

bool NumberTyping::fits() const
{
    if (significantDigits() > MaxSignificantDigits)
        return false;
    if (m_s.maxLength > 0 && text().size() > m_s.maxLength)
        return false;
    if (m_hasExp && m_exp.toInt() > MaxExponent)
        return false;
    return true;
}

void NumberTyping::normalize()
{
    if (m_int.isEmpty())
        m_int = QStringLiteral("0");
    m_caret.k = qBound(0, m_caret.k, int(m_caret.region == Region::Int ? m_int.size()
                                          : m_caret.region == Region::Dec ? m_dec.size()
                                                                          : m_exp.size()));
}

void NumberTyping::removeSelection()
{
    if (m_selLength <= 0)
        return;
    const Layout l = layout();
    const int start = m_selStart, end = qMin(int(l.text.size()), m_selStart + m_selLength);
    m_selStart = m_selLength = 0;
    if (start <= 0 && end >= l.text.size()) {  // everything: a new number
        const bool keepSep = m_hasSep && fixedDecimals();
        m_neg = false;
        m_int = QStringLiteral("0");
        m_dec = fixedDecimals() ? QString(m_s.decimals, QLatin1Char('0')) : QString();
        m_hasSep = keepSep;
        m_hasExp = false;
        m_exp.clear();
        m_expNeg = false;
        m_caret = {Region::Int, 0};
        return;
    }
    Caret caret = caretAt(start);
    int removedInt = 0;
    QString newInt, newDec, newExp;
    for (int i = l.intStart; i < l.intEnd; ++i) {
        const QChar c = l.text.at(i);
        if (!c.isDigit())
            continue;
        if (i >= start && i < end)
            ++removedInt;
        else
            newInt += c;
    }
    for (int i = l.decStart; i < l.decEnd; ++i) {
        if (!(i >= start && i < end))
            newDec += l.text.at(i);
    }
    if (fixedDecimals())
        newDec = newDec.leftJustified(int(m_dec.size()), QLatin1Char('0'));
    for (int i = l.expStart; i < l.expEnd; ++i) {
        if (!(i >= start && i < end))
            newExp += l.text.at(i);
    }
    m_int = newInt;
    m_dec = newDec;
    m_exp = newExp;
    if (caret.region == Region::Int)
        caret.k = qMax(0, caret.k - removedInt);
    m_caret = caret;
    normalize();
}

bool NumberTyping::type(QChar c)
{
    const NumberTyping before = *this;
    auto refuse = [&] {
        *this = before;
        return false;
    };
    if (c.isDigit()) {
        removeSelection();
        switch (m_caret.region) {
        case Region::Sign:
            m_caret = {Region::Int, int(m_int.size())};
            [[fallthrough]];
        case Region::Int:
            if (m_int == QLatin1String("0")) {
                m_int = QString(c);
                m_caret.k = 0;
            } else {
                m_int.insert(int(m_int.size()) - m_caret.k, c);
            }
            break;
        case Region::Dec:
            if (fixedDecimals()) {
                if (m_caret.k >= m_dec.size())
                    return refuse();  // beyond the last decimal place
                m_dec[m_caret.k] = c;
            } else {
                m_dec.insert(m_caret.k, c);
            }
            ++m_caret.k;
            break;
        case Region::Exp:
            m_exp.insert(m_caret.k, c);
            ++m_caret.k;
            break;
        }
        return fits() ? true : refuse();
    }
    if (c == m_s.decimalPoint) {
        if (m_hasExp && m_caret.region == Region::Exp)
            return refuse();
        if (m_hasSep) {
            m_selStart = m_selLength = 0;
            m_caret = {Region::Dec, 0};
            return true;
        }
        if (m_s.decimals == 0)
            return refuse();
        removeSelection();
        m_hasSep = true;
        m_caret = {Region::Dec, 0};
        return true;
    }
    if (c == QLatin1Char('-')) {
        if (m_caret.region == Region::Exp)
            m_expNeg = !m_expNeg;
        else
            m_neg = !m_neg;
        m_selStart = m_selLength = 0;
        return true;
    }
    if (c == QLatin1Char('E') || c == QLatin1Char('e')) {
        if (m_hasExp) {
            m_caret = {Region::Exp, int(m_exp.size())};
            return true;
        }
        removeSelection();
        m_hasExp = true;
        m_exp.clear();
        m_caret = {Region::Exp, 0};
        return fits() ? true : refuse();
    }
    return false;
}

bool NumberTyping::backspace()
{
    if (m_selLength > 0) {
        removeSelection();
        return true;
    }
    switch (m_caret.region) {
    case Region::Sign:
        return false;
    case Region::Int:
        if (m_caret.k >= m_int.size() || m_int == QLatin1String("0"))
            return false;  // the sign stays; a lone 0 stays
        m_int.remove(int(m_int.size()) - m_caret.k - 1, 1);
        normalize();
        return true;
    case Region::Dec:
        if (m_caret.k == 0) {  // over the separator
            m_caret = {Region::Int, 0};
            return true;
        }
        m_dec.remove(m_caret.k - 1, 1);
        if (fixedDecimals())
            m_dec += QLatin1Char('0');
        --m_caret.k;
        return true;
    case Region::Exp:
        if (m_caret.k == 0) {
            if (!m_exp.isEmpty())
                return false;
            m_hasExp = false;
            m_expNeg = false;
            m_caret = m_hasSep ? Caret{Region::Dec, int(m_dec.size())} : Caret{Region::Int, 0};
            return true;
        }
        m_exp.remove(m_caret.k - 1, 1);
        --m_caret.k;
        return true;
    }
    return false;
}

bool NumberTyping::del()
{
    if (m_selLength > 0) {
        removeSelection();
        return true;
    }
    switch (m_caret.region) {
    case Region::Sign:
        m_caret = {Region::Int, int(m_int.size())};
        return del();
    case Region::Int:
        if (m_caret.k == 0) {
            if (m_hasSep) {
                m_caret = {Region::Dec, 0};
                return true;
            }
            return false;
        }
        m_int.remove(int(m_int.size()) - m_caret.k, 1);
        --m_caret.k;
        normalize();
        return true;
    case Region::Dec:
        if (m_caret.k >= m_dec.size())
            return false;
        m_dec.remove(m_caret.k, 1);
        if (fixedDecimals())
            m_dec += QLatin1Char('0');
        return true;
    case Region::Exp:
        if (m_caret.k >= m_exp.size())
            return false;
        m_exp.remove(m_caret.k, 1);
        return true;
    }
    return false;
}
