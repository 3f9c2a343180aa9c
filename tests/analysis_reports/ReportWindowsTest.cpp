// The three report windows of the Analysis menu over answers and actions stored as the program stores them.

#include "analysis/frmDateToDate.h"
#include "analysis/frmDtoDActionPlan.h"
#include "analysis/frmDtoDSatisfactionOverview.h"
#include "support/ProgramFixture.h"

#include <QDir>

namespace
{

// North Works with Ann and Bob, asked two scored questions ("parcels", "invoice") and two written ones.
class ReportWindows : public ProgramFixture
{
protected:
    void northWorks()
    {
        const int north = customer("North Works");
        ann = respondent(north, "Ann Lee");
        bob = respondent(north, "Bob Hart");
        parcels = question("Delivery", "Do parcels arrive whole?");
        invoice = question("Billing", "Is the invoice clear?");
        late = question("Delivery", "What arrives late?", false);
        change = question("Billing", "What would you change?", false);
    }

    int ann = 0, bob = 0, parcels = 0, invoice = 0, late = 0, change = 0;
};

} // namespace

TEST_F(ReportWindows, WithoutCustomersNoWindowPrints)
{
    // The overview's item opens its window although it is never on the menu.
    EXPECT_FALSE(main()->mnuSatisfactionOverviewAnalysis->isVisible());
    open<frmDtoDSatisfactionOverview>(main()->mnuSatisfactionOverviewAnalysis)->cmdPrint->click();
    open<frmDateToDate>(main()->mnuSurveyResponseAnalysis)->cmdPrint->click();
    open<frmDtoDActionPlan>(main()->mnuImprovementPlanAnalysis)->cmdPrint->click();
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(idle());
}

TEST_F(ReportWindows, SurveyResponseOpensOnTheFirstCustomersOldestDateAndACustomerWithoutSurveysPrintsNothing)
{
    const int north = customer("North Works");
    customer("Alder Ltd");
    const QList<QDate> dates{QDate(2023, 11, 20), QDate(2024, 1, 10), QDate(2024, 3, 5)};
    for (const QDate& d : {dates[2], dates[0], dates[1]})
        survey(north, d);
    run("insert into report (question) values ('left from the last report')");

    auto* window = open<frmDateToDate>(main()->mnuSurveyResponseAnalysis);
    EXPECT_EQ(window->cmbCustomer->currentText(), "North Works");
    EXPECT_EQ(texts(window->lstSurveyDate), QStringList({shown(dates[0]), shown(dates[1]), shown(dates[2])}));
    EXPECT_EQ(window->lstSurveyDate->selectedItems().value(0), window->lstSurveyDate->item(0));
    window->cmbCustomer->setCurrentIndex(1);
    EXPECT_EQ(window->lstSurveyDate->count(), 0);
    window->cmdPrint->click();
    EXPECT_EQ(value("select count(*) from report").toInt(), 0);
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(idle());
}

TEST_F(ReportWindows, SurveyResponseReportsScoredThenWrittenAnswersOfEveryRespondentByParameter)
{
    const QDate day(2024, 2, 14);
    northWorks();
    answer(ann, parcels, day, 8, 7);
    answer(bob, invoice, day, 6, 9);
    answer(ann, invoice, day, 5, 0);                                           // no score: left out
    answer(bob, parcels, day, 0, 4);                                           // no weightage: left out
    answer(ann, parcels, day.addDays(1), 9, 9);                                // another date
    answer(respondent(customer("South Yard"), "Cy Dunn"), parcels, day, 3, 3); // another customer
    answer(ann, late, day, 5, "Parcels on Mondays");
    answer(bob, change, day, 3, QVariant());
    answer(ann, change, day, 0, "Stored, but weighted 0");

    auto* window = open<frmDateToDate>(main()->mnuSurveyResponseAnalysis);
    for (int press = 0; press < 2; ++press) {
        window->cmdPrint->click();
        EXPECT_EQ(table("select responname, question, Parameter, sc, wt, Type, Reply from report order by rowid"),
                  QStringList({"Bob Hart|Is the invoice clear?|Billing|9|6|1|NULL",
                               "Ann Lee|Do parcels arrive whole?|Delivery|7|8|1|NULL",
                               "Bob Hart|What would you change?|Billing|NULL|3|0|NULL",
                               "Ann Lee|What arrives late?|Delivery|NULL|5|0|Parcels on Mondays"}));
    }
    ASSERT_EQ(ReportControl::runs().size(), 2);
    EXPECT_TRUE(reportText().contains("Answers reported: 4"));
    EXPECT_TRUE(idle());
}

