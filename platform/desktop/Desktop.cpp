#include "platform/desktop/Desktop.h"

#include "platform/desktop/ToolRun.h"

#include <QFileInfo>

namespace Desktop
{
namespace
{

struct SeamState {
    bool testMode = false;
    bool openResult = true;
    QStringList opened;
    QDate today;
};

SeamState& seam()
{
    static SeamState s;
    return s;
}

const char* const OpenProgram = "xdg-open";
const char* const NoProgram = "no program is set up to open it";

// What xdg-open's exit codes mean, for when it says nothing itself.
QString exitMeaning(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("the file does not exist");
    case 3:
        return QLatin1String(NoProgram);
    case 4:
        return QStringLiteral("the program set up to open it failed");
    default:
        return QStringLiteral("%1 ended with code %2").arg(QLatin1String(OpenProgram)).arg(code);
    }
}

// Why a run did not open the file, as a clause.
QString failureReason(const ToolRun::Outcome& run)
{
    QString why = run.failure.isEmpty() ? exitMeaning(run.exitCode) : run.failure;
    if (why.endsWith(QLatin1Char('.')))
        why.chop(1);
    // Its fallbacks may have had their say before; its own conclusion is the last line.
    const QString said = run.said.section(QLatin1Char('\n'), -1).trimmed();
    if (!said.isEmpty())
        why += QStringLiteral(" (") + said + QLatin1Char(')');
    return why;
}

} // namespace

bool openFile(const QString& path, QString* reason, std::function<void(const QString& reason)> lateFailure)
{
    QString why;
    bool ok = false;
    if (seam().testMode) {
        seam().opened.append(path);
        ok = seam().openResult;
        if (!ok)
            why = QLatin1String(NoProgram);
    } else {
        ToolRun::LateFailure late;
        if (lateFailure)
            late = [lateFailure](const ToolRun::Outcome& run) { lateFailure(failureReason(run)); };
        const ToolRun::Outcome run =
            ToolRun::run(QLatin1String(OpenProgram), {QFileInfo(path).absoluteFilePath()}, std::move(late));
        ok = run.ok;
        if (!ok)
            why = failureReason(run);
    }
    if (reason)
        *reason = why;
    return ok;
}

QDate today()
{
    return seam().today.isValid() ? seam().today : QDate::currentDate();
}

void setTestMode(bool on)
{
    seam() = SeamState();
    seam().testMode = on;
}

void setOpenResult(bool ok)
{
    seam().openResult = ok;
}
QStringList openedFiles()
{
    return seam().opened;
}
void setToday(const QDate& date)
{
    seam().today = date;
}

} // namespace Desktop
