#pragma once

#include <QString>

// The formatting of one cell as far as the workbook layer writes it. Colours are ARGB hex ("FF0000FF"),
// "" when the cell uses the automatic colour or a theme colour.
struct CellFormat {
    bool locked = true;
    bool wrapText = false;
    QString fontName;
    bool bold = false;
    double fontSize = 0;
    QString fontColor;
    bool bordered = false; // a border on all four sides
    QString borderColor;   // the colour of those four sides when they share one
};
