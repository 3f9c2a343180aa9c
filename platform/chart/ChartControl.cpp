#include "platform/chart/ChartControl.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsLineItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QScopedValueRollback>
#include <QValueAxis>

#include <cmath>

namespace
{

// Colours of the columns in order, distinct enough to tell a dozen lines apart.
const QColor kPalette[] = {QColor(31, 119, 180),  QColor(214, 39, 40),  QColor(44, 160, 44),   QColor(255, 127, 14),
                           QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194), QColor(127, 127, 127),
                           QColor(188, 189, 34),  QColor(23, 190, 207), QColor(0, 0, 128),     QColor(128, 0, 0)};

// The smallest legend font, and the room Qt's legend leaves above and below each entry.
constexpr qreal kLegendFloorPoints = 6;
constexpr qreal kLegendEntryMargin = 4;

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
    // The value axes' numbers in the system's format, as every number the windows show.
    chart()->setLocalizeNumbers(true);
    chart()->setMargins(QMargins(4, 4, 4, 4));
    chart()->legend()->setAlignment(Qt::AlignRight);
    m_legendFont = chart()->legend()->font();
    // The margins beyond the ticks are measured in pixels, so they follow the plot area's size.
    connect(chart(), &QChart::plotAreaChanged, this, [this] {
        if (!m_fitting)
            fitMargins();
    });
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
    const int named = int(std::size(kPalette));
    if (series < named)
        return kPalette[qMax(0, series)];
    // Past the palette, hues a golden section apart in turn through three shades: no two series share a colour.
    const int k = series - named;
    const double hue = std::fmod(0.8333 + k * 0.6180339887498949, 1.0);
    const double shades[] = {0.55, 0.8, 0.4};
    return QColor::fromHsvF(float(hue), 0.9f, float(shades[k % 3]));
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

