#pragma once

#include <QDate>
#include <QString>

// One survey as the windows hand it to each other: the customer's and respondent's names and the survey date.
// The date travels as a date, never as text, so that it cannot come back in another century.
struct SurveyKey {
    QString customer;
    QString respondent;
    QDate date;
};
