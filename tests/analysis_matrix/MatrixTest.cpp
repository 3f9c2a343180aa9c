// The performance matrix of answers stored in the answer table: its means, chart, grid and report.

#include "analysis/frmPerformanceMatrix.h"
#include "support/ProgramFixture.h"
#include "support/ShownNumber.h"

#include <QScrollBar>

namespace
{

using Given = QList<QPair<QVariant, QVariant>>;

// Means 8.67 and 7.33.
const Given kThirds{{8, 7}, {9, 7}, {9, 8}};

// Ann's answers of one customer on d1.
class Matrix : public ProgramFixture
{
protected:
    const QDate d1{2031, 3, 14};

    void SetUp() override
    {
        ProgramFixture::SetUp();
        ann = respondent(customer("Acme"), "Ann");
    }

    // The answers to the parameter's question, stored in the order given.
    void answers(const QString& parameter, const Given& given)
    {
        const int q = question(parameter);
        for (const auto& [weightage, score] : given)
            answer(ann, q, d1, weightage, score);
    }

    // Opened from the menu; a click on the date views the matrix.
    frmPerformanceMatrix* view()
    {
        auto* w = open<frmPerformanceMatrix>(main()->mnuPerformanceMatrix);
        w->lstSurveyDates->item(0)->setSelected(true);
        return w;
    }

    static QPointF pointOf(const ChartControl* chart, int row)
    {
        return QPointF(chart->data(row, 0).value_or(-1), chart->data(row, 1).value_or(-1));
    }

    int ann = 0;
};

void expectNear(const QPointF& actual, const QPointF& expected, const char* what)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9) << what;
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9) << what;
}

} // namespace

TEST_F(Matrix, MeansOverEveryRowRoundedToTheEvenHundredth)
{
    answers("Worked", {{8, 7}, {0, 5}, {6, 0}});
    answers("Nothing given", {{0, 0}, {QVariant(), QVariant()}});
    answers("Scores only", {{0, 3}, {0, 0}});
    answers("Weightages only", {{4, QVariant()}, {0, 0}});
    answers("Zero in the divisor", {{5, 1}, {0, 1}});
    // Exact halves as doubles go to the even hundredth: 3/8 and 1/8.
    answers("Eighths", Given{{3, 1}} + Given(7, {0, 0}));
    // 3/40 is just below 0.075 as a double and 1/40 just above 0.025, though both look like halves.
    answers("Fortieths", Given{{3, 1}} + Given(39, {0, 0}));
    // More answers than a 16-bit score sum holds.
    answers("Busy", {{10, 10}});
    run(QStringLiteral("with recursive c(i) as (select 1 union all select i + 1 from c where i < 3999) "
                       "insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, weightage, "
                       "score) select ?, ?, 0, ?, 10, 10 from c"),
        {ann, question("Busy"), iso(d1)});
    view();

    EXPECT_EQ(
        table("select custname, Parameter, wt, sc from scattertable order by rowid"),
        QStringList({"Acme|Busy|10|10", "Acme|Eighths|0.38|0.12", "Acme|Fortieths|0.07|0.03", "Acme|Scores only|0|1.5",
                     "Acme|Weightages only|2|0", "Acme|Worked|4.67|4", "Acme|Zero in the divisor|2.5|1"}));
}

