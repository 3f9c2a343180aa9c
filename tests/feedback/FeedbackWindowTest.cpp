#include "FeedbackFixture.h"

#include "shell/MDIMain.h"
#include "shell/SearchHits.h"
#include "shell/gblGlobal.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>

namespace
{

using FeedbackWindow = FeedbackFixture;

QStringList questionsAndTypes(FlexGrid* grid)
{
    QStringList rows;
    for (int r = 1; r < grid->rows(); ++r)
        rows << grid->textMatrix(r, 1) + QLatin1Char('/') + grid->textMatrix(r, 5);
    return rows;
}

} // namespace

TEST_F(FeedbackWindow, OpeningChoosesTheFirstCustomerRespondentAndDateAndListsTheSurveyInOrder)
{
    run(QStringLiteral("insert into log (custname, respname, respid, sdate, xlsfilename) values "
                       "('Acme', 'Ann', 1, ?, 'Acme_Ann.xlsx')"),
        {iso(d1)});
    auto w = open<frmFeedBackObj>();
    EXPECT_EQ(w->cmbCusName->currentText(), QStringLiteral("Acme"));
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), QStringLiteral("Ann"));
    EXPECT_EQ(w->lstSurveyDates->count(), 2);
    EXPECT_EQ(w->lstSurveyDates->selectedItems().value(0)->text(), dateText(d1));
    EXPECT_EQ(questionsAndTypes(w->grdDtls),
              (QStringList{QStringLiteral("Speed of reply/True"), QStringLiteral("Comments/False"),
                           QStringLiteral("Speed of reply/True"), QStringLiteral("Notes/False")}));
    EXPECT_EQ(w->lblSDate->text(), dateText(d1));
    EXPECT_EQ(w->lblXLSFile->text(), QStringLiteral("Survey File Name : Acme_Ann.xlsx"));
    EXPECT_EQ(w->grdDtls->colWidth(5), 0);
    EXPECT_TRUE(w->cmdRead->isEnabled());
    EXPECT_TRUE(w->txtDtls->isVisible());
    EXPECT_EQ(w->grdDtls->row(), 1);
    EXPECT_EQ(w->grdDtls->col(), 1);
}

TEST_F(FeedbackWindow, GridFollowsTheChoicesAndNeverShowsAnotherSurveysAnswers)
{
    auto w = open<frmFeedBackObj>();
    // A click on the date already chosen refreshes the grid from the database.
    setCell(w.get(), 2, 4, QStringLiteral("typed, not saved"));
    clickEntry(w->lstSurveyDates, dateText(d1));
    EXPECT_EQ(w->grdDtls->textMatrix(2, 4), QString());
    setCell(w.get(), 2, 4, QStringLiteral("typed for Ann"));

    // Bob has no survey on d1: one row, emptied throughout, and no date or workbook shown.
    clickEntry(w->lstRespname, QStringLiteral("Bob"));
    EXPECT_EQ(w->grdDtls->rows(), 2);
    EXPECT_EQ(column(w->grdDtls, 4), QStringList{QString()});
    EXPECT_EQ(column(w->grdDtls, 5), QStringList{QString()});
    EXPECT_EQ(w->lblSDate->text(), QString());
    EXPECT_EQ(w->lblXLSFile->text(), QStringLiteral("No Survey File Exported..."));
    clickEntry(w->lstSurveyDates, dateText(d2));
    EXPECT_EQ(questionsAndTypes(w->grdDtls), QStringList{QStringLiteral("Speed of reply/True")});

    // A customer without respondents leaves nothing of Acme's survey on screen, and nothing can be saved.
    w->cmbCusName->setCurrentText(QStringLiteral("Nobody"));
    EXPECT_EQ(w->lstRespname->count(), 0);
    EXPECT_EQ(w->lstSurveyDates->count(), 0);
    EXPECT_EQ(questionsAndTypes(w->grdDtls), QStringList{QStringLiteral("/")});
    w->cmdSave->click();
    EXPECT_EQ(messages(), QStringList());
    EXPECT_EQ(value(QStringLiteral("select count(*) from feedbackobjective")).toInt(), 0);

    w->cmbCusName->setCurrentText(QStringLiteral("Zenith"));
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), QStringLiteral("Zoe"));
    EXPECT_EQ(questionsAndTypes(w->grdDtls), QStringList{QStringLiteral("Notes/False")});
}

TEST_F(FeedbackWindow, SearchHitOpensItsCustomerDateAndOwnRespondent)
{
    run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                       "score) values (2, 1, 2, ?, 8, 9)"),
        {iso(d2)});
    QList<SearchHit> hits = {
        {dateText(d2), QStringLiteral("Speed of reply"), QStringLiteral("Acme"), QStringLiteral("Survey (Objective)"),
         QStringLiteral("1")},
        {dateText(d2), QString(), QStringLiteral("Acme"), QStringLiteral("Survey (Descriptive)"), QStringLiteral("1")},
    };
    SearchHits::setSource([&hits](int index) -> std::optional<SearchHit> { return hits.value(index - 1); });
    auto w = open<frmFeedBackObj>();
    w->cmbCusName->setCurrentText(QStringLiteral("Zenith"));

    gSearchOpenFeedback = true;
    gSearchItemIndex = 1;
    w->Form_Activate();
    EXPECT_FALSE(gSearchOpenFeedback);
    EXPECT_EQ(w->cmbCusName->currentText(), QStringLiteral("Acme"));
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), QStringLiteral("Bob"));
    EXPECT_EQ(w->lblSDate->text(), dateText(d2));
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2), QStringLiteral("8"));
    EXPECT_EQ(w->grdDtls->textMatrix(1, 3), QStringLiteral("9"));

    // A hit whose answer row is gone: the customer's first respondent, on the hit's date.
    gSearchOpenFeedback = true;
    gSearchItemIndex = 2;
    w->Form_Activate();
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), QStringLiteral("Ann"));
    EXPECT_EQ(w->lstSurveyDates->selectedItems().value(0)->text(), dateText(d2));
    SearchHits::setSource({});
}

TEST_F(FeedbackWindow, MenuAndToolbarOpenTheOneWindowAndEscClosesIt)
{
    MDIMain main;
    main.show();
    QApplication::setActiveWindow(&main);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    ASSERT_TRUE(main.mnuObjective->isEnabled());
    main.mnuObjective->trigger();
    auto* w = main.windows()->find<frmFeedBackObj>();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->txtDtls->hasFocus());
    EXPECT_EQ(main.statusText(), QString());

    ASSERT_TRUE(main.btnmObjAndDesc->isEnabled());
    main.btnmObjAndDesc->trigger();
    EXPECT_EQ(main.windows()->find<frmFeedBackObj>(), w);

    QTest::keyClick(w->txtDtls, Qt::Key_Escape);
    EXPECT_FALSE(main.isLoaded<frmFeedBackObj>());
}
