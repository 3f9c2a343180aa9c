#include "platform/workbook/Worksheet.h"

#include "platform/workbook/CellAddress.h"
#include "platform/workbook/CellError.h"
#include "platform/workbook/DateSerial.h"
#include "platform/workbook/SheetPassword.h"
#include "platform/workbook/TextMetrics.h"
#include "platform/workbook/Xml.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace
{

// The order of a worksheet's children.
const char* const SheetOrder[] = {"sheetPr",
                                  "dimension",
                                  "sheetViews",
                                  "sheetFormatPr",
                                  "cols",
                                  "sheetData",
                                  "sheetCalcPr",
                                  "sheetProtection",
                                  "protectedRanges",
                                  "scenarios",
                                  "autoFilter",
                                  "sortState",
                                  "dataConsolidate",
                                  "customSheetViews",
                                  "mergeCells",
                                  "phoneticPr",
                                  "conditionalFormatting",
                                  "dataValidations",
                                  "hyperlinks",
                                  "printOptions",
                                  "pageMargins",
                                  "pageSetup",
                                  "headerFooter",
                                  "rowBreaks",
                                  "colBreaks",
                                  "customProperties",
                                  "cellWatches",
                                  "ignoredErrors",
                                  "smartTags",
                                  "drawing",
                                  "legacyDrawing",
                                  "legacyDrawingHF",
                                  "drawingHF",
                                  "picture",
                                  "oleObjects",
                                  "controls",
                                  "webPublishItems",
                                  "tableParts",
                                  "extLst"};

// The order of the children of a worksheet's properties.
const char* const PropertiesOrder[] = {"tabColor", "outlinePr", "pageSetUpPr"};

// The width of a column that has none of its own: 8.43 characters of the default font with padding.
constexpr double DefaultColumnWidth = 9.140625;
constexpr double DefaultRowHeight = 15;
// The tallest row spreadsheet programs keep, in points.
constexpr double MaxRowHeight = 409.5;
// Pixels between a cell's text and each of its side borders.
constexpr int CellPadding = 3;

bool valid(int row, int column)
{
    return row >= 1 && row <= Worksheet::MaxRows && column >= 1 && column <= Worksheet::MaxColumns;
}

// The column of a cell's address: 0 when it has none, and past MaxColumns when its letters go beyond the last column,
// however many there are (the sum stops growing there, so it cannot overflow).
int columnOf(pugi::xml_node cell)
{
    int column = 0;
    for (const char* p = cell.attribute("r").value(); *p; ++p) {
        const char c = *p;
        int letter = 0;
        if (c >= 'A' && c <= 'Z')
            letter = c - 'A' + 1;
        else if (c >= 'a' && c <= 'z')
            letter = c - 'a' + 1;
        else if (c == '$')
            continue;
        else
            break;
        column = std::min(column * 26 + letter, Worksheet::MaxColumns + 1);
    }
    return column;
}

quint64 cellKey(int row, int column)
{
    return quint64(quint32(row)) << 32 | quint32(column);
}

bool isTrue(pugi::xml_attribute a)
{
    const char* v = a.value();
    return std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0;
}

pugi::xml_attribute attributeOf(pugi::xml_node node, const char* name)
{
    pugi::xml_attribute a = node.attribute(name);
    return a ? a : node.append_attribute(name);
}

// The entry of the shared strings that a cell of type "s" refers to; -1 for any other cell.
int sharedStringIndex(pugi::xml_node cell)
{
    if (std::strcmp(cell.attribute("t").value(), "s") != 0)
        return -1;
    bool ok = false;
    const int i = Xml::text(Xml::child(cell, "v")).trimmed().toInt(&ok);
    return ok && i >= 0 ? i : -1;
}

QVariant number(double d)
{
    // Whole numbers read back as integers, so "3.0" and "1E1" come out as the digits 3 and 10.
    if (std::floor(d) == d && std::fabs(d) < 9007199254740992.0)
        return QVariant(qint64(d));
    return QVariant(d);
}

enum class Number { Empty, Invalid, Valid };

// The digits of a value element, blanks around them aside.
Number parseNumber(const char* text, double* d)
{
    if (const std::optional<double> n = Xml::parseNumber(text)) {
        *d = *n;
        return Number::Valid;
    }
    return std::strspn(text, " \t\n\r") == std::strlen(text) ? Number::Empty : Number::Invalid;
}

QDate dateFromText(const QString& text)
{
    const QString s = text.trimmed();
    QDate date = QDate::fromString(s.left(10), Qt::ISODate);
    if (date.isValid() && (s.size() == 10 || s[10] == u'T' || s[10] == u' '))
        return date;
    const QLocale locale = QLocale::system();
    // The short form with a four-digit year first, as the program shows dates; then as the system has it, which
    // may give the year in two digits ("15.03.24" on a German desktop).
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    QString fourDigitYear = shortFormat;
    if (!fourDigitYear.contains(QLatin1String("yyyy")))
        fourDigitYear.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    for (const QString& format : {fourDigitYear, shortFormat, locale.dateFormat(QLocale::LongFormat)}) {
        date = locale.toDate(s, format);
        if (!date.isValid())
            continue;
        // Qt reads a two-digit year as 19xx; a spreadsheet takes 00-29 as 20xx.
        if (format == shortFormat && format != fourDigitYear && date.year() < 1930)
            date = date.addYears(100);
        return date;
    }
    return QDate();
}

} // namespace

