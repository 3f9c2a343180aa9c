#include "MasterDataFixture.h"

#include "masterdata/frmParameter.h"

#include <QComboBox>
#include <QPushButton>

namespace
{

const QString kRightQuote = QString(QChar(0x2019));

class ParameterWindow : public MasterDataFixture
{
protected:
    void seedParameter(int id, const QString& name)
    {
        run(QStringLiteral("insert into parameter (paramid, parametername) values (?, ?)"), {id, name});
    }
    void seedQuestion(int id, int parameter, const QString& text, bool score)
    {
        run(QStringLiteral("insert into questions (questionid, question, Type, paramid) values (?, ?, ?, ?)"),
            {id, text, score ? 1 : 0, parameter});
    }
};

} // namespace

TEST_F(ParameterWindow, TypeCellFollowsItsRuleAndIsStoredAsTheTypeItShows)
{
    EXPECT_EQ(frmParameter::typeRule(QStringLiteral(" s ")), QStringLiteral("Score"));
    EXPECT_EQ(frmParameter::typeRule(QStringLiteral("D")), QStringLiteral("Descriptive"));
    EXPECT_EQ(frmParameter::typeRule(QStringLiteral("x")), QString());
    EXPECT_EQ(frmParameter::typeRule(QStringLiteral("score")), QString());
    EXPECT_EQ(frmParameter::typeRule(QStringLiteral("Scor")), QStringLiteral("Scor"));

    seedParameter(1, QStringLiteral("Delivery"));
    auto w = open<frmParameter>();
    const auto question = [&](const QString& text, const QString& typed) {
        type(w->txtQuestionDtls, text);
        press(w->txtQuestionDtls, Qt::Key_Return); // to the Type column
        type(w->txtQuestionDtls, typed);
        EXPECT_EQ(w->grdQuestionDtls->textMatrix(w->grdQuestionDtls->row(), 2), w->txtQuestionDtls->text());
        press(w->txtQuestionDtls, Qt::Key_Return); // appends a blank row, stores nothing
    };
    question(QStringLiteral("On time?"), QStringLiteral("s"));
    EXPECT_EQ(w->grdQuestionDtls->textMatrix(1, 2), QStringLiteral("Score"));
    EXPECT_EQ(count(QStringLiteral("questions")), 0);
    question(QStringLiteral("Why late?"), QStringLiteral(" d"));
    question(QStringLiteral("Blank type"), QString());
    question(QStringLiteral("Lower case"), QStringLiteral("x"));
    question(QStringLiteral("Longer"), QStringLiteral("Scorex"));
    type(w->txtQuestionDtls, QStringLiteral("Shortened"));
    press(w->txtQuestionDtls, Qt::Key_Return);
    type(w->txtQuestionDtls, QStringLiteral("s"));
    press(w->txtQuestionDtls, Qt::Key_Backspace);
    EXPECT_EQ(w->txtQuestionDtls->text(), QStringLiteral("Scor"));
    EXPECT_EQ(w->grdQuestionDtls->rows(), 7);

    w->cmdSaveQuestion->click();
    EXPECT_EQ(rows(QStringLiteral("select question, Type, paramid from questions order by questionid")),
              (QVariantList{
                  QVariantList{QStringLiteral("On time?"), 1, 1}, QVariantList{QStringLiteral("Why late?"), 0, 1},
                  QVariantList{QStringLiteral("Blank type"), 1, 1}, QVariantList{QStringLiteral("Lower case"), 1, 1},
                  QVariantList{QStringLiteral("Longer"), 1, 1}, QVariantList{QStringLiteral("Shortened"), 1, 1}}));
    EXPECT_EQ(column(w->grdQuestionDtls, 2),
              (QStringList{QStringLiteral("Score"), QStringLiteral("Descriptive"), QStringLiteral("Score"),
                           QStringLiteral("Score"), QStringLiteral("Score"), QStringLiteral("Score")}));
}

