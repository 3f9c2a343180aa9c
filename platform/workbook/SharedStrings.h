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
    // Leaves wanted sorted, without duplicates and without the entries already held; false when none is left.
    bool onlyNew(std::vector<int>& wanted) const;
    // Reads the entries of the table's XML that are asked for, wanted as onlyNew left it, without building a tree
    // of it. A table that is no sound XML adds nothing.
    void load(const QByteArray& xml, const std::vector<int>& wanted);
    // The same through a tree of the whole table: quicker, for a table whose tree takes little memory.
    void loadTree(const QByteArray& xml, const std::vector<int>& wanted);
    // "" for an entry that is not held.
    QString at(int index) const { return m_strings.value(index); }

private:
    QHash<int, QString> m_strings;
};
