#include "platform/MailLink.h"

#include <QDesktopServices>

namespace {

MailOpener& opener()
{
    static MailOpener o;
    return o;
}

QString withoutControlCharacters(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c.category() != QChar::Other_Control && c != QChar::LineSeparator && c != QChar::ParagraphSeparator)
            out += c;
    return out;
}

// One address with nothing that would need quoting in a recipient.
bool isSinglePlainAddress(const QString& address)
{
    static const QString separators = QStringLiteral(",;<>\"()[]\\ \t");
    for (QChar c : address)
        if (separators.contains(c))
            return false;
    return address.count(QLatin1Char('@')) == 1;
}

}  // namespace

QUrl MailtoUrl(const QString& address, const QString& displayName)
{
    const QString to = withoutControlCharacters(address).trimmed();
    if (to.isEmpty())
        return {};
    QString recipient = to;
    const QString name = withoutControlCharacters(displayName).trimmed();
    if (!name.isEmpty() && isSinglePlainAddress(to)) {
        QString quoted = name;
        quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        quoted.replace(QLatin1Char('"'), QStringLiteral("\\\""));
        recipient = QLatin1Char('"') + quoted + QStringLiteral("\" <") + to + QLatin1Char('>');
    }
    // Only letters, digits, "-._~" and "@" stay as they are: no "?" or "&"
    // typed into the field can become a header of the link.
    const QByteArray encoded = recipient.toUtf8().toPercentEncoding(QByteArrayLiteral("@"));
    return QUrl(QStringLiteral("mailto:") + QString::fromLatin1(encoded), QUrl::StrictMode);
}

void ComposeMail(const QString& address, const QString& displayName)
{
    const QUrl url = MailtoUrl(address, displayName);
    if (url.isEmpty())
        return;
    if (opener()) {
        opener()(url);
        return;
    }
    QDesktopServices::openUrl(url);
}

MailOpener setMailOpener(MailOpener o)
{
    MailOpener previous = std::move(opener());
    opener() = std::move(o);
    return previous;
}
