#pragma once

#include <QString>
#include <QStringList>

// Making the database file from the schema script, and start-up's look at an existing one.
namespace DatabaseFile
{

// Creates the SQLite file at dbPath by running every statement of the schema script. Never touches an existing
// file: returns true without doing anything when dbPath exists. On failure nothing is left at dbPath.
bool createFromSchema(const QString& dbPath, const QString& schemaPath, QString* error = nullptr);

// The schema script split into its statements (comments dropped; statements end with ";" at a line end,
// so trigger bodies stay whole as long as their inner statements end mid-line or the trigger ends in "END;").
QStringList statements(const QString& script);

// The tables every statement of the program relies on.
QStringList programTables();

// Why the database file at dbPath cannot be used, or "" when it can: a quick integrity check and the program's
// tables, read through SQLite alone (any other open and close of the file would drop its connections' locks).
// A file that another program keeps locked beyond a long wait gets no verdict ("").
QString unusableReason(const QString& dbPath);

} // namespace DatabaseFile
