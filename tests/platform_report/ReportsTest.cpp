#include "ReportFixture.h"

#include <QRegularExpression>

// Each report as its window runs it, read back from the PDF by pdftotext.
class Reports : public ReportFixture
{
protected:
    void addCustomer(const QString& name)
    {
        exec(QStringLiteral("INSERT INTO customer (custname) VALUES (?)"), {name});
    }

    // Number of pictures in the last run's PDF, as pdfimages lists them.
    int pictureCount()
    {
        const QString file = path(QStringLiteral("pictures.pdf"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return -1;
        out.write(ReportControl::runs().last().pdf);
        out.close();
        QProcess p;
        p.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file});
        p.waitForFinished(30000);
        return int(QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts).size()) -
               2;
    }
};

TEST_F(Reports, SurveyReportShowsOneRespondentsSurveyByParameter)
{
    const QString insert =
        QStringLiteral("INSERT INTO reportlinktable (question, respondentname, custname, Type, sdate, "
                       "Parameter, weightage, score) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    exec(insert,
         {"How quickly do we answer calls?", "Front Desk", "North Works", 1, "2002-03-05", "Responsiveness", 8, 7});
    exec(insert, {"Is the invoice clear?", "Front Desk", "North Works", 1, "2002-03-05", "Billing", 0, 0});
    exec(insert,
         {"What should we improve?", "Front Desk", "North Works", 0, "2002-03-05", "Responsiveness", 5, QVariant()});
    exec(insert, {"Asked of another respondent", "Back Office", "North Works", 1, "2002-03-05", "Billing", 4, 4});
    exec(insert, {"Asked on another date", "Front Desk", "North Works", 1, "2002-04-05", "Billing", 4, 4});

    ReportControl control;
    prepare(control, QStringLiteral("rptrating.rpt"), QStringLiteral("Quorvane v2.1 Survey Report"));
    control.setSelectionFormula(QStringLiteral("{reportlinktable.respondentname} = ['Front Desk'] and "
                                               "{reportlinktable.custname}=['North Works'] and "
                                               "{reportlinktable.sdate}=date(2002,03,05)"));
    const QString text = runToText(control);
    EXPECT_TRUE(appearInOrder(text, {"Harbour Instruments Ltd", "Customer Satisfaction Survey", "Customer: North Works",
                                     "Respondent: Front Desk", "Survey date: 05/03/2002", "Responsiveness",
                                     "How quickly do we answer calls?", "Scored", "8", "7", "What should we improve?",
                                     "Descriptive", "5", "Billing", "Is the invoice clear?", "Scored",
                                     "Questions in this survey: 3"}));
    EXPECT_FALSE(text.contains(QStringLiteral("another")));
    // No earlier answer: the weightage and score of the billing question stay empty, not 0.
    const QString billingLine =
        text.section(QStringLiteral("Is the invoice clear?"), 1).section(QLatin1Char('\n'), 0, 0);
    EXPECT_FALSE(billingLine.contains(QLatin1Char('0'))) << billingLine.toStdString();
    EXPECT_EQ(ReportControl::runs().last().windowTitle, QStringLiteral("Quorvane v2.1 Survey Report"));
    EXPECT_EQ(ReportControl::runs().last().windowState, ReportControl::Maximized);
}

TEST_F(Reports, LogReportListsTheCustomersWorkbooksByDate)
{
    const QString insert =
        QStringLiteral("INSERT INTO log (custname, respname, xlsfilename, sdate, Status) VALUES (?, ?, ?, ?, ?)");
    exec(insert, {"North Works", "Front Desk", "north-frontdesk.xls", "2024-03-05", 1});
    exec(insert, {"North Works", "Ann Lee", "north-annlee.xls", "2024-01-10", 0});
    exec(insert, {"North Works", "Bea Moss", "north-beamoss.xls", "2024-03-05", 0});
    exec(insert, {"South Yard", "Cy Dunn", "south-cydunn.xls", "2024-02-01", 1});

    ReportControl control;
    prepare(control, QStringLiteral("log.rpt"), QStringLiteral("Log Details"));
    control.setSelectionFormula(QStringLiteral("{log.custname}='North Works'"));
    const QString text = runToText(control);
    EXPECT_TRUE(appearInOrder(text, {"Harbour Instruments Ltd",
                                     "Survey Workbook Log",
                                     "Survey File",
                                     "Survey Date",
                                     "Respondent Name",
                                     "File Read In",
                                     "Customer: North Works",
                                     "north-annlee.xls",
                                     "10/01/2024",
                                     "Ann Lee",
                                     "No",
                                     "north-beamoss.xls",
                                     "05/03/2024",
                                     "Bea Moss",
                                     "No",
                                     "north-frontdesk.xls",
                                     "05/03/2024",
                                     "Front Desk",
                                     "Yes",
                                     "Survey files: 3"}));
    EXPECT_FALSE(text.contains(QStringLiteral("South Yard")));
    EXPECT_FALSE(text.contains(QStringLiteral("south-cydunn.xls")));
}

