#pragma once

// Answers of one customer for the analysis benchmarks, written straight into the database file before the program
// connects: parameters with one scored question each, respondents answering every question on every date.
#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <QElapsedTimer>
#include <QList>

#include <algorithm>
#include <cstdio>
#include <functional>

struct AnswerSeed {
    int parameters = 20;
    int dates = 50;
    int respondents = 100;

    QDate date(int d) const { return QDate(2031, 1, 1).addDays(7 * d); }
    static QString parameterName(int p) { return QStringLiteral("Parameter %1").arg(p, 2, 10, QLatin1Char('0')); }

    bool fill(const QString& path) const
    {
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
            db.setDatabaseName(path);
            ok = db.open() && db.transaction();
            QSqlQuery q(db);
            const auto exec = [&](const QString& sql, const QVariantList& values = {}) {
                q.prepare(sql);
                for (const QVariant& v : values)
                    q.addBindValue(v);
                if (!q.exec()) {
                    std::fprintf(stderr, "%s\n", qPrintable(sql));
                    ok = false;
                }
            };
            exec(QStringLiteral("insert into customer (custname) values ('Northwind Traders')"));
            for (int r = 1; r <= respondents; ++r)
                exec(QStringLiteral("insert into respondent (custid, respondentname) values (1, ?)"),
                     {QStringLiteral("Respondent %1").arg(r)});
            for (int p = 1; p <= parameters; ++p) {
                exec(QStringLiteral("insert into parameter (parametername) values (?)"), {parameterName(p)});
                exec(QStringLiteral("insert into questions (question, Type, paramid) values ('How well?', 1, ?)"), {p});
            }
            for (int d = 0; d < dates; ++d) {
                exec(QStringLiteral("insert into survey (sdate, custid) values (?, 1)"),
                     {date(d).toString(Qt::ISODate)});
                for (int r = 1; r <= respondents; ++r) {
                    for (int p = 1; p <= parameters; ++p) {
                        exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, "
                                            "\"Order\") values (?, ?, ?, ?)"),
                             {r, p, d + 1, p});
                        exec(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, "
                                            "surveydate, weightage, score) values (?, ?, ?, ?, ?, ?)"),
                             {r, p, d + 1, date(d).toString(Qt::ISODate), (r * 7 + p + d) % 11,
                              (r * 3 + p * 5 + d) % 11});
                    }
                }
            }
            ok = ok && db.commit();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("seed"));
        return ok;
    }
};

// Runs the step seven times, printing each time; returns the median in milliseconds.
inline qint64 medianOfRuns(const char* label, const std::function<void()>& step)
{
    QList<qint64> runs;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        runs << timer.elapsed();
        std::printf("%s %d: %lld ms\n", label, i + 1, static_cast<long long>(runs.last()));
    }
    std::sort(runs.begin(), runs.end());
    return runs[3];
}
