#include "ReportWindowsFixture.h"

#include "analysis/frmDateToDate.h"
#include "analysis/frmDtoDActionPlan.h"
#include "analysis/frmDtoDSatisfactionOverview.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

namespace
{

using ActionPlan = ReportWindowsFixture;

} // namespace

TEST_F(ActionPlan, PrintsTheChosenCustomersActionsOfBothEndDaysAndClearsTheSelection)
{
    const QString north = QStringLiteral("North Works");
    customer(north);
    customer(QStringLiteral("South Yard"));
    action(north, QStringLiteral("Day before the range"), QDate(2024, 1, 31), false);
    action(north, QStringLiteral("Send invoices monthly"), QDate(2024, 2, 1), true);
    action(north, QStringLiteral("Answer within two rings"), QDate(2024, 2, 29), false);
    action(north, QStringLiteral("Day after the range"), QDate(2024, 3, 1), false);
    action(QStringLiteral("South Yard"), QStringLiteral("Another customer's action"), QDate(2024, 2, 10), true);

    main()->mnuImprovementPlanAnalysis->trigger();
    auto* window = main()->child<frmDtoDActionPlan>();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Status Report on Improvement Plan"));
    window->dtFrom->setDate(QDate(2024, 2, 1));
    window->dtTo->setDate(QDate(2024, 2, 29));
    // The formula's dates keep the report language's order whatever the short date form is.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    window->cmdPrint->click();

    ASSERT_EQ(ReportControl::runs().size(), 1);
    const ReportControl::Run& run = ReportControl::runs().last();
    EXPECT_EQ(run.selectionFormula,
              QStringLiteral("{action.custname}='North Works' and "
                             "{action.date}>=date(2024,02,01)and {action.date}<=date(2024,02,29)"));
    EXPECT_EQ(run.windowTitle, QStringLiteral("Analysis on Improvement Plan"));
    EXPECT_EQ(QFileInfo(run.reportFileName).fileName(), QStringLiteral("actionplan.rpt"));
    EXPECT_TRUE(main()->crpReport->selectionFormula().isEmpty());
    const QString text = lastReportText();
    EXPECT_TRUE(text.contains(QStringLiteral("Send invoices monthly"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Answer within two rings"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("range")));
    EXPECT_FALSE(text.contains(QStringLiteral("Another customer")));
    expectIdle();

    // From and To on one day: that day's actions only.
    window->dtTo->setDate(QDate(2024, 2, 1));
    window->cmdPrint->click();
    EXPECT_EQ(ReportControl::runs().last().rowCount, 1);
}

TEST_F(ActionPlan, CustomerNamesWithApostrophesPrintInBothRangeReports)
{
    const QString typographic = QStringLiteral("Smith\u2019s Mill");
    const QString straight = QStringLiteral("O'Brien Foods");
    customer(typographic);
    customer(straight);
    action(typographic, QStringLiteral("Plan for the mill"), QDate(2024, 5, 2), false);
    action(straight, QStringLiteral("Plan for the foods"), QDate(2024, 5, 2), false);

    main()->mnuImprovementPlanAnalysis->trigger();
    auto* plan = main()->child<frmDtoDActionPlan>();
    main()->mnuSatisfactionOverviewAnalysis->trigger();
    auto* overview = main()->child<frmDtoDSatisfactionOverview>();
    for (CustomerRangeWindow* window : std::initializer_list<CustomerRangeWindow*>{plan, overview}) {
        window->dtFrom->setDate(QDate(2024, 5, 1));
        window->dtTo->setDate(QDate(2024, 5, 31));
        for (int i : {0, 1}) {
            window->cmbCustomer->setCurrentIndex(i);
            window->cmdPrint->click();
            EXPECT_TRUE(lastReportText().contains(i == 0 ? "Plan for the mill" : "Plan for the foods"))
                << window->objectName().toStdString() << " " << window->cmbCustomer->currentText().toStdString();
        }
    }
    EXPECT_EQ(ReportControl::runs().size(), 4);
    // The stored form of an apostrophe goes into the formula unchanged.
    EXPECT_TRUE(ReportControl::runs().first().selectionFormula.startsWith(QStringLiteral("{action.custname}='") +
                                                                          typographic + QStringLiteral("' and ")));
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(ActionPlan, AFailedReportStillClearsTheStatusAndPointer)
{
    customer(QStringLiteral("North Works"));
    ASSERT_TRUE(QFile::remove(QDir(folder()).filePath(QStringLiteral("actionplan.rpt"))));
    main()->mnuImprovementPlanAnalysis->trigger();
    main()->child<frmDtoDActionPlan>()->cmdPrint->click();
    EXPECT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    expectIdle();
}

TEST_F(ActionPlan, WithoutCustomersNoReportWindowPrints)
{
    main()->mnuSurveyResponseAnalysis->trigger();
    main()->mnuSatisfactionOverviewAnalysis->trigger();
    main()->mnuImprovementPlanAnalysis->trigger();
    // The overview's item opens its window although it is never on the menu.
    EXPECT_FALSE(main()->mnuSatisfactionOverviewAnalysis->isVisible());
    EXPECT_TRUE(main()->isLoaded<frmDtoDSatisfactionOverview>());
    main()->child<frmDateToDate>()->cmdPrint->click();
    main()->child<frmDtoDSatisfactionOverview>()->cmdPrint->click();
    main()->child<frmDtoDActionPlan>()->cmdPrint->click();
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    expectIdle();
}
