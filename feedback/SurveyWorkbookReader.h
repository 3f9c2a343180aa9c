#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <functional>

// Reads a returned survey workbook: the ids in the hidden column I and the answer blocks from row 14 down.
// The workbook file is never changed. Values are handed over as the cells give them, as text; turning them
// into stored answers is the caller's business.
class SurveyWorkbookReader
{
public:
    // The placeholder of a written answer; left unchanged it means that no answer was given.
    static constexpr const char* kAnswerPrompt = "Type your Answer here";
    static constexpr int kFirstQuestionRow = 14;

    struct Answer {
        int row = 0;
        QString questionId;
        bool scored = false;
        QString weightage;
        QString score;  // scored questions only
        QString answer; // descriptive questions only: the text of the cell below the question
        // False when the answer cell still holds the placeholder (blanks around it aside).
        bool hasAnswer() const;
    };

    struct Content {
        QString respondentId;
        QDate surveyDate;
        int questionCount = 0;
        QString surveyId;
        QList<Answer> answers;
    };

    // Tells scored questions (true) from descriptive ones by the question id found in column I.
    using QuestionType = std::function<bool(const QString& questionId)>;

    // False, with a reason fit to show, when the file is not a readable survey workbook.
    static bool read(const QString& path, const QuestionType& isScored, Content* content, QString* error);

    // The template is never a survey workbook, whatever the letter case of its name.
    static bool isTemplate(const QString& fileNameOrPath);
};
