#include "FeedbackFixture.h"

#include <QPushButton>

namespace
{

using AnswerEntry = FeedbackFixture;

const QString kObjective = QStringLiteral("feedbackobjective");
const QString kDescriptive = QStringLiteral("feedbackdescriptive");

} // namespace

// Row 1 and 3 are scored, rows 2 and 4 descriptive.
TEST_F(AnswerEntry, CellRulesKeepOnlyValidAnswers)
{
    run(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                       "score) values (1, 3, 1, ?, 15, 4)"),
        {iso(d1)});
    auto w = open<frmFeedBackObj>();
    QLineEdit* editor = w->txtDtls;

    clickCell(w->grdDtls, 1, 2);
    type(editor, QStringLiteral("7"));
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2), QStringLiteral("7"));
    press(editor, Qt::Key_Backspace);
    type(editor, QStringLiteral("12"));
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2), QString());
    EXPECT_EQ(editor->text(), QString());
    type(editor, QStringLiteral("1-a 0x"));
    EXPECT_EQ(w->grdDtls->textMatrix(1, 2), QStringLiteral("10"));

    clickCell(w->grdDtls, 1, 3);
    type(editor, QStringLiteral("05"));
    EXPECT_EQ(w->grdDtls->textMatrix(1, 3), QStringLiteral("05"));

    // A pasted text that is no answer is not kept either.
    clickCell(w->grdDtls, 4, 2);
    editor->insert(QStringLiteral("-3"));
    EXPECT_EQ(w->grdDtls->textMatrix(4, 2), QString());

    // Score only on scored rows, description only on descriptive ones, the question never.
    for (const auto& [row, col] : {std::pair{2, 3}, std::pair{1, 4}, std::pair{1, 1}}) {
        const QString before = w->grdDtls->textMatrix(row, col);
        clickCell(w->grdDtls, row, col);
        type(editor, QStringLiteral("9x"));
        EXPECT_EQ(w->grdDtls->textMatrix(row, col), before) << row << "," << col;
        EXPECT_EQ(editor->text(), before);
    }
    clickCell(w->grdDtls, 2, 4);
    type(editor, QStringLiteral("Fine"));
    EXPECT_EQ(w->grdDtls->textMatrix(2, 4), QStringLiteral("Fine"));

    // A stored weightage beyond 10 (from a workbook) is emptied once the editor takes it.
    EXPECT_EQ(w->grdDtls->textMatrix(3, 2), QStringLiteral("15"));
    clickCell(w->grdDtls, 3, 2);
    EXPECT_EQ(w->grdDtls->textMatrix(3, 2), QString());
}

