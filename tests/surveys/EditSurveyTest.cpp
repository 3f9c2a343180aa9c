#include "SurveyFixture.h"

#include "surveys/frmEditExistingSurvey.h"
#include "surveys/frmSelectSurvey.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace
{

class EditSurvey : public SurveyFixture
{
protected:
    static QStringList dates(frmEditExistingSurvey* w)
    {
        QStringList list;
        for (int i = 0; i < w->lstSurvetDates->count(); ++i)
            list << w->lstSurvetDates->item(i)->data(Qt::UserRole).toDate().toString(Qt::ISODate);
        return list;
    }
    // Answers, report rows and a log row for a respondent's survey of a date.
    void addAnswers(const QString& respondent, const QDate& date)
    {
        const int r = respondentId(respondent);
        const int s = surveyId(date);
        const int q = questionId(QStringLiteral("Service"), QStringLiteral("Courtesy"));
        run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, "
                           "weightage, score) values (?, ?, ?, ?, 3, 4)"),
            {r, q, s, iso(date)});
        run(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, surveydate, "
                           "weightage, Description) values (?, ?, ?, ?, 2, 'fine')"),
            {r, q, s, iso(date)});
        run(QStringLiteral("insert into reportlinktable (respondentid, sdate, question) values (?, ?, 'x')"),
            {r, iso(date)});
        run(QStringLiteral("insert into log (custname, respname, xlsfilename, sdate, surveyid, respid) values "
                           "('Acme', ?, ?, ?, ?, ?)"),
            {respondent, respondent + QStringLiteral(".xlsx"), iso(date), s, r});
    }
    // A respondent's rows of one date in the answer, report and log tables.
    int traces(const QString& respondent, const QDate& date) const
    {
        int n = 0;
        for (const char* where : {"feedbackobjective where respondentid=? and surveydate=?",
                                  "feedbackdescriptive where respondentid=? and surveydate=?",
                                  "reportlinktable where respondentid=? and sdate=?", "log where respid=? and sdate=?"})
            n += value(QStringLiteral("select count(*) from ") + QLatin1String(where),
                       {respondentId(respondent), iso(date)})
                     .toInt();
        return n;
    }
    int rowsOf(const QString& table, const QString& respondentColumn, const QString& respondent) const
    {
        return value(QStringLiteral("select count(*) from %1 where %2=?").arg(table, respondentColumn),
                     {respondentId(respondent)})
            .toInt();
    }
    void pressDelete(frmEditExistingSurvey* w, int answer)
    {
        MsgBox::setNextAnswer(answer);
        QTest::keyClick(w->lstSurvetDates, Qt::Key_Delete);
    }
    // The user removes the selected date's only question; the date stays listed.
    static void removeOnlyQuestion(frmEditExistingSurvey* w)
    {
        w->grdParamAndQuest->setRow(1);
        QTest::mouseClick(w->cmdRemove, Qt::LeftButton);
        ASSERT_EQ(w->grdParamAndQuest->rows(), 2);
    }
};

} // namespace

TEST_F(EditSurvey, CascadesOnLoadAndOnEveryChange)
{
    frmEditExistingSurvey* empty = openEditor();
    EXPECT_EQ(empty->windowTitle(), QStringLiteral("Edit Survey"));
    EXPECT_EQ(empty->cmbCustomer->count(), 0);
    EXPECT_EQ(empty->lstRespondent->count(), 0);
    EXPECT_EQ(empty->grdParamAndQuest->rows(), 2);
    delete empty;

    storeSurvey(QStringLiteral("Ann"), d2, {QStringLiteral("Quality/Finish")});
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy"), QStringLiteral("Delivery/Notes")});
    storeSurvey(QStringLiteral("Bob"), d2, {QStringLiteral("Delivery/On time")});
    frmEditExistingSurvey* w = openEditor();
    EXPECT_EQ(w->cmbCustomer->count(), 1);
    EXPECT_EQ(w->lstRespondent->count(), 2); // every respondent, with a survey or not
    EXPECT_EQ(w->respondentName(), QStringLiteral("Ann"));
    EXPECT_EQ(dates(w), QStringList({iso(d1), iso(d2)}));
    EXPECT_EQ(w->surveyDate(), d1);
    EXPECT_TRUE(w->lstSurvetDates->item(0)->text().contains(QStringLiteral("2031")));
    EXPECT_EQ(gridEntries(w->grdParamAndQuest),
              QStringList({QStringLiteral("Service/Courtesy"), QStringLiteral("Delivery/Notes")}));

    w->lstSurvetDates->setCurrentRow(1);
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), QStringList({QStringLiteral("Quality/Finish")}));
    w->lstRespondent->setCurrentRow(1);
    EXPECT_EQ(dates(w), QStringList({iso(d2)}));
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), QStringList({QStringLiteral("Delivery/On time")}));

    // The customer's respondents are deleted meanwhile: choosing the customer again clears dates and grid.
    run(QStringLiteral("delete from respondent"));
    w->cmbCustomer_Click();
    EXPECT_EQ(w->lstRespondent->count(), 0);
    EXPECT_EQ(w->lstSurvetDates->count(), 0);
    EXPECT_EQ(w->grdParamAndQuest->rows(), 2);
    EXPECT_TRUE(w->grdParamAndQuest->textMatrix(1, 2).isEmpty());
}

