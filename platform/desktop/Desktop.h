#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

// Opening files in the desktop's own programs, and the clock. Tests switch on the seam: nothing is launched,
// every request is recorded and answered with the result set ahead of time; "today" can be fixed.
namespace Desktop
{

// Opens a file (a workbook, a presentation) in the program the desktop associates with it, through xdg-open.
// Waits (the windows keep painting, but take no input) until xdg-open has finished, or for the grace period when
// it stays with the program it started. False when no program could open the file, with the reason as a clause
// to follow "... could not be opened: " (for example "no program is set up to open it"). When xdg-open is still
// running after the grace period and fails later, lateFailure is called then with the reason, in the same form.
bool openFile(const QString& path, QString* reason = nullptr,
              std::function<void(const QString& reason)> lateFailure = {});

QDate today();

// The seam.
void setTestMode(bool on);
void setOpenResult(bool ok);
QStringList openedFiles();
void setToday(const QDate& date); // an invalid date returns to the real clock

} // namespace Desktop
