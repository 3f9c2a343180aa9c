#pragma once

#include "surveys/MakeControl.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>

#include <algorithm>
#include <initializer_list>

// Controls shared by the improvement-tracking and search windows.
namespace TrackingControls
{

// A captioned control (label, button, option) at its place.
template <typename W> W* makeCaptioned(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* w = makeControl<W>(parent, name, geometry);
    w->setText(caption);
    return w;
}

// A list in report view: one row per entry, columns of the given widths in twips (15 to a pixel), in the order
// the rows are added. The widths were drawn for a narrower font: a column widens as far as its heading needs, drawn
// bold as the header draws its current section, and the last shown column takes the room left over.
inline QTreeWidget* makeReportList(QWidget* parent, const char* name, const QRect& geometry,
                                   const QStringList& headings, std::initializer_list<int> widthsInTwips)
{
    auto* list = makeControl<QTreeWidget>(parent, name, geometry);
    list->setColumnCount(static_cast<int>(headings.size()));
    list->setHeaderLabels(headings);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    QHeaderView* header = list->header();
    header->setSectionsMovable(false);
    header->setStretchLastSection(true);
    QFont bold = header->font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    const QFontMetrics metrics(header->font());
    int column = 0;
    for (int width : widthsInTwips) {
        const QString& heading = headings.at(column);
        const int needed = header->sectionSizeHint(column) + boldMetrics.horizontalAdvance(heading) -
                           metrics.horizontalAdvance(heading);
        list->setColumnWidth(column, width == 0 ? 0 : std::max(width / 15, needed));
        ++column;
    }
    return list;
}

} // namespace TrackingControls
