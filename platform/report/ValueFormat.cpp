#include "platform/report/ValueFormat.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>
#include <cmath>

namespace
{

bool isEmpty(const QVariant& value)
{
    return value.isNull() || value.toString().trimmed().isEmpty();
}

} // namespace

bool ValueFormat::parse(const QString& text, ValueFormat* out, QString* error)
{
    ValueFormat f;
    QString rest = text.trimmed();
    static const QRegularExpression blankZero(QStringLiteral("\\s*\\bblank-zero$"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (rest.contains(blankZero)) {
        f.m_blankZero = true;
        rest.remove(blankZero);
    }
    const QString kind = rest.section(QLatin1Char(' '), 0, 0).toLower();
    const QString argument = rest.section(QLatin1Char(' '), 1).trimmed();
    if (kind.isEmpty() || kind == QLatin1String("text")) {
        f.m_kind = Kind::Text;
    } else if (kind == QLatin1String("date")) {
        f.m_kind = Kind::Date;
    } else if (kind == QLatin1String("integer")) {
        f.m_kind = Kind::Integer;
    } else if (kind == QLatin1String("fixed")) {
        bool ok = false;
        f.m_kind = Kind::Fixed;
        f.m_decimals = argument.toInt(&ok);
        if (!ok || f.m_decimals < 0 || f.m_decimals > 6) {
            *error = QStringLiteral("\"fixed\" needs a number of decimals from 0 to 6, not \"%1\"").arg(argument);
            return false;
        }
    } else if (kind == QLatin1String("yesno")) {
        f.m_kind = Kind::YesNo;
        const int slash = argument.indexOf(QLatin1Char('/'));
        if (slash < 0) {
            *error = QStringLiteral("\"yesno\" needs its two texts as Yes/No, not \"%1\"").arg(argument);
            return false;
        }
        f.m_yes = argument.left(slash).trimmed();
        f.m_no = argument.mid(slash + 1).trimmed();
    } else {
        *error = QStringLiteral("unknown format \"%1\"").arg(text.trimmed());
        return false;
    }
    *out = f;
    return true;
}

bool ValueFormat::number(const QVariant& value, double* out) const
{
    if (isEmpty(value))
        return false;
    bool ok = false;
    const double d = value.toString().trimmed().toDouble(&ok);
    if (!ok || (m_blankZero && d == 0))
        return false;
    *out = d;
    return true;
}

QString ValueFormat::apply(const QVariant& value) const
{
    switch (m_kind) {
    case Kind::Text:
        return value.isNull() ? QString() : value.toString();
    case Kind::Date: {
        const QDate d = toDate(value);
        return d.isValid() ? formatDate(d) : (value.isNull() ? QString() : value.toString());
    }
    case Kind::Integer:
    case Kind::Fixed: {
        double d = 0;
        if (!number(value, &d))
            return (isEmpty(value) || m_blankZero) ? QString() : value.toString();
        if (m_kind == Kind::Integer)
            return QLocale().toString(static_cast<qlonglong>(std::llround(d)));
        return QLocale().toString(d, 'f', m_decimals);
    }
    case Kind::YesNo: {
        if (isEmpty(value))
            return QString();
        const QString t = value.toString().trimmed().toLower();
        // Access stores True as -1; SQLite as 1.
        const bool no = t == QLatin1String("0") || t == QLatin1String("false") || t == QLatin1String("no");
        return no ? m_no : m_yes;
    }
    }
    return QString();
}

QString ValueFormat::shortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return format;
}

QString ValueFormat::formatDate(const QDate& date)
{
    return QLocale().toString(date, shortDateFormat());
}

QDate ValueFormat::toDate(const QVariant& value)
{
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate();
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime().date();
    return QDate::fromString(value.toString().left(10), Qt::ISODate);
}
