#include "shell/Db.h"

#include "shell/ConnectionPolicy.h"
#include "shell/ProviderError.h"
#include "shell/gblGlobal.h"

#include <QSqlError>

namespace Db
{

QList<ErrorRecord> errorRecords(const QSqlError& error)
{
    if (error.type() == QSqlError::NoError)
        return {};
    // The driver joins several diagnostic records' codes with ";"; their texts arrive as one description.
    const QStringList codes = error.nativeErrorCode().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QString description = error.databaseText().trimmed();
    if (description.isEmpty())
        description = error.driverText().trimmed();
    bool ok = false;
    const int number = codes.isEmpty() ? 0 : codes.first().trimmed().toInt(&ok);
    return {ErrorRecord{ok ? number : 0, description}};
}

QSqlQuery exec(const QString& sql, const QVariantList& values)
{
    QSqlDatabase db = gConnection();
    if (!db.isOpen())
        throw ProviderError({});
    ConnectionPolicy::checkNotInterrupted();
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw ProviderError(errorRecords(query.lastError()));
    for (const QVariant& v : values)
        query.addBindValue(v);
    if (!query.exec())
        throw ProviderError(errorRecords(query.lastError()));
    return query;
}

QVariant scalar(const QString& sql, const QVariantList& values)
{
    QSqlQuery query = exec(sql, values);
    return query.next() ? query.value(0) : QVariant();
}

bool exists(const QString& sql, const QVariantList& values)
{
    QSqlQuery query = exec(sql, values);
    return query.next();
}

} // namespace Db
