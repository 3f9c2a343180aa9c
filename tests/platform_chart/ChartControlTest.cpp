#include "platform/chart/ChartControl.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QSignalSpy>
#include <QTest>
#include <QValueAxis>
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

namespace
{

// Where Qt's own layout puts a value, in the view's pixels: read from the plot area and the axes once the events that
// lay the chart out have run, not from the control's picture or its point positions.
QPointF laidOut(ChartControl& chart, const QPointF& value)
{
    QCoreApplication::processEvents();
    const QRectF area = chart.chart()->plotArea();
    const auto* x = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Horizontal).value(0));
    const auto* y = qobject_cast<QValueAxis*>(chart.chart()->axes(Qt::Vertical).value(0));
    const QPointF inChart(area.left() + (value.x() - x->min()) / (x->max() - x->min()) * area.width(),
                          area.bottom() - (value.y() - y->min()) / (y->max() - y->min()) * area.height());
    return chart.mapFromScene(chart.chart()->mapToScene(inChart));
}

bool bluish(const QImage& picture, const QPointF& at)
{
    const QColor c = picture.pixelColor(at.toPoint());
    return c.blue() > 2 * c.red() && c.blue() > 2 * c.green();
}

// Pixels darker than mid-grey within the rectangle, as text leaves them.
int inked(const QImage& picture, const QRect& rect)
{
    int n = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            n += qGray(picture.pixel(x, y)) < 128;
    return n;
}

} // namespace

