#pragma once

#include <QLocale>
#include <QString>

// A number as windows and reports show it: in the system's format, so "8,67" on a German desktop.
inline QString shownNumber(double value, int decimals = 2)
{
    return QLocale().toString(value, 'f', decimals);
}
