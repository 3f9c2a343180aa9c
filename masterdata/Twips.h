#pragma once

#include <QWidget>

#include <algorithm>
#include <initializer_list>

// The windows' layouts are given in twips, 15 to the pixel.
inline void setTwipsGeometry(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(left / 15, top / 15, width / 15, height / 15);
}

// A caption never clipped by a font wider than the one the layout was drawn with.
inline void widenToText(QWidget* widget)
{
    if (widget->sizeHint().width() > widget->width())
        widget->resize(widget->sizeHint().width(), widget->height());
}

// Widens a column of buttons to its longest caption, growing to the left so the column keeps its right edge
// and its buttons one width. The controls to its left (a grid, with its scroll bar at its right edge) narrow by as
// much, so the column never covers them.
inline void widenColumnLeftwards(std::initializer_list<QWidget*> column, std::initializer_list<QWidget*> beside)
{
    int needed = 0;
    int widened = 0;
    for (QWidget* w : column)
        needed = std::max({needed, w->sizeHint().width(), w->width()});
    for (QWidget* w : column) {
        widened = std::max(widened, needed - w->width());
        w->setGeometry(w->x() + w->width() - needed, w->y(), needed, w->height());
    }
    for (QWidget* w : beside)
        w->resize(w->width() - widened, w->height());
}
