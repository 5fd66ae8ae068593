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
    // xdg-email may stay until the mail client's compose window closes: it
    // runs on its own, the window that asked goes on at once.
    return QProcess::startDetached(program, args);
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
    return previous;
}
