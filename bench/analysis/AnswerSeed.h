#pragma once

#include "BenchFolder.h"

#include <QDate>
#include <QString>

// Answers of one customer for the analysis benchmarks, written straight into the database file before the program
// connects: parameters with one scored question each, respondents answering every question on every date.
struct AnswerSeed {
    int parameters = 20;
    int dates = 50;
    int respondents = 100;

    QDate date(int d) const { return QDate(2031, 1, 1).addDays(7 * d); }
    static QString parameterName(int p) { return QStringLiteral("Parameter %1").arg(p, 2, 10, QLatin1Char('0')); }

    bool fill(const QString& path) const
    {
        SeedDatabase db(path);
        db.exec(QStringLiteral("insert into customer (custname) values ('Northwind Traders')"));
        for (int r = 1; r <= respondents; ++r)
            db.exec(QStringLiteral("insert into respondent (custid, respondentname) values (1, ?)"),
                    {QStringLiteral("Respondent %1").arg(r)});
        for (int p = 1; p <= parameters; ++p) {
            db.exec(QStringLiteral("insert into parameter (parametername) values (?)"), {parameterName(p)});
            db.exec(QStringLiteral("insert into questions (question, Type, paramid) values ('How well?', 1, ?)"), {p});
        }
        for (int d = 0; d < dates; ++d) {
            db.exec(QStringLiteral("insert into survey (sdate, custid) values (?, 1)"),
                    {date(d).toString(Qt::ISODate)});
            for (int r = 1; r <= respondents; ++r) {
                for (int p = 1; p <= parameters; ++p) {
                    db.exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, "
                                           "\"Order\") values (?, ?, ?, ?)"),
                            {r, p, d + 1, p});
                    db.exec(
                        QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, "
                                       "surveydate, weightage, score) values (?, ?, ?, ?, ?, ?)"),
                        {r, p, d + 1, date(d).toString(Qt::ISODate), (r * 7 + p + d) % 11, (r * 3 + p * 5 + d) % 11});
                }
            }
        }
        return db.commit();
    }
};
