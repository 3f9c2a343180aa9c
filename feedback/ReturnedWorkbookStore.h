#pragma once

#include "feedback/AnswerTables.h"
#include "feedback/SurveyWorkbookReader.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <memory>
#include <optional>

// Stores the answers of returned survey workbooks in the answer tables and marks their log rows read: the one
// reading road of the feedback window's Read In and of the window that imports many workbooks.
//
// Each answer is looked up by respondent, question and survey date and replaces the first answer stored under that
// key, or is added. A statement that fails shows its own errors and loses that answer alone; what was stored
// before it stays stored. One instance serves one reading run (one Read In, one import of many workbooks): it keeps
// its statements prepared and the question types it has looked up, since nothing else writes while it runs, and
// commits what it stored every so often and when it is destroyed.
class ReturnedWorkbookStore
{
public:
    ReturnedWorkbookStore();
    ~ReturnedWorkbookStore();
    ReturnedWorkbookStore(const ReturnedWorkbookStore&) = delete;
    ReturnedWorkbookStore& operator=(const ReturnedWorkbookStore&) = delete;

    // Reads the workbook at path and stores every answer it holds. Once the workbook has been opened and its
    // header read, the log row of logFileName is marked read ("" marks none). Shows its own messages; false, with
    // nothing stored and no log row marked, when the file is not a readable survey workbook.
    bool XLSWrite(const QString& path, const QString& logFileName);

    // A cell's text as a 16-bit whole number, halves going to the even neighbour (7.5 is 8, 6.5 is 6); the empty
    // text is 0. nullopt for text that is not a number or lies outside the 16-bit range.
    static std::optional<int> wholeNumber(const QString& text);

private:
    struct Statements;
    // What the workbook being stored holds for one answer table.
    struct Table {
        explicit Table(bool isScored) : scored(isScored) {}

        bool scored;
        // The respondent's stored answers of the workbook's date, looked up once for all its questions.
        std::optional<QHash<int, AnswerTables::Answer>> stored;
        // The workbook's answers that no stored answer has yet, in the order of their blocks.
        QList<AnswerTables::NewAnswer> added;
        QHash<int, qsizetype> addedByQuestion;
    };

    // True for a scored question, false for a descriptive one; nullopt when there is no such question (or the
    // look-up failed): its answer has no question to belong to.
    std::optional<bool> toCheckQuestionType(int questionId);
    void toSaveObjectiveFeedback(int questionId, int respondentId, const QDate& surveyDate, const QString& weightage,
                                 const QString& score, int surveyId);
    // An answer that is only the placeholder, blanks around it aside, is stored as no answer (Null).
    void toSaveDescriptiveFeedback(int questionId, int respondentId, const QDate& surveyDate, const QString& weightage,
                                   const QString& answer, int surveyId);
    // Marks the first log row of that file name read.
    void toSetLogStatus(const QString& fileName);

    Statements& statements();
    void store(const QString& path, const SurveyWorkbookReader::Content& content, const QString& logFileName);
    void save(Table& table, const AnswerTables::Key& key, int surveyId, const QVariant& weightage,
              const QVariant& answer);
    void addNewAnswers(Table& table, const SurveyWorkbookReader::Content& content);
    void commit();

    std::unique_ptr<Statements> m_statements;
    Table m_objective{true};
    Table m_descriptive{false};
    QHash<int, bool> m_scored; // question id -> scored, for the questions looked up so far
    QSet<int> m_missing;
    bool m_transaction = false;
    QElapsedTimer m_sinceCommit;
};