// Taken at once after drawing, with none of Qt's layout events run yet, the picture already shows the chart as Qt
// lays it out: the axis titles in their places and every point whole where its values put it, on the outermost
// ticks and beyond them; the axes keep their ticks from 0 to 10 and reach a little further.
TEST(ChartControlTest, ThePictureShowsTheChartAsLaidOutWithEdgePointsWhole)
{
    ChartControl chart;
    chart.resize(430, 330);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.setChartType(ChartControl::ChartType::XY);
    chart.setLegendVisible(false);
    chart.setAxisTitle(ChartControl::Axis::X, QStringLiteral("Score"));
    chart.setAxisTitle(ChartControl::Axis::Y, QStringLiteral("Weightage"));
    chart.setAxisRange(ChartControl::Axis::X, 0, 10);
    chart.setAxisRange(ChartControl::Axis::Y, 0, 10);
    const QList<QPointF> values{{10, 10}, {10.1, 9.9}, {9.9, 10.1}, {0, 0}, {5, 3}};
    chart.setGrid(int(values.size()), 2);
    for (int r = 0; r < values.size(); ++r) {
        chart.setData(r, 0, values[r].x());
        chart.setData(r, 1, values[r].y());
    }
    chart.setMarker(0, true, 150, ChartControl::MarkerStyle::Ball, QColor(0, 0, 255));
    chart.refresh();
    const QImage picture = chart.picture();

    const qreal ratio = chart.devicePixelRatio();
    const qreal radius = 150.0 / ChartControl::TwipsPerPixel / 2 - 2;
    for (const QPointF& value : values) {
        const QPointF at = laidOut(chart, value) * ratio;
        for (const QPointF& edge :
             {QPointF(0, 0), QPointF(radius, 0), QPointF(-radius, 0), QPointF(0, radius), QPointF(0, -radius)})
            EXPECT_TRUE(bluish(picture, at + edge * ratio))
                << value.x() << "," << value.y() << " at " << edge.x() << "," << edge.y();
    }
    // The x title lies centred below the plot area's tick labels, the y title upright left of them.
    const QRectF area = chart.chart()->plotArea();
    const QFontMetrics labels(chart.chart()->axes(Qt::Vertical).value(0)->labelsFont());
    const int below = int(area.bottom()) + labels.height() + 6;
    const QRect xTitle(int(area.center().x()) - 15, below, 30, chart.height() - below);
    const QRect yTitle(0, int(area.center().y()) - 15, int(area.left()) - labels.horizontalAdvance("10") - 6, 30);
    EXPECT_GT(inked(picture, QRect(xTitle.topLeft() * ratio, xTitle.size() * ratio)), 10);
    EXPECT_GT(inked(picture, QRect(yTitle.topLeft() * ratio, yTitle.size() * ratio)), 10);

    const QList<double> ticks{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(chart.axisTicks(ChartControl::Axis::X), ticks);
    EXPECT_EQ(chart.axisTicks(ChartControl::Axis::Y), ticks);
}

// A line per column, each in a colour of its own however many columns there are.
TEST(ChartControlTest, EverySeriesHasAColourOfItsOwn)
{
    ChartControl chart;
    chart.setGrid(2, 40);
    for (int c = 0; c < 40; ++c) {
        chart.setColumnLabel(c, QString::number(c));
        chart.setData(0, c, c % 10);
    }
    chart.refresh();
    QList<QRgb> colours;
    for (QAbstractSeries* series : chart.chart()->series())
        colours << qobject_cast<QLineSeries*>(series)->color().rgb();
    ASSERT_EQ(colours.size(), 40);
    for (int i = 0; i < colours.size(); ++i)
        for (int j = i + 1; j < colours.size(); ++j)
            EXPECT_NE(colours[i], colours[j]) << i << " and " << j;
}

// However many series there are, each one's name stands whole in the legend, inside the chart, both on the screen
// and in the picture.
TEST(ChartControlTest, TheLegendShowsEverySeriesName)
{
    ChartControl chart;
    chart.resize(753, 302); // the satisfaction index window's chart
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    const int count = 20;
    chart.setGrid(3, count);
    QStringList names;
    for (int c = 0; c < count; ++c) {
        names << QStringLiteral("Parameter %1").arg(c + 1);
        chart.setColumnLabel(c, names.last());
        chart.setData(c % 3, c, c % 10);
        chart.setMarker(c, true, 140, ChartControl::MarkerStyle::Ball);
    }
    chart.refresh();
    chart.picture();

    // Every label drawn whole within the chart, and within the legend when Qt's legend holds it.
    const QLegend* legend = chart.chart()->legend();
    const QRectF bounds = chart.chart()->sceneBoundingRect();
    QStringList shown;
    QList<QGraphicsItem*> items = chart.chart()->childItems();
    while (!items.isEmpty()) {
        QGraphicsItem* item = items.takeFirst();
        items << item->childItems();
        const QRectF at = item->sceneBoundingRect();
        if (!item->isVisible() || !bounds.contains(at) ||
            (legend->isAncestorOf(item) && !legend->sceneBoundingRect().contains(at)))
            continue;
        if (const auto* text = dynamic_cast<QGraphicsTextItem*>(item))
            shown << text->toPlainText();
        else if (const auto* simple = dynamic_cast<QGraphicsSimpleTextItem*>(item))
            shown << simple->text();
    }
    for (const QString& name : names)
        EXPECT_TRUE(shown.contains(name)) << name.toStdString();
}

// The value axes write their numbers as the system does: "0,5" under a decimal comma.
TEST(ChartControlTest, AxisNumbersFollowTheSystemsFormat)
{
    const QLocale system;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ChartControl chart;
    QLocale::setDefault(system);
    chart.resize(500, 360);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    chart.setGrid(2, 1);
    chart.setData(0, 0, 1.0);
    chart.setData(1, 0, 2.5);
    chart.setAxisRange(ChartControl::Axis::Y, 0, 3);
    chart.refresh();
    chart.picture();
    QStringList labels;
    for (const QGraphicsItem* item : chart.scene()->items())
        if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item); text && item->isVisible())
            labels << text->toPlainText();
    EXPECT_TRUE(labels.contains(QStringLiteral("0,5"))) << labels.join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(labels.contains(QStringLiteral("0.5")));
}
