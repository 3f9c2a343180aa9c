#pragma once

#include "platform/workbook/CellFormat.h"
#include "platform/workbook/SharedStrings.h"
#include "platform/workbook/WorkbookStyles.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <pugixml.hpp>

#include <map>
#include <string>
#include <utility>
#include <vector>

// One worksheet of a Workbook. Rows and columns count from 1. Values read back as QString, qint64 (whole
// numbers), double, bool, QDate (numbers shown as dates) or CellError; an empty cell is an invalid QVariant.
class Worksheet
{
public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;

    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    QString name() const { return m_name; }

    QVariant value(int row, int column) const;
    // The value as text: numbers in decimal digits, dates as yyyy-MM-dd, "" for an empty cell.
    QString text(int row, int column) const;
    // The value as a date: a date cell, a serial number, or text in ISO or the system's date form.
    QDate dateValue(int row, int column) const;

    // Text, whole or decimal numbers, booleans and dates (stored as dates, shown in the short date form).
    // An invalid QVariant or empty text empties the cell and keeps its format.
    void setValue(int row, int column, const QVariant& value);

    void setLocked(int row, int column, bool locked);
    void setWrapText(int row, int column, bool wrap);
    void setFontBold(int row, int column, bool bold);
    void setFontSize(int row, int column, double points);
    // Colours are indexes of the standard palette (1 black, 3 red, 25 dark blue, 32 blue, ...).
    void setFontColorIndex(int row, int column, int colorIndex);
    void setBorderAround(int row, int column, int colorIndex);
    CellFormat format(int row, int column) const;

    // Empties the cells and drops their formats: they are blank, unbordered and locked again.
    void clearRange(int firstRow, int firstColumn, int lastRow, int lastColumn);

    // Protection with the spreadsheet's default options: locked cells cannot be changed.
    void protect(const QString& password);
    // False, leaving the sheet protected, when the password is wrong.
    bool unprotect(const QString& password);
    bool isProtected() const;

    // Widths in the file's unit: characters of the default font, padding included.
    void setColumnWidth(int column, double width);
    void setColumnHidden(int column, bool hidden);
    double columnWidth(int column) const; // 0 when the column has the default width
    bool isColumnHidden(int column) const;

    // The row as high as its tallest text needs in the columns' widths (wrapped text over all its lines),
    // never lower than the sheet's default. The height follows the content: clearing cells fits the row again.
    void autoFitRow(int row);
    double rowHeight(int row) const; // points; 0 when the row has the default height

    // How the sheet prints: 0 pages wide or tall leaves that direction unlimited; both 0 prints at full size.
    struct PageSetup {
        bool landscape = false;
        int fitToPagesWide = 0;
        int fitToPagesTall = 0;
        int paperSize = 0; // the format's paper number (1 Letter, 9 A4); 0 leaves the file's as it is
    };
    void setPageSetup(const PageSetup& setup);

private:
    friend class Workbook;

    Worksheet(const QString& name, WorkbookStyles& styles, const SharedStrings& sharedStrings, bool date1904);
    bool load(const QByteArray& xml, QString* error);
    // The entries of the shared strings that the sheet's cells refer to.
    std::vector<int> sharedStringIndexes() const;
    QByteArray toXml();

    pugi::xml_node cell(int row, int column) const;
    pugi::xml_node ensureRow(int row);
    pugi::xml_node ensureCell(int row, int column);
    pugi::xml_node findColumn(int column) const;
    pugi::xml_node columnElement(int column);
    int inheritedStyle(pugi::xml_node row, int column) const;
    void clearContent(pugi::xml_node cell);
    void changeStyle(int row, int column, const WorkbookStyles::Change& change);
    void updateDimension();
    double columnPixels(int column, int digitWidth) const;
    double defaultRowHeight() const;
    std::string element(const char* local) const { return m_prefix + local; }

    QString m_name;
    WorkbookStyles& m_styles;
    const SharedStrings& m_sharedStrings;
    bool m_date1904 = false;

    pugi::xml_document m_doc;
    pugi::xml_node m_root;
    pugi::xml_node m_sheetData;
    std::string m_prefix;
    std::map<int, pugi::xml_node> m_rows;
    // The cells as loaded, by address, for reading; dropped at the first change to the cells, after which they
    // are found in their rows.
    std::vector<std::pair<quint64, pugi::xml_node>> m_loadedCells;
    bool m_modified = false;
    bool m_formulaRemoved = false;
};
