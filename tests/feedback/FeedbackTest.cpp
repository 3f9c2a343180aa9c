// The feedback window: choosing a respondent's survey, typing answers in, saving them and showing them again.

#include "feedback/frmFeedBackObj.h"
#include "support/ProgramFixture.h"

#include <QLabel>

namespace
{

// Acme with Ann and Bob, Zenith with Zoe, and Nobody without respondents. Two parameters hold a scored question of
// the same text ("Speed of reply") and a written one each. Ann's survey of d1 lists all four (rows 1 and 3 scored),
// stored in another order than their positions; Bob's of d2 the first; Zoe's of d1 the last.
class Feedback : public ProgramFixture
{
protected:
    const QDate d1{2031, 3, 14};
    const QDate d2{2031, 6, 1};
    int acme = 0, ann = 0, bob = 0;
    int q[5] = {};

    void SetUp() override
    {
        ProgramFixture::SetUp();
        acme = customer("Acme");
        const int zenith = customer("Zenith");
        customer("Nobody");
        ann = respondent(acme, "Ann");
        bob = respondent(acme, "Bob");
        q[1] = question("Service", "Speed of reply");
        q[2] = question("Service", "Comments", false);
        q[3] = question("Quality", "Speed of reply");
        q[4] = question("Quality", "Notes", false);
        ask(ann, d1, {q[3], q[4]}, 3);
        ask(ann, d1, {q[1], q[2]});
        ask(bob, d2, {q[1]});
        ask(respondent(zenith, "Zoe"), d1, {q[4]});
    }

    static void setCell(frmFeedBackObj* w, int row, int col, const QString& text)
    {
        ProgramFixture::setCell(w->grdDtls, w->txtDtls, row, col, text);
    }
    static QStringList questionsAndTypes(FlexGrid* grid)
    {
        QStringList rows;
        for (int r = 1; r < grid->rows(); ++r)
            rows << grid->textMatrix(r, 1) + '/' + grid->textMatrix(r, 5);
        return rows;
    }
    // The stored answer as "weightage|score or description|survey".
    QStringList stored(int respondentId, int questionId, const QDate& date) const
    {
        const QVariantList key = {respondentId, questionId, iso(date)};
        return table("select weightage, score, surveyid from feedbackobjective where respondentid=? and questionid=? "
                     "and surveydate=? union all select weightage, Description, surveyid from feedbackdescriptive "
                     "where respondentid=? and questionid=? and surveydate=?",
                     key + key);
    }
    void logAnnsWorkbook() const
    {
        run("insert into log (custname, respname, respid, sdate, xlsfilename) values ('Acme', 'Ann', 1, ?, "
            "'Acme_Ann.xlsx')",
            {iso(d1)});
    }
};

} // namespace

