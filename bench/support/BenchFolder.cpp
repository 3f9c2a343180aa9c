#include "BenchFolder.h"

#include "shell/DatabaseFile.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <cstdio>

namespace
{

QString driverLibrary()
{
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so",
                             "/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so", "/usr/lib/odbc/libsqlite3odbc.so"})
        if (QFileInfo::exists(QLatin1String(path)))
            return QLatin1String(path);
    return QStringLiteral("libsqlite3odbc.so");
}

bool writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

bool startProgramIn(const QString& folder, const std::function<bool(const QString& databasePath)>& seed)
{
    const QDir resources(QStringLiteral(QUORVANE_SOURCE_DIR "/resources"));
    for (const QFileInfo& info : resources.entryInfoList(QDir::Files))
        if (info.fileName() != QLatin1String("schema.sql"))
            QFile::copy(info.absoluteFilePath(), QDir(folder).filePath(info.fileName()));
    const QString database = QDir(folder).filePath(QStringLiteral("Pellorin.mdb"));
    QString error;
    if (!DatabaseFile::createFromSchema(database, resources.filePath(QStringLiteral("schema.sql")), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return false;
    }
    if (seed && !seed(database))
        return false;
    const QString odbc = QDir(folder).filePath(QStringLiteral("odbc"));
    QDir().mkpath(odbc);
    const QByteArray driver = QStringLiteral("[SQLite3]\nDriver=%1\nSetup=%1\n").arg(driverLibrary()).toUtf8();
    if (!writeFile(QDir(odbc).filePath(QStringLiteral("odbcinst.ini")), driver) ||
        !writeFile(QDir(odbc).filePath(QStringLiteral("odbc.ini")), QByteArray()))
        return false;
    qputenv("ODBCSYSINI", odbc.toLocal8Bit());
    qputenv("ODBCINI", QDir(odbc).filePath(QStringLiteral("user-odbc.ini")).toLocal8Bit());
    setProgramFolder(folder);
    return Main() == StartupResult::Continue && connectionIsOpen();
}

namespace
{
const char* const SeedConnection = "seed";
}

SeedDatabase::SeedDatabase(const QString& databasePath)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QLatin1String(SeedConnection));
    db.setDatabaseName(databasePath);
    m_ok = db.open() && db.transaction();
    m_query = std::make_unique<QSqlQuery>(db);
}

SeedDatabase::~SeedDatabase()
{
    m_query.reset();
    QSqlDatabase::database(QLatin1String(SeedConnection), false).close();
    QSqlDatabase::removeDatabase(QLatin1String(SeedConnection));
}

void SeedDatabase::exec(const QString& sql, const QVariantList& values)
{
    if (!m_ok)
        return;
    m_query->prepare(sql);
    for (const QVariant& v : values)
        m_query->addBindValue(v);
    if (!m_query->exec()) {
        std::fprintf(stderr, "%s\n", qPrintable(m_query->lastError().text()));
        m_ok = false;
    }
}

bool SeedDatabase::commit()
{
    m_query->finish();
    return m_ok && QSqlDatabase::database(QLatin1String(SeedConnection), false).commit();
}