TEST_F(EditSurvey, GuardsWithoutASurveyDate)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy")});
    frmEditExistingSurvey* w = openEditor();
    w->lstRespondent->setCurrentRow(1); // Bob: no survey date
    EXPECT_EQ(w->lstSurvetDates->count(), 0);
    EXPECT_EQ(w->grdParamAndQuest->rows(), 2);
    const QString before = snapshot();

    selectInTree(w->trvParameter, QStringLiteral("Service"), QStringLiteral("Courtesy"));
    QTest::keyClick(w->trvParameter, Qt::Key_Return);
    w->cmdRemove_Click();
    QTest::mouseClick(w->cmdCopy, Qt::LeftButton);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("No Survey Date available......"));
    EXPECT_EQ(boxes()[0].style, 80);
    EXPECT_EQ(boxes()[1].text, QStringLiteral("No Survey Date available for the Selected Respondent...Import from "
                                              "other survey cannot be performed.."));
    EXPECT_EQ(boxes()[1].style, 16);
    EXPECT_EQ(boxes()[1].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_EQ(snapshot(), before);

    // Dates listed but none selected: no survey's questions are on show.
    w->lstRespondent->setCurrentRow(0);
    w->lstSurvetDates->clearSelection();
    EXPECT_EQ(w->grdParamAndQuest->rows(), 2);
    EXPECT_TRUE(w->grdParamAndQuest->textMatrix(1, 2).isEmpty());
    MsgBox::clearRecords();
    selectInTree(w->trvParameter, QStringLiteral("Quality"), QStringLiteral("Finish"));
    w->cmdAdd_Click();
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("No Survey Date selected......Select one and proceed....."));
    // The editor refuses a parameter item with the message.
    w->lstSurvetDates->setCurrentRow(0);
    selectInTree(w->trvParameter, QStringLiteral("Quality"));
    QTest::keyClick(w->trvParameter, Qt::Key_Return);
    EXPECT_EQ(boxes().last().text, QStringLiteral("Select a Question to add"));
    EXPECT_EQ(snapshot(), before);

    // With a date, the editor adds and moves as the composition window does.
    selectInTree(w->trvParameter, QStringLiteral("Quality"), QStringLiteral("Finish"));
    w->grdParamAndQuest->setRow(2);
    QTest::keyClick(w->trvParameter, Qt::Key_Return);
    w->grdParamAndQuest->setRow(2);
    w->cmdUpward_Click();
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1),
              QStringList({QStringLiteral("Quality/Finish"), QStringLiteral("Service/Courtesy")}));
    EXPECT_EQ(w->grdParamAndQuest->row(), 1);
}

