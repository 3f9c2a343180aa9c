#include "analysis_tracking/TrackingFixture.h"

#include "analysis/frmSearch.h"
#include "feedback/frmFeedBackObj.h"
#include "shell/SearchHits.h"
#include "shell/gblGlobal.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>

#include <tuple>

namespace
{

const QString objective = QStringLiteral("Survey (Objective)");
const QString descriptive = QStringLiteral("Survey (Descriptive)");
const QString action = QStringLiteral("Improvement Plan");

// Answers of Ann (Acme) and Ben (Birch) and four actions, worded to tell literal matching from patterns.
class Search : public TrackingFixture
{
protected:
    void SetUp() override
    {
        TrackingFixture::SetUp();
        run(QStringLiteral("insert into respondent (custid, respondentname) values (2, 'Ann'), (3, 'Ben')"));
        run(QStringLiteral("insert into parameter (parametername) values ('Service')"));
        run(QStringLiteral("insert into questions (question, Type, paramid) values ('How is delivery?', 1, 1), "
                           "('Is 50% of the price fair?', 1, 1), ('What about on time delivery?', 0, 1), "
                           "('Remarks', 0, 1), ('Qualité', 1, 1)"));
        using Scored = std::tuple<int, int, QDate>;
        for (const auto& [resp, question, date] :
             std::initializer_list<Scored>{{1, 1, d1}, {2, 1, d2}, {1, 2, d1}, {1, 5, d1}})
            run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, "
                               "weightage, score) values (?, ?, 1, ?, 5, 7)"),
                {resp, question, iso(date)});
        using Written = std::tuple<int, int, QDate, QString>;
        for (const auto& [resp, question, date, text] :
             std::initializer_list<Written>{{1, 3, d1, QStringLiteral("fine")},
                                            {1, 4, d1, QStringLiteral("The DELIVERY was late")},
                                            {2, 4, d2, QStringLiteral("ok, didn't arrive")},
                                            {2, 4, d1, QStringLiteral("see file on_time.xlsx")},
                                            {1, 4, d2, QStringLiteral("500 units")}})
            run(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, surveydate, "
                               "weightage, Description) values (?, ?, 1, ?, 5, ?)"),
                {resp, question, iso(date), text});
        addAction(QStringLiteral("Acme"), d1, QStringLiteral("Check delivery routes"));
        addAction(QStringLiteral("Birch"), d2, QStringLiteral("Cut price by 50%"));
        addAction(QStringLiteral("Acme"), d2, QStringLiteral("Customer didn\u2019t reply"));
        addAction(QStringLiteral("Birch"), d1, QStringLiteral("Étude de prix"));
    }

    frmSearch* openSearch()
    {
        main()->mnuSearch->trigger();
        return main()->windows()->find<frmSearch>();
    }
    // Searches as typed and returns one column of the hits.
    static QStringList search(frmSearch* w, const QString& keywords, int column = 1)
    {
        w->txtKeyword->setText(keywords);
        w->cmdOK->click();
        QStringList list;
        for (int i = 0; i < w->lsvDtls->topLevelItemCount(); ++i)
            list << w->lsvDtls->topLevelItem(i)->text(column);
        return list;
    }
    // A click on the row, then Enter or a double click on it.
    static void openRow(frmSearch* w, int row, bool byEnter)
    {
        QTreeWidgetItem* item = w->lsvDtls->topLevelItem(row);
        w->lsvDtls->scrollToItem(item);
        const QPoint at = w->lsvDtls->visualItemRect(item).center();
        QTest::mouseClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, at);
        if (byEnter)
            QTest::keyClick(w->lsvDtls, Qt::Key_Return);
        else
            QTest::mouseDClick(w->lsvDtls->viewport(), Qt::LeftButton, {}, at);
    }
    template <class T> T* active() const
    {
        QMdiSubWindow* frame = main()->mdiArea()->activeSubWindow();
        return frame ? qobject_cast<T*>(frame->widget()) : nullptr;
    }
    frmImprovementPlan* activePlan() const { return active<frmImprovementPlan>(); }
};

} // namespace