TEST_F(ParameterWindow, CmbTypeWritesTheChosenTypeAndEnterReturnsToTheQuestion)
{
    seedParameter(1, QStringLiteral("Delivery"));
    seedQuestion(5, 1, QStringLiteral("On time?"), true);
    auto w = open<frmParameter>();
    for (QPushButton* b : {w->cmdAddParameter, w->cmdSaveParameter, w->cmdDeleteParameter, w->cmdAddQuestion,
                           w->cmdSaveQuestion, w->cmdDeleteQuestion})
        EXPECT_TRUE(b->icon().isNull()) << b->objectName().toStdString(); // only Help and Close have pictures
    EXPECT_FALSE(w->cmdHelp->icon().isNull());
    ASSERT_EQ(w->cmbType->count(), 2);
    EXPECT_EQ(w->cmbType->itemText(0), QStringLiteral("Score"));
    EXPECT_EQ(w->cmbType->itemText(1), QStringLiteral("Descriptive"));
    press(w->txtQuestionDtls, Qt::Key_Return); // editor over the Type cell
    w->cmbType->setCurrentIndex(1);
    emit w->cmbType->activated(1);
    EXPECT_EQ(w->grdQuestionDtls->textMatrix(1, 2), QStringLiteral("Descriptive"));
    EXPECT_EQ(w->txtQuestionDtls->text(), QStringLiteral("Descriptive"));
    press(w->cmbType->lineEdit(), Qt::Key_Return);
    EXPECT_TRUE(w->cmbType->isHidden());
    EXPECT_EQ(w->grdQuestionDtls->col(), 1);
    w->cmdSaveQuestion->click();
    EXPECT_EQ(value(QStringLiteral("select Type from questions where questionid = 5")).toInt(), 0);
}

TEST_F(ParameterWindow, NamesAreUniqueOnInsertionOnlyAndApostrophesRoundTrip)
{
    auto w = open<frmParameter>();
    ASSERT_EQ(w->grdParameterDtls->rows(), 2);
    ASSERT_EQ(w->grdQuestionDtls->rows(), 2);
    type(w->txtParameterDtls, QStringLiteral("Buyer's view"));
    press(w->txtParameterDtls, Qt::Key_Return); // Add: saves, appends a row
    EXPECT_EQ(w->grdParameterDtls->row(), 2);
    type(w->txtParameterDtls, QStringLiteral("BUYER'S VIEW"));
    w->cmdSaveParameter->click();
    w->cmdSaveParameter->click();
    EXPECT_EQ(rows(QStringLiteral("select parametername from parameter")),
              QVariantList{QVariantList{QStringLiteral("Buyer") + kRightQuote + QStringLiteral("s view")}});
    EXPECT_EQ(column(w->grdParameterDtls, 1),
              QStringList{QStringLiteral("Buyer") + kRightQuote + QStringLiteral("s view")});
    EXPECT_TRUE(MsgBox::shown().isEmpty());

    // Messages: blank names, blank questions.
    w->cmdAddParameter->click();
    w->cmdAddParameter->click();
    w->cmdSaveParameter->click();
    ASSERT_EQ(MsgBox::shown().size(), 2);
    EXPECT_EQ(MsgBox::shown()[0].text, QStringLiteral("Parameter Name Cannot be left blank....Error"));
    EXPECT_EQ(MsgBox::shown()[1].text, QStringLiteral("Parameter Name cannot be left blank....Error"));
    for (const MsgBox::Shown& s : MsgBox::shown()) {
        EXPECT_EQ(s.style, 16);
        EXPECT_EQ(s.title, QStringLiteral("Quorvane v2.1"));
    }
    EXPECT_EQ(w->grdParameterDtls->row(), 2);
    MsgBox::clearRecords();
    clickCell(w->grdParameterDtls, 1, 1);
    w->cmdAddQuestion->click();
    w->cmdSaveQuestion->click();
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("Question Cannot be left blank....Error"),
                                       QStringLiteral("Question name cannot be left blank...Error")}));
    EXPECT_EQ(w->grdQuestionDtls->row(), 0);
    EXPECT_EQ(w->grdQuestionDtls->col(), 0);
}

