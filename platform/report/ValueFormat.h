#pragma once

#include <QString>
#include <QVariant>

// How a report shows one value: as text, a date, a number or a yes/no answer. Written in a report
// definition as "date", "text", "integer", "fixed 2" or "yesno Complete/Not Complete", each optionally
// followed by "blank-zero" when a 0 stands for "no value" and is to be left empty.
class ValueFormat
{
public:
    enum class Kind { Text, Date, Integer, Fixed, YesNo };

    static bool parse(const QString& text, ValueFormat* out, QString* error);

    QString apply(const QVariant& value) const;
    // The number a value stands for, for averages; false when it stands for none (empty, or a blank zero).
    bool number(const QVariant& value, double* out) const;
    bool isNumeric() const { return m_kind == Kind::Integer || m_kind == Kind::Fixed; }
    Kind kind() const { return m_kind; }
    int decimals() const { return m_decimals; }

    // Dates as the system's short date, always with a four-digit year.
    static QString formatDate(const QDate& date);
    // The system's short date form with a four-digit year.
    static QString shortDateFormat();
    // A stored date: SQLite hands dates back as "YYYY-MM-DD" text, possibly with a time part.
    static QDate toDate(const QVariant& value);

private:
    Kind m_kind = Kind::Text;
    int m_decimals = 0;
    QString m_yes;
    QString m_no;
    bool m_blankZero = false;
};
