#include "platform/workbook/WorkbookStyles.h"

#include "platform/workbook/Xml.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

namespace
{

const char* const DefaultStyles =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
    R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/></font></fonts>)"
    R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill>)"
    R"(</fills><borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>)"
    R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs>)"
    R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>)"
    R"(</styleSheet>)";

// The order of the style sheet's children, which readers insist on.
const char* const SheetOrder[] = {"numFmts",    "fonts", "fills",       "borders", "cellStyleXfs", "cellXfs",
                                  "cellStyles", "dxfs",  "tableStyles", "colors",  "extLst"};
// The order in which spreadsheet programs write a font's children.
const char* const FontOrder[] = {"b",         "i",  "strike", "condense", "extend", "outline", "shadow", "u",
                                 "vertAlign", "sz", "color",  "name",     "family", "charset", "scheme"};

// The standard palette behind the colour indexes 1..56.
const char* const Palette[] = {"000000", "FFFFFF", "FF0000", "00FF00", "0000FF", "FFFF00", "FF00FF", "00FFFF",
                               "800000", "008000", "000080", "808000", "800080", "008080", "C0C0C0", "808080",
                               "9999FF", "993366", "FFFFCC", "CCFFFF", "660066", "FF8080", "0066CC", "CCCCFF",
                               "000080", "FF00FF", "FFFF00", "00FFFF", "800080", "800000", "008080", "0000FF",
                               "00CCFF", "CCFFFF", "CCFFCC", "FFFF99", "99CCFF", "FF99CC", "CC99FF", "FFCC99",
                               "3366FF", "33CCCC", "99CC00", "FFCC00", "FF9900", "FF6600", "666699", "969696",
                               "003366", "339966", "003300", "333300", "993300", "993366", "333399", "333333"};

// Content of an element independent of attribute order, to recognise equal fonts, borders and formats.
void canonical(pugi::xml_node node, QByteArray& out)
{
    if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
        out += '"';
        out += node.value();
        out += '"';
        return;
    }
    if (node.type() != pugi::node_element)
        return;
    out += '<';
    out += Xml::localName(node.name());
    std::vector<std::pair<std::string, std::string>> attributes;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (std::strcmp(a.name(), "count") != 0)
            attributes.emplace_back(a.name(), a.value());
    }
    std::sort(attributes.begin(), attributes.end());
    for (const auto& [name, value] : attributes) {
        out += ' ';
        out += name.c_str();
        out += "=\"";
        out += value.c_str();
        out += '"';
    }
    out += '>';
    for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
        canonical(n, out);
    out += "</>";
}

QByteArray canonical(pugi::xml_node node)
{
    QByteArray out;
    canonical(node, out);
    return out;
}

void setFlag(pugi::xml_node node, const char* name, bool on)
{
    if (on) {
        pugi::xml_attribute a = node.attribute(name);
        (a ? a : node.append_attribute(name)).set_value("1");
    } else {
        node.remove_attribute(name);
    }
}

void setAttribute(pugi::xml_node node, const char* name, const char* value)
{
    pugi::xml_attribute a = node.attribute(name);
    (a ? a : node.append_attribute(name)).set_value(value);
}

void addPrefix(pugi::xml_node node, const std::string& prefix)
{
    if (prefix.empty() || node.type() != pugi::node_element)
        return;
    node.set_name((prefix + node.name()).c_str());
    for (pugi::xml_node n : node.children())
        addPrefix(n, prefix);
}

bool isTrue(pugi::xml_attribute a, bool absent)
{
    if (!a)
        return absent;
    const char* v = a.value();
    return std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0 || std::strcmp(v, "on") == 0;
}

QString colorOf(pugi::xml_node color)
{
    if (!color)
        return QString();
    if (pugi::xml_attribute rgb = color.attribute("rgb")) {
        const QString v = Xml::value(rgb).toUpper();
        return v.size() == 6 ? QLatin1String("FF") + v : v;
    }
    if (pugi::xml_attribute indexed = color.attribute("indexed")) {
        const int i = indexed.as_int(-1);
        // Indexes 0..7 repeat the first eight colours; 8..63 are the palette.
        return WorkbookStyles::paletteColor(i < 8 ? i + 1 : i - 7);
    }
    return QString();
}

