#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <chrono>
#include <optional>

// Registration of ODBC data sources through unixODBC's installer library.
namespace OdbcInstaller
{

enum class Scope { System, User };

using Attributes = QList<QPair<QString, QString>>;

// Full path of the odbc.ini file of the given scope (honours ODBCSYSINI and ODBCINI), as unixODBC reads it.
QString iniFile(Scope scope);

// The file whose entry unixODBC takes for the data source: the user's when it holds one, else the system's; none
// when neither does.
std::optional<Scope> entryScope(const QString& dsn);

// Where a registration of the data source goes: the user's ini file when its entry is the one unixODBC takes, else
// the system's when it can be written and unixODBC reads it, else the user's.
Scope registrationScope(const QString& dsn);

// Whether unixODBC reads the scope's ini file at all: it ignores a whole file in which anything but blank lines and
// comments comes before the first section.
bool unixOdbcReads(Scope scope);

// The lock of a scope's ini file, which every registration takes while it reads, compares and replaces the file.
// Held across a registration and what relies on it (opening the data source), no other program registers meanwhile;
// a registration by the thread that holds it does not wait for itself. A lock that another program keeps is waited
// for no longer than the wait given, so that a start is never held up by it for long.
class Lock
{
public:
    static constexpr std::chrono::milliseconds patience{3000};

    explicit Lock(Scope scope, std::chrono::milliseconds wait = patience);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    // Why the lock could not be taken ("" when it was, or when this thread already holds it); the registration then
    // goes on without it.
    const QString& error() const { return m_error; }
    const QString& path() const { return m_path; } // the ini file it locks

private:
    QString m_path;
    QString m_error;
    int m_fd = -1;
    bool m_owner = false;
};

// Adds the data source, or sets the keys given (and the driver) in its entry where they read otherwise; an entry
// that already reads so is left as it is. Only those key lines change, or are added after the entry's last key:
// every other byte of the file, the entry's other keys included, stays as it was. The ini file is replaced whole,
// so a program reading it meanwhile sees the old file or the new one. Sections and keys are found as unixODBC finds
// them, and key lines are written as it reads them. Registers in registrationScope(). Returns false
// with the reason on failure.
bool configDataSource(const QString& dsn, const QString& driver, const Attributes& attributes, QString* error = nullptr,
                      Scope* usedScope = nullptr);

// Reads one attribute of a registered data source ("" when absent); with no scope, as a connection reads it.
QString attribute(const QString& dsn, const QString& key, std::optional<Scope> scope);

} // namespace OdbcInstaller
