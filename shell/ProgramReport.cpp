#include "shell/ProgramReport.h"

#include "platform/report/ReportControl.h"
#include "shell/gblGlobal.h"

bool runProgramReport(ReportControl* control, const QString& reportFileName, const QString& windowTitle,
                      const QString& selectionFormula)
{
    control->setPassword(QLatin1Char('\n') + QLatin1String(kDatabasePassword));
    control->setDataFile(0, gDatabasePath);
    control->setReportFileName(programFile(reportFileName));
    control->setFormula(0, QStringLiteral("CompanyName='") + gCompanyName + QLatin1Char('\''));
    if (!selectionFormula.isEmpty())
        control->setSelectionFormula(selectionFormula);
    control->setWindowTitle(windowTitle);
    control->setWindowState(ReportControl::Maximized);
    const bool shown = control->setAction(1);
    control->setSelectionFormula(QString());
    return shown;
}
