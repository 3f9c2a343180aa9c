#include "ReportWindowsFixture.h"

#include "analysis/frmDateToDate.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

namespace
{

using SurveyResponse = ReportWindowsFixture;

QStringList entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

const char* const reportRows = "select responname, question, Parameter, sc, wt, Type, Reply from report order by rowid";

} // namespace

TEST_F(SurveyResponse, OpensOnTheFirstCustomersOldestDateAndACustomerWithoutSurveysPrintsNothing)
{
    const int north = customer(QStringLiteral("North Works"));
    customer(QStringLiteral("Alder Ltd"));
    for (const QDate& d : {QDate(2024, 3, 5), QDate(2023, 11, 20), QDate(2024, 1, 10)})
        survey(north, d);
    run(QStringLiteral("insert into report (question) values ('left from the last report')"));

    main()->mnuSurveyResponseAnalysis->trigger();
    auto* window = main()->child<frmDateToDate>();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->cmbCustomer->currentText(), QStringLiteral("North Works"));
    EXPECT_EQ(entries(window->lstSurveyDate), QStringList({"20/11/2023", "10/01/2024", "05/03/2024"}));
    EXPECT_EQ(window->lstSurveyDate->selectedItems().value(0), window->lstSurveyDate->item(0));

    window->cmbCustomer->setCurrentIndex(1);
    EXPECT_EQ(window->lstSurveyDate->count(), 0);
    window->cmdPrint->click();
    EXPECT_EQ(value(QStringLiteral("select count(*) from report")).toInt(), 0);
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    expectIdle();
}

TEST_F(SurveyResponse, ReportsScoredThenWrittenAnswersOfEveryRespondentByParameter)
{
    const QDate day(2024, 2, 14);
    const int north = customer(QStringLiteral("North Works"));
    const int other = customer(QStringLiteral("South Yard"));
    survey(north, day);
    const int ann = respondent(north, QStringLiteral("Ann Lee"));
    const int bob = respondent(north, QStringLiteral("Bob Hart"));
    const int cy = respondent(other, QStringLiteral("Cy Dunn"));
    const int parcels = question(QStringLiteral("Delivery"), QStringLiteral("Do parcels arrive whole?"), true);
    const int invoice = question(QStringLiteral("Billing"), QStringLiteral("Is the invoice clear?"), true);
    const int late = question(QStringLiteral("Delivery"), QStringLiteral("What arrives late?"), false);
    const int change = question(QStringLiteral("Billing"), QStringLiteral("What would you change?"), false);

    scored(ann, parcels, day, 8, 7);
    scored(bob, invoice, day, 6, 9);
    scored(ann, invoice, day, 5, 0);            // no score: left out
    scored(bob, parcels, day, 0, 4);            // no weightage: left out
    scored(ann, parcels, day.addDays(1), 9, 9); // another date
    scored(cy, parcels, day, 3, 3);             // another customer
    written(ann, late, day, 5, QStringLiteral("Parcels on Mondays"));
    written(bob, change, day, 3, QVariant());
    written(ann, change, day, 0, QStringLiteral("Stored, but weighted 0"));

    main()->mnuSurveyResponseAnalysis->trigger();
    auto* window = main()->child<frmDateToDate>();
    const QStringList expected = {
        "Bob Hart|Is the invoice clear?|Billing|9|6|1|", "Ann Lee|Do parcels arrive whole?|Delivery|7|8|1|",
        "Bob Hart|What would you change?|Billing||3|0|", "Ann Lee|What arrives late?|Delivery||5|0|Parcels on Mondays"};
    for (int press = 0; press < 2; ++press) {
        window->cmdPrint->click();
        EXPECT_EQ(tableRows(QLatin1String(reportRows)), expected);
    }
    ASSERT_EQ(ReportControl::runs().size(), 2);
    EXPECT_EQ(ReportControl::runs().last().windowTitle, QStringLiteral("Survey Report"));
    EXPECT_TRUE(lastReportText().contains(QStringLiteral("Answers reported: 4")));
    expectIdle();
}