TEST_F(ReportWindows, OverviewReportsEveryAnswerAndActionOfTheRangeIncludingBothEndDays)
{
    const QDate first(2024, 1, 1), last(2024, 1, 31);
    northWorks();
    answer(ann, parcels, first, 8, 7);
    answer(bob, invoice, last, 0, 0);
    answer(bob, parcels, last, 6, QVariant()); // stored without a score: an empty field, the report goes on
    answer(ann, invoice, first.addDays(-1), 9, 9);
    answer(ann, late, last, 0, "Weighted 0, still reported");
    answer(bob, change, first, 4, QVariant());
    answer(ann, change, last.addDays(1), 4, "After the range");
    action("North Works", first, "Send invoices monthly", true);
    action("North Works", last, "Train the drivers");
    action("North Works", last.addDays(1), "Too late");

    Desktop::setToday(last);
    auto* window = open<frmDtoDSatisfactionOverview>(main()->mnuSatisfactionOverviewAnalysis);
    EXPECT_EQ(window->cmbCustomer->currentText(), "North Works");
    EXPECT_EQ(window->dtFrom->date(), last);
    EXPECT_EQ(window->dtTo->date(), last);
    window->dtFrom->setDate(first);
    window->cmdPrint->click();
    EXPECT_EQ(
        table("select tablename, sdate, responname, question, Parameter, wt, Type from reporttable order by rowid"),
        QStringList({"Survey Descriptive|2024-01-01|Bob Hart|What would you change?|Billing|4|NULL",
                     "Survey Descriptive|2024-01-31|Ann Lee|What arrives late?|Delivery|NULL|Weighted 0, still "
                     "reported",
                     "Survey Objective|2024-01-31|Bob Hart|Is the invoice clear?|Billing|NULL|NULL",
                     "Survey Objective|2024-01-01|Ann Lee|Do parcels arrive whole?|Delivery|8|7",
                     "Survey Objective|2024-01-31|Bob Hart|Do parcels arrive whole?|Delivery|6|NULL",
                     "Planned Actions|2024-01-01|NULL|Send invoices monthly|NULL|NULL|Completed",
                     "Planned Actions|2024-01-31|NULL|Train the drivers|NULL|NULL|Not Completed"}));
    ASSERT_EQ(ReportControl::runs().size(), 1);
    EXPECT_TRUE(reportText().contains("Entries reported: 7"));
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_TRUE(idle());
}

TEST_F(ReportWindows, ActionPlanPrintsTheChosenCustomersActionsOfBothEndDaysAndClearsTheSelection)
{
    const QString north = "North Works";
    customer(north);
    customer("South Yard");
    action(north, QDate(2024, 1, 31), "Day before the range");
    action(north, QDate(2024, 2, 1), "Send invoices monthly", true);
    action(north, QDate(2024, 2, 29), "Answer within two rings");
    action(north, QDate(2024, 3, 1), "Day after the range");
    action("South Yard", QDate(2024, 2, 10), "Another customer's action", true);

    auto* window = open<frmDtoDActionPlan>(main()->mnuImprovementPlanAnalysis);
    window->dtFrom->setDate(QDate(2024, 2, 1));
    window->dtTo->setDate(QDate(2024, 2, 29));
    // The formula's dates keep the report language's order whatever the short date form is.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    window->cmdPrint->click();
    ASSERT_EQ(ReportControl::runs().size(), 1);
    EXPECT_EQ(ReportControl::runs().last().selectionFormula,
              "{action.custname}='North Works' and {action.date}>=date(2024,02,01)and "
              "{action.date}<=date(2024,02,29)");
    EXPECT_TRUE(main()->crpReport->selectionFormula().isEmpty());
    const QString text = reportText();
    EXPECT_TRUE(holds(text, {"Send invoices monthly", "Answer within two rings"}));
    EXPECT_FALSE(text.contains("range") || text.contains("Another customer"));

    // From and To on one day: that day's actions only.
    window->dtTo->setDate(QDate(2024, 2, 1));
    window->cmdPrint->click();
    EXPECT_EQ(ReportControl::runs().last().rowCount, 1);

    // A report that fails still leaves the status text and pointer as they were.
    ASSERT_TRUE(QFile::remove(QDir(folder()).filePath("actionplan.rpt")));
    window->cmdPrint->click();
    EXPECT_EQ(messages().size(), 1);
    EXPECT_EQ(ReportControl::runs().size(), 2);
    EXPECT_TRUE(idle());
}

