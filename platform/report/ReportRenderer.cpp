#include "platform/report/ReportRenderer.h"

#include "platform/desktop/Desktop.h"
#include "platform/files/FileGuard.h"
#include "platform/files/WholeFile.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>
#include <QTextLayout>
#include <QTextOption>

namespace
{

// A printer set to high resolution writes its PDF at this many dots per inch.
constexpr int kPdfResolution = 1200;

const QColor kInk(0x1f, 0x1f, 0x1f);
const QColor kAccent(0x2f, 0x4a, 0x6d);
const QColor kGroupBand(0xdd, 0xe5, 0xef);
const QColor kStripe(0xf3, 0xf5, 0xf8);
const QColor kRule(0x8a, 0x99, 0xad);

QFont font(qreal points, bool bold = false, bool italic = false)
{
    QFont f;
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

Qt::Alignment alignmentOf(const ValueFormat& format)
{
    switch (format.kind()) {
    case ValueFormat::Kind::Integer:
    case ValueFormat::Kind::Fixed:
    case ValueFormat::Kind::Date:
    case ValueFormat::Kind::YesNo:
        return Qt::AlignHCenter;
    case ValueFormat::Kind::Text:
        break;
    }
    return Qt::AlignLeft;
}

QString printable(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char('\r'));
    t.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return t;
}

} // namespace

struct ReportRenderer::Metrics {
    QPaintDevice* device = nullptr;
    qreal mm = 1; // device units per millimetre
    QRectF area;  // the printable area, in painter coordinates
    QFont body = font(9);
    QFont bold = font(9, true);
    QFont columnHead = font(8.5, true);
    QFont group0 = font(10.5, true);
    QFont group1 = font(9.5, true);
    QFont heading = font(16, true);
    QFont title = font(13);
    QFont running = font(8.5);
    QFont runningBold = font(8.5, true);
    QFont foot = font(8);
    QFont note = font(9, false, true);
    qreal padX = 0;
    qreal padY = 0;
    QList<qreal> colX;
    QList<qreal> colW;
    QList<Qt::Alignment> colAlign;
    qreal columnHeadHeight = 0;
    qreal firstTop = 0; // where the table starts on the first page
    qreal laterTop = 0; // and on the others
    qreal bottom = 0;   // the lowest point of the table on any page
    QRectF pictureRect;
};

ReportRenderer::ReportRenderer(const ReportDefinition& definition, const ReportData& data,
                               const QHash<QString, QString>& formulas, const QImage& picture)
    : m_definition(definition), m_data(data), m_picture(picture)
{
    for (auto it = formulas.cbegin(); it != formulas.cend(); ++it)
        m_formulas.insert(it.key().toLower(), it.value());
    buildItems();
}

ReportRenderer::Item ReportRenderer::makeItem(Kind kind, int level, const QString& text)
{
    Item item;
    item.kind = kind;
    item.level = level;
    item.text = text;
    return item;
}

QString ReportRenderer::formula(const QString& name) const
{
    return m_formulas.value(name.toLower());
}

// "{field}", "{field:format}" or "{Formula}" in a text; fields are those of the given row.
QString ReportRenderer::expand(const QString& text, int row) const
{
    static const QRegularExpression placeholder(QStringLiteral("\\{([A-Za-z0-9_]+)(?::([^}]*))?\\}"));
    QString out;
    qsizetype last = 0;
    for (auto it = placeholder.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString name = m.captured(1);
        const int field = row >= 0 ? m_data.fieldIndex(name) : -1;
        if (field < 0) {
            out += formula(name);
            continue;
        }
        ValueFormat format;
        QString ignored;
        if (!m.captured(2).isEmpty())
            ValueFormat::parse(m.captured(2), &format, &ignored);
        else if (const ReportDefinition::Column* c = m_definition.column(name))
            format = c->format;
        out += format.apply(m_data.value(row, field));
    }
    return out + text.mid(last);
}

