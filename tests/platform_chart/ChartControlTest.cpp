#include "platform/chart/ChartControl.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

class ChartControlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chart.resize(500, 360);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    }

    void click(const QPointF& at) { QTest::mouseClick(chart.viewport(), Qt::LeftButton, {}, at.toPoint()); }

    ChartControl chart;
};

TEST_F(ChartControlTest, LineChartDrawsAPointOnlyWhereACellHoldsOne)
{
    chart.setGrid(3, 2);
    chart.setColumnLabel(0, QStringLiteral("Delivery"));
    chart.setColumnLabel(1, QStringLiteral("Service"));
    chart.setData(0, 0, 2.0);
    chart.setData(2, 0, 8.0);
    chart.setData(1, 1, 5.0);
    chart.setAxisRange(ChartControl::Axis::Y, 0, 10);
    for (int s = 0; s < 2; ++s)
        chart.setMarker(s, true, 140, ChartControl::MarkerStyle::Ball);
    chart.refresh();

    EXPECT_FALSE(chart.pointPosition(0, 1));
    EXPECT_FALSE(chart.pointPosition(1, 0));
    const QPointF low = *chart.pointPosition(0, 0);
    const QPointF high = *chart.pointPosition(0, 2);
    const QPointF middle = *chart.pointPosition(1, 1);
    // Rows run left to right, values upwards.
    EXPECT_LT(low.x(), middle.x());
    EXPECT_LT(middle.x(), high.x());
    EXPECT_GT(low.y(), middle.y());
    EXPECT_GT(middle.y(), high.y());

    QSignalSpy selected(&chart, &ChartControl::pointSelected);
    click(middle);
    click(QPointF(low.x(), high.y())); // no point there
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0], (QList<QVariant>{1, 1}));
}

TEST_F(ChartControlTest, XYChartTakesColumnPairsAndItsPictureIsWhatIsDrawn)
{
    chart.setChartType(ChartControl::ChartType::XY);
    chart.setGrid(2, 2);
    chart.setData(0, 0, 2.0);
    chart.setData(0, 1, 9.0);
    chart.setData(1, 0, 8.0); // no y: no point
    chart.setAxisRange(ChartControl::Axis::X, 0, 10);
    chart.setAxisRange(ChartControl::Axis::Y, 0, 10);
    chart.setMarker(0, true, 150, ChartControl::MarkerStyle::Ball, QColor(0, 0, 255));
    chart.refresh();

    ASSERT_EQ(chart.seriesCount(), 1);
    EXPECT_FALSE(chart.pointPosition(0, 1));
    const QPointF p = *chart.pointPosition(0, 0);
    EXPECT_LT(p.x(), chart.width() / 2);
    EXPECT_LT(p.y(), chart.height() / 2);

    const QImage picture = chart.picture();
    EXPECT_EQ(picture.size(), chart.size() * chart.devicePixelRatio());
    const QColor atPoint = picture.pixelColor((p * chart.devicePixelRatio()).toPoint());
    EXPECT_GT(atPoint.blue(), 2 * atPoint.red()) << atPoint.name().toStdString();

    QSignalSpy selected(&chart, &ChartControl::pointSelected);
    click(p + QPointF(2, 2));
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0], (QList<QVariant>{0, 0}));
}
