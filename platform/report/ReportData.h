#pragma once

#include "platform/report/ReportDefinition.h"
#include "platform/report/SelectionFormula.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The rows a report shows: the fields its definition names, read from its table or view in the database file,
// selected by the selection formula and in the definition's order.
class ReportData
{
public:
    // Opens the database file by path, read-only, and reads the rows. False with the reason on any failure
    // (no such file, table or field; a formula naming another table).
    bool load(const QString& databasePath, const ReportDefinition& definition, const SelectionFormula& selection,
              QString* error);

    // Rows handed over directly, in the order to be shown.
    void setRows(const QStringList& fields, const QList<QVariantList>& rows);

    int rowCount() const { return int(m_rows.size()); }
    // The index of a field among those read, found without regard to case; -1 when it was not read.
    int fieldIndex(const QString& field) const;
    QVariant value(int row, int field) const { return field < 0 ? QVariant() : m_rows[row][field]; }

private:
    QStringList m_fields;
    QList<QVariantList> m_rows;
};
