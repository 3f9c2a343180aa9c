#pragma once

#include "shell/Db.h"
#include "shell/Transaction.h"

#include <QDate>
#include <QString>

// Acme with two respondents who each have a survey of `questions` questions on `date` under ten parameters,
// every fourth question descriptive; Ann's answers are stored, Bob's are not.
inline void seedFeedback(int questions, const QDate& date, const QString& description)
{
    Transaction t;
    Db::exec(QStringLiteral("insert into customer (custname) values ('Acme Engineering Works'), ('Harbour Foods')"));
    Db::exec(QStringLiteral("insert into respondent (custid, respondentname) values (1, 'Ann Carter'), "
                            "(1, 'Bob Lee'), (2, 'Chris Moore')"));
    for (int p = 1; p <= 10; ++p)
        Db::exec(QStringLiteral("insert into parameter (parametername) values (?)"),
                 {QStringLiteral("Parameter %1").arg(p)});
    Db::exec(QStringLiteral("insert into survey (sdate, custid) values (?, 1)"), {date});
    for (int q = 1; q <= questions; ++q) {
        const bool scored = q % 4 != 0;
        Db::exec(QStringLiteral("insert into questions (question, Type, paramid) values (?, ?, ?)"),
                 {QStringLiteral("How satisfied are you with aspect %1 of our service to your company?").arg(q),
                  scored ? 1 : 0, (q - 1) % 10 + 1});
        for (int respondent = 1; respondent <= 2; ++respondent)
            Db::exec(QStringLiteral("insert into responquesindex (respondentid, questionid, surveyid, \"Order\") "
                                    "values (?, ?, 1, ?)"),
                     {respondent, q, q});
        if (scored)
            Db::exec(QStringLiteral("insert into feedbackobjective (respondentid, questionid, surveyid, surveydate, "
                                    "weightage, score) values (1, ?, 1, ?, ?, ?)"),
                     {q, date, q % 10 + 1, (q * 7) % 11});
        else
            Db::exec(QStringLiteral("insert into feedbackdescriptive (respondentid, questionid, surveyid, "
                                    "surveydate, weightage, Description) values (1, ?, 1, ?, ?, ?)"),
                     {q, date, q % 10 + 1, description});
    }
    t.commit();
}