TEST_F(Feedback, ChoicesCascadeAndTheGridShowsNothingButTheChosenSurvey)
{
    logAnnsWorkbook();
    respondent(customer("Newco"), "Ned");
    auto w = open<frmFeedBackObj>();
    EXPECT_EQ(w->cmbCusName->currentText(), "Acme");
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), "Ann");
    EXPECT_EQ(texts(w->lstSurveyDates), QStringList({shown(d1), shown(d2)}));
    EXPECT_EQ(w->lstSurveyDates->selectedItems().value(0)->text(), shown(d1));
    EXPECT_EQ(questionsAndTypes(w->grdDtls),
              QStringList({"Speed of reply/True", "Comments/False", "Speed of reply/True", "Notes/False"}));
    EXPECT_EQ(w->lblSDate->text(), shown(d1));
    EXPECT_EQ(w->lblXLSFile->text(), "Survey File Name : Acme_Ann.xlsx");

    // A click on the date already chosen refreshes the grid from the database.
    setCell(w.get(), 2, 4, "typed, not saved");
    click(w->lstSurveyDates, shown(d1));
    EXPECT_EQ(w->grdDtls->textMatrix(2, 4), "");

    // Bob has no survey on d1: one row, emptied throughout, and no date or workbook shown.
    setCell(w.get(), 2, 4, "typed for Ann");
    click(w->lstRespname, "Bob");
    EXPECT_EQ(cells(w->grdDtls), QStringList(5, ""));
    EXPECT_EQ(w->lblSDate->text() + w->lblXLSFile->text(), "No Survey File Exported...");
    click(w->lstSurveyDates, shown(d2));
    EXPECT_EQ(questionsAndTypes(w->grdDtls), QStringList{"Speed of reply/True"});

    // A customer without respondents leaves nothing of Acme's survey on screen, and nothing can be saved.
    w->cmbCusName->setCurrentText("Nobody");
    EXPECT_EQ(w->lstRespname->count() + w->lstSurveyDates->count(), 0);
    EXPECT_EQ(cells(w->grdDtls), QStringList(5, ""));
    w->cmdSave->click();
    EXPECT_EQ(messages(), QStringList());
    EXPECT_EQ(value("select count(*) from feedbackobjective").toInt(), 0);

    w->cmbCusName->setCurrentText("Zenith");
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), "Zoe");
    EXPECT_EQ(questionsAndTypes(w->grdDtls), QStringList{"Notes/False"});
    // A respondent but no survey date: neither Zenith's date nor its workbook stays on screen.
    w->cmbCusName->setCurrentText("Newco");
    EXPECT_EQ(questionsAndTypes(w->grdDtls), QStringList{"/"});
    EXPECT_EQ(w->lblSDate->text() + w->lblXLSFile->text(), "");
}

TEST_F(Feedback, PressesBesideOrCtrlClicksOnTheChosenEntriesKeepTheSurveyOnScreen)
{
    auto w = open<frmFeedBackObj>();
    setCell(w.get(), 2, 4, "typed, not saved");
    for (QListWidget* list : {w->lstRespname, w->lstSurveyDates}) {
        const QPoint below(10, list->viewport()->height() - 4);
        ASSERT_EQ(list->itemAt(below), nullptr);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, below);
    }
    EXPECT_EQ(w->grdDtls->textMatrix(2, 4), "typed, not saved");
    EXPECT_EQ(w->lblSDate->text(), shown(d1));

    // Ctrl+click on a chosen entry is a click on it: the survey is refreshed, and stays chosen and shown.
    for (QListWidget* list : {w->lstRespname, w->lstSurveyDates})
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), "Ann");
    EXPECT_EQ(w->lstSurveyDates->selectedItems().value(0)->text(), shown(d1));
    EXPECT_EQ(w->grdDtls->rows(), 5);
    EXPECT_EQ(w->lblSDate->text(), shown(d1));
}