TEST_F(AnswerEntry, KeysWalkTheGridWithoutAddingRows)
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
    EXPECT_TRUE(editor->isVisible());

    clickHeading(w->grdDtls, 2);
    EXPECT_FALSE(editor->isVisible());
    clickCell(w->grdDtls, 2, 2);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(AnswerEntry, SavedAnswersComeBackInTheirStoredForms)
{
    auto w = open<frmFeedBackObj>();
    setCell(w.get(), 1, 2, QStringLiteral("5"));
    setCell(w.get(), 3, 2, QStringLiteral("2"));
    setCell(w.get(), 3, 3, QStringLiteral("9"));
    setCell(w.get(), 2, 4, QStringLiteral("  It's 'fine'  "));
    setCell(w.get(), 4, 4, QStringLiteral("  as typed  "));
    w->cmdSave->click();
    EXPECT_EQ(m_statusTexts, (QStringList{QStringLiteral("Saving....."), QString()}));

    // A blank cell leaves a new row's field unset; the two questions of one text keep their own answers.
    const QString survey = QStringLiteral("1");
    EXPECT_EQ(answer(kObjective, 1, 1, d1), (QStringList{QStringLiteral("5"), QStringLiteral("NULL"), survey}));
    EXPECT_EQ(answer(kObjective, 1, 3, d1), (QStringList{QStringLiteral("2"), QStringLiteral("9"), survey}));
    EXPECT_EQ(answer(kDescriptive, 1, 2, d1),
              (QStringList{QStringLiteral("NULL"), QStringLiteral("It\u2019s \u2019fine\u2019"), survey}));
    EXPECT_EQ(answer(kDescriptive, 1, 4, d1),
              (QStringList{QStringLiteral("NULL"), QStringLiteral("  as typed  "), survey}));

    // Saving again: blank cells of stored rows become 0, an emptied description is cleared.
    setCell(w.get(), 3, 2, QString());
    setCell(w.get(), 4, 4, QString());
    w->cmdSave->click();
    EXPECT_EQ(answer(kObjective, 1, 1, d1), (QStringList{QStringLiteral("5"), QStringLiteral("0"), survey}));
    EXPECT_EQ(answer(kObjective, 1, 3, d1), (QStringList{QStringLiteral("0"), QStringLiteral("9"), survey}));
    EXPECT_EQ(answer(kDescriptive, 1, 4, d1), (QStringList{QStringLiteral("0"), QStringLiteral("NULL"), survey}));

    clickEntry(w->lstRespname, QStringLiteral("Bob"));
    clickEntry(w->lstRespname, QStringLiteral("Ann"));
    EXPECT_EQ(column(w->grdDtls, 2), (QStringList{QStringLiteral("5"), QString(), QString(), QString()}));
    EXPECT_EQ(column(w->grdDtls, 3), (QStringList{QString(), QString(), QStringLiteral("9"), QString()}));
    EXPECT_EQ(column(w->grdDtls, 4),
              (QStringList{QString(), QStringLiteral("It\u2019s \u2019fine\u2019"), QString(), QString()}));
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(AnswerEntry, ReloadKeepsTypedAnswersWhereNothingIsStored)
{
    run(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, surveydate, weightage, "
                       "Description) values (1, 2, 1, ?, 3, NULL)"),
        {iso(d2)});
    auto w = open<frmFeedBackObj>();
    setCell(w.get(), 1, 2, QStringLiteral("4"));
    setCell(w.get(), 2, 2, QStringLiteral("6"));
    setCell(w.get(), 2, 4, QStringLiteral("kept"));
    w->tofillscoreandweightage();
    // Nothing stored for d1: a scored row keeps its typing, a descriptive row only its written answer.
    EXPECT_EQ(column(w->grdDtls, 2), (QStringList{QStringLiteral("4"), QString(), QString(), QString()}));
    EXPECT_EQ(w->grdDtls->textMatrix(2, 4), QStringLiteral("kept"));
}

TEST_F(AnswerEntry, ASaveThatFailsKeepsTheRowsStoredBeforeIt)
{
    auto w = open<frmFeedBackObj>();
    setCell(w.get(), 1, 2, QStringLiteral("3"));
    setCell(w.get(), 4, 2, QStringLiteral("4"));
    // The third row's question is deleted behind the window's back: the database refuses its answer.
    run(QStringLiteral("delete from questions where questionid=3"));
    w->cmdSave->click();
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().first().startsWith(QStringLiteral("Error : ")));
    EXPECT_EQ(answer(kObjective, 1, 1, d1).value(0), QStringLiteral("3"));
    EXPECT_EQ(value(QStringLiteral("select count(*) from feedbackdescriptive")).toInt(), 1);
    EXPECT_EQ(answer(kDescriptive, 1, 4, d1), QStringList{QStringLiteral("0 rows")});

    // Nothing is filed under a respondent that has gone.
    MsgBox::clearRecords();
    run(QStringLiteral("delete from respondent where respondentid=1"));
    const QString before = snapshot();
    w->cmdSave->click();
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Cannot Save.....Question details are missing")});
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(column(w->grdDtls, 2), (QStringList{QStringLiteral("3"), QString(), QString(), QStringLiteral("4")}));
}
