#include "analysis/frmDtoDActionPlan.h"

#include "analysis/ReportWindows.h"
#include "shell/HelpTopics.h"
#include "surveys/SurveyLists.h"

#include <QComboBox>
#include <QDateEdit>

namespace
{

// date(yyyy,mm,dd): the report language's own order, whatever the system's short date form is.
QString formulaDate(const QDate& date)
{
    return QStringLiteral("date(%1,%2,%3)")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

} // namespace

frmDtoDActionPlan::frmDtoDActionPlan(QWidget* parent)
    : CustomerRangeWindow("frmDtoDActionPlan", QStringLiteral("Status Report on Improvement Plan"),
                          HelpTopics::frmDtoDActionPlan, parent)
{
}

QString frmDtoDActionPlan::selectionFormula() const
{
    return QStringLiteral("{action.custname}=") + ReportWindows::formulaText(SurveyLists::chosenText(cmbCustomer)) +
           QStringLiteral(" and {action.date}>=") + formulaDate(dtFrom->date()) +
           QStringLiteral("and {action.date}<=") + formulaDate(dtTo->date());
}

void frmDtoDActionPlan::cmdPrint_Click()
{
    // Nothing to fill: the report reads the actions straight from the database file.
    ReportWindows::generating(cmbCustomer, [this] {
        ReportWindows::printReport(QStringLiteral("actionplan.rpt"), QStringLiteral("Analysis on Improvement Plan"),
                                   selectionFormula());
    });
}