TEST_F(Feedback, SearchHitsAndEntriesOfOneNameOpenTheirOwnRespondent)
{
    // A second Ann at Acme, asked only "Comments" on d1; only the first Ann's workbook is logged.
    const int ann2 = respondent(acme, "Ann");
    ask(ann2, d1, {q[2]});
    answer(ann, q[2], d1, 3, "first", 1);
    answer(ann2, q[2], d1, 6, "second", 1);
    answer(bob, q[1], d2, 8, 9, 2);
    logAnnsWorkbook();
    const QList<SearchHit> hits = {{shown(d1), "Comments", "Acme", "Survey (Descriptive)", "2"},
                                   {shown(d2), "", "Acme", "Survey (Objective)", "1"},
                                   {shown(d2), "", "Acme", "Survey (Descriptive)", "99"}};
    SearchHits::setSource([&hits](int index) -> std::optional<SearchHit> { return hits.value(index - 1); });
    auto w = open<frmFeedBackObj>();
    w->cmbCusName->setCurrentText("Zenith");
    const auto openHit = [&](int index) {
        gSearchOpenFeedback = true;
        gSearchItemIndex = index;
        w->Form_Activate();
    };

    // The second Ann's answer opens her, not the first Ann of that name.
    openHit(1);
    EXPECT_FALSE(gSearchOpenFeedback);
    EXPECT_EQ(w->cmbCusName->currentText(), "Acme");
    EXPECT_TRUE(w->lstRespname->item(2)->isSelected());
    EXPECT_EQ(cells(w->grdDtls), QStringList({"Comments", "6", "", "second", "False"}));
    EXPECT_EQ(w->lblXLSFile->text(), "No Survey File Exported...");
    // Read In finds no workbook logged for her: it says so and touches nothing.
    const QString before = snapshot();
    w->cmdRead->click();
    EXPECT_EQ(messages(),
              QStringList{"There is no Survey File Exported for the Selected Repondent and Selected Survey Date..."});
    EXPECT_TRUE(MsgBox::fileDialogsShown().isEmpty());
    EXPECT_EQ(snapshot(), before);
    setCell(w.get(), 1, 4, "changed");
    w->cmdSave->click();
    EXPECT_EQ(stored(ann2, q[2], d1), QStringList{"6|changed|1"});
    EXPECT_EQ(stored(ann, q[2], d1), QStringList{"3|first|1"});

    // Bob's answer opens Bob on its date; a hit whose answer has gone, the customer's first respondent.
    openHit(2);
    EXPECT_EQ(w->lstRespname->selectedItems().value(0)->text(), "Bob");
    EXPECT_EQ(w->lblSDate->text(), shown(d2));
    EXPECT_EQ(cells(w->grdDtls).mid(1, 2), QStringList({"8", "9"}));
    openHit(3);
    EXPECT_TRUE(w->lstRespname->item(0)->isSelected());
    EXPECT_EQ(w->lstSurveyDates->selectedItems().value(0)->text(), shown(d2));
}

TEST_F(Feedback, ToolbarEntryOpensTheMenusOneWindowAndEscInTheEditorClosesIt)
{
    auto* w = open<frmFeedBackObj>(main()->btnmObjAndDesc);
    ASSERT_TRUE(w);
    EXPECT_EQ(open<frmFeedBackObj>(main()->mnuObjective), w);
    EXPECT_TRUE(w->txtDtls->hasFocus());
    QTest::keyClick(w->txtDtls, Qt::Key_Escape);
    EXPECT_FALSE(main()->isLoaded<frmFeedBackObj>());
}

TEST_F(Feedback, CellRulesKeepOnlyValidAnswers)
{
    answer(ann, q[3], d1, 15, 4);
    auto w = open<frmFeedBackObj>();
    QLineEdit* editor = w->txtDtls;
    clickCell(w->grdDtls, 1, 2);
    type(editor, "7");
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2), "7");
    press(editor, Qt::Key_Backspace);
    type(editor, "12");
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2) + editor->text(), "");
    type(editor, "1-a 0x");
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2), "10");
    // A pasted text that is no answer is not kept either.
    clickCell(w->grdDtls, 4, 2);
    editor->insert("-3");
    EXPECT_EQ(w->grdDtls->textMatrix(4, 2), "");

    // Score only on scored rows, description only on written ones, the question never.
    for (const auto& [row, col] : {std::pair{2, 3}, std::pair{1, 4}, std::pair{1, 1}}) {
        const QString before = w->grdDtls->textMatrix(row, col);
        clickCell(w->grdDtls, row, col);
        type(editor, "9x");
        EXPECT_EQ(w->grdDtls->textMatrix(row, col), before) << row << "," << col;
    }
    // A stored weightage beyond 10 (from a workbook) is emptied once the editor takes it.
    EXPECT_EQ(w->grdDtls->textMatrix(3, 2), "15");
    clickCell(w->grdDtls, 3, 2);
    EXPECT_EQ(w->grdDtls->textMatrix(3, 2), "");
}

