#include "platform/desktop/ToolRun.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace ToolRun
{
namespace
{

int& grace()
{
    static int milliseconds = 3000;
    return milliseconds;
}

} // namespace

Outcome run(const QString& tool, const QStringList& arguments)
{
    Outcome outcome;
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) {
        outcome.failure = QStringLiteral("%1 was not found on the PATH.").arg(tool);
        return outcome;
    }

    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) {
        outcome.failure = QStringLiteral("%1 could not be started: %2").arg(tool, process->errorString());
        delete process;
        return outcome;
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
        // Left without a parent, so that nothing kills it when this program ends; the object goes when it ends.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        outcome.ok = true;
        return outcome;
    }
    outcome.said = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
    if (process->exitStatus() == QProcess::CrashExit) {
        outcome.failure = QStringLiteral("%1 stopped unexpectedly.").arg(tool);
    } else {
        outcome.exitCode = process->exitCode();
        outcome.ok = outcome.exitCode == 0;
    }
    process->deleteLater();
    return outcome;
}

void setGracePeriod(int milliseconds)
{
    grace() = milliseconds;
}

int gracePeriod()
{
    return grace();
}

} // namespace ToolRun
