#include "analysis/frmSatisfactionIndex.h"
#include "analysis_index/AnswerFixture.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

// The index of answers stored in the answer table, computed through the window's View.
class IndexComputation : public AnswerFixture
{
protected:
    void SetUp() override
    {
        AnswerFixture::SetUp();
        cust = customer(QStringLiteral("Acme"));
        for (const char* name : {"Ann", "Bob", "Cy", "Dee"})
            resp << respondent(cust, QLatin1String(name));
    }

    frmSatisfactionIndex* open()
    {
        m_main->mnuSatisfactionIndex->trigger();
        return m_main->windows()->find<frmSatisfactionIndex>();
    }

    // Views every parameter of the customer between the two dates.
    frmSatisfactionIndex* view(const QDate& from, const QDate& to)
    {
        frmSatisfactionIndex* w = open();
        w->dtFrom->setDate(from);
        w->dtTo->setDate(to);
        w->lstParameter->selectAll();
        w->cmdView_Click();
        return w;
    }

    // The stored index of a parameter on a date; NaN when there is no row.
    float index(const QString& parameter, const QDate& date) const
    {
        const QVariant v =
            value(QStringLiteral("select sindex from linetable where Parameter=? and sdate=?"), {parameter, iso(date)});
        return v.isValid() ? float(v.toDouble()) : std::nanf("");
    }

    // Answers of one parameter on one date, each from the next respondent.
    void answers(const QString& parameter, const QDate& date, const QList<QPair<QVariant, QVariant>>& given)
    {
        const int q = question(parameter);
        for (int i = 0; i < given.size(); ++i)
            answer(cust, resp[i], q, date, given[i].first, given[i].second);
    }

    int cust = 0;
    QList<int> resp;
};

TEST_F(IndexComputation, EachGroupFollowsTheStepwiseArithmetic)
{
    answers(QStringLiteral("Worked"), d1, {{8, 7}, {5, 9}, {0, 6}});
    answers(QStringLiteral("Counted only"), d1, {{8, 7}, {5, 9}});
    answers(QStringLiteral("Half"), d1, {{1, 1}, {3, 3}});
    answers(QStringLiteral("Half reversed"), d1, {{3, 3}, {1, 1}});
    answers(QStringLiteral("Equal weightage"), d1, {{2, 5}, {2, 6}, {2, 7}, {2, 8}});
    answers(QStringLiteral("Over ten"), d1, {{1, 10}, {1, 10}, {2, 10}});
    answers(QStringLiteral("Nothing counts"), d1, {{0, 5}, {4, 0}, {QVariant(), 7}, {6, QVariant()}});
    const frmSatisfactionIndex* w = view(d1, d1);

    EXPECT_EQ(index(QStringLiteral("Worked"), d1), 7.6666665f);
    EXPECT_EQ(index(QStringLiteral("Counted only"), d1), 8.0f);
    // A half in the running total goes to the even neighbour (0, not 1), in either order.
    EXPECT_EQ(index(QStringLiteral("Half"), d1), 2.0f);
    EXPECT_EQ(index(QStringLiteral("Half reversed"), d1), 2.0f);
    EXPECT_EQ(index(QStringLiteral("Equal weightage"), d1), 6.5f);
    EXPECT_EQ(index(QStringLiteral("Over ten"), d1), 10.333333f);
    // A group without a counted answer is still written, with 0.
    EXPECT_EQ(index(QStringLiteral("Nothing counts"), d1), 0.0f);
    EXPECT_TRUE(w->isExpanded());
}

// The rounding at every step makes the order matter: the answers count in the order they were stored, whatever
// question or respondent they belong to.
TEST_F(IndexComputation, AnswersCountInTheOrderTheyWereStored)
{
    const int first = question(QStringLiteral("Ordered"), QStringLiteral("First asked"));
    const int second = question(QStringLiteral("Ordered"), QStringLiteral("Second asked"));
    answer(cust, resp[2], second, d1, 1, 1);
    answer(cust, resp[1], second, d1, 1, 2);
    answer(cust, resp[0], first, d1, 6, 2);
    view(d1, d1);
    // By question first, or by respondent, the same answers would give 1.6666666.
    EXPECT_EQ(index(QStringLiteral("Ordered"), d1), 2.0f);
}

// More answers than a 16-bit total holds are computed, and so are the groups after them.
TEST_F(IndexComputation, LargeGroupsAreComputed)
{
    const int q = question(QStringLiteral("Busy"));
    const int surveyId = survey(cust, d1, resp[0], q);
    run(QStringLiteral("with recursive c(i) as (select 1 union all select i + 1 from c where i < 4000) "
                       "insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                       "score) select ?, ?, ?, ?, 10, 10 from c"),
        {resp[0], q, surveyId, iso(d1)});
    answers(QStringLiteral("Busy"), d2, {{8, 7}, {5, 9}, {0, 6}});
    view(d1, d2);
    EXPECT_EQ(index(QStringLiteral("Busy"), d1), 10.0f);
    EXPECT_EQ(index(QStringLiteral("Busy"), d2), 7.6666665f);
}

TEST_F(IndexComputation, TheRangeIncludesBothEndsAndOnlyIndexedDatesAreCharted)
{
    answers(QStringLiteral("Service"), d1.addDays(-1), {{5, 5}});
    answers(QStringLiteral("Service"), d1, {{5, 5}});
    answers(QStringLiteral("Service"), d2, {{0, 0}});
    answers(QStringLiteral("Delivery"), d2, {{0, 4}});
    answers(QStringLiteral("Delivery"), d3, {{4, 4}});
    answers(QStringLiteral("Delivery"), d3.addDays(1), {{4, 4}});
    view(d1, d3);

    EXPECT_EQ(rows(QStringLiteral("select Parameter, sdate, sindex from linetable order by rowid")),
              (QVariantList{QVariantList{"Delivery", iso(d2), 0.0}, QVariantList{"Delivery", iso(d3), 4.0},
                            QVariantList{"Service", iso(d1), 5.0}, QVariantList{"Service", iso(d2), 0.0}}));
    // d2 carries no index for either parameter.
    EXPECT_EQ(rows(QStringLiteral("select sdate, roworder from surveydateorder order by roworder")),
              (QVariantList{QVariantList{iso(d1), 1}, QVariantList{iso(d3), 2}}));
}

TEST_F(IndexComputation, NoIndexCollapsesWithTheMessage)
{
    answers(QStringLiteral("Service"), d1, {{0, 5}, {4, 0}});
    const int other = customer(QStringLiteral("Zenith"));
    answer(other, respondent(other, QStringLiteral("Zed")), question(QStringLiteral("Service")), d2, 9, 9);

    frmSatisfactionIndex* w = view(d1, d3);
    EXPECT_EQ(value(QStringLiteral("select count(*) from linetable")).toInt(), 1);
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown().last().text, QStringLiteral("No record(s) present to evaluates Satisfaction Index"));
    EXPECT_EQ(MsgBox::shown().last().style, MsgBox::Information);
    EXPECT_EQ(MsgBox::shown().last().title, QStringLiteral("Quorvane v2.1"));
    EXPECT_FALSE(w->isExpanded());
    EXPECT_FALSE(w->cmdPrint->isEnabled());

    // A customer without answers in the range leaves the table empty.
    w->cmdCustomerName->setCurrentIndex(1);
    w->dtFrom->setDate(d1);
    w->dtTo->setDate(d1);
    w->lstParameter->selectAll();
    w->cmdView_Click();
    EXPECT_EQ(value(QStringLiteral("select count(*) from linetable")).toInt(), 0);
}
