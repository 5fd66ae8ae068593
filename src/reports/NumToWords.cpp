#include "reports/NumToWords.h"

#include <array>

namespace {

// Index 0 is never written.
const std::array<const char*, 20> kUnits = {
    "",         "jeden",    "dva",       "tri",       "štyri",     "päť",        "šesť",
    "sedem",    "osem",     "deväť",     "desať",     "jedenásť",  "dvanásť",    "trinásť",
    "štrnásť",  "pätnásť",  "šesťnásť",  "sedemnásť", "osemnásť",  "deväťnásť",
};

const std::array<const char*, 10> kTens = {
    "", "", "dvadsať", "tridsať", "štyridsať", "päťdesiat", "šesťdesiat", "sedemdesiat", "osemdesiat", "deväťdesiat",
};

QString units(qint64 i)
{
    return QString::fromUtf8(kUnits[size_t(i)]);
}

QString tens(qint64 i)
{
    return QString::fromUtf8(kTens[size_t(i)]);
}

// The words of one magnitude: "jeden", "dva", "tri" and "štyri" of it when it
// stands alone, the plural form after hundreds or tens or from five on.
struct Magnitude {
    qint64 value;
    std::array<const char*, 5> alone;  // 1 to 4 (index 0 unused)
    const char* plural;
};

// "jedno" opens a leading hundred only: once anything has been written, a
// hundred is just "sto" (1100 is "jedentisícsto", 100 "jednosto").
void hundreds(QString& out, qint64& n, qint64 divisor, bool& written)
{
    const qint64 h = n / divisor;
    if (h <= 0)
        return;
    n %= divisor;
    if (h == 1) {
        if (!written)
            out += QStringLiteral("jedno");
    } else if (h == 2) {
        out += QStringLiteral("dve");
    } else {
        out += units(h);
    }
    out += QStringLiteral("sto");
    written = true;
}

// Hundreds, tens and units of millions or of thousands.
void magnitude(QString& out, qint64& n, const Magnitude& m, bool& written)
{
    const qint64 before = n;
    hundreds(out, n, 100 * m.value, written);
    const bool h = n != before;

    // Ten to nineteen stay in n and are spelled out as one word below.
    const qint64 t = n / (10 * m.value);
    if (t >= 2) {
        n %= 10 * m.value;
        out += tens(t);
        written = true;
    }

    const qint64 u = n / m.value;
    if (u > 0) {
        n %= m.value;
        if (h || t > 0 || u > 4)
            out += units(u) + QString::fromUtf8(m.plural);
        else
            out += QString::fromUtf8(m.alone[size_t(u)]);
        written = true;
    } else if (h || t > 0) {
        out += QString::fromUtf8(m.plural);
    }
}

}  // namespace

QString NumToWords(qint64 n)
{
    if (n > kNumToWordsLimit)
        return QStringLiteral("!!!!! veľké číslo !!!!!");
    QString out;
    if (n <= 0)
        return out;
    bool written = false;

    const qint64 billion = 1'000'000'000;
    const qint64 q = n / billion;
    if (q > 0) {
        n %= billion;
        static const std::array<const char*, 5> alone = {"", "jednamiliarda", "dvemiliardy", "trimiliardy",
                                                         "štyrimiliardy"};
        if (q <= 4)
            out += QString::fromUtf8(alone[size_t(q)]);
        else
            out += units(q) + QStringLiteral("miliárd");
        written = true;
    }

    magnitude(out, n, {1'000'000, {"", "jedenmilión", "dvamilióny", "trimilióny", "štyrimilióny"}, "miliónov"},
              written);
    magnitude(out, n, {1'000, {"", "jedentisíc", "dvetisíc", "tritisíc", "štyritisíc"}, "tisíc"}, written);

    hundreds(out, n, 100, written);
    const qint64 t = n / 10;
    if (t >= 2) {
        n %= 10;
        out += tens(t);
    }
    if (n > 0)
        out += units(n);
    return out;
}
