#pragma once

#include <QChartView>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <optional>

class QAbstractAxis;
class QAbstractSeries;
class QGraphicsRectItem;

// The chart control: a grid of rows by columns, each row labelled and each column a named series, drawn as a line
// chart (one line per column over the rows) or as an XY chart (the columns taken in pairs, x then y, one series
// per pair and one point per row). An empty cell is no point. Rows, columns and series count from 0. Measures
// (marker size, pen width) are in twips, 15 to the pixel, as the windows give them.
//
// Setting the grid or the series' looks changes nothing on the screen until refresh() draws it again.
class ChartControl : public QChartView
{
    Q_OBJECT

public:
    enum class ChartType { Line, XY };
    enum class Axis { X, Y };
    enum class MarkerStyle { Circle, Ball };
    using Cell = std::optional<double>;

    static constexpr int TwipsPerPixel = 15;

    explicit ChartControl(QWidget* parent = nullptr);
    ~ChartControl() override;

    void setChartType(ChartType type) { m_type = type; }

    // A new grid of empty cells; labels are cleared and the series take their default looks.
    void setGrid(int rows, int columns);
    int rowCount() const { return int(m_rowLabels.size()); }
    int columnCount() const { return int(m_columnLabels.size()); }
    void setRowLabel(int row, const QString& label);
    QString rowLabel(int row) const { return m_rowLabels.value(row); }
    void setColumnLabel(int column, const QString& label);
    QString columnLabel(int column) const { return m_columnLabels.value(column); }
    void setData(int row, int column, Cell value);
    Cell data(int row, int column) const;

    // Columns of a line chart, column pairs of an XY chart.
    int seriesCount() const;
    void setShowLine(int series, bool show);
    void setPenWidth(int series, int twips);
    // An invalid fill colour stands for the series' own colour.
    void setMarker(int series, bool visible, int sizeTwips, MarkerStyle style, const QColor& fill = QColor());

    void setAxisTitle(Axis axis, const QString& title);
    // A value axis carries its ticks over this range (the category axis of a line chart has its rows instead). The
    // axis itself reaches a little beyond it, so that points on or past its ends are drawn whole.
    void setAxisRange(Axis axis, double min, double max);
    // The values a value axis shows ticks at, lowest first; empty for the category axis.
    QList<double> axisTicks(Axis axis);
    void setLegendVisible(bool visible) { m_legend = visible; }

    // Draws the chart from the grid and the settings.
    void refresh();

    // The chart as it is drawn on the screen, laid out even when the events that lay it out are still waiting.
    QImage picture();
    // Where a point is drawn, in the coordinates of the control's viewport (where the mouse is read); nothing when
    // there is no point in that row.
    std::optional<QPointF> pointPosition(int series, int row);

signals:
    // A click on a point.
    void pointSelected(int series, int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct SeriesLook {
        bool showLine = true;
        int penWidthTwips = 15;
        bool markerVisible = false;
        int markerSizeTwips = 120;
        MarkerStyle markerStyle = MarkerStyle::Circle;
        QColor markerFill;
    };
    // Each column keeps its colour whatever the other columns hold.
    QColor seriesColor(int series) const;
    std::optional<QPointF> valueOf(int series, int row) const;
    // The point under a viewport position: series and row, or nothing.
    std::optional<std::pair<int, int>> pointAt(const QPointF& position);
    void ensureDrawn();
    // Lays the chart out now and fits the value axes' margins to its plot area.
    void settle();
    void fitMargins();
    void fitLegend();
    void setChartMargins(const QMargins& margins);
    std::pair<double, double> tickRange(int axis) const;
    std::optional<QPointF> positionOf(int series, int row) const;
    void draw();
    void drawLineSeries(int series);
    void drawXYSeries(int series);
    void attach(QAbstractSeries* series);
    QImage markerImage(int series) const;
    QStringList uniqueRowLabels() const;
    SeriesLook& look(int series);

    ChartType m_type = ChartType::Line;
    QStringList m_rowLabels;
    QStringList m_columnLabels;
    QList<QList<Cell>> m_cells;
    QList<SeriesLook> m_looks;
    QString m_titles[2];
    std::optional<std::pair<double, double>> m_ranges[2];
    bool m_legend = true;
    bool m_dirty = true;
    QAbstractAxis* m_axisX = nullptr;
    QAbstractAxis* m_axisY = nullptr;
    QAbstractSeries* m_mappingSeries = nullptr;
    bool m_fitting = false;
    QFont m_legendFont;
    // The legend's entries in columns when Qt's one column cannot hold them.
    QGraphicsRectItem* m_legendColumns = nullptr;
};
