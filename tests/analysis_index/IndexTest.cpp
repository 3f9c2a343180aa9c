// The satisfaction index of answers stored in the answer table, viewed, charted and printed through its window.

#include "analysis/frmSatisfactionIndex.h"
#include "platform/files/WholeFile.h"
#include "support/ProgramFixture.h"
#include "support/ShownNumber.h"

#include <QChart>
#include <QDateEdit>
#include <QValueAxis>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace
{

class Index : public ProgramFixture
{
protected:
    const QDate d1{2031, 3, 14};
    const QDate d2{2031, 6, 1};
    const QDate d3{2031, 9, 30};

    void SetUp() override
    {
        ProgramFixture::SetUp();
        cust = customer("Acme");
        for (const char* name : {"Ann", "Bob", "Cy", "Dee"})
            resp << respondent(cust, QLatin1String(name));
    }

    // Answers of one parameter on one date, each from the next respondent.
    void answers(const QString& parameter, const QDate& date, const QList<QPair<QVariant, QVariant>>& given)
    {
        const int q = question(parameter);
        for (int i = 0; i < given.size(); ++i)
            answer(resp[i], q, date, given[i].first, given[i].second);
    }

    // Views every parameter of the customer between the two dates.
    frmSatisfactionIndex* view(const QDate& from, const QDate& to)
    {
        auto* w = open<frmSatisfactionIndex>(main()->mnuSatisfactionIndex);
        w->dtFrom->setDate(from);
        w->dtTo->setDate(to);
        w->lstParameter->selectAll();
        w->cmdView_Click();
        return w;
    }

    // The stored index of a parameter on a date; NaN when there is none.
    float index(const QString& parameter, const QDate& date) const
    {
        const QVariant v = value("select sindex from linetable where Parameter=? and sdate=?", {parameter, iso(date)});
        return v.isValid() ? float(v.toDouble()) : std::nanf("");
    }

    // Three parameters, created in another order than their names', over three dates and a day past them.
    frmSatisfactionIndex* viewChart()
    {
        answers("Delivery", d1, {{8, 7}, {5, 9}, {0, 6}});
        answers("Delivery", d2, {{6, 6}});
        answers("Service", d3, {{1, 10}, {1, 10}, {2, 10}});
        answers("Range", d3.addDays(1), {{5, 5}});
        frmSatisfactionIndex* w = view(d1, d3);
        EXPECT_TRUE(w->isExpanded());
        return w;
    }

    int cust = 0;
    QList<int> resp;
};

} // namespace

TEST_F(Index, EachGroupFollowsTheStepwiseArithmeticInTheOrderItsAnswersWereStored)
{
    answers("Worked", d1, {{8, 7}, {5, 9}, {0, 6}});
    answers("Counted only", d1, {{8, 7}, {5, 9}});
    answers("Half", d1, {{1, 1}, {3, 3}});
    answers("Half reversed", d1, {{3, 3}, {1, 1}});
    answers("Equal weightage", d1, {{2, 5}, {2, 6}, {2, 7}, {2, 8}});
    answers("Over ten", d1, {{1, 10}, {1, 10}, {2, 10}});
    answers("Nothing counts", d1, {{0, 5}, {4, 0}, {QVariant(), 7}, {6, QVariant()}});
    // Taken by question, or by respondent, these would give 1.6666666.
    const int first = question("Ordered", "First asked");
    const int second = question("Ordered", "Second asked");
    answer(resp[2], second, d1, 1, 1);
    answer(resp[1], second, d1, 1, 2);
    answer(resp[0], first, d1, 6, 2);
    // More answers than a 16-bit total holds, and groups after them.
    run(QStringLiteral("with recursive c(i) as (select 1 union all select i + 1 from c where i < 4000) "
                       "insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                       "score) select ?, ?, 0, ?, 10, 10 from c"),
        {resp[0], question("Busy"), iso(d1)});
    answers("Busy", d2, {{8, 7}, {5, 9}, {0, 6}});
    view(d1, d2);

    EXPECT_EQ(index("Worked", d1), 7.6666665f);
    EXPECT_EQ(index("Counted only", d1), 8.0f);
    // A half in the running total goes to the even neighbour (0, not 1), in either order.
    EXPECT_EQ(index("Half", d1), 2.0f);
    EXPECT_EQ(index("Half reversed", d1), 2.0f);
    EXPECT_EQ(index("Equal weightage", d1), 6.5f);
    EXPECT_EQ(index("Over ten", d1), 10.333333f);
    // A group without a counted answer is still written, with 0.
    EXPECT_EQ(index("Nothing counts", d1), 0.0f);
    EXPECT_EQ(index("Ordered", d1), 2.0f);
    EXPECT_EQ(index("Busy", d1), 10.0f);
    EXPECT_EQ(index("Busy", d2), 7.6666665f);
}

TEST_F(Index, TheRangeIncludesBothEndsAndOnlyIndexedDatesAreNumbered)
{
    answers("Service", d1.addDays(-1), {{5, 5}});
    answers("Service", d1, {{5, 5}});
    answers("Service", d2, {{0, 0}});
    answers("Delivery", d2, {{0, 4}});
    answers("Delivery", d3, {{4, 4}});
    answers("Delivery", d3.addDays(1), {{4, 4}});
    view(d1, d3);

    EXPECT_EQ(table("select Parameter, sdate, sindex from linetable order by rowid"),
              QStringList({"Delivery|" + iso(d2) + "|0", "Delivery|" + iso(d3) + "|4", "Service|" + iso(d1) + "|5",
                           "Service|" + iso(d2) + "|0"}));
    // d2 carries no index for either parameter.
    EXPECT_EQ(table("select sdate, roworder from surveydateorder order by roworder"),
              QStringList({iso(d1) + "|1", iso(d3) + "|2"}));
}