Worksheet::Worksheet(const QString& name, WorkbookStyles& styles, const SharedStrings& sharedStrings, bool date1904)
    : m_name(name), m_styles(styles), m_sharedStrings(sharedStrings), m_date1904(date1904)
{
}

bool Worksheet::load(const QByteArray& xml, QString* error)
{
    if (!Xml::parse(m_doc, xml, error))
        return false;
    m_root = m_doc.document_element();
    if (!Xml::is(m_root, "worksheet")) {
        *error = QStringLiteral("not a worksheet");
        return false;
    }
    m_prefix = Xml::prefixOf(m_root);
    m_sheetData = Xml::orderedChild(m_root, SheetOrder, element("sheetData"));

    // Rows and cells may leave out their addresses and stand in order instead; they get them here so
    // that look-ups need not count.
    // Rows and cells beyond the sheet's last row or column are no cells of it: they are not read.
    int lastRow = 0;
    for (pugi::xml_node row : m_sheetData.children()) {
        if (!Xml::is(row, "row"))
            continue;
        int r = row.attribute("r").as_int();
        if (r < 1) {
            r = lastRow + 1;
            if (r <= MaxRows)
                (row.attribute("r") ? row.attribute("r") : row.append_attribute("r")) = r;
        }
        lastRow = std::min(r, MaxRows + 1);
        if (r > MaxRows)
            continue;
        const bool first = m_rows.emplace(r, row).second;
        int lastColumn = 0;
        for (pugi::xml_node c : row.children()) {
            if (!Xml::is(c, "c"))
                continue;
            int column = columnOf(c);
            if (column < 1) {
                column = lastColumn + 1;
                if (column <= MaxColumns) {
                    pugi::xml_attribute a = c.attribute("r") ? c.attribute("r") : c.prepend_attribute("r");
                    a.set_value(CellAddress::format(r, column).toLatin1().constData());
                }
            }
            lastColumn = std::min(column, MaxColumns + 1);
            if (first && column <= MaxColumns)
                m_loadedCells.emplace_back(cellKey(r, column), c);
        }
    }
    // Writers put cells in order; the first of two with one address is the one that counts.
    std::stable_sort(m_loadedCells.begin(), m_loadedCells.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return true;
}

std::vector<int> Worksheet::sharedStringIndexes() const
{
    std::vector<int> indexes;
    for (const auto& [key, c] : m_loadedCells) {
        if (const int i = sharedStringIndex(c); i >= 0)
            indexes.push_back(i);
    }
    return indexes;
}

QByteArray Worksheet::toXml()
{
    updateDimension();
    return Xml::serialize(m_doc);
}

void Worksheet::updateDimension()
{
    pugi::xml_node dimension = Xml::child(m_root, "dimension");
    if (!dimension)
        return;
    int firstRow = 0, lastRow = 0, firstColumn = MaxColumns + 1, lastColumn = 0;
    for (const auto& [r, row] : m_rows) {
        for (pugi::xml_node c : row.children()) {
            if (!Xml::is(c, "c"))
                continue;
            const int column = columnOf(c);
            if (column < 1 || column > MaxColumns)
                continue;
            firstColumn = std::min(firstColumn, column);
            lastColumn = std::max(lastColumn, column);
            if (firstRow == 0)
                firstRow = r;
            lastRow = r;
        }
    }
    QString ref = QStringLiteral("A1");
    if (lastRow > 0) {
        ref = CellAddress::format(firstRow, firstColumn);
        if (firstRow != lastRow || firstColumn != lastColumn)
            ref += u':' + CellAddress::format(lastRow, lastColumn);
    }
    pugi::xml_attribute a = dimension.attribute("ref");
    (a ? a : dimension.append_attribute("ref")).set_value(ref.toLatin1().constData());
}

pugi::xml_node Worksheet::cell(int row, int column) const
{
    if (!m_loadedCells.empty()) {
        const quint64 key = cellKey(row, column);
        const auto found = std::lower_bound(m_loadedCells.begin(), m_loadedCells.end(), key,
                                            [](const auto& entry, quint64 k) { return entry.first < k; });
        return found != m_loadedCells.end() && found->first == key ? found->second : pugi::xml_node();
    }
    const auto it = m_rows.find(row);
    if (it == m_rows.end())
        return pugi::xml_node();
    for (pugi::xml_node c : it->second.children()) {
        if (Xml::is(c, "c") && columnOf(c) == column)
            return c;
    }
    return pugi::xml_node();
}

pugi::xml_node Worksheet::ensureRow(int row)
{
    auto it = m_rows.lower_bound(row);
    if (it != m_rows.end() && it->first == row)
        return it->second;
    pugi::xml_node node = it != m_rows.end() ? m_sheetData.insert_child_before(element("row").c_str(), it->second)
                                             : m_sheetData.append_child(element("row").c_str());
    node.append_attribute("r") = row;
    m_rows.emplace_hint(it, row, node);
    return node;
}

pugi::xml_node Worksheet::ensureCell(int row, int column)
{
    pugi::xml_node r = ensureRow(row);
    pugi::xml_node next;
    for (pugi::xml_node c : r.children()) {
        if (!Xml::is(c, "c"))
            continue;
        const int col = columnOf(c);
        if (col == column)
            return c;
        if (col > column) {
            next = c;
            break;
        }
    }
    m_loadedCells.clear();
    // The row's span hint would no longer cover the new cell.
    r.remove_attribute("spans");
    pugi::xml_node c = next ? r.insert_child_before(element("c").c_str(), next) : r.append_child(element("c").c_str());
    c.append_attribute("r") = CellAddress::format(row, column).toLatin1().constData();
    if (const int style = inheritedStyle(r, column))
        c.append_attribute("s") = style;
    return c;
}

int Worksheet::inheritedStyle(pugi::xml_node row, int column) const
{
    // A new cell looks as its row or column did before it existed.
    if (isTrue(row.attribute("customFormat")))
        return row.attribute("s").as_int();
    return findColumn(column).attribute("style").as_int();
}

QVariant Worksheet::value(int row, int column) const
{
    const pugi::xml_node c = cell(row, column);
    if (!c)
        return QVariant();
    const char* type = c.attribute("t").value();
    const pugi::xml_node v = Xml::child(c, "v");
    if (std::strcmp(type, "s") == 0)
        return m_sharedStrings.at(sharedStringIndex(c));
    if (std::strcmp(type, "inlineStr") == 0) {
        const pugi::xml_node is = Xml::child(c, "is");
        return is ? Xml::stringItemText(is) : Xml::decodeEscapes(Xml::text(v));
    }
    if (std::strcmp(type, "str") == 0)
        return Xml::decodeEscapes(Xml::text(v));
    if (std::strcmp(type, "b") == 0) {
        const QString b = Xml::text(v).trimmed();
        return b == QLatin1String("1") || b.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    }
    if (std::strcmp(type, "e") == 0)
        return QVariant::fromValue(CellError{Xml::text(v).trimmed()});
    if (std::strcmp(type, "d") == 0) {
        const QString iso = Xml::text(v).trimmed();
        const QDate date = QDate::fromString(iso.left(10), Qt::ISODate);
        return date.isValid() ? QVariant(date) : QVariant(iso);
    }
    double d = 0;
    switch (parseNumber(v.child_value(), &d)) {
    case Number::Empty:
        return QVariant();
    case Number::Invalid:
        return Xml::text(v).trimmed();
    case Number::Valid:
        break;
    }
    if (m_styles.isDateFormat(c.attribute("s").as_int())) {
        const QDate date = DateSerial::toDate(d, m_date1904);
        if (date.isValid())
            return date;
    }
    return number(d);
}

QString Worksheet::text(int row, int column) const
{
    const QVariant v = value(row, column);
    switch (v.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    default:
        if (v.typeId() == qMetaTypeId<CellError>())
            return v.value<CellError>().code;
        return v.toString();
    }
}

QDate Worksheet::dateValue(int row, int column) const
{
    const QVariant v = value(row, column);
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate();
    case QMetaType::LongLong:
    case QMetaType::Double:
        return DateSerial::toDate(v.toDouble(), m_date1904);
    case QMetaType::QString:
        return dateFromText(v.toString());
    default:
        return QDate();
    }
}