TEST_F(ParameterWindow, QuestionsStayWithTheParameterTheGridShows)
{
    seedParameter(1, QStringLiteral("Delivery"));
    seedParameter(2, QStringLiteral("Price"));
    seedQuestion(5, 1, QStringLiteral("On time?"), true);
    seedQuestion(6, 2, QStringLiteral("Fair?"), false);
    auto w = open<frmParameter>();
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{QStringLiteral("On time?")});
    press(w->txtParameterDtls, Qt::Key_Down);
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{QStringLiteral("Fair?")});
    press(w->txtParameterDtls, Qt::Key_Up);
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{QStringLiteral("On time?")});

    // A refused Add makes the blank row current while Delivery's questions are still shown: they stay Delivery's.
    press(w->txtParameterDtls, Qt::Key_Down);
    press(w->txtParameterDtls, Qt::Key_Down); // appends a blank parameter row
    press(w->txtParameterDtls, Qt::Key_Up, 2);
    clickCell(w->grdQuestionDtls, 1, 1);
    type(w->txtQuestionDtls, QStringLiteral(" edited"));
    w->cmdAddParameter->click(); // refused: the blank row 3 becomes current
    EXPECT_EQ(w->grdParameterDtls->row(), 3);
    w->cmdSaveQuestion->click();
    EXPECT_EQ(rows(QStringLiteral("select questionid, question, paramid from questions order by questionid")),
              (QVariantList{QVariantList{5, QStringLiteral("On time? edited"), 1},
                            QVariantList{6, QStringLiteral("Fair?"), 2}}));

    // Questions of a parameter without a key are not stored, silently.
    clickCell(w->grdParameterDtls, 3, 1);
    type(w->txtQuestionDtls, QStringLiteral("Orphan"));
    MsgBox::clearRecords();
    w->cmdSaveQuestion->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_EQ(count(QStringLiteral("questions")), 2);
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{QStringLiteral("Orphan")});
}

TEST_F(ParameterWindow, DeletingAParameterCascadesAndCancelChangesNothing)
{
    seedParameter(1, QStringLiteral("Delivery"));
    seedParameter(2, QStringLiteral("Price"));
    seedQuestion(5, 1, QStringLiteral("On time?"), true);
    seedQuestion(6, 2, QStringLiteral("Fair?"), false);
    run(QStringLiteral("insert into customer (custid, custname) values (1, 'C')"));
    run(QStringLiteral("insert into respondent (respondentid, custid, respondentdesignation) values (1, 1, 'x')"));
    run(QStringLiteral("insert into responquesindex (respondentid, questionid, \"Order\") values (1, 5, 1)"));
    run(QStringLiteral("insert into feedbackobjective (respondentid, questionid) values (1, 5)"));
    auto w = open<frmParameter>();
    press(w->txtParameterDtls, Qt::Key_Down);
    press(w->txtParameterDtls, Qt::Key_Down);
    type(w->txtParameterDtls, QStringLiteral("Unsaved"));
    press(w->txtParameterDtls, Qt::Key_Up, 2);
    const QString before = snapshot();

    MsgBox::setNextAnswer(MsgBox::Cancel);
    w->cmdDeleteParameter->click();
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown()[0].text,
              QStringLiteral("Deleting of parameter will delete all the Corresponding records"));
    EXPECT_EQ(MsgBox::shown()[0].style, 1);
    EXPECT_EQ(MsgBox::shown()[0].title, QStringLiteral("Quorvane v2.1"));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(column(w->grdParameterDtls, 1),
              (QStringList{QStringLiteral("Delivery"), QStringLiteral("Price"), QStringLiteral("Unsaved")}));
    EXPECT_EQ(Progress::text(), QString());

    w->cmdDeleteParameter->click(); // OK
    EXPECT_EQ(count(QStringLiteral("parameter where paramid = 1")), 0);
    EXPECT_EQ(count(QStringLiteral("questions where paramid = 1")), 0);
    EXPECT_EQ(count(QStringLiteral("responquesindex")), 0);
    EXPECT_EQ(count(QStringLiteral("feedbackobjective")), 0);
    EXPECT_EQ(count(QStringLiteral("questions")), 1);
    // The unsaved row below is saved with the rows left, not lost.
    EXPECT_EQ(column(w->grdParameterDtls, 1), (QStringList{QStringLiteral("Price"), QStringLiteral("Unsaved")}));

    // Deleting a question asks nothing and leaves its parameter.
    MsgBox::clearRecords();
    clickCell(w->grdParameterDtls, 1, 1);
    w->cmdDeleteQuestion->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    EXPECT_EQ(count(QStringLiteral("questions")), 0);
    EXPECT_EQ(count(QStringLiteral("parameter")), 2);
    EXPECT_TRUE(w->cmbType->isHidden());

    // The last parameters gone, both grids hold one blank row.
    w->cmdDeleteParameter->click();
    w->cmdDeleteParameter->click();
    EXPECT_EQ(count(QStringLiteral("parameter")), 0);
    EXPECT_EQ(column(w->grdParameterDtls, 1), QStringList{QString()});
    EXPECT_EQ(column(w->grdParameterDtls, 2), QStringList{QString()});
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{QString()});
}

