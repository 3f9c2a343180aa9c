#pragma once

#include "platform/report/ValueFormat.h"

#include <QList>
#include <QString>
#include <QStringList>

// A report definition: which table or view a report reads and how it lays the rows out. Definitions are
// plain text files beside the program so that an installation can edit them: one "key = value" a line,
// "#" starts a comment line. Texts may name fields and formulas in braces, "{custname}",
// "{CompanyName}", "{sdate:date}".
//
//   title = Improvement Plan              the report's title, under the heading
//   heading = {CompanyName}               the first line of every page (default: the company name)
//   table = action                        the table or view read
//   orientation = landscape               portrait (default) or landscape
//   picture = perform.bmp                 a picture from the definition's folder, under the title
//   group = custname | Customer: {custname}      one line per level, outermost first
//   order = Date, Action desc             row order within the groups
//   column = Action | Action | 50 | text   field | heading | relative width | format (ValueFormat)
//   average = wt, sc                      an "Average" line under each innermost group and at the end
//   count = Number of actions             a closing line with the number of rows
//   empty = No actions in this period.    what an empty report says
//
// Groups come in the order of their first row, so with "order" empty they follow the table's own order.
class ReportDefinition
{
public:
    struct Column {
        QString field;
        QString heading;
        double width = 1;
        ValueFormat format;
    };
    struct Group {
        QStringList fields;
        QString heading;
    };
    struct SortKey {
        QString field;
        bool descending = false;
    };

    static bool load(const QString& path, ReportDefinition* out, QString* error);
    static bool parse(const QString& text, ReportDefinition* out, QString* error);
    // A table, field or formula name: letters, digits and underscores only.
    static bool isName(const QString& name);

    // Every field the report reads, each once, in the order first named.
    QStringList fields() const;
    const Column* column(const QString& field) const;

    QString title;
    QString heading = QStringLiteral("{CompanyName}");
    QString table;
    bool landscape = false;
    QString picture;
    QList<Group> groups;
    QList<SortKey> order;
    QList<Column> columns;
    QStringList averages;
    QString countLabel;
    QString emptyText = QStringLiteral("No records to report.");
};
