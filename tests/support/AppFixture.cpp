#include "support/AppFixture.h"

#include "platform/desktop/Desktop.h"
#include "platform/dialogs/MsgBox.h"
#include "shell/DatabaseFile.h"
#include "shell/gblGlobal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

QString sqliteOdbcDriver()
{
    const QStringList candidates = {QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so"),
                                    QStringLiteral("/usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so"),
                                    QStringLiteral("/usr/lib/odbc/libsqlite3odbc.so")};
    for (const QString& c : candidates)
        if (QFileInfo::exists(c))
            return c;
    return QStringLiteral("libsqlite3odbc.so");
}

void AppFixture::SetUp()
{
    MsgBox::setTestMode(true);
    Desktop::setTestMode(true);
    prepareFolder();
    if (m_connect)
        startConnection();
}

void AppFixture::TearDown()
{
    toCloseConnection();
    setProgramFolder(QString());
    qunsetenv("ODBCSYSINI");
    qunsetenv("ODBCINI");
}

void AppFixture::prepareFolder(bool withDatabase)
{
    ASSERT_TRUE(m_folder.isValid());
    const QDir resources(QStringLiteral(QUORVANE_SOURCE_DIR "/resources"));
    for (const QFileInfo& info : resources.entryInfoList(QDir::Files)) {
        if (info.fileName() != QLatin1String("schema.sql"))
            QFile::copy(info.absoluteFilePath(), QDir(folder()).filePath(info.fileName()));
    }
    if (withDatabase) {
        QString error;
        ASSERT_TRUE(DatabaseFile::createFromSchema(dbPath(), resources.filePath(QStringLiteral("schema.sql")), &error))
            << error.toStdString();
    }
    QFile inst(QDir(odbcDir()).filePath(QStringLiteral("odbcinst.ini")));
    ASSERT_TRUE(inst.open(QIODevice::WriteOnly));
    inst.write(QStringLiteral("[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver=%1\nSetup=%1\n")
                   .arg(sqliteOdbcDriver())
                   .toUtf8());
    inst.close();
    const QString sysIni = QDir(odbcDir()).filePath(QStringLiteral("odbc.ini"));
    QDir(sysIni).removeRecursively();
    QFile sys(sysIni);
    ASSERT_TRUE(sys.open(QIODevice::WriteOnly));
    sys.close();
    QFile::remove(QDir(odbcDir()).filePath(QStringLiteral("user-odbc.ini")));
    qputenv("ODBCSYSINI", odbcDir().toLocal8Bit());
    qputenv("ODBCINI", QDir(odbcDir()).filePath(QStringLiteral("user-odbc.ini")).toLocal8Bit());
    setProgramFolder(folder());
}

QString AppFixture::odbcDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

void AppFixture::startConnection()
{
    ASSERT_EQ(Main(), StartupResult::Continue);
    ASSERT_TRUE(connectionIsOpen());
}

QString AppFixture::dbPath() const
{
    return QDir(m_folder.path()).filePath(QStringLiteral("Pellorin.mdb"));
}

namespace
{

template <typename F> void withDirect(const QString& path, F f)
{
    const QString name = QStringLiteral("direct-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            ADD_FAILURE() << db.lastError().text().toStdString();
        QSqlQuery pragma(db);
        pragma.exec(QStringLiteral("PRAGMA foreign_keys=ON"));
        f(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

QSqlQuery prepared(QSqlDatabase& db, const QString& sql, const QVariantList& values)
{
    QSqlQuery q(db);
    if (!q.prepare(sql))
        ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        ADD_FAILURE() << q.lastError().text().toStdString() << " in " << sql.toStdString();
    return q;
}

} // namespace

QVariantList AppFixture::rows(const QString& sql, const QVariantList& values) const
{
    QVariantList result;
    withDirect(dbPath(), [&](QSqlDatabase& db) {
        QSqlQuery q = prepared(db, sql, values);
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            result << QVariant(row);
        }
    });
    return result;
}

QVariant AppFixture::value(const QString& sql, const QVariantList& values) const
{
    const QVariantList r = rows(sql, values);
    return r.isEmpty() ? QVariant() : r.first().toList().value(0);
}

void AppFixture::run(const QString& sql, const QVariantList& values) const
{
    withDirect(dbPath(), [&](QSqlDatabase& db) { prepared(db, sql, values); });
}

int AppFixture::count(const QString& table) const
{
    return value(QStringLiteral("select count(*) from ") + table).toInt();
}

QString AppFixture::snapshot() const
{
    QString text;
    withDirect(dbPath(), [&](QSqlDatabase& db) {
        QStringList tables = db.tables(QSql::Tables);
        tables.sort();
        for (const QString& table : tables) {
            text += QStringLiteral("## ") + table + QLatin1Char('\n');
            QSqlQuery q(db);
            q.exec(QStringLiteral("select * from \"%1\" order by rowid").arg(table));
            while (q.next()) {
                QStringList cells;
                for (int i = 0; i < q.record().count(); ++i)
                    cells << q.value(i).toString();
                text += cells.join(QLatin1Char('|')) + QLatin1Char('\n');
            }
        }
    });
    return text;
}
