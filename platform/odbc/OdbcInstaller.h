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

// Where a registration goes: the system's ini file when it can be written, else the user's.
Scope registrationScope();

// The lock of a scope's ini file, which every registration takes while it reads, compares and replaces the file.
// Held across a registration and what relies on it (opening the data source), no other program registers meanwhile;
// a registration by the thread that holds it does not wait for itself.
class Lock
{
public:
    explicit Lock(Scope scope);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    QString m_path;
    int m_fd = -1;
    bool m_owner = false;
};

// Adds the data source, or sets the keys given (and the driver) in its entry where they read otherwise; an entry
// that already reads so is left as it is. Only those key lines change, or are added after the entry's last key:
// every other byte of the file, the entry's other keys included, stays as it was. The ini file is replaced whole,
// so a program reading it meanwhile sees the old file or the new one. Registers in registrationScope(). Returns false
// with the reason on failure.
bool configDataSource(const QString& dsn, const QString& driver, const Attributes& attributes, QString* error = nullptr,
                      Scope* usedScope = nullptr);

// Reads one attribute of a registered data source ("" when absent).
QString attribute(const QString& dsn, const QString& key, Scope scope);

} // namespace OdbcInstaller
