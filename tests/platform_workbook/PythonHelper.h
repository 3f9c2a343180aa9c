#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// openpyxl and Python's zipfile as the independent second reader and writer of workbooks.
namespace PythonHelper
{

// Runs the script with /usr/bin/python3 and returns its standard output; a failing script fails the test.
QByteArray run(const QString& script, const QStringList& arguments = {});
QJsonObject json(const QString& script, const QStringList& arguments = {});

// Writes a zip file holding the given parts as they are, for packages crafted as other programs write them.
void writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& parts);

// The bytes of one part of a zip file ("" when absent).
QByteArray zipPart(const QString& path, const QString& part);

} // namespace PythonHelper