TEST_F(EditSurvey, DeletingADateOnlyThisRespondentUsed)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy"), QStringLiteral("Delivery/Notes")});
    storeSurvey(QStringLiteral("Ann"), d2, {QStringLiteral("Quality/Finish")});
    addAnswers(QStringLiteral("Ann"), d1);
    addAnswers(QStringLiteral("Ann"), d2);
    QFile workbook(folder() + QStringLiteral("/Ann.xlsx"));
    ASSERT_TRUE(workbook.open(QIODevice::WriteOnly));
    workbook.close();
    frmEditExistingSurvey* w = openEditor();
    ASSERT_EQ(w->surveyDate(), d1);

    const QString before = snapshot();
    pressDelete(w, MsgBox::No);
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].text, QStringLiteral("You are about to delete the survey dated ") +
                                   w->lstSurvetDates->item(0)->text() +
                                   QStringLiteral(" for Customer - Acme\r\nAre you sure you want to delete...?"));
    EXPECT_EQ(boxes()[0].style, 4);

    const int s1 = surveyId(d1);
    pressDelete(w, MsgBox::Yes);
    EXPECT_EQ(surveyId(d1), 0);
    EXPECT_EQ(value(QStringLiteral("select count(*) from responquesindex where surveyid=?"), {s1}).toInt(), 0);
    EXPECT_EQ(traces(QStringLiteral("Ann"), d1), 0);
    // The other date is untouched, now selected and shown; the workbook file stays.
    EXPECT_EQ(rowsOf(QStringLiteral("feedbackobjective"), QStringLiteral("respondentid"), QStringLiteral("Ann")), 1);
    EXPECT_EQ(count(QStringLiteral("log")), 1);
    EXPECT_EQ(dates(w), QStringList({iso(d2)}));
    EXPECT_EQ(gridEntries(w->grdParamAndQuest), QStringList({QStringLiteral("Quality/Finish")}));
    EXPECT_TRUE(QFile::exists(folder() + QStringLiteral("/Ann.xlsx")));
    EXPECT_EQ(Progress::text(), QString());

    pressDelete(w, MsgBox::Yes);
    EXPECT_EQ(count(QStringLiteral("survey")), 0);
    EXPECT_EQ(w->lstSurvetDates->count(), 0);
    EXPECT_EQ(w->grdParamAndQuest->rows(), 2);
}

TEST_F(EditSurvey, DeletingADateSharedWithAnotherRespondent)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy")});
    storeSurvey(QStringLiteral("Bob"), d1, {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish")});
    addAnswers(QStringLiteral("Ann"), d1);
    addAnswers(QStringLiteral("Bob"), d1);
    frmEditExistingSurvey* w = openEditor();
    pressDelete(w, MsgBox::Yes);
    EXPECT_NE(surveyId(d1), 0);
    EXPECT_TRUE(stored(QStringLiteral("Ann"), d1).isEmpty());
    EXPECT_EQ(stored(QStringLiteral("Bob"), d1).size(), 2);
    EXPECT_EQ(rowsOf(QStringLiteral("feedbackobjective"), QStringLiteral("respondentid"), QStringLiteral("Bob")), 1);
    EXPECT_EQ(rowsOf(QStringLiteral("feedbackobjective"), QStringLiteral("respondentid"), QStringLiteral("Ann")), 0);
    EXPECT_EQ(rowsOf(QStringLiteral("log"), QStringLiteral("respid"), QStringLiteral("Bob")), 1);
    EXPECT_EQ(rowsOf(QStringLiteral("log"), QStringLiteral("respid"), QStringLiteral("Ann")), 0);
}

TEST_F(EditSurvey, DeletingADateWhoseLastQuestionWasRemoved)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy")});
    storeSurvey(QStringLiteral("Ann"), d2, {QStringLiteral("Quality/Finish")});
    storeSurvey(QStringLiteral("Bob"), d2, {QStringLiteral("Delivery/On time")});
    addAnswers(QStringLiteral("Ann"), d1);
    addAnswers(QStringLiteral("Ann"), d2);
    addAnswers(QStringLiteral("Bob"), d2);
    frmEditExistingSurvey* w = openEditor();
    ASSERT_EQ(w->surveyDate(), d1);

    // Nobody else has questions on the date: the survey row goes with the respondent's answers and log row.
    removeOnlyQuestion(w);
    pressDelete(w, MsgBox::Yes);
    EXPECT_EQ(surveyId(d1), 0);
    EXPECT_EQ(traces(QStringLiteral("Ann"), d1), 0);
    EXPECT_EQ(traces(QStringLiteral("Ann"), d2), 4);
    EXPECT_EQ(dates(w), QStringList({iso(d2)}));

    // Another respondent still has questions on the date: the survey row and that respondent's rows stay.
    w->lstSurvetDates->setCurrentRow(0);
    removeOnlyQuestion(w);
    pressDelete(w, MsgBox::Yes);
    EXPECT_NE(surveyId(d2), 0);
    EXPECT_EQ(traces(QStringLiteral("Ann"), d2), 0);
    EXPECT_EQ(traces(QStringLiteral("Bob"), d2), 4);
    EXPECT_EQ(stored(QStringLiteral("Bob"), d2), QStringList({QStringLiteral("Delivery/On time")}));
    EXPECT_TRUE(dates(w).isEmpty());
    EXPECT_EQ(boxes().size(), 2); // the two questions, and no error
}

