#include "analysis/frmDateToDate.h"

#include "analysis/ReportWindows.h"
#include "platform/lists/ChoiceList.h"
#include "platform/report/ValueFormat.h"
#include "shell/Db.h"
#include "shell/HelpTopics.h"
#include "shell/ProviderError.h"
#include "shell/WindowRegistry.h"
#include "shell/gblGlobal.h"
#include "surveys/MakeControl.h"
#include "surveys/SurveyLists.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

frmDateToDate::frmDateToDate(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDateToDate"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Survey Response"));
    setFixedSize(456, 318);

    Label1 = makeControl<QLabel>(this, "Label1", QRect(20, 16, 290, 20));
    Label1->setText(QStringLiteral("Select Customer"));
    cmbCustomer = makeControl<QComboBox>(this, "cmbCustomer", QRect(20, 38, 290, 26));
    Label2 = makeControl<QLabel>(this, "Label2", QRect(20, 76, 290, 20));
    Label2->setText(QStringLiteral("Select Survey Date "));
    lstSurveyDate = makeControl<ChoiceList>(this, "lstSurveyDate", QRect(20, 98, 290, 200));

    int y = 38;
    for (auto [member, name, caption] :
         {std::tuple{&cmdPrint, "cmdPrint", "&Report"}, std::tuple{&cmdHelp, "cmdHelp", "&Help"},
          std::tuple{&cmdClose, "cmdClose", "&Close"}}) {
        *member = makeControl<QPushButton>(this, name, QRect(330, y, 106, 30));
        (*member)->setText(QLatin1String(caption));
        y += 40;
    }

    connect(cmbCustomer, &QComboBox::currentIndexChanged, this, &frmDateToDate::cmbCustomer_Click);
    connect(cmdPrint, &QPushButton::clicked, this, &frmDateToDate::cmdPrint_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmDateToDate::cmdHelp_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmDateToDate::cmdClose_Click);
}

void frmDateToDate::Form_Load()
{
    toCenterForm(this);
    toFillCustomerList();
    if (cmbCustomer->count() > 0)
        cmbCustomer->setCurrentIndex(0);
    if (lstSurveyDate->count() > 0)
        lstSurveyDate->setCurrentRow(0);
}

void frmDateToDate::toFillCustomerList()
{
    ReportWindows::toFillCustomerList(cmbCustomer);
}

void frmDateToDate::cmbCustomer_Click()
{
    if (cmbCustomer->currentIndex() < 0)
        return;
    toFillSurveyDates();
    if (lstSurveyDate->count() > 0 && lstSurveyDate->selectedItems().isEmpty())
        lstSurveyDate->setCurrentRow(0);
}

void frmDateToDate::toFillSurveyDates()
{
    try {
        toTestConnection();
        const int custid = toGetCustomerID(SurveyLists::chosenText(cmbCustomer));
        QSqlQuery q =
            Db::exec(QStringLiteral("select distinct sdate from survey where custid=? order by sdate asc"), {custid});
        lstSurveyDate->clear();
        while (q.next())
            SurveyLists::addDate(lstSurveyDate, ValueFormat::toDate(q.value(0)));
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
    }
}

void frmDateToDate::cmdPrint_Click()
{
    ReportWindows::generating(cmbCustomer, [this] { toFillReporttable(); });
}

void frmDateToDate::toFillReporttable()
{
    try {
        toTestConnection();
        Db::exec(QStringLiteral("delete from report"));
        const QString customer = SurveyLists::chosenText(cmbCustomer);
        const QDate date = SurveyLists::selectedDate(lstSurveyDate);
        // Without a survey date there is nothing to report, and nothing is printed.
        if (!date.isValid())
            return;
        // Blank entries (a 0) are left out; answers of one parameter keep the order they were stored in.
        Db::exec(QStringLiteral("insert into report (responname, question, Parameter, sc, wt, Type) "
                                "select respondentname, question, parametername, score, weightage, 1 from objquery "
                                "where custname=? and surveydate=? and weightage<>0 and score<>0 "
                                "order by parametername, feedbackobjid"),
                 {customer, date});
        Db::exec(QStringLiteral("insert into report (responname, question, Type, wt, Parameter, Reply) "
                                "select respondentname, question, 0, weightage, parametername, Description "
                                "from descquery where custname=? and surveydate=? and weightage<>0 "
                                "order by parametername, feedbackdescid"),
                 {customer, date});
    } catch (const ProviderError& e) {
        toShowConnectionErrors(e);
        return;
    }
    ReportWindows::printReport(QStringLiteral("surveyresponse.rpt"), QStringLiteral("Survey Report"));
}

void frmDateToDate::cmdHelp_Click()
{
    HelpTopics::showTopic(this, HelpTopics::frmDateToDate);
}

void frmDateToDate::cmdClose_Click()
{
    WindowRegistry::unloadWindow(this);
}