void Worksheet::clearContent(pugi::xml_node c)
{
    if (Xml::child(c, "f"))
        m_formulaRemoved = true;
    while (c.first_child())
        c.remove_child(c.first_child());
    for (const char* a : {"t", "cm", "vm", "ph"})
        c.remove_attribute(a);
}

void Worksheet::setValue(int row, int column, const QVariant& value)
{
    if (!valid(row, column))
        return;
    m_modified = true;
    const bool empty =
        !value.isValid() || value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty());
    if (empty) {
        if (pugi::xml_node c = cell(row, column))
            clearContent(c);
        return;
    }
    pugi::xml_node c = ensureCell(row, column);
    clearContent(c);

    QByteArray digits;
    switch (value.typeId()) {
    case QMetaType::Bool:
        c.append_attribute("t") = "b";
        digits = value.toBool() ? "1" : "0";
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        digits = value.toString().toLatin1();
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        if (std::isfinite(value.toDouble()))
            digits = Xml::numberText(value.toDouble());
        break;
    case QMetaType::QDate: {
        const double serial = DateSerial::fromDate(value.toDate(), m_date1904);
        if (serial < 0)
            break;
        digits = Xml::numberText(serial);
        if (!m_styles.isDateFormat(c.attribute("s").as_int())) {
            WorkbookStyles::Change change;
            change.numberFormat = WorkbookStyles::ShortDateFormat;
            changeStyle(row, column, change);
        }
        break;
    }
    default:
        break;
    }
    if (!digits.isEmpty()) {
        c.append_child(element("v").c_str()).text().set(digits.constData());
        return;
    }
    // Text, and whatever has no number of its own (a date before the first day, say), as an inline string.
    const QString text = value.typeId() == QMetaType::QDate ? value.toDate().toString(Qt::ISODate) : value.toString();
    c.append_attribute("t") = "inlineStr";
    pugi::xml_node t = c.append_child(element("is").c_str()).append_child(element("t").c_str());
    if (text != text.trimmed())
        t.append_attribute("xml:space") = "preserve";
    t.text().set(Xml::encodeEscapes(text).toUtf8().constData());
}