TEST_F(Reports, ActionPlanReportKeepsBothDateBoundsInclusive)
{
    addCustomer(QStringLiteral("North Works"));
    addCustomer(QStringLiteral("South Yard"));
    const QString insert = QStringLiteral(
        "INSERT INTO actionplan (customerid, Action, \"Date\", targetdate, Status) VALUES (?, ?, ?, ?, ?)");
    exec(insert, {1, "Day before the range", "2024-01-31", "2024-02-28", 0});
    exec(insert, {1, "Answer calls within two rings", "2024-02-29", "2024-04-30", 0});
    exec(insert, {1, "Send invoices monthly", "2024-02-01", "2024-03-01", 1});
    exec(insert, {1, "Train the front desk", "2024-02-15", "2024-05-01", 0});
    exec(insert, {1, "Day after the range", "2024-03-01", "2024-03-31", 1});
    exec(insert, {2, "Another customer's action", "2024-02-10", "2024-02-20", 1});

    ReportControl control;
    prepare(control, QStringLiteral("actionplan.rpt"), QStringLiteral("Analysis on Improvement Plan"));
    control.setSelectionFormula(QStringLiteral("{action.custname}='North Works' and {action.date}>=date(2024,02,01)and "
                                               "{action.date}<=date(2024,02,29)"));
    const QString text = runToText(control);
    EXPECT_TRUE(
        appearInOrder(text, {"Harbour Instruments Ltd", "Status Report on Improvement Plan", "Customer: North Works",
                             "01/02/2024", "Send invoices monthly", "01/03/2024", "Complete", "15/02/2024",
                             "Train the front desk", "01/05/2024", "Not Complete", "29/02/2024",
                             "Answer calls within two rings", "30/04/2024", "Not Complete", "Actions listed: 3"}));
    EXPECT_FALSE(text.contains(QStringLiteral("range")));
    EXPECT_FALSE(text.contains(QStringLiteral("Another customer")));
}

TEST_F(Reports, SatisfactionOverviewGroupsByKindThenParameterInTheWindowsOrder)
{
    const QString insert = QStringLiteral("INSERT INTO reporttable (responname, question, Parameter, tablename, wt, "
                                          "Type, sdate) VALUES (?, ?, ?, ?, ?, ?, ?)");
    exec(insert,
         {"Ann Lee", "What would you change?", "Billing", "Survey Descriptive", 3, "Monthly invoices", "2024-01-10"});
    exec(insert,
         {"Bea Moss", "Any other remarks?", "Delivery", "Survey Descriptive", QVariant(), QVariant(), "2024-01-10"});
    exec(insert, {"Ann Lee", "Is the invoice clear?", "Billing", "Survey Objective", 8, "7", "2024-01-10"});
    exec(insert, {"Bea Moss", "Do parcels arrive whole?", "Delivery", "Survey Objective", 6, "9", "2024-01-12"});
    exec(insert,
         {QVariant(), "Send invoices monthly", QVariant(), "Planned Actions", QVariant(), "Completed", "2024-01-15"});
    exec(insert,
         {QVariant(), "Train the drivers", QVariant(), "Planned Actions", QVariant(), "Not Completed", "2024-01-20"});

    ReportControl control;
    prepare(control, QStringLiteral("satisfaction.rpt"), QStringLiteral("Satisfaction Overview"));
    const QString text = runToText(control);
    EXPECT_TRUE(appearInOrder(text, {"Harbour Instruments Ltd",
                                     "Satisfaction Overview",
                                     "Survey Descriptive",
                                     "Billing",
                                     "10/01/2024",
                                     "Ann Lee",
                                     "What would you change?",
                                     "3",
                                     "Monthly invoices",
                                     "Delivery",
                                     "Bea Moss",
                                     "Any other remarks?",
                                     "Survey Objective",
                                     "Billing",
                                     "Is the invoice clear?",
                                     "8",
                                     "7",
                                     "Delivery",
                                     "12/01/2024",
                                     "Do parcels arrive whole?",
                                     "6",
                                     "9",
                                     "Planned Actions",
                                     "15/01/2024",
                                     "Send invoices monthly",
                                     "Completed",
                                     "20/01/2024",
                                     "Train the drivers",
                                     "Not Completed",
                                     "Entries reported: 6"}));
}

