#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QVariant>

#include <optional>

// The two answer tables: scored answers in feedbackobjective, written ones in feedbackdescriptive, one row per
// respondent, question and survey date. Every function throws ProviderError.
namespace AnswerTables
{

struct Key {
    int respondentId = 0;
    int questionId = 0;
    QDate surveyDate;
};

struct Answer {
    qlonglong id = 0;
    QVariant weightage;
    QVariant scoreOrDescription; // score of a scored answer, Description of a written one
};

// The first row stored for the key, in the order the rows were added.
std::optional<Answer> find(bool scored, const Key& key);

// What find gives for each question of the respondent's answers of that date, in one look-up.
QHash<int, Answer> findAll(bool scored, int respondentId, const QDate& surveyDate);

// The respondent of the row `id`; invalid when there is no such row.
QVariant respondentOf(bool scored, qlonglong id);

// Updates the row `id`, or adds a row for the key when id is 0. A null value stores Null.
void write(bool scored, qlonglong id, const Key& key, int surveyId, const QVariant& weightage,
           const QVariant& scoreOrDescription);

struct NewAnswer {
    int questionId = 0;
    QVariant weightage;
    QVariant scoreOrDescription;
};

// Adds rows for one respondent, date and survey in list order, in one statement: all of them, or none when it is
// refused.
void addAll(bool scored, int respondentId, const QDate& surveyDate, int surveyId, const QList<NewAnswer>& answers);

} // namespace AnswerTables
