#pragma once

#include <QDate>
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

// Updates the row `id`, or adds a row for the key when id is 0. A null value stores Null.
void write(bool scored, qlonglong id, const Key& key, int surveyId, const QVariant& weightage,
           const QVariant& scoreOrDescription);

} // namespace AnswerTables