void Worksheet::changeStyle(int row, int column, const WorkbookStyles::Change& change)
{
    if (!valid(row, column))
        return;
    pugi::xml_node c = ensureCell(row, column);
    const int style = m_styles.apply(c.attribute("s").as_int(), change);
    if (style == 0)
        c.remove_attribute("s");
    else
        (c.attribute("s") ? c.attribute("s") : c.append_attribute("s")) = style;
    m_modified = true;
}

void Worksheet::setLocked(int row, int column, bool locked)
{
    WorkbookStyles::Change change;
    change.locked = locked;
    changeStyle(row, column, change);
}

void Worksheet::setWrapText(int row, int column, bool wrap)
{
    WorkbookStyles::Change change;
    change.wrapText = wrap;
    changeStyle(row, column, change);
}

void Worksheet::setFontBold(int row, int column, bool bold)
{
    WorkbookStyles::Change change;
    change.bold = bold;
    changeStyle(row, column, change);
}

void Worksheet::setFontSize(int row, int column, double points)
{
    if (points <= 0)
        return;
    WorkbookStyles::Change change;
    change.fontSize = points;
    changeStyle(row, column, change);
}

void Worksheet::setFontColorIndex(int row, int column, int colorIndex)
{
    const QString rgb = WorkbookStyles::paletteColor(colorIndex);
    if (rgb.isEmpty())
        return;
    WorkbookStyles::Change change;
    change.fontColor = rgb;
    changeStyle(row, column, change);
}

void Worksheet::setBorderAround(int row, int column, int colorIndex)
{
    const QString rgb = WorkbookStyles::paletteColor(colorIndex);
    if (rgb.isEmpty())
        return;
    WorkbookStyles::Change change;
    change.borderColor = rgb;
    changeStyle(row, column, change);
}

