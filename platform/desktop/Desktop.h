#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// Opening files in the desktop's own programs, and the clock. Tests switch on the seam: nothing is launched,
// every request is recorded and answered with the result set ahead of time; "today" can be fixed.
namespace Desktop
{

// Opens a file (a workbook, a presentation) in the program the desktop associates with it.
// False when no program could be started for it.
bool openFile(const QString& path);

QDate today();

// The seam.
void setTestMode(bool on);
void setOpenResult(bool ok);
QStringList openedFiles();
void setToday(const QDate& date); // an invalid date returns to the real clock

} // namespace Desktop