bool isDateCode(const QString& code)
{
    // The first section decides; text in quotes, escaped characters, fill and padding characters and
    // bracketed parts (colours, conditions, locales) are not format codes.
    QString plain;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code[i];
        if (quoted) {
            quoted = c != u'"';
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const qsizetype end = code.indexOf(u']', i);
            if (end < 0)
                break;
            i = end;
        } else if (c == u';') {
            break;
        } else {
            plain += c.toLower();
        }
    }
    if (plain.contains(QLatin1String("general")))
        return false;
    if (plain.contains(u'd') || plain.contains(u'y'))
        return true;
    return plain.contains(u'm') && !plain.contains(u'h') && !plain.contains(u's');
}

} // namespace

QString WorkbookStyles::Change::key() const
{
    QString k;
    auto add = [&k](char tag, const QString& v) { k += QLatin1Char(tag) + v + u';'; };
    if (locked)
        add('l', QString::number(*locked));
    if (wrapText)
        add('w', QString::number(*wrapText));
    if (bold)
        add('b', QString::number(*bold));
    if (fontSize)
        add('s', QString::number(*fontSize));
    if (fontColor)
        add('c', *fontColor);
    if (borderColor)
        add('o', *borderColor);
    if (numberFormat)
        add('n', QString::number(*numberFormat));
    return k;
}

WorkbookStyles::WorkbookStyles()
{
    load(QByteArray(DefaultStyles), nullptr);
}

bool WorkbookStyles::load(const QByteArray& xml, QString* error)
{
    m_applied.clear();
    m_dateFormats.clear();
    m_numberFormats.clear();
    m_modified = false;
    m_original = xml;
    if (!Xml::parse(m_doc, xml, error))
        return false;
    m_root = m_doc.document_element();
    if (!Xml::is(m_root, "styleSheet")) {
        if (error)
            *error = QStringLiteral("no style sheet");
        return false;
    }
    m_prefix = Xml::prefixOf(m_root);
    index();
    return true;
}

void WorkbookStyles::index()
{
    indexTable(m_fonts, "fonts", "font");
    indexTable(m_borders, "borders", "border");
    indexTable(m_formats, "cellXfs", "xf");
    for (pugi::xml_node n : Xml::child(m_root, "numFmts").children()) {
        if (Xml::is(n, "numFmt"))
            m_numberFormats.insert(n.attribute("numFmtId").as_int(), Xml::value(n.attribute("formatCode")));
    }
}

void WorkbookStyles::indexTable(Table& table, const char* parentName, const char* itemName)
{
    table = Table();
    table.parent = Xml::child(m_root, parentName);
    for (pugi::xml_node n : table.parent.children()) {
        if (!Xml::is(n, itemName))
            continue;
        table.items.push_back(n);
    }
}

pugi::xml_node WorkbookStyles::ensureContainer(const char* name)
{
    return Xml::orderedChild(m_root, SheetOrder, element(name));
}

int WorkbookStyles::findOrAdd(Table& table, pugi::xml_node item)
{
    // Contents are indexed on the first change only: reading a workbook never needs them.
    if (table.byContent.isEmpty()) {
        for (size_t i = 0; i < table.items.size(); ++i)
            table.byContent.insert(canonical(table.items[i]), int(i)); // the last of equals wins; any would do
    }
    const QByteArray content = canonical(item);
    const auto it = table.byContent.constFind(content);
    if (it != table.byContent.constEnd())
        return *it;
    table.items.push_back(table.parent.append_copy(item));
    const int i = int(table.items.size() - 1);
    table.byContent.insert(content, i);
    setAttribute(table.parent, "count", std::to_string(table.items.size()).c_str());
    m_modified = true;
    return i;
}

pugi::xml_node WorkbookStyles::item(const Table& table, int i) const
{
    return i >= 0 && size_t(i) < table.items.size() ? table.items[size_t(i)] : pugi::xml_node();
}