TEST_F(ReportWindows, CustomerNamesWithApostrophesPrintInBothRangeReports)
{
    const QString typographic = "Smith\u2019s Mill";
    customer(typographic);
    customer("O'Brien Foods");
    action(typographic, QDate(2024, 5, 2), "Plan for the mill");
    action("O'Brien Foods", QDate(2024, 5, 2), "Plan for the foods");
    for (CustomerRangeWindow* window : std::initializer_list<CustomerRangeWindow*>{
             open<frmDtoDActionPlan>(main()->mnuImprovementPlanAnalysis),
             open<frmDtoDSatisfactionOverview>(main()->mnuSatisfactionOverviewAnalysis)}) {
        window->dtFrom->setDate(QDate(2024, 5, 1));
        window->dtTo->setDate(QDate(2024, 5, 31));
        for (int i : {0, 1}) {
            window->cmbCustomer->setCurrentIndex(i);
            window->cmdPrint->click();
            EXPECT_TRUE(reportText().contains(i == 0 ? "Plan for the mill" : "Plan for the foods"))
                << window->objectName().toStdString() << " " << window->cmbCustomer->currentText().toStdString();
        }
    }
    EXPECT_EQ(ReportControl::runs().size(), 4);
    // The stored form of an apostrophe goes into the formula unchanged.
    EXPECT_TRUE(
        ReportControl::runs().first().selectionFormula.startsWith("{action.custname}='" + typographic + "' and "));
    EXPECT_TRUE(messages().isEmpty());
}

// The pickers' last day is a day like any other: answers and actions on it are reported in every range report.
TEST_F(ReportWindows, ThePickersLastDayIsReportedInEveryRange)
{
    northWorks();
    auto* overview = open<frmDtoDSatisfactionOverview>(main()->mnuSatisfactionOverviewAnalysis);
    const QDate end = overview->dtTo->maximumDate();
    answer(ann, parcels, end, 8, 7);
    answer(bob, late, end, 5, "Written on the last day");
    answer(ann, invoice, end.addDays(-1), 6, 6);
    action("North Works", end, "Plan of the last day", true);

    for (const QDate& from : {end, end.addDays(-1)}) {
        overview->dtFrom->setDate(from);
        overview->dtTo->setDate(end);
        overview->cmdPrint->click();
        EXPECT_EQ(value("select count(*) from reporttable where sdate=?", {iso(end)}).toInt(), 3)
            << iso(from).toStdString();
        EXPECT_EQ(value("select count(*) from reporttable").toInt(), from == end ? 3 : 4);
    }

    auto* plan = open<frmDtoDActionPlan>(main()->mnuImprovementPlanAnalysis);
    plan->dtFrom->setDate(end);
    plan->dtTo->setDate(plan->dtTo->maximumDate());
    plan->cmdPrint->click();
    EXPECT_EQ(ReportControl::runs().last().rowCount, 1);

    auto* response = open<frmDateToDate>(main()->mnuSurveyResponseAnalysis);
    response->lstSurveyDate->setCurrentRow(response->lstSurveyDate->count() - 1);
    response->cmdPrint->click();
    EXPECT_EQ(table("select responname, question from report order by rowid"),
              QStringList({"Ann Lee|Do parcels arrive whole?", "Bob Hart|What arrives late?"}));
    EXPECT_EQ(ReportControl::runs().size(), 4);
    EXPECT_TRUE(messages().isEmpty());
}
