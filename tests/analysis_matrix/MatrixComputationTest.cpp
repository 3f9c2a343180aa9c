#include "analysis_matrix/MatrixFixture.h"

#include <QComboBox>
#include <QPushButton>

using MatrixComputation = MatrixFixture;

TEST_F(MatrixComputation, MeansOverEveryRowRoundedToTheEvenHundredth)
{
    rows(QStringLiteral("Worked"), {{8, 7}, {0, 5}, {6, 0}});
    rows(QStringLiteral("Nothing given"), {{0, 0}, {QVariant(), QVariant()}});
    rows(QStringLiteral("Scores only"), {{0, 3}, {0, 0}});
    rows(QStringLiteral("Weightages only"), {{4, QVariant()}, {0, 0}});
    rows(QStringLiteral("Zero in the divisor"), {{5, 1}, {0, 1}});
    // Exact halves as doubles go to the even hundredth: 3/8 and 1/8.
    rows(QStringLiteral("Eighths"), QList<QPair<QVariant, QVariant>>{{3, 1}} + times(7, {0, 0}));
    // 3/40 is just below 0.075 as a double and 1/40 just above 0.025, though both look like halves.
    rows(QStringLiteral("Fortieths"), QList<QPair<QVariant, QVariant>>{{3, 1}} + times(39, {0, 0}));
    view();

    EXPECT_EQ(
        AnswerFixture::rows(QStringLiteral("select custname, Parameter, wt, sc from scattertable order by rowid")),
        (QVariantList{QVariantList{"Acme", "Eighths", 0.38, 0.12}, QVariantList{"Acme", "Fortieths", 0.07, 0.03},
                      QVariantList{"Acme", "Scores only", 0.0, 1.5}, QVariantList{"Acme", "Weightages only", 2.0, 0.0},
                      QVariantList{"Acme", "Worked", 4.67, 4.0},
                      QVariantList{"Acme", "Zero in the divisor", 2.5, 1.0}}));
}

// More answers than a 16-bit score sum holds are computed, and so are the parameters after them.
TEST_F(MatrixComputation, LargeParametersAreComputed)
{
    rows(QStringLiteral("Busy"), times(4000, {10, 10}));
    rows(QStringLiteral("Calm"), {{8, 7}, {0, 5}, {6, 0}});
    view();
    EXPECT_EQ(AnswerFixture::rows(QStringLiteral("select Parameter, wt, sc from scattertable order by rowid")),
              (QVariantList{QVariantList{"Busy", 10.0, 10.0}, QVariantList{"Calm", 4.67, 4.0}}));
}

TEST_F(MatrixComputation, WithoutAChosenDateTheTableIsEmptiedAndNothingShown)
{
    rows(QStringLiteral("Worked"), {{8, 7}});
    frmPerformanceMatrix* w = view();
    ASSERT_TRUE(w->cmdPrint->isEnabled());
    w->lstSurveyDates->clearSelection();
    EXPECT_EQ(value(QStringLiteral("select count(*) from scattertable")).toInt(), 0);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown().last().text, QStringLiteral("No record(s) present to view Performance Matrix"));
    EXPECT_EQ(MsgBox::shown().last().style, MsgBox::Information);
    EXPECT_EQ(MsgBox::shown().last().title, QStringLiteral("Quorvane v2.1"));
    EXPECT_FALSE(w->cmdPrint->isEnabled());

    // A customer without surveys: no dates, and View does nothing at all.
    customer(QStringLiteral("Zenith"));
    w->cmdCustomerName->setCurrentIndex(1);
    EXPECT_EQ(w->lstSurveyDates->count(), 0);
    run(QStringLiteral("insert into scattertable (Parameter) values ('kept')"));
    w->cmdView_Click();
    EXPECT_EQ(value(QStringLiteral("select count(*) from scattertable")).toInt(), 1);
    EXPECT_EQ(MsgBox::shown().size(), 1);
}