int WorkbookStyles::apply(int format, const Change& change)
{
    const QString key = QString::number(format) + u'|' + change.key();
    const auto cached = m_applied.constFind(key);
    if (cached != m_applied.constEnd())
        return *cached;

    // A style sheet that lacks the defaults gets them first, so that index 0 stays the default everywhere.
    if (m_fonts.items.empty() || m_borders.items.empty() || m_formats.items.empty()) {
        pugi::xml_document defaults;
        Xml::parse(defaults, QByteArray(DefaultStyles), nullptr);
        const pugi::xml_node root = defaults.document_element();
        for (const char* name : {"fonts", "fills", "borders", "cellStyleXfs", "cellXfs"}) {
            pugi::xml_node container = ensureContainer(name);
            if (container.first_child())
                continue;
            int count = 0;
            for (pugi::xml_node n : Xml::child(root, name).children()) {
                addPrefix(container.append_copy(n), m_prefix);
                ++count;
            }
            setAttribute(container, "count", std::to_string(count).c_str());
        }
        m_modified = true;
        indexTable(m_fonts, "fonts", "font");
        indexTable(m_borders, "borders", "border");
        indexTable(m_formats, "cellXfs", "xf");
    }

    pugi::xml_document scratch;
    pugi::xml_node xf = scratch.append_copy(item(m_formats, format) ? item(m_formats, format) : item(m_formats, 0));
    if (change.bold || change.fontSize || change.fontColor) {
        const int font = changedFont(xf.attribute("fontId").as_int(), change);
        setAttribute(xf, "fontId", std::to_string(font).c_str());
        setFlag(xf, "applyFont", true);
    }
    if (change.borderColor) {
        const int border = changedBorder(xf.attribute("borderId").as_int(), *change.borderColor);
        setAttribute(xf, "borderId", std::to_string(border).c_str());
        setFlag(xf, "applyBorder", true);
    }
    if (change.numberFormat) {
        setAttribute(xf, "numFmtId", std::to_string(*change.numberFormat).c_str());
        setFlag(xf, "applyNumberFormat", true);
    }
    if (change.wrapText) {
        pugi::xml_node alignment = Xml::child(xf, "alignment");
        if (*change.wrapText) {
            if (!alignment)
                alignment = xf.prepend_child(element("alignment").c_str());
            setFlag(alignment, "wrapText", true);
        } else if (alignment) {
            alignment.remove_attribute("wrapText");
            if (!alignment.first_attribute())
                xf.remove_child(alignment);
        }
        setFlag(xf, "applyAlignment", bool(Xml::child(xf, "alignment")));
    }
    if (change.locked) {
        pugi::xml_node protection = Xml::child(xf, "protection");
        if (!protection) {
            const pugi::xml_node alignment = Xml::child(xf, "alignment");
            protection = alignment ? xf.insert_child_after(element("protection").c_str(), alignment)
                                   : xf.prepend_child(element("protection").c_str());
        }
        setAttribute(protection, "locked", *change.locked ? "1" : "0");
        setFlag(xf, "applyProtection", true);
    }
    const int result = findOrAdd(m_formats, xf);
    m_applied.insert(key, result);
    return result;
}

int WorkbookStyles::changedFont(int font, const Change& change)
{
    pugi::xml_document scratch;
    pugi::xml_node base = item(m_fonts, font) ? item(m_fonts, font) : item(m_fonts, 0);
    pugi::xml_node f = base ? scratch.append_copy(base) : scratch.append_child(element("font").c_str());
    if (change.bold) {
        while (pugi::xml_node b = Xml::child(f, "b"))
            f.remove_child(b);
        if (*change.bold)
            Xml::orderedChild(f, FontOrder, element("b"));
    }
    if (change.fontSize)
        setAttribute(Xml::orderedChild(f, FontOrder, element("sz")), "val",
                     Xml::numberText(*change.fontSize).constData());
    if (change.fontColor) {
        pugi::xml_node color = Xml::orderedChild(f, FontOrder, element("color"));
        while (color.first_attribute())
            color.remove_attribute(color.first_attribute());
        color.append_attribute("rgb") = change.fontColor->toLatin1().constData();
    }
    return findOrAdd(m_fonts, f);
}