QList<double> ChartControl::axisTicks(Axis axis)
{
    settle();
    const auto* values = qobject_cast<QValueAxis*>(axis == Axis::X ? m_axisX : m_axisY);
    QList<double> ticks;
    if (!values)
        return ticks;
    // Ticks stand at the anchor and every interval from it, as far as the axis reaches.
    const double step = values->tickInterval();
    const double first = values->tickAnchor() + std::ceil((values->min() - values->tickAnchor()) / step - 1e-9) * step;
    for (double t = first; t <= values->max() + 1e-9 * step; t += step)
        ticks << t;
    return ticks;
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

void ChartControl::settle()
{
    ensureDrawn();
    // A resize or layout request still in the queue would otherwise reach the chart only after the caller has read
    // or pictured it.
    if (chart()->size() != QSizeF(size())) {
        QResizeEvent resize(size(), size());
        QCoreApplication::sendEvent(this, &resize);
    }
    fitLegend();
    if (QGraphicsLayout* layout = chart()->layout())
        layout->activate();
    fitMargins();
    if (QGraphicsLayout* layout = chart()->layout())
        layout->activate();
}

// Qt's legend stands in one column beside the plot and drops the entries that reach past the chart's foot. Its font
// shrinks, down to a floor that stays readable, until every entry fits the chart's height; when even that is too
// tall, the entries are laid out in as many columns as they need beside the plot instead.
void ChartControl::fitLegend()
{
    QLegend* legend = chart()->legend();
    delete m_legendColumns;
    m_legendColumns = nullptr;
    const QMargins plain(4, 4, 4, 4);
    if (!m_legend) {
        setChartMargins(plain);
        return;
    }
    // One entry per series, counted from the grid: Qt hides the markers of a hidden legend.
    const int entries = seriesCount();
    QStringList labels;
    qreal marker = 0;
    for (int s = 0; s < entries; ++s) {
        labels << m_columnLabels.value(m_type == ChartType::Line ? s : 2 * s);
        if (m_looks.value(s).markerVisible)
            marker = qMax(marker, pixels(m_looks.value(s).markerSizeTwips));
    }
    // The legend stands within the chart's margins and its layout's.
    qreal left = 0;
    qreal top = 0;
    qreal right = 0;
    qreal bottom = 0;
    if (QGraphicsLayout* layout = chart()->layout())
        layout->getContentsMargins(&left, &top, &right, &bottom);
    // The view's size: the chart takes it on the next layout, and a chart not laid out yet has none of its own.
    const QSizeF chartSize(size());
    const qreal room = chartSize.height() - plain.top() - plain.bottom() - top - bottom;
    QFont font = m_legendFont;
    const qreal floor = qMin(kLegendFloorPoints, font.pointSizeF());
    qreal line = 0;
    for (qreal points = font.pointSizeF(); points >= floor; points -= 0.5) {
        font.setPointSizeF(points);
        // An entry is as tall as its label or its marker, with a margin above and below.
        line = std::ceil(qMax(QFontMetricsF(font).height(), marker)) + 2 * kLegendEntryMargin;
        if ((entries + 0.5) * line <= room)
            break;
    }
    if (legend->font() != font)
        legend->setFont(font);
    // Half an entry to spare: Qt clips the foot of the last label in a column filled to the brim.
    const bool fits = (entries + 0.5) * line <= room;
    legend->setVisible(fits);
    if (fits) {
        setChartMargins(plain);
        return;
    }

    const QFontMetricsF metrics(font);
    const qreal pitch = std::ceil(qMax(metrics.height(), marker)) + 2;
    const int rows = qMax(1, int(room / pitch));
    const int columns = (entries + rows - 1) / rows;
    const qreal swatch = qMax(12.0, marker + 4);
    qreal widest = 0;
    for (const QString& label : labels)
        widest = qMax(widest, metrics.horizontalAdvance(label));
    const qreal columnWidth = std::ceil(swatch + 4 + widest + 8);
    // However many columns, the plot keeps at least half the chart's width.
    const int width = int(qMin(columns * columnWidth, chartSize.width() / 2));
    m_legendColumns = new QGraphicsRectItem(chart());
    m_legendColumns->setPen(Qt::NoPen);
    m_legendColumns->setRect(0, 0, width, rows * pitch);
    m_legendColumns->setFlag(QGraphicsItem::ItemClipsChildrenToShape);
    m_legendColumns->setPos(chartSize.width() - plain.right() - right - width,
                            plain.top() + top + (room - qMin(entries, rows) * pitch) / 2);
    for (int s = 0; s < entries; ++s) {
        const QPointF at((s / rows) * columnWidth, (s % rows) * pitch);
        const SeriesLook l = m_looks.value(s);
        if (m_type == ChartType::Line && l.showLine) {
            auto* stroke = new QGraphicsLineItem(0, pitch / 2, swatch, pitch / 2, m_legendColumns);
            stroke->setPen(QPen(seriesColor(s), 2));
            stroke->setPos(at);
        }
        if (l.markerVisible || m_type == ChartType::XY) {
            const int size = qMin(int(pitch), int(pixels(l.markerSizeTwips)));
            auto* dot =
                new QGraphicsPixmapItem(QPixmap::fromImage(markerImage(s).scaled(
                                            QSize(size, size), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)),
                                        m_legendColumns);
            dot->setPos(at + QPointF((swatch - size) / 2, (pitch - size) / 2));
        }
        auto* label = new QGraphicsSimpleTextItem(labels[s], m_legendColumns);
        label->setFont(font);
        label->setBrush(legend->labelColor());
        label->setPos(at + QPointF(swatch + 4, (pitch - metrics.height()) / 2));
    }
    setChartMargins(QMargins(plain.left(), plain.top(), plain.right() + width + 4, plain.bottom()));
}

// Setting the margins lays the chart out again, so they are set only when they change.
void ChartControl::setChartMargins(const QMargins& margins)
{
    if (chart()->margins() != margins)
        chart()->setMargins(margins);
}

std::pair<double, double> ChartControl::tickRange(int axis) const
{
    return m_ranges[axis].value_or(std::make_pair(0.0, 10.0));
}

// Each value axis reaches beyond its ticks and its points by as many pixels as the largest marker or pen reaches
// from a point's centre, so that nothing on or past the outermost ticks is cut off at the plot area's edge.
void ChartControl::fitMargins()
{
    double reach = 0;
    for (int s = 0; s < seriesCount(); ++s) {
        const SeriesLook l = m_looks.value(s);
        reach = qMax(reach, pixels(l.penWidthTwips) / 2);
        if (l.markerVisible || m_type == ChartType::XY)
            reach = qMax(reach, pixels(l.markerSizeTwips) / 2);
    }
    reach += 2;
    const QRectF area = chart()->plotArea();
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    for (int a = 0; a < 2; ++a) {
        auto* values = qobject_cast<QValueAxis*>(a == 0 ? m_axisX : m_axisY);
        if (!values)
            continue;
        auto [low, high] = tickRange(a);
        for (int s = 0; s < seriesCount(); ++s)
            for (int r = 0; r < rowCount(); ++r)
                if (const std::optional<QPointF> p = valueOf(s, r)) {
                    low = qMin(low, a == 0 ? p->x() : p->y());
                    high = qMax(high, a == 0 ? p->x() : p->y());
                }
        const double length = a == 0 ? area.width() : area.height();
        // Before the first layout there is no plot area to measure: a twentieth of the span will do until then.
        const double pad = length > 4 * reach ? reach * (high - low) / (length - 2 * reach) : (high - low) / 20;
        const double tolerance = 1e-9 * (high - low);
        if (std::abs(values->min() - (low - pad)) > tolerance || std::abs(values->max() - (high + pad)) > tolerance)
            values->setRange(low - pad, high + pad);
    }
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
        const auto range = tickRange(a);
        values->setRange(range.first, range.second);
        values->setTickType(QValueAxis::TicksDynamic);
        values->setTickAnchor(range.first);
        values->setTickInterval(tickInterval(range.second - range.first));
        // Qt localises only a format that gives its precision.
        values->setLabelFormat(QStringLiteral("%.6g"));
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
    fitLegend();
    fitMargins();
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
    settle();
    return grab().toImage();
}

std::optional<QPointF> ChartControl::pointPosition(int series, int row)
{
    settle();
    return positionOf(series, row);
}

std::optional<QPointF> ChartControl::positionOf(int series, int row) const
{
    const std::optional<QPointF> value = valueOf(series, row);
    if (!value || !m_mappingSeries)
        return std::nullopt;
    const QPointF inChart = chart()->mapToPosition(*value, m_mappingSeries);
    return QPointF(mapFromScene(chart()->mapToScene(inChart)));
}

std::optional<std::pair<int, int>> ChartControl::pointAt(const QPointF& position)
{
    settle();
    std::optional<std::pair<int, int>> best;
    double bestDistance = 0;
    for (int s = 0; s < seriesCount(); ++s) {
        const SeriesLook l = m_looks.value(s);
        const double reach = qMax(4.0, pixels(l.markerSizeTwips) / 2) + 2;
        for (int r = 0; r < rowCount(); ++r) {
            const std::optional<QPointF> p = positionOf(s, r);
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

void ChartControl::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    fitLegend();
}
