#pragma once

#include <QString>

#include <functional>

// A program folder for a benchmark, as the program finds it: the resources, a database made from the schema
// (filled by `seed` before the program connects, when given) and private ODBC ini files. Then the program's
// start-up runs on it; true when the shared connection is open.
bool startProgramIn(const QString& folder, const std::function<bool(const QString& databasePath)>& seed = {});
