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
// and its buttons one width.
inline void widenColumnLeftwards(std::initializer_list<QWidget*> column)
{
    int needed = 0;
    for (QWidget* w : column)
        needed = std::max({needed, w->sizeHint().width(), w->width()});
    for (QWidget* w : column)
        w->setGeometry(w->x() + w->width() - needed, w->y(), needed, w->height());
}
