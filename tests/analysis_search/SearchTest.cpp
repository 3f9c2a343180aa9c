#include "analysis/frmImprovementPlan.h"
#include "analysis/frmSearch.h"
#include "feedback/frmFeedBackObj.h"
#include "support/ProgramFixture.h"

#include <tuple>

namespace
{

// Answers of Ann (Acme) and Ben (Birch) and four actions, worded to tell literal matching from patterns; the search
// window opened from the menu.
class Search : public ProgramFixture
{
protected:
    const QDate today{2031, 5, 20};
    const QDate d1{2031, 1, 2};
    const QDate d2{2031, 1, 10};

    void SetUp() override
    {
        ProgramFixture::SetUp();
        Desktop::setToday(today);
        customer("Cedar");
        const int ann = respondent(customer("Acme"), "Ann");
        const int ben = respondent(customer("Birch"), "Ben");
        const int delivery = question("Service", "How is delivery?");
        const int onTime = question("Service", "What about on time delivery?", false);
        const int remarks = question("Service", "Remarks", false);
        for (const auto& [resp, q, date] : {std::tuple{ann, delivery, d1}, std::tuple{ben, delivery, d2},
                                            std::tuple{ann, question("Service", "Is 50% of the price fair?"), d1},
                                            std::tuple{ann, question("Service", "Qualité"), d1}})
            answer(resp, q, date, 5, 7);
        for (const auto& [resp, q, date, text] :
             {std::tuple{ann, onTime, d1, "fine"}, std::tuple{ann, remarks, d1, "The DELIVERY was late"},
              std::tuple{ben, remarks, d2, "ok, didn't arrive"}, std::tuple{ben, remarks, d1, "see file on_time.xlsx"},
              std::tuple{ann, remarks, d2, "500 units"}})
            answer(resp, q, date, 5, QString::fromUtf8(text));
        action("Acme", d1, "Check delivery routes");
        action("Birch", d2, "Cut price by 50%");
        action("Acme", d2, "Customer didn\u2019t reply");
        action("Birch", d1, "Étude de prix");
        w = open<frmSearch>(main()->mnuSearch);
        ASSERT_NE(w, nullptr);
    }

    // Searches as typed and returns one column of the hits.
    QStringList search(const QString& keywords, int column = 1)
    {
        w->txtKeyword->setText(keywords);
        w->cmdOK->click();
        return texts(w->lsvDtls, column);
    }
    // Brings the search window up and clicks the row, then presses Enter or double clicks on it.
    void openRow(int row, bool byEnter)
    {
        main()->windows()->showWindow(w);
        QTreeWidgetItem* item = w->lsvDtls->topLevelItem(row);
        w->lsvDtls->scrollToItem(item);
        const QPoint at = w->lsvDtls->visualItemRect(item).center();
        QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, at);
        if (byEnter)
            QTest::keyClick(w->lsvDtls, Qt::Key_Return);
        else
            QTest::mouseDClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, at);
    }
    // The customer, plan date and description the active improvement window shows.
    QStringList planShown()
    {
        auto* plan = active<frmImprovementPlan>();
        if (!plan)
            return {};
        return {plan->lstCusName->currentItem()->text(), iso(plan->dtdate->date()), plan->txtDescription->text()};
    }

    frmSearch* w = nullptr;
};

} // namespace

TEST_F(Search, FindsAKeywordInAllThreeSourcesInTheirOrderAndListsTheStoredHits)
{
    EXPECT_EQ(search(" delivery "), QStringList({"How is delivery?", "How is delivery?", "What about on time delivery?",
                                                 "Remarks", "Check delivery routes"}));
    EXPECT_EQ(texts(w->lsvDtls, 3), QStringList({"Survey (Objective)", "Survey (Objective)", "Survey (Descriptive)",
                                                 "Survey (Descriptive)", "Improvement Plan"}));
    EXPECT_EQ(w->lsvDtls->topLevelItem(1)->text(0), shown(d2));
    EXPECT_EQ(w->lsvDtls->topLevelItem(4)->text(4),
              value("select actionid from actionplan where Action like 'Check%'").toString());
    EXPECT_EQ(value("select count(*) from search"), 5);

    // Clearing the keywords empties the list, not the table; Enter in the box searches.
    w->txtKeyword->setText("  ");
    EXPECT_EQ(w->lsvDtls->topLevelItemCount(), 0);
    EXPECT_EQ(value("select count(*) from search"), 5);
    w->txtKeyword->setText("routes");
    QTest::keyClick(w->txtKeyword, Qt::Key_Return);
    EXPECT_EQ(w->lsvDtls->topLevelItemCount(), 1);
}