TEST_F(Reports, SurveyResponseReportAveragesEachParameter)
{
    const QString insert = QStringLiteral(
        "INSERT INTO report (responname, question, Parameter, sc, wt, Type, Reply) VALUES (?, ?, ?, ?, ?, ?, ?)");
    exec(insert, {"Ann Lee", "Is the invoice clear?", "Billing", 7, 8, 1, QVariant()});
    exec(insert, {"Bob Hart", "Is the invoice clear?", "Billing", 9, 6, 1, QVariant()});
    exec(insert, {"Ann Lee", "Do parcels arrive whole?", "Delivery", 4, 5, 1, QVariant()});
    exec(insert, {"Ann Lee", "What would you change?", "Billing", QVariant(), 3, 0, "Send invoices monthly"});

    ReportControl control;
    prepare(control, QStringLiteral("surveyresponse.rpt"), QStringLiteral("Survey Report"));
    const QString text = runToText(control);
    EXPECT_TRUE(appearInOrder(text, {"Harbour Instruments Ltd",
                                     "Survey Response Report",
                                     "Scored Questions",
                                     "Billing",
                                     "Ann Lee",
                                     "Is the invoice clear?",
                                     "8",
                                     "7",
                                     "Bob Hart",
                                     "Is the invoice clear?",
                                     "6",
                                     "9",
                                     "Average",
                                     "7.00",
                                     "8.00",
                                     "Delivery",
                                     "Do parcels arrive whole?",
                                     "5",
                                     "4",
                                     "Average",
                                     "5.00",
                                     "4.00",
                                     "Descriptive Questions",
                                     "Billing",
                                     "What would you change?",
                                     "3",
                                     "Send invoices monthly",
                                     "Average",
                                     "3.00",
                                     "Overall average",
                                     "5.50",
                                     "6.67",
                                     "Answers reported: 4"}));
}

TEST_F(Reports, SatisfactionIndexReportShowsTheChartAndEachParametersIndices)
{
    writePicture(QStringLiteral("satis.bmp"));
    const QString insert =
        QStringLiteral("INSERT INTO linetable (custname, Parameter, sindex, sdate) VALUES (?, ?, ?, ?)");
    exec(insert, {"North Works", "Quality", 7.6666665, "2024-02-01"});
    exec(insert, {"North Works", "Delivery", 8.0, "2024-01-01"});
    exec(insert, {"North Works", "Quality", 6.5, "2024-01-01"});
    exec(insert, {"North Works", "Delivery", 0.0, "2024-02-01"});

    ReportControl control;
    prepare(control, QStringLiteral("satisfactionindex.rpt"), QStringLiteral("Survey Report"));
    const QString text = runToText(control);
    EXPECT_TRUE(
        appearInOrder(text, {"Harbour Instruments Ltd", "Satisfaction Index", "Customer: North Works", "Delivery",
                             "01/01/2024", "8.00", "01/02/2024", "Average", "8.00", "Quality", "01/01/2024", "6.50",
                             "01/02/2024", "7.67", "Average", "7.08", "Overall average", "7.39"}));
    EXPECT_FALSE(text.contains(QStringLiteral("0.00")));
    EXPECT_EQ(pictureCount(), 1);
}

TEST_F(Reports, PerformanceMatrixReportShowsTheChartAndTheMeans)
{
    writePicture(QStringLiteral("perform.bmp"));
    const QString insert = QStringLiteral("INSERT INTO scattertable (custname, Parameter, wt, sc) VALUES (?, ?, ?, ?)");
    exec(insert, {"North Works", "Timeliness", 4.67, 4.0});
    exec(insert, {"North Works", "Price", 8.5, 3.25});
    exec(insert, {"North Works", "Accuracy", 6.0, 7.33});

    ReportControl control;
    prepare(control, QStringLiteral("scatter.rpt"), QStringLiteral("Performance Matrix Report"));
    const QString text = runToText(control);
    EXPECT_TRUE(
        appearInOrder(text, {"Harbour Instruments Ltd", "Performance Matrix", "Customer: North Works", "Accuracy",
                             "6.00", "7.33", "Price", "8.50", "3.25", "Timeliness", "4.67", "4.00", "Parameters: 3"}));
    EXPECT_EQ(pictureCount(), 1);
}
