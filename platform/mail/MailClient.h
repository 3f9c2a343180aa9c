#pragma once

#include "platform/mail/MailMessage.h"

#include <QString>
#include <QStringList>

#include <functional>

// The desktop's mail client, reached through xdg-email: the client's compose window opens with the recipient,
// subject, body and attachment filled in, and the user reviews and sends the message there.
namespace MailClient
{

// True when a mail client can take a message: xdg-email is on the PATH and the desktop names a mail program
// (the MAILER variable, or a default application for mailto: links). Otherwise false with the reason.
bool isAvailable(QString* reason = nullptr);

// Hands one message to the client. Waits (the windows keep painting, but take no input) until xdg-email has
// finished, or for the grace period when it stays with a client it started: that client then keeps running,
// its compose window open, and the call returns. False with the reason when the hand-over failed. When xdg-email is
// still running after the grace period and fails later, lateFailure is called then with the reason, in the same
// form; the reason names the recipient.
bool compose(const MailMessage& message, QString* error, std::function<void(const QString& error)> lateFailure = {});

// True when the text is one plain address that can be handed over as it is: not empty, and without blanks,
// commas, semicolons, quotes, angle brackets, backslashes, percent signs or control characters. Those would make
// several recipients of it, or let it reach past its own field when a client's route decodes it into a compose
// string (some decode percent escapes a second time).
bool isPlainAddress(const QString& recipient);

// The command-line arguments of a hand-over, without the program.
QStringList arguments(const MailMessage& message);

} // namespace MailClient
