#include "platform/workbook/DateSerial.h"

#include <cmath>

namespace DateSerial
{
namespace
{

constexpr double LastSerial1900 = 2958465; // 9999-12-31

const QDate base1900(1899, 12, 30);
const QDate base1904(1904, 1, 1);

} // namespace

QDate toDate(double serial, bool date1904)
{
    if (!std::isfinite(serial))
        return QDate();
    auto day = static_cast<qint64>(std::floor(serial));
    if (date1904) {
        if (day < 0 || day > LastSerial1900 - 1462)
            return QDate();
        return base1904.addDays(day);
    }
    if (day < 1 || day > LastSerial1900)
        return QDate();
    // Day 60 is 1900-02-29, which never was; the days before it sit one further from the base.
    if (day < 60)
        ++day;
    return base1900.addDays(day);
}

double fromDate(const QDate& date, bool date1904)
{
    if (!date.isValid())
        return -1;
    if (date1904) {
        const qint64 d = base1904.daysTo(date);
        return d < 0 ? -1 : double(d);
    }
    qint64 d = base1900.daysTo(date);
    if (d < 61)
        --d;
    return d < 1 ? -1 : double(d);
}

} // namespace DateSerial