TEST_F(ParameterWindow, ProviderErrorMidSaveLeavesTheDatabaseAsItWas)
{
    seedParameter(1, QStringLiteral("Delivery"));
    run(QStringLiteral("create trigger refuse before insert on questions when new.question = 'Bad' "
                       "begin select raise(abort, 'refused'); end"));
    auto w = open<frmParameter>();
    type(w->txtQuestionDtls, QStringLiteral("Good"));
    press(w->txtQuestionDtls, Qt::Key_Down);
    type(w->txtQuestionDtls, QStringLiteral("Bad"));
    const QString before = snapshot();
    w->cmdSaveQuestion->click();
    EXPECT_EQ(snapshot(), before);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown()[0].text.startsWith(QStringLiteral("Error : ")));
    EXPECT_EQ(column(w->grdQuestionDtls, 1), (QStringList{QStringLiteral("Good"), QStringLiteral("Bad")}));
}

TEST_F(ParameterWindow, EscIsLeftToTheWindowByTheEditorsAndTheTypeList)
{
    auto w = open<frmParameter>();
    struct Watcher : QObject {
        int escapes = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
                ++escapes;
            return false;
        }
    } watcher;
    w->installEventFilter(&watcher);
    QTest::keyClick(w->txtParameterDtls, Qt::Key_Escape);
    QTest::keyClick(w->txtQuestionDtls, Qt::Key_Escape);
    QTest::keyClick(w->cmbType->lineEdit(), Qt::Key_Escape);
    EXPECT_EQ(watcher.escapes, 3);
}

TEST_F(ParameterWindow, QuestionsTypedUnderANewParameterAreStoredUnderItOnceItIsSaved)
{
    auto w = open<frmParameter>();
    type(w->txtParameterDtls, "Delivery");
    clickCell(w->grdQuestionDtls, 1, 1);
    type(w->txtQuestionDtls, "On time?");
    w->cmdSaveParameter->click();
    w->cmdSaveQuestion->click();
    EXPECT_TRUE(MsgBox::shown().isEmpty());
    const QVariant delivery = value("select paramid from parameter where parametername='Delivery'");
    EXPECT_EQ(rows("select question, paramid from questions"), QVariantList{(QVariantList{"On time?", delivery})});
    EXPECT_FALSE(w->grdQuestionDtls->textMatrix(1, 3).isEmpty());

    // A dropped duplicate above it moves the new parameter up a row; the current row goes with it.
    press(w->txtParameterDtls, Qt::Key_Down);
    type(w->txtParameterDtls, "DELIVERY");
    press(w->txtParameterDtls, Qt::Key_Down);
    type(w->txtParameterDtls, "Price");
    press(w->txtParameterDtls, Qt::Key_Down);
    type(w->txtParameterDtls, "Extra");
    press(w->txtParameterDtls, Qt::Key_Up);
    clickCell(w->grdQuestionDtls, 1, 1);
    type(w->txtQuestionDtls, "Fair?");
    w->cmdSaveParameter->click();
    EXPECT_EQ(w->grdParameterDtls->textMatrix(w->grdParameterDtls->row(), 1), "Price");
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{"Fair?"});
    w->cmdSaveQuestion->click();
    EXPECT_EQ(value(QStringLiteral("select parametername from parameter join questions using (paramid) "
                                   "where question='Fair?'")),
              QVariant("Price"));
}