TEST_F(Search, FindsAKeywordInAllThreeSourcesInTheirOrderAndListsTheStoredHits)
{
    frmSearch* w = openSearch();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(search(w, QStringLiteral(" delivery ")),
              (QStringList{QStringLiteral("How is delivery?"), QStringLiteral("How is delivery?"),
                           QStringLiteral("What about on time delivery?"), QStringLiteral("Remarks"),
                           QStringLiteral("Check delivery routes")}));
    EXPECT_EQ(search(w, QStringLiteral("delivery"), 3),
              (QStringList{objective, objective, descriptive, descriptive, action}));
    EXPECT_EQ(search(w, QStringLiteral("delivery"), 0)[1], ValueFormat::formatDate(d2));
    EXPECT_EQ(w->lsvDtls->topLevelItem(4)->text(4),
              value(QStringLiteral("select actionid from actionplan where Action like 'Check%'")).toString());
    EXPECT_EQ(value(QStringLiteral("select count(*) from search")), 5);

    // Clearing the keywords empties the list, not the table; Enter in the box searches.
    w->txtKeyword->setText(QStringLiteral("  "));
    EXPECT_EQ(w->lsvDtls->topLevelItemCount(), 0);
    EXPECT_EQ(value(QStringLiteral("select count(*) from search")), 5);
    w->txtKeyword->setText(QStringLiteral("routes"));
    QTest::keyClick(w->txtKeyword, Qt::Key_Return);
    EXPECT_EQ(w->lsvDtls->topLevelItemCount(), 1);
}

TEST_F(Search, KeywordsMatchLiterallyInAnyCaseAndAlphabetWithEitherApostrophe)
{
    frmSearch* w = openSearch();
    EXPECT_EQ(search(w, QStringLiteral("50%")),
              (QStringList{QStringLiteral("Is 50% of the price fair?"), QStringLiteral("Cut price by 50%")}));
    EXPECT_EQ(search(w, QStringLiteral("on_time")), QStringList{QStringLiteral("Remarks")});
    EXPECT_EQ(search(w, QStringLiteral("É")),
              (QStringList{QStringLiteral("Qualité"), QStringLiteral("Étude de prix")}));
    EXPECT_EQ(search(w, QStringLiteral("DIDN'T")),
              (QStringList{QStringLiteral("Remarks"), QStringLiteral("Customer didn\u2019t reply")}));
    // Two blanks in a row add no keyword that matches everything.
    EXPECT_EQ(search(w, QStringLiteral("routes  Étude")).size(), 2);
}

TEST_F(Search, TenKeywordsAreSearchedAndElevenFindNothing)
{
    frmSearch* w = openSearch();
    const QString nine = QStringLiteral("k1 k2 k3 k4 k5 k6 k7 k8 k9");
    EXPECT_EQ(search(w, nine + QStringLiteral(" routes")).size(), 1);
    EXPECT_TRUE(search(w, nine + QStringLiteral(" k10 routes")).isEmpty());
    EXPECT_EQ(value(QStringLiteral("select count(*) from search")), 0);
    EXPECT_TRUE(MsgBox::shown().isEmpty());
}

TEST_F(Search, OpeningAnActionHitShowsItsOwnActionAndASaveKeepsIt)
{
    // The improvement window shows Acme's action of another date; Acme has one today too.
    addAction(QStringLiteral("Acme"), today, QStringLiteral("Today's action"));
    frmImprovementPlan* plan = openPlan();
    plan->dtdate->setDate(d2);
    plan->dtdate_CloseUp();
    ASSERT_EQ(plan->txtDescription->text(), QStringLiteral("Customer didn\u2019t reply"));
    const QStringList before = actions();

    frmSearch* w = openSearch();
    ASSERT_EQ(search(w, QStringLiteral("delivery Étude")).size(), 6);
    // Double click, on the last hit.
    openRow(w, 5, false);
    EXPECT_EQ(gSearchItemIndex, 6);
    EXPECT_FALSE(gSearchOpenImprovement);
    ASSERT_EQ(activePlan(), plan);
    EXPECT_EQ(plan->lstCusName->selectedItems().size(), 1);
    EXPECT_EQ(plan->lstCusName->currentItem()->text(), QStringLiteral("Birch"));
    EXPECT_EQ(plan->dtdate->date(), d1);
    EXPECT_EQ(plan->txtDescription->text(), QStringLiteral("Étude de prix"));

    // Enter, on the first action hit, while Birch's other date is shown.
    plan->dtdate->setDate(d2);
    plan->dtdate_CloseUp();
    main()->windows()->showWindow(w);
    openRow(w, 4, true);
    ASSERT_EQ(activePlan(), plan);
    EXPECT_EQ(plan->lstCusName->currentItem()->text(), QStringLiteral("Acme"));
    EXPECT_EQ(plan->dtdate->date(), d1);
    EXPECT_EQ(plan->txtDescription->text(), QStringLiteral("Check delivery routes"));
    plan->cmdSave->click();
    EXPECT_EQ(actions(), before);
}

