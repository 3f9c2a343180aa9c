#include "ReportWindowsFixture.h"

#include "analysis/frmDtoDSatisfactionOverview.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

namespace
{

using SatisfactionOverview = ReportWindowsFixture;

const char* const reportRows =
    "select tablename, sdate, responname, question, Parameter, wt, Type from reporttable order by rowid";

} // namespace

TEST_F(SatisfactionOverview, ReportsEveryAnswerAndActionOfTheRangeIncludingBothEndDays)
{
    const QDate first(2024, 1, 1), last(2024, 1, 31);
    const int north = customer(QStringLiteral("North Works"));
    const int ann = respondent(north, QStringLiteral("Ann Lee"));
    const int bob = respondent(north, QStringLiteral("Bob Hart"));
    const int parcels = question(QStringLiteral("Delivery"), QStringLiteral("Do parcels arrive whole?"), true);
    const int invoice = question(QStringLiteral("Billing"), QStringLiteral("Is the invoice clear?"), true);
    const int change = question(QStringLiteral("Billing"), QStringLiteral("What would you change?"), false);
    const int remarks = question(QStringLiteral("Delivery"), QStringLiteral("Any other remarks?"), false);

    scored(ann, parcels, first, 8, 7);
    scored(bob, invoice, last, 0, 0);
    scored(bob, parcels, last, 6, QVariant()); // stored without a score: an empty field, the report goes on
    scored(ann, invoice, first.addDays(-1), 9, 9);
    written(ann, remarks, last, 0, QStringLiteral("Weighted 0, still reported"));
    written(bob, change, first, 4, QVariant());
    written(ann, change, last.addDays(1), 4, QStringLiteral("After the range"));
    action(QStringLiteral("North Works"), QStringLiteral("Send invoices monthly"), first, true);
    action(QStringLiteral("North Works"), QStringLiteral("Train the drivers"), last, false);
    action(QStringLiteral("North Works"), QStringLiteral("Too late"), last.addDays(1), false);

    Desktop::setToday(last);
    main()->mnuSatisfactionOverviewAnalysis->trigger();
    auto* window = main()->child<frmDtoDSatisfactionOverview>();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->cmbCustomer->currentText(), QStringLiteral("North Works"));
    EXPECT_EQ(window->dtFrom->date(), last);
    EXPECT_EQ(window->dtTo->date(), last);
    window->dtFrom->setDate(first);
    window->dtTo->setDate(last);
    window->cmdPrint->click();

    EXPECT_EQ(
        tableRows(QLatin1String(reportRows)),
        QStringList({"Survey Descriptive|2024-01-01|Bob Hart|What would you change?|Billing|4|",
                     "Survey Descriptive|2024-01-31|Ann Lee|Any other remarks?|Delivery||Weighted 0, still reported",
                     "Survey Objective|2024-01-31|Bob Hart|Is the invoice clear?|Billing||",
                     "Survey Objective|2024-01-01|Ann Lee|Do parcels arrive whole?|Delivery|8|7",
                     "Survey Objective|2024-01-31|Bob Hart|Do parcels arrive whole?|Delivery|6|",
                     "Planned Actions|2024-01-01||Send invoices monthly|||Completed",
                     "Planned Actions|2024-01-31||Train the drivers|||Not Completed"}));
    ASSERT_EQ(ReportControl::runs().size(), 1);
    EXPECT_EQ(ReportControl::runs().last().windowTitle, QStringLiteral("Satisfaction Overview"));
    EXPECT_TRUE(lastReportText().contains(QStringLiteral("Entries reported: 7")));
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    expectIdle();
}
