#include "shell/DatabaseFile.h"

#include "platform/files/WholeFile.h"
#include "shell/ConnectionPolicy.h"
#include "shell/Db.h"
#include "shell/ProviderError.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>

namespace DatabaseFile
{

namespace
{

// Opens the file through SQLite under a connection of its own, hands it to use (open or not), and removes the
// connection again.
template <typename Use> void withConnection(const QString& path, const QString& options, Use use)
{
    const QString name = QStringLiteral("dbfile-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        db.open();
        use(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool build(const QString& path, const QString& script, QString* error)
{
    bool ok = false;
    withConnection(path, QString(), [&](QSqlDatabase& db) {
        if (!db.isOpen()) {
            if (error)
                *error = db.lastError().text();
            return;
        }
        QSqlQuery query(db);
        // The finished file is flushed to the disk once, when it is written in place.
        query.exec(QStringLiteral("PRAGMA synchronous=OFF"));
        for (const QString& statement : statements(script)) {
            if (!query.exec(statement)) {
                if (error)
                    *error = QStringLiteral("%1\n%2").arg(query.lastError().text(), statement);
                return;
            }
        }
        ok = true;
    });
    return ok;
}

bool readAll(const QString& path, QByteArray* bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    *bytes = file.readAll();
    return true;
}

} // namespace

QStringList statements(const QString& script)
{
    QStringList result;
    QString current;
    bool inTrigger = false;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        const int comment = line.indexOf(QStringLiteral("--"));
        if (comment >= 0)
            line.truncate(comment);
        if (line.trimmed().isEmpty())
            continue;
        if (current.isEmpty() && line.trimmed().startsWith(QStringLiteral("CREATE TRIGGER"), Qt::CaseInsensitive))
            inTrigger = true;
        current += line + QLatin1Char('\n');
        const QString t = line.trimmed();
        const bool ends =
            inTrigger ? t.compare(QStringLiteral("END;"), Qt::CaseInsensitive) == 0 : t.endsWith(QLatin1Char(';'));
        if (ends) {
            result << current.trimmed();
            current.clear();
            inTrigger = false;
        }
    }
    if (!current.trimmed().isEmpty())
        result << current.trimmed();
    return result;
}

bool createFromSchema(const QString& dbPath, const QString& schemaPath, QString* error)
{
    if (QFileInfo::exists(dbPath))
        return true;
    QByteArray schema;
    QString reason;
    if (!WholeFile::read(schemaPath, &schema, &reason)) {
        if (error)
            *error = QStringLiteral("Cannot read %1: %2").arg(schemaPath, reason);
        return false;
    }
    const QString script = QString::fromUtf8(schema);
    // Built in a folder of its own and then written whole in place, so that neither a failed build nor a full disk
    // leaves a half-made file, and a file that another start made meanwhile is kept.
    QTemporaryDir folder;
    if (!folder.isValid()) {
        if (error)
            *error = QStringLiteral("Cannot create %1: %2").arg(dbPath, folder.errorString());
        return false;
    }
    const QString partial = folder.filePath(QStringLiteral("schema.db"));
    QByteArray made;
    if (!build(partial, script, error) || !readAll(partial, &made, error))
        return false;
    if (WholeFile::write(dbPath, made, &reason, WholeFile::Mode::KeepExisting) || QFileInfo::exists(dbPath))
        return true;
    if (error)
        *error = QStringLiteral("Cannot create %1: %2").arg(dbPath, reason);
    return false;
}

QStringList programTables()
{
    return QStringLiteral("customer respondent parameter questions survey responquesindex log standardmessage "
                          "feedbackobjective feedbackdescriptive actionplan setting reportlinktable copydetails "
                          "report reporttable search linetable surveydateorder scattertable")
        .split(QLatin1Char(' '));
}

namespace
{

// What a failure says about the file: nothing when it was another program's lock.
QString verdictOf(const QSqlError& error)
{
    const bool busy =
        ConnectionPolicy::classify(ProviderError(Db::errorRecords(error))) == ConnectionPolicy::Failure::Busy;
    return busy ? QString() : error.databaseText();
}

QString checkOpen(QSqlDatabase& db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        return verdictOf(query.lastError());
    QStringList findings;
    while (query.next())
        findings << query.value(0).toString();
    if (query.lastError().isValid())
        return verdictOf(query.lastError());
    if (findings != QStringList{QStringLiteral("ok")})
        return QStringLiteral("database disk image is malformed");

    QSet<QString> present;
    if (!query.exec(QStringLiteral("select name from sqlite_master where type='table'")))
        return verdictOf(query.lastError());
    while (query.next())
        present.insert(query.value(0).toString().toLower());
    const QStringList tables = programTables();
    QStringList missing;
    for (const QString& table : tables)
        if (!present.contains(table))
            missing << table;
    if (missing.size() == tables.size())
        return QStringLiteral("it holds none of the program's tables");
    if (!missing.isEmpty())
        return QStringLiteral("it lacks the tables %1").arg(missing.join(QStringLiteral(", ")));
    return QString();
}

} // namespace

QString unusableReason(const QString& dbPath)
{
    // SQLite would make an empty database in place of a missing file.
    if (!QFileInfo(dbPath).isFile())
        return QStringLiteral("the file does not exist");
    QString reason;
    const QString wait = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(ConnectionPolicy::busyWait());
    withConnection(dbPath, wait,
                   [&](QSqlDatabase& db) { reason = db.isOpen() ? checkOpen(db) : verdictOf(db.lastError()); });
    return reason;
}

} // namespace DatabaseFile
