#pragma once

#include "platform/report/ReportData.h"
#include "platform/report/ReportDefinition.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPageLayout>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPainter;
class QPrinter;

// Lays a report out on printed pages: the company heading, title and picture on the first page, the company
// and title again atop every later page, column headings on every page, group headings kept with their
// first row, averages under the groups, and the print date and "Page n of N" at the foot of every page.
class ReportRenderer
{
public:
    // formulas: the report formulas by name, without regard to case ("CompanyName" -> the company's name).
    ReportRenderer(const ReportDefinition& definition, const ReportData& data, const QHash<QString, QString>& formulas,
                   const QImage& picture = QImage());

    // Page size and orientation for the report; call before print().
    void setUpPrinter(QPrinter* printer) const;
    // Lays out for the printer's pages and paints every page (the preview and printers).
    bool print(QPrinter* printer);
    // Written whole or not at all; on failure *error names the file and the system's reason. An invalid layout
    // stands for the report's own.
    bool writePdf(const QString& path, QString* error, const QPageLayout& layout = QPageLayout());
    // False, with *error naming the file, when a report may not be written there: one of the database's files, or
    // anything but a regular file.
    static bool mayWrite(const QString& path, QString* error);

    // The report as lines of text, in printed order; cells of a line are joined by " | ".
    QStringList textLines() const;
    int pageCount() const { return int(m_pages.size()); }

private:
    enum class Kind { GroupHead, Row, Average, Count, Empty };
    struct Item {
        Kind kind = Kind::Row;
        int level = 0;
        QStringList cells;
        QString text;
        qreal height = 0;
        bool shaded = false;
    };
    struct Placed {
        int item = -1; // -1: the column headings
        qreal y = 0;
        bool continued = false; // a group heading repeated atop a page
    };
    struct Metrics;

    static Item makeItem(Kind kind, int level, const QString& text = QString());
    void buildItems();
    void addGroup(const QList<int>& rows, int level);
    void addAverage(const QList<int>& rows, int level, const QString& label);
    QString expand(const QString& text, int row) const;
    QString formula(const QString& name) const;

    QPageLayout pageLayout() const;
    bool paint(QPagedPaintDevice* device, int resolution);
    Metrics metricsFor(QPagedPaintDevice* device, int resolution) const;
    void paginate(const Metrics& m);
    qreal measure(const Metrics& m, const Item& item) const;
    qreal textHeight(const Metrics& m, const QFont& font, const QString& text, qreal width) const;
    qreal headHeight(const Metrics& m) const;
    void paintPage(QPainter& p, const Metrics& m, int page) const;
    void paintHead(QPainter& p, const Metrics& m) const;
    void paintRunningHead(QPainter& p, const Metrics& m) const;
    void paintFoot(QPainter& p, const Metrics& m, int page) const;
    void paintColumnHeads(QPainter& p, const Metrics& m, qreal y) const;
    void paintItem(QPainter& p, const Metrics& m, const Item& item, qreal y, bool continued) const;
    void paintCells(QPainter& p, const Metrics& m, const QFont& font, const QStringList& cells, qreal y) const;
    void paintText(QPainter& p, const QFont& font, const QRectF& rect, const QString& text, Qt::Alignment align) const;

    ReportDefinition m_definition;
    const ReportData& m_data;
    QHash<QString, QString> m_formulas;
    QImage m_picture;
    QList<Item> m_items;
    QList<QList<Placed>> m_pages;
    QString m_heading;
    QString m_title;
};
