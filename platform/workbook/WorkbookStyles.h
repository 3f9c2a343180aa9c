#pragma once

#include "platform/workbook/CellFormat.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include <optional>
#include <vector>

// The styles part of a workbook. A cell's look is an index into the cell formats; a change to one cell
// finds or adds the format that differs from the cell's old one by that change, so cells that look alike
// share one format however many there are.
class WorkbookStyles
{
public:
    struct Change {
        std::optional<bool> locked;
        std::optional<bool> wrapText;
        std::optional<bool> bold;
        std::optional<double> fontSize;
        std::optional<QString> fontColor;   // ARGB
        std::optional<QString> borderColor; // a thin border around the cell, ARGB
        std::optional<int> numberFormat;    // a number format id

        QString key() const;
    };

    WorkbookStyles();

    bool load(const QByteArray& xml, QString* error);
    QByteArray toXml() const { return m_modified ? serialize() : m_original; }
    bool isModified() const { return m_modified; }

    int apply(int format, const Change& change);
    // The font of cells without one of their own; column widths count in its digits. Set it before
    // formatting cells: fonts made from it earlier keep the old one.
    void setDefaultFont(const QString& name, double points);
    bool isDateFormat(int format) const;
    CellFormat cellFormat(int format) const;

    // The ARGB colour of an index of the standard 56-colour palette (1 black, 3 red, ...); "" outside it.
    static QString paletteColor(int colorIndex);

    // The number format that shows a date in the system's short form.
    static constexpr int ShortDateFormat = 14;

private:
    struct Table {
        pugi::xml_node parent;
        std::vector<pugi::xml_node> items;
        QHash<QByteArray, int> byContent;
    };

    void index();
    void indexTable(Table& table, const char* parentName, const char* itemName);
    int findOrAdd(Table& table, pugi::xml_node item);
    pugi::xml_node item(const Table& table, int i) const;
    pugi::xml_node ensureContainer(const char* name);
    int changedFont(int font, const Change& change);
    int changedBorder(int border, const QString& color);
    QByteArray serialize() const;
    std::string element(const char* local) const { return m_prefix + local; }

    pugi::xml_document m_doc;
    pugi::xml_node m_root;
    std::string m_prefix;
    QByteArray m_original;
    bool m_modified = false;
    Table m_fonts;
    Table m_borders;
    Table m_formats;
    QHash<int, QString> m_numberFormats; // custom format codes by id
    mutable QHash<int, bool> m_dateFormats;
    QHash<QString, int> m_applied; // "format|change" -> resulting format
};
