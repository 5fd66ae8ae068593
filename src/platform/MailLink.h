#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// A new message in the desktop's mail client, addressed to one contact: the
// compose window is shown to the user, nothing is sent from here.

// The mailto: link for `address` with `displayName` as the recipient's name.
// Every character that could end the address or start a header field of the
// link ("?", "&", "#", "%", ...) is percent-encoded and control characters are
// dropped, so whatever the field holds stays in the recipient. The name is
// given only for a single plain address; several addresses ("a@x.sk; b@y.sk")
// go as they are typed. Empty for a blank address.
QUrl MailtoUrl(const QString& address, const QString& displayName);

// Hands the link to the desktop (QDesktopServices). Nothing happens for a
// blank address; the outcome is not reported.
void ComposeMail(const QString& address, const QString& displayName);

// Tests replace what opens the link to see it. An empty function restores the
// desktop; the previous opener is returned.
using MailOpener = std::function<void(const QUrl& url)>;
MailOpener setMailOpener(MailOpener opener);
