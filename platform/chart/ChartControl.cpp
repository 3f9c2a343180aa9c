#include "platform/chart/ChartControl.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QScatterSeries>
#include <QValueAxis>

#include <cmath>

namespace
{

// Colours of the columns in order, distinct enough to tell a dozen lines apart.
const QColor kPalette[] = {QColor(31, 119, 180),  QColor(214, 39, 40),  QColor(44, 160, 44),   QColor(255, 127, 14),
                           QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127),
                           QColor(188, 189, 34),  QColor(23, 190, 207), QColor(0, 0, 128),     QColor(128, 0, 0)};

qreal pixels(int twips)
{
    return qreal(twips) / ChartControl::TwipsPerPixel;
}

QFont titleFont()
{
    QFont f(QStringLiteral("Arial"));
    f.setPointSize(9);
    f.setBold(true);
    return f;
}

// A tick every 1, 2, 5, 10, ... so that a value axis carries about ten of them.
double tickInterval(double span)
{
    if (span <= 0)
        return 1;
    const double raw = span / 10;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double step : {1.0, 2.0, 5.0})
        if (raw <= step * magnitude)
            return step * magnitude;
    return 10 * magnitude;
}

} // namespace

ChartControl::ChartControl(QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);
    chart()->setBackgroundRoundness(0);
    chart()->setMargins(QMargins(4, 4, 4, 4));
    chart()->legend()->setAlignment(Qt::AlignRight);
}

ChartControl::~ChartControl() = default;

void ChartControl::setGrid(int rows, int columns)
{
    rows = qMax(0, rows);
    columns = qMax(0, columns);
    m_rowLabels = QStringList(rows, QString());
    m_columnLabels = QStringList(columns, QString());
    m_cells = QList<QList<Cell>>(rows, QList<Cell>(columns));
    m_looks = QList<SeriesLook>(seriesCount());
    m_dirty = true;
}

void ChartControl::setRowLabel(int row, const QString& label)
{
    if (row >= 0 && row < rowCount())
        m_rowLabels[row] = label;
    m_dirty = true;
}

void ChartControl::setColumnLabel(int column, const QString& label)
{
    if (column >= 0 && column < columnCount())
        m_columnLabels[column] = label;
    m_dirty = true;
}

void ChartControl::setData(int row, int column, Cell value)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    if (value && !std::isfinite(*value))
        value.reset();
    m_cells[row][column] = value;
    m_dirty = true;
}

ChartControl::Cell ChartControl::data(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return std::nullopt;
    return m_cells[row][column];
}

int ChartControl::seriesCount() const
{
    return m_type == ChartType::Line ? columnCount() : columnCount() / 2;
}

ChartControl::SeriesLook& ChartControl::look(int series)
{
    if (series >= m_looks.size())
        m_looks.resize(series + 1);
    m_dirty = true;
    return m_looks[series];
}

void ChartControl::setShowLine(int series, bool show)
{
    if (series >= 0)
        look(series).showLine = show;
}

void ChartControl::setPenWidth(int series, int twips)
{
    if (series >= 0)
        look(series).penWidthTwips = qMax(0, twips);
}

void ChartControl::setMarker(int series, bool visible, int sizeTwips, MarkerStyle style, const QColor& fill)
{
    if (series < 0)
        return;
    SeriesLook& l = look(series);
    l.markerVisible = visible;
    l.markerSizeTwips = qMax(1, sizeTwips);
    l.markerStyle = style;
    l.markerFill = fill;
}

QColor ChartControl::seriesColor(int series) const
{
    return kPalette[qMax(0, series) % int(std::size(kPalette))];
}

void ChartControl::setAxisTitle(Axis axis, const QString& title)
{
    m_titles[int(axis)] = title;
    m_dirty = true;
}

void ChartControl::setAxisRange(Axis axis, double min, double max)
{
    if (std::isfinite(min) && std::isfinite(max) && min < max)
        m_ranges[int(axis)] = std::make_pair(min, max);
    m_dirty = true;
}

