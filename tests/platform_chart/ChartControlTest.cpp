#include "platform/chart/ChartControl.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

// A line chart draws a point only where a cell holds one, rows left to right and values upwards; an XY chart takes
// column pairs. A click near a point selects it, elsewhere nothing; the picture is what is drawn.
TEST(ChartControlTest, PointsWhereCellsHoldThemSelectedByAClickAndPictured)
{
    ChartControl chart;
    chart.resize(500, 360);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    QSignalSpy selected(&chart, &ChartControl::pointSelected);
    const auto click = [&](const QPointF& at) {
        QTest::mouseClick(chart.viewport(), Qt::LeftButton, {}, at.toPoint());
    };
    chart.setGrid(3, 2);
    chart.setData(0, 0, 2.0);
    chart.setData(2, 0, 8.0);
    chart.setData(1, 1, 5.0);
    chart.setAxisRange(ChartControl::Axis::Y, 0, 10);
    chart.refresh();
    EXPECT_FALSE(chart.pointPosition(0, 1) || chart.pointPosition(1, 0));
    const QPointF low = *chart.pointPosition(0, 0);
    const QPointF high = *chart.pointPosition(0, 2);
    const QPointF middle = *chart.pointPosition(1, 1);
    EXPECT_TRUE(low.x() < middle.x() && middle.x() < high.x());
    EXPECT_TRUE(low.y() > middle.y() && middle.y() > high.y());
    click(middle);
    click(QPointF(low.x(), high.y())); // no point there
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.takeFirst(), (QList<QVariant>{1, 1}));

    chart.setChartType(ChartControl::ChartType::XY);
    chart.setGrid(2, 2);
    chart.setData(0, 0, 2.0);
    chart.setData(0, 1, 9.0);
    chart.setData(1, 0, 8.0); // no y: no point
    chart.setAxisRange(ChartControl::Axis::X, 0, 10);
    chart.setMarker(0, true, 150, ChartControl::MarkerStyle::Ball, QColor(0, 0, 255));
    chart.refresh();
    ASSERT_EQ(chart.seriesCount(), 1);
    EXPECT_FALSE(chart.pointPosition(0, 1));
    const QPointF p = *chart.pointPosition(0, 0);
    EXPECT_TRUE(p.x() < chart.width() / 2 && p.y() < chart.height() / 2);
    const QImage picture = chart.picture();
    EXPECT_EQ(picture.size(), chart.size() * chart.devicePixelRatio());
    const QColor atPoint = picture.pixelColor((p * chart.devicePixelRatio()).toPoint());
    EXPECT_GT(atPoint.blue(), 2 * atPoint.red()) << atPoint.name().toStdString();
    click(p + QPointF(2, 2));
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.takeFirst(), (QList<QVariant>{0, 0}));
}
