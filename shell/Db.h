#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

class QSqlError;
struct ErrorRecord;

// Statement helpers on the shared connection. Values always travel as bound parameters; a statement the provider
// refuses throws ProviderError with the connection's error records.
namespace Db
{

// Runs a statement (any kind) and returns the query positioned before its first row.
QSqlQuery exec(const QString& sql, const QVariantList& values = {});

// First column of the first row, or an invalid QVariant when there is no row.
QVariant scalar(const QString& sql, const QVariantList& values = {});

// True when the statement returns at least one row.
bool exists(const QString& sql, const QVariantList& values = {});

QList<ErrorRecord> errorRecords(const QSqlError& error);

} // namespace Db