TEST_F(Matrix, WithoutAChosenDateTheTableIsEmptiedAndNothingShown)
{
    answers("Worked", {{8, 7}});
    frmPerformanceMatrix* w = view();
    ASSERT_TRUE(w->cmdPrint->isEnabled());
    w->lstSurveyDates->clearSelection();
    EXPECT_EQ(value("select count(*) from scattertable").toInt(), 0);
    EXPECT_EQ(messages(), QStringList{"No record(s) present to view Performance Matrix"});
    EXPECT_FALSE(w->cmdPrint->isEnabled());

    // A customer without surveys: no dates, and View does nothing at all.
    customer("Zenith");
    w->cmdCustomerName->setCurrentIndex(1);
    EXPECT_EQ(w->lstSurveyDates->count(), 0);
    run("insert into scattertable (Parameter) values ('kept')");
    w->cmdView_Click();
    EXPECT_EQ(value("select count(*) from scattertable").toInt(), 1);
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(Matrix, CoincidentNeighboursMoveByTheOffsetsInTurn)
{
    answers("A1", kThirds);
    answers("A2", kThirds);
    answers("B1", {{9, 9}});
    answers("B2", {{9, 9}});
    // C1 and C3 are equal but C2 stands between them in score order.
    answers("C1", {{4, 3}});
    answers("C2", {{6, 3}});
    answers("C3", {{4, 3}});
    frmPerformanceMatrix* w = view();

    const ChartControl* chart = w->mschart;
    ASSERT_EQ(chart->rowCount(), 7);
    QStringList order;
    for (const auto& row : w->hiddenChart())
        order << row.parameter;
    EXPECT_EQ(order, (QStringList{"C1", "C2", "C3", "A1", "A2", "B1", "B2"}));
    expectNear(pointOf(chart, 0), {3, 4}, "C1");
    expectNear(pointOf(chart, 2), {3, 4}, "C3 not next to C1");
    expectNear(pointOf(chart, 3), {7.33, 8.67}, "A1");
    expectNear(pointOf(chart, 4), {7.1, 8.9}, "A2 by entry 1 from (7, 9)");
    expectNear(pointOf(chart, 6), {8.9, 8.9}, "B2 by entry 2 from (9, 9)");

    // The moved point still names its parameter's true means.
    QTest::mouseClick(w->mschart->viewport(), Qt::LeftButton, {}, w->mschart->pointPosition(0, 4)->toPoint());
    EXPECT_EQ(messages(), QStringList{"Parameter  : A2\r\nWeightage : " + shownNumber(8.67) +
                                      "\r\nScore         : " + shownNumber(7.33)});
}

// Past the eighth offset the entries start again from the first.
TEST_F(Matrix, TenCoincidentPointsReuseTheFirstOffset)
{
    for (int p = 1; p <= 10; ++p)
        answers(QStringLiteral("N%1").arg(p, 2, 10, QLatin1Char('0')), {{2, 2}});
    const ChartControl* chart = view()->mschart;
    ASSERT_EQ(chart->rowCount(), 10);
    expectNear(pointOf(chart, 1), {2.1, 1.9}, "entry 1");
    expectNear(pointOf(chart, 8), {2, 2.1}, "entry 8");
    expectNear(pointOf(chart, 9), {2.1, 1.9}, "entry 1 again");
}

TEST_F(Matrix, GridRowsAreColouredByTheirOwnQuadrant)
{
    answers("Green", {{5, 5}});
    answers("Red", Given(99, {5, 5}) + Given{{5, 4}});
    answers("Yellow", Given(99, {5, 10}) + Given{{4, 10}});
    FlexGrid* g = view()->MSHFlexGrid1;

    EXPECT_EQ(cells(g), QStringList({"Green", "Red", "Yellow", shownNumber(5), shownNumber(5), shownNumber(4.99),
                                     shownNumber(5), shownNumber(4.99), shownNumber(10)}));
    const QList<QColor> colours{QColor(0, 255, 0), QColor(255, 0, 0), QColor(255, 255, 0)};
    for (int r = 1; r <= 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            g->setRow(r);
            g->setCol(c);
            const QColor expected = c >= 2 ? colours[r - 1] : c == 0 ? QColor(192, 192, 192) : QColor();
            EXPECT_EQ(g->cellBackColor(), expected) << r << "," << c;
        }
    }
}

TEST_F(Matrix, ReportPrintsTheChartAsShownAndNothingWhenItCannotBeSaved)
{
    answers("Delivery", kThirds);
    answers("Service", {{8, 7}, {0, 5}, {6, 0}});
    frmPerformanceMatrix* w = view();
    EXPECT_TRUE(holds(printChart(w->cmdPrint, w->mschart, "perform.bmp"),
                      {"Harbour Quality Ltd", "Acme", "Delivery", shownNumber(8.67), shownNumber(7.33), "Service",
                       shownNumber(4.67), shownNumber(4)}));
}

