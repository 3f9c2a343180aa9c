#include "platform/workbook/CellAddress.h"

namespace CellAddress
{
namespace
{

constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

} // namespace

QString columnName(int column)
{
    if (column < 1 || column > MaxColumns)
        return QString();
    QString name;
    while (column > 0) {
        const int rest = (column - 1) % 26;
        name.prepend(QChar(u'A' + rest));
        column = (column - 1) / 26;
    }
    return name;
}

int columnNumber(QStringView letters)
{
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int column = 0;
    for (const QChar ch : letters) {
        const char16_t c = ch.toUpper().unicode();
        if (c < u'A' || c > u'Z')
            return 0;
        column = column * 26 + (c - u'A' + 1);
    }
    return column <= MaxColumns ? column : 0;
}

bool parse(QStringView address, int* row, int* column)
{
    qsizetype i = 0;
    if (i < address.size() && address[i] == u'$')
        ++i;
    const qsizetype lettersStart = i;
    while (i < address.size() && address[i].isLetter())
        ++i;
    const int col = columnNumber(address.mid(lettersStart, i - lettersStart));
    if (i < address.size() && address[i] == u'$')
        ++i;
    const QStringView digits = address.mid(i);
    if (col == 0 || digits.isEmpty() || digits.size() > 7)
        return false;
    int r = 0;
    for (const QChar ch : digits) {
        if (!ch.isDigit())
            return false;
        r = r * 10 + ch.digitValue();
    }
    if (r < 1 || r > MaxRows)
        return false;
    if (row)
        *row = r;
    if (column)
        *column = col;
    return true;
}

QString format(int row, int column)
{
    return columnName(column) + QString::number(row);
}

} // namespace CellAddress
