#include "platform/desktop/ToolRun.h"

#include <QEventLoop>
#include <QList>
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

struct Held {
    int holds = 0;
    QList<std::function<void()>> waiting;
};

Held& held()
{
    static Held h;
    return h;
}

void tellWaiting()
{
    // A message told here may let the program take a hold again; what is left then waits for its release.
    while (held().holds == 0 && !held().waiting.isEmpty())
        held().waiting.takeFirst()();
}

// How a process that has finished ended.
Outcome ended(QProcess& process, const QString& tool)
{
    Outcome outcome;
    outcome.said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() == QProcess::CrashExit) {
        outcome.failure = QStringLiteral("%1 stopped unexpectedly.").arg(tool);
    } else {
        outcome.exitCode = process.exitCode();
        outcome.ok = outcome.exitCode == 0;
    }
    return outcome;
}

} // namespace

Outcome run(const QString& tool, const QStringList& arguments, LateFailure lateFailure)
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
        // Still watched: a route it falls back on may fail long after the grace period. Left without a parent, so
        // that nothing kills it when this program ends; the object, which reaps it, goes when it ends.
        QObject::connect(process, &QProcess::finished, process, [process, tool, lateFailure] {
            const Outcome late = ended(*process, tool);
            process->deleteLater();
            if (late.ok || !lateFailure)
                return;
            if (held().holds > 0)
                held().waiting.append([lateFailure, late] { lateFailure(late); });
            else
                lateFailure(late);
        });
        outcome.ok = true;
        return outcome;
    }
    outcome = ended(*process, tool);
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

void holdLateFailures()
{
    ++held().holds;
}

void releaseLateFailures()
{
    if (held().holds == 0 || --held().holds > 0 || held().waiting.isEmpty())
        return;
    // Told once the work that released the last hold has returned to the event loop.
    QTimer::singleShot(0, [] { tellWaiting(); });
}

} // namespace ToolRun
