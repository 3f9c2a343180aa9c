#include "platform/mail/MailClient.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace MailClient
{
namespace
{

int& grace()
{
    static int milliseconds = 3000;
    return milliseconds;
}

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

QString failureOf(QProcess& process)
{
    if (process.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("%1 stopped unexpectedly.").arg(QLatin1String(HandOverProgram));
    const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    QString reason =
        QStringLiteral("The message could not be handed to the mail program: %1.").arg(exitMeaning(process.exitCode()));
    if (!said.isEmpty())
        reason += QLatin1Char('\n') + said;
    return reason;
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

bool compose(const MailMessage& message, QString* error)
{
    QString why;
    const QString program = QStandardPaths::findExecutable(QLatin1String(HandOverProgram));
    if (program.isEmpty()) {
        why = QStringLiteral("%1 was not found on the PATH.").arg(QLatin1String(HandOverProgram));
        if (error)
            *error = why;
        return false;
    }

    // Owned by the application: when xdg-email stays with the client it started, it outlives this call.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(program, arguments(message));
    if (!process->waitForStarted(5000)) {
        why = QStringLiteral("%1 could not be started: %2").arg(QLatin1String(HandOverProgram), process->errorString());
        delete process;
        if (error)
            *error = why;
        return false;
    }

    if (process->state() != QProcess::NotRunning) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
        timer.start(grace());
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }

    if (process->state() != QProcess::NotRunning) {
        // The client is up with its compose window; the process object goes when it ends.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return true;
    }
    const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    if (!ok)
        why = failureOf(*process);
    process->deleteLater();
    if (error)
        *error = why;
    return ok;
}

void setGracePeriod(int milliseconds)
{
    grace() = milliseconds;
}

int gracePeriod()
{
    return grace();
}

} // namespace MailClient
