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
