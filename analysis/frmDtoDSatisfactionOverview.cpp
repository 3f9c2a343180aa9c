#include "analysis/frmDtoDSatisfactionOverview.h"

#include "analysis/ReportWindows.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"
#include "surveys/SurveyLists.h"

#include <QComboBox>
#include <QDateEdit>

frmDtoDSatisfactionOverview::frmDtoDSatisfactionOverview(QWidget* parent)
    : CustomerRangeWindow("frmDtoDSatisfactionOverview", QStringLiteral("Satisfaction Overview"),
                          HelpTopics::frmDtoDSatisfactionOverview, parent)
{
}

void frmDtoDSatisfactionOverview::cmdPrint_Click()
{
    ReportWindows::generating(cmbCustomer, [this] { toFillReporttable(); });
}

void frmDtoDSatisfactionOverview::toFillReporttable()
{
    try {
        toTestConnection();
        Db::exec(QStringLiteral("delete from reporttable"));
        const QString customer = SurveyLists::chosenText(cmbCustomer);
        // Both end days belong to the range, whatever time of day a stored date carries. The day itself is compared,
        // never the day after To: after the picker's last day there is no date to compare with.
        const QDate from = dtFrom->date();
        const QDate to = dtTo->date();
        // A 0 (a blank entry) is reported as an empty field, and so is an answer stored without a score.
        Db::exec(QStringLiteral("insert into reporttable (responname, question, wt, Type, sdate, Parameter, tablename) "
                                "select respondentname, question, nullif(weightage, 0), Description, surveydate, "
                                "parametername, 'Survey Descriptive' from descquery "
                                "where custname=? and date(surveydate)>=? and date(surveydate)<=? "
                                "order by parametername, feedbackdescid"),
                 {customer, from, to});
        Db::exec(QStringLiteral("insert into reporttable (responname, question, wt, Type, sdate, Parameter, tablename) "
                                "select respondentname, question, nullif(weightage, 0), "
                                "nullif(cast(score as text), '0'), surveydate, parametername, 'Survey Objective' "
                                "from objquery where custname=? and date(surveydate)>=? and date(surveydate)<=? "
                                "order by parametername, feedbackobjid"),
                 {customer, from, to});
        Db::exec(QStringLiteral("insert into reporttable (question, sdate, tablename, Type) "
                                "select Action, \"Date\", 'Planned Actions', "
                                "case when Status then 'Completed' else 'Not Completed' end from \"action\" "
                                "where custname=? and date(\"Date\")>=? and date(\"Date\")<=?"),
                 {customer, from, to});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    ReportWindows::printReport(QStringLiteral("satisfaction.rpt"), QStringLiteral("Satisfaction Overview"));
}
