#include "platform/report/ReportDefinition.h"

#include "platform/files/WholeFile.h"

namespace
{

QStringList splitList(const QString& text, QChar separator)
{
    QStringList parts;
    for (const QString& part : text.split(separator))
        parts << part.trimmed();
    return parts;
}

bool parseColumn(const QString& value, ReportDefinition::Column* column, QString* error)
{
    const QStringList parts = splitList(value, QLatin1Char('|'));
    if (parts.size() < 2 || parts.size() > 4) {
        *error = QStringLiteral("a column is written field | heading | width | format");
        return false;
    }
    column->field = parts[0];
    column->heading = parts[1];
    if (parts.size() > 2 && !parts[2].isEmpty()) {
        bool ok = false;
        column->width = parts[2].toDouble(&ok);
        if (!ok || column->width <= 0) {
            *error = QStringLiteral("the width \"%1\" is not a positive number").arg(parts[2]);
            return false;
        }
    }
    return ValueFormat::parse(parts.size() > 3 ? parts[3] : QString(), &column->format, error);
}

bool parseLine(const QString& key, const QString& value, ReportDefinition* d, QString* error)
{
    if (key == QLatin1String("title")) {
        d->title = value;
    } else if (key == QLatin1String("heading")) {
        d->heading = value;
    } else if (key == QLatin1String("table")) {
        d->table = value;
    } else if (key == QLatin1String("orientation")) {
        if (value.compare(QLatin1String("landscape"), Qt::CaseInsensitive) != 0 &&
            value.compare(QLatin1String("portrait"), Qt::CaseInsensitive) != 0) {
            *error = QStringLiteral("orientation is portrait or landscape");
            return false;
        }
        d->landscape = value.compare(QLatin1String("landscape"), Qt::CaseInsensitive) == 0;
    } else if (key == QLatin1String("picture")) {
        d->picture = value;
    } else if (key == QLatin1String("group")) {
        const int bar = value.indexOf(QLatin1Char('|'));
        ReportDefinition::Group g;
        g.fields = splitList(bar < 0 ? value : value.left(bar), QLatin1Char(','));
        g.heading = bar < 0 ? QString() : value.mid(bar + 1).trimmed();
        if (g.heading.isEmpty()) {
            for (const QString& f : g.fields)
                g.heading +=
                    (g.heading.isEmpty() ? QString() : QStringLiteral("  ")) + QLatin1Char('{') + f + QLatin1Char('}');
        }
        d->groups << g;
    } else if (key == QLatin1String("order")) {
        for (const QString& part : splitList(value, QLatin1Char(','))) {
            ReportDefinition::SortKey k;
            const QStringList words = part.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.isEmpty() || words.size() > 2 ||
                (words.size() == 2 && words[1].compare(QLatin1String("asc"), Qt::CaseInsensitive) != 0 &&
                 words[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) != 0)) {
                *error = QStringLiteral("\"%1\" is not a field followed by asc or desc").arg(part);
                return false;
            }
            k.field = words[0];
            k.descending = words.size() == 2 && words[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
            d->order << k;
        }
    } else if (key == QLatin1String("column")) {
        ReportDefinition::Column c;
        if (!parseColumn(value, &c, error))
            return false;
        d->columns << c;
    } else if (key == QLatin1String("average")) {
        d->averages << splitList(value, QLatin1Char(','));
    } else if (key == QLatin1String("count")) {
        d->countLabel = value;
    } else if (key == QLatin1String("empty")) {
        d->emptyText = value;
    } else {
        *error = QStringLiteral("unknown key \"%1\"").arg(key);
        return false;
    }
    return true;
}

bool check(const ReportDefinition& d, QString* error)
{
    if (d.table.isEmpty() || !ReportDefinition::isName(d.table)) {
        *error = QStringLiteral("it names no table to read (\"table = ...\")");
        return false;
    }
    if (d.columns.isEmpty()) {
        *error = QStringLiteral("it has no columns (\"column = ...\")");
        return false;
    }
    for (const QString& f : d.fields()) {
        if (!ReportDefinition::isName(f)) {
            *error = QStringLiteral("\"%1\" is not a field name").arg(f);
            return false;
        }
    }
    for (const QString& f : d.averages) {
        const ReportDefinition::Column* c = d.column(f);
        if (!c || !c->format.isNumeric()) {
            *error = QStringLiteral("the average of \"%1\" needs a column of that field with a number format").arg(f);
            return false;
        }
    }
    return true;
}

} // namespace

bool ReportDefinition::isName(const QString& name)
{
    if (name.isEmpty())
        return false;
    for (QChar c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

bool ReportDefinition::load(const QString& path, ReportDefinition* out, QString* error)
{
    QByteArray bytes;
    QString reason;
    if (!WholeFile::read(path, &bytes, &reason)) {
        *error = QStringLiteral("The report file \"%1\" cannot be opened: %2").arg(path, reason);
        return false;
    }
    if (!parse(QString::fromUtf8(bytes), out, &reason)) {
        *error = QStringLiteral("The report file \"%1\" cannot be used: %2").arg(path, reason);
        return false;
    }
    return true;
}

bool ReportDefinition::parse(const QString& text, ReportDefinition* out, QString* error)
{
    ReportDefinition d;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        QString reason;
        if (eq < 0)
            reason = QStringLiteral("it is not written key = value");
        else if (parseLine(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed(), &d, &reason))
            continue;
        *error = QStringLiteral("line %1: %2").arg(i + 1).arg(reason);
        return false;
    }
    if (!check(d, error))
        return false;
    *out = d;
    return true;
}

QStringList ReportDefinition::fields() const
{
    QStringList all;
    auto add = [&all](const QString& f) {
        if (!all.contains(f, Qt::CaseInsensitive))
            all << f;
    };
    for (const Group& g : groups) {
        for (const QString& f : g.fields)
            add(f);
    }
    for (const Column& c : columns)
        add(c.field);
    for (const SortKey& k : order)
        add(k.field);
    return all;
}

const ReportDefinition::Column* ReportDefinition::column(const QString& field) const
{
    for (const Column& c : columns) {
        if (c.field.compare(field, Qt::CaseInsensitive) == 0)
            return &c;
    }
    return nullptr;
}