void ReportRenderer::buildItems()
{
    m_heading = expand(m_definition.heading, -1);
    m_title = expand(m_definition.title, -1);
    QList<int> all;
    for (int r = 0; r < m_data.rowCount(); ++r)
        all << r;
    if (all.isEmpty()) {
        m_items << makeItem(Kind::Empty, 0, expand(m_definition.emptyText, -1));
    } else {
        addGroup(all, 0);
        if (!m_definition.averages.isEmpty())
            addAverage(all, 0,
                       m_definition.groups.isEmpty() ? QStringLiteral("Average") : QStringLiteral("Overall average"));
    }
    if (!m_definition.countLabel.isEmpty())
        m_items << makeItem(Kind::Count, 0,
                            m_definition.countLabel + QStringLiteral(": ") + QLocale().toString(m_data.rowCount()));
}

// Rows of one group level: its groups in the order of their first row, each with its heading.
void ReportRenderer::addGroup(const QList<int>& rows, int level)
{
    if (level == m_definition.groups.size()) {
        bool shaded = false;
        for (int r : rows) {
            Item item = makeItem(Kind::Row, level);
            for (const ReportDefinition::Column& c : m_definition.columns)
                item.cells << c.format.apply(m_data.value(r, m_data.fieldIndex(c.field)));
            item.shaded = shaded;
            shaded = !shaded;
            m_items << item;
        }
        if (level > 0 && !m_definition.averages.isEmpty())
            addAverage(rows, level, QStringLiteral("Average"));
        return;
    }
    const ReportDefinition::Group& group = m_definition.groups[level];
    QList<int> fields;
    for (const QString& f : group.fields)
        fields << m_data.fieldIndex(f);
    QStringList keys;
    QHash<QString, QList<int>> members;
    for (int r : rows) {
        QString key;
        for (int f : fields)
            key += m_data.value(r, f).toString() + QChar(0x1f);
        if (!members.contains(key))
            keys << key;
        members[key] << r;
    }
    for (QString key : keys) {
        const QList<int>& part = members[key];
        // Rows with none of the group's fields (an action among answers has no parameter) get no heading.
        if (!key.remove(QChar(0x1f)).trimmed().isEmpty())
            m_items << makeItem(Kind::GroupHead, level, expand(group.heading, part.first()));
        addGroup(part, level + 1);
    }
}

void ReportRenderer::addAverage(const QList<int>& rows, int level, const QString& label)
{
    Item item = makeItem(Kind::Average, level);
    bool labelled = false;
    for (const ReportDefinition::Column& c : m_definition.columns) {
        if (!m_definition.averages.contains(c.field, Qt::CaseInsensitive)) {
            item.cells << (labelled ? QString() : label);
            labelled = true;
            continue;
        }
        const int field = m_data.fieldIndex(c.field);
        double sum = 0;
        int n = 0;
        for (int r : rows) {
            double d = 0;
            if (c.format.number(m_data.value(r, field), &d)) {
                sum += d;
                ++n;
            }
        }
        const int decimals = c.format.kind() == ValueFormat::Kind::Fixed ? c.format.decimals() : 2;
        item.cells << (n == 0 ? QString() : QLocale().toString(sum / n, 'f', decimals));
    }
    m_items << item;
}

QStringList ReportRenderer::textLines() const
{
    QStringList lines{m_heading, m_title};
    for (const Item& item : m_items)
        lines << (item.cells.isEmpty() ? item.text : item.cells.join(QStringLiteral(" | ")));
    return lines;
}

