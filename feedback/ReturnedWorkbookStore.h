#pragma once

#include "feedback/AnswerTables.h"
#include "feedback/SurveyWorkbookReader.h"
#include "platform/desktop/ToolRun.h"
#include "shell/ProviderError.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// Stores the answers of returned survey workbooks in the answer tables and marks their log rows read: the one
// reading road of the feedback window's Read In and of the window that imports many workbooks.
//
// Each answer is looked up by respondent, question and survey date and replaces the first answer stored under that
// key, or is added. A statement that is refused loses that answer alone; what was stored before it stays stored.
// A workbook's log row is marked read, with its answers, only when every answer that has a question was stored,
// so that reading it again completes it. One instance serves one reading run (one Read In, one import of many
// workbooks): it keeps its statements prepared and the question types it has looked up, and commits what it
// stored every so often, before every message and at its end.
//
// Under another program's lock the run waits (the connection's policy says how long); a workbook still locked out
// beyond that is reported and not stored, and the run goes on. When the database cannot be written at all, the run
// stops: nothing after that workbook is read, and finish() names what was not stored in one message.
//
// A workbook in which not one weightage, score or written answer is given changes no stored answer: finish() names
// it as holding no answers yet. A hand-over tool's late failure waits until the run is over.
class ReturnedWorkbookStore
{
public:
    ReturnedWorkbookStore();
    ~ReturnedWorkbookStore();
    ReturnedWorkbookStore(const ReturnedWorkbookStore&) = delete;
    ReturnedWorkbookStore& operator=(const ReturnedWorkbookStore&) = delete;

    // Reads the workbook at path and stores every answer it holds; the log row of logFileName ("" marks none) is
    // marked read when all of them are stored. Shows its own messages once what it stored is committed; false,
    // with nothing of the workbook stored and no log row marked, when the file is not a readable survey workbook,
    // another program's lock outlasted the wait, or the run has stopped.
    bool XLSWrite(const QString& path, const QString& logFileName);

    // True once the database could not be written: the run reads nothing more.
    bool stopped() const { return m_stopped; }
    // Ends the run: commits what is stored, names the workbooks that held no answers and, when the run stopped,
    // shows the one message naming the workbooks not stored, with notRead, the workbooks the run did not come to.
    void finish(const QStringList& notRead = {});

    // A cell's text as a 16-bit whole number, halves going to the even neighbour (7.5 is 8, 6.5 is 6); the empty
    // text is 0. nullopt for text that is not a number or lies outside the 16-bit range.
    static std::optional<int> wholeNumber(const QString& text);

private:
    struct Statements;
    // What the workbook being stored holds for one answer table.
    struct Table {
        explicit Table(bool isScored) : scored(isScored) {}
        // Forgets the workbook, once it is stored or given up.
        void clear()
        {
            stored.reset();
            added.clear();
            addedByQuestion.clear();
        }

        bool scored;
        // The respondent's stored answers of the workbook's date, looked up once for all its questions.
        std::optional<QHash<int, AnswerTables::Answer>> stored;
        // The workbook's answers that no stored answer has yet, in the order of their blocks.
        QList<AnswerTables::NewAnswer> added;
        QHash<int, qsizetype> addedByQuestion;
    };

    // Not one weightage, score or written answer is given: every cell is blank or the placeholder.
    static bool holdsNoAnswers(const SurveyWorkbookReader::Content& content);
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
    // Stores one workbook under a savepoint of the run's transaction; throws what the run cannot go on after.
    void store(const QString& path, const SurveyWorkbookReader::Content& content, const QString& logFileName);
    // A refused statement: its errors are shown once the run has committed; busy or unwritable rethrows.
    void refused(const ProviderError& error);
    // The workbook at path could not be stored for this reason.
    void failed(const QString& path, const ProviderError& error);
    // The database cannot be written: the run stops at path; lost names what the failure took with it.
    void stop(const QString& path, const ProviderError& error, const QStringList& lost);
    // The run stops at the workbook named, for the error's reason.
    void markStopped(const QString& at, const ProviderError& error);
    void save(Table& table, const AnswerTables::Key& key, int surveyId, const QVariant& weightage,
              const QVariant& answer);
    void addNewAnswers(Table& table, const SurveyWorkbookReader::Content& content);
    // Commits the run's transaction; false when it failed (and said so, or stopped the run).
    bool commit();

    // Released last, once the run's messages are told.
    ToolRun::LateFailureHold m_lateFailuresWait;
    std::unique_ptr<Statements> m_statements;
    Table m_objective{true};
    Table m_descriptive{false};
    QHash<int, bool> m_scored; // question id -> scored, for the questions looked up so far
    QSet<int> m_missing;
    QElapsedTimer m_sinceCommit;
    // The workbooks stored since the last commit: a failing commit loses them all.
    QStringList m_uncommitted;
    // What the workbook being stored leaves to say once it is committed.
    QList<ProviderError> m_errors;
    QStringList m_notices;
    int m_unstored = 0;   // answers whose statement was refused
    int m_noQuestion = 0; // answers whose question is no longer in questions
    bool m_stopped = false;
    bool m_finished = false;
    QString m_stoppedAt;
    QString m_stopReason;
    QStringList m_lost;      // workbooks the run read but did not store because of the stop
    QStringList m_noAnswers; // workbooks that held no answers
};