CellFormat Worksheet::format(int row, int column) const
{
    const pugi::xml_node c = cell(row, column);
    if (c)
        return m_styles.cellFormat(c.attribute("s").as_int());
    const auto it = m_rows.find(row);
    return m_styles.cellFormat(it == m_rows.end() ? 0 : inheritedStyle(it->second, column));
}

void Worksheet::clearRange(int firstRow, int firstColumn, int lastRow, int lastColumn)
{
    m_loadedCells.clear();
    firstRow = std::max(firstRow, 1);
    firstColumn = std::max(firstColumn, 1);
    for (auto it = m_rows.lower_bound(firstRow); it != m_rows.end() && it->first <= lastRow;) {
        pugi::xml_node row = it->second;
        std::vector<pugi::xml_node> doomed;
        for (pugi::xml_node c : row.children()) {
            const int column = Xml::is(c, "c") ? columnOf(c) : 0;
            if (column >= firstColumn && column <= lastColumn)
                doomed.push_back(c);
        }
        for (pugi::xml_node c : doomed) {
            if (Xml::child(c, "f"))
                m_formulaRemoved = true;
            row.remove_child(c);
            m_modified = true;
        }
        // A fitted height went with the text it was fitted to; a height set by hand stays.
        if (!doomed.empty() && row.attribute("ht") && !isTrue(row.attribute("customHeight")))
            autoFitRow(it->first);
        // A row left with nothing but its number goes too, so that repeated exports do not pile up rows.
        bool bare = !row.first_child();
        for (pugi::xml_attribute a = row.first_attribute(); a && bare; a = a.next_attribute())
            bare = std::strcmp(a.name(), "r") == 0 || std::strcmp(a.name(), "spans") == 0;
        if (bare) {
            m_sheetData.remove_child(row);
            it = m_rows.erase(it);
        } else {
            ++it;
        }
    }
}

void Worksheet::protect(const QString& password)
{
    m_root.remove_child(Xml::child(m_root, "sheetProtection"));
    pugi::xml_node p = Xml::orderedChild(m_root, SheetOrder, element("sheetProtection"));
    if (!password.isEmpty())
        p.append_attribute("password") = SheetPassword::legacyHash(password).toLatin1().constData();
    p.append_attribute("sheet") = "1";
    p.append_attribute("objects") = "1";
    p.append_attribute("scenarios") = "1";
    m_modified = true;
}

bool Worksheet::unprotect(const QString& password)
{
    const pugi::xml_node p = Xml::child(m_root, "sheetProtection");
    if (!p)
        return true;
    if (!SheetPassword::matches(p, password))
        return false;
    m_root.remove_child(p);
    m_modified = true;
    return true;
}

bool Worksheet::isProtected() const
{
    return isTrue(Xml::child(m_root, "sheetProtection").attribute("sheet"));
}

pugi::xml_node Worksheet::columnElement(int column)
{
    pugi::xml_node cols = Xml::orderedChild(m_root, SheetOrder, element("cols"));
    pugi::xml_node next;
    for (pugi::xml_node col : cols.children()) {
        if (!Xml::is(col, "col"))
            continue;
        const int min = col.attribute("min").as_int();
        const int max = col.attribute("max").as_int();
        if (column < min) {
            next = col;
            break;
        }
        if (column > max)
            continue;
        // A range of columns is split so that the one column can differ from its neighbours.
        if (min < column)
            cols.insert_copy_before(col, col).attribute("max") = column - 1;
        if (max > column)
            cols.insert_copy_after(col, col).attribute("min") = column + 1;
        col.attribute("min") = column;
        col.attribute("max") = column;
        return col;
    }
    pugi::xml_node col =
        next ? cols.insert_child_before(element("col").c_str(), next) : cols.append_child(element("col").c_str());
    col.append_attribute("min") = column;
    col.append_attribute("max") = column;
    const pugi::xml_attribute defaultWidth = Xml::child(m_root, "sheetFormatPr").attribute("defaultColWidth");
    Xml::setNumber(col.append_attribute("width"), Xml::number(defaultWidth, DefaultColumnWidth));
    return col;
}

