#pragma once

#include "shell/ConnectionPolicy.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QUuid>

#include <gtest/gtest.h>

// A second program on the database: its own connection by path, its write lock taken and given back at will.
class OtherProgram
{
public:
    explicit OtherProgram(const QString& path)
        : m_name(QStringLiteral("other-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        exec("PRAGMA busy_timeout=0");
    }
    ~OtherProgram()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    bool exec(const char* sql) { return QSqlQuery(QSqlDatabase::database(m_name, false)).exec(QLatin1String(sql)); }
    bool lock() { return exec("BEGIN IMMEDIATE"); }
    void release() { exec("ROLLBACK"); }
    // True when the program holds a write lock: the other program cannot take one.
    bool lockedOut()
    {
        if (!lock())
            return true;
        release();
        return false;
    }

private:
    QString m_name;
};

// The connection's lock wait of the program, shortened for a test and given back after it.
struct BusyWait {
    explicit BusyWait(int ms) { ConnectionPolicy::setBusyWait(ms); }
    ~BusyWait() { ConnectionPolicy::setBusyWait(10000); }
};
