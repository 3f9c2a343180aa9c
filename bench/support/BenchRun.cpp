#include "BenchRun.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "platform/report/ReportControl.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace
{

// The platform must be chosen before the application is made.
int& choosePlatform(int& argc, bool offscreen)
{
    if (offscreen && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

} // namespace

BenchApp::BenchApp(int& argc, char** argv, bool offscreen) : QApplication(choosePlatform(argc, offscreen), argv)
{
    MsgBox::setTestMode(true);
    Desktop::setTestMode(true);
    ReportControl::setTestMode(true);
}

double timeMs(const std::function<void()>& step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    QCoreApplication::processEvents();
    return timer.nsecsElapsed() / 1e6;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

void printTimes(const char* what, const QList<double>& ms)
{
    std::printf("%-40s median %8.1f ms   max %8.1f ms   (%lld runs)\n", what, median(ms),
                ms.isEmpty() ? 0 : *std::max_element(ms.begin(), ms.end()), static_cast<long long>(ms.size()));
}

double medianOfRuns(const char* label, int runs, const std::function<void()>& step)
{
    QList<double> times;
    for (int i = 0; i < runs; ++i) {
        times << timeMs(step);
        std::printf("%s %d: %.1f ms\n", label, i + 1, times.last());
    }
    return median(times);
}

QByteArray python(const QString& script, const QStringList& arguments)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        std::fprintf(stderr, "%s\n", p.readAllStandardError().constData());
        return QByteArray();
    }
    return p.readAllStandardOutput().trimmed();
}

void saveShot(QWidget* widget, const QString& path)
{
    for (int i = 0; i < 10; ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(30);
    }
    if (!widget->grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
}