TEST_F(EditSurvey, DeleteWithoutASelectionDeletesNothingAndAFailureRollsBack)
{
    storeSurvey(QStringLiteral("Ann"), d1, {QStringLiteral("Service/Courtesy")});
    storeSurvey(QStringLiteral("Bob"), d2, {QStringLiteral("Quality/Finish")});
    addAnswers(QStringLiteral("Ann"), d1);
    frmEditExistingSurvey* w = openEditor();
    QString before = snapshot();
    w->lstSurvetDates->clearSelection();
    w->lstSurvetDates_KeyDown(46);
    EXPECT_TRUE(boxes().isEmpty());
    EXPECT_EQ(Progress::text(), QString());
    w->lstSurvetDates->setCurrentRow(0);
    QTest::keyClick(w->lstSurvetDates, Qt::Key_Period);
    EXPECT_TRUE(boxes().isEmpty());

    // The last statement is refused: the whole deletion is rolled back, with the grid full or emptied.
    run(QStringLiteral("create trigger refuse before delete on log begin select raise(abort, 'refused'); end"));
    ASSERT_EQ(w->grdParamAndQuest->rows(), 3);
    pressDelete(w, MsgBox::Yes);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(boxes().last().text.startsWith(QStringLiteral("Error : ")));
    w->lstSurvetDates->setCurrentRow(0);
    removeOnlyQuestion(w);
    before = snapshot();
    MsgBox::clearRecords();
    pressDelete(w, MsgBox::Yes);
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(boxes().size(), 2);
    EXPECT_TRUE(boxes()[1].text.startsWith(QStringLiteral("Error : ")));

    // A respondent renamed meanwhile is reported, and nothing is deleted.
    run(QStringLiteral("update respondent set respondentname='Anne' where respondentname='Ann'"));
    before = snapshot();
    pressDelete(w, MsgBox::Yes);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(boxes().last().text, notFoundBox(QStringLiteral("to delete"), QStringLiteral("Ann"), d1,
                                               QStringLiteral("Nothing was deleted.")));
}

TEST_F(EditSurvey, TheDateShownStaysChosenSoRemovingAndMovingAreStored)
{
    storeSurvey(
        QStringLiteral("Ann"), d1,
        {QStringLiteral("Service/Courtesy"), QStringLiteral("Quality/Finish"), QStringLiteral("Delivery/Notes")});
    frmEditExistingSurvey* w = openEditor();
    clickEntry(w->lstSurvetDates, 0, Qt::ControlModifier);
    clickEntry(w->lstSurvetDates, -1);
    clickEntry(w->lstRespondent, 0, Qt::ControlModifier);
    EXPECT_EQ(w->surveyDate(), d1);
    EXPECT_EQ(w->respondentName(), QStringLiteral("Ann"));

    FlexGrid* g = w->grdParamAndQuest;
    const QPoint first = g->visualRect(g->model()->index(1, 2)).center();
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1),
              QStringList({QStringLiteral("Quality/Finish"), QStringLiteral("Delivery/Notes")}));
    w->grdParamAndQuest->setRow(1);
    QTest::mouseClick(w->cmdDownward, Qt::LeftButton);
    EXPECT_EQ(stored(QStringLiteral("Ann"), d1),
              QStringList({QStringLiteral("Delivery/Notes"), QStringLiteral("Quality/Finish")}));
    EXPECT_TRUE(boxes().isEmpty());
}
