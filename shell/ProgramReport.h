#pragma once

#include <QString>

class ReportControl;

// Runs one of the program's reports through a report control: password, the database the shared connection has
// open, the report file in the program's folder, the company name, the selection (when given), the title,
// maximised, Action 1, and the selection cleared for the next run. A failure is shown by the control with its
// reason; false when nothing was shown.
bool runProgramReport(ReportControl* control, const QString& reportFileName, const QString& windowTitle,
                      const QString& selectionFormula = {});