void Worksheet::setColumnWidth(int column, double width)
{
    if (column < 1 || column > MaxColumns || width < 0)
        return;
    pugi::xml_node col = columnElement(column);
    Xml::setNumber(attributeOf(col, "width"), width);
    (col.attribute("customWidth") ? col.attribute("customWidth") : col.append_attribute("customWidth")) = "1";
    m_modified = true;
}

void Worksheet::setColumnHidden(int column, bool hidden)
{
    if (column < 1 || column > MaxColumns)
        return;
    pugi::xml_node col = columnElement(column);
    col.remove_attribute("hidden");
    if (hidden)
        col.append_attribute("hidden") = "1";
    m_modified = true;
}

pugi::xml_node Worksheet::findColumn(int column) const
{
    for (pugi::xml_node col : Xml::child(m_root, "cols").children()) {
        if (Xml::is(col, "col") && col.attribute("min").as_int() <= column && column <= col.attribute("max").as_int())
            return col;
    }
    return pugi::xml_node();
}

double Worksheet::columnWidth(int column) const
{
    return Xml::number(findColumn(column).attribute("width"));
}

bool Worksheet::isColumnHidden(int column) const
{
    return isTrue(findColumn(column).attribute("hidden"));
}

double Worksheet::columnPixels(int column, int digitWidth) const
{
    double width = Xml::number(findColumn(column).attribute("width"));
    if (width <= 0)
        width = Xml::number(Xml::child(m_root, "sheetFormatPr").attribute("defaultColWidth"));
    if (width <= 0)
        width = DefaultColumnWidth;
    // The format's rule from a width in characters (padding included) to pixels.
    return std::trunc((256 * width + std::trunc(128.0 / digitWidth)) / 256 * digitWidth);
}

double Worksheet::defaultRowHeight() const
{
    const double height = Xml::number(Xml::child(m_root, "sheetFormatPr").attribute("defaultRowHeight"));
    return height > 0 ? height : DefaultRowHeight;
}

void Worksheet::autoFitRow(int row)
{
    const auto it = m_rows.find(row);
    if (it == m_rows.end())
        return;
    pugi::xml_node r = it->second;
    const CellFormat normal = m_styles.cellFormat(0);
    const int digitWidth = TextMetrics::maxDigitWidth({normal.fontName, normal.fontSize, normal.bold});
    double height = 0;
    for (pugi::xml_node c : r.children()) {
        const int column = Xml::is(c, "c") ? columnOf(c) : 0;
        if (column < 1 || column > MaxColumns || isColumnHidden(column))
            continue;
        const QString content = text(row, column);
        if (content.isEmpty())
            continue;
        const CellFormat f = m_styles.cellFormat(c.attribute("s").as_int());
        const double textWidth = columnPixels(column, digitWidth) - 2 * CellPadding;
        height =
            std::max(height, TextMetrics::rowHeight(content, {f.fontName, f.fontSize, f.bold}, f.wrapText, textWidth));
    }
    // Without customHeight the height counts as fitted: spreadsheet programs fit it again as the text changes.
    r.remove_attribute("customHeight");
    r.remove_attribute("ht");
    if (height > defaultRowHeight())
        Xml::setNumber(r.append_attribute("ht"), std::min(height, MaxRowHeight));
    m_modified = true;
}

double Worksheet::rowHeight(int row) const
{
    const auto it = m_rows.find(row);
    return it == m_rows.end() ? 0 : Xml::number(it->second.attribute("ht"));
}

void Worksheet::setPageSetup(const PageSetup& setup)
{
    const bool fit = setup.fitToPagesWide > 0 || setup.fitToPagesTall > 0;
    pugi::xml_node properties = Xml::orderedChild(m_root, SheetOrder, element("sheetPr"));
    pugi::xml_node fitting = Xml::orderedChild(properties, PropertiesOrder, element("pageSetUpPr"));
    fitting.remove_attribute("fitToPage");
    if (fit)
        fitting.append_attribute("fitToPage") = "1";

    pugi::xml_node page = Xml::orderedChild(m_root, SheetOrder, element("pageSetup"));
    if (setup.paperSize > 0)
        attributeOf(page, "paperSize") = setup.paperSize;
    attributeOf(page, "orientation") = setup.landscape ? "landscape" : "portrait";
    // 0 pages stands for "as many as it takes" in the file too.
    attributeOf(page, "fitToWidth") = std::max(setup.fitToPagesWide, 0);
    attributeOf(page, "fitToHeight") = std::max(setup.fitToPagesTall, 0);
    m_modified = true;
}