void ChartControl::refresh()
{
    draw();
    viewport()->update();
}

void ChartControl::ensureDrawn()
{
    if (m_dirty)
        draw();
}

std::optional<QPointF> ChartControl::valueOf(int series, int row) const
{
    if (series < 0 || series >= seriesCount() || row < 0 || row >= rowCount())
        return std::nullopt;
    if (m_type == ChartType::Line) {
        const Cell y = m_cells[row][series];
        return y ? std::optional<QPointF>(QPointF(row, *y)) : std::nullopt;
    }
    const Cell x = m_cells[row][2 * series];
    const Cell y = m_cells[row][2 * series + 1];
    return x && y ? std::optional<QPointF>(QPointF(*x, *y)) : std::nullopt;
}

// Category labels must differ from one another; a repeated label gets invisible characters appended.
QStringList ChartControl::uniqueRowLabels() const
{
    QStringList labels;
    for (const QString& label : m_rowLabels) {
        QString unique = label.isEmpty() ? QStringLiteral(" ") : label;
        while (labels.contains(unique))
            unique += QChar(0x200B);
        labels << unique;
    }
    return labels;
}

void ChartControl::draw()
{
    QChart* c = chart();
    c->removeAllSeries();
    for (QAbstractAxis* axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    m_mappingSeries = nullptr;

    if (m_type == ChartType::Line) {
        auto* x = new QBarCategoryAxis;
        x->append(uniqueRowLabels());
        // Labels that would not fit side by side stand on end rather than be cut short.
        const QFontMetrics metrics(x->labelsFont());
        int widest = 0;
        for (const QString& label : m_rowLabels)
            widest = qMax(widest, metrics.horizontalAdvance(label));
        const double room = width() * (m_legend ? 0.6 : 0.85) / qMax(1, rowCount());
        x->setLabelsAngle(widest + 12 > room ? -90 : 0);
        m_axisX = x;
    } else {
        m_axisX = new QValueAxis;
    }
    m_axisY = new QValueAxis;
    for (int a = 0; a < 2; ++a) {
        QAbstractAxis* axis = a == 0 ? m_axisX : m_axisY;
        axis->setTitleText(m_titles[a]);
        axis->setTitleFont(titleFont());
        auto* values = qobject_cast<QValueAxis*>(axis);
        if (!values)
            continue;
        const auto range = m_ranges[a].value_or(std::make_pair(0.0, 10.0));
        values->setRange(range.first, range.second);
        values->setTickType(QValueAxis::TicksDynamic);
        values->setTickAnchor(range.first);
        values->setTickInterval(tickInterval(range.second - range.first));
        values->setLabelFormat(QStringLiteral("%g"));
    }
    c->addAxis(m_axisX, Qt::AlignBottom);
    c->addAxis(m_axisY, Qt::AlignLeft);

    for (int s = 0; s < seriesCount(); ++s) {
        if (m_type == ChartType::Line)
            drawLineSeries(s);
        else
            drawXYSeries(s);
    }
    c->legend()->setVisible(m_legend);
    c->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    m_dirty = false;
}

void ChartControl::attach(QAbstractSeries* series)
{
    chart()->addSeries(series);
    series->attachAxis(m_axisX);
    series->attachAxis(m_axisY);
    if (!m_mappingSeries)
        m_mappingSeries = series;
}

// One line per run of filled cells, so an empty cell breaks the line; the first run carries the legend entry.
void ChartControl::drawLineSeries(int series)
{
    const SeriesLook l = m_looks.value(series);
    QPen pen(seriesColor(series));
    pen.setWidthF(pixels(l.penWidthTwips));
    if (!l.showLine)
        pen.setStyle(Qt::NoPen);
    const QImage marker = l.markerVisible ? markerImage(series) : QImage();

    QList<QLineSeries*> runs;
    QLineSeries* run = nullptr;
    for (int r = 0; r <= rowCount(); ++r) {
        const std::optional<QPointF> p = r < rowCount() ? valueOf(series, r) : std::nullopt;
        if (!p) {
            run = nullptr;
            continue;
        }
        if (!run)
            runs << (run = new QLineSeries);
        run->append(*p);
    }
    if (runs.isEmpty())
        runs << new QLineSeries; // a column without points keeps its legend entry and colour
    for (int i = 0; i < runs.size(); ++i) {
        QLineSeries* line = runs[i];
        line->setName(i == 0 ? m_columnLabels.value(series) : QString());
        line->setPen(pen);
        line->setColor(seriesColor(series));
        if (!marker.isNull()) {
            line->setMarkerSize(pixels(l.markerSizeTwips));
            line->setLightMarker(marker);
        }
        attach(line);
        if (i > 0)
            for (QLegendMarker* m : chart()->legend()->markers(line))
                m->setVisible(false);
    }
}

void ChartControl::drawXYSeries(int series)
{
    const SeriesLook l = m_looks.value(series);
    auto* points = new QScatterSeries;
    points->setName(m_columnLabels.value(2 * series));
    points->setColor(l.markerFill.isValid() ? l.markerFill : seriesColor(series));
    points->setBorderColor(Qt::transparent);
    points->setMarkerSize(pixels(l.markerSizeTwips));
    if (l.markerVisible)
        points->setLightMarker(markerImage(series));
    for (int r = 0; r < rowCount(); ++r)
        if (const std::optional<QPointF> p = valueOf(series, r))
            points->append(*p);
    attach(points);
}

// The marker of a series as a picture: a plain disc, or a ball lit from the upper left.
QImage ChartControl::markerImage(int series) const
{
    const SeriesLook l = m_looks.value(series);
    const QColor colour = l.markerFill.isValid() ? l.markerFill : seriesColor(series);
    const int size = qMax(4, int(std::lround(pixels(l.markerSizeTwips) * 4)));
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (l.markerStyle == MarkerStyle::Ball) {
        QRadialGradient g(QPointF(size * 0.5, size * 0.5), size * 0.5, QPointF(size * 0.35, size * 0.3));
        g.setColorAt(0, colour.lighter(190));
        g.setColorAt(0.45, colour);
        g.setColorAt(1, colour.darker(220));
        p.setBrush(g);
    } else {
        p.setBrush(colour);
    }
    p.drawEllipse(QRectF(0.5, 0.5, size - 1, size - 1));
    return image;
}

QImage ChartControl::picture()
{
    ensureDrawn();
    return grab().toImage();
}

std::optional<QPointF> ChartControl::pointPosition(int series, int row)
{
    ensureDrawn();
    const std::optional<QPointF> value = valueOf(series, row);
    if (!value || !m_mappingSeries)
        return std::nullopt;
    const QPointF inChart = chart()->mapToPosition(*value, m_mappingSeries);
    return QPointF(mapFromScene(chart()->mapToScene(inChart)));
}

std::optional<std::pair<int, int>> ChartControl::pointAt(const QPointF& position)
{
    std::optional<std::pair<int, int>> best;
    double bestDistance = 0;
    for (int s = 0; s < seriesCount(); ++s) {
        const SeriesLook l = m_looks.value(s);
        const double reach = qMax(4.0, pixels(l.markerSizeTwips) / 2) + 2;
        for (int r = 0; r < rowCount(); ++r) {
            const std::optional<QPointF> p = pointPosition(s, r);
            if (!p)
                continue;
            const double d = std::hypot(p->x() - position.x(), p->y() - position.y());
            // The first point drawn wins among equally near ones.
            if (d <= reach && (!best || d < bestDistance)) {
                best = std::make_pair(s, r);
                bestDistance = d;
            }
        }
    }
    return best;
}

void ChartControl::mousePressEvent(QMouseEvent* event)
{
    QChartView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (const auto hit = pointAt(event->position()))
        emit pointSelected(hit->first, hit->second);
}
