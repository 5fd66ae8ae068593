#pragma once

#include <QString>

#include <functional>

// One message to one recipient with one attachment, handed to the desktop's
// mail client (xdg-email). The desktop has no interface that sends without a
// compose window: the client opens its compose window filled in, and the user
// presses Send there.
struct MailMessage {
    QString toAddress;
    QString toName;
    QString subject;
    QString body;
    QString attachment;  // a file path; empty: none
};

// True when the mail client was started with the message; it runs on its own
// (nothing waits for it), so the attachment must stay where it is until the
// user has sent the message.
bool SendMail(const MailMessage& message);

// Tests replace the mail client. An empty function restores the real one; the
// previous sender is returned.
using MailSender = std::function<bool(const MailMessage& message)>;
MailSender setMailSender(MailSender sender);
