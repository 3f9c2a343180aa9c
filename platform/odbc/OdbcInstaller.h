#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Registration of ODBC data sources through unixODBC's installer library.
namespace OdbcInstaller
{

enum class Scope { System, User };

using Attributes = QList<QPair<QString, QString>>;

// Full path of the odbc.ini file of the given scope (honours ODBCSYSINI and ODBCINI).
QString iniFile(Scope scope);

// Adds the data source, or replaces its entry when it reads otherwise; an entry that already reads so is left as it
// is. The ini file is replaced whole, so a program reading it meanwhile sees the old file or the new one. Registers
// the data source for the whole system when the system ini file can be written, else for the user. Returns false
// with the reason on failure.
bool configDataSource(const QString& dsn, const QString& driver, const Attributes& attributes, QString* error = nullptr,
                      Scope* usedScope = nullptr);

// Reads one attribute of a registered data source ("" when absent).
QString attribute(const QString& dsn, const QString& key, Scope scope);

} // namespace OdbcInstaller