QPageLayout ReportRenderer::pageLayout() const
{
    const QPageLayout::Orientation orientation =
        m_definition.landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(QPageSize(QPageSize::A4), orientation, QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
}

void ReportRenderer::setUpPrinter(QPrinter* printer) const
{
    printer->setPageLayout(pageLayout());
    printer->setDocName(m_title);
    printer->setCreator(QStringLiteral("Quorvane"));
}

ReportRenderer::Metrics ReportRenderer::metricsFor(QPagedPaintDevice* device, int resolution) const
{
    Metrics m;
    m.device = device;
    m.mm = resolution / 25.4;
    const QRect paint = device->pageLayout().paintRectPixels(resolution);
    m.area = QRectF(0, 0, paint.width(), paint.height());
    m.padX = 1.2 * m.mm;
    m.padY = 0.7 * m.mm;
    double total = 0;
    for (const ReportDefinition::Column& c : m_definition.columns)
        total += c.width;
    qreal x = 0;
    for (const ReportDefinition::Column& c : m_definition.columns) {
        const qreal w = m.area.width() * c.width / total;
        m.colX << x;
        m.colW << w;
        m.colAlign << alignmentOf(c.format);
        x += w;
    }
    qreal heads = 0;
    for (int i = 0; i < m_definition.columns.size(); ++i)
        heads = qMax(heads, textHeight(m, m.columnHead, m_definition.columns[i].heading, m.colW[i] - 2 * m.padX));
    m.columnHeadHeight = heads + 2 * m.padY + 0.6 * m.mm;

    qreal y = headHeight(m);
    if (!m_picture.isNull()) {
        QSizeF size = m_picture.size();
        size.scale(m.area.width(), m.area.height() * 0.45, Qt::KeepAspectRatio);
        m.pictureRect = QRectF((m.area.width() - size.width()) / 2, y, size.width(), size.height());
        y += size.height() + 5 * m.mm;
    }
    m.firstTop = y;
    m.laterTop = QFontMetricsF(m.runningBold, m.device).height() + 4 * m.mm;
    m.bottom = m.area.height() - QFontMetricsF(m.foot, m.device).height() - 3 * m.mm;
    return m;
}

qreal ReportRenderer::headHeight(const Metrics& m) const
{
    return textHeight(m, m.heading, m_heading, m.area.width()) + 1.5 * m.mm +
           textHeight(m, m.title, m_title, m.area.width()) + 6 * m.mm;
}

qreal ReportRenderer::textHeight(const Metrics& m, const QFont& f, const QString& text, qreal width) const
{
    const QFontMetricsF fm(f, m.device);
    const QString t = printable(text);
    if (!t.contains(QChar::LineSeparator) && fm.horizontalAdvance(t) <= width)
        return fm.height();
    QTextLayout layout(t, f, m.device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return qMax(height, fm.height());
}

qreal ReportRenderer::measure(const Metrics& m, const Item& item) const
{
    switch (item.kind) {
    case Kind::GroupHead: {
        const QFont& f = item.level == 0 ? m.group0 : m.group1;
        const qreal indent = item.level * 4 * m.mm;
        return textHeight(m, f, item.text, m.area.width() - indent - 2 * m.padX) + 2 * m.padY +
               (item.level == 0 ? 2.5 : 1.5) * m.mm;
    }
    case Kind::Row:
    case Kind::Average: {
        const QFont& f = item.kind == Kind::Row ? m.body : m.bold;
        qreal h = 0;
        for (int i = 0; i < item.cells.size(); ++i)
            h = qMax(h, textHeight(m, f, item.cells[i], m.colW[i] - 2 * m.padX));
        return h + 2 * m.padY + (item.kind == Kind::Average ? 1.5 * m.mm : 0);
    }
    case Kind::Count:
    case Kind::Empty:
        return textHeight(m, m.note, item.text, m.area.width()) + 4 * m.mm;
    }
    return 0;
}

// Splits the items into pages. A group heading is never left alone at the foot of a page, and a group that
// goes on over a page break has its headings repeated atop the new page.
void ReportRenderer::paginate(const Metrics& m)
{
    for (Item& item : m_items)
        item.height = measure(m, item);
    m_pages = {{}};
    qreal y = m.firstTop;
    bool headsPlaced = false;
    QList<int> open; // the group headings in force, outermost first
    for (int i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        const bool table = item.kind == Kind::GroupHead || item.kind == Kind::Row || item.kind == Kind::Average;
        qreal need = item.height;
        for (int j = i; j + 1 < m_items.size() && m_items[j].kind == Kind::GroupHead; ++j)
            need += m_items[j + 1].height;
        if (table && !headsPlaced)
            need += m.columnHeadHeight;
        if (y + need > m.bottom && !m_pages.last().isEmpty()) {
            m_pages.append(QList<Placed>());
            y = m.laterTop;
            headsPlaced = false;
        }
        if (table && !headsPlaced) {
            m_pages.last().append(Placed{-1, y, false});
            y += m.columnHeadHeight;
            headsPlaced = true;
            for (int h : open) {
                if (m_items[h].level < item.level) {
                    m_pages.last().append(Placed{h, y, true});
                    y += m_items[h].height;
                }
            }
        }
        if (item.kind == Kind::GroupHead) {
            while (!open.isEmpty() && m_items[open.last()].level >= item.level)
                open.removeLast();
            open << i;
        }
        m_pages.last().append(Placed{i, y, false});
        y += item.height;
    }
}

bool ReportRenderer::print(QPrinter* printer)
{
    return paint(printer, printer->resolution());
}

bool ReportRenderer::paint(QPagedPaintDevice* device, int resolution)
{
    const Metrics m = metricsFor(device, resolution);
    paginate(m);
    QPainter p;
    if (!p.begin(device))
        return false;
    for (int i = 0; i < m_pages.size(); ++i) {
        if (i > 0)
            device->newPage();
        paintPage(p, m, i);
    }
    return p.end();
}

bool ReportRenderer::writePdf(const QString& path, QString* error, const QPageLayout& layout)
{
    if (!mayWrite(path, error))
        return false;
    // Made in memory and written whole: a PDF writer's own file reports success even when the disk is full.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    bool ok = false;
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(layout.isValid() ? layout : pageLayout());
        writer.setTitle(m_title);
        writer.setCreator(QStringLiteral("Quorvane"));
        ok = paint(&writer, writer.resolution());
    }
    QString reason;
    if (ok && WholeFile::write(path, pdf.data(), &reason))
        return true;
    if (error) {
        *error = QStringLiteral("The report cannot be written to \"%1\".").arg(path);
        if (!reason.isEmpty())
            *error += QLatin1Char(' ') + reason;
    }
    return false;
}

bool ReportRenderer::mayWrite(const QString& path, QString* error)
{
    const FileGuard::Verdict verdict = FileGuard::check(path);
    if (!verdict.allowed() && error)
        *error = QStringLiteral("The report cannot be written to \"%1\": %2.").arg(path, verdict.refusal);
    return verdict.allowed();
}

void ReportRenderer::paintPage(QPainter& p, const Metrics& m, int page) const
{
    if (page == 0) {
        paintHead(p, m);
        if (!m_picture.isNull())
            p.drawImage(m.pictureRect, m_picture);
    } else {
        paintRunningHead(p, m);
    }
    for (const Placed& placed : m_pages[page]) {
        if (placed.item < 0)
            paintColumnHeads(p, m, placed.y);
        else
            paintItem(p, m, m_items[placed.item], placed.y, placed.continued);
    }
    paintFoot(p, m, page);
}

void ReportRenderer::paintHead(QPainter& p, const Metrics& m) const
{
    const qreal w = m.area.width();
    const qreal h1 = textHeight(m, m.heading, m_heading, w);
    p.setPen(kAccent);
    paintText(p, m.heading, QRectF(0, 0, w, h1), m_heading, Qt::AlignHCenter);
    const qreal y2 = h1 + 1.5 * m.mm;
    const qreal h2 = textHeight(m, m.title, m_title, w);
    p.setPen(kInk);
    paintText(p, m.title, QRectF(0, y2, w, h2), m_title, Qt::AlignHCenter);
    const qreal rule = y2 + h2 + 2 * m.mm;
    p.setPen(QPen(kAccent, 0.6 * m.mm));
    p.drawLine(QPointF(0, rule), QPointF(w, rule));
}

void ReportRenderer::paintRunningHead(QPainter& p, const Metrics& m) const
{
    const qreal w = m.area.width();
    const qreal h = QFontMetricsF(m.runningBold, m.device).height();
    p.setPen(kAccent);
    paintText(p, m.runningBold, QRectF(0, 0, w * 0.6, h), m_heading, Qt::AlignLeft);
    p.setPen(kInk);
    paintText(p, m.running, QRectF(w * 0.4, 0, w * 0.6, h), m_title, Qt::AlignRight);
    p.setPen(QPen(kRule, 0.25 * m.mm));
    p.drawLine(QPointF(0, h + 1.2 * m.mm), QPointF(w, h + 1.2 * m.mm));
}

void ReportRenderer::paintFoot(QPainter& p, const Metrics& m, int page) const
{
    const qreal w = m.area.width();
    const qreal h = QFontMetricsF(m.foot, m.device).height();
    const qreal y = m.area.height() - h;
    p.setPen(QPen(kRule, 0.25 * m.mm));
    p.drawLine(QPointF(0, y - 1.2 * m.mm), QPointF(w, y - 1.2 * m.mm));
    p.setPen(kInk);
    paintText(p, m.foot, QRectF(0, y, w / 2, h), QStringLiteral("Printed ") + ValueFormat::formatDate(Desktop::today()),
              Qt::AlignLeft);
    paintText(p, m.foot, QRectF(w / 2, y, w / 2, h), QStringLiteral("Page %1 of %2").arg(page + 1).arg(m_pages.size()),
              Qt::AlignRight);
}

void ReportRenderer::paintColumnHeads(QPainter& p, const Metrics& m, qreal y) const
{
    const qreal h = m.columnHeadHeight - 0.6 * m.mm;
    p.fillRect(QRectF(0, y, m.area.width(), h), kAccent);
    p.setPen(Qt::white);
    QStringList headings;
    for (const ReportDefinition::Column& c : m_definition.columns)
        headings << c.heading;
    paintCells(p, m, m.columnHead, headings, y);
}

void ReportRenderer::paintItem(QPainter& p, const Metrics& m, const Item& item, qreal y, bool continued) const
{
    const qreal w = m.area.width();
    switch (item.kind) {
    case Kind::GroupHead: {
        const qreal indent = item.level * 4 * m.mm;
        const qreal top = y + (item.level == 0 ? 2 : 1) * m.mm;
        const qreal h = item.height - (top - y) - 0.5 * m.mm;
        if (item.level == 0) {
            p.fillRect(QRectF(0, top, w, h), kGroupBand);
        } else {
            p.setPen(QPen(kRule, 0.2 * m.mm));
            p.drawLine(QPointF(indent, top + h), QPointF(w, top + h));
        }
        p.setPen(kAccent);
        paintText(p, item.level == 0 ? m.group0 : m.group1,
                  QRectF(indent + m.padX, top + m.padY, w - indent - 2 * m.padX, h - 2 * m.padY),
                  continued ? item.text + QStringLiteral(" (continued)") : item.text, Qt::AlignLeft);
        break;
    }
    case Kind::Row:
        if (item.shaded)
            p.fillRect(QRectF(0, y, w, item.height), kStripe);
        p.setPen(kInk);
        paintCells(p, m, m.body, item.cells, y);
        break;
    case Kind::Average: {
        const qreal top = y + 1.5 * m.mm;
        p.setPen(QPen(kRule, 0.25 * m.mm));
        p.drawLine(QPointF(0, top - 0.5 * m.mm), QPointF(w, top - 0.5 * m.mm));
        p.setPen(kInk);
        paintCells(p, m, m.bold, item.cells, top);
        break;
    }
    case Kind::Count:
    case Kind::Empty:
        p.setPen(kInk);
        paintText(p, m.note, QRectF(0, y + 3 * m.mm, w, item.height - 3 * m.mm), item.text, Qt::AlignLeft);
        break;
    }
}

void ReportRenderer::paintCells(QPainter& p, const Metrics& m, const QFont& f, const QStringList& cells, qreal y) const
{
    for (int i = 0; i < cells.size() && i < m.colX.size(); ++i) {
        const QRectF rect(m.colX[i] + m.padX, y + m.padY, m.colW[i] - 2 * m.padX, m.area.height());
        paintText(p, f, rect, cells[i], m.colAlign[i]);
    }
}

void ReportRenderer::paintText(QPainter& p, const QFont& f, const QRectF& rect, const QString& text,
                               Qt::Alignment align) const
{
    if (text.isEmpty())
        return;
    p.setFont(f);
    const QString t = printable(text);
    QTextOption option(align | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    p.drawText(rect, t, option);
}
