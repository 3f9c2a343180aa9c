#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <vector>

// The workbook's table of shared strings, holding only the entries its loaded cells refer to: a crafted table of
// millions of entries costs no more memory than the few a sheet uses.
class SharedStrings
{
public:
    // Reads the entries of the table's XML that are asked for (and not held yet) without building a tree of it.
    // A table that is no sound XML adds nothing.
    void load(const QByteArray& xml, std::vector<int> wanted);
    // The same through a tree of the whole table: quicker, for a table whose tree takes little memory.
    void loadTree(const QByteArray& xml, std::vector<int> wanted);
    bool contains(int index) const { return m_strings.contains(index); }
    // "" for an entry that is not held.
    QString at(int index) const { return m_strings.value(index); }

private:
    // Sorted, without duplicates and without the entries already held; false when none is left.
    bool onlyNew(std::vector<int>& wanted) const;

    QHash<int, QString> m_strings;
};
