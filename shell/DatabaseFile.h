#pragma once

#include <QString>
#include <QStringList>

// Making the database file from the schema script.
namespace DatabaseFile
{

// Creates the SQLite file at dbPath by running every statement of the schema script. Never touches an existing
// file: returns true without doing anything when dbPath exists. On failure nothing is left at dbPath.
bool createFromSchema(const QString& dbPath, const QString& schemaPath, QString* error = nullptr);

// The schema script split into its statements (comments dropped; statements end with ";" at a line end,
// so trigger bodies stay whole as long as their inner statements end mid-line or the trigger ends in "END;").
QStringList statements(const QString& script);

} // namespace DatabaseFile
