#include "analysis_matrix/MatrixFixture.h"
#include "platform/chart/ChartControl.h"
#include "platform/grid/FlexGrid.h"
#include "shell/Progress.h"

#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QPushButton>

using MatrixWindow = MatrixFixture;

namespace
{

// Means 8.67 and 7.33.
const QList<QPair<QVariant, QVariant>> kThirds{{8, 7}, {9, 7}, {9, 8}};

QPointF pointOf(const ChartControl* chart, int row)
{
    return QPointF(chart->data(row, 0).value_or(-1), chart->data(row, 1).value_or(-1));
}

void expectNear(const QPointF& actual, const QPointF& expected, const char* what)
{
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9) << what;
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9) << what;
}

} // namespace

TEST_F(MatrixWindow, CoincidentNeighboursMoveByTheOffsetsInTurn)
{
    rows(QStringLiteral("A1"), kThirds);
    rows(QStringLiteral("A2"), kThirds);
    rows(QStringLiteral("B1"), {{9, 9}});
    rows(QStringLiteral("B2"), {{9, 9}});
    // C1 and C3 are equal but C2 stands between them in score order.
    rows(QStringLiteral("C1"), {{4, 3}});
    rows(QStringLiteral("C2"), {{6, 3}});
    rows(QStringLiteral("C3"), {{4, 3}});
    frmPerformanceMatrix* w = view();
    ASSERT_TRUE(w->cmdPrint->isEnabled());

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
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_EQ(MsgBox::shown().last().text,
              QStringLiteral("Parameter  : A2\r\nWeightage : 8.67\r\nScore         : 7.33"));
    EXPECT_EQ(MsgBox::shown().last().style, MsgBox::Information);
}

// Past the eighth offset the entries start again from the first.
TEST_F(MatrixWindow, TenCoincidentPointsReuseTheFirstOffset)
{
    for (int p = 1; p <= 10; ++p)
        rows(QStringLiteral("N%1").arg(p, 2, 10, QLatin1Char('0')), {{2, 2}});
    const ChartControl* chart = view()->mschart;
    ASSERT_EQ(chart->rowCount(), 10);
    expectNear(pointOf(chart, 0), {2, 2}, "first");
    expectNear(pointOf(chart, 1), {2.1, 1.9}, "entry 1");
    expectNear(pointOf(chart, 8), {2, 2.1}, "entry 8");
    expectNear(pointOf(chart, 9), {2.1, 1.9}, "entry 1 again");
}

TEST_F(MatrixWindow, GridRowsAreColouredByTheirOwnQuadrant)
{
    rows(QStringLiteral("Green"), {{5, 5}});
    rows(QStringLiteral("Red"), times(99, {5, 5}) + QList<QPair<QVariant, QVariant>>{{5, 4}});
    rows(QStringLiteral("Yellow"), times(99, {5, 10}) + QList<QPair<QVariant, QVariant>>{{4, 10}});
    FlexGrid* g = view()->MSHFlexGrid1;

    ASSERT_EQ(g->rows(), 4);
    EXPECT_EQ(g->textMatrix(0, 0), QStringLiteral("Customer"));
    EXPECT_EQ(g->textMatrix(0, 2), QStringLiteral("Wt"));
    EXPECT_EQ(g->textMatrix(0, 3), QStringLiteral("Sc"));
    const QStringList parameters{"Green", "Red", "Yellow"};
    const QStringList wt{"5.00", "5.00", "4.99"};
    const QStringList sc{"5.00", "4.99", "10.00"};
    const QList<QColor> colours{QColor(0, 255, 0), QColor(255, 0, 0), QColor(255, 255, 0)};
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(g->textMatrix(r, 1), parameters[r - 1]);
        EXPECT_EQ(g->textMatrix(r, 2), wt[r - 1]);
        EXPECT_EQ(g->textMatrix(r, 3), sc[r - 1]);
        for (int c = 0; c < 4; ++c) {
            g->setRow(r);
            g->setCol(c);
            const QColor expected = c >= 2 ? colours[r - 1] : c == 0 ? QColor(192, 192, 192) : QColor();
            EXPECT_EQ(g->cellBackColor(), expected) << r << "," << c;
        }
    }
}

TEST_F(MatrixWindow, ReportPrintsTheChartAsShownAndLeavesItOnTheClipboard)
{
    rows(QStringLiteral("Delivery"), kThirds);
    rows(QStringLiteral("Service"), {{8, 7}, {0, 5}, {6, 0}});
    frmPerformanceMatrix* w = view();
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    w->cmdPrint_Click();

    const QImage drawn = w->mschart->picture().convertToFormat(QImage::Format_RGB32);
    const QImage saved(QDir(folder()).filePath(QStringLiteral("perform.bmp")), "BMP");
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), drawn);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), drawn);

    ASSERT_EQ(ReportControl::runs().size(), 1);
    const ReportControl::Run run = ReportControl::runs().last();
    EXPECT_EQ(run.windowTitle, QStringLiteral("Performance Matrix Report"));
    EXPECT_EQ(QFileInfo(run.reportFileName).fileName(), QStringLiteral("scatter.rpt"));
    const QString text = pdfText(run.pdf);
    for (const char* expected : {"Harbour Quality Ltd", "Acme", "Delivery", "8.67", "7.33", "Service", "4.67", "4.00"})
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << "\n" << text.toStdString();

    // A picture that cannot be saved is reported, and no report shows an older one.
    ReportControl::clearRuns();
    QFile::remove(QDir(folder()).filePath(QStringLiteral("perform.bmp")));
    ASSERT_TRUE(QDir(folder()).mkdir(QStringLiteral("perform.bmp")));
    w->cmdPrint_Click();
    EXPECT_TRUE(ReportControl::runs().isEmpty());
    ASSERT_EQ(MsgBox::shown().size(), 1);
    EXPECT_TRUE(MsgBox::shown().last().text.startsWith(QStringLiteral("75:")));
    EXPECT_EQ(Progress::text(), QString());
}
