#include "platform/report/ReportData.h"

#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace
{

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// The field's name as the table spells it ("" when the table has none of that name, in any case).
QString resolve(const QSqlRecord& record, const QString& field)
{
    for (int i = 0; i < record.count(); ++i) {
        if (record.fieldName(i).compare(field, Qt::CaseInsensitive) == 0)
            return record.fieldName(i);
    }
    return QString();
}

struct Query {
    QString sql;
    QVariantList values;
};

bool buildQuery(const QSqlRecord& record, const QString& table, bool hasRowid, const ReportDefinition& definition,
                const SelectionFormula& selection, const QStringList& fields, Query* q, QString* error)
{
    QStringList columns;
    for (const QString& f : fields)
        columns << quoted(f);
    QStringList where;
    for (const SelectionFormula::Condition& c : selection.conditions()) {
        if (c.table.compare(definition.table, Qt::CaseInsensitive) != 0) {
            *error = QStringLiteral("The selection formula names the table \"%1\", but the report reads \"%2\".")
                         .arg(c.table, definition.table);
            return false;
        }
        const QString field = resolve(record, c.field);
        if (field.isEmpty()) {
            *error = QStringLiteral("The selection formula names the field \"%1\", which \"%2\" does not have.")
                         .arg(c.field, table);
            return false;
        }
        // Dates are stored as "YYYY-MM-DD" text; date() also drops any time part, so both bounds stay inclusive.
        if (c.date.isValid()) {
            where << QStringLiteral("date(%1) %2 ?").arg(quoted(field), c.op);
            q->values << c.date.toString(Qt::ISODate);
        } else {
            where << QStringLiteral("%1 %2 ?").arg(quoted(field), c.op);
            q->values << c.text;
        }
    }
    QStringList order;
    for (const ReportDefinition::SortKey& k : definition.order)
        order << quoted(resolve(record, k.field)) + (k.descending ? QStringLiteral(" DESC") : QString());
    if (hasRowid)
        order << QStringLiteral("rowid");
    q->sql = QStringLiteral("SELECT %1 FROM %2").arg(columns.join(QStringLiteral(", ")), quoted(table));
    if (!where.isEmpty())
        q->sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (!order.isEmpty())
        q->sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    return true;
}

bool readRows(QSqlDatabase& db, const QString& databasePath, const ReportDefinition& definition,
              const SelectionFormula& selection, QStringList* fields, QList<QVariantList>* rows, QString* error)
{
    QSqlQuery find(db);
    find.prepare(QStringLiteral("SELECT name, type FROM sqlite_master WHERE type IN ('table', 'view') AND name = ? "
                                "COLLATE NOCASE"));
    find.addBindValue(definition.table);
    if (!find.exec() || !find.next()) {
        *error = find.lastError().isValid()
                     ? QStringLiteral("The database file \"%1\" cannot be read: %2")
                           .arg(databasePath, find.lastError().text())
                     : QStringLiteral("The database file \"%1\" has no table or view \"%2\" for the report.")
                           .arg(databasePath, definition.table);
        return false;
    }
    const QString table = find.value(0).toString();
    const bool hasRowid = find.value(1).toString() == QLatin1String("table");
    find.finish();

    const QSqlRecord record = db.record(table);
    for (const QString& f : definition.fields()) {
        const QString name = resolve(record, f);
        if (name.isEmpty()) {
            *error = QStringLiteral("The table \"%1\" has no field \"%2\" that the report names.").arg(table, f);
            return false;
        }
        *fields << name;
    }
    Query q;
    if (!buildQuery(record, table, hasRowid, definition, selection, *fields, &q, error))
        return false;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(q.sql);
    for (const QVariant& v : q.values)
        query.addBindValue(v);
    if (!query.exec()) {
        *error = QStringLiteral("The table \"%1\" cannot be read from \"%2\": %3")
                     .arg(table, databasePath, query.lastError().text());
        return false;
    }
    const int n = int(fields->size());
    while (query.next()) {
        QVariantList row;
        row.reserve(n);
        for (int i = 0; i < n; ++i)
            row << query.value(i);
        rows->append(row);
    }
    return true;
}

} // namespace

bool ReportData::load(const QString& databasePath, const ReportDefinition& definition,
                      const SelectionFormula& selection, QString* error)
{
    m_fields.clear();
    m_rows.clear();
    if (!QFileInfo(databasePath).isFile()) {
        *error = QStringLiteral("The database file \"%1\" does not exist.").arg(databasePath);
        return false;
    }
    static QAtomicInt counter;
    const QString connection = QStringLiteral("quorvane-report-%1").arg(counter.fetchAndAddRelaxed(1));
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(databasePath);
        // Reports only look: the program's own connection is the one that writes.
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            *error = QStringLiteral("The database file \"%1\" cannot be opened: %2")
                         .arg(databasePath, db.lastError().text());
        else
            ok = readRows(db, databasePath, definition, selection, &m_fields, &m_rows, error);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    if (!ok) {
        m_fields.clear();
        m_rows.clear();
    }
    return ok;
}

void ReportData::setRows(const QStringList& fields, const QList<QVariantList>& rows)
{
    m_fields = fields;
    m_rows = rows;
}

int ReportData::fieldIndex(const QString& field) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}
