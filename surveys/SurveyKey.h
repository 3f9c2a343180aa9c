#pragma once

#include <QDate>
#include <QString>

// One survey as the windows hand it to each other: the customer's and respondent's names and the survey date.
// The date travels as a date, never as text, so that it cannot come back in another century. The respondent's
// id travels beside the name, because two respondents of one customer may share a name; 0 means that it is not
// known and the name is looked up.
struct SurveyKey {
    QString customer;
    QString respondent;
    QDate date;
    int respondentId = 0;
    bool operator==(const SurveyKey&) const = default;
};