TEST_F(Feedback, KeysWalkTheGridWithoutAddingRows)
{
    auto w = open<frmFeedBackObj>();
    QLineEdit* editor = w->txtDtls;
    const auto at = [&] { return std::pair{w->grdDtls->row(), w->grdDtls->col()}; };
    clickCell(w->grdDtls, 1, 3);
    press(editor, Qt::Key_Return);
    EXPECT_EQ(at(), std::pair(1, 4));
    press(editor, Qt::Key_Return);
    EXPECT_EQ(at(), std::pair(2, 1));
    press(editor, Qt::Key_Up, 2);
    EXPECT_EQ(at(), std::pair(1, 1));
    press(editor, Qt::Key_Down, 5);
    press(editor, Qt::Key_Right, 4);
    EXPECT_EQ(at(), std::pair(4, 4));
    press(editor, Qt::Key_Return);
    EXPECT_EQ(at(), std::pair(4, 4));
    EXPECT_EQ(w->grdDtls->rows(), 5);
    // A press on a heading hides the editor; one on a cell brings it back.
    clickHeading(w->grdDtls, 2);
    EXPECT_FALSE(editor->isVisible());
    clickCell(w->grdDtls, 2, 2);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(Feedback, TabMovesToTheNextCellThatTakesAnAnswerWithWhatWasTyped)
{
    auto* w = open<frmFeedBackObj>(main()->mnuObjective);
    ASSERT_TRUE(w);
    const auto at = [&] { return std::pair{w->grdDtls->row(), w->grdDtls->col()}; };
    const auto keys = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    const auto tab = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); };
    ASSERT_EQ(at(), std::pair(1, 1));
    tab(); // past the question
    keys("7");
    tab();
    EXPECT_EQ(at(), std::pair(1, 3));
    keys("9");
    clickCell(w->grdDtls, 2, 2);
    keys("4");
    tab(); // a written question takes no score
    EXPECT_EQ(at(), std::pair(2, 4));
    keys("fine");
    w->cmdSave->click();
    EXPECT_EQ(stored(ann, q[1], d1), QStringList{"7|9|1"});
    EXPECT_EQ(stored(ann, q[2], d1), QStringList{"4|fine|1"});
}

TEST_F(Feedback, TabAtARowsEndGoesOnToTheNextRowAndLeavesTheGridOnlyForSave)
{
    auto* w = open<frmFeedBackObj>(main()->mnuObjective);
    ASSERT_TRUE(w);
    const auto at = [&] { return std::pair{w->grdDtls->row(), w->grdDtls->col()}; };
    const auto keys = [](const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); };
    const auto tab = [](Qt::KeyboardModifiers shift = {}) {
        QTest::keyClick(QApplication::focusWidget(), shift ? Qt::Key_Backtab : Qt::Key_Tab, shift);
    };
    clickCell(w->grdDtls, 1, 2);
    keys("8");
    tab();
    keys("7");
    tab();     // past the scored row's score: the next row's weightage, where a letter is refused
    keys("z"); // the first letter of another customer
    EXPECT_EQ(at(), std::pair(2, 2));
    EXPECT_EQ(w->cmbCusName->currentText(), "Acme");
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2) + '|' + w->grdDtls->textMatrix(1, 3), "8|7");
    tab(Qt::ShiftModifier);
    EXPECT_EQ(at(), std::pair(1, 3));

    clickCell(w->grdDtls, 4, 4);
    keys("done");
    tab();
    EXPECT_EQ(QApplication::focusWidget(), w->cmdSave);
    clickCell(w->grdDtls, 1, 2);
    tab(Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), w->cmdClose);
    keys("z");
    EXPECT_EQ(w->cmbCusName->currentText(), "Acme");
    EXPECT_EQ(w->grdDtls->textMatrix(4, 4), "done");
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2), "8");
}

