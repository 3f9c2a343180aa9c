#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <utility>
#include <vector>

// The zip package of a workbook, held in memory: the parts by name, in their order in the archive.
// Part names are matched without regard to case, as the package format has them.
class XlsxPackage
{
public:
    bool load(const QByteArray& zip, QString* error);
    bool toZip(QByteArray* zip, QString* error) const;

    // The stored name of a part ("" when absent).
    QString find(const QString& partName) const;
    bool contains(const QString& partName) const { return !find(partName).isEmpty(); }
    QByteArray data(const QString& partName) const;
    void setData(const QString& partName, const QByteArray& data);
    void remove(const QString& partName);

    // The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
    static QString relationshipsPart(const QString& partName);
    // The part a relationship target points to, relative to the part that holds the relationship.
    static QString resolveTarget(const QString& sourcePart, const QString& target);

private:
    void reindex();

    std::vector<std::pair<QString, QByteArray>> m_parts;
    QHash<QString, qsizetype> m_index; // lower-case name -> position in m_parts
};