// Five parameters at (10, 10): the first on the axes' top corner, the others moved past it by the offsets. Report at
// once after View prints every point whole inside the plot area where the chart's mapping puts it; the axes keep
// their ticks from 0 to 10, and the grid shows each 10.00 whole beside the parameter names.
TEST_F(Matrix, PointsOnAndPastTheTopCornerAreDrawnWholeAndTheGridShowsTenWhole)
{
    for (const char* parameter : {"P1", "P2", "P3", "P4", "P5"})
        answers(QLatin1String(parameter), {{10, 10}});
    frmPerformanceMatrix* w = view();
    w->cmdPrint->click();
    const QImage printed(QDir(folder()).filePath("perform.bmp"), "BMP");
    ASSERT_FALSE(printed.isNull());

    ChartControl* chart = w->mschart;
    expectNear(pointOf(chart, 4), {10.1, 10.1}, "P5 by entry 4");
    QCoreApplication::processEvents();
    const qreal radius = 150.0 / ChartControl::TwipsPerPixel / 2;
    const QRectF area = chart->chart()->plotArea().adjusted(radius, radius, -radius, -radius);
    for (int r = 0; r < 5; ++r) {
        const QPointF at = *chart->pointPosition(0, r);
        EXPECT_TRUE(area.contains(chart->chart()->mapFromScene(chart->mapToScene(at.toPoint())))) << r;
        const QColor c = printed.pixelColor((at * chart->devicePixelRatio()).toPoint());
        EXPECT_TRUE(c.blue() > 2 * c.red() && c.blue() > 2 * c.green()) << r << " " << c.name().toStdString();
    }
    const QList<double> ticks{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(chart->axisTicks(ChartControl::Axis::X), ticks);
    EXPECT_EQ(chart->axisTicks(ChartControl::Axis::Y), ticks);

    FlexGrid* g = w->MSHFlexGrid1;
    QStyleOptionViewItem option;
    option.initFrom(g);
    int widths = 0;
    for (int c = 0; c < 4; ++c) {
        widths += g->columnWidth(c);
        for (int r = 1; r < g->rows() && c >= 2; ++r) {
            ASSERT_EQ(g->textMatrix(r, c), QLocale().toString(10.0, 'f', 2));
            // The view elides a text wider than its cell less the grid line.
            EXPECT_LE(g->itemDelegate()->sizeHint(option, g->model()->index(r, c)).width() + 1, g->columnWidth(c));
        }
    }
    EXPECT_LE(widths, g->viewport()->width());
    EXPECT_GE(g->columnWidth(1), g->columnWidth(2));
}

// Twenty parameters, every mean 10.00: with the vertical scroll bar shown, the four columns still fit the grid, in
// the main window at 1024x720 and maximised alike, with "Customer" and every mean whole.
TEST_F(Matrix, ColumnsFitTheGridBesideItsScrollBar)
{
    run("update customer set custname='Acme Engineering Works'");
    for (int p = 1; p <= 20; ++p)
        answers(QStringLiteral("Responsiveness to complaints %1").arg(p), {{10, 10}});
    frmPerformanceMatrix* w = view();
    FlexGrid* g = w->MSHFlexGrid1;
    QStyleOptionViewItem option;
    option.initFrom(g);
    // The view cuts a text wider than its cell less the grid line.
    const auto whole = [&](int row, int col) {
        return g->itemDelegate()->sizeHint(option, g->model()->index(row, col)).width() + 1 <= g->columnWidth(col);
    };
    const auto fits = [&](const char* state) {
        // The view lays its scroll bars out from the event queue.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return g->verticalScrollBar()->isVisible() && !g->horizontalScrollBar()->isVisible();
        })) << state;
        int widths = 0;
        for (int c = 0; c < 4; ++c)
            widths += g->columnWidth(c);
        EXPECT_LE(widths, g->viewport()->width()) << state;
        EXPECT_EQ(g->textMatrix(0, 0), "Customer");
        EXPECT_TRUE(whole(0, 0)) << state;
        EXPECT_EQ(g->textMatrix(1, 3), QLocale().toString(10.0, 'f', 2));
        EXPECT_TRUE(whole(1, 2) && whole(1, 3)) << state;
    };
    fits("own size");
    main()->showNormal();
    main()->resize(1024, 720);
    fits("1024x720");
    main()->showMaximized();
    fits("maximised");
}

// More parameters than the grid shows: after View, and after the next fill, the first rows are in view and the scroll
// bar stands at its top.
TEST_F(Matrix, GridOpensAtItsFirstRows)
{
    for (int p = 1; p <= 16; ++p)
        answers(QStringLiteral("P%1").arg(p, 2, 10, QLatin1Char('0')), {{p % 11, 10 - p % 11}});
    frmPerformanceMatrix* w = view();
    FlexGrid* g = w->MSHFlexGrid1;
    const auto atTop = [&](const char* state) {
        QCoreApplication::processEvents();
        ASSERT_GT(g->verticalScrollBar()->maximum(), 0) << state;
        EXPECT_EQ(g->verticalScrollBar()->value(), 0) << state;
        EXPECT_EQ(g->rowAt(0), 1) << state;
        EXPECT_TRUE(g->viewport()->rect().contains(g->visualRect(g->model()->index(1, 1)))) << state;
    };
    atTop("View");
    g->setTopRow(9);
    w->cmdView->click();
    atTop("View again");
}
