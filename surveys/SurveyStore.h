#pragma once

#include "shell/ProviderError.h"
#include "surveys/SurveyKey.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The statements behind the survey windows, kept in one place so that the chooser, the two survey windows and
// the copy window store a survey the same way. Every function throws ProviderError; the windows catch it at the
// end of their procedure and own the transaction.
class SurveyStore
{
public:
    struct Question {
        QString parameter;
        QString question;
        bool operator==(const Question&) const = default;
    };

    // A respondent as the lists show it: two respondents of one customer may share a name, never an id.
    struct Respondent {
        QString name;
        int id = 0;
    };

    // Names and look-ups; 0 or an invalid date stand for "none".
    static QStringList customers();
    static QStringList customersWithSurveys();
    static QList<Respondent> respondentsOf(const QString& customer);
    // The first respondent of that name.
    static int respondentId(int custid, const QString& respondent);
    // The survey's respondent: by its id while that is still one of the customer's respondents under the
    // survey's name, by the name alone when the survey carries no id.
    static int respondentId(int custid, const SurveyKey& survey);
    static int surveyId(const QDate& date, int custid);
    static QList<QDate> surveyDates(int custid, int respid);
    static bool surveyExists(const QDate& date, int custid, int respid);

    // The catalogue for the tree: each parameter name once, with its questions (each once) and their kind.
    struct CatalogueQuestion {
        QString question;
        bool scored = false;
    };
    struct CatalogueParameter {
        QString name;
        QList<CatalogueQuestion> questions;
    };
    static QList<CatalogueParameter> catalogue();

    // One respondent's survey, in its stored order.
    static QList<Question> surveyQuestions(int respid, int surveyid);
    // The survey named by customer, respondent and date: Missing when no such survey or respondent exists,
    // NoRespondent when no respondent is named (what a window shows then stays as it is).
    enum class Lookup { Found, Missing, NoRespondent };
    static Lookup findSurveyQuestions(const SurveyKey& survey, QList<Question>* questions);

    // Creates the survey row of customer and date when it is missing; returns its id (0 for no customer).
    static int ensureSurvey(const QDate& date, int custid);
    // Rewrites the respondent's question rows with positions 1..n in list order. A row that no longer names a
    // catalogue question is left out rather than stored with an unknown id.
    static void storeQuestions(int respid, int surveyid, const QList<Question>& questions);
    // Swaps the position of the question with its neighbour step (-1 above, +1 below) in this respondent's
    // survey. Returns the question's new position, or 0 when there was nothing to swap with.
    static int moveQuestion(int respid, int surveyid, const Question& question, int step);
    // Appends to the target every source question it lacks, after its last position. Returns how many.
    static int appendMissing(int sourceRespid, int sourceSurveyid, int targetRespid, int targetSurveyid);

    // Deletes one respondent's survey of a date: question rows, answers, report rows and log row, and the survey
    // row once no respondent has questions in it. The workbook file stays.
    static void deleteRespondentSurvey(int custid, int respid, const QDate& date);

    // A survey whose customer, respondent or date no longer resolves (renamed or deleted meanwhile), as an error
    // record of its own, so that it is reported as the connection's errors are. action: "to delete", ...
    static ProviderError notFound(const QString& action, const SurveyKey& key, const QString& outcome);

    static QDate toDate(const QVariant& value);
    static QString dateText(const QDate& date);
};
