#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

// A fresh program folder per test: the resources, a database made from the schema, and private ODBC ini files
// (the machine's own ODBC configuration is never touched). The shared connection is opened on it.
class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Lays out the folder and the ini files without registering or connecting (start-up tests do that).
    void prepareFolder(bool withDatabase = true);
    void startConnection();

    QString folder() const { return m_folder.path(); }
    QString dbPath() const;
    // One folder per test process: the ODBC installer library keeps the first path it was given.
    static QString odbcDir();

    // Direct access to the database file, beside the program's own connection (for arranging and checking).
    QVariantList rows(const QString& sql, const QVariantList& values = {}) const;
    QVariant value(const QString& sql, const QVariantList& values = {}) const;
    void run(const QString& sql, const QVariantList& values = {}) const;
    // Rows of a table, or of "table where ...".
    int count(const QString& table) const;
    // Every row of every table, as text: compare before and after a failed save.
    QString snapshot() const;

    bool m_connect = true;

private:
    QTemporaryDir m_folder;
};

// Path of the SQLite ODBC driver library.
QString sqliteOdbcDriver();
