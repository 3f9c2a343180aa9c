#include "surveys/distribution/SurveyDistribution.h"

#include "platform/dialogs/MsgBox.h"
#include "platform/grid/FlexGrid.h"
#include "platform/mail/MailClient.h"
#include "platform/report/ReportControl.h"
#include "shell/ProgramReport.h"
#include "shell/Progress.h"
#include "shell/gblGlobal.h"
#include "surveys/SurveyEditor.h"
#include "surveys/SurveyStore.h"
#include "surveys/distribution/DistributionStore.h"
#include "surveys/export/SurveyExport.h"

namespace
{

QString title()
{
    return QLatin1String(DistributionStore::kTitle);
}

// The grid keeps one blank last row: a question is on it from three rows on.
bool hasQuestions(const SurveyEditor& window)
{
    return window.grdParamAndQuest->rows() >= 3;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

SurveyExportContext SurveyDistribution::exportContext(const SurveyEditor& window)
{
    SurveyExportContext context;
    context.customer = window.customerName();
    context.respondent = window.respondentName();
    context.respondentId = window.respondentId();
    context.surveyDate = window.surveyDate();
    context.userDefinedName = window.mUserDefinedName;
    context.mailMode = window.mMailMode;
    context.fileName = window.mFileName;
    return context;
}

QString SurveyDistribution::selectionFormula(const QString& respondent, const QString& customer, const QDate& date)
{
    // The names go in as they are stored: the report's grammar takes any apostrophe inside them.
    return QStringLiteral("{reportlinktable.respondentname} = ['") + respondent +
           QStringLiteral("'] and {reportlinktable.custname}=['") + customer +
           QStringLiteral("'] and {reportlinktable.sdate}=date(") + QString::number(date.year()) + QLatin1Char(',') +
           twoDigits(date.month()) + QLatin1Char(',') + twoDigits(date.day()) + QLatin1Char(')');
}

void SurveyDistribution::cmdPrint_Click(SurveyEditor& window, const QString& reportTitle)
{
    Progress::setBusy(true);
    if (!hasQuestions(window)) {
        MsgBox::show(QStringLiteral("No records selected to Print for Date - ") +
                         SurveyStore::dateText(window.surveyDate()) +
                         QStringLiteral(".....Kindly Add Question(s) and proceed"),
                     MsgBox::Information + MsgBox::RightAlign, title());
        Progress::setBusy(false);
        return;
    }
    Progress::setText(QStringLiteral("Generating Report...."));
    SurveyExportContext context = exportContext(window);
    // A failed refill has shown its errors; the report then shows what the table holds.
    SurveyExport(context).toGetTheLastScoreAndWeightage();

    ReportControl crptPrint(&window);
    runProgramReport(&crptPrint, QStringLiteral("rptrating.rpt"), reportTitle,
                     selectionFormula(context.respondent, context.customer, context.surveyDate));
    Progress::setText(QString());
    Progress::setBusy(false);
}

void SurveyDistribution::cmdmail_Click(SurveyEditor& window)
{
    Progress::setBusy(true);
    window.mMailMode = true;
    if (hasQuestions(window)) {
        Progress::setText(QStringLiteral("Record Exporting......"));
        SurveyExportContext context = exportContext(window);
        context.sendmail = [&context](const QString& fileName) { sendmail(context, fileName); };
        SurveyExport(context).toWriteToExcelSheet();
        window.mFileName = context.fileName;
    }
    window.mMailMode = false;
    Progress::setText(QString());
    Progress::setBusy(false);
}

bool SurveyDistribution::sendmail(const SurveyExportContext& survey, const QString& fileName)
{
    if (!MailClient::isAvailable()) {
        MsgBox::show(QLatin1String(DistributionStore::kNoMailClient), MsgBox::Critical, title());
        return false;
    }
    MailMessage message;
    message.subject = QLatin1String(DistributionStore::kSubject);
    message.body = DistributionStore::toGetStandardMessage(survey.customer);
    message.attachment = programFile(fileName);
    // Without an address the client's own dialog opens without a recipient, for the user to fill in.
    message.recipient =
        DistributionStore::toGetRespondentEmail(survey.respondent, survey.customer, survey.respondentId);
    if (!message.recipient.isEmpty() && !MailClient::isPlainAddress(message.recipient)) {
        MsgBox::show(QLatin1String(DistributionStore::kNotPlainAddress).arg(survey.respondent), MsgBox::Critical,
                     title());
        return false;
    }

    QString error;
    // A hand-over that fails after it was taken as done is reported as one that fails at once.
    if (!MailClient::compose(message, &error, [](const QString& late) { MsgBox::show(late); })) {
        MsgBox::show(error);
        return false;
    }
    return true;
}
