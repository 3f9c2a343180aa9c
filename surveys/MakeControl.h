#pragma once

#include <QRect>
#include <QWidget>

// A window's control at its place, named after its member so that it can be found by name.
template <typename W> W* makeControl(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    w->setGeometry(geometry);
    return w;
}