TEST_F(ParameterWindow, DeletesTakeOutTheChosenRowAndNoOther)
{
    seedParameter(1, "Delivery");
    seedParameter(2, "Price");
    seedQuestion(5, 1, "On time?", true);
    auto w = open<frmParameter>();
    const auto append = [&](const QString& name) {
        clickCell(w->grdParameterDtls, w->grdParameterDtls->rows() - 1, 1);
        press(w->txtParameterDtls, Qt::Key_Down);
        type(w->txtParameterDtls, name);
    };

    // An unsaved row chosen goes and is never stored; the other unsaved row is saved.
    append("NewA");
    append("NewB");
    clickCell(w->grdParameterDtls, 3, 1);
    w->cmdDeleteParameter->click();
    // A saved row chosen while an unsaved one waits at the bottom.
    append("NewC");
    clickCell(w->grdParameterDtls, 2, 1);
    w->cmdDeleteParameter->click();
    EXPECT_EQ(column(w->grdParameterDtls, 1), QStringList({"Delivery", "NewB", "NewC"}));
    EXPECT_EQ(table("select parametername from parameter order by paramid"), column(w->grdParameterDtls, 1));

    // The save of the rows left is refused over a blank row: they stay as typed.
    append("NewD");
    press(w->txtParameterDtls, Qt::Key_Down);
    clickCell(w->grdParameterDtls, 2, 1);
    w->cmdDeleteParameter->click();
    EXPECT_EQ(messages(), QStringList{"Parameter Name cannot be left blank....Error"});
    EXPECT_EQ(column(w->grdParameterDtls, 1), QStringList({"Delivery", "NewC", "NewD", QString()}));
    EXPECT_EQ(count("parameter"), 2);

    // Deleting a question leaves the unsaved questions beside it.
    clickCell(w->grdParameterDtls, 1, 1);
    clickCell(w->grdQuestionDtls, 1, 1);
    press(w->txtQuestionDtls, Qt::Key_Down);
    type(w->txtQuestionDtls, "Typed");
    press(w->txtQuestionDtls, Qt::Key_Down);
    type(w->txtQuestionDtls, "Also typed");
    clickCell(w->grdQuestionDtls, 2, 1);
    w->cmdDeleteQuestion->click();
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList({"On time?", "Also typed"}));
    clickCell(w->grdQuestionDtls, 1, 1);
    w->cmdDeleteQuestion->click();
    EXPECT_EQ(count("questions"), 0);
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{"Also typed"});
}

TEST_F(ParameterWindow, AQuestionUnderANewParameterThatSaveDropsDoesNotStayOnScreen)
{
    seedParameter(1, QStringLiteral("Delivery"));
    seedParameter(2, QStringLiteral("Price"));
    seedQuestion(6, 2, QStringLiteral("Fair?"), false);
    auto w = open<frmParameter>();
    w->cmdAddParameter->click();
    type(w->txtParameterDtls, "delivery");
    clickCell(w->grdQuestionDtls, 1, 1);
    type(w->txtQuestionDtls, "When?");
    w->cmdSaveParameter->click(); // the name is stored already: the new row is dropped

    EXPECT_EQ(w->grdParameterDtls->textMatrix(w->grdParameterDtls->row(), 1), "Price");
    EXPECT_EQ(column(w->grdQuestionDtls, 1), QStringList{"Fair?"});
    w->cmdSaveQuestion->click();
    EXPECT_EQ(rows("select question, paramid from questions"), QVariantList{(QVariantList{"Fair?", 2})});
}
