#pragma once

#include <QWidget>

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