TEST_F(Search, OpeningASurveyHitShowsItsCustomerDateAndRespondentInTheFeedbackWindow)
{
    run(QStringLiteral("insert into survey (sdate, custid) values (?, 2), (?, 3)"), {iso(d1), iso(d2)});
    run(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                       "values (1, 1, 1, 1), (2, 1, 2, 1), (2, 4, 2, 2)"));
    frmSearch* w = openSearch();
    ASSERT_EQ(search(w, QStringLiteral("How arrive")).size(), 3);
    for (const auto& [row, byEnter, customer, date, respondent] :
         {std::tuple{0, false, "Acme", d1, "Ann"}, std::tuple{2, true, "Birch", d2, "Ben"}}) {
        main()->windows()->showWindow(w);
        openRow(w, row, byEnter);
        frmFeedBackObj* feedback = active<frmFeedBackObj>();
        ASSERT_NE(feedback, nullptr);
        EXPECT_FALSE(gSearchOpenFeedback);
        EXPECT_EQ(feedback->cmbCusName->currentText(), QLatin1String(customer));
        ASSERT_EQ(feedback->lstSurveyDates->selectedItems().size(), 1);
        EXPECT_EQ(feedback->lstSurveyDates->selectedItems().first()->text(), ValueFormat::formatDate(date));
        ASSERT_EQ(feedback->lstRespname->selectedItems().size(), 1);
        EXPECT_EQ(feedback->lstRespname->selectedItems().first()->text(), QLatin1String(respondent));
    }
}

TEST_F(Search, AHitThatCannotBeShownLeavesNoFlagBehind)
{
    frmSearch* w = openSearch();
    search(w, QStringLiteral("routes"));
    // The hit is no longer in the table.
    run(QStringLiteral("delete from search"));
    openRow(w, 0, true);
    EXPECT_FALSE(main()->isLoaded<frmImprovementPlan>());
    EXPECT_FALSE(gSearchOpenImprovement);

    // The search window has gone: the pending hit is dropped, and the window keeps what it shows.
    frmImprovementPlan* plan = openPlan();
    w->cmdClose->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(SearchHits::at(1).has_value());
    gSearchOpenImprovement = true;
    gSearchItemIndex = 1;
    plan->Form_Activate();
    EXPECT_FALSE(gSearchOpenImprovement);
    EXPECT_EQ(plan->lstCusName->currentItem()->text(), QStringLiteral("Acme"));
    EXPECT_EQ(plan->dtdate->date(), today);
}

TEST_F(Search, HitsBeyondRow32767OpenTheirOwnRow)
{
    frmSearch* w = openSearch();
    run(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 33000) "
                       "insert into search (sdate, \"Desc\", custname, tablename, Id) "
                       "select ?, 'Check delivery routes', 'Acme', 'Improvement Plan', i from n"),
        {iso(d2)});
    run(QStringLiteral("update search set custname='Birch', sdate=? where Id=33000"), {iso(d1)});
    w->toFillListView();
    ASSERT_EQ(w->lsvDtls->topLevelItemCount(), 33000);
    openRow(w, 32999, true);
    EXPECT_EQ(gSearchItemIndex, 33000);
    frmImprovementPlan* plan = activePlan();
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->lstCusName->currentItem()->text(), QStringLiteral("Birch"));
    EXPECT_EQ(plan->dtdate->date(), d1);
    EXPECT_EQ(plan->txtDescription->text(), QStringLiteral("Étude de prix"));
}
