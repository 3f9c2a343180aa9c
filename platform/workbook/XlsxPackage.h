#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

struct zip;

// The zip package of a workbook, held in memory: the parts by name, in their order in the archive.
// Part names are matched without regard to case, as the package format has them. A part is inflated only
// when it is first asked for: a reader that needs four parts of a workbook does not pay for the rest.
class XlsxPackage
{
public:
    XlsxPackage();
    ~XlsxPackage();
    XlsxPackage(const XlsxPackage&) = delete;
    XlsxPackage& operator=(const XlsxPackage&) = delete;

    bool load(const QByteArray& zip, QString* error);
    bool toZip(QByteArray* zip, QString* error) const;

    // The stored name of a part ("" when absent).
    QString find(const QString& partName) const;
    bool contains(const QString& partName) const { return !find(partName).isEmpty(); }
    // "" when the part is absent or cannot be inflated.
    QByteArray data(const QString& partName) const;
    void setData(const QString& partName, const QByteArray& data);
    // A part for reading only: inflated afresh and not kept, so that the package does not hold a second copy of what
    // the reader turns into its own form. "" when absent or not inflatable; "", with the reason, when it would inflate
    // to more than maxSize.
    QByteArray read(const QString& partName, quint64 maxSize, QString* error) const;
    void remove(const QString& partName);

    // The relationships part of a part: "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels".
    static QString relationshipsPart(const QString& partName);
    // The part a relationship target points to, relative to the part that holds the relationship.
    static QString resolveTarget(const QString& sourcePart, const QString& target);

private:
    struct Part {
        QString name;
        quint64 index = 0; // in the archive, while the part is not inflated
        quint64 size = 0;
        mutable std::optional<QByteArray> data;
    };

    bool inflate(const Part& part, QString* error) const;
    bool inflateCopy(const Part& part, QByteArray* out, QString* error) const;
    void close();
    void reindex();

    QByteArray m_zip; // the archive's bytes, which the open archive reads from
    zip* m_archive = nullptr;
    std::vector<Part> m_parts;
    QHash<QString, qsizetype> m_index; // lower-case name -> position in m_parts
};
