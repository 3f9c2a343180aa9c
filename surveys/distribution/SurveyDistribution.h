#pragma once

#include "surveys/export/SurveyExportContext.h"

#include <QString>

class SurveyEditor;

// What the Report and E-mail buttons of both survey windows do with the survey on show: print it with the
// respondent's previous answers, or export it as a workbook and mail that to the respondent.
class SurveyDistribution
{
public:
    static constexpr const char* kNewSurveyReportTitle = "Quorvane v2.1 Survey Report";
    static constexpr const char* kExistingSurveyReportTitle = "Pellorin Survey Report";

    // The Report button: with at least one question, reportlinktable refilled for the survey and
    // "rptrating.rpt" run for this respondent, customer and date under the given window title.
    static void cmdPrint_Click(SurveyEditor& window, const QString& reportTitle);
    // The selection of the survey report: one respondent, customer and survey date.
    static QString selectionFormula(const QString& respondent, const QString& customer, const QDate& date);

    // The E-mail button: with at least one question, the export in mail mode, which ends in sendmail.
    static void cmdmail_Click(SurveyEditor& window);
    // Mails the workbook just exported (a file of the program's folder) to the survey's respondent, with the
    // customer's standard message. False when nothing was handed to the mail client; the user has been told why.
    static bool sendmail(const SurveyExportContext& survey, const QString& fileName);

    // The export's view of the window's survey and state.
    static SurveyExportContext exportContext(const SurveyEditor& window);
};
