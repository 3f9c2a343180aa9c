#pragma once

#include <QString>

// Sizes of cell text as a spreadsheet program lays it out at 96 pixels per inch, measured with the cell's font
// or the font this machine puts in its place (Arial's metric twin stands in for Arial, and so on).
namespace TextMetrics
{

struct Font {
    QString name;
    double points = 11;
    bool bold = false;
};

// The widest digit of the font in pixels, whole as spreadsheet programs round it: the unit of column widths.
int maxDigitWidth(const Font& font);

// The points a row needs for the text: one line, or as many as the text wraps to within widthPx.
double rowHeight(const QString& text, const Font& font, bool wrap, double widthPx);

} // namespace TextMetrics