TEST_F(Index, NoIndexCollapsesWithTheMessage)
{
    answers("Service", d1, {{0, 5}, {4, 0}});
    const int other = customer("Zenith");
    answer(respondent(other, "Zed"), question("Service"), d2, 9, 9);

    frmSatisfactionIndex* w = view(d1, d3);
    EXPECT_EQ(value("select count(*) from linetable").toInt(), 1);
    EXPECT_EQ(messages(), QStringList{"No record(s) present to evaluates Satisfaction Index"});
    EXPECT_FALSE(w->isExpanded());
    EXPECT_FALSE(w->cmdPrint->isEnabled());

    // A customer without answers in the range leaves the table empty.
    w->cmdCustomerName->setCurrentIndex(1);
    w->dtTo->setDate(d1);
    w->lstParameter->selectAll();
    w->cmdView_Click();
    EXPECT_EQ(value("select count(*) from linetable").toInt(), 0);
}

TEST_F(Index, ViewDrawsOneLinePerSelectedParameter)
{
    frmSatisfactionIndex* w = viewChart();
    ChartControl* chart = w->msChart;
    // Columns in list order; Range has no index in the range and keeps its column.
    ASSERT_EQ(chart->columnCount(), 3);
    EXPECT_EQ(chart->columnLabel(0) + chart->columnLabel(1) + chart->columnLabel(2), "DeliveryRangeService");
    ASSERT_EQ(chart->rowCount(), 3);
    EXPECT_EQ(chart->rowLabel(0), shown(d1));
    EXPECT_EQ(chart->rowLabel(2), shown(d3));
    QString points;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row)
            points += chart->pointPosition(column, row) ? QLatin1Char('x') : QLatin1Char('.');
    EXPECT_EQ(points, "xx......x");
    // (1, 10), (1, 10), (2, 10) give 10.333333 by the stepwise rounding: the value axis reaches it with room to spare
    // for the markers, and its ticks stay between 0 and 11.
    auto* axis = qobject_cast<QValueAxis*>(chart->chart()->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(axis);
    const QList<double> ticks = chart->axisTicks(ChartControl::Axis::Y);
    EXPECT_TRUE(!ticks.isEmpty() && ticks.first() == 0 && ticks.last() <= 11) << ticks.size();
    EXPECT_LT(axis->min(), 0);
    EXPECT_GT(axis->max(), 11);

    // The clicked point's value as the chart holds it, with the single-precision digits, in the system's format.
    QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, chart->pointPosition(0, 0)->toPoint());
    EXPECT_EQ(messages(), QStringList{QStringLiteral("Satisfaction Index : 7") + QLocale().decimalPoint() +
                                      QStringLiteral("66666650772095")});

    // A changed date or choice collapses the window until the next View.
    w->dtTo->setDate(d3.addDays(1));
    EXPECT_FALSE(w->isExpanded());
    EXPECT_FALSE(w->cmdPrint->isEnabled());
    w->lstParameter_KeyDown(13);
    EXPECT_TRUE(w->isExpanded());
    w->lstParameter->item(0)->setSelected(false);
    EXPECT_FALSE(w->isExpanded());
}

TEST_F(Index, ReportPrintsTheChartAsDrawnAndNothingWhenItCannotBeSaved)
{
    frmSatisfactionIndex* w = viewChart();
    const QString text = printChart(w->cmdPrint, w->msChart, "satis.bmp");
    EXPECT_TRUE(
        holds(text, {"Harbour Quality Ltd", "Acme", "Delivery", "Service", shownNumber(7.67), shownNumber(10.33)}));
    EXPECT_FALSE(text.contains("Range"));
}

TEST_F(Index, APictureThatTheDiskCannotHoldKeepsTheOldOneAndSaysWhy)
{
    frmSatisfactionIndex* w = viewChart();
    const QString file = QDir(folder()).filePath("satis.bmp");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the picture printed before");
    }
    MsgBox::clearRecords();
    ReportControl::clearRuns();
    WholeFile::failAfter(100, ENOSPC);
    w->cmdPrint->click();
    WholeFile::failAfter(-1, 0);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("75:") && messages()[0].contains("satis.bmp"));
    EXPECT_TRUE(messages()[0].endsWith(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << messages()[0].toStdString();
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    QFile kept(file);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the picture printed before");
}

TEST_F(Index, TheRangeReachesThePickersLastDay)
{
    const QDate end = QDateEdit().maximumDate();
    answers("Service", end, {{5, 5}});
    answers("Service", end.addDays(-1), {{4, 4}});
    for (const QDate& from : {end, end.addDays(-1)}) {
        EXPECT_EQ(view(from, end)->dtTo->date(), end);
        EXPECT_EQ(index("Service", end), 5.0f) << iso(from).toStdString();
    }
    EXPECT_EQ(value("select count(*) from linetable").toInt(), 2);
    EXPECT_TRUE(messages().isEmpty());
}
