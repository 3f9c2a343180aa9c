#include "platform/mail/MailClient.h"

#include "platform/desktop/ToolRun.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace MailClient
{
namespace
{

const char* const HandOverProgram = "xdg-email";
const char* const HandlerQueryProgram = "xdg-mime";

// What xdg-email's exit codes mean, for when it says nothing itself.
QString exitMeaning(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("the mail program was given arguments it does not accept");
    case 2:
        return QStringLiteral("the attachment does not exist");
    case 3:
        return QStringLiteral("no mail program could be found");
    case 4:
        return QStringLiteral("the mail program could not be started");
    case 5:
        return QStringLiteral("the attachment cannot be read");
    default:
        return QStringLiteral("the mail program ended with code %1").arg(code);
    }
}

bool handlerConfigured(QString* reason)
{
    if (!qEnvironmentVariable("MAILER").isEmpty())
        return true;
    const QString query = QStandardPaths::findExecutable(QLatin1String(HandlerQueryProgram));
    if (query.isEmpty()) {
        *reason = QStringLiteral("%1 was not found on the PATH.").arg(QLatin1String(HandlerQueryProgram));
        return false;
    }
    QProcess process;
    process.start(query,
                  {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/mailto")});
    if (!process.waitForFinished(5000)) {
        *reason = QStringLiteral("The desktop's mail program could not be looked up: %1").arg(process.errorString());
        process.kill();
        process.waitForFinished(1000);
        return false;
    }
    if (QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed().isEmpty()) {
        *reason = QStringLiteral("The desktop names no program for e-mail (mailto:) links.");
        return false;
    }
    return true;
}

// Why a hand-over failed; when it ran, the text names the recipient, so that one of several messages is known.
QString failureText(const ToolRun::Outcome& run, const QString& recipient)
{
    if (!run.failure.isEmpty())
        return run.failure;
    const QString message =
        recipient.isEmpty() ? QStringLiteral("The message") : QStringLiteral("The message to %1").arg(recipient);
    QString why =
        QStringLiteral("%1 could not be handed to the mail program: %2.").arg(message, exitMeaning(run.exitCode));
    if (!run.said.isEmpty())
        why += QLatin1Char('\n') + run.said;
    return why;
}

} // namespace

bool isAvailable(QString* reason)
{
    QString why;
    bool ok = false;
    if (QStandardPaths::findExecutable(QLatin1String(HandOverProgram)).isEmpty())
        why = QStringLiteral("%1 was not found on the PATH.").arg(QLatin1String(HandOverProgram));
    else
        ok = handlerConfigured(&why);
    if (reason)
        *reason = why;
    return ok;
}

bool isPlainAddress(const QString& recipient)
{
    static const QString refused = QStringLiteral(",;'\"`<>\\%\u2018\u2019\u201c\u201d");
    if (recipient.isEmpty())
        return false;
    for (const QChar c : recipient) {
        const QChar::Category category = c.category();
        if (c.isSpace() || category == QChar::Other_Control || category == QChar::Other_Format || refused.contains(c))
            return false;
    }
    return true;
}

QStringList arguments(const MailMessage& message)
{
    // Every value goes in after its option, so that no value (a recipient starting with "-", say) is read as an
    // option of its own; xdg-email refuses an option with an empty value, so those are left out.
    QStringList args{QStringLiteral("--utf8")};
    if (!message.subject.isEmpty())
        args << QStringLiteral("--subject") << message.subject;
    if (!message.body.isEmpty())
        args << QStringLiteral("--body") << message.body;
    if (!message.attachment.isEmpty())
        args << QStringLiteral("--attach") << QFileInfo(message.attachment).absoluteFilePath();
    if (!message.recipient.isEmpty())
        args << QStringLiteral("--to") << message.recipient;
    return args;
}

bool compose(const MailMessage& message, QString* error, std::function<void(const QString& error)> lateFailure)
{
    ToolRun::LateFailure late;
    if (lateFailure)
        late = [lateFailure, recipient = message.recipient](const ToolRun::Outcome& run) {
            lateFailure(failureText(run, recipient));
        };
    const ToolRun::Outcome run = ToolRun::run(QLatin1String(HandOverProgram), arguments(message), std::move(late));
    if (error)
        *error = run.ok ? QString() : failureText(run, message.recipient);
    return run.ok;
}

} // namespace MailClient