TEST_F(Feedback, SavedAnswersComeBackInTheirStoredForms)
{
    answer(ann, q[2], d2, 3, QVariant()); // another date's answer
    auto w = open<frmFeedBackObj>();
    // Nothing stored for d1: the answers shown again keep a scored row's typing, a written row's answer alone.
    setCell(w.get(), 1, 2, "4");
    setCell(w.get(), 2, 2, "6");
    setCell(w.get(), 2, 4, "kept");
    w->tofillscoreandweightage();
    EXPECT_EQ(column(w->grdDtls, 2), QStringList({"4", "", "", ""}));
    EXPECT_EQ(w->grdDtls->textMatrix(2, 4), "kept");

    setCell(w.get(), 1, 2, "5");
    setCell(w.get(), 3, 2, "2");
    setCell(w.get(), 3, 3, "9");
    setCell(w.get(), 2, 4, "  It's 'fine'  ");
    setCell(w.get(), 4, 4, "  as typed  ");
    w->cmdSave->click();
    // A blank cell leaves a new row's field unset; the two questions of one text keep their own answers.
    EXPECT_EQ(stored(ann, q[1], d1), QStringList{"5|NULL|1"});
    EXPECT_EQ(stored(ann, q[3], d1), QStringList{"2|9|1"});
    EXPECT_EQ(stored(ann, q[2], d1), QStringList{"NULL|It\u2019s \u2019fine\u2019|1"});
    EXPECT_EQ(stored(ann, q[4], d1), QStringList{"NULL|  as typed  |1"});

    // Saving again: blank cells of stored rows become 0, an emptied description is cleared.
    setCell(w.get(), 3, 2, "");
    setCell(w.get(), 4, 4, "");
    w->cmdSave->click();
    EXPECT_EQ(stored(ann, q[1], d1), QStringList{"5|0|1"});
    EXPECT_EQ(stored(ann, q[3], d1), QStringList{"0|9|1"});
    EXPECT_EQ(stored(ann, q[4], d1), QStringList{"0|NULL|1"});

    click(w->lstRespname, "Bob");
    click(w->lstRespname, "Ann");
    EXPECT_EQ(cells(w->grdDtls).mid(4, 12),
              QStringList({"5", "", "", "", "", "", "9", "", "", "It\u2019s \u2019fine\u2019", "",
                           ""})); // weightage, score, description
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(Feedback, AQuestionAskedTwiceKeepsOneAnswerRow)
{
    run("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") select respondentid, questionid, "
        "surveyid, 2 from responquesindex where respondentid=?",
        {bob});
    auto w = open<frmFeedBackObj>();
    click(w->lstRespname, "Bob");
    click(w->lstSurveyDates, shown(d2));
    setCell(w.get(), 1, 2, "3");
    setCell(w.get(), 2, 3, "9");
    w->cmdSave->click();
    // The second row changes the row the first one added, its blank weightage as a stored row's.
    EXPECT_EQ(stored(bob, q[1], d2), QStringList{"0|9|2"});
    click(w->lstSurveyDates, shown(d2));
    EXPECT_EQ(column(w->grdDtls, 3), QStringList({"9", "9"}));
}

TEST_F(Feedback, ASaveThatFailsKeepsTheRowsStoredBeforeIt)
{
    auto w = open<frmFeedBackObj>();
    setCell(w.get(), 1, 2, "3");
    setCell(w.get(), 4, 2, "4");
    // The third row's question is deleted behind the window's back: the database refuses its answer.
    run("delete from questions where questionid=3");
    w->cmdSave->click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith("Error : "));
    EXPECT_EQ(stored(ann, q[1], d1), QStringList{"3|NULL|1"});
    EXPECT_EQ(value("select count(*) from feedbackdescriptive").toInt(), 1);
    EXPECT_EQ(stored(ann, q[4], d1), QStringList());

    // Nothing is filed under a respondent that has gone.
    MsgBox::clearRecords();
    run("delete from respondent where respondentid=1");
    const QString before = snapshot();
    w->cmdSave->click();
    EXPECT_EQ(messages(), QStringList{"Cannot Save.....Question details are missing"});
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(column(w->grdDtls, 2), QStringList({"3", "", "", "4"}));
}
