#pragma once

#include "surveys/MakeControl.h"

#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>

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
// the rows are added.
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
    list->header()->setSectionsMovable(false);
    list->header()->setStretchLastSection(false);
    int column = 0;
    for (int width : widthsInTwips)
        list->setColumnWidth(column++, width / 15);
    return list;
}

} // namespace TrackingControls
