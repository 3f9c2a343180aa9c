#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// Reads a returned survey workbook: the ids in the hidden column I and the answer blocks from row 14 down.
// The workbook file is never changed. Values are handed over as the cells give them, as text; turning them
// into stored answers is the caller's business.
class SurveyWorkbookReader
{
public:
    // The placeholder of a written answer; left unchanged it means that no answer was given.
    static constexpr const char* kAnswerPrompt = "Type your Answer here";
    static constexpr int kFirstQuestionRow = 14;

    // One question's block. Blocks are found by the layout alone: column I holds the question's id on a block's
    // first row and is empty on every other row, so the reader needs no question's type to step from block to block.
    struct Answer {
        int row = 0;
        // nullopt when column I holds something other than a whole number.
        std::optional<int> questionId;
        QString weightage; // D of the block's first row
        QString score;     // C of the block's first row (scored questions)
        QString answer;    // B of the row below (descriptive questions)
        // False when the answer cell still holds the placeholder (blanks around it aside).
        bool hasAnswer() const;
    };

    struct Content {
        int respondentId = 0;
        QDate surveyDate;
        int questionCount = 0;
        int surveyId = 0;
        QList<Answer> answers;
    };

    // False, with a reason fit to show, when the file is not a readable survey workbook.
    static bool read(const QString& path, Content* content, QString* error);

    // The placeholder, with nothing but blanks around it: the respondent gave no written answer.
    static bool isAnswerPrompt(const QString& text);
    // A cell holding an id: a whole number within the range of the tables' long integers, as a number or as digits.
    // Anything else has no id.
    static std::optional<int> wholeNumber(const QVariant& cell);

    // The template is never a survey workbook, whatever the letter case of its name.
    static bool isTemplate(const QString& fileNameOrPath);
};
