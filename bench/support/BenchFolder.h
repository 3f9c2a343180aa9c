#pragma once

#include <QString>
#include <QVariantList>

#include <functional>
#include <memory>

class QSqlQuery;

// A program folder for a benchmark, as the program finds it: the resources, a database made from the schema
// (filled by `seed` before the program connects, when given) and private ODBC ini files. Then the program's
// start-up runs on it; true when the shared connection is open.
bool startProgramIn(const QString& folder, const std::function<bool(const QString& databasePath)>& seed = {});

// Fills a database file directly, before the program connects to it: every statement in one transaction, the first
// failure reported on stderr.
class SeedDatabase
{
public:
    explicit SeedDatabase(const QString& databasePath);
    ~SeedDatabase();
    SeedDatabase(const SeedDatabase&) = delete;
    SeedDatabase& operator=(const SeedDatabase&) = delete;

    void exec(const QString& sql, const QVariantList& values = {});
    // False when a statement or the commit failed.
    bool commit();

private:
    bool m_ok = false;
    std::unique_ptr<QSqlQuery> m_query;
};
