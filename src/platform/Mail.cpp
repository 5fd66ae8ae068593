#include "platform/Mail.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

MailSender& customSender()
{
    static MailSender s;
    return s;
}

bool sendThroughXdgEmail(const MailMessage& m)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (program.isEmpty())
        return false;
    QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), m.subject, QStringLiteral("--body"), m.body};
    if (!m.attachment.isEmpty())
        args << QStringLiteral("--attach") << m.attachment;
    args << (m.toName.isEmpty() ? m.toAddress : QStringLiteral("%1 <%2>").arg(m.toName, m.toAddress));
    QProcess p;
    p.start(program, args);
    // The client is started and handed the message; it is not waited for beyond that.
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(1000);
        return false;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
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

bool SendMail(const MailMessage& message)
{
    if (customSender())
        return customSender()(message);
    return sendThroughXdgEmail(message);
}

MailSender setMailSender(MailSender sender)
{
    MailSender previous = std::move(customSender());
    customSender() = std::move(sender);
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