int WorkbookStyles::changedBorder(int border, const QString& color)
{
    // The four sides are thin in the colour; diagonals and their flags stay as they were.
    pugi::xml_document scratch;
    pugi::xml_node b = scratch.append_child(element("border").c_str());
    const pugi::xml_node base = item(m_borders, border);
    for (pugi::xml_attribute a = base.first_attribute(); a; a = a.next_attribute())
        b.append_copy(a);
    const QByteArray rgb = color.toLatin1();
    for (const char* side : {"left", "right", "top", "bottom"}) {
        pugi::xml_node s = b.append_child(element(side).c_str());
        s.append_attribute("style") = "thin";
        s.append_child(element("color").c_str()).append_attribute("rgb") = rgb.constData();
    }
    const pugi::xml_node diagonal = Xml::child(base, "diagonal");
    if (diagonal)
        b.append_copy(diagonal);
    else
        b.append_child(element("diagonal").c_str());
    for (const char* rest : {"vertical", "horizontal"}) {
        if (const pugi::xml_node n = Xml::child(base, rest))
            b.append_copy(n);
    }
    return findOrAdd(m_borders, b);
}

void WorkbookStyles::setDefaultFont(const QString& name, double points)
{
    pugi::xml_node font = item(m_fonts, item(m_formats, 0).attribute("fontId").as_int());
    if (!font)
        font = item(m_fonts, 0);
    if (!font)
        return;
    // A theme scheme would override the name in spreadsheet programs.
    while (pugi::xml_node scheme = Xml::child(font, "scheme"))
        font.remove_child(scheme);
    setAttribute(Xml::orderedChild(font, FontOrder, element("sz")), "val", Xml::numberText(points).constData());
    setAttribute(Xml::orderedChild(font, FontOrder, element("name")), "val", name.toUtf8().constData());
    m_modified = true;
    m_applied.clear();
    indexTable(m_fonts, "fonts", "font");
}

bool WorkbookStyles::isDateFormat(int format) const
{
    const auto cached = m_dateFormats.constFind(format);
    if (cached != m_dateFormats.constEnd())
        return *cached;
    const pugi::xml_node xf = item(m_formats, format);
    const int id = xf.attribute("numFmtId").as_int();
    bool date = false;
    const auto custom = m_numberFormats.constFind(id);
    if (custom != m_numberFormats.constEnd())
        date = isDateCode(*custom);
    else
        date = (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58);
    m_dateFormats.insert(format, date);
    return date;
}

CellFormat WorkbookStyles::cellFormat(int format) const
{
    CellFormat result;
    const pugi::xml_node xf = item(m_formats, format);
    result.locked = isTrue(Xml::child(xf, "protection").attribute("locked"), true);
    result.wrapText = isTrue(Xml::child(xf, "alignment").attribute("wrapText"), false);

    const pugi::xml_node font = item(m_fonts, xf.attribute("fontId").as_int());
    const pugi::xml_node b = Xml::child(font, "b");
    result.fontName = Xml::value(Xml::child(font, "name").attribute("val"));
    result.bold = b && isTrue(b.attribute("val"), true);
    result.fontSize = Xml::number(Xml::child(font, "sz").attribute("val"));
    result.fontColor = colorOf(Xml::child(font, "color"));

    const pugi::xml_node border = item(m_borders, xf.attribute("borderId").as_int());
    QStringList colors;
    result.bordered = true;
    for (const char* side : {"left", "right", "top", "bottom"}) {
        const pugi::xml_node s = Xml::child(border, side);
        const QString style = Xml::value(s.attribute("style"));
        if (style.isEmpty() || style == QLatin1String("none"))
            result.bordered = false;
        colors << colorOf(Xml::child(s, "color"));
    }
    if (result.bordered && colors.count(colors.first()) == colors.size())
        result.borderColor = colors.first();
    return result;
}

QString WorkbookStyles::paletteColor(int colorIndex)
{
    if (colorIndex < 1 || colorIndex > int(std::size(Palette)))
        return QString();
    return QLatin1String("FF") + QLatin1String(Palette[size_t(colorIndex - 1)]);
}

QByteArray WorkbookStyles::serialize() const
{
    return Xml::serialize(m_doc);
}
