#pragma once

#include "shell/gblGlobal.h"

#include "surveys/export/SurveyExportContext.h"

#include <QDate>
#include <QString>

class QVariant;
class Workbook;
class Worksheet;

// The survey workbook export that both survey windows run: the previous answers refilled into
// reportlinktable, the workbook filled from the template (or refilled in place), its name chosen and
// logged. The windows' Export buttons come down to cmdExport_Click.
class SurveyExport
{
public:
    static constexpr const char* kTitle = kMessageTitle;
    static constexpr const char* kTemplateName = "template.xlsx";
    static constexpr const char* kExtension = ".xlsx";

    explicit SurveyExport(SurveyExportContext& context);

    // The Export button: with at least one question in the grid (more than 2 grid rows), the status text
    // "Record Exporting......" and the export; then "" again.
    void cmdExport_Click(int gridRows);
    // The whole export. True when the workbook was saved and logged.
    bool toWriteToExcelSheet();

    // Refills reportlinktable with the survey's questions, in the survey's order, and the respondent's
    // latest earlier score and weightage of each. False (errors shown) when the refill failed; the table
    // is then left empty rather than holding another survey's questions.
    bool toGetTheLastScoreAndWeightage();

    // Naming and the log. Each shows the connection's errors itself and then returns its empty value.
    QString toGetLogFileName();
    bool toCheckFileExists(const QString& name) const;
    QString toGetSystemFileName();
    void toResetLogStatus(const QString& respid);
    void toSaveLogDetails(const QString& custname, const QString& respname, const QString& xlsfilename,
                          const QDate& sdate);
    static bool toCheckDuplicateFileName(const QString& name);

    // The look-ups behind them ("" when there is none); they throw ProviderError.
    QString customerId() const;
    QString respondentId() const;
    QString surveyId() const;

    // Names a survey workbook must never take: the template's, the database's, a path.
    static bool isReservedName(const QString& name);

private:
    struct Naming {
        bool existing = false; // the logged workbook lies in the program's folder and is refilled in place
    };

    Naming chooseFileName();
    bool askOverwrite() const;
    bool chooseUserFileName();
    bool fill(Workbook& book, Worksheet& sheet, const Naming& naming, const QString& custid, const QString& respid);
    void writeHeader(Worksheet& sheet, const QString& custid, const QString& respid, const QString& surveyid) const;
    void writeQuestions(Worksheet& sheet, const QString& custid, const QString& respid) const;
    void saveLog(const QString& respid);
    void resetLogStatus(const QString& respid);
    void writeLogRow(const QString& custname, const QString& respname, const QString& xlsfilename, const QDate& sdate);
    void failed(const QString& reason) const;

    QString surveyId(const QDate& date, const QString& customer) const;
    QString logFileName() const;
    QString systemFileName() const;
    bool loggedForAnotherSurvey(const QString& name) const;
    QString uniqueSystemName(const QString& name) const;

    SurveyExportContext& m_context;
};
