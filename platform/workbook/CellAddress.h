#pragma once

#include <QString>
#include <QStringView>

// A1-style cell addresses: column letters and 1-based row and column numbers.
namespace CellAddress
{

// 1 -> "A", 27 -> "AA"; "" outside 1..16384.
QString columnName(int column);

// "A" -> 1, "aa" -> 27; 0 when the text is not a column of the sheet.
int columnNumber(QStringView letters);

// "B14" or "$B$14" -> row 14, column 2. False (and nothing written) when the text is no cell address.
bool parse(QStringView address, int* row, int* column);

// (14, 2) -> "B14".
QString format(int row, int column);

} // namespace CellAddress
