#pragma once

#include <QChar>
#include <QString>

// The typing model of TPBNumEdit, apart from the
// widget: a number kept as sign, integer digits, decimal digits and an
// optional exponent, rendered with the locale's separators, and a caret that
// keys move. Fixed decimals are overwritten in place; the separator key jumps
// after the separator; "-" toggles the sign; Backspace and Delete keep the
// format; at most 15 significant digits.
class NumberTyping {
public:
    enum class Format { Standard, Thousands, Scientific, Engineering };

    struct Settings {
        int decimals = -1;         // 0..14 fixed; negative = as many as needed
        QChar decimalPoint = QLatin1Char(',');
        QChar groupSeparator = QChar(0x00A0);
        Format format = Format::Standard;
        int maxLength = 0;         // 0 = no limit
    };

    static constexpr int MaxSignificantDigits = 15;
    static constexpr int MaxExponent = 4932;

    NumberTyping() = default;
    explicit NumberTyping(const Settings& settings) { setSettings(settings); }

    const Settings& settings() const { return m_s; }
    void setSettings(const Settings& settings);  // re-renders the value

    void setValue(long double value);
    long double value() const;
    // Reads a text (pasted or set from outside) with the settings' separators;
    // anything unreadable becomes 0.
    void setText(const QString& text);

    QString text() const;
    int caret() const;
    void setCaret(int position);
    // A selection of the rendered text; typing or deleting replaces it.
    void setSelection(int start, int length);
    int selectionStart() const { return m_selStart; }
    int selectionLength() const { return m_selLength; }

    // One typed character (a digit, "-", "E"/"e", the decimal separator).
    // False = refused (the widget beeps); the number is unchanged then.
    bool type(QChar c);
    bool backspace();
    bool del();

    // The text of a value with the settings (no caret involved).
    static QString format(long double value, const Settings& settings);

private:
    enum class Region { Sign, Int, Dec, Exp };
    struct Caret {
        Region region = Region::Int;
        int k = 0;  // Int: digits to the right of the caret; Dec/Exp: digits to the left
    };
    struct Layout {
        QString text;
        int intStart = 0, intEnd = 0;  // text positions of the integer part (with grouping)
        int sepPos = -1;               // position of the decimal separator or -1
        int decStart = 0, decEnd = 0;
        int expMark = -1;              // position of "E" or -1
        int expStart = 0, expEnd = 0;
    };

    Layout layout() const;
    Caret caretAt(int position) const;
    int positionOf(const Caret& caret) const;
    int significantDigits() const;
    bool fixedDecimals() const { return m_s.decimals >= 0; }
    void removeSelection();
    void normalize();
    bool fits() const;

    Settings m_s;
    bool m_neg = false;
    QString m_int = QStringLiteral("0");
    bool m_hasSep = false;
    QString m_dec;
    bool m_hasExp = false;
    bool m_expNeg = false;
    QString m_exp;
    Caret m_caret;
    int m_selStart = 0;
    int m_selLength = 0;
};
