#pragma once

#include <QDate>

// Spreadsheet date serial numbers in the 1900 system (day 1 = 1900-01-01, with the fictitious
// 1900-02-29 as day 60) and the 1904 system (day 0 = 1904-01-01).
namespace DateSerial
{

// The date of a serial number, the time of day dropped; invalid when the number is no date.
QDate toDate(double serial, bool date1904);

// The serial number of a date; -1 for a date before the system's first day.
double fromDate(const QDate& date, bool date1904);

} // namespace DateSerial