TEST_F(Search, UpToTenKeywordsMatchLiterallyInAnyCaseAndAlphabetWithEitherApostrophe)
{
    EXPECT_EQ(search("50%"), QStringList({"Is 50% of the price fair?", "Cut price by 50%"}));
    EXPECT_EQ(search("on_time"), QStringList{"Remarks"});
    EXPECT_EQ(search("É"), QStringList({"Qualité", "Étude de prix"}));
    EXPECT_EQ(search("DIDN'T"), QStringList({"Remarks", "Customer didn\u2019t reply"}));
    // Two blanks in a row add no keyword that matches everything.
    EXPECT_EQ(search("routes  Étude").size(), 2);
    const QString nine = "k1 k2 k3 k4 k5 k6 k7 k8 k9";
    EXPECT_EQ(search(nine + " routes").size(), 1);
    EXPECT_TRUE(search(nine + " k10 routes").isEmpty());
    EXPECT_EQ(value("select count(*) from search"), 0);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Search, OpeningAnActionHitShowsItsOwnActionAndASaveKeepsIt)
{
    // The improvement window shows Acme's action of another date; Acme has one today too.
    action("Acme", today, "Today's action");
    auto* plan = open<frmImprovementPlan>(main()->mnuImprovementPlan);
    plan->dtdate->setDate(d2);
    plan->dtdate_CloseUp();
    ASSERT_EQ(plan->txtDescription->text(), "Customer didn\u2019t reply");
    const QString actions = "select * from actionplan order by actionid";
    const QStringList before = table(actions);

    ASSERT_EQ(search("delivery Étude").size(), 6);
    openRow(5, false);
    EXPECT_EQ(gSearchItemIndex, 6);
    EXPECT_FALSE(gSearchOpenImprovement);
    EXPECT_EQ(plan->lstCusName->selectedItems().size(), 1);
    EXPECT_EQ(planShown(), QStringList({"Birch", iso(d1), "Étude de prix"}));

    // The first action hit, while Birch's other date is shown.
    plan->dtdate->setDate(d2);
    plan->dtdate_CloseUp();
    openRow(4, true);
    EXPECT_EQ(planShown(), QStringList({"Acme", iso(d1), "Check delivery routes"}));
    plan->cmdSave->click();
    EXPECT_EQ(table(actions), before);

    // A hit beyond row 32,767 opens its own row.
    run("delete from search");
    run("with recursive n(i) as (select 1 union all select i + 1 from n where i < 33000) insert into search (sdate, "
        "\"Desc\", custname, tablename, Id) select ?, 'Check delivery routes', 'Acme', 'Improvement Plan', i from n",
        {iso(d2)});
    run("update search set custname='Birch', sdate=? where Id=33000", {iso(d1)});
    w->toFillListView();
    ASSERT_EQ(w->lsvDtls->topLevelItemCount(), 33000);
    openRow(32999, true);
    EXPECT_EQ(gSearchItemIndex, 33000);
    EXPECT_EQ(planShown(), QStringList({"Birch", iso(d1), "Étude de prix"}));
}

TEST_F(Search, OpeningASurveyHitShowsItsCustomerDateAndRespondentInTheFeedbackWindow)
{
    ASSERT_EQ(search("How arrive").size(), 3);
    for (const auto& [row, byEnter, shownCustomer, date, shownRespondent] :
         {std::tuple{0, false, "Acme", d1, "Ann"}, std::tuple{2, true, "Birch", d2, "Ben"}}) {
        openRow(row, byEnter);
        auto* feedback = active<frmFeedBackObj>();
        ASSERT_NE(feedback, nullptr);
        EXPECT_FALSE(gSearchOpenFeedback);
        EXPECT_EQ(feedback->cmbCusName->currentText(), shownCustomer);
        ASSERT_EQ(feedback->lstSurveyDates->selectedItems().size(), 1);
        EXPECT_EQ(feedback->lstSurveyDates->selectedItems().first()->text(), shown(date));
        ASSERT_EQ(feedback->lstRespname->selectedItems().size(), 1);
        EXPECT_EQ(feedback->lstRespname->selectedItems().first()->text(), shownRespondent);
    }
}

TEST_F(Search, AHitThatCannotBeShownLeavesNoFlagBehind)
{
    search("routes");
    // The hit is no longer in the table.
    run("delete from search");
    openRow(0, true);
    EXPECT_FALSE(main()->isLoaded<frmImprovementPlan>());
    EXPECT_FALSE(gSearchOpenImprovement);

    // The search window has gone: the pending hit is dropped, and the window keeps what it shows.
    auto* plan = open<frmImprovementPlan>(main()->mnuImprovementPlan);
    w->cmdClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(SearchHits::at(1).has_value());
    gSearchOpenImprovement = true;
    gSearchItemIndex = 1;
    plan->Form_Activate();
    EXPECT_FALSE(gSearchOpenImprovement);
    EXPECT_EQ(planShown(), QStringList({"Acme", iso(today), ""}));
}

TEST_F(Search, HeadingsShowWholeAndTheLastShownColumnTakesTheRoomLeft)
{
    for (QTreeWidget* list : {w->lsvDtls, open<frmImprovementPlan>(main()->mnuImprovementPlan)->lsvDtls}) {
        QHeaderView* header = list->header();
        QFont bold = header->font();
        bold.setBold(true);
        int used = 0;
        for (int c = 0; c < list->columnCount(); ++c) {
            if (header->isSectionHidden(c))
                continue;
            const QString heading = list->headerItem()->text(c);
            EXPECT_GT(header->sectionSize(c), QFontMetrics(bold).horizontalAdvance(heading)) << heading.toStdString();
            used += header->sectionSize(c);
        }
        EXPECT_EQ(used, list->viewport()->width()) << list->window()->objectName().toStdString();
    }
}
